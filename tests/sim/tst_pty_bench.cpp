// The bench controller on a real pseudo-terminal, talked to through QSerialPort as the program
// talks to a controller.
#include "pty_bench.h"

#include "config/config_image.h"
#include "link/commands.h"
#include "link/controller_link.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include "serial_host.h"
#include "test_main.h"

using namespace kesto;
using namespace kesto::sim;
using kesto::test::SerialHost;

namespace {

SimOptions still()
{
    SimOptions o;
    o.modelTickMs = 0;
    o.rebootMs = 50;
    return o;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

ConfigImage randomImage(quint32 seed)
{
    QRandomGenerator random(seed);
    ConfigImage image;
    for (int a = 0; a < kImageSize; ++a) {
        image.set(a, int(random.bounded(256)));
    }
    return image;
}

} // namespace

class TestPtyBench : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersEveryCommandFamily_data();
    void answersEveryCommandFamily();
    void identityComesFromOptions_data();
    void identityComesFromOptions();
    void allPagesReadEqualMemory();
    void pageUploadRewritesMemory();
    void malformedCommandsChangeNothing();
    void bytesPassUntranslated();
    void faultsReachTheHost_data();
    void faultsReachTheHost();
    void wireRatePacesTheAnswer();
    void hostMayCloseAndReopen();
    void programLinkOpensTheDevice();
    void rawModeSurvivesACookedHost();
    void idleBenchUsesNoCpu();
};

void TestPtyBench::answersEveryCommandFamily_data()
{
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("handshake") << QByteArray("q1~")
                               << QByteArray("z13.7,12345,7~z25,100~z31,1,1,1,1~");
    QTest::newRow("version query unanswered") << QByteArray("getver~er~") << QByteArray("er~");
    QTest::newRow("live data, parked and cold")
        << QByteArray("q2~") << QByteArray("z4750,0,0,7,6,1,6,6,0,30,0,0,0,0,0~");
    QTest::newRow("table read") << cmd::readRequest(QStringLiteral("EA"))
                                << QByteArray("EA0,6,13,20,33,47,60,73,14,14,14,14,20,32,42,50,"
                                              "5,5,6,8,15,26,38,45~");
    QTest::newRow("table read of two ranges")
        << QByteArray("ee,56,580,605,617,617~")
        << QByteArray("E820,100,80,130,212,78,130,78,117,120,135,150,165,190,200,210,220,"
                      "110,114,116,118,120,122,124,130,225,0~");
    QTest::newRow("write unanswered, then read back")
        << QByteArray("k1,0,40,200~ee,55,0,1~") << QByteArray("E740,200~");
    QTest::newRow("options block") << QByteArray("ss1,211,0,0~") << QByteArray("ss1,211,2~");
    QTest::newRow("options end") << QByteArray("er~") << QByteArray("er~");
    QTest::newRow("page read") << cmd::pageRead(20)
                               << QByteArray("EG20,0,6,13,20,33,47,60,73,14,14~");
    QTest::newRow("page write") << QByteArray("EH0,1,2,3,4,5,6,7,8,9,10~EG0~")
                                << QByteArray("EH10~EG0,1,2,3,4,5,6,7,8,9,10~");
    QTest::newRow("TPS live reading") << QByteArray("w5~") << QByteArray("x60,18~");
    QTest::newRow("temperature live reading") << QByteArray("r8~") << QByteArray("r9358,11~");
    QTest::newRow("temperature calibration")
        << QByteArray("r5~")
        << QByteArray("EF150,140,120,105,95,85,76,68,60,52,44,35,26,15,2,240,215~");
    QTest::newRow("navigation notices unanswered")
        << QByteArray("w1~w2~w4~q7~er~") << QByteArray("er~");
    QTest::newRow("shift log reports a shift")
        << QByteArray("n91~m1~n64~m2~n90~er~") << QByteArray("lg1,2,0,0,750,0~er~");
    QTest::newRow("emulated throttle in live data")
        << QByteArray("m1~m9~q2~") << QByteArray("z4750,0,5,7,6,1,46,46,0,30,0,0,0,0,0~");
}

void TestPtyBench::answersEveryCommandFamily()
{
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, answer);
    PtyBench bench(still());
    QVERIFY2(bench.start(), qPrintable(bench.errorString()));
    QVERIFY(bench.devicePath().startsWith(QStringLiteral("/dev/")));
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    QCOMPARE(host.ask(commands, int(answer.count('~'))), answer);
    QCOMPARE(host.quietFor(20), answer); // and nothing more
    QCOMPARE(bench.controller().receivedCommands().size(), commands.count('~'));
}

void TestPtyBench::identityComesFromOptions_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("build");
    QTest::addColumn<int>("serial");
    QTest::addColumn<int>("gears");
    QTest::addColumn<int>("warn");
    QTest::addColumn<QList<int>>("features");
    QTest::addColumn<bool>("ve");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("other build and serial")
        << "3.7" << 6 << 11299 << 5 << 100 << QList<int>{1, 1, 1, 1, 1} << false
        << QByteArray("z13.7,11299,6~z25,100~z31,1,1,1,1~");
    QTest::newRow("no build field") << "3.7" << -1 << 12345 << 5 << 100 << QList<int>{1, 1, 1, 1, 1}
                                    << false << QByteArray("z13.7,12345~z25,100~z31,1,1,1,1~");
    QTest::newRow("older firmware, 4 gears, 95 degrees")
        << "3.6" << 7 << 12345 << 4 << 95 << QList<int>{1, 0, 1, 1, 0} << false
        << QByteArray("z13.6,12345,7~z24,95~z31,0,1,1,0~");
    QTest::newRow("four feature flags") << "3.7" << 7 << 1 << 6 << 100 << QList<int>{0, 1, 0, 1}
                                        << false << QByteArray("z13.7,1,7~z26,100~z30,1,0,1~");
    QTest::newRow("unusable firmware answers ve")
        << "2.9" << 7 << 12345 << 5 << 100 << QList<int>{1, 1, 1, 1, 1} << true
        << QByteArray("z12.9,12345,7~z25,100~z31,1,1,1,1~ve~");
}

void TestPtyBench::identityComesFromOptions()
{
    QFETCH(QString, version);
    QFETCH(int, build);
    QFETCH(int, serial);
    QFETCH(int, gears);
    QFETCH(int, warn);
    QFETCH(QList<int>, features);
    QFETCH(bool, ve);
    QFETCH(QByteArray, answer);
    SimOptions o = still();
    o.version = version;
    o.build = build;
    o.serial = serial;
    o.gears = gears;
    o.warn = warn;
    o.features = features;
    o.answerVe = ve;
    PtyBench bench(o);
    QVERIFY(bench.start());
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    // The handshake as the program sends it: "q1~" then "getver~".
    QCOMPARE(host.ask(cmd::handshake() + cmd::versionQuery(), int(answer.count('~'))), answer);
    QCOMPARE(host.quietFor(20), answer);
}

void TestPtyBench::allPagesReadEqualMemory()
{
    PtyBench bench(still());
    QVERIFY(bench.start());
    bench.controller().memory() = randomImage(7);
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    // Page by page, the next request after each answer, as the save does.
    ConfigImage read;
    for (int page = 0; page < kPageCount; ++page) {
        const int address = page * kPageSize;
        const QByteArray answer = host.ask(cmd::pageRead(address), 1);
        QVERIFY2(answer.startsWith("EG" + QByteArray::number(address) + ','), answer.constData());
        const QList<QByteArray> fields = answer.mid(2).chopped(1).split(',');
        QCOMPARE(fields.size(), 1 + kPageSize);
        for (int i = 0; i < kPageSize; ++i) {
            read.set(address + i, fields.at(1 + i).toInt());
        }
    }
    QVERIFY(read == bench.controller().memory());
    QCOMPARE(read.toImageText(), randomImage(7).toImageText());
}

void TestPtyBench::pageUploadRewritesMemory()
{
    PtyBench bench(still());
    QVERIFY(bench.start());
    const ConfigImage image = randomImage(11);
    QVERIFY(!(image == bench.controller().memory()));
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    // The controller names the next page each time; the upload follows it.
    QByteArray next = "0";
    int pages = 0;
    while (next != "700") {
        const int address = next.toInt();
        QList<int> values;
        for (int i = 0; i < kPageSize; ++i) {
            values.append(image.at(address + i));
        }
        const QByteArray answer = host.ask(cmd::pageWrite(QString::fromLatin1(next), values), 1);
        QCOMPARE(answer, "EH" + QByteArray::number(address + kPageSize) + '~');
        next = answer.mid(2).chopped(1);
        QVERIFY(++pages <= kPageCount);
    }
    QCOMPARE(pages, kPageCount);
    QVERIFY(bench.controller().memory() == image);
    // It restarts: a short silence, then it answers again with a fresh car.
    QVERIFY(bench.controller().isRebooting());
    QCOMPARE(host.ask("q2~", 1, 20), QByteArray());
    QTRY_VERIFY(!bench.controller().isRebooting());
    QVERIFY(host.ask("q2~", 1).startsWith("z4"));
}

void TestPtyBench::malformedCommandsChangeNothing()
{
    PtyBench bench(still());
    QVERIFY(bench.start());
    const ConfigImage before = bench.controller().memory();
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    const QByteArray junk = "k1,700,1~k1,5,x~EH0,1,2~EG700~ee,65,0,700~ss0,699,1,2~hello~k1,-3,4~";
    QCOMPARE(host.ask(junk + "er~", 1), QByteArray("er~"));
    QCOMPARE(host.quietFor(20), QByteArray("er~"));
    QVERIFY(bench.controller().memory() == before);
    QCOMPARE(bench.controller().receivedCommands().size(), junk.count('~') + 1);
}

void TestPtyBench::bytesPassUntranslated()
{
    // Noise puts every byte value but "~" on the line; none may be translated on the way, and
    // line breaks and control characters from the host reach the controller as sent.
    SimOptions o = still();
    o.noise = 1;
    o.seed = 5;
    PtyBench bench(o);
    QVERIFY(bench.start());
    QByteArray emitted;
    connect(&bench.controller(), &SimController::output,
            [&](const QByteArray &b) { emitted += b; });
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    const QByteArray command = QByteArray("\x03\x1a\r\n\x11\x13q1~", 9);
    host.ask(command, 3);
    QTRY_COMPARE(host.in, emitted);
    QVERIFY(emitted.size() > QByteArray("z13.7,12345,7~z25,100~z31,1,1,1,1~").size());
    QCOMPARE(bench.controller().receivedCommands(), QList<QByteArray>{command});
    for (int i = 0; i < 20; ++i) {
        emitted.clear();
        host.ask("q1~", 3);
        QTRY_COMPARE(host.in, emitted);
    }
}

void TestPtyBench::faultsReachTheHost_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("silent after 1") << "silent-after";
    QTest::newRow("drop all") << "drop";
    QTest::newRow("corrupt all") << "corrupt";
    QTest::newRow("noise before all") << "noise";
    QTest::newRow("chunks of 3") << "chunk";
}

void TestPtyBench::faultsReachTheHost()
{
    QFETCH(QString, fault);
    SimOptions o = still();
    const QByteArray clean = "z13.7,12345,7~z25,100~z31,1,1,1,1~";
    if (fault == QLatin1String("silent-after")) {
        o.silentAfter = 1;
    } else if (fault == QLatin1String("drop")) {
        o.drop = 1;
    } else if (fault == QLatin1String("corrupt")) {
        o.corrupt = 1;
    } else if (fault == QLatin1String("noise")) {
        o.noise = 1;
    } else {
        o.chunk = 3;
    }
    PtyBench bench(o);
    QVERIFY(bench.start());
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    const bool answersLost =
        fault == QLatin1String("silent-after") || fault == QLatin1String("drop");
    const QByteArray got = host.ask(cmd::handshake(), 3, answersLost ? 100 : 5000);
    QTest::qWait(20);
    if (fault == QLatin1String("silent-after")) {
        QCOMPARE(host.in, QByteArray("z13.7,12345,7~"));
        QCOMPARE(host.ask("q2~", 1, 100), QByteArray());
    } else if (fault == QLatin1String("drop")) {
        QCOMPARE(host.in, QByteArray());
    } else if (fault == QLatin1String("corrupt")) {
        QCOMPARE(host.in.size(), clean.size());
        QCOMPARE(host.in.count('~'), 3);
        QVERIFY(host.in != clean);
    } else if (fault == QLatin1String("noise")) {
        QVERIFY(host.in.size() > clean.size());
        for (const char *frame : {"z13.7,12345,7~", "z25,100~", "z31,1,1,1,1~"}) {
            QVERIFY(host.in.contains(frame));
        }
    } else {
        QCOMPARE(got, clean);
        QCOMPARE(host.in, clean);
    }
    QCOMPARE(bench.controller().receivedCommands(),
             QList<QByteArray>{cmd::handshake()} + (fault == QLatin1String("silent-after")
                                                        ? QList<QByteArray>{"q2~"}
                                                        : QList<QByteArray>{}));
}

void TestPtyBench::wireRatePacesTheAnswer()
{
    SimOptions o = still();
    o.wireRate = 2400;
    PtyBench bench(o);
    QVERIFY(bench.start());
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    const QByteArray request = cmd::readRequest(QStringLiteral("E1")); // 121 values
    QElapsedTimer timer;
    timer.start();
    const QByteArray answer = host.ask(request, 1);
    const qint64 elapsed = timer.elapsed();
    QVERIFY(answer.startsWith("E1"));
    QCOMPARE(answer.mid(2).chopped(1).split(',').size(), 121);
    // 11 bits a byte at 2400 baud; only a generous lower bound, never an upper one.
    const double wireMs = answer.size() * 11 * 1000.0 / o.wireRate;
    QVERIFY2(elapsed >= 0.8 * wireMs,
             qPrintable(QStringLiteral("%1 ms for %2 ms of wire time").arg(elapsed).arg(wireMs)));
}

void TestPtyBench::hostMayCloseAndReopen()
{
    SimOptions o = still();
    o.wireRate = 4800; // slow enough that an answer is still on its way when the host leaves
    PtyBench bench(o);
    QVERIFY(bench.start());
    for (int round = 0; round < 3; ++round) {
        SerialHost host;
        QVERIFY(host.open(bench.devicePath()));
        QTRY_VERIFY(bench.hostAttached());
        QCOMPARE(host.ask("er~", 1), QByteArray("er~"));
        // Leave in the middle of a long answer.
        host.send(cmd::readRequest(QStringLiteral("E1")));
        QTRY_VERIFY(!host.in.isEmpty() && host.in != "er~");
        host.close();
        QTRY_VERIFY(!bench.hostAttached());
    }
    // The next host sees only its own answers, nothing left over from before.
    SerialHost host;
    QVERIFY(host.open(bench.devicePath()));
    QCOMPARE(host.ask("er~", 1), QByteArray("er~"));
    QCOMPARE(host.quietFor(50), QByteArray("er~"));
}

void TestPtyBench::programLinkOpensTheDevice()
{
    PtyBench bench(still());
    QVERIFY(bench.start());
    ControllerLink link;
    QByteArray received;
    connect(&link, &ControllerLink::bytesReceived, [&](const QByteArray &b) { received += b; });
    for (int round = 0; round < 2; ++round) {
        received.clear();
        QVERIFY(link.open(bench.devicePath()));
        QVERIFY(link.send(cmd::handshake()));
        QTRY_COMPARE(received, QByteArray("z13.7,12345,7~z25,100~z31,1,1,1,1~"));
        QVERIFY(link.send(cmd::readRequest(QStringLiteral("E7"))));
        QTRY_VERIFY(received.endsWith("E718,230~"));
        link.close();
        QTRY_VERIFY(!bench.hostAttached());
    }
}

void TestPtyBench::rawModeSurvivesACookedHost()
{
    PtyBench bench(still());
    QVERIFY(bench.start());
    const QByteArray path = bench.devicePath().toLocal8Bit();
    {
        // A terminal-like host: line editing, echo, CR to LF.
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        termios tio{};
        QCOMPARE(::tcgetattr(fd, &tio), 0);
        tio.c_lflag |= ICANON | ECHO;
        tio.c_iflag |= ICRNL;
        QCOMPARE(::tcsetattr(fd, TCSANOW, &tio), 0);
        QTRY_VERIFY(bench.hostAttached());
        ::close(fd);
    }
    QTRY_VERIFY(!bench.hostAttached());
    // A host that takes the line as it finds it gets raw bytes: no echo, no wait for a line end.
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    const QByteArray command = "\rer~";
    QCOMPARE(::write(fd, command.constData(), size_t(command.size())), command.size());
    QByteArray in;
    QElapsedTimer t;
    t.start();
    while (in.size() < 3 && t.elapsed() < 5000) {
        QTest::qWait(2);
        char buffer[64];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            in.append(buffer, n);
        }
    }
    ::close(fd);
    QCOMPARE(in, QByteArray("er~"));
    QCOMPARE(bench.controller().receivedCommands(), QList<QByteArray>{command});
}

void TestPtyBench::idleBenchUsesNoCpu()
{
    SimOptions o; // the car moves on its own timer here, as in real use
    PtyBench bench(o);
    QVERIFY(bench.start());
    {
        SerialHost host;
        QVERIFY(host.open(bench.devicePath()));
        QVERIFY(host.ask("q2~", 1).startsWith("z4"));
        host.close();
    }
    QTRY_VERIFY(!bench.hostAttached());
    // No host: a master that reports hang-up forever would spin the event loop at full speed.
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(300);
    const double cpu = cpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.5 * wall.elapsed() / 1000.0, qPrintable(QString::number(cpu)));
}

KESTO_TEST_MAIN(TestPtyBench)
#include "tst_pty_bench.moc"
