#include "test_main.h"

#include "link/answer_frame.h"
#include "link/commands.h"
#include "link/controller_link.h"
#include "link/error.h"

#include <QBuffer>

using namespace kesto;

class TestFrames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splitsFields_data();
    void splitsFields();
    void frameTypeAndPayload_data();
    void frameTypeAndPayload();
    void convertsNumbers_data();
    void convertsNumbers();
    void missingFieldThrows();
    void buildsCommands_data();
    void buildsCommands();
    void readRequestOfUnknownTypeThrows();
    void sendWritesWholeCommand();
    void sendOnClosedLinkFailsAtOnce();
    void sendDeliversThroughSlowDevice();
    void sendGivesUpOnStalledDevice();
};

namespace {
// A device that takes at most `perWrite` bytes a call (0: takes nothing, a stalled port).
class TrickleDevice : public QIODevice
{
public:
    explicit TrickleDevice(qint64 perWrite) : m_perWrite(perWrite) { open(ReadWrite); }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return 0; }
    qint64 writeData(const char *data, qint64 len) override
    {
        const qint64 n = qMin(len, m_perWrite);
        written.append(data, n);
        return n;
    }

private:
    qint64 m_perWrite;
};
} // namespace

void TestFrames::splitsFields_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << "12,0,255" << QStringList{"12", "0", "255"};
    QTest::newRow("blank separates") << "12 34" << QStringList{"12", "34"};
    QTest::newRow("two commas") << "12,,34" << QStringList{"12", "", "34"};
    QTest::newRow("trailing comma") << "12," << QStringList{"12", ""};
    QTest::newRow("empty payload") << "" << QStringList{};
    QTest::newRow("leading control chars") << "\r\n\t 7,8" << QStringList{"7", "8"};
    QTest::newRow("blanks around commas") << "1 , 2" << QStringList{"1", "2"};
    QTest::newRow("quoted with comma") << "\"a,b\",c" << QStringList{"a,b", "c"};
    QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\",x" << QStringList{"say \"hi\"", "x"};
    QTest::newRow("quoted empty") << "\"\",5" << QStringList{"", "5"};
    QTest::newRow("single comma") << "," << QStringList{"", ""};
    QTest::newRow("version") << "3.7,12345,7" << QStringList{"3.7", "12345", "7"};
}

void TestFrames::splitsFields()
{
    QFETCH(QString, payload);
    QFETCH(QStringList, fields);
    QCOMPARE(splitFields(payload), fields);
}

void TestFrames::frameTypeAndPayload_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("page answer") << "EG690,1,2,3,4,5,6,7,8,9,10" << "EG"
                                 << QStringList{"690", "1", "2", "3", "4", "5",
                                                "6", "7", "8", "9", "10"};
    QTest::newRow("live data has no separator") << "z41500,0,3" << "z4"
                                                << QStringList{"1500", "0", "3"};
    QTest::newRow("type only") << "er" << "er" << QStringList{};
    QTest::newRow("short frame") << "e" << "e" << QStringList{};
}

void TestFrames::frameTypeAndPayload()
{
    QFETCH(QString, frame);
    QFETCH(QString, type);
    QFETCH(QStringList, fields);
    const AnswerFrame f = AnswerFrame::fromFrameText(frame);
    QCOMPARE(f.type, type);
    QCOMPARE(f.fields, fields);
}

void TestFrames::convertsNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("negative") << "-1" << true << -1;
    QTest::newRow("large") << "2147483647" << true << 2147483647;
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("lone minus") << "-" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("letters") << "1a" << false << 0;
    QTest::newRow("version text") << "3.7" << false << 0;
}

void TestFrames::convertsNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    if (valid) {
        QCOMPARE(toInt(text), value);
        return;
    }
    try {
        toInt(text);
        QFAIL("no error for an invalid number");
    } catch (const Error &e) {
        QCOMPARE(e.text(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void TestFrames::missingFieldThrows()
{
    const AnswerFrame f = AnswerFrame::fromFrameText(QStringLiteral("z23"));
    QCOMPARE(f.intField(0), 3);
    QVERIFY_THROWS_EXCEPTION(Error, f.field(1));
}

void TestFrames::buildsCommands_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("handshake") << cmd::handshake() << QByteArray("q1~");
    QTest::newRow("version") << cmd::versionQuery() << QByteArray("getver~");
    QTest::newRow("poll") << cmd::livePoll() << QByteArray("q2~");
    QTest::newRow("E1") << cmd::readRequest("E1")
                        << QByteArray("ee,49,2,19,211,259,326,326,343,379,606,616,618,622~");
    QTest::newRow("E2") << cmd::readRequest("E2") << QByteArray("ee,50,155,170~");
    QTest::newRow("E3") << cmd::readRequest("E3") << QByteArray("ee,51,195,210~");
    QTest::newRow("E4") << cmd::readRequest("E4") << QByteArray("ee,52,171,194,327,334~");
    QTest::newRow("E5") << cmd::readRequest("E5") << QByteArray("ee,53,302,325,335,342~");
    QTest::newRow("E6") << cmd::readRequest("E6") << QByteArray("ee,54,260,284~");
    QTest::newRow("E7") << cmd::readRequest("E7") << QByteArray("ee,55,0,1~");
    QTest::newRow("E8 single address twice") << cmd::readRequest("E8")
                                             << QByteArray("ee,56,580,605,617,617~");
    QTest::newRow("E9") << cmd::readRequest("E9") << QByteArray("ee,57,140,149~");
    QTest::newRow("EA") << cmd::readRequest("EA") << QByteArray("ee,65,20,43~");
    QTest::newRow("EB") << cmd::readRequest("EB") << QByteArray("ee,66,44,67~");
    QTest::newRow("EC") << cmd::readRequest("EC") << QByteArray("ee,67,68,91~");
    QTest::newRow("ED") << cmd::readRequest("ED") << QByteArray("ee,68,92,115~");
    QTest::newRow("EE") << cmd::readRequest("EE") << QByteArray("ee,69,116,139~");
    QTest::newRow("EF") << cmd::readRequest("EF") << QByteArray("ee,70,285,301~");
    QTest::newRow("k1") << cmd::write(0, {12, 230}) << QByteArray("k1,0,12,230~");
    QTest::newRow("k1 texts") << cmd::writeTexts(20, {"5", "14"}) << QByteArray("k1,20,5,14~");
    QTest::newRow("ss") << cmd::optionsBlock(4, 326, {1}) << QByteArray("ss4,326,1~");
    QTest::newRow("er") << cmd::optionsWriteEnd() << QByteArray("er~");
    QTest::newRow("EG0") << cmd::pageRead(0) << QByteArray("EG0~");
    QTest::newRow("EG690") << cmd::pageRead(690) << QByteArray("EG690~");
    QTest::newRow("EH0") << cmd::pageWrite("0", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
                         << QByteArray("EH0,1,2,3,4,5,6,7,8,9,10~");
    QTest::newRow("live readings") << cmd::tpsLiveReading() + cmd::tempLiveReading()
                                          + cmd::tempCalibrationRead()
                                   << QByteArray("w5~r8~r5~");
    QTest::newRow("notices") << cmd::showSltNotice() + cmd::showSlnNotice()
                                    + cmd::showLockupNotice() + cmd::showLastGearNotice()
                             << QByteArray("w1~w2~w4~q7~");
    QTest::newRow("shift log") << cmd::shiftLogStart() + cmd::shiftLogStop()
                               << QByteArray("n91~n90~");
    QTest::newRow("emulation") << cmd::emulationStart() + cmd::emulation("n66") + cmd::emulationEnd()
                               << QByteArray("m1~n66~m2~");
}

void TestFrames::buildsCommands()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QCOMPARE(built, expected);
}

void TestFrames::readRequestOfUnknownTypeThrows()
{
    QVERIFY_THROWS_EXCEPTION(Error, cmd::readRequest("EG"));
}

void TestFrames::sendWritesWholeCommand()
{
    QBuffer wire;
    wire.open(QIODevice::ReadWrite);
    ControllerLink link;
    link.attach(&wire);
    QVERIFY(link.send("ee,65,20,43~"));
    QVERIFY(link.send("q2~"));
    QCOMPARE(wire.data(), QByteArray("ee,65,20,43~q2~"));
}

void TestFrames::sendOnClosedLinkFailsAtOnce()
{
    ControllerLink link;
    QVERIFY(!link.isOpen());
    QVERIFY(!link.send("q1~"));
    QBuffer closed;
    link.attach(&closed);
    QVERIFY(!link.send("q1~"));
    QCOMPARE(closed.data(), QByteArray());
}

void TestFrames::sendDeliversThroughSlowDevice()
{
    TrickleDevice device(1);
    ControllerLink link;
    link.attach(&device);
    QVERIFY(link.send("ee,49,2,19~"));
    QCOMPARE(device.written, QByteArray("ee,49,2,19~"));
}

void TestFrames::sendGivesUpOnStalledDevice()
{
    TrickleDevice device(0);
    ControllerLink link;
    link.attach(&device);
    QVERIFY(!link.send("q2~"));
    QVERIFY(device.written.isEmpty());
}

KESTO_TEST_MAIN(TestFrames)
#include "tst_frames.moc"
