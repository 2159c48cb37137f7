#include "monitor/file_log.h"

#include "link/error.h"
#include "monitor/system_text.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace kesto {

namespace {

constexpr int kRowsPerSync = 100; // about every ten seconds at the usual polling rate

const QStringList &columns()
{
    static const QStringList names = {
        QStringLiteral("Time"),     QStringLiteral("RPM"),    QStringLiteral("Speed"),
        QStringLiteral("TPS"),      QStringLiteral("Temp"),   QStringLiteral("Gear"),
        QStringLiteral("Selector"), QStringLiteral("Lockup"), QStringLiteral("Mode"),
        QStringLiteral("Power"),    QStringLiteral("Snow"),   QStringLiteral("SLT"),
        QStringLiteral("SLN"),      QStringLiteral("SLC"),    QStringLiteral("SLU"),
        QStringLiteral("TimeH"),    QStringLiteral("TimeM"),  QStringLiteral("TimeS")};
    return names;
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

// Asks the system to put what it holds of the file on the disk, so a power cut costs at most
// the last few seconds of rows. Not on every row: a sync can stall the window for tens of ms.
void syncToDisk(QFile &file)
{
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    if (fd >= 0) {
        ::fsync(fd);
    }
#else
    Q_UNUSED(file);
#endif
}

} // namespace

FileLog::FileLog(const QString &folder, const LogStamp &stamp) : m_folder(folder), m_stamp(stamp) {}

FileLog::~FileLog()
{
    if (!m_running) {
        return;
    }
    try {
        stop(QDateTime::currentDateTime());
    } catch (const Error &) {
        // Nobody is left to tell; the unfinished file keeps the rows.
    }
}

QString FileLog::stamp(const QDateTime &t) const
{
    QString time = m_stamp.time(t.time());
    time.replace(QLatin1Char(':'), QLatin1Char('.'));
    return m_stamp.date(t.date()) + QLatin1Char('.') + time;
}

QString FileLog::titleLine() const
{
    return QStringLiteral("\"KESTO logfile 3.3.5 ") + m_startStamp + QLatin1Char('"');
}

QString FileLog::columnLine()
{
    return columns().join(QLatin1Char('\t'));
}

QString FileLog::durationText() const
{
    return m_stamp.number(elapsedSeconds(), 'g', 15);
}

QString FileLog::unfinishedFilePath() const
{
    return m_running ? m_file.fileName() : QString();
}

void FileLog::start(const QDateTime &now)
{
    if (m_running) {
        stop(now);
    }
    m_pending.clear();
    m_rows = 0;
    m_startStamp = stamp(now);

    // When the folder cannot be made, opening the file below fails with the system's reason.
    QDir().mkpath(m_folder);
    const QDir dir(m_folder);
    // A fresh name, never an earlier crash's file.
    const QString base = dir.filePath(m_startStamp + QStringLiteral("-unfinished"));
    for (int n = 1;; ++n) {
        m_file.setFileName(n == 1 ? base + QStringLiteral(".xls")
                                  : base + QStringLiteral("-%1.xls").arg(n));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            break;
        }
        if (!m_file.exists() || n >= 1000) {
            throw Error(m_file.errorString());
        }
    }
    m_running = true;
    writeLine(titleLine());
    writeLine(columnLine());
}

QString FileLog::buildRow(const AnswerFrame &frame, const LivePanelTexts &panel, int rowNumber,
                          const QDateTime &now) const
{
    QStringList row;
    row.reserve(kColumnCount);
    row << m_stamp.number(rowNumber / 10.0, 'f', 1);
    for (const int field : {0, 1, 2, 9, 3, 4, 8, 5, 10, 11}) {
        row << frame.field(field);
    }
    row << panel.slt << panel.sln << panel.slc
        << panel.slu.value_or(QString::fromLatin1(kSluMissing));
    row << m_stamp.clockParts(now.time());
    return row.join(QLatin1Char('\t'));
}

void FileLog::appendRow(const AnswerFrame &frame, const LivePanelTexts &panel, const QDateTime &now)
{
    if (!m_running) {
        return;
    }
    const QString row = buildRow(frame, panel, m_rows + 1, now);
    ++m_rows;
    writeLine(row);
    if (m_rows % kRowsPerSync == 0 && m_pending.isEmpty()) {
        syncToDisk(m_file);
    }
}

void FileLog::writeLine(const QString &line)
{
    m_pending += toSystemText(line + QStringLiteral("\r\n"));
    writePending();
}

bool FileLog::writePending()
{
    while (!m_pending.isEmpty()) {
        const qint64 written = m_file.write(m_pending);
        if (written <= 0) {
            return false;
        }
        m_pending.remove(0, written);
    }
    return true;
}

QString FileLog::stop(const QDateTime &now)
{
    if (!m_running) {
        return QString();
    }
    m_running = false;
    const QString finalPath = QDir(m_folder).filePath(m_startStamp + QLatin1Char('-') + stamp(now) +
                                                      QStringLiteral(".xls"));
    const bool written = writePending();
    const QString writeError = m_file.errorString();
    m_file.close();
    if (!written) {
        m_pending.clear();
        throw Error(writeError);
    }
    std::error_code ec;
    std::filesystem::rename(fsPath(m_file.fileName()), fsPath(finalPath), ec);
    if (ec) {
        throw Error(QString::fromLocal8Bit(ec.message().c_str()));
    }
    return finalPath;
}

} // namespace kesto
