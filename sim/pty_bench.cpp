#include "pty_bench.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kesto::sim {

namespace {

void setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

} // namespace

PtyBench::PtyBench(const SimOptions &options, QObject *parent)
    : QObject(parent), m_controller(options)
{
    connect(&m_controller, &SimController::output, this, &PtyBench::writeMaster);
}

PtyBench::~PtyBench()
{
    delete m_readNotifier;
    delete m_writeNotifier;
    delete m_watchNotifier;
    for (int fd : {m_watch, m_slave, m_master}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool PtyBench::fail(const QString &what)
{
    m_error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// Raw: no echo, no CR/LF translation, no signal or flow control characters; every byte passes
// as it is.
bool PtyBench::makeRaw()
{
    termios tio{};
    if (::tcgetattr(m_slave, &tio) != 0) {
        return false;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    return ::tcsetattr(m_slave, TCSANOW, &tio) == 0;
}

bool PtyBench::start()
{
    if (m_master >= 0) {
        return true;
    }
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return fail(QStringLiteral("openpty"));
    }
    m_path = QString::fromLocal8Bit(name);

    if (!makeRaw()) {
        return fail(QStringLiteral("tcsetattr"));
    }
    setNonBlocking(m_master);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);

    // Opens and closes of the slave by anyone else. Without inotify the bench still works; it
    // only cannot throw away bytes that a departed host left unread.
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 &&
        ::inotify_add_watch(m_watch, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) >= 0) {
        m_tracksHost = true;
        m_watchNotifier = new QSocketNotifier(m_watch, QSocketNotifier::Read);
        connect(m_watchNotifier, &QSocketNotifier::activated, this, &PtyBench::readOpenCloseEvents);
    } else if (m_watch >= 0) {
        ::close(m_watch);
        m_watch = -1;
    }

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyBench::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyBench::flushPending);
    return true;
}

void PtyBench::readMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            m_hostSpoke = true; // a host is there, whether or not its open was seen yet
            m_controller.feed(QByteArray(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // EAGAIN: all read. EIO cannot last while the bench holds its own slave descriptor.
        return;
    }
}

void PtyBench::writeMaster(const QByteArray &bytes)
{
    if (m_master < 0 || !hostAttached()) {
        return; // nobody listens: the bytes are lost as on an unplugged line
    }
    if (m_pending.size() + bytes.size() > kMaxPendingWrite) {
        return; // a host that stopped reading; a real line would overrun too
    }
    m_pending += bytes;
    flushPending();
}

void PtyBench::flushPending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        break; // EAGAIN: the slave's queue is full; wait until it drains
    }
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void PtyBench::readOpenCloseEvents()
{
    alignas(inotify_event) char buffer[4096];
    int opens = m_hostOpens;
    bool closed = false;
    for (;;) {
        const ssize_t n = ::read(m_watch, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        for (ssize_t off = 0; off < n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + off);
            if (event->mask & IN_OPEN) {
                ++opens;
            } else if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                opens = std::max(0, opens - 1);
                closed = true;
            }
            off += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    m_hostOpens = opens;
    if (closed && opens == 0) {
        // Nobody has the port open now: what is still on its way to the host is lost, a half
        // command is forgotten, a host that died without releasing its exclusive claim does
        // not lock out the next one, and one that left the line cooked does not spoil it.
        m_hostSpoke = false;
        ::tcflush(m_slave, TCIFLUSH);
        ::ioctl(m_slave, TIOCNXCL);
        makeRaw();
        m_pending.clear();
        m_writeNotifier->setEnabled(false);
        m_controller.resetLine();
    }
}

} // namespace kesto::sim
