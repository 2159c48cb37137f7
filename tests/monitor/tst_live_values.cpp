#include "link/answer_frame.h"
#include "link/error.h"
#include "monitor/live_values.h"

#include "test_main.h"

using namespace kesto;

namespace {

// A live data frame with every field plausible; tests replace the field they are about.
QStringList baseFields()
{
    return {"1500", "60", "20", "3", "4", "1", "128", "128", "0", "90", "0", "0", "0"};
}

AnswerFrame frameOf(const QStringList &fields)
{
    return AnswerFrame::fromFrameText(QStringLiteral("z4") + fields.join(QLatin1Char(',')));
}

QString LiveValues::*member(const QString &name)
{
    static const QHash<QString, QString LiveValues::*> members = {
        {"rpm", &LiveValues::rpm},           {"speed", &LiveValues::speed},
        {"throttle", &LiveValues::throttle}, {"gear", &LiveValues::gear},
        {"selector", &LiveValues::selector}, {"mode", &LiveValues::mode},
        {"slt", &LiveValues::slt},           {"sln", &LiveValues::sln},
        {"slc", &LiveValues::slc},           {"lockup", &LiveValues::lockup},
        {"oilTemp", &LiveValues::oilTemp},   {"slu", &LiveValues::slu},
    };
    return members.value(name);
}

} // namespace

class TestLiveValues : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void valueRules_data();
    void valueRules();
    void unknownValuesKeepThePreviousText_data();
    void unknownValuesKeepThePreviousText();
    void warnings_data();
    void warnings();
    void optionalFields();
    void faultyFieldKeepsEarlierSteps_data();
    void faultyFieldKeepsEarlierSteps();
};

// One field changed from the base frame -> the text it gives.
void TestLiveValues::valueRules_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("invertSlt");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rpm as received") << 0 << "0750" << false << "rpm"
                                     << "0750";
    QTest::newRow("speed as received") << 1 << "60" << false << "speed"
                                       << "60";
    QTest::newRow("speed 311 is SAFE") << 1 << "311" << false << "speed"
                                       << "SAFE";
    QTest::newRow("throttle") << 2 << "87" << false << "throttle"
                              << "87";
    QTest::newRow("gear 0 as received") << 3 << "0" << false << "gear"
                                        << "0";
    QTest::newRow("gear 6") << 3 << "6" << false << "gear"
                            << "6";
    QTest::newRow("gear 7 is PN") << 3 << "7" << false << "gear"
                                  << "PN";
    QTest::newRow("gear 8 is R") << 3 << "8" << false << "gear"
                                 << "R";
    QTest::newRow("selector 1 is L") << 4 << "1" << false << "selector"
                                     << "L";
    QTest::newRow("selector 2") << 4 << "2" << false << "selector"
                                << "2";
    QTest::newRow("selector 3") << 4 << "3" << false << "selector"
                                << "3";
    QTest::newRow("selector 4 is D") << 4 << "4" << false << "selector"
                                     << "D";
    QTest::newRow("selector 5 is R") << 4 << "5" << false << "selector"
                                     << "R";
    QTest::newRow("selector 6 is P or N") << 4 << "6" << false << "selector"
                                          << "P or N";
    QTest::newRow("mode 0 is MANUAL") << 5 << "0" << false << "mode"
                                      << "MANUAL";
    QTest::newRow("SLT raw 0") << 6 << "0" << false << "slt"
                               << "100";
    QTest::newRow("SLT raw 0 inverted") << 6 << "0" << true << "slt"
                                        << "0";
    QTest::newRow("SLT raw 255") << 6 << "255" << false << "slt"
                                 << "0";
    QTest::newRow("SLT raw 255 inverted") << 6 << "255" << true << "slt"
                                          << "100";
    QTest::newRow("SLT raw 128") << 6 << "128" << false << "slt"
                                 << "50";
    QTest::newRow("SLT raw 128 inverted") << 6 << "128" << true << "slt"
                                          << "50";
    QTest::newRow("SLT raw 100") << 6 << "100" << false << "slt"
                                 << "61";
    QTest::newRow("SLN raw 0") << 7 << "0" << false << "sln"
                               << "100";
    QTest::newRow("SLN ignores the SLT inversion") << 7 << "255" << true << "sln"
                                                   << "0";
    QTest::newRow("SLN raw 100") << 7 << "100" << false << "sln"
                                 << "61";
    QTest::newRow("SLC raw 255") << 12 << "255" << false << "slc"
                                 << "100";
    QTest::newRow("SLC raw 100") << 12 << "100" << false << "slc"
                                 << "39";
    QTest::newRow("lockup 0 is NO") << 8 << "0" << false << "lockup"
                                    << "NO";
    QTest::newRow("lockup 1 is YES") << 8 << "1" << false << "lockup"
                                     << "YES";
    QTest::newRow("lockup 100") << 8 << "100" << false << "lockup"
                                << "FX[40%]";
    QTest::newRow("lockup 150") << 8 << "150" << false << "lockup"
                                << "FX[60%]";
    QTest::newRow("lockup 200") << 8 << "200" << false << "lockup"
                                << "FX[80%]";
    QTest::newRow("lockup 120 has no level") << 8 << "120" << false << "lockup"
                                             << "FX[]";
    QTest::newRow("oil temperature gets the degree sign")
        << 9 << "85" << false << "oilTemp" << QString::fromUtf8("85\u00B0");
}

void TestLiveValues::valueRules()
{
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(bool, invertSlt);
    QFETCH(QString, shown);
    QFETCH(QString, expected);

    QStringList fields = baseFields();
    fields[field] = value;
    LiveValues live;
    live.apply(frameOf(fields), invertSlt, 100);
    QCOMPARE(live.*member(shown), expected);
}

// A value outside the known ones leaves what the previous frame showed.
void TestLiveValues::unknownValuesKeepThePreviousText_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");

    QTest::newRow("gear 9") << 3 << "2"
                            << "9"
                            << "gear"
                            << "2";
    QTest::newRow("selector 7") << 4 << "4"
                                << "7"
                                << "selector"
                                << "D";
    QTest::newRow("selector given as 04") << 4 << "1"
                                          << "04"
                                          << "selector"
                                          << "L";
    QTest::newRow("lockup -1") << 8 << "1"
                               << "-1"
                               << "lockup"
                               << "YES";
}

void TestLiveValues::unknownValuesKeepThePreviousText()
{
    QFETCH(int, field);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, shown);
    QFETCH(QString, expected);

    LiveValues live;
    QStringList fields = baseFields();
    fields[field] = first;
    live.apply(frameOf(fields), false, 100);
    fields[field] = second;
    live.apply(frameOf(fields), false, 100);
    QCOMPARE(live.*member(shown), expected);
}

void TestLiveValues::warnings_data()
{
    QTest::addColumn<QStringList>("modeFields"); // fields 5, 10, 11
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<bool>("speedWarning");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("tempWarning");

    QTest::newRow("drive, normal") << QStringList{"1", "0", "0"} << "DRIVE"
                                   << "60" << false << "100" << 100 << false;
    QTest::newRow("power over drive") << QStringList{"1", "1", "0"} << "POWER"
                                      << "311" << true << "101" << 100 << true;
    QTest::newRow("snow over power") << QStringList{"1", "1", "1"} << "SNOW"
                                     << "0" << false << "99" << 98 << true;
    QTest::newRow("manual over power") << QStringList{"0", "1", "0"} << "MANUAL"
                                       << "311" << true << "-5" << 100 << false;
    QTest::newRow("manual over snow") << QStringList{"0", "0", "1"} << "MANUAL"
                                      << "180" << false << "140" << 140 << false;
}

void TestLiveValues::warnings()
{
    QFETCH(QStringList, modeFields);
    QFETCH(QString, mode);
    QFETCH(QString, speed);
    QFETCH(bool, speedWarning);
    QFETCH(QString, temperature);
    QFETCH(int, limit);
    QFETCH(bool, tempWarning);

    QStringList fields = baseFields();
    fields[5] = modeFields[0];
    fields[10] = modeFields[1];
    fields[11] = modeFields[2];
    fields[1] = speed;
    fields[9] = temperature;
    LiveValues live;
    live.speedWarning = !speedWarning; // the frame must set both colours, not keep them
    live.oilTempWarning = !tempWarning;
    live.apply(frameOf(fields), false, limit);
    QCOMPARE(live.mode, mode);
    QCOMPARE(live.speedWarning, speedWarning);
    QCOMPARE(live.oilTempWarning, tempWarning);
}

void TestLiveValues::optionalFields()
{
    LiveValues live;
    QStringList fields = baseFields();
    fields << "255"
           << "1";
    live.apply(frameOf(fields), false, 100);
    QCOMPARE(live.slu, QStringLiteral("102"));
    QVERIFY(live.bootMode);

    // Exactly 13 fields: SLU and the banner stay as they were.
    live.apply(frameOf(baseFields()), false, 100);
    QCOMPARE(live.slu, QStringLiteral("102"));
    QVERIFY(live.bootMode);

    // 14 fields: SLU follows, the banner stays.
    fields = baseFields();
    fields << "0";
    live.apply(frameOf(fields), false, 100);
    QCOMPARE(live.slu, QStringLiteral("0"));
    QVERIFY(live.bootMode);

    // A boot value other than 0 and 1 leaves the banner; 0 hides it.
    fields << "2";
    live.apply(frameOf(fields), false, 100);
    QVERIFY(live.bootMode);
    fields[14] = "0";
    live.apply(frameOf(fields), false, 100);
    QVERIFY(!live.bootMode);

    // Rounding up: 1 / 2.5 = 0.4 -> 1, 5 / 2.5 = 2 -> 2, 6 / 2.5 = 2.4 -> 3.
    QCOMPARE(LiveValues::sluLevel(1), 1);
    QCOMPARE(LiveValues::sluLevel(5), 2);
    QCOMPARE(LiveValues::sluLevel(6), 3);
    QCOMPARE(LiveValues::sluLevel(-1), 0);
}

// A frame that fails at a field: the steps before it are applied, the ones after are not.
void TestLiveValues::faultyFieldKeepsEarlierSteps_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("rpm");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("gear");
    QTest::addColumn<QString>("lockup");

    QTest::newRow("non-numeric gear") << "2000,70,30,X,4,1,0,0,1,90,0,0,0"
                                      << "'X' is not a valid integer value"
                                      << "2000"
                                      << "70"
                                      << "-"
                                      << "-";
    QTest::newRow("non-numeric speed keeps the raw text") << "2000,fast,30,2,4,1,0,0,1,90,0,0,0"
                                                          << "'fast' is not a valid integer value"
                                                          << "2000"
                                                          << "fast"
                                                          << "-"
                                                          << "-";
    QTest::newRow("twelve fields fail at the SLC field") << "2000,70,30,2,4,1,0,0,1,90,0,0"
                                                         << "List index out of bounds (12)"
                                                         << "2000"
                                                         << "70"
                                                         << "2"
                                                         << "-";
    QTest::newRow("non-numeric temperature after the lockup step")
        << "2000,70,30,2,4,1,0,0,1,hot,0,0,0"
        << "'hot' is not a valid integer value"
        << "2000"
        << "70"
        << "2"
        << "YES";
}

void TestLiveValues::faultyFieldKeepsEarlierSteps()
{
    QFETCH(QString, payload);
    QFETCH(QString, error);
    QFETCH(QString, rpm);
    QFETCH(QString, speed);
    QFETCH(QString, gear);
    QFETCH(QString, lockup);

    LiveValues live;
    try {
        live.apply(AnswerFrame::fromFrameText(QStringLiteral("z4") + payload), false, 100);
        QFAIL("the frame was accepted");
    } catch (const Error &e) {
        QCOMPARE(e.text(), error);
    }
    QCOMPARE(live.rpm, rpm);
    QCOMPARE(live.speed, speed);
    QCOMPARE(live.gear, gear);
    QCOMPARE(live.lockup, lockup);
    QCOMPARE(live.oilTemp, QStringLiteral("-"));
}

KESTO_TEST_MAIN(TestLiveValues)
#include "tst_live_values.moc"
