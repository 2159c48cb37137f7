// File logging, the emulation panel and the gear-shift log against the bench controller on a
// pty, through the real main window. The car moves only when the test advances it, and every
// poll is sent by calling the poll timer's slot, so the run takes no real seconds.
#include "test_main.h"

#include "app/main_window.h"
#include "pty_bench.h"
#include "scripted_dialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace kesto;

class TestMonitorE2e : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void logFollowsTheEmulatedCar();
};

void TestMonitorE2e::logFollowsTheEmulatedCar()
{
    QTemporaryDir workDir;
    const QString previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workDir.path()));
    const auto restoreDir = qScopeGuard([&] { QDir::setCurrent(previousDir); });

    sim::SimOptions simOptions;
    simOptions.modelTickMs = 0;
    sim::PtyBench bench(simOptions);
    QVERIFY2(bench.start(), qPrintable(bench.errorString()));
    sim::SimController &car = bench.controller();

    test::ScriptedDialogs dialogs;
    FakeClock clock;
    MainWindowOptions options;
    options.clock = &clock;
    options.enumeratePorts = false;
    options.extraPorts = {bench.devicePath()};
    options.selectPort = bench.devicePath();
    MainWindow main(options);
    auto *timer1 = main.findChild<QTimer *>(QStringLiteral("Timer1"));
    const auto label = [&](const char *name) {
        return main.findChild<QLabel *>(QLatin1String(name))->text();
    };
    int frames = 0;
    connect(&main, &MainWindow::liveFrameApplied, this, [&] { ++frames; });

    // Connect and hand-shake.
    main.button1Click();
    QVERIFY(main.link().isOpen());
    main.timer1Timer();
    QTRY_VERIFY(main.facts().handshakeDone);
    timer1->stop(); // the test sends every poll itself

    // Shift reports, emulation, selector to D.
    main.findChild<QAction *>(QStringLiteral("Logview1"))->trigger();
    main.findChild<QAction *>(QStringLiteral("Emulation2"))->trigger();
    main.findChild<QAction *>(QStringLiteral("Emulation1"))->trigger();
    QWidget *panel = main.context().window(QStringLiteral("TForm10"));
    QVERIFY(panel->isVisible());
    const auto press = [&](const char *button) {
        panel->findChild<QPushButton *>(QLatin1String(button))->click();
    };
    press("Button4");
    QTRY_VERIFY(car.isEmulating() && car.isShiftLogOn() && car.liveValues().selector == 4);

    main.findChild<QAction *>(QStringLiteral("logging1"))->trigger();

    // Speed and throttle up, one step each per poll.
    struct Seen
    {
        QStringList panel; // rpm, speed, throttle, SLT, SLN, SLC as shown
        sim::LiveValues car;
    };
    QList<Seen> seen;
    constexpr int kPolls = 12;
    for (int i = 0; i < kPolls; ++i) {
        const int commandsBefore = int(car.receivedCommands().size());
        press("Button8");  // SpeedUP
        press("Button17"); // TPS UP
        QTRY_COMPARE(int(car.receivedCommands().size()), commandsBefore + 2);
        car.advanceModel(100);
        main.timer1Timer();
        QTRY_COMPARE(frames, i + 1);
        seen.append({{label("rmp_label"), label("speed_label"), label("tps_label"), label("Label9"),
                      label("Label13"), label("Label16")},
                     car.liveValues()});
    }

    // Stopped while polling runs: the user is told where the log went.
    timer1->start();
    main.findChild<QAction *>(QStringLiteral("logging1"))->trigger();
    timer1->stop();
    const QStringList files = QDir(QStringLiteral("log")).entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QCOMPARE(
        dialogs.messages,
        QStringList{QStringLiteral("Saved to file:\rlog/") + files.first() +
                    QStringLiteral("\r\rTotal duration: ") +
                    QString::number(kPolls / 10.0).replace('.', QLocale::system().decimalPoint()) +
                    QStringLiteral(" sec.")});

    QFile file(QDir(QStringLiteral("log")).filePath(files.first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.size(), 2 + kPolls);
    QStringList gearsSeen;
    for (int i = 0; i < kPolls; ++i) {
        const QStringList row = lines.at(2 + i).split(QLatin1Char('\t'));
        QCOMPARE(row.size(), 18);
        const sim::LiveValues &v = seen.at(i).car;
        // The car as the bench moved it: five km/h and five percent more per step, in D.
        QCOMPARE(v.speed, 5 * (i + 1));
        QCOMPARE(v.tps, 5 * (i + 1));
        QCOMPARE(row.at(1), QString::number(v.rpm));
        QCOMPARE(row.at(2), QString::number(v.speed));
        QCOMPARE(row.at(3), QString::number(v.tps));
        QCOMPARE(row.at(4), QString::number(v.oilTemp));
        QCOMPARE(row.at(5), QString::number(v.gear));
        QCOMPARE(row.at(6), QStringLiteral("4"));
        QCOMPARE(row.at(14), QString::number(int(std::ceil(v.slu / 2.5))));
        // The panel showed what the row holds.
        QCOMPARE((QStringList{row.at(1), row.at(2), row.at(3), row.at(11), row.at(12), row.at(13)}),
                 seen.at(i).panel);
        if (gearsSeen.isEmpty() || gearsSeen.last() != row.at(5)) {
            gearsSeen << row.at(5);
        }
    }
    QVERIFY2(gearsSeen.size() > 1, "the car never shifted; the shift log is not exercised");

    // Every shift the rows show was reported to the log viewer.
    const QString shiftLog = main.context()
                                 .window(QStringLiteral("TForm15"))
                                 ->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))
                                 ->toPlainText();
    for (const QString &gear : gearsSeen.mid(1)) {
        QVERIFY2(shiftLog.contains(QStringLiteral("На передачу: ") + gear), qPrintable(shiftLog));
    }

    // Closing the panel ends emulation on the bench.
    panel->close();
    QTRY_VERIFY(!car.isEmulating());
    main.button1Click();
    QVERIFY(!main.link().isOpen());
}

KESTO_TEST_MAIN(TestMonitorE2e)
#include "tst_monitor_e2e.moc"
