#pragma once

#include "firmware/programmer_command.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kesto {

struct AppContext;
class ProgrammerRun;

// Writes the firmware that matches this program into the controller through the programmer
// tool, in two steps started by the one button: a check that finds the bootloader kind (the
// kinds differ in baud rate), then the update at that rate. The tool's progress is followed by
// reading its log once a second. While a step runs the window cannot be closed.
class FirmwareUpdateWindow : public QWidget
{
    Q_OBJECT
public:
    explicit FirmwareUpdateWindow(AppContext &ctx, QWidget *parent = nullptr);
    ~FirmwareUpdateWindow() override;

    // For the openers: gauge back to 0 and the button as the known kind says.
    void prepareToShow();
    void resetProgress();

    BootloaderKind bootloaderKind() const { return m_kind; }
    bool checkRunning() const { return m_checkRunning; }
    bool slowRetryMade() const { return m_slowRetryMade; }
    int tickCount() const { return m_ticks; }
    // A check or an update is under way.
    bool isBusy() const;
    // The folder of the current run ("" when none runs).
    QString runFolder() const;
    // Whether the programmer of the current run is still running.
    bool isProgrammerRunning() const;

    // The programmer to run; "" finds it at run time (the default).
    void setProgrammerPath(const QString &path) { m_programmerPath = path; }
    // The firmware in its stored form; empty makes "Start firmware update" ask for a plain
    // Intel HEX file. Defaults to the image built into the program, if any.
    void setFirmwarePayload(const QByteArray &stored) { m_payload = stored; }

public slots:
    void buttonClicked();
    // Timer3 (check) and Timer2 (update), once a second.
    void checkTick();
    void updateTick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void showButtonForKind();
    void setClosable(bool closable);
    void setProgress(int percent);
    QString statusCaption() const;
    QString programmer() const;
    QString port() const;
    void startCheck();
    void startUpdate();
    void startRun();
    void endRun();
    void prepareImage(const QString &plainHexFile);
    void finishCheckFound();
    void finishCheckFailed();
    void finishUpdate(bool verified);
    void abandonStep();

    AppContext &m_ctx;
    QLabel *m_status = nullptr;
    QProgressBar *m_gauge = nullptr;
    QPushButton *m_button = nullptr;
    QTimer *m_checkTimer = nullptr;
    QTimer *m_updateTimer = nullptr;

    BootloaderKind m_kind = BootloaderKind::None;
    bool m_checkRunning = false;
    bool m_slowRetryMade = false;
    bool m_updating = false;
    int m_ticks = 0;

    QPointer<ProgrammerRun> m_run;
    QString m_imageName;
    QString m_programmerPath;
    QByteArray m_payload;
};

} // namespace kesto
