#include "test_main.h"

#include "app/monitor_tools.h"
#include "main_window_fixture.h"

#include <QFile>
#include <QToolButton>

using namespace kesto;
using test::MainWindowFixture;

namespace {

// A live data frame: 13 fields, or 14 with the SLU drive.
QByteArray liveFrame(int rpm, int sltRaw, int slnRaw, int slcRaw, int sluRaw = -1)
{
    QByteArray f = "z4" + QByteArray::number(rpm) + ",40,20,3,4,1," + QByteArray::number(sltRaw) +
                   ',' + QByteArray::number(slnRaw) + ",0,85,0,0," + QByteArray::number(slcRaw);
    if (sluRaw >= 0) {
        f += ',' + QByteArray::number(sluRaw);
    }
    return f + '~';
}

QStringList logFiles(MainWindowFixture &f)
{
    return QDir(f.workDir.filePath(QStringLiteral("log"))).entryList(QDir::Files);
}

// The rows of the only log written, split into cells; the two header lines are checked here.
QList<QStringList> onlyLogRows(MainWindowFixture &f)
{
    const QStringList files = logFiles(f);
    if (files.size() != 1) {
        qWarning() << "log files:" << files;
        return {};
    }
    QFile file(QDir(f.workDir.filePath(QStringLiteral("log"))).filePath(files.first()));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    lines.removeLast();
    if (lines.size() < 2 || !lines.at(0).startsWith(QStringLiteral("\"KESTO logfile 3.3.5 ")) ||
        !lines.at(1).startsWith(QStringLiteral("Time\tRPM\t"))) {
        qWarning() << "bad header:" << lines.mid(0, 2);
        return {};
    }
    QList<QStringList> rows;
    for (const QString &line : lines.mid(2)) {
        rows << line.split(QLatin1Char('\t'));
    }
    return rows;
}

QString decimal(const char *number)
{
    return QString::fromLatin1(number).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

} // namespace

class TestMonitorTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileLogToggles_data();
    void fileLogToggles();
    void rowsTakeThePanelsTexts();
    void disconnectWritesWithoutMessage();
    void notBeforeTheHandshake();
    void programEndWritesARunningLog();
    void logThatCannotStartIsReported();
    void viewerOpens_data();
    void viewerOpens();
    void emulationEntryOpensThePanel();
};

void TestMonitorTools::fileLogToggles_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("menu entry") << "logging1";
    QTest::newRow("tool button") << "sSpeedButton6";
    QTest::newRow("F9") << "F9";
}

void TestMonitorTools::fileLogToggles()
{
    QFETCH(QString, way);
    MainWindowFixture f;
    f.connectWith();
    auto *button = f.child<QToolButton>("sSpeedButton6");
    const auto toggle = [&] {
        if (way == QLatin1String("logging1")) {
            f.action("logging1")->trigger();
        } else if (way == QLatin1String("sSpeedButton6")) {
            button->click();
        } else {
            QVERIFY(f.w().handleKey(Qt::Key_F9, Qt::NoModifier));
        }
    };
    const QIcon stoppedIcon = button->icon();

    toggle();
    QCOMPARE(f.action("logging1")->text(), QStringLiteral("Stop file logging (F9)"));
    QCOMPARE(button->toolTip(), QStringLiteral("Stop file logging (F9)"));
    QVERIFY(button->icon().cacheKey() != stoppedIcon.cacheKey());
    for (int i = 0; i < 3; ++i) {
        f.answer(liveFrame(1000 + i, 0, 0, 0));
    }
    toggle();
    QCOMPARE(f.action("logging1")->text(), QStringLiteral("Start file logging (F9)"));
    QCOMPARE(button->toolTip(), QStringLiteral("Start file logging (F9)"));

    const QStringList files = logFiles(f);
    QCOMPARE(files.size(), 1);
    QCOMPARE(onlyLogRows(f).size(), 3);
    QCOMPARE(f.dialogs.messages,
             QStringList{QStringLiteral("Saved to file:\rlog/") + files.first() +
                         QStringLiteral("\r\rTotal duration: ") + decimal("0.3") +
                         QStringLiteral(" sec.")});
    QCOMPARE(f.takeSent(), QByteArray()); // logging sends nothing to the controller
}

void TestMonitorTools::rowsTakeThePanelsTexts()
{
    MainWindowFixture f;
    f.connectWith();
    f.action("logging1")->trigger();
    f.answer(liveFrame(900, 0, 0, 0));
    f.answer(liveFrame(910, 255, 255, 255));
    f.answer(liveFrame(920, 128, 51, 26, 255)); // the first SLU value
    f.answer(liveFrame(930, 128, 51, 26));      // without one: the last stays
    f.answer("z4940,40~");                      // fails in the panel: no row
    QCOMPARE(f.dialogs.messages.size(), 1);
    f.action("logging1")->trigger();

    const QList<QStringList> rows = onlyLogRows(f);
    QCOMPARE(rows.size(), 4);
    struct Expected
    {
        const char *time, *rpm, *slt, *sln, *slc, *slu;
    };
    const Expected expected[] = {
        {"0.1", "900", "100", "100", "0", "SLU PWM"},
        {"0.2", "910", "0", "0", "100", "SLU PWM"},
        {"0.3", "920", "50", "80", "10", "102"},
        {"0.4", "930", "50", "80", "10", "102"},
    };
    for (int i = 0; i < 4; ++i) {
        const QStringList &row = rows.at(i);
        QCOMPARE(row.size(), 18);
        QCOMPARE(row.at(0), decimal(expected[i].time));
        QCOMPARE(row.at(1), QString::fromLatin1(expected[i].rpm));
        QCOMPARE(row.mid(11, 4),
                 (QStringList{expected[i].slt, expected[i].sln, expected[i].slc, expected[i].slu}));
    }
    // The panel showed what the last row holds.
    QCOMPARE(f.label("Label9")->text(), QStringLiteral("50"));
    QCOMPARE(f.label("Label13")->text(), QStringLiteral("80"));
    QCOMPARE(f.label("Label16")->text(), QStringLiteral("10"));
}

void TestMonitorTools::disconnectWritesWithoutMessage()
{
    MainWindowFixture f;
    f.connectWith();
    f.action("logging1")->trigger();
    f.answer(liveFrame(1000, 0, 0, 0));
    f.answer(liveFrame(1010, 0, 0, 0));
    f.w().button1Click();
    QVERIFY(!f.w().link().isOpen());
    QCOMPARE(f.dialogs.messages, QStringList());
    QCOMPARE(onlyLogRows(f).size(), 2);
    QCOMPARE(f.action("logging1")->text(), QStringLiteral("Start file logging (F9)"));
    QVERIFY(!f.w().findChild<MonitorTools *>()->fileLog().isRunning());
}

void TestMonitorTools::notBeforeTheHandshake()
{
    MainWindowFixture f;
    QVERIFY(!f.w().handleKey(Qt::Key_F9, Qt::NoModifier));
    f.w().button1Click(); // port open, handshake not done
    QVERIFY(!f.w().handleKey(Qt::Key_F9, Qt::NoModifier));
    QVERIFY(!f.w().findChild<MonitorTools *>()->fileLog().isRunning());
    QVERIFY(!QDir(f.workDir.filePath(QStringLiteral("log"))).exists());
}

void TestMonitorTools::programEndWritesARunningLog()
{
    MainWindowFixture f;
    f.connectWith();
    f.action("logging1")->trigger();
    f.answer(liveFrame(1000, 0, 0, 0));
    f.answer(liveFrame(1010, 0, 0, 0));
    f.window.reset();
    QCOMPARE(onlyLogRows(f).size(), 2);
    QVERIFY(!logFiles(f).first().contains(QStringLiteral("unfinished")));
}

void TestMonitorTools::logThatCannotStartIsReported()
{
    MainWindowFixture f;
    QFile blocker(f.workDir.filePath(QStringLiteral("log"))); // a file where the folder goes
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.connectWith();
    f.action("logging1")->trigger();
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(!f.dialogs.messages.first().isEmpty()); // the system's reason
    QCOMPARE(f.action("logging1")->text(), QStringLiteral("Start file logging (F9)"));
    f.answer(liveFrame(1000, 0, 0, 0));
    QCOMPARE(f.dialogs.messages.size(), 1);
}

void TestMonitorTools::viewerOpens_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("menu entry") << "Logview1";
    QTest::newRow("tool button") << "sSpeedButton7";
    QTest::newRow("F10") << "F10";
}

void TestMonitorTools::viewerOpens()
{
    QFETCH(QString, way);
    MainWindowFixture f;
    f.w().move(150, 120);
    f.w().show();
    f.connectWith();
    f.takeSent();
    if (way == QLatin1String("Logview1")) {
        f.action("Logview1")->trigger();
    } else if (way == QLatin1String("sSpeedButton7")) {
        f.child<QToolButton>("sSpeedButton7")->click();
    } else {
        QVERIFY(f.w().handleKey(Qt::Key_F10, Qt::NoModifier));
    }
    QCOMPARE(f.takeSent(), QByteArray("n91~"));
    QWidget *viewer = f.secondary("TForm15");
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->pos(), f.w().pos() + QPoint(20, 30));
    f.answer("lg2,5,20,21,1900,15~");
    QVERIFY(viewer->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))
                ->toPlainText()
                .contains(QStringLiteral("На передачу: 2")));
    viewer->close();
    QCOMPARE(f.takeSent(), QByteArray("n90~"));
}

void TestMonitorTools::emulationEntryOpensThePanel()
{
    MainWindowFixture f;
    f.w().move(150, 120);
    f.w().show();
    f.connectWith();
    f.takeSent();
    f.action("Emulation2")->trigger();
    QVERIFY(f.menu("CONTROL1")->menuAction()->isVisible());
    f.action("Emulation1")->trigger();
    QCOMPARE(f.takeSent(), QByteArray("m1~"));
    QWidget *panel = f.secondary("TForm10");
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->pos(), f.w().pos() + QPoint(20, 20));
    panel->findChild<QPushButton *>(QStringLiteral("Button4"))->click();
    QCOMPARE(f.takeSent(), QByteArray("n64~"));
}

KESTO_TEST_MAIN(TestMonitorTools)
#include "tst_monitor_tools.moc"
