#include "app/main_window.h"

#include "app/kesto_application.h"
#include "app/monitor_tools.h"
#include "app/secondary_windows.h"
#include "app/user_dialogs.h"
#include "app/web_addresses.h"
#include "config/config_progress_window.h"
#include "firmware/firmware_update_window.h"
#include "i18n/apply_language_ui.h"
#include "i18n/caption_list.h"
#include "link/commands.h"
#include "link/error.h"
#include "link/port_names.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace kesto {

namespace {

constexpr QSize kDisconnectedClient(220, 388);
constexpr QSize kConnectedClient(262, 353);
constexpr int kStatusBarHeight = 19;
constexpr QPoint kLiveGroupStart(224, 8);
constexpr QPoint kLiveGroupDisconnected(245, 8);
constexpr QPoint kLiveGroupConnected(54, 8);
constexpr QPoint kToolPanelDisconnected(432, 16);
constexpr QPoint kToolPanelConnected(5, 16);
constexpr int kBevelTopDisconnected = 33;
constexpr int kBevelTopConnected = 3;
const QColor kWarningRed(255, 0, 0);

const QString kCr = QStringLiteral("\r");
const QString kCrLf = QStringLiteral("\r\n");

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

MainWindow::MainWindow(const MainWindowOptions &options, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_options(options)
{
    setObjectName(QStringLiteral("TForm1"));
    if (m_options.clock) {
        m_clock = m_options.clock;
    } else {
        m_ownClock = std::make_unique<SteadyClock>();
        m_clock = m_ownClock.get();
    }
    if (!m_options.openPort) {
        m_options.openPort = [](ControllerLink &link, const QString &port) {
            return link.open(port);
        };
    }

    m_ctx.link = &m_link;
    m_ctx.dispatcher = &m_dispatcher;
    m_ctx.facts = &m_facts;
    m_ctx.mainWindow = this;
    m_ctx.reportError = &reportGeneralError;
    m_ctx.configFolder =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("config")) +
        QLatin1Char('/');

    // The window sees every key before the focused control.
    qApp->installEventFilter(this);
    m_facts.warningLimit = 100;
    setWindowTitle(programTitle());

    buildClientArea();
    buildMenus();
    buildToolButtons();
    buildTimers();
    registerHandlers();
    m_ctx.pollTimer = m_timer1;
    m_ctx.watchdogTimer = m_timer2;

    m_language = storedLanguage();
    const bool russian = m_language == QLatin1String("ru");
    findChild<QAction *>(QStringLiteral("Russian1"))->setChecked(russian);
    findChild<QAction *>(QStringLiteral("English1"))->setChecked(!russian);

    m_facts.gearCount = 4;
    applyLayout(Layout::Disconnected);
    m_liveGroup->move(kLiveGroupStart);
    fillPortList(true);
    m_timer3->start();

    createSecondaryWindows(m_ctx);
    new MonitorTools(*this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    destroySecondaryWindows(m_ctx);
}

QSize MainWindow::clientSize() const
{
    return m_client->size();
}

// ---------------------------------------------------------------------------------------------
// Construction

void MainWindow::buildClientArea()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(m_client);

    m_toolBar = new QFrame(m_client);
    m_toolBar->setObjectName(QStringLiteral("sToolBar1"));
    m_toolBar->setGeometry(0, 0, kDisconnectedClient.width(), 29);
    makeLabel(m_toolBar, "Label7", caption(146), QRect(6, 6, 36, 17));
    m_portList = new QComboBox(m_toolBar);
    m_portList->setObjectName(QStringLiteral("ComboBox1"));
    m_portList->setGeometry(44, 3, 72, 22);
    m_portList->setEditable(false);
    m_connectButton = new QPushButton(caption(147), m_toolBar);
    m_connectButton->setObjectName(QStringLiteral("Button1"));
    m_connectButton->setGeometry(122, 2, 92, 25);
    connect(m_connectButton, &QPushButton::clicked, this, &MainWindow::button1Click);

    m_bevel = new QFrame(m_client);
    m_bevel->setObjectName(QStringLiteral("Bevel1"));
    m_bevel->setFrameShape(QFrame::HLine);
    m_bevel->setFrameShadow(QFrame::Sunken);

    m_messages = new QPlainTextEdit(m_client);
    m_messages->setObjectName(QStringLiteral("Memo1"));
    m_messages->setReadOnly(true);
    m_messages->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_messages->setGeometry(8, 40, 205, 321);
    m_messages->setContextMenuPolicy(Qt::CustomContextMenu);

    m_liveGroup = new QGroupBox(caption(123), m_client);
    m_liveGroup->setObjectName(QStringLiteral("GroupBox1"));
    m_liveGroup->resize(201, 321);
    struct Row
    {
        const char *caption;
        int row;
        const char *value;
        QLabel **label;
    };
    const Row rows[] = {
        {"Label1", 124, "rmp_label", &m_rpm},      {"Label3", 126, "speed_label", &m_speed},
        {"Label4", 128, "tps_label", &m_throttle}, {"Label14", 130, "Label15", &m_oilTemp},
        {"Label20", 132, "Label19", &m_selector},  {"Label6", 134, "mode_label", &m_mode},
        {"Label5", 136, "gear_label", &m_gear},    {"Label10", 138, "Label11", &m_lockup},
        {"Label8", 140, "Label9", &m_slt},         {"Label12", 142, "Label13", &m_sln},
        {"Label2", 144, "Label16", &m_slc},
    };
    QFont bold = font();
    bold.setBold(true);
    int y = 36;
    for (const Row &r : rows) {
        makeLabel(m_liveGroup, r.caption, caption(r.row), QRect(10, y, 96, 20));
        QLabel *value = makeLabel(m_liveGroup, r.value, QStringLiteral("-"), QRect(108, y, 88, 20));
        value->setFont(bold);
        *r.label = value;
        y += 25;
    }
    m_slu = makeLabel(m_liveGroup, "sLabel1", QString(), QRect(108, 300, 60, 16));
    m_slu->hide();
    m_bootBanner =
        makeLabel(m_liveGroup, "sLabel2", QStringLiteral("BOOT MODE"), QRect(0, 148, 201, 26));
    m_bootBanner->setAlignment(Qt::AlignCenter);
    QFont bannerFont = bold;
    bannerFont.setPointSizeF(bannerFont.pointSizeF() * 1.6);
    m_bootBanner->setFont(bannerFont);
    setTextColour(m_bootBanner, kWarningRed);
    m_bootBanner->setAutoFillBackground(true);
    m_bootBanner->hide();
    m_gaugeButton = new QToolButton(m_liveGroup);
    m_gaugeButton->setObjectName(QStringLiteral("SpeedButton1"));
    m_gaugeButton->setGeometry(174, 12, 22, 22);
    m_gaugeButton->setIcon(style()->standardIcon(QStyle::SP_DesktopIcon));
    m_gaugeButton->setAutoRaise(true);
    connect(m_gaugeButton, &QToolButton::clicked, this, &MainWindow::speedButton1Click);

    m_toolPanel = new QFrame(m_client);
    m_toolPanel->setObjectName(QStringLiteral("sPanel1"));
    m_toolPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_toolPanel->resize(42, 313);

    m_statusBar = new QFrame(m_client);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusPanel0 =
        makeLabel(m_statusBar, "StatusPanel0", caption(152), QRect(0, 0, 90, kStatusBarHeight));
    m_statusPanel0->setAlignment(Qt::AlignCenter);
    m_statusPanel0->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_statusPanel1 =
        makeLabel(m_statusBar, "StatusPanel1", QString(), QRect(92, 0, 50, kStatusBarHeight));
    m_statusPanel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void MainWindow::buildMenus()
{
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(bar);

    auto menu = [this](QWidget *parent, const char *name, const QString &title) {
        auto *m = new QMenu(title, parent);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name) + QLatin1String("Entry"));
        return m;
    };
    auto entry = [this](QMenu *into, const char *name, const QString &text) {
        auto *a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        into->addAction(a);
        return a;
    };
    auto reads = [this](QAction *a, const char *type) {
        const QString t = QLatin1String(type);
        connect(a, &QAction::triggered, this, [this, t] { sendReadRequest(t); });
    };

    m_optionsMenu = menu(bar, "MAP1", caption(110));
    reads(entry(m_optionsMenu, "O1", caption(111)), "E1");
    m_calibrationMenu = menu(m_optionsMenu, "C1", caption(275));
    m_optionsMenu->addMenu(m_calibrationMenu);
    reads(entry(m_calibrationMenu, "PSCALIBRATION1", caption(112)), "E7");
    reads(entry(m_calibrationMenu, "T1", caption(257)), "EF");
    m_optionsMenu->addSeparator();
    // Their windows connect these entries.
    entry(m_optionsMenu, "Logview1", caption(113));
    entry(m_optionsMenu, "logging1", caption(292));
    m_optionsMenu->addSeparator()->setVisible(false);
    QAction *upload = entry(m_optionsMenu, "UploadConfig1", caption(115));
    connect(upload, &QAction::triggered, this, [this] {
        if (auto *w = m_ctx.windowAs<ConfigProgressWindow>(QStringLiteral("TForm25"))) {
            w->startUpload();
        }
    });
    QAction *save = entry(m_optionsMenu, "Saveconfig1", caption(114));
    connect(save, &QAction::triggered, this, [this] {
        if (auto *w = m_ctx.windowAs<ConfigProgressWindow>(QStringLiteral("TForm25"))) {
            w->startSave();
        }
    });
    QAction *y1 = entry(m_optionsMenu, "Y1", caption(271) + QLatin1Char(' ') + programVersion());
    connect(y1, &QAction::triggered, this, [this] {
        if (m_link.isOpen()) {
            disconnectPort();
        }
        showFirmwareWindowOverMain();
    });
    m_optionsMenu->addSeparator();
    m_languageMenu = menu(m_optionsMenu, "Language1", caption(116));
    m_optionsMenu->addMenu(m_languageMenu);
    QAction *english = entry(m_languageMenu, "English1", caption(117));
    QAction *russian = entry(m_languageMenu, "Russian1", caption(118));
    english->setCheckable(true);
    russian->setCheckable(true);
    connect(english, &QAction::triggered, this, [this] { chooseLanguage(QStringLiteral("en")); });
    connect(russian, &QAction::triggered, this, [this] { chooseLanguage(QStringLiteral("ru")); });

    m_mapsMenu = menu(bar, "Maps1", caption(109));
    reads(entry(m_mapsMenu, "SHIFTUP121", caption(99)), "EA");
    reads(entry(m_mapsMenu, "SHIFTUP231", caption(100)), "EB");
    reads(entry(m_mapsMenu, "SHIFTUP341", caption(101)), "EC");
    reads(entry(m_mapsMenu, "N45shift1", caption(102)), "ED");
    reads(entry(m_mapsMenu, "N56shift1", caption(103)), "EE");
    m_mapsMenu->addSeparator();
    reads(entry(m_mapsMenu, "WOT1", caption(104)), "E9");
    m_mapsMenu->addSeparator();
    reads(entry(m_mapsMenu, "Mainpressuremap1", caption(105)), "E2");
    reads(entry(m_mapsMenu, "Accumulatorpressuremap1", caption(106)), "E3");
    reads(entry(m_mapsMenu, "Lockupmap1", caption(107)), "E4");
    reads(entry(m_mapsMenu, "lastgearlockup", caption(284)), "E5");
    reads(entry(m_mapsMenu, "AWDControlSLC1", caption(108)), "E6");

    m_controlMenu = menu(bar, "CONTROL1", QStringLiteral("CONTROL"));
    entry(m_controlMenu, "Emulation1", QStringLiteral("Emulation")); // the panel connects it

    bar->addMenu(m_optionsMenu);
    bar->addMenu(m_mapsMenu);
    bar->addMenu(m_controlMenu);

    // Start-up states.
    setMenuEnabled(m_optionsMenu, false);
    setMenuEnabled(m_mapsMenu, false);
    setMenuEnabled(m_controlMenu, false);
    m_controlMenu->menuAction()->setVisible(false);
    y1->setVisible(false);

    // Context menus.
    m_popup2 = menu(this, "PopupMenu2", QString());
    QAction *clear = entry(m_popup2, "Clear1", QStringLiteral("Clear"));
    connect(clear, &QAction::triggered, m_messages, &QPlainTextEdit::clear);
    m_popup2->addSeparator();
    entry(m_popup2, "Showgearlog1", QStringLiteral("Show gear shift log"))->setEnabled(false);
    connect(m_messages, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_popup2->popup(m_messages->mapToGlobal(at)); });

    m_popup1 = menu(this, "PopupMenu1", QString());
    QAction *emulation = entry(m_popup1, "Emulation2", QStringLiteral("Emulation"));
    connect(emulation, &QAction::triggered, this,
            [this] { m_controlMenu->menuAction()->setVisible(true); });
    auto *gearCaption = m_liveGroup->findChild<QLabel *>(QStringLiteral("Label5"));
    gearCaption->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        gearCaption, &QWidget::customContextMenuRequested, this,
        [this, gearCaption](const QPoint &at) { m_popup1->popup(gearCaption->mapToGlobal(at)); });
}

void MainWindow::buildToolButtons()
{
    struct Button
    {
        const char *entry; // the menu entry it acts as ("" = the connect button)
        QString hint;
        QStyle::StandardPixmap icon;
    };
    const Button buttons[8] = {
        {"O1", caption(111), QStyle::SP_FileDialogDetailedView},
        {"SHIFTUP121", caption(99), QStyle::SP_ArrowUp},
        {"WOT1", caption(104), QStyle::SP_MediaSeekForward},
        {"Lockupmap1", caption(107), QStyle::SP_DialogApplyButton},
        {"Mainpressuremap1", caption(105), QStyle::SP_ArrowRight},
        {"logging1", caption(292), QStyle::SP_MediaPlay},
        {"Logview1", caption(113), QStyle::SP_FileDialogContentsView},
        {"", caption(149) + QStringLiteral(" (F12)"), QStyle::SP_BrowserStop},
    };
    for (int i = 0; i < 8; ++i) {
        auto *b = new QToolButton(m_toolPanel);
        b->setObjectName(QStringLiteral("sSpeedButton%1").arg(i + 1));
        b->setGeometry(5, 5 + i * 38, 32, 32);
        b->setIconSize(QSize(24, 24));
        b->setIcon(style()->standardIcon(buttons[i].icon));
        b->setToolTip(buttons[i].hint);
        b->setAutoRaise(true);
        if (*buttons[i].entry) {
            QAction *target = findChild<QAction *>(QLatin1String(buttons[i].entry));
            connect(b, &QToolButton::clicked, this, [this, target] { triggerEntry(target); });
        } else {
            connect(b, &QToolButton::clicked, this, &MainWindow::button1Click);
        }
    }
}

void MainWindow::buildTimers()
{
    auto timer = [this](const char *name, int interval, void (MainWindow::*slot)()) {
        auto *t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setInterval(interval);
        connect(t, &QTimer::timeout, this, slot);
        return t;
    };
    m_timer1 = timer("Timer1", kHandshakeIntervalMs, &MainWindow::timer1Timer);
    m_timer2 = timer("Timer2", kHandshakeWatchdogMs, &MainWindow::timer2Timer);
    m_timer3 = timer("Timer3", kPortRefreshMs, &MainWindow::timer3Timer);
}

void MainWindow::registerHandlers()
{
    m_dispatcher.setErrorSink(&reportGeneralError);
    m_dispatcher.setStamp([this] { m_facts.lastAnswerMs = m_clock->nowMs(); });
    m_dispatcher.setHandler(
        QStringLiteral("z1"), [this](const AnswerFrame &f) { handleHandshake(f); }, true);
    m_dispatcher.setHandler(QStringLiteral("ve"),
                            [this](const AnswerFrame &f) { handleVersionAnswer(f); });
    m_dispatcher.setHandler(QStringLiteral("z2"),
                            [this](const AnswerFrame &f) { handleGearCount(f); });
    m_dispatcher.setHandler(QStringLiteral("z3"),
                            [this](const AnswerFrame &f) { handleFeatures(f); });
    m_dispatcher.setHandler(
        QStringLiteral("z4"), [this](const AnswerFrame &f) { handleLiveData(f); }, true);
    connect(&m_link, &ControllerLink::bytesReceived, this,
            [this](const QByteArray &bytes) { m_dispatcher.receive(bytes); });
}

// ---------------------------------------------------------------------------------------------
// Layouts

void MainWindow::applyLayout(Layout layout)
{
    m_layout = layout;
    const bool connected = layout == Layout::Connected;
    const QSize client = connected ? kConnectedClient : kDisconnectedClient;
    m_toolBar->setVisible(!connected);
    m_bevel->setGeometry(0, connected ? kBevelTopConnected : kBevelTopDisconnected, client.width(),
                         2);
    m_messages->setVisible(!connected);
    m_liveGroup->move(connected ? kLiveGroupConnected : kLiveGroupDisconnected);
    m_toolPanel->move(connected ? kToolPanelConnected : kToolPanelDisconnected);
    m_statusBar->setGeometry(0, client.height() - kStatusBarHeight, client.width(),
                             kStatusBarHeight);
    m_statusPanel1->setGeometry(92, 0, client.width() - 92, kStatusBarHeight);
    m_client->setFixedSize(client);
    // The menu bar lies outside the client area; the window grows by its height.
    setFixedSize(client.width(), client.height() + menuBar()->heightForWidth(client.width()));
}

// ---------------------------------------------------------------------------------------------
// Port list

QStringList MainWindow::currentPortNames() const
{
    QStringList names;
    if (m_options.portLister) {
        names = m_options.portLister();
    } else if (m_options.enumeratePorts) {
        names = systemPortNames();
    }
    for (const QString &extra : m_options.extraPorts) {
        if (!names.contains(extra)) {
            names << extra;
        }
    }
    return sortedPortNames(names);
}

void MainWindow::fillPortList(bool selectLast)
{
    const int remembered = m_portList->currentIndex();
    m_portList->clear();
    m_portList->addItems(currentPortNames());
    if (!selectLast) {
        m_portList->setCurrentIndex(remembered < m_portList->count() ? remembered : -1);
    } else if (!m_options.selectPort.isEmpty() && m_portList->findText(m_options.selectPort) >= 0) {
        m_portList->setCurrentIndex(m_portList->findText(m_options.selectPort));
    } else {
        m_portList->setCurrentIndex(m_portList->count() - 1);
    }
}

void MainWindow::timer3Timer()
{
    if (m_facts.handshakeDone) {
        return;
    }
    if (currentPortNames().size() != m_portList->count()) {
        fillPortList(false);
    }
}

// ---------------------------------------------------------------------------------------------
// Connecting and disconnecting

void MainWindow::button1Click()
{
    if (m_link.isOpen()) {
        disconnectPort();
    } else {
        connectPort();
    }
}

void MainWindow::connectPort()
{
    const QString port = m_portList->currentText();
    bool open = m_options.openPort(m_link, port) && m_link.isOpen();
    if (!open) {
        open = m_options.openPort(m_link, port) && m_link.isOpen();
    }
    m_messages->setFocus();
    if (!open) {
        addMessage(caption(216));
        return;
    }
    addMessage(caption(213) + port + QLatin1Char('.'));
    addMessage(caption(214));
    addMessage(caption(215));
    m_timer1->setInterval(kHandshakeIntervalMs);
    m_timer1->start();
    m_connectButton->setText(caption(149));
    m_portList->setEnabled(false);
}

void MainWindow::disconnectPort()
{
    if (QWidget *gauges = secondary("TForm20")) {
        gauges->hide();
    }
    m_timer1->stop();
    Q_EMIT disconnecting();
    m_timer1->setInterval(kHandshakeIntervalMs);
    m_timer2->stop();
    m_facts.handshakeDone = false;
    m_timer3->start();
    setMenuEnabled(m_optionsMenu, false);
    setMenuEnabled(m_controlMenu, false);
    setMenuEnabled(m_mapsMenu, false);
    findChild<QAction *>(QStringLiteral("Showgearlog1"))->setEnabled(false);
    m_link.close();
    applyLayout(Layout::Disconnected);
    m_messages->show();
    m_connectButton->setText(caption(147));
    m_portList->setEnabled(true);
    addMessage(caption(152) + QLatin1Char('.'));
    setStatus(caption(152));
}

void MainWindow::closeConnection()
{
    if (QWidget *options = secondary("TForm4")) {
        options->setEnabled(true);
        options->close();
    }
    if (QWidget *a650 = secondary("TForm24")) {
        a650->close();
    }
    m_messages->clear();
    disconnectPort();
}

void MainWindow::timer1Timer()
{
    if (m_timer1->interval() == kHandshakeIntervalMs) {
        m_link.send(cmd::handshake());
        m_link.send(cmd::versionQuery());
        // A running watchdog keeps its schedule: its first tick comes 5 s after the first query.
        if (!m_timer2->isActive()) {
            m_timer2->setInterval(kHandshakeWatchdogMs);
            m_timer2->start();
        }
    } else {
        m_link.send(cmd::livePoll());
    }
}

void MainWindow::timer2Timer()
{
    if (m_facts.handshakeDone) {
        if (!isEnabled()) {
            return; // a long operation runs and drives the link itself
        }
        const qint64 now = m_clock->nowMs();
        const bool silent = !m_facts.lastAnswerMs || now - *m_facts.lastAnswerMs > kAnswerTimeoutMs;
        if (silent) {
            closeConnection();
            UserDialogs::instance().showMessage(caption(221));
        }
        return;
    }
    closeConnection();
    UserDialogs::instance().showMessage(caption(219) + kCrLf + caption(220));
}

// ---------------------------------------------------------------------------------------------
// Handshake and capability answers

void MainWindow::handleHandshake(const AnswerFrame &frame)
{
    const QString version = frame.field(0);
    if (version != QLatin1String(RequiredFirmwareVersion)) {
        disconnectPort();
        const QString required = QLatin1String(RequiredFirmwareVersion);
        const QString wrongVersion = caption(242) + kCr + caption(243);
        if (!version.startsWith(QLatin1Char('3'))) {
            UserDialogs::instance().showMessage(wrongVersion + required);
            return;
        }
        // A version too short for a third character fails here like any malformed number.
        if (toInt(version.mid(2, 1)) > toInt(required.mid(2, 1))) {
            UserDialogs::instance().showMessage(caption(254) + kCr + caption(255) + version + kCr +
                                                QLatin1String(kDownloadAddress) +
                                                QStringLiteral("?a=kesto"));
            return;
        }
        // Only a "COMn" name has a number to compare; device paths never hit the port limit.
        const std::optional<int> portNumber = comPortNumber(m_portList->currentText());
        if (portNumber && *portNumber >= 10) {
            UserDialogs::instance().showMessage(
                wrongVersion + required + kCr + kCr + caption(341) + kCr + caption(342) +
                QLatin1String(kPortInstructionsAddress) + QStringLiteral("?a=com"));
            return;
        }
        if (UserDialogs::instance().askYesNo(wrongVersion + programVersion() + kCr +
                                             caption(244))) {
            showFirmwareWindowOnScreenCentre();
        }
        return;
    }

    // Numbers first: a malformed answer changes nothing, so the watchdog reports it as no
    // answer instead of leaving a half-made connection behind.
    const QString serialText = frame.field(1);
    const int serial = toInt(serialText);
    const bool hasBuild = frame.fields.size() >= 3;
    const int build = hasBuild ? frame.intField(2) : 0;

    m_facts.handshakeDone = true;
    m_timer3->stop();
    m_timer1->setInterval(kPollIntervalMs);
    m_timer2->setInterval(kWatchdogMs);

    m_messages->hide();
    m_messages->clear();
    addMessage(QStringLiteral("KESTO ") + caption(151) + QLatin1Char('.'));
    addMessage(caption(217) + version);
    addMessage(caption(218) + serialText);

    setStatus(caption(151));
    const QString serialPart = QStringLiteral("  ") + caption(153) + QLatin1Char(':') + serialText;
    m_statusPanel1->setText(version + serialPart);
    m_facts.serialNumber = serial;

    applyLayout(Layout::Connected);

    setMenuEnabled(m_optionsMenu, true);
    setMenuEnabled(m_mapsMenu, true);
    setMenuEnabled(m_controlMenu, true);
    findChild<QAction *>(QStringLiteral("Showgearlog1"))->setEnabled(true);

    if (hasBuild) {
        m_statusPanel1->setText(version + QLatin1Char('.') + frame.field(2) + serialPart);
    }
    m_facts.firmwareBuild = build;

    const bool sameBuild = build == WriterBuild;
    setMenuEnabled(m_mapsMenu, sameBuild);
    findChild<QAction *>(QStringLiteral("O1"))->setEnabled(sameBuild);
    m_calibrationMenu->menuAction()->setEnabled(sameBuild);
    findChild<QAction *>(QStringLiteral("UploadConfig1"))->setEnabled(sameBuild);
    findChild<QAction *>(QStringLiteral("Y1"))->setVisible(!sameBuild);
}

void MainWindow::handleVersionAnswer(const AnswerFrame &)
{
    disconnectPort();
    const QString text = caption(242) + kCr + caption(243) +
                         QLatin1String(RequiredFirmwareVersion) + kCr + caption(244);
    if (UserDialogs::instance().askYesNo(text)) {
        showFirmwareWindowOverMain();
    }
}

void MainWindow::handleGearCount(const AnswerFrame &frame)
{
    QAction *shift34 = findChild<QAction *>(QStringLiteral("SHIFTUP341"));
    QAction *shift45 = findChild<QAction *>(QStringLiteral("N45shift1"));
    QAction *shift56 = findChild<QAction *>(QStringLiteral("N56shift1"));
    shift34->setVisible(true);
    shift45->setVisible(true);
    shift56->setVisible(true);
    if (frame.fields.size() >= 2) {
        m_facts.warningLimit = frame.intField(1);
    }
    const QString gears = frame.field(0);
    if (gears == QLatin1String("3")) {
        shift34->setVisible(false);
        shift45->setVisible(false);
        shift56->setVisible(false);
    } else if (gears == QLatin1String("4")) {
        shift45->setVisible(false);
        shift56->setVisible(false);
    } else if (gears == QLatin1String("5")) {
        shift56->setVisible(false);
    }
    m_facts.setGearCount(toInt(gears));
}

void MainWindow::handleFeatures(const AnswerFrame &frame)
{
    static const char *const kEntries[4] = {"Mainpressuremap1", "Accumulatorpressuremap1",
                                            "Lockupmap1", "AWDControlSLC1"};
    int flags[4];
    for (int i = 0; i < 4; ++i) {
        flags[i] = frame.intField(i);
        if (flags[i] == 0) {
            findChild<QAction *>(QLatin1String(kEntries[i]))->setVisible(false);
        }
    }
    int lastGear = -1;
    if (frame.fields.size() >= 5) {
        lastGear = frame.intField(4);
        if (lastGear != 1) {
            findChild<QAction *>(QStringLiteral("lastgearlockup"))->setVisible(false);
        }
    }
    Q_EMIT m_facts.featuresReported(flags[0], flags[1], flags[2], flags[3], lastGear);
}

// ---------------------------------------------------------------------------------------------
// Live data

bool MainWindow::sltInverted() const
{
    QWidget *options = secondary("TForm4");
    const auto *box =
        options ? options->findChild<QAbstractButton *>(QStringLiteral("CheckBox73")) : nullptr;
    return box && box->isChecked();
}

void MainWindow::handleLiveData(const AnswerFrame &frame)
{
    try {
        m_live.apply(frame, sltInverted(), m_facts.warningLimit);
    } catch (...) {
        showLiveValues(); // what the frame set before its faulty field stays shown
        throw;
    }
    showLiveValues();
    Q_EMIT liveFrameApplied(frame);
}

void MainWindow::showLiveValues()
{
    m_rpm->setText(m_live.rpm);
    m_speed->setText(m_live.speed);
    setTextColour(m_speed, m_live.speedWarning ? kWarningRed : QColor(Qt::black));
    m_throttle->setText(m_live.throttle);
    m_gear->setText(m_live.gear);
    m_selector->setText(m_live.selector);
    m_mode->setText(m_live.mode);
    m_slt->setText(m_live.slt);
    m_sln->setText(m_live.sln);
    m_slc->setText(m_live.slc);
    m_lockup->setText(m_live.lockup);
    setTextColour(m_oilTemp, m_live.oilTempWarning ? kWarningRed : QColor(Qt::black));
    m_oilTemp->setText(m_live.oilTemp);
    m_slu->setText(m_live.slu);
    m_bootBanner->setVisible(m_live.bootMode);
}

// ---------------------------------------------------------------------------------------------
// Gauge window

void MainWindow::speedButton1Click()
{
    QWidget *gauges = secondary("TForm20");
    if (!gauges) {
        return;
    }
    if (gauges->isVisible()) {
        gauges->hide();
        return;
    }
    gauges->move(frameGeometry().x() + frameGeometry().width(), frameGeometry().y() + 48);
    gauges->show();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (QWidget *gauges = secondary("TForm20"); gauges && gauges->isVisible()) {
        gauges->move(frameGeometry().x() + frameGeometry().width(), frameGeometry().y() + 48);
    }
}

// ---------------------------------------------------------------------------------------------
// Firmware window openers

void MainWindow::prepareFirmwareWindow(QWidget *window)
{
    if (auto *firmware = qobject_cast<FirmwareUpdateWindow *>(window)) {
        firmware->prepareToShow();
    }
}

void MainWindow::showFirmwareWindowOnScreenCentre()
{
    QWidget *firmware = secondary("TForm19");
    if (!firmware) {
        return;
    }
    setEnabled(false);
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QSize s = screen ? screen->geometry().size() : QSize();
    const QSize w = firmware->frameGeometry().size();
    firmware->move(s.width() / 2 - w.width() / 2, s.height() / 2 - w.height() / 2);
    prepareFirmwareWindow(firmware);
    firmware->show();
}

void MainWindow::showFirmwareWindowOverMain()
{
    QWidget *firmware = secondary("TForm19");
    if (!firmware) {
        return;
    }
    setEnabled(false);
    // Client widths: a window not shown yet has no frame to measure, and both frames match.
    const QRect main = frameGeometry();
    firmware->move(main.x() - (firmware->width() - width()) / 2, main.y());
    prepareFirmwareWindow(firmware);
    firmware->show();
}

// ---------------------------------------------------------------------------------------------
// Menus, keys, language

void MainWindow::sendReadRequest(const QString &answerType)
{
    m_link.send(cmd::readRequest(answerType));
}

void MainWindow::triggerEntry(QAction *entry)
{
    // trigger() ignores an entry that was disabled, but not one that is only hidden: a hidden
    // map entry still answers its key and tool button, as it should.
    entry->trigger();
}

void MainWindow::setMenuEnabled(QMenu *menu, bool enabled)
{
    // Only the entry in the menu bar: disabling the menu widget would also disable its
    // sub-menus' entries (C1), whose own state the build check decides.
    menu->menuAction()->setEnabled(enabled);
}

bool MainWindow::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_F4 && (modifiers & Qt::AltModifier)) {
        return true; // only the close box closes the main window
    }
    if (key == Qt::Key_F12) {
        button1Click();
        return true;
    }
    if (!m_facts.handshakeDone) {
        return false;
    }
    const char *entry = nullptr;
    switch (key) {
    case Qt::Key_F1:
        entry = "O1";
        break;
    case Qt::Key_F2:
        entry = "SHIFTUP121";
        break;
    case Qt::Key_F3:
        entry = "WOT1";
        break;
    case Qt::Key_F4:
        entry = "Lockupmap1";
        break;
    case Qt::Key_F5:
        entry = "Mainpressuremap1";
        break;
    case Qt::Key_F9:
        entry = "logging1";
        break;
    case Qt::Key_F10:
        entry = "Logview1"; // used up, so the menu bar is not activated as well
        break;
    default:
        return false;
    }
    triggerEntry(findChild<QAction *>(QLatin1String(entry)));
    return true;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == this) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (handleKey(key->key(), key->modifiers())) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::chooseLanguage(const QString &code)
{
    try {
        ApplyLanguage(code, m_facts);
    } catch (const Error &e) {
        reportGeneralError(e.text());
        return;
    }
    m_language = code;
    const bool russian = code == QLatin1String("ru");
    findChild<QAction *>(QStringLiteral("Russian1"))->setChecked(russian);
    findChild<QAction *>(QStringLiteral("English1"))->setChecked(!russian);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        try {
            ApplyLanguage(m_language, m_facts);
        } catch (const Error &e) {
            reportGeneralError(e.text());
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Small helpers

void MainWindow::addMessage(const QString &line)
{
    m_messages->appendPlainText(line);
}

void MainWindow::setStatus(const QString &panel0)
{
    m_statusPanel0->setText(panel0);
}

QWidget *MainWindow::secondary(const char *objectName) const
{
    return m_ctx.window(QLatin1String(objectName));
}

} // namespace kesto
