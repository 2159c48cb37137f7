#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QTimer;

namespace kesto {

class Dispatcher;
struct AnswerFrame;

// What a whole-configuration transfer needs from the windows around it: the questions and file
// dialogs, the progress window, and the main window's enabled state. Kept abstract so the
// transfer itself links no widgets.
class TransferView
{
public:
    virtual ~TransferView() = default;

    // Yes/No question without icon, Yes the default; true for Yes.
    virtual bool confirmUpload(const QString &text) = 0;
    // The file to write the read image to, or "" when the user cancelled.
    virtual QString chooseSaveFile() = 0;
    // The file to upload, or "" when the user cancelled.
    virtual QString chooseUploadFile() = 0;
    virtual void showMessage(const QString &text) = 0;

    // Lays the progress window exactly over the main window and sizes its gauge (not shown).
    virtual void coverMainWindow() = 0;
    virtual void setProgressShown(bool shown) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual void setProgressText(const QString &text) = 0;
    virtual void setMainWindowEnabled(bool enabled) = 0;
};

// Reads the controller's whole configuration page by page into a hex file ("EG" exchange), and
// writes a configuration file into it page by page ("EH" exchange, the controller naming the
// next page). One request is outstanding at a time; polling (Timer1) and the watchdog (Timer2)
// are off while a transfer runs and on again whenever it ends.
//
// A transfer always ends in the idle state with the main window enabled and both timers
// running: also when the controller stops answering (no answer within kAnswerTimeoutMs), when
// an answer is malformed, or when a file cannot be read, converted or written.
class ConfigTransfer : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,
        ReadingPages, // save: pages coming in
        ChoosingSaveFile,
        ChoosingUploadFile,
        WritingPages, // upload: pages going out
    };

    static constexpr int kAnswerTimeoutMs = 3000;

    using Send = std::function<void(const QByteArray &)>;

    // Registers the "EG" and "EH" handlers with the dispatcher.
    ConfigTransfer(Dispatcher &dispatcher, Send send, QTimer *pollTimer, QTimer *watchdogTimer,
                   TransferView &view, QObject *parent = nullptr);
    // Takes its handlers back from the dispatcher.
    ~ConfigTransfer() override;

    // "Save config from KESTO": starts reading page 0. Ignored while a transfer runs.
    void startSave();
    // "Upload config to KESTO": asks, lets the user pick a file, and starts writing page 0.
    // Ignored while a transfer runs.
    void startUpload();

    State state() const { return m_state; }
    bool isRunning() const { return m_state != State::Idle; }

    // The image text read so far by the last save (kept until the next save starts).
    const QString &readText() const { return m_readText; }
    // The image text of the last upload (kept after it).
    const QString &uploadText() const { return m_uploadText; }

    // The answer time-out; its timeout() calls answerTimedOut().
    QTimer *answerTimer() const { return m_answerTimer; }

    // No answer came in time: the transfer is stopped and the user told so.
    void answerTimedOut();

private:
    void handlePage(const AnswerFrame &frame);
    void handleNextPage(const AnswerFrame &frame);
    void finishSave();
    void sendUploadPage(const QString &addressText, int address);
    void sendAndWait(const QByteArray &command);
    // Back to idle: progress hidden, main window enabled, polling and watchdog on.
    void endTransfer();
    // Ends the transfer and tells the user why.
    void stopWithError(const QString &errorText);
    static QString percentText(int value);

    Dispatcher &m_dispatcher;
    Send m_send;
    QTimer *m_pollTimer;
    QTimer *m_watchdogTimer;
    TransferView &m_view;
    QTimer *m_answerTimer;
    State m_state = State::Idle;
    QString m_readText;
    QString m_uploadText;
    int m_progress = 0;
};

} // namespace kesto
