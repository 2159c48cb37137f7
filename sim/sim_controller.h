#pragma once

#include "config/config_image.h"
#include "vehicle_model.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QString>

#include <memory>

class QFile;
class QTimer;

namespace kesto::sim {

// Who the bench controller claims to be, and the faults it puts on the line.
struct SimOptions
{
    QString version = QStringLiteral("3.7");
    int build = 7; // a negative build leaves it out of the "z1" answer
    int serial = 12345;
    int gears = 5;
    int warn = 100;
    QList<int> features{1, 1, 1, 1, 1};      // "z3" fields as given (four or five)
    bool answerVe = false;                   // answer "getver~" with "ve"
    int silentAfter = -1;                    // stop answering after N answers (-1 never)
    double drop = 0, corrupt = 0, noise = 0; // probabilities 0..1, per answer
    quint32 seed = 1;
    int chunk = 0;    // deliver answers in pieces of N bytes (0 = whole)
    int wireRate = 0; // pace bytes like a real 8N2 line at this baud (0 = no pacing)
    QString logFile;
    int modelTickMs = 100; // the car moves by this much simulated time every real tick; 0 = only
                           // by advanceModel()
    int rebootMs = 300;    // silence after a complete page upload
};

// The bench controller: configuration memory, vehicle model and protocol responder. It knows no
// transport: bytes from the host go into feed(), answers come out of output(). Everything runs
// in the caller's event loop; timers only pace the output and move the car.
class SimController : public QObject
{
    Q_OBJECT
public:
    explicit SimController(const SimOptions &options = {}, QObject *parent = nullptr);
    ~SimController() override;

    ConfigImage &memory() { return m_memory; }
    static ConfigImage defaultImage();

    // Every command received, with its "~", in arrival order (malformed ones included).
    const QList<QByteArray> &receivedCommands() const { return m_received; }
    void clearReceived() { m_received.clear(); }

    // Fault switches may change at run time; the log file and the model tick are taken at
    // construction.
    SimOptions &options() { return m_options; }
    void setSilent(bool silent); // silent also drops what is still waiting to go out
    bool isSilent() const { return m_silent; }

    void feed(const QByteArray &bytes);
    // Forgets a half-received command and everything not yet delivered (the host went away).
    void resetLine();

    // The model, for tests and the demo.
    LiveValues liveValues() const { return m_model.values(); }
    void advanceModel(int ms);
    bool isEmulating() const { return m_model.isEmulating(); }
    bool isShiftLogOn() const { return m_shiftLog; }
    bool isRebooting() const { return m_rebooting; }
    // Answers that left the controller (before drop/corrupt/noise decided their fate).
    int answerCount() const { return m_answerCount; }
    // Bytes waiting for chunked or paced delivery.
    int pendingOutput() const { return int(m_outQueue.size()); }

    static constexpr int kMaxCommandLength = 4096;
    static constexpr int kChunkGapMs = 2;

Q_SIGNALS:
    void output(const QByteArray &bytes);
    // A command that was not understood and changed nothing.
    void commandRejected(const QByteArray &command, const QString &reason);

private:
    void handleCommand(const QByteArray &command);
    void reject(const QByteArray &command, const QString &reason);
    void answer(const QByteArray &type, const QByteArray &payload);
    void answerBytes(int first, int last, QByteArray &payload) const;
    void sendLiveData();
    void sendShiftEvents();
    void finishReboot();
    void deliver(const QByteArray &bytes);
    void deliverPending();
    void logLine(char direction, const QByteArray &text, const QString &note = {});

    SimOptions m_options;
    ConfigImage m_memory;
    VehicleModel m_model;
    QList<QByteArray> m_received;
    QByteArray m_input;
    QByteArray m_outQueue;
    QRandomGenerator m_random;
    QTimer *m_modelTimer;
    QTimer *m_deliveryTimer;
    QTimer *m_rebootTimer;
    std::unique_ptr<QFile> m_log;
    QElapsedTimer m_clock;
    qint64 m_lineStartNs = 0; // when the paced line started its current run of bytes
    qint64 m_lineSent = 0;    // bytes delivered in that run
    int m_answerCount = 0;
    bool m_silent = false;
    bool m_rebooting = false;
    bool m_shiftLog = false;
};

} // namespace kesto::sim
