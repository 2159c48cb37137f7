// The bench controller without a transport: answers, memory, faults and the car.
#include "sim_controller.h"

#include "config/address_map.h"
#include "link/answer_frame.h"
#include "link/commands.h"

#include <QSignalSpy>
#include <QtTest>

#include "test_main.h"

using namespace kesto;
using namespace kesto::sim;

namespace {

SimOptions still()
{
    SimOptions o;
    o.modelTickMs = 0; // the car moves only when a test says so
    o.rebootMs = 0;
    return o;
}

// A controller and everything it sent.
struct Wire
{
    explicit Wire(const SimOptions &options = still()) : sim(options)
    {
        QObject::connect(&sim, &SimController::output, [this](const QByteArray &b) {
            out += b;
            pieces.append(b);
        });
    }
    QByteArray ask(const QByteArray &command)
    {
        out.clear();
        pieces.clear();
        sim.feed(command);
        return out;
    }
    QList<AnswerFrame> frames() const
    {
        QList<AnswerFrame> list;
        for (const QByteArray &f : out.split('~')) {
            if (!f.isEmpty()) {
                list.append(AnswerFrame::fromFrameText(QString::fromLatin1(f)));
            }
        }
        return list;
    }
    LiveValues live() { return sim.liveValues(); }

    SimController sim;
    QByteArray out;
    QList<QByteArray> pieces;
};

QByteArray bytesText(const ConfigImage &image, int first, int last)
{
    QByteArray text;
    for (int a = first; a <= last; ++a) {
        text += (text.isEmpty() ? "" : ",") + QByteArray::number(image.at(a));
    }
    return text;
}

// Signed temperature from its calibration byte, as the host reads it.
int signedByte(int b)
{
    return b > 150 ? b - 255 : b;
}

} // namespace

class TestSimController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readRequestsAnswerTheirRangesInOrder_data();
    void readRequestsAnswerTheirRangesInOrder();
    void writesStoreAndAcknowledge_data();
    void writesStoreAndAcknowledge();
    void malformedCommandsChangeNothing_data();
    void malformedCommandsChangeNothing();
    void commandsMayArriveInAnyPieces();
    void defaultImageDecodesCleanly();
    void pageUploadEndsWithRebootAndFreshCar();
    void silentAfterCountsAnswers();
    void setSilentStopsAndResumes();
    void dropAndCorruptAndNoiseFollowTheirDice();
    void chunkDeliversSmallPieces();
    void logRecordsCommandsAnswersAndRejections();
    void emulatedInputsMoveTheCar_data();
    void emulatedInputsMoveTheCar();
    void manualModeShiftsOnButtons();
    void driveCycleShiftsByTheMaps();
    void editedShiftMapMovesTheShiftPoint();
    void lockupFollowsTheLastGearMapAndItsLevel();
    void sensorReadingsFollowCalibrations();
};

void TestSimController::readRequestsAnswerTheirRangesInOrder_data()
{
    QTest::addColumn<QString>("type");
    for (const char *type : {"E1", "E2", "E3", "E4", "E5", "E6", "E7", "E8", "E9", "EA", "EB", "EC",
                             "ED", "EE", "EF"}) {
        QTest::newRow(type) << QString::fromLatin1(type);
    }
}

void TestSimController::readRequestsAnswerTheirRangesInOrder()
{
    QFETCH(QString, type);
    Wire w;
    // Distinct values everywhere, so a wrong address or order shows.
    for (int a = 0; a < kImageSize; ++a) {
        w.sim.memory().set(a, (a * 7 + 3) % 256);
    }
    const QList<int> addresses = answerAddresses(type);
    QByteArray expected = type.toLatin1();
    for (int i = 0; i < addresses.size(); ++i) {
        expected += (i ? "," : "") + QByteArray::number((addresses.at(i) * 7 + 3) % 256);
    }
    QCOMPARE(w.ask(cmd::readRequest(type)), expected + '~');
}

void TestSimController::writesStoreAndAcknowledge_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("first");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("k1 TPS calibration")
        << QByteArray("k1,0,12,230~") << 0 << QList<int>{12, 230} << QByteArray();
    QTest::newRow("k1 last address")
        << QByteArray("k1,699,77~") << 699 << QList<int>{77} << QByteArray();
    QTest::newRow("k1 above 255 keeps low bits")
        << QByteArray("k1,300,256,300~") << 300 << QList<int>{0, 44} << QByteArray();
    QTest::newRow("ss block 0") << cmd::optionsBlock(0, 2, {17, 47, 45}) << 2
                                << QList<int>{17, 47, 45} << QByteArray("ss0,2,3~");
    QTest::newRow("ss block 4 one value")
        << cmd::optionsBlock(4, 326, {0}) << 326 << QList<int>{0} << QByteArray("ss4,326,1~");
    QTest::newRow("ss 150 percent as 382")
        << QByteArray("ss3,256,382~") << 256 << QList<int>{126} << QByteArray("ss3,256,1~");
    QTest::newRow("EH page 350") << cmd::pageWrite(QStringLiteral("350"),
                                                   {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
                                 << 350 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                                 << QByteArray("EH360~");
}

void TestSimController::writesStoreAndAcknowledge()
{
    QFETCH(QByteArray, command);
    QFETCH(int, first);
    QFETCH(QList<int>, values);
    QFETCH(QByteArray, answer);
    Wire w;
    ConfigImage expected = w.sim.memory();
    for (int i = 0; i < values.size(); ++i) {
        expected.set(first + i, values.at(i));
    }
    QCOMPARE(w.ask(command), answer);
    QVERIFY(w.sim.memory() == expected);
    QCOMPARE(w.sim.receivedCommands().last(), command);
}

void TestSimController::malformedCommandsChangeNothing_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("unknown") << QByteArray("zz9~");
    QTest::newRow("case matters") << QByteArray("Q1~");
    QTest::newRow("k1 letters") << QByteArray("k1,5,1a~");
    QTest::newRow("k1 empty value") << QByteArray("k1,5,,6~");
    QTest::newRow("k1 negative") << QByteArray("k1,-1,5~");
    QTest::newRow("k1 blank inside") << QByteArray("k1, 5,6~");
    QTest::newRow("k1 no values") << QByteArray("k1,5~");
    QTest::newRow("k1 past 699") << QByteArray("k1,699,1,2~");
    QTest::newRow("k1 address 700") << QByteArray("k1,700,1~");
    QTest::newRow("k1 huge number") << QByteArray("k1,99999999999,1~");
    QTest::newRow("ee no ranges") << QByteArray("ee,65~");
    QTest::newRow("ee half a range") << QByteArray("ee,65,20~");
    QTest::newRow("ee beyond 699") << QByteArray("ee,65,690,700~");
    QTest::newRow("ee reversed") << QByteArray("ee,65,43,20~");
    QTest::newRow("ee bad type code") << QByteArray("ee,126,0,1~");
    QTest::newRow("EG 691") << QByteArray("EG691~");
    QTest::newRow("EG empty") << QByteArray("EG~");
    QTest::newRow("EG two numbers") << QByteArray("EG0,1~");
    QTest::newRow("EH nine values") << QByteArray("EH0,1,2,3,4,5,6,7,8,9~");
    QTest::newRow("EH eleven values") << QByteArray("EH0,1,2,3,4,5,6,7,8,9,10,11~");
    QTest::newRow("EH address 700") << QByteArray("EH700,1,2,3,4,5,6,7,8,9,10~");
    QTest::newRow("ss no values") << QByteArray("ss0,2~");
    QTest::newRow("ss past 699") << QByteArray("ss0,698,1,2,3~");
    QTest::newRow("emulation while off") << QByteArray("m9~");
}

void TestSimController::malformedCommandsChangeNothing()
{
    QFETCH(QByteArray, command);
    Wire w;
    const ConfigImage before = w.sim.memory();
    const LiveValues liveBefore = w.live();
    QSignalSpy rejected(&w.sim, &SimController::commandRejected);
    QCOMPARE(w.ask(command), QByteArray());
    QCOMPARE(rejected.size(), 1);
    QCOMPARE(rejected.at(0).at(0).toByteArray(), command);
    QVERIFY(w.sim.memory() == before);
    QCOMPARE(w.live().tps, liveBefore.tps);
    QCOMPARE(w.sim.receivedCommands(), QList<QByteArray>{command});
    // The next good command is answered as usual.
    QCOMPARE(w.ask("er~"), QByteArray("er~"));
}

void TestSimController::commandsMayArriveInAnyPieces()
{
    Wire w;
    const QByteArray stream = "q1~ee,55,0,1~k1,0,5,6~ee,55,0,1~";
    QByteArray whole;
    {
        Wire reference;
        whole = reference.ask(stream);
    }
    for (const int piece : {1, 2, 5, 7}) {
        Wire split;
        QByteArray out;
        for (int i = 0; i < stream.size(); i += piece) {
            split.sim.feed(stream.mid(i, piece));
            out += split.out;
            split.out.clear();
        }
        QCOMPARE(out, whole);
    }
    QVERIFY(whole.endsWith("E718,230~E75,6~"));

    // Line noise without "~" is dropped once it is far too long for a command.
    QSignalSpy rejected(&w.sim, &SimController::commandRejected);
    w.ask(QByteArray(SimController::kMaxCommandLength + 10, 'x'));
    QCOMPARE(rejected.size(), 1);
    QCOMPARE(w.ask("er~"), QByteArray("er~"));
}

void TestSimController::defaultImageDecodesCleanly()
{
    const ConfigImage m = SimController::defaultImage();
    // Shift maps: rising throttle axis, each upshift above its downshift, gear pairs rising.
    for (int map = 0; map < 5; ++map) {
        const int base = 20 + 24 * map;
        for (int row = 0; row < 8; ++row) {
            QVERIFY2(m.at(base + 8 + row) > m.at(base + 16 + row),
                     qPrintable(QString::number(base)));
            if (row > 0) {
                QVERIFY(m.at(base + row) > m.at(base + row - 1));
            }
            if (map > 0) {
                QVERIFY(m.at(base + 8 + row) > m.at(base - 24 + 8 + row));
            }
        }
    }
    // SLU levels are among the four the lockup editors know.
    for (int a = 327; a <= 342; ++a) {
        QVERIFY2(QList<int>({100, 150, 200, 255}).contains(m.at(a)),
                 qPrintable(QString::number(a)));
    }
    // Pressure cells: shown 0 or 10..100; AWD cells 0 or 20..100.
    for (int base : {155, 195}) {
        for (int a = base + 8; a < base + 16; ++a) {
            const int shown = 100 - m.at(a);
            QVERIFY(shown == 0 || (shown >= 10 && shown <= 100));
        }
    }
    for (int a = 260; a <= 284; ++a) {
        QVERIFY(m.at(a) == 0 || (m.at(a) >= 20 && m.at(a) <= 100));
    }
    // Options: gear count 5 and A750E, reaction and gear count select list items, flags 0/1.
    QCOMPARE(int(m.at(12)), 5);
    QCOMPARE(int(m.at(235)), 1);
    QVERIFY(m.at(218) <= 3);
    for (int a : {14,  15,  19,  211, 212, 213, 214, 215, 216, 217, 220, 221, 222, 223, 227,
                  229, 233, 234, 236, 237, 238, 239, 241, 242, 244, 245, 246, 250, 257, 326,
                  343, 345, 348, 350, 351, 352, 353, 362, 363, 364, 367, 368, 371, 374, 375,
                  376, 378, 379, 608, 609, 610, 611, 613, 616, 617, 618, 619}) {
        QVERIFY2(m.at(a) <= 1, qPrintable(QString::number(a)));
    }
    QCOMPARE(m.at(606) & 0xF0, 0xF0);
    // Smoothing bytes are neither 0 nor 100; temperature calibration falls with the voltage.
    for (int a : {612, 615}) {
        QVERIFY(m.at(a) > 0 && m.at(a) < 100);
    }
    for (int a = 285; a < 301; ++a) {
        QVERIFY(signedByte(m.at(a)) > signedByte(m.at(a + 1)));
        QVERIFY(signedByte(m.at(a)) >= -100 && signedByte(m.at(a)) <= 150);
    }
    QVERIFY(m.at(0) < m.at(1));
}

void TestSimController::pageUploadEndsWithRebootAndFreshCar()
{
    SimOptions o = still();
    o.rebootMs = 30;
    Wire w(o);
    w.ask("m1~m9~n91~");
    QVERIFY(w.sim.isEmulating());
    QCOMPARE(w.live().tps, VehicleModel::kTpsStep);

    QCOMPARE(w.ask("EH680,1,1,1,1,1,1,1,1,1,1~"), QByteArray("EH690~"));
    QVERIFY(!w.sim.isRebooting());
    QCOMPARE(w.ask("EH690,9,9,9,9,9,9,9,9,9,9~"), QByteArray("EH700~"));
    QVERIFY(w.sim.isRebooting());
    QCOMPARE(int(w.sim.memory().at(699)), 9);
    QCOMPARE(w.ask("q2~"), QByteArray()); // silence while restarting
    QTRY_VERIFY(!w.sim.isRebooting());
    QVERIFY(!w.sim.isEmulating());
    QVERIFY(!w.sim.isShiftLogOn());
    QCOMPARE(w.live().tps, 0);
    QCOMPARE(w.ask("q2~").left(2), QByteArray("z4"));
}

void TestSimController::silentAfterCountsAnswers()
{
    SimOptions o = still();
    o.silentAfter = 2;
    Wire w(o);
    QCOMPARE(w.ask("q1~"), QByteArray("z13.7,12345,7~z25,100~"));
    QCOMPARE(w.ask("q2~"), QByteArray());
    QCOMPARE(w.ask("er~"), QByteArray());
    QCOMPARE(w.sim.answerCount(), 2);
    // Commands are still taken: a silent controller is not a deaf one.
    QCOMPARE(w.ask("k1,0,3,4~"), QByteArray());
    QCOMPARE(int(w.sim.memory().at(0)), 3);
}

void TestSimController::setSilentStopsAndResumes()
{
    SimOptions o = still();
    o.chunk = 4;
    Wire w(o);
    w.sim.feed("q1~");
    QVERIFY(w.sim.pendingOutput() > 0);
    w.sim.setSilent(true);
    QVERIFY(w.sim.isSilent());
    QCOMPARE(w.sim.pendingOutput(), 0); // what was still on its way is gone too
    w.sim.feed("er~");
    QTest::qWait(20);
    QCOMPARE(w.out, QByteArray());
    QCOMPARE(w.sim.receivedCommands().size(), 2); // deaf it is not
    w.sim.setSilent(false);
    w.sim.feed("er~");
    QTRY_COMPARE(w.out, QByteArray("er~"));
}

void TestSimController::dropAndCorruptAndNoiseFollowTheirDice()
{
    const QByteArray clean = "E718,230~";
    const int polls = 60;
    struct Case
    {
        const char *name;
        double drop, corrupt, noise;
    };
    for (const Case &c : {Case{"drop", 0.5, 0, 0}, Case{"corrupt", 0, 1, 0}, Case{"noise", 0, 0, 1},
                          Case{"half corrupt", 0, 0.5, 0}}) {
        SimOptions o = still();
        o.drop = c.drop;
        o.corrupt = c.corrupt;
        o.noise = c.noise;
        o.seed = 42;
        Wire w(o);
        Wire again(o);
        int arrived = 0, intact = 0;
        for (int i = 0; i < polls; ++i) {
            const QByteArray got = w.ask("ee,55,0,1~");
            QCOMPARE(again.ask("ee,55,0,1~"), got); // same seed, same faults
            if (got.isEmpty()) {
                continue;
            }
            ++arrived;
            QCOMPARE(got.count('~'), 1);
            QVERIFY(got.endsWith('~'));
            if (got == clean) {
                ++intact;
                continue;
            }
            if (c.corrupt > 0) {
                QCOMPARE(got.size(), clean.size());
                int differing = 0;
                for (int k = 0; k < clean.size(); ++k) {
                    differing += got.at(k) != clean.at(k);
                }
                QCOMPARE(differing, 1);
            } else {
                QVERIFY2(c.noise > 0, c.name);
                QVERIFY(got.endsWith(clean));
                QVERIFY(got.size() - clean.size() >= 1 && got.size() - clean.size() <= 8);
            }
        }
        QCOMPARE(w.sim.answerCount(), polls);
        if (c.drop > 0) {
            QVERIFY2(arrived > polls / 5 && arrived < polls * 4 / 5, c.name);
            QCOMPARE(intact, arrived);
        } else if (c.corrupt == 1 || c.noise == 1) {
            QCOMPARE(arrived, polls);
            QCOMPARE(intact, 0);
        } else {
            QVERIFY2(intact > polls / 5 && intact < polls * 4 / 5, c.name);
        }
    }
    // Another seed throws other dice.
    SimOptions a = still(), b = still();
    a.drop = b.drop = 0.5;
    a.seed = 1;
    b.seed = 2;
    Wire wa(a), wb(b);
    QByteArray pa, pb;
    for (int i = 0; i < polls; ++i) {
        pa += wa.ask("er~").isEmpty() ? '0' : '1';
        pb += wb.ask("er~").isEmpty() ? '0' : '1';
    }
    QVERIFY(pa != pb);
}

void TestSimController::chunkDeliversSmallPieces()
{
    for (const int chunk : {1, 3, 16}) {
        SimOptions o = still();
        o.chunk = chunk;
        Wire w(o);
        w.sim.feed("q1~ee,65,20,43~");
        QVERIFY(w.out.size() <= chunk); // nothing goes out whole at once
        QTRY_COMPARE(w.out, QByteArray("z13.7,12345,7~z25,100~z31,1,1,1,1~"
                                       "EA0,6,13,20,33,47,60,73,14,14,14,14,20,32,42,50,"
                                       "5,5,6,8,15,26,38,45~"));
        QVERIFY(w.pieces.size() > 1);
        for (const QByteArray &p : w.pieces) {
            QVERIFY(p.size() <= chunk);
        }
    }
}

void TestSimController::logRecordsCommandsAnswersAndRejections()
{
    QTemporaryDir dir;
    SimOptions o = still();
    o.logFile = dir.filePath(QStringLiteral("sim.log"));
    o.drop = 1;
    {
        Wire w(o);
        w.ask("q1~");
        w.sim.options().drop = 0;
        w.ask("er~bad~");
    }
    QFile f(o.logFile);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    const QRegularExpression timed(QStringLiteral("^ *\\d+\\.\\d{3} [<>!*] "));
    QStringList bodies;
    for (const QByteArray &line : lines) {
        if (line.isEmpty()) {
            continue;
        }
        QVERIFY2(timed.match(QString::fromLatin1(line)).hasMatch(), line.constData());
        bodies << QString::fromLatin1(line).section(QLatin1Char(' '), 1, -1,
                                                    QString::SectionSkipEmpty);
    }
    QCOMPARE(bodies.value(0), QStringLiteral("> q1~"));
    QCOMPARE(bodies.value(1), QStringLiteral("< z13.7,12345,7~  (dropped)"));
    QVERIFY(bodies.contains(QStringLiteral("< er~")));
    QVERIFY(bodies.contains(QStringLiteral("> bad~")));
    QVERIFY(bodies.contains(QStringLiteral("! bad~  (unknown command)")));
}

void TestSimController::emulatedInputsMoveTheCar_data()
{
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");

    const QByteArray on = "m1~";
    QTest::newRow("TPS up twice") << on + "m9~m9~"
                                  << "tps" << 10;
    QTest::newRow("TPS down") << on + "m9~m9~n1~"
                              << "tps" << 5;
    QTest::newRow("TPS zero") << on + "m9~m9~n2~"
                              << "tps" << 0;
    QTest::newRow("TPS floor") << on + "n1~"
                               << "tps" << 0;
    QTest::newRow("TPS ceiling") << on + QByteArray("m9~").repeated(25) << "tps" << 100;
    QTest::newRow("rpm up") << on + "m3~m3~"
                            << "rpm" << 750 + 500;
    QTest::newRow("rpm down") << on + "m3~m4~m4~"
                              << "rpm" << 500;
    QTest::newRow("rpm zero") << on + "m3~m5~"
                              << "rpm" << 0;
    QTest::newRow("speed up") << on + "m6~m6~m6~"
                              << "speed" << 15;
    QTest::newRow("speed down") << on + "m6~m6~m7~"
                                << "speed" << 5;
    QTest::newRow("speed zero") << on + "m6~m8~"
                                << "speed" << 0;
    QTest::newRow("selector L") << on + "n61~"
                                << "selector" << 1;
    QTest::newRow("selector 2") << on + "n62~"
                                << "selector" << 2;
    QTest::newRow("selector 3") << on + "n63~"
                                << "selector" << 3;
    QTest::newRow("selector D") << on + "n64~"
                                << "selector" << 4;
    QTest::newRow("selector R") << on + "n65~"
                                << "selector" << 5;
    QTest::newRow("selector P/N") << on + "n64~n66~"
                                  << "selector" << 6;
    QTest::newRow("D engages 1st") << on + "n64~"
                                   << "gear" << 1;
    QTest::newRow("R engages reverse") << on + "n65~"
                                       << "gear" << 8;
    QTest::newRow("P/N is gear 7") << on + "n65~n66~"
                                   << "gear" << 7;
    QTest::newRow("shift mode to manual") << on + "n5~"
                                          << "mode" << 0;
    QTest::newRow("shift mode back") << on + "n5~n5~"
                                     << "mode" << 1;
    QTest::newRow("ignored after m2") << on + "m2~m9~m6~"
                                      << "tps" << 0;
    QTest::newRow("ignored before m1") << QByteArray("m9~m6~n64~") << "selector" << 6;
}

void TestSimController::emulatedInputsMoveTheCar()
{
    QFETCH(QByteArray, commands);
    QFETCH(QString, field);
    QFETCH(int, expected);
    Wire w;
    w.ask(commands);
    // Read it the host's way: from the live data answer.
    const AnswerFrame z4 = AnswerFrame::fromFrameText(QString::fromLatin1(w.ask("q2~").chopped(1)));
    QCOMPARE(z4.type, QStringLiteral("z4"));
    QCOMPARE(z4.fields.size(), 15);
    const QHash<QString, int> index{{"rpm", 0},  {"speed", 1},    {"tps", 2},
                                    {"gear", 3}, {"selector", 4}, {"mode", 5}};
    QCOMPARE(z4.intField(index.value(field)), expected);
}

void TestSimController::manualModeShiftsOnButtons()
{
    Wire w;
    w.ask("n91~m1~n64~");
    QCOMPARE(w.frames().size(), 1);
    QCOMPARE(w.frames().at(0).fields, QStringList({"1", "2", "0", "0", "750", "0"}));

    QCOMPARE(w.ask("n3~"), QByteArray()); // automatic mode: the buttons do nothing
    w.ask("n5~");
    w.ask("n3~n3~");
    QCOMPARE(w.frames().size(), 2);
    QCOMPARE(w.frames().at(1).fields.mid(0, 2), QStringList({"3", "10"}));
    QCOMPARE(w.live().gear, 3);
    // Held in manual mode even far above the 3-4 shift speed.
    for (int i = 0; i < 30; ++i) {
        w.ask("m6~");
    }
    w.out.clear();
    w.sim.advanceModel(5000);
    QCOMPARE(w.out, QByteArray());
    QCOMPARE(w.live().gear, 3);
    w.ask("n4~");
    QCOMPARE(w.out, QByteArray("lg2,10,0,150,750,0~"));
    // L pulls the gear down to 1 at once.
    w.ask("n61~");
    QCOMPARE(w.live().gear, 1);
    w.ask("n90~n4~n62~n3~");
    QCOMPARE(w.out, QByteArray()); // the log is off again
}

void TestSimController::driveCycleShiftsByTheMaps()
{
    Wire w;
    w.ask("n91~");
    w.sim.advanceModel(VehicleModel::kCycleMs);
    const QList<AnswerFrame> reports = w.frames();
    QVERIFY(reports.size() >= 8);
    int highest = 0;
    int previous = 7;
    QSet<int> reasons;
    for (const AnswerFrame &r : reports) {
        QCOMPARE(r.type, QStringLiteral("lg"));
        QCOMPARE(r.fields.size(), 6);
        const int gear = r.intField(0), reason = r.intField(1), parameter = r.intField(2);
        const int speed = r.intField(3);
        reasons.insert(reason);
        if (gear <= 6) {
            highest = std::max(highest, gear);
        }
        if (gear <= 6 && previous <= 6) {
            QCOMPARE(std::abs(gear - previous), 1); // one gear at a time
        }
        if (reason == 5) {
            QVERIFY(speed > parameter);
            QCOMPARE(gear, previous + 1);
        } else if (reason == 4) {
            QVERIFY(speed < parameter);
            QCOMPARE(gear, previous - 1);
        } else if (reason == 3) {
            QVERIFY(r.intField(4) >= parameter);
        } else if (reason == 7) {
            QVERIFY(speed < parameter);
        }
        previous = gear;
    }
    // Drive off from park, up through the maps, down again, and park.
    QCOMPARE(reports.first().fields.mid(0, 2), QStringList({"1", "2"}));
    QVERIFY(reasons.contains(5));
    QVERIFY(reasons.contains(4));
    QCOMPARE(reports.last().fields.mid(0, 2), QStringList({"7", "9"}));
    QVERIFY(highest >= 4);
    QVERIFY(highest <= 5);
    // Oil warms up but is not yet hot after a minute.
    QVERIFY(w.live().oilTemp > VehicleModel::kStartOilTemp + 10);
    QVERIFY(w.live().oilTemp < 88);
}

void TestSimController::editedShiftMapMovesTheShiftPoint()
{
    // The 1-2 upshift comes at the speed the memory holds when the car gets there.
    for (const int upshift : {20, 45}) {
        Wire w;
        QList<int> speeds(8, upshift);
        w.ask(cmd::write(28, speeds));
        w.ask("n91~");
        w.sim.advanceModel(VehicleModel::kCycleMs / 3);
        const QList<AnswerFrame> reports = w.frames();
        QVERIFY(reports.size() >= 2);
        QCOMPARE(reports.at(1).fields.mid(0, 3), QStringList({"2", "5", QString::number(upshift)}));
        QVERIFY(reports.at(1).intField(3) == upshift + 1 ||
                reports.at(1).intField(3) == upshift + 2);
    }
}

void TestSimController::lockupFollowsTheLastGearMapAndItsLevel()
{
    Wire w;
    w.ask("m1~n64~m9~m9~m9~m9~");
    for (int i = 0; i < 20; ++i) {
        w.ask("m6~"); // 100 km/h at 20 % throttle
    }
    w.sim.advanceModel(10000);
    const LiveValues v = w.live();
    QCOMPARE(v.gear, 5);
    // 5th is the last gear and it has its own map: lock from 80 km/h at 20 %, row 4's level.
    const ConfigImage &m = w.sim.memory();
    QCOMPARE(int(m.at(302 + 3)), 20);
    QVERIFY(v.speed >= m.at(310 + 3));
    QCOMPARE(v.lockup, int(m.at(335 + 3)));
    QCOMPARE(v.slu, int(m.at(335 + 3)));
    // Without flex lockup it reports plainly locked, full SLU.
    w.ask("k1,343,0~m9~n1~");
    QCOMPARE(w.live().lockup, 1);
    QCOMPARE(w.live().slu, 255);
    // Below the unlock speed it opens.
    for (int i = 0; i < 10; ++i) {
        w.ask("m7~");
    }
    QCOMPARE(w.live().lockup, 0);
    QCOMPARE(w.live().slu, 0);
}

void TestSimController::sensorReadingsFollowCalibrations()
{
    Wire w;
    // TPS: the raw reading spans the calibration bytes.
    w.ask("k1,0,40,200~m1~");
    QCOMPARE(w.ask("w5~"), QByteArray("x60,40~"));
    w.ask(QByteArray("m9~").repeated(20));
    QCOMPARE(w.ask("w5~"), QByteArray("x6100,200~"));
    w.ask(QByteArray("n1~").repeated(10));
    QCOMPARE(w.ask("w5~"), QByteArray("x650,120~"));

    // Temperature: the reading falls in the calibration row that holds the oil temperature.
    const int t = w.live().oilTemp;
    const AnswerFrame r9 = AnswerFrame::fromFrameText(QString::fromLatin1(w.ask("r8~").chopped(1)));
    QCOMPARE(r9.type, QStringLiteral("r9"));
    const int row = r9.intField(1);
    QVERIFY(row >= 0 && row < 16);
    const ConfigImage &m = w.sim.memory();
    QVERIFY(signedByte(m.at(285 + row)) >= t && signedByte(m.at(286 + row)) <= t);
    QVERIFY(r9.intField(0) >= 31 * row && r9.intField(0) <= 31 * (row + 1));
    // A flat calibration at the oil temperature puts the reading at the first row.
    QList<int> flat(17, t);
    w.ask(cmd::write(285, flat));
    QCOMPARE(w.ask("r8~"), QByteArray("r90,0~"));
    QCOMPARE(w.ask("r5~"), "EF" + bytesText(w.sim.memory(), 285, 301) + '~');
}

KESTO_TEST_MAIN(TestSimController)
#include "tst_sim_controller.moc"
