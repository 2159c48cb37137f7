#pragma once

#include "app/app_context.h"
#include "link/answer_frame.h"
#include "link/clock.h"
#include "link/connection_facts.h"
#include "link/controller_link.h"
#include "link/receive_buffer.h"
#include "monitor/live_values.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace kesto {

// What the main window is started with. Production uses the defaults; tests and the demo plug
// in their clock, their ports and their way of opening one.
struct MainWindowOptions
{
    Clock *clock = nullptr;     // monotonic; a SteadyClock when not given
    bool enumeratePorts = true; // offer the system's serial ports
    QStringList extraPorts;     // devices offered besides the system's (--port, --demo)
    QString selectPort;         // selected at start-up instead of the last entry
    // Replaces the system's port enumeration (extra ports are still added).
    std::function<QStringList()> portLister;
    // Opens a port on the link; ControllerLink::open when not given.
    std::function<bool(ControllerLink &, const QString &)> openPort;
};

// The main window TForm1: port list and connection, handshake, polling and the answer
// watchdog, the live data panel, the menus, tool buttons and keys. Owns the link, the
// dispatcher, the connection facts and every secondary window.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    enum class Layout
    {
        Disconnected,
        Connected
    };

    static constexpr int kHandshakeIntervalMs = 2000;
    static constexpr int kPollIntervalMs = 100;
    static constexpr int kHandshakeWatchdogMs = 5000;
    static constexpr int kWatchdogMs = 1000;
    static constexpr int kPortRefreshMs = 2000;
    static constexpr qint64 kAnswerTimeoutMs = 4000;

    explicit MainWindow(const MainWindowOptions &options = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    AppContext &context() { return m_ctx; }
    ControllerLink &link() { return m_link; }
    Dispatcher &dispatcher() { return m_dispatcher; }
    ConnectionFacts &facts() { return m_facts; }
    QString language() const { return m_language; }
    Layout currentLayout() const { return m_layout; }
    // Size of the area below the menu bar (the layouts' client area).
    QSize clientSize() const;

    // Button1: connects while the port is closed, disconnects while it is open. F12, the
    // disconnect tool button and the connection code use it too.
    void button1Click();
    // Timer1: handshake query (2000 ms) or live data poll (any other interval).
    void timer1Timer();
    // Timer2: the answer watchdog.
    void timer2Timer();
    // Timer3: port list refresh while no handshake is done.
    void timer3Timer();
    // SpeedButton1: shows or hides the gauge window beside this window.
    void speedButton1Click();

    // The disconnect steps (the port closes, idle state, disconnected layout).
    void disconnectPort();
    // The watchdog's closing: main options and A650 windows closed, messages cleared, then
    // disconnect.
    void closeConnection();

    // A key seen before the focused control. Returns true when the key is used up.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);

    // Applies a language and ticks its menu entry; a failure goes to the general error handler.
    void chooseLanguage(const QString &code);

    // Shows the firmware update window for the version offer (centred on the screen) or for
    // the "ve" answer and Y1 (centred over this window), with this window disabled.
    void showFirmwareWindowOnScreenCentre();
    void showFirmwareWindowOverMain();

Q_SIGNALS:
    // Step 14 of the live data frame: every label of the frame is set.
    void liveFrameApplied(const kesto::AnswerFrame &frame);
    // Disconnecting, right after polling stopped: a running file log stops here.
    void disconnecting();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void buildClientArea();
    void buildMenus();
    void buildToolButtons();
    void buildTimers();
    void registerHandlers();
    void applyLayout(Layout layout);

    void fillPortList(bool selectLast);
    QStringList currentPortNames() const;
    void connectPort();

    void handleHandshake(const AnswerFrame &frame);
    void handleVersionAnswer(const AnswerFrame &frame);
    void handleGearCount(const AnswerFrame &frame);
    void handleFeatures(const AnswerFrame &frame);
    void handleLiveData(const AnswerFrame &frame);
    void showLiveValues();
    bool sltInverted() const;

    void sendReadRequest(const QString &answerType);
    void triggerEntry(QAction *entry);
    void setMenuEnabled(QMenu *menu, bool enabled);
    void addMessage(const QString &line);
    void setStatus(const QString &panel0);
    QWidget *secondary(const char *objectName) const;
    void prepareFirmwareWindow(QWidget *window);

    MainWindowOptions m_options;
    std::unique_ptr<Clock> m_ownClock;
    Clock *m_clock = nullptr;
    ControllerLink m_link;
    Dispatcher m_dispatcher;
    ConnectionFacts m_facts;
    AppContext m_ctx;
    QString m_language;
    Layout m_layout = Layout::Disconnected;
    bool m_shown = false;
    LiveValues m_live;

    QWidget *m_client = nullptr;
    QFrame *m_toolBar = nullptr;
    QComboBox *m_portList = nullptr;
    QPushButton *m_connectButton = nullptr;
    QFrame *m_bevel = nullptr;
    QPlainTextEdit *m_messages = nullptr;
    QGroupBox *m_liveGroup = nullptr;
    QFrame *m_toolPanel = nullptr;
    QFrame *m_statusBar = nullptr;
    QLabel *m_statusPanel0 = nullptr;
    QLabel *m_statusPanel1 = nullptr;
    QLabel *m_rpm = nullptr;
    QLabel *m_speed = nullptr;
    QLabel *m_throttle = nullptr;
    QLabel *m_oilTemp = nullptr;
    QLabel *m_selector = nullptr;
    QLabel *m_mode = nullptr;
    QLabel *m_gear = nullptr;
    QLabel *m_lockup = nullptr;
    QLabel *m_slt = nullptr;
    QLabel *m_sln = nullptr;
    QLabel *m_slc = nullptr;
    QLabel *m_slu = nullptr;
    QLabel *m_bootBanner = nullptr;
    QToolButton *m_gaugeButton = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
    QTimer *m_timer3 = nullptr;

    QMenu *m_optionsMenu = nullptr;     // MAP1
    QMenu *m_calibrationMenu = nullptr; // C1
    QMenu *m_languageMenu = nullptr;    // Language1
    QMenu *m_mapsMenu = nullptr;        // Maps1
    QMenu *m_controlMenu = nullptr;     // CONTROL1
    QMenu *m_popup1 = nullptr;          // on the "Gear:" caption
    QMenu *m_popup2 = nullptr;          // on the message list
};

} // namespace kesto
