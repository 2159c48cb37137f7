#include "app/gauge_window.h"
#include "app/main_window.h"
#include "i18n/caption_list.h"

#include "main_window_fixture.h"
#include "test_main.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QToolButton>

using namespace kesto;
using kesto::test::MainWindowFixture;

namespace {

const QString kWrongVersion = QStringLiteral(
    "Incorrect FIRMWARE version.\rTo use this WRITER, you need update firmware version to: ");

QStringList entryNames(const QMenu *menu)
{
    QStringList names;
    for (const QAction *a : menu->actions()) {
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
    }
    return names;
}

// The idle state of the connection table.
void verifyIdle(MainWindowFixture &f)
{
    QVERIFY(!f.w().link().isOpen());
    QVERIFY(!f.w().facts().handshakeDone);
    QVERIFY(!f.timer("Timer1")->isActive());
    QCOMPARE(f.timer("Timer1")->interval(), 2000);
    QVERIFY(!f.timer("Timer2")->isActive());
    QVERIFY(f.timer("Timer3")->isActive());
    QCOMPARE(f.timer("Timer3")->interval(), 2000);
    QCOMPARE(f.w().currentLayout(), MainWindow::Layout::Disconnected);
    QVERIFY(!f.child<QWidget>("Memo1")->isHidden());
    QCOMPARE(f.child<QPushButton>("Button1")->text(), QStringLiteral("Connect"));
    QVERIFY(f.child<QComboBox>("ComboBox1")->isEnabledTo(f.window.get()));
    QCOMPARE(f.status0(), QStringLiteral("Disconnected"));
    QVERIFY(!f.menu("MAP1")->menuAction()->isEnabled());
    QVERIFY(!f.menu("Maps1")->menuAction()->isEnabled());
    QVERIFY(!f.menu("CONTROL1")->menuAction()->isEnabled());
    QVERIFY(!f.action("Showgearlog1")->isEnabled());
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanupTestCase() { m_lookedAt.reset(); }

    void startUpComponents_data();
    void startUpComponents();
    void startUpState();
    void storedLanguageTicksItsEntry_data();
    void storedLanguageTicksItsEntry();
    void languageEntries();
    void layouts();
    void menuOrder();

    void connectOpensAndWaits();
    void connectFailsAfterOneRetry();
    void handshakeTicks();
    void everyWayBackToIdle_data();
    void everyWayBackToIdle();

    void handshakeAnswers_data();
    void handshakeAnswers();
    void malformedHandshakeChangesNothing();
    void versionAnswer_data();
    void versionAnswer();

    void gearCountAnswers_data();
    void gearCountAnswers();
    void featureAnswers_data();
    void featureAnswers();

    void watchdogAfterHandshake();
    void watchdogWithoutHandshake();

    void liveDataOnThePanel();
    void liveFrameSignalAfterEveryLabel();
    void faultyLiveFrameKeepsWhatWasApplied();
    void sltInversionFromOptionsWindow();

    void menuStateTable_data();
    void menuStateTable();
    void emulationContextMenu();
    void readRequests_data();
    void readRequests();
    void functionKeys_data();
    void functionKeys();
    void keysReachTheWindowFromFocusedControls();
    void toolButtons_data();
    void toolButtons();

    void portListRefresh();
    void gaugeWindowToggleAndFollow();
    void screenshots();

private:
    QSettings settings() { return QSettings(QStringLiteral("KESTO")); }
    std::unique_ptr<MainWindowFixture> m_lookedAt;
};

void TestMainWindow::init()
{
    QSettings s = settings();
    s.clear();
    s.sync();
}

// ---------------------------------------------------------------------------------------------

void TestMainWindow::startUpComponents_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text"); // "" = not checked

    const struct
    {
        const char *name, *cls, *text;
    } rows[] = {
        {"sToolBar1", "QFrame", ""},
        {"Label7", "QLabel", "PORT:"},
        {"ComboBox1", "QComboBox", ""},
        {"Button1", "QPushButton", "Connect"},
        {"Bevel1", "QFrame", ""},
        {"Memo1", "QPlainTextEdit", ""},
        {"GroupBox1", "QGroupBox", ""},
        {"Label1", "QLabel", "RPM:"},
        {"Label3", "QLabel", "Speed:"},
        {"Label4", "QLabel", "Throttle:"},
        {"Label14", "QLabel", "Oil temp:"},
        {"Label20", "QLabel", "Selector:"},
        {"Label6", "QLabel", "Mode:"},
        {"Label5", "QLabel", "Gear:"},
        {"Label10", "QLabel", "Lockup:"},
        {"Label8", "QLabel", "SLT pressure:"},
        {"Label12", "QLabel", "SLN pressure:"},
        {"Label2", "QLabel", "SLC pressure:"},
        {"rmp_label", "QLabel", "-"},
        {"speed_label", "QLabel", "-"},
        {"tps_label", "QLabel", "-"},
        {"Label15", "QLabel", "-"},
        {"Label19", "QLabel", "-"},
        {"mode_label", "QLabel", "-"},
        {"gear_label", "QLabel", "-"},
        {"Label11", "QLabel", "-"},
        {"Label9", "QLabel", "-"},
        {"Label13", "QLabel", "-"},
        {"Label16", "QLabel", "-"},
        {"sLabel1", "QLabel", ""},
        {"sLabel2", "QLabel", "BOOT MODE"},
        {"SpeedButton1", "QToolButton", ""},
        {"sPanel1", "QFrame", ""},
        {"StatusBar1", "QFrame", ""},
        {"StatusPanel0", "QLabel", "Disconnected"},
        {"Timer1", "QTimer", ""},
        {"Timer2", "QTimer", ""},
        {"Timer3", "QTimer", ""},
        {"MainMenu1", "QMenuBar", ""},
        {"MAP1", "QMenu", ""},
        {"Maps1", "QMenu", ""},
        {"CONTROL1", "QMenu", ""},
        {"C1", "QMenu", ""},
        {"Language1", "QMenu", ""},
        {"PopupMenu1", "QMenu", ""},
        {"PopupMenu2", "QMenu", ""},
        {"O1", "QAction", "Main Options (F1)"},
        {"PSCALIBRATION1", "QAction", "TPS &calibration"},
        {"T1", "QAction", "t\u00B0 sensor calibration"},
        {"Logview1", "QAction", "Shift log (F10)"},
        {"logging1", "QAction", "Start file logging (F9)"},
        {"UploadConfig1", "QAction", "Upload config to KESTO"},
        {"Saveconfig1", "QAction", "Save config from KESTO"},
        {"Y1", "QAction", "Upload current firmware 3.7.7"},
        {"English1", "QAction", "English"},
        {"Russian1", "QAction", "Russian"},
        {"SHIFTUP121", "QAction", "1-2 upshift,downshift (F2)"},
        {"SHIFTUP231", "QAction", "2-3 upshift,downshift"},
        {"SHIFTUP341", "QAction", "3-4 upshift,downshift"},
        {"N45shift1", "QAction", "4-5 upshift,downshift"},
        {"N56shift1", "QAction", "5-6 upshift,downshift"},
        {"WOT1", "QAction", "Full throttle shift map (F3)"},
        {"Mainpressuremap1", "QAction", "Main pressure map [SLT] (F5)"},
        {"Accumulatorpressuremap1", "QAction", "Accumulator pressure map [SLN]"},
        {"Lockupmap1", "QAction", "Lockup map [SLU] (F4)"},
        {"lastgearlockup", "QAction", "Last &gear lockup map [SLU]"},
        {"AWDControlSLC1", "QAction", "AWD Control [SLC]"},
        {"Emulation1", "QAction", "Emulation"},
        {"Emulation2", "QAction", "Emulation"},
        {"Clear1", "QAction", "Clear"},
        {"Showgearlog1", "QAction", "Show gear shift log"},
    };
    for (const auto &r : rows) {
        QTest::newRow(r.name) << r.name << r.cls << QString::fromUtf8(r.text);
    }
    for (int i = 1; i <= 8; ++i) {
        const QByteArray name = "sSpeedButton" + QByteArray::number(i);
        QTest::newRow(name.constData()) << QString::fromLatin1(name) << "QToolButton"
                                        << "";
    }
}

void TestMainWindow::startUpComponents()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);

    // One window serves every row: the rows only look.
    if (!m_lookedAt) {
        m_lookedAt = std::make_unique<MainWindowFixture>();
    }
    QObject *c = m_lookedAt->w().findChild<QObject *>(name);
    QVERIFY2(c, qPrintable(name));
    QVERIFY(c->inherits(className.toLatin1().constData()));
    if (!text.isEmpty()) {
        QCOMPARE(c->property("text").toString(), text);
    }
}

void TestMainWindow::startUpState()
{
    MainWindowFixture f;
    QCOMPARE(f.w().objectName(), QStringLiteral("TForm1"));
    QCOMPARE(f.w().windowTitle(), QStringLiteral("KESTO Writer 3.7.7"));
    QVERIFY(!(f.w().windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.child<QGroupBox>("GroupBox1")->title(), QStringLiteral("Live data:"));

    QCOMPARE(f.child<QComboBox>("ComboBox1")->currentText(), QStringLiteral("COM4"));

    // Ports sorted as text; without a requested port the last entry is selected.
    MainWindowFixture g(QString(), {"COM4", "COM10", "COM2"});
    auto *list = g.child<QComboBox>("ComboBox1");
    QCOMPARE(list->itemText(0), QStringLiteral("COM10"));
    QCOMPARE(list->itemText(1), QStringLiteral("COM2"));
    QCOMPARE(list->currentText(), QStringLiteral("COM4"));
    QVERIFY(!list->isEditable());

    QVERIFY(f.child<QWidget>("sLabel1")->isHidden());
    QVERIFY(f.child<QWidget>("sLabel2")->isHidden());
    QCOMPARE(f.status1(), QString());
    QVERIFY(f.timer("Timer3")->isActive());
    QVERIFY(!f.timer("Timer1")->isActive());
    QCOMPARE(f.timer("Timer1")->interval(), 2000);
    QCOMPARE(f.w().facts().gearCount, 4);
    QCOMPARE(f.w().facts().warningLimit, 100);
    QCOMPARE(f.w().context().pollTimer, f.timer("Timer1"));
    QCOMPARE(f.w().context().watchdogTimer, f.timer("Timer2"));
    QVERIFY(f.w().context().configFolder.endsWith(QLatin1String("/config/")));
}

void TestMainWindow::storedLanguageTicksItsEntry_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QString>("afterStart");

    QTest::newRow("ru") << "ru" << true << "ru";
    QTest::newRow("en") << "en" << false << "en";
    QTest::newRow("none stored: en written") << "" << false << "en";
}

void TestMainWindow::storedLanguageTicksItsEntry()
{
    QFETCH(QString, stored);
    QFETCH(bool, russian);
    QFETCH(QString, afterStart);

    if (!stored.isEmpty()) {
        QSettings s = settings();
        s.setValue("lang", stored);
        s.sync();
    }
    MainWindowFixture f;
    QCOMPARE(f.action("Russian1")->isChecked(), russian);
    QCOMPARE(f.action("English1")->isChecked(), !russian);
    QCOMPARE(f.w().language(), afterStart);
    QCOMPARE(settings().value("lang").toString(), afterStart);
    QCOMPARE(f.w().windowTitle(), QStringLiteral("KESTO Writer 3.7.7"));
}

void TestMainWindow::languageEntries()
{
    MainWindowFixture f;
    f.w().show(); // showing applies the stored language
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    QCOMPARE(f.action("O1")->text(), QStringLiteral("Main Options (F1)"));

    f.action("Russian1")->trigger();
    QCOMPARE(f.action("O1")->text(), QString::fromUtf8("Основные настройки (F1)"));
    QVERIFY(f.action("Russian1")->isChecked());
    QVERIFY(!f.action("English1")->isChecked());
    QCOMPARE(settings().value("lang").toString(), QStringLiteral("ru"));
    QCOMPARE(f.w().windowTitle(), QStringLiteral("KESTO Writer 3.7.7"));

    // A code without a caption list is reported; the windows and ticks stay as they were.
    f.w().chooseLanguage(QStringLiteral("xx"));
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages.first().contains(QLatin1String("xx")));
    QCOMPARE(f.action("O1")->text(), QString::fromUtf8("Основные настройки (F1)"));
    QVERIFY(f.action("Russian1")->isChecked());

    f.action("English1")->trigger();
    QCOMPARE(f.action("O1")->text(), QStringLiteral("Main Options (F1)"));
    QVERIFY(f.action("English1")->isChecked());
    QVERIFY(!f.action("Russian1")->isChecked());
}

void TestMainWindow::layouts()
{
    MainWindowFixture f;
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    auto *group = f.child<QWidget>("GroupBox1");
    auto *panel = f.child<QWidget>("sPanel1");

    QCOMPARE(f.w().clientSize(), QSize(220, 388));
    QCOMPARE(f.w().centralWidget()->size(), QSize(220, 388));
    QCOMPARE(f.child<QWidget>("Memo1")->geometry(), QRect(8, 40, 205, 321));
    QVERIFY(f.child<QWidget>("Memo1")->isVisible());
    QVERIFY(f.child<QWidget>("sToolBar1")->isVisible());
    QCOMPARE(f.child<QWidget>("sToolBar1")->height(), 29);
    QCOMPARE(f.child<QWidget>("ComboBox1")->width(), 72);
    QCOMPARE(f.child<QWidget>("Bevel1")->y(), 33);
    QCOMPARE(group->pos(), QPoint(224, 8)); // start-up: outside the client area
    QCOMPARE(group->size(), QSize(201, 321));
    QCOMPARE(panel->pos(), QPoint(432, 16));
    QCOMPARE(panel->size(), QSize(42, 313));
    QCOMPARE(f.label("StatusPanel0")->width(), 90);
    QCOMPARE(f.label("StatusPanel0")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    QVERIFY(f.child<QWidget>("StatusBar1")->geometry().bottom() == 387);

    f.connectWith();
    QCOMPARE(f.w().currentLayout(), MainWindow::Layout::Connected);
    QCOMPARE(f.w().centralWidget()->size(), QSize(262, 353));
    QVERIFY(!f.child<QWidget>("Memo1")->isVisible());
    QVERIFY(!f.child<QWidget>("sToolBar1")->isVisible());
    QCOMPARE(f.child<QWidget>("Bevel1")->y(), 3);
    QCOMPARE(group->pos(), QPoint(54, 8));
    QCOMPARE(panel->pos(), QPoint(5, 16));
    QVERIFY(f.w().centralWidget()->rect().contains(group->geometry()));
    QVERIFY(f.child<QWidget>("StatusBar1")->geometry().bottom() == 352);
    for (int i = 1; i <= 8; ++i) {
        auto *b = f.w().findChild<QToolButton *>(QStringLiteral("sSpeedButton%1").arg(i));
        QCOMPARE(b->size(), QSize(32, 32));
        QVERIFY(panel->rect().contains(b->geometry()));
    }

    f.w().button1Click();
    QCOMPARE(f.w().centralWidget()->size(), QSize(220, 388));
    QCOMPARE(group->pos(), QPoint(245, 8));
    QVERIFY(!f.w().centralWidget()->rect().intersects(group->geometry()));
    QVERIFY(f.child<QWidget>("Memo1")->isVisible());
    QCOMPARE(f.child<QWidget>("Bevel1")->y(), 33);
}

void TestMainWindow::menuOrder()
{
    MainWindowFixture f;
    QStringList top;
    for (QAction *a : f.child<QMenuBar>("MainMenu1")->actions()) {
        top << a->menu()->objectName();
    }
    QCOMPARE(top, (QStringList{"MAP1", "Maps1", "CONTROL1"}));
    QCOMPARE(entryNames(f.menu("MAP1")),
             (QStringList{"O1", "C1Entry", "-", "Logview1", "logging1", "-", "UploadConfig1",
                          "Saveconfig1", "Y1", "-", "Language1Entry"}));
    QVERIFY(!f.menu("MAP1")->actions().at(5)->isVisible()); // the hidden separator
    QCOMPARE(entryNames(f.menu("C1")), (QStringList{"PSCALIBRATION1", "T1"}));
    QCOMPARE(entryNames(f.menu("Language1")), (QStringList{"English1", "Russian1"}));
    QCOMPARE(entryNames(f.menu("Maps1")),
             (QStringList{"SHIFTUP121", "SHIFTUP231", "SHIFTUP341", "N45shift1", "N56shift1", "-",
                          "WOT1", "-", "Mainpressuremap1", "Accumulatorpressuremap1", "Lockupmap1",
                          "lastgearlockup", "AWDControlSLC1"}));
    QCOMPARE(entryNames(f.menu("CONTROL1")), QStringList{"Emulation1"});
    QCOMPARE(entryNames(f.menu("PopupMenu2")), (QStringList{"Clear1", "-", "Showgearlog1"}));
    QCOMPARE(entryNames(f.menu("PopupMenu1")), QStringList{"Emulation2"});
    QCOMPARE(f.menu("MAP1")->title(), QStringLiteral("Options"));
    QCOMPARE(f.menu("Maps1")->title(), QStringLiteral("Maps"));
    QCOMPARE(f.menu("C1")->title(), QStringLiteral("Calibrations"));
    QCOMPARE(f.menu("Language1")->title(), QStringLiteral("Language"));
}

// ---------------------------------------------------------------------------------------------
// Connection

void TestMainWindow::connectOpensAndWaits()
{
    MainWindowFixture f;
    f.w().button1Click();
    QCOMPARE(f.opens, 1);
    QVERIFY(f.w().link().isOpen());
    QCOMPARE(f.messageLines(),
             (QStringList{"Found something on port COM4.", "Waiting for KESTO response...",
                          "Typically about 5 seconds"}));
    QVERIFY(f.timer("Timer1")->isActive());
    QCOMPARE(f.timer("Timer1")->interval(), 2000);
    QVERIFY(!f.timer("Timer2")->isActive());
    QVERIFY(f.timer("Timer3")->isActive());
    QCOMPARE(f.child<QPushButton>("Button1")->text(), QStringLiteral("Disconnect"));
    QVERIFY(!f.child<QComboBox>("ComboBox1")->isEnabled());
    QCOMPARE(f.w().currentLayout(), MainWindow::Layout::Disconnected);
    QVERIFY(!f.w().facts().handshakeDone);
    QCOMPARE(f.takeSent(), QByteArray()); // nothing before the first tick
}

void TestMainWindow::connectFailsAfterOneRetry()
{
    MainWindowFixture f;
    f.openFails = true;
    f.w().button1Click();
    QCOMPARE(f.opens, 2);
    QCOMPARE(f.messageLines(), QStringList{"Connect is error."});
    QVERIFY(!f.timer("Timer1")->isActive());
    QCOMPARE(f.child<QPushButton>("Button1")->text(), QStringLiteral("Connect"));
    QVERIFY(f.child<QComboBox>("ComboBox1")->isEnabled());
    QVERIFY(f.dialogs.messages.isEmpty());

    // With no port at all the real opener fails the same way.
    test::ScriptedDialogs dialogs;
    MainWindowOptions options;
    options.portLister = [] { return QStringList(); };
    MainWindow empty(options);
    QCOMPARE(empty.findChild<QComboBox *>("ComboBox1")->currentIndex(), -1);
    empty.button1Click();
    QCOMPARE(empty.findChild<QPlainTextEdit *>("Memo1")->toPlainText(),
             QStringLiteral("Connect is error."));
    QVERIFY(!empty.link().isOpen());
}

void TestMainWindow::handshakeTicks()
{
    MainWindowFixture f;
    f.w().button1Click();
    QTimer *watchdog = f.timer("Timer2");
    f.w().timer1Timer();
    QCOMPARE(f.takeSent(), QByteArray("q1~getver~"));
    QVERIFY(watchdog->isActive());
    QCOMPARE(watchdog->interval(), 5000);
    const int schedule = watchdog->timerId();
    // Later queries leave the running watchdog's schedule alone.
    f.w().timer1Timer();
    f.w().timer1Timer();
    QCOMPARE(f.takeSent(), QByteArray("q1~getver~q1~getver~"));
    QCOMPARE(watchdog->timerId(), schedule);

    f.answer("z13.7,12345,7~");
    QCOMPARE(f.timer("Timer1")->interval(), 100);
    QVERIFY(f.timer("Timer1")->isActive());
    QCOMPARE(watchdog->interval(), 1000);
    QVERIFY(watchdog->isActive());
    QVERIFY(!f.timer("Timer3")->isActive());
    f.w().timer1Timer();
    f.w().timer1Timer();
    QCOMPARE(f.takeSent(), QByteArray("q2~q2~"));

    // Any interval but 2000 is polling mode (a shift map editor sets 500).
    f.timer("Timer1")->setInterval(500);
    f.w().timer1Timer();
    QCOMPARE(f.takeSent(), QByteArray("q2~"));
}

enum class Way
{
    ButtonWaiting,
    F12Waiting,
    WatchdogWaiting,
    OtherVersionWaiting,
    VeWaiting,
    ButtonConnected,
    F12Connected,
    ToolButtonConnected,
    WatchdogConnected,
    VeConnected,
    FirmwareEntryConnected,
};

void TestMainWindow::everyWayBackToIdle_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QString>("message");

    QTest::newRow("button while waiting") << int(Way::ButtonWaiting) << "";
    QTest::newRow("F12 while waiting") << int(Way::F12Waiting) << "";
    QTest::newRow("watchdog while waiting")
        << int(Way::WatchdogWaiting)
        << "Cant connect to KESTO.\r\nIncorrect COM port or cable error.";
    QTest::newRow("other version while waiting")
        << int(Way::OtherVersionWaiting) << kWrongVersion + "3.7";
    QTest::newRow("ve while waiting") << int(Way::VeWaiting) << "";
    QTest::newRow("button while connected") << int(Way::ButtonConnected) << "";
    QTest::newRow("F12 while connected") << int(Way::F12Connected) << "";
    QTest::newRow("disconnect tool button") << int(Way::ToolButtonConnected) << "";
    QTest::newRow("watchdog while connected")
        << int(Way::WatchdogConnected) << "Disconnected from KESTO.";
    QTest::newRow("ve while connected") << int(Way::VeConnected) << "";
    QTest::newRow("firmware entry while connected") << int(Way::FirmwareEntryConnected) << "";
}

void TestMainWindow::everyWayBackToIdle()
{
    QFETCH(int, way);
    QFETCH(QString, message);

    MainWindowFixture f;
    QSignalSpy disconnecting(&f.w(), &MainWindow::disconnecting);
    f.w().button1Click();
    f.w().timer1Timer();
    const Way w = Way(way);
    if (w >= Way::ButtonConnected) {
        f.answer(w == Way::FirmwareEntryConnected ? "z13.7,12345,6~" : "z13.7,12345,7~");
        QVERIFY(f.w().facts().handshakeDone);
        f.w().speedButton1Click();
        QVERIFY(f.secondary("TForm20")->isVisible());
    }
    switch (w) {
    case Way::ButtonWaiting:
    case Way::ButtonConnected:
        f.w().button1Click();
        break;
    case Way::F12Waiting:
    case Way::F12Connected:
        QVERIFY(f.w().handleKey(Qt::Key_F12, Qt::NoModifier));
        break;
    case Way::ToolButtonConnected:
        f.child<QToolButton>("sSpeedButton8")->click();
        break;
    case Way::WatchdogWaiting:
        f.w().timer2Timer();
        break;
    case Way::WatchdogConnected:
        f.clock.advance(4001);
        f.w().timer2Timer();
        break;
    case Way::OtherVersionWaiting:
        f.answer("z12.9,12345,7~");
        break;
    case Way::VeWaiting:
    case Way::VeConnected:
        f.answer("ve~");
        break;
    case Way::FirmwareEntryConnected:
        QVERIFY(f.action("Y1")->isVisible());
        f.action("Y1")->trigger();
        break;
    }
    verifyIdle(f);
    QCOMPARE(disconnecting.count(), 1);
    QCOMPARE(f.messageLines().last(), QStringLiteral("Disconnected."));
    QCOMPARE(f.dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(!f.secondary("TForm20")->isVisible());
    const bool firmwareOpened = w == Way::FirmwareEntryConnected;
    QCOMPARE(f.secondary("TForm19")->isVisible(), firmwareOpened);
    QCOMPARE(f.w().isEnabled(), !firmwareOpened);

    // Idle again means connectable again.
    f.takeSent();
    f.w().button1Click();
    QVERIFY(f.w().link().isOpen());
    f.w().timer1Timer();
    QCOMPARE(f.takeSent(), QByteArray("q1~getver~"));
}

// ---------------------------------------------------------------------------------------------
// Handshake answers

void TestMainWindow::handshakeAnswers_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QByteArray>("z1");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("status1");
    QTest::addColumn<int>("build");
    QTest::addColumn<bool>("sameBuild");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("firmwareShown");

    const QString offer = kWrongVersion + "3.7.7\rWant to upgrade firmware?";
    QTest::newRow("3.7, 12345, 7") << "COM4" << QByteArray("z13.7,12345,7~") << false << true
                                   << "3.7.7  serial:12345" << 7 << true << ""
                                   << "" << false;
    QTest::newRow("build 6") << "COM4" << QByteArray("z13.7,12345,6~") << false << true
                             << "3.7.6  serial:12345" << 6 << false << ""
                             << "" << false;
    QTest::newRow("only two fields") << "COM4" << QByteArray("z13.7,12345~") << false << true
                                     << "3.7  serial:12345" << 0 << false << ""
                                     << "" << false;
    QTest::newRow("3.8 is newer")
        << "COM4" << QByteArray("z13.8,12345,7~") << false << false << "" << 0 << false
        << "You have a more recent firmware, download the new KESTO Writer.\rATCU firmware "
           "version: 3.8\rhttps://kesto.example/download?a=kesto"
        << "" << false;
    QTest::newRow("3.6 on COM12")
        << "COM12" << QByteArray("z13.6,12345,7~") << false << false << "" << 0 << false
        << kWrongVersion +
               "3.7\r\rUnfortunately, to update the firmware, it is necessary that the device "
               "port is less than COM10.\rInstructions for lowering the port number can be "
               "found at: https://kesto.example/com-port?a=com"
        << "" << false;
    QTest::newRow("3.6 on COM4, no") << "COM4" << QByteArray("z13.6,12345,7~") << false << false
                                     << "" << 0 << false << "" << offer << false;
    QTest::newRow("3.6 on COM4, yes") << "COM4" << QByteArray("z13.6,12345,7~") << true << false
                                      << "" << 0 << false << "" << offer << true;
    QTest::newRow("2.9") << "COM4" << QByteArray("z12.9,12345,7~") << false << false << "" << 0
                         << false << kWrongVersion + "3.7"
                         << "" << false;
    QTest::newRow("version too short") << "COM4" << QByteArray("z13,12345,7~") << false << false
                                       << "" << 0 << false << "'' is not a valid integer value"
                                       << "" << false;
    QTest::newRow("3.6 on a device path offers the update")
        << "/dev/ttyUSB0" << QByteArray("z13.6,1,7~") << false << false << "" << 0 << false << ""
        << offer << false;
}

void TestMainWindow::handshakeAnswers()
{
    QFETCH(QString, port);
    QFETCH(QByteArray, z1);
    QFETCH(bool, yes);
    QFETCH(bool, connected);
    QFETCH(QString, status1);
    QFETCH(int, build);
    QFETCH(bool, sameBuild);
    QFETCH(QString, message);
    QFETCH(QString, question);
    QFETCH(bool, firmwareShown);

    MainWindowFixture g(port, {"COM12", "COM4", "/dev/ttyUSB0"});
    test::ScriptedDialogs &dialogs = g.dialogs;
    QCOMPARE(g.child<QComboBox>("ComboBox1")->currentText(), port);
    if (yes) {
        dialogs.answers << true;
    }
    g.connectWith(z1);

    QCOMPARE(g.w().facts().handshakeDone, connected);
    QCOMPARE(g.w().link().isOpen(), connected);
    QCOMPARE(dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(dialogs.questions, question.isEmpty() ? QStringList() : QStringList{question});
    QCOMPARE(g.secondary("TForm19")->isVisible(), firmwareShown);
    QCOMPARE(g.w().isEnabled(), !firmwareShown);
    QVERIFY(g.secondary("TForm19")->isEnabled()); // usable while the main window is disabled
    if (!connected) {
        verifyIdle(g);
        QCOMPARE(g.status1(), QString());
        return;
    }
    QCOMPARE(g.w().currentLayout(), MainWindow::Layout::Connected);
    QCOMPARE(g.status0(), QStringLiteral("Connected"));
    QCOMPARE(g.status1(), status1);
    QCOMPARE(g.messageLines(),
             (QStringList{"KESTO Connected.", "Firmware version: 3.7", "Serial number: 12345"}));
    QVERIFY(g.child<QWidget>("Memo1")->isHidden());
    QCOMPARE(g.w().facts().serialNumber, 12345);
    QCOMPARE(g.w().facts().firmwareBuild, build);
    QVERIFY(g.menu("MAP1")->menuAction()->isEnabled());
    QVERIFY(g.action("Showgearlog1")->isEnabled());
    QCOMPARE(g.menu("Maps1")->menuAction()->isEnabled(), sameBuild);
    QCOMPARE(g.action("O1")->isEnabled(), sameBuild);
    QCOMPARE(g.menu("C1")->menuAction()->isEnabled(), sameBuild);
    QCOMPARE(g.action("UploadConfig1")->isEnabled(), sameBuild);
    QCOMPARE(g.action("Y1")->isVisible(), !sameBuild);
}

void TestMainWindow::malformedHandshakeChangesNothing()
{
    MainWindowFixture f;
    f.connectWith("z13.7,12x,7~");
    QCOMPARE(f.dialogs.messages, QStringList{"'12x' is not a valid integer value"});
    QVERIFY(!f.w().facts().handshakeDone);
    QCOMPARE(f.timer("Timer1")->interval(), 2000);
    QCOMPARE(f.w().currentLayout(), MainWindow::Layout::Disconnected);
    QCOMPARE(f.status1(), QString());

    // The watchdog then reports it as a controller that did not answer.
    f.w().timer2Timer();
    verifyIdle(f);
    QCOMPARE(f.dialogs.messages.last(),
             QStringLiteral("Cant connect to KESTO.\r\nIncorrect COM port or cable error."));
}

void TestMainWindow::versionAnswer_data()
{
    QTest::addColumn<bool>("handshakeFirst");
    QTest::addColumn<bool>("yes");

    QTest::newRow("while waiting, no") << false << false;
    QTest::newRow("while waiting, yes") << false << true;
    QTest::newRow("while connected, yes") << true << true;
}

void TestMainWindow::versionAnswer()
{
    QFETCH(bool, handshakeFirst);
    QFETCH(bool, yes);

    MainWindowFixture f;
    f.w().move(300, 200);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    f.w().button1Click();
    if (handshakeFirst) {
        f.answer("z13.7,12345,7~");
    }
    f.dialogs.answers << yes;
    f.answer("ve~");
    verifyIdle(f);
    QCOMPARE(f.dialogs.questions, QStringList{kWrongVersion + "3.7\rWant to upgrade firmware?"});
    QWidget *firmware = f.secondary("TForm19");
    QCOMPARE(firmware->isVisible(), yes);
    QCOMPARE(f.w().isEnabled(), !yes);
    if (yes) {
        const QRect main = f.w().frameGeometry();
        QCOMPARE(firmware->frameGeometry().top(), main.top());
        // Centred horizontally over the main window.
        QVERIFY(qAbs(firmware->frameGeometry().center().x() - main.center().x()) <= 1);
    }
}

// ---------------------------------------------------------------------------------------------
// Capability answers

void TestMainWindow::gearCountAnswers_data()
{
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<QList<bool>>("visible"); // 3-4, 4-5, 5-6
    QTest::addColumn<int>("gears");
    QTest::addColumn<int>("warningLimit");

    QTest::newRow("3") << QList<QByteArray>{"z23~"} << QList<bool>{false, false, false} << 3 << 100;
    QTest::newRow("4 with limit 110")
        << QList<QByteArray>{"z24,110~"} << QList<bool>{true, false, false} << 4 << 110;
    QTest::newRow("3 then 5") << QList<QByteArray>{"z23~", "z25,95~"}
                              << QList<bool>{true, true, false} << 5 << 95;
    QTest::newRow("6 shows all") << QList<QByteArray>{"z24~", "z26~"}
                                 << QList<bool>{true, true, true} << 6 << 100;
}

void TestMainWindow::gearCountAnswers()
{
    QFETCH(QList<QByteArray>, answers);
    QFETCH(QList<bool>, visible);
    QFETCH(int, gears);
    QFETCH(int, warningLimit);

    MainWindowFixture f;
    f.connectWith();
    QSignalSpy spy(&f.w().facts(), &ConnectionFacts::gearCountChanged);
    for (const QByteArray &a : answers) {
        f.answer(a);
    }
    QCOMPARE(f.action("SHIFTUP341")->isVisible(), visible[0]);
    QCOMPARE(f.action("N45shift1")->isVisible(), visible[1]);
    QCOMPARE(f.action("N56shift1")->isVisible(), visible[2]);
    QVERIFY(f.action("SHIFTUP121")->isVisible());
    QVERIFY(f.action("SHIFTUP231")->isVisible());
    QCOMPARE(f.w().facts().gearCount, gears);
    QCOMPARE(f.w().facts().warningLimit, warningLimit);
    QCOMPARE(spy.count(), answers.size());
    QCOMPARE(spy.last().at(0).toInt(), gears);
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestMainWindow::featureAnswers_data()
{
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<QList<bool>>("visible"); // SLT, SLN, lockup, AWD, last gear
    QTest::addColumn<QList<int>>("reported");

    QTest::newRow("1,0,1,1") << QList<QByteArray>{"z31,0,1,1~"}
                             << QList<bool>{true, false, true, true, true}
                             << QList<int>{1, 0, 1, 1, -1};
    QTest::newRow("1,1,1,1,0") << QList<QByteArray>{"z31,1,1,1,0~"}
                               << QList<bool>{true, true, true, true, false}
                               << QList<int>{1, 1, 1, 1, 0};
    QTest::newRow("0,0,0,0,1") << QList<QByteArray>{"z30,0,0,0,1~"}
                               << QList<bool>{false, false, false, false, true}
                               << QList<int>{0, 0, 0, 0, 1};
    QTest::newRow("last gear 2 hides too")
        << QList<QByteArray>{"z31,1,1,1,2~"} << QList<bool>{true, true, true, true, false}
        << QList<int>{1, 1, 1, 1, 2};
    QTest::newRow("no later answer shows again")
        << QList<QByteArray>{"z31,0,1,1,0~", "z31,1,1,1,1~"}
        << QList<bool>{true, false, true, true, false} << QList<int>{1, 1, 1, 1, 1};
}

void TestMainWindow::featureAnswers()
{
    QFETCH(QList<QByteArray>, answers);
    QFETCH(QList<bool>, visible);
    QFETCH(QList<int>, reported);

    MainWindowFixture f;
    f.connectWith();
    QSignalSpy spy(&f.w().facts(), &ConnectionFacts::featuresReported);
    for (const QByteArray &a : answers) {
        f.answer(a);
    }
    const char *entries[] = {"Mainpressuremap1", "Accumulatorpressuremap1", "Lockupmap1",
                             "AWDControlSLC1", "lastgearlockup"};
    for (int i = 0; i < 5; ++i) {
        QVERIFY2(f.action(entries[i])->isVisible() == visible[i], entries[i]);
    }
    QCOMPARE(spy.count(), answers.size());
    QList<int> last;
    for (const QVariant &v : spy.last()) {
        last << v.toInt();
    }
    QCOMPARE(last, reported);
}

// ---------------------------------------------------------------------------------------------
// Watchdog

void TestMainWindow::watchdogAfterHandshake()
{
    MainWindowFixture f;
    f.connectWith();
    QWidget *options = f.secondary("TForm4");
    QWidget *a650 = f.secondary("TForm24");
    QWidget *editor = f.secondary("TForm5");
    options->show();
    options->setEnabled(false);
    a650->show();
    editor->show();

    // Answers keep the connection: each stamps the last answer time.
    f.clock.advance(3000);
    f.answer("z41500,60,20,3,4,1,128,128,0,90,0,0,0~");
    f.clock.advance(3000);
    f.w().timer2Timer();
    QVERIFY(f.w().link().isOpen());

    // Exactly 4 s of silence is not yet too long.
    f.clock.advance(1000);
    f.w().timer2Timer();
    QVERIFY(f.w().link().isOpen());

    // While a long operation has the main window disabled, the watchdog waits.
    f.clock.advance(10000);
    f.w().setEnabled(false);
    f.w().timer2Timer();
    QVERIFY(f.w().link().isOpen());
    f.w().setEnabled(true);

    // Answers that are not stamped (gear count) do not keep it alive.
    f.answer("z25~");
    f.w().timer2Timer();
    verifyIdle(f);
    QCOMPARE(f.dialogs.messages, QStringList{"Disconnected from KESTO."});
    QCOMPARE(f.messageLines(), QStringList{"Disconnected."});
    QVERIFY(!options->isVisible());
    QVERIFY(options->isEnabled());
    QVERIFY(!a650->isVisible());
    QVERIFY(editor->isVisible()); // editors stay open across a disconnect
    QCOMPARE(f.status1(), QStringLiteral("3.7.7  serial:12345")); // kept
}

void TestMainWindow::watchdogWithoutHandshake()
{
    MainWindowFixture f;
    f.w().button1Click();
    f.w().timer1Timer();
    f.w().timer1Timer();
    f.w().timer1Timer();
    QCOMPARE(f.takeSent(), QByteArray("q1~getver~q1~getver~q1~getver~"));
    // Answers of the controller do not help while no acceptable "z1" has come.
    f.answer("z41500,60,20,3,4,1,128,128,0,90,0,0,0~");
    f.w().timer2Timer();
    verifyIdle(f);
    QCOMPARE(f.dialogs.messages,
             QStringList{"Cant connect to KESTO.\r\nIncorrect COM port or cable error."});
    QCOMPARE(f.messageLines(), QStringList{"Disconnected."});
}

// ---------------------------------------------------------------------------------------------
// Live data

void TestMainWindow::liveDataOnThePanel()
{
    MainWindowFixture f;
    f.connectWith();
    f.answer("z4800,311,12,7,6,1,0,255,200,101,1,1,255,255,1~");
    QCOMPARE(f.label("rmp_label")->text(), QStringLiteral("800"));
    QCOMPARE(f.label("speed_label")->text(), QStringLiteral("SAFE"));
    QCOMPARE(f.label("speed_label")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(f.label("tps_label")->text(), QStringLiteral("12"));
    QCOMPARE(f.label("gear_label")->text(), QStringLiteral("PN"));
    QCOMPARE(f.label("Label19")->text(), QStringLiteral("P or N"));
    QCOMPARE(f.label("mode_label")->text(), QStringLiteral("SNOW"));
    QCOMPARE(f.label("Label9")->text(), QStringLiteral("100"));
    QCOMPARE(f.label("Label13")->text(), QStringLiteral("0"));
    QCOMPARE(f.label("Label16")->text(), QStringLiteral("100"));
    QCOMPARE(f.label("Label11")->text(), QStringLiteral("FX[80%]"));
    QCOMPARE(f.label("Label15")->text(), QString::fromUtf8("101\u00B0"));
    QCOMPARE(f.label("Label15")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(f.label("sLabel1")->text(), QStringLiteral("102"));
    QVERIFY(f.label("sLabel1")->isHidden());
    QVERIFY(!f.label("sLabel2")->isHidden());

    // Next frame: black again, 13 fields leave SLU and the banner.
    f.answer("z4900,60,12,8,4,0,0,255,0,100,1,0,0~");
    QCOMPARE(f.label("speed_label")->text(), QStringLiteral("60"));
    QCOMPARE(f.label("speed_label")->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(f.label("Label15")->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(f.label("gear_label")->text(), QStringLiteral("R"));
    QCOMPARE(f.label("mode_label")->text(), QStringLiteral("MANUAL"));
    QCOMPARE(f.label("sLabel1")->text(), QStringLiteral("102"));
    QVERIFY(!f.label("sLabel2")->isHidden());
    f.answer("z4900,60,12,8,4,0,0,255,0,100,1,0,0,0,0~");
    QVERIFY(f.label("sLabel2")->isHidden());

    // The labels keep their texts after a disconnect.
    f.w().button1Click();
    QCOMPARE(f.label("rmp_label")->text(), QStringLiteral("900"));
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestMainWindow::liveFrameSignalAfterEveryLabel()
{
    MainWindowFixture f;
    f.connectWith();
    QStringList seen;
    QObject::connect(&f.w(), &MainWindow::liveFrameApplied, &f.w(), [&](const AnswerFrame &frame) {
        seen << frame.payload << f.label("Label9")->text() << f.label("Label13")->text()
             << f.label("Label16")->text() << f.label("sLabel1")->text();
    });
    f.answer("z41000,50,20,2,4,1,51,102,0,80,0,0,204,10~");
    QCOMPARE(seen, (QStringList{"1000,50,20,2,4,1,51,102,0,80,0,0,204,10", "80", "60", "80", "4"}));
}

void TestMainWindow::faultyLiveFrameKeepsWhatWasApplied()
{
    MainWindowFixture f;
    f.connectWith();
    QSignalSpy applied(&f.w(), &MainWindow::liveFrameApplied);
    f.answer("z41000,50,20,2,4,1,0,0,0,80,0,0,0~");
    f.answer("z42000,70,30,X,4,1,0,0,1,90,0,0,0~z43000,71,31,3,4,1,0,0,1,91,0,0,0~");
    // The bad frame set RPM, speed and throttle, was reported, and the next frame still ran.
    QCOMPARE(f.dialogs.messages, QStringList{"'X' is not a valid integer value"});
    QCOMPARE(applied.count(), 2);
    QCOMPARE(f.label("rmp_label")->text(), QStringLiteral("3000"));

    f.answer("z44000,72,32,X~");
    QCOMPARE(f.label("rmp_label")->text(), QStringLiteral("4000"));
    QCOMPARE(f.label("tps_label")->text(), QStringLiteral("32"));
    QCOMPARE(f.label("gear_label")->text(), QStringLiteral("3"));
    QCOMPARE(applied.count(), 2);
}

void TestMainWindow::sltInversionFromOptionsWindow()
{
    MainWindowFixture f;
    f.connectWith();
    f.answer("z41000,50,20,2,4,1,0,0,0,80,0,0,0~");
    QCOMPARE(f.label("Label9")->text(), QStringLiteral("100")); // no box yet: not inverted
    auto *box = new QCheckBox(f.secondary("TForm4"));
    box->setObjectName("CheckBox73");
    box->setChecked(true);
    f.answer("z41000,50,20,2,4,1,0,0,0,80,0,0,0~");
    QCOMPARE(f.label("Label9")->text(), QStringLiteral("0"));
    box->setChecked(false);
    f.answer("z41000,50,20,2,4,1,0,0,0,80,0,0,0~");
    QCOMPARE(f.label("Label9")->text(), QStringLiteral("100"));
}

// ---------------------------------------------------------------------------------------------
// Menus, keys, tool buttons

void TestMainWindow::menuStateTable_data()
{
    QTest::addColumn<int>(
        "step"); // 0 start, 1 build 7, 2 build 6, 3 build 7 then off, 4 build 6 then off
    QTest::addColumn<QList<bool>>("state");
    // MAP1 enabled, Maps1 enabled, CONTROL1 visible, O1, C1, UploadConfig1 enabled, Y1 visible,
    // Showgearlog1 enabled, and last CONTROL1 enabled once the context menu has shown it
    QTest::newRow("start-up") << 0 << QList<bool>{false, false, false, true, true,
                                                  true,  false, false, false};
    QTest::newRow("handshake, same build")
        << 1 << QList<bool>{true, true, false, true, true, true, false, true, true};
    QTest::newRow("handshake, other build")
        << 2 << QList<bool>{true, false, false, false, false, false, true, true, true};
    QTest::newRow("disconnect after same build")
        << 3 << QList<bool>{false, false, false, true, true, true, false, false, false};
    QTest::newRow("disconnect after other build")
        << 4 << QList<bool>{false, false, false, false, false, false, true, false, false};
}

void TestMainWindow::menuStateTable()
{
    QFETCH(int, step);
    QFETCH(QList<bool>, state);

    MainWindowFixture f;
    if (step != 0) {
        f.connectWith(step == 1 || step == 3 ? "z13.7,1,7~" : "z13.7,1,6~");
    }
    if (step >= 3) {
        f.w().button1Click();
    }
    QList<bool> actual{f.menu("MAP1")->menuAction()->isEnabled(),
                       f.menu("Maps1")->menuAction()->isEnabled(),
                       f.menu("CONTROL1")->menuAction()->isVisible(),
                       f.action("O1")->isEnabled(),
                       f.menu("C1")->menuAction()->isEnabled(),
                       f.action("UploadConfig1")->isEnabled(),
                       f.action("Y1")->isVisible(),
                       f.action("Showgearlog1")->isEnabled()};
    // A hidden entry always reads as disabled; its own state shows once it is visible.
    f.action("Emulation2")->trigger();
    actual << f.menu("CONTROL1")->menuAction()->isEnabled();
    QCOMPARE(actual, state);
    // Entries never disabled individually.
    for (const char *name : {"SHIFTUP121", "WOT1", "Logview1", "logging1", "Saveconfig1"}) {
        QVERIFY2(f.action(name)->isEnabled(), name);
    }
}

void TestMainWindow::emulationContextMenu()
{
    MainWindowFixture f;
    f.connectWith();
    QVERIFY(!f.menu("CONTROL1")->menuAction()->isVisible());
    f.action("Emulation2")->trigger();
    QVERIFY(f.menu("CONTROL1")->menuAction()->isVisible());
    f.w().button1Click();
    QVERIFY(f.menu("CONTROL1")->menuAction()->isVisible()); // stays for the rest of the run
    QVERIFY(!f.menu("CONTROL1")->menuAction()->isEnabled());

    f.child<QPlainTextEdit>("Memo1")->appendPlainText("x");
    f.action("Clear1")->trigger();
    QCOMPARE(f.messageLines(), QStringList());
}

void TestMainWindow::readRequests_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("O1") << "O1"
                        << QByteArray("ee,49,2,19,211,259,326,326,343,379,606,616,618,622~");
    QTest::newRow("PSCALIBRATION1") << "PSCALIBRATION1" << QByteArray("ee,55,0,1~");
    QTest::newRow("T1") << "T1" << QByteArray("ee,70,285,301~");
    QTest::newRow("SHIFTUP121") << "SHIFTUP121" << QByteArray("ee,65,20,43~");
    QTest::newRow("SHIFTUP231") << "SHIFTUP231" << QByteArray("ee,66,44,67~");
    QTest::newRow("SHIFTUP341") << "SHIFTUP341" << QByteArray("ee,67,68,91~");
    QTest::newRow("N45shift1") << "N45shift1" << QByteArray("ee,68,92,115~");
    QTest::newRow("N56shift1") << "N56shift1" << QByteArray("ee,69,116,139~");
    QTest::newRow("WOT1") << "WOT1" << QByteArray("ee,57,140,149~");
    QTest::newRow("Mainpressuremap1") << "Mainpressuremap1" << QByteArray("ee,50,155,170~");
    QTest::newRow("Accumulatorpressuremap1")
        << "Accumulatorpressuremap1" << QByteArray("ee,51,195,210~");
    QTest::newRow("Lockupmap1") << "Lockupmap1" << QByteArray("ee,52,171,194,327,334~");
    QTest::newRow("lastgearlockup") << "lastgearlockup" << QByteArray("ee,53,302,325,335,342~");
    QTest::newRow("AWDControlSLC1") << "AWDControlSLC1" << QByteArray("ee,54,260,284~");
}

void TestMainWindow::readRequests()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, sent);

    MainWindowFixture f;
    f.connectWith();
    f.takeSent();
    f.w().findChild<QAction *>(entry)->trigger();
    QCOMPARE(f.takeSent(), sent);
}

void TestMainWindow::functionKeys_data()
{
    QTest::addColumn<int>("state"); // 0 idle, 1 build 7, 2 build 6, 3 build 7 and SLT hidden
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("used");
    QTest::addColumn<QByteArray>("sent");

    const int none = Qt::NoModifier;
    for (int key :
         {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F9, Qt::Key_F10}) {
        QTest::addRow("idle F%d", key - Qt::Key_F1 + 1)
            << 0 << key << none << false << QByteArray();
    }
    QTest::newRow("idle Alt+F4") << 0 << int(Qt::Key_F4) << int(Qt::AltModifier) << true
                                 << QByteArray();
    QTest::newRow("F1") << 1 << int(Qt::Key_F1) << none << true
                        << QByteArray("ee,49,2,19,211,259,326,326,343,379,606,616,618,622~");
    QTest::newRow("F2") << 1 << int(Qt::Key_F2) << none << true << QByteArray("ee,65,20,43~");
    QTest::newRow("F3") << 1 << int(Qt::Key_F3) << none << true << QByteArray("ee,57,140,149~");
    QTest::newRow("F4") << 1 << int(Qt::Key_F4) << none << true
                        << QByteArray("ee,52,171,194,327,334~");
    QTest::newRow("F5") << 1 << int(Qt::Key_F5) << none << true << QByteArray("ee,50,155,170~");
    QTest::newRow("F10 used up") << 1 << int(Qt::Key_F10) << none << true << QByteArray("n91~");
    QTest::newRow("F6 passes") << 1 << int(Qt::Key_F6) << none << false << QByteArray();
    QTest::newRow("connected Alt+F4")
        << 1 << int(Qt::Key_F4) << int(Qt::AltModifier) << true << QByteArray();
    QTest::newRow("other build F1: entry disabled")
        << 2 << int(Qt::Key_F1) << none << true << QByteArray();
    QTest::newRow("other build F2: menu disabled, entry not")
        << 2 << int(Qt::Key_F2) << none << true << QByteArray("ee,65,20,43~");
    QTest::newRow("hidden SLT entry F5")
        << 3 << int(Qt::Key_F5) << none << true << QByteArray("ee,50,155,170~");
}

void TestMainWindow::functionKeys()
{
    QFETCH(int, state);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, used);
    QFETCH(QByteArray, sent);

    MainWindowFixture f;
    if (state != 0) {
        f.connectWith(state == 2 ? "z13.7,1,6~" : "z13.7,1,7~");
    }
    if (state == 3) {
        f.answer("z30,1,1,1,1~");
        QVERIFY(!f.action("Mainpressuremap1")->isVisible());
    }
    f.takeSent();
    QCOMPARE(f.w().handleKey(key, Qt::KeyboardModifiers(modifiers)), used);
    QCOMPARE(f.takeSent(), sent);
    QCOMPARE(f.w().link().isOpen(), state != 0); // no key but F12 connects or disconnects
}

void TestMainWindow::keysReachTheWindowFromFocusedControls()
{
    MainWindowFixture f;
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    // F12 connects from the port list.
    QTest::keyClick(f.child<QWidget>("ComboBox1"), Qt::Key_F12);
    QVERIFY(f.w().link().isOpen());
    f.w().timer1Timer();
    f.answer("z13.7,1,7~");
    f.takeSent();
    // Once per key press, even though the focused control does not use the key.
    QTest::keyClick(f.child<QWidget>("sSpeedButton3"), Qt::Key_F2);
    QCOMPARE(f.takeSent(), QByteArray("ee,65,20,43~"));
    QTest::keyClick(&f.w(), Qt::Key_F4, Qt::AltModifier);
    QVERIFY(f.w().isVisible());
    // Keys on a secondary window are its own: F2 in the 1-2 editor leads on to the 2-3 map,
    // and the main window does not send its own F2 request as well.
    QWidget *editor = f.secondary("TForm5");
    editor->show();
    QTest::keyClick(editor, Qt::Key_F2);
    QCOMPARE(f.takeSent(), QByteArray("ee,66,44,67~"));
    QTest::keyClick(f.child<QWidget>("GroupBox1"), Qt::Key_F12);
    QVERIFY(!f.w().link().isOpen());
}

void TestMainWindow::toolButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("otherBuild");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("1") << 1 << "Main Options (F1)" << false
                       << QByteArray("ee,49,2,19,211,259,326,326,343,379,606,616,618,622~");
    QTest::newRow("1, entry disabled") << 1 << "Main Options (F1)" << true << QByteArray();
    QTest::newRow("2") << 2 << "1-2 upshift,downshift (F2)" << true << QByteArray("ee,65,20,43~");
    QTest::newRow("3") << 3 << "Full throttle shift map (F3)" << false
                       << QByteArray("ee,57,140,149~");
    QTest::newRow("4") << 4 << "Lockup map [SLU] (F4)" << false
                       << QByteArray("ee,52,171,194,327,334~");
    QTest::newRow("5") << 5 << "Main pressure map [SLT] (F5)" << false
                       << QByteArray("ee,50,155,170~");
    QTest::newRow("6") << 6 << "Start file logging (F9)" << false << QByteArray();
    QTest::newRow("7") << 7 << "Shift log (F10)" << false << QByteArray("n91~");
    QTest::newRow("8") << 8 << "Disconnect (F12)" << false << QByteArray();
}

void TestMainWindow::toolButtons()
{
    QFETCH(int, button);
    QFETCH(QString, hint);
    QFETCH(bool, otherBuild);
    QFETCH(QByteArray, sent);

    MainWindowFixture f;
    f.connectWith(otherBuild ? "z13.7,1,6~" : "z13.7,1,7~");
    f.takeSent();
    auto *b = f.w().findChild<QToolButton *>(QStringLiteral("sSpeedButton%1").arg(button));
    QCOMPARE(b->toolTip(), hint);
    b->click();
    QCOMPARE(f.takeSent(), sent);
    QCOMPARE(f.w().link().isOpen(), button != 8);
}

// ---------------------------------------------------------------------------------------------

void TestMainWindow::portListRefresh()
{
    MainWindowFixture f{QString()};
    auto *list = f.child<QComboBox>("ComboBox1");
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->currentText(), QStringLiteral("COM4")); // the last entry

    f.ports = {"COM3", "COM4", "COM10", "COM2"};
    list->setCurrentIndex(1);
    f.w().timer3Timer();
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->itemText(i);
    }
    QCOMPARE(items, (QStringList{"COM10", "COM2", "COM3", "COM4"}));
    QCOMPARE(list->currentIndex(), 1); // by position, not by name

    // Same count: nothing is re-read.
    f.ports = {"COM5", "COM6", "COM7", "COM8"};
    f.w().timer3Timer();
    QCOMPARE(list->itemText(0), QStringLiteral("COM10"));

    // An adapter unplugged: the selection stays at its position.
    f.ports = {"COM5", "COM6", "COM7"};
    list->setCurrentIndex(2);
    f.w().timer3Timer();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentIndex(), 2);
    f.ports = {"COM5", "COM6"};
    f.w().timer3Timer();
    QCOMPARE(list->currentIndex(), -1); // the position no longer exists

    // Not while connected.
    f.ports = {"COM3"};
    list->setCurrentIndex(0);
    f.connectWith();
    f.w().timer3Timer();
    QCOMPARE(list->count(), 2);
}

void TestMainWindow::gaugeWindowToggleAndFollow()
{
    MainWindowFixture f;
    f.w().move(100, 120);
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    f.connectWith();
    QWidget *gauges = f.secondary("TForm20");
    QTimer *gaugeTimer = gauges->findChild<QTimer *>("Timer1");
    QVERIFY(!gauges->isVisible());
    QVERIFY(!gaugeTimer->isActive());

    f.child<QToolButton>("SpeedButton1")->click();
    QVERIFY(gauges->isVisible());
    QVERIFY(gaugeTimer->isActive());
    const QRect main = f.w().frameGeometry();
    QCOMPARE(gauges->pos(), QPoint(main.x() + main.width(), main.y() + 48));

    f.w().move(400, 300);
    QCoreApplication::processEvents();
    const QRect moved = f.w().frameGeometry();
    QCOMPARE(gauges->pos(), QPoint(moved.x() + moved.width(), moved.y() + 48));

    f.child<QToolButton>("SpeedButton1")->click();
    QVERIFY(!gauges->isVisible());
    QVERIFY(!gaugeTimer->isActive());

    // Hidden, it does not follow.
    f.w().move(500, 300);
    QCoreApplication::processEvents();
    QCOMPARE(gauges->pos(), QPoint(moved.x() + moved.width(), moved.y() + 48));
}

// Pictures of both layouts and the gauges, for a person to look at; only when asked for.
void TestMainWindow::screenshots()
{
    const QString dir = qEnvironmentVariable("KESTO_SCREENSHOT_DIR");
    if (dir.isEmpty()) {
        QSKIP("KESTO_SCREENSHOT_DIR not set");
    }
    MainWindowFixture f;
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    f.w().button1Click();
    f.w().timer1Timer();
    QVERIFY(f.w().grab().save(dir + "/main_disconnected.png"));
    f.answer("z13.7,12345,7~z4812,311,14,2,4,1,128,60,150,104,0,0,40,120,0~");
    QCoreApplication::processEvents();
    QVERIFY(f.w().grab().save(dir + "/main_connected.png"));
    f.w().speedButton1Click();
    auto *gauges = qobject_cast<GaugeWindow *>(f.secondary("TForm20"));
    gauges->timer1Timer();
    QVERIFY(gauges->grab().save(dir + "/gauges.png"));
    f.answer("z46500,120,64,3,4,1,128,60,1,96,0,0,40~");
    gauges->timer1Timer();
    QVERIFY(gauges->grab().save(dir + "/gauges_red.png"));
}

KESTO_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
