#pragma once

#include "sim_controller.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

namespace kesto::sim {

// A SimController behind the master side of a pseudo-terminal. The host opens the slave path as
// it would open a serial port, as often as it likes; the bench holds a slave descriptor of its
// own so the master never hangs up, and watches the slave for opens and closes so that bytes
// nobody read do not greet the next host.
class PtyBench : public QObject
{
    Q_OBJECT
public:
    explicit PtyBench(const SimOptions &options = {}, QObject *parent = nullptr);
    ~PtyBench() override;

    bool start(); // openpty (raw mode), begin answering; false on failure (see errorString())
    QString devicePath() const { return m_path; }
    SimController &controller() { return m_controller; }
    QString errorString() const { return m_error; }
    // Whether a host has the slave open now (as far as the bench can tell).
    bool hostAttached() const { return !m_tracksHost || m_hostOpens > 0 || m_hostSpoke; }

    static constexpr int kMaxPendingWrite = 256 * 1024;

private:
    bool makeRaw();
    void readMaster();
    void writeMaster(const QByteArray &bytes);
    void flushPending();
    void readOpenCloseEvents();
    bool fail(const QString &what);

    SimController m_controller;
    QString m_path;
    QString m_error;
    int m_master = -1;
    int m_slave = -1;
    int m_watch = -1; // inotify descriptor, -1 when unavailable
    int m_hostOpens = 0;
    bool m_tracksHost = false;
    bool m_hostSpoke = false; // bytes came since the last detach
    QByteArray m_pending;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QSocketNotifier *m_watchNotifier = nullptr;
};

} // namespace kesto::sim
