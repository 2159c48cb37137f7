// The kesto-sim command: options, first line, symlink, image in, image out, clean signals.
#include "config/config_image.h"
#include "link/commands.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "serial_host.h"
#include "test_main.h"

using namespace kesto;
using kesto::test::SerialHost;

namespace {

QString simPath()
{
    // Tests run from build/tests; the command is build/sim/kesto-sim.
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/kesto-sim");
}

// A running kesto-sim and the device path it printed.
struct SimProcess
{
    bool start(const QStringList &arguments)
    {
        process.start(simPath(), arguments);
        if (!process.waitForStarted(5000)) {
            return false;
        }
        while (!process.canReadLine() && process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
        return !device.isEmpty();
    }
    bool stop(int signal)
    {
        ::kill(pid_t(process.processId()), signal);
        return process.waitForFinished(5000);
    }
    ~SimProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(2000);
        }
    }

    QProcess process;
    QString device;
};

ConfigImage patternImage()
{
    ConfigImage image;
    for (int a = 0; a < kImageSize; ++a) {
        image.set(a, (a * 13 + 5) % 256);
    }
    return image;
}

QByteArray pageAnswer(const ConfigImage &image, int address)
{
    QByteArray answer = "EG" + QByteArray::number(address);
    for (int a = address; a < address + kPageSize; ++a) {
        answer += ',' + QByteArray::number(image.at(a));
    }
    return answer + '~';
}

} // namespace

class TestKestoSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void runsOnItsImageAndSavesOnSignal_data();
    void runsOnItsImageAndSavesOnSignal();
    void optionsShapeTheAnswers_data();
    void optionsShapeTheAnswers();
    void badArgumentsAreRefused_data();
    void badArgumentsAreRefused();
};

void TestKestoSim::initTestCase()
{
    QVERIFY2(QFileInfo(simPath()).isExecutable(), qPrintable(simPath()));
}

void TestKestoSim::runsOnItsImageAndSavesOnSignal_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("signal");
    QTest::newRow("built-in defaults, SIGTERM") << "none" << int(SIGTERM);
    QTest::newRow("hex text, SIGTERM") << "hex" << int(SIGTERM);
    QTest::newRow("700 decimal lines, SIGINT") << "dec700" << int(SIGINT);
    QTest::newRow("350 decimal lines, SIGTERM") << "dec350" << int(SIGTERM);
}

void TestKestoSim::runsOnItsImageAndSavesOnSignal()
{
    QFETCH(QString, format);
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString imagePath = dir.filePath(QStringLiteral("start.ks3"));
    const QString savePath = dir.filePath(QStringLiteral("end.ks3"));
    const QString linkPath = dir.filePath(QStringLiteral("kesto"));
    const QString logPath = dir.filePath(QStringLiteral("sim.log"));

    ConfigImage expected;
    QStringList arguments{
        QStringLiteral("--save"), savePath, QStringLiteral("--link"),       linkPath,
        QStringLiteral("--log"),  logPath,  QStringLiteral("--model-tick"), QStringLiteral("0")};
    // Without an image the defaults are in force; the page reads below collect them.
    if (format != QLatin1String("none")) {
        const ConfigImage pattern = patternImage();
        QByteArray file;
        if (format == QLatin1String("hex")) {
            file = pattern.toImageText().toLatin1();
            expected = pattern;
        } else {
            const int lines = format == QLatin1String("dec700") ? 700 : 350;
            for (int a = 0; a < lines; ++a) {
                // Decimal lines keep only the low eight bits.
                file += QByteArray::number(pattern.at(a) + (a % 3 == 0 ? 256 : 0)) + "\r\n";
                expected.set(a, pattern.at(a));
            }
        }
        QFile f(imagePath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
        f.close();
        arguments << QStringLiteral("--image") << imagePath;
    }

    SimProcess sim;
    QVERIFY2(sim.start(arguments), qPrintable(sim.process.readAllStandardError()));
    QVERIFY(sim.device.startsWith(QStringLiteral("/dev/")));
    QCOMPARE(QFileInfo(linkPath).symLinkTarget(), sim.device);

    SerialHost host;
    QVERIFY(host.open(linkPath));
    if (format == QLatin1String("none")) {
        for (int page = 0; page < kPageCount; ++page) {
            const QByteArray answer = host.ask(cmd::pageRead(page * kPageSize), 1);
            const QList<QByteArray> fields = answer.mid(2).chopped(1).split(',');
            QCOMPARE(fields.size(), 1 + kPageSize);
            for (int i = 0; i < kPageSize; ++i) {
                expected.set(page * kPageSize + i, fields.at(1 + i).toInt());
            }
        }
        QCOMPARE(int(expected.at(12)), 5); // five gears by default
    } else {
        for (const int address : {0, 340, 690}) {
            QCOMPARE(host.ask(cmd::pageRead(address), 1), pageAnswer(expected, address));
        }
    }
    host.ask(cmd::write(0, {1, 2}) + cmd::optionsBlock(0, 12, {4}), 1);
    expected.set(0, 1);
    expected.set(1, 2);
    expected.set(12, 4);
    host.close();

    QVERIFY(sim.stop(signal));
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(linkPath) && !QFileInfo(linkPath).isSymLink());

    QFile saved(savePath);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    QCOMPARE(text.size(), kImageTextSize);
    QCOMPARE(QString::fromLatin1(text), expected.toImageText());

    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray logText = log.readAll();
    QVERIFY(logText.contains("> k1,0,1,2~"));
    QVERIFY(logText.contains("< ss0,12,1~"));
}

void TestKestoSim::optionsShapeTheAnswers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("identity") << QStringList{"--version", "3.6", "--build",    "6",
                                             "--serial",  "999", "--gears",    "4",
                                             "--warn",    "90",  "--features", "1,0,1,1"}
                              << cmd::handshake() << QByteArray("z13.6,999,6~z24,90~z31,0,1,1~");
    QTest::newRow("ve") << QStringList{"--ve"} << cmd::versionQuery() << QByteArray("ve~");
    QTest::newRow("silent after 2")
        << QStringList{"--silent-after", "2"} << cmd::handshake() + "er~"
        << QByteArray("z13.7,12345,7~z25,100~");
    QTest::newRow("chunks of 2") << QStringList{"--chunk", "2"} << QByteArray("ee,55,0,1~")
                                 << QByteArray("E718,230~");
    QTest::newRow("paced") << QStringList{"--wire-rate", "115200"} << QByteArray("ee,55,0,1~")
                           << QByteArray("E718,230~");
    QTest::newRow("drop with seed")
        << QStringList{"--drop", "1", "--seed", "3"} << QByteArray("q2~er~") << QByteArray();
}

void TestKestoSim::optionsShapeTheAnswers()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, answer);
    SimProcess sim;
    QVERIFY(sim.start(arguments));
    SerialHost host;
    QVERIFY(host.open(sim.device));
    const int frames = int(answer.count('~'));
    host.ask(commands, frames, frames ? 5000 : 200);
    QCOMPARE(host.quietFor(50), answer);
    host.close();
    QVERIFY(sim.stop(SIGTERM));
    QCOMPARE(sim.process.exitCode(), 0);
}

void TestKestoSim::badArgumentsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("probability above 1") << QStringList{"--drop", "2"} << "--drop";
    QTest::newRow("gears not a number") << QStringList{"--gears", "x"} << "--gears";
    QTest::newRow("features not numbers") << QStringList{"--features", "1,a"} << "--features";
    QTest::newRow("missing image") << QStringList{"--image", "/nonexistent/x.ks3"} << "--image";
    QTest::newRow("stray argument") << QStringList{"extra"} << "extra";
}

void TestKestoSim::badArgumentsAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, complaint);
    QProcess process;
    process.start(simPath(), arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(process.readAllStandardOutput(), QByteArray()); // no device path: nothing to use
    QVERIFY(QString::fromLocal8Bit(process.readAllStandardError()).contains(complaint));
}

KESTO_TEST_MAIN(TestKestoSim)
#include "tst_kesto_sim.moc"
