#include "app/main_window.h"
#include "link/clock.h"
#include "pty_bench.h"

#include "scripted_dialogs.h"
#include "test_main.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

using namespace kesto;

namespace {

// The real main window on the bench controller's pty; the clock is the test's.
struct Rig
{
    test::ScriptedDialogs dialogs;
    FakeClock clock;
    sim::PtyBench bench;
    std::unique_ptr<MainWindow> window;

    explicit Rig(const sim::SimOptions &options) : bench(options)
    {
        if (!bench.start()) {
            qFatal("bench did not start: %s", qPrintable(bench.errorString()));
        }
        MainWindowOptions o;
        o.clock = &clock;
        o.enumeratePorts = false;
        o.extraPorts = {bench.devicePath()};
        o.selectPort = bench.devicePath();
        window = std::make_unique<MainWindow>(o);
    }
    QString text(const char *label) const
    {
        return window->findChild<QLabel *>(QLatin1String(label))->text();
    }
};

sim::SimOptions stillCar()
{
    sim::SimOptions o;
    o.modelTickMs = 0; // the car moves only when the test says so
    return o;
}

} // namespace

class TestMainWindowOnSim : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void connectHandshakePollAndLoseTheController();
    void otherFirmwareIsRefused();
};

void TestMainWindowOnSim::connectHandshakePollAndLoseTheController()
{
    Rig rig(stillCar());
    MainWindow &w = *rig.window;
    w.button1Click();
    QVERIFY(w.link().isOpen());
    QCOMPARE(w.findChild<QPlainTextEdit *>("Memo1")->toPlainText().section('\n', 0, 0),
             QStringLiteral("Found something on port %1.").arg(rig.bench.devicePath()));

    w.timer1Timer();
    QTRY_VERIFY(w.facts().handshakeDone);
    QCOMPARE(rig.bench.controller().receivedCommands().mid(0, 2),
             (QList<QByteArray>{"q1~", "getver~"}));
    QCOMPARE(w.findChild<QLabel *>("StatusPanel1")->text(), QStringLiteral("3.7.7  serial:12345"));
    QCOMPARE(w.currentLayout(), MainWindow::Layout::Connected);
    QCOMPARE(w.findChild<QTimer *>("Timer1")->interval(), 100);
    // The bench reports five gears: the 5-6 map is hidden, the 4-5 one offered.
    QTRY_COMPARE(w.facts().gearCount, 5);

    // Polls only when the test says so: a busy machine must not add real ticks in between.
    w.findChild<QTimer *>("Timer1")->stop();

    // Live labels follow the simulated car, frame by frame.
    QSet<QString> rpmsShown;
    for (int step = 0; step < 3; ++step) {
        rig.bench.controller().advanceModel(7000);
        const sim::LiveValues v = rig.bench.controller().liveValues();
        rig.clock.advance(100);
        w.timer1Timer();
        QTRY_COMPARE(rig.text("rmp_label"), QString::number(v.rpm));
        QCOMPARE(rig.text("tps_label"), QString::number(v.tps));
        QCOMPARE(rig.text("Label15"), QString::number(v.oilTemp) + QChar(0x00B0));
        QCOMPARE(rig.text("Label9"), QString::number(100 - v.slt * 100 / 255));
        QCOMPARE(rig.text("Label16"), QString::number(v.slc * 100 / 255));
        QCOMPARE(rig.text("speed_label"),
                 v.speed == 311 ? QStringLiteral("SAFE") : QString::number(v.speed));
        rpmsShown << rig.text("rmp_label");
    }
    QVERIFY(rpmsShown.size() > 1); // the car did move between the frames
    QCOMPARE(rig.bench.controller().receivedCommands().count("q2~"), 3);

    // The controller falls silent: still connected at 4 s, gone after more than 4 s.
    rig.bench.controller().setSilent(true);
    rig.clock.advance(4000);
    w.timer2Timer();
    QVERIFY(w.link().isOpen());
    rig.clock.advance(1);
    w.timer2Timer();
    QVERIFY(!w.link().isOpen());
    QCOMPARE(rig.dialogs.messages, QStringList{"Disconnected from KESTO."});
    QCOMPARE(w.findChild<QLabel *>("StatusPanel0")->text(), QStringLiteral("Disconnected"));
    QCOMPARE(w.currentLayout(), MainWindow::Layout::Disconnected);

    // And the port can be opened again.
    rig.bench.controller().setSilent(false);
    w.button1Click();
    w.timer1Timer();
    QTRY_VERIFY(w.facts().handshakeDone);
}

void TestMainWindowOnSim::otherFirmwareIsRefused()
{
    sim::SimOptions options = stillCar();
    options.version = QStringLiteral("3.6");
    Rig rig(options);
    MainWindow &w = *rig.window;
    w.button1Click();
    w.timer1Timer();
    QTRY_COMPARE(rig.dialogs.questions.size(), 1);
    QCOMPARE(rig.dialogs.questions.first(),
             QStringLiteral("Incorrect FIRMWARE version.\rTo use this WRITER, you need update "
                            "firmware version to: 3.7.7\rWant to upgrade firmware?"));
    QVERIFY(!w.link().isOpen());
    QVERIFY(!w.facts().handshakeDone);
}

KESTO_TEST_MAIN(TestMainWindowOnSim)
#include "tst_mainwin_sim.moc"
