#include "test_main.h"

#include "link/answer_frame.h"
#include "link/error.h"
#include "monitor/gear_shift_log.h"

using namespace kesto;

namespace {
const QDateTime kNow(QDate(2026, 12, 10), QTime(14, 5, 9));
const LogStamp kRussian{QLocale(QStringLiteral("ru_RU"))};
} // namespace

class TestGearShiftLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reasonTextByCode_data();
    void reasonTextByCode();
    void reportGivesFiveLines();
    void shortReportStopsAtTheMissingField_data();
    void shortReportStopsAtTheMissingField();
    void saveFileName_data();
    void saveFileName();
    void englishReasonWordsAreSpelledOut_data();
    void englishReasonWordsAreSpelledOut();
    void englishLine_data();
    void englishLine();
    void englishLineNeedsEveryField();
};

void TestGearShiftLog::reasonTextByCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << "0" << QStringLiteral("Неизвестная причина");
    QTest::newRow("2") << "2" << QStringLiteral("Переход с R,N,0");
    QTest::newRow("5") << "5" << QStringLiteral("Повышение, скорость больше чем, spd>");
    QTest::newRow("7 with quotes")
        << "7" << QStringLiteral("Переход вниз по скорости режим \"в пол\"");
    QTest::newRow("9") << "9" << QStringLiteral("Переход на PN");
    QTest::newRow("11") << "11" << QStringLiteral("Ручной режим жесткая фиксация");
    QTest::newRow("12") << "12" << QString();
    QTest::newRow("negative") << "-1" << QString();
    QTest::newRow("not a number") << "x5" << QString();
}

void TestGearShiftLog::reasonTextByCode()
{
    QFETCH(QString, code);
    QFETCH(QString, text);
    QCOMPARE(GearShiftLog::reasonText(code), text);
}

void TestGearShiftLog::reportGivesFiveLines()
{
    QStringList lines;
    GearShiftLog::writeReport(AnswerFrame::fromFrameText(QStringLiteral("lg3,5,40,42,2100,18")),
                              kNow, kRussian, [&](const QString &l) { lines << l; });
    QCOMPARE(lines,
             (QStringList{QStringLiteral("10.12.2026 14:05:09"), QStringLiteral("На передачу: 3"),
                          QStringLiteral("Повышение, скорость больше чем, spd>, параметр:40"),
                          QStringLiteral("скорость: 42, обороты: 2100, дроссель: 18"), QString()}));
}

void TestGearShiftLog::shortReportStopsAtTheMissingField_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("linesBeforeError");
    QTest::newRow("no fields") << "lg" << 1;
    QTest::newRow("gear only") << "lg3" << 2;
    QTest::newRow("no parameter") << "lg3,5" << 2;
    QTest::newRow("no speed") << "lg3,5,40" << 3;
    QTest::newRow("no throttle") << "lg3,5,40,42,2100" << 3;
}

void TestGearShiftLog::shortReportStopsAtTheMissingField()
{
    QFETCH(QString, frame);
    QFETCH(int, linesBeforeError);
    QStringList lines;
    QVERIFY_THROWS_EXCEPTION(
        Error, GearShiftLog::writeReport(AnswerFrame::fromFrameText(frame), kNow, kRussian,
                                         [&](const QString &l) { lines << l; }));
    QCOMPARE(lines.size(), linesBeforeError);
}

void TestGearShiftLog::saveFileName_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("name");
    QTest::newRow("dots") << "ru_RU"
                          << "10.12.2026_14.05.09.txt";
    QTest::newRow("slashes") << "en_US"
                             << "12.10.26_14.05.09.txt";
}

void TestGearShiftLog::saveFileName()
{
    QFETCH(QString, locale);
    QFETCH(QString, name);
    QCOMPARE(GearShiftLog::saveFileName(kNow, LogStamp(QLocale(locale))), name);
}

void TestGearShiftLog::englishReasonWordsAreSpelledOut_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown gear") << "UG_S<"
                                  << "UNKNOWN GEAR, speed<";
    QTest::newRow("on L, lower case") << "g>2ol_s<"
                                      << "GEAR > 2 ON L, speed<";
    QTest::newRow("D to 2") << "FDT2_S<"
                            << "FROM D TO 2, speed<";
    QTest::newRow("D to 3") << "FDT3_S<"
                            << "FROM D TO 3, speed<";
    QTest::newRow("kickdown") << "KD_S<"
                              << "KICKDOWN, speed<";
    QTest::newRow("speed above") << "S>"
                                 << "speed>";
    QTest::newRow("rpm both ways") << "R<|r>"
                                   << "rmp<|rmp>";
    QTest::newRow("no word") << "HOLD"
                             << "HOLD";
}

void TestGearShiftLog::englishReasonWordsAreSpelledOut()
{
    QFETCH(QString, reason);
    QFETCH(QString, text);
    QCOMPARE(GearShiftLog::expandReason(reason), text);
}

void TestGearShiftLog::englishLine_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("line");
    QTest::newRow("up") << "logmsg,su,R>,3100,48,3,3000,0"
                        << "14:05:09 Shifting UP to 3, reason: rmp>, rmp: 3100[3000], speed: 48[0]";
    QTest::newRow("down") << "logmsg,sd,KD_S<,2500,60,2,0,65"
                          << "14:05:09 Shifting DOWN to 2, reason: KICKDOWN, speed<, rmp: "
                             "2500[0], speed: 60[65]";
}

void TestGearShiftLog::englishLine()
{
    QFETCH(QString, frame);
    QFETCH(QString, line);
    const AnswerFrame f = AnswerFrame::fromFrameText(frame);
    QVERIFY(GearShiftLog::isEnglishReport(f));
    QCOMPARE(GearShiftLog::englishLine(f, kNow, kRussian), line);
}

void TestGearShiftLog::englishLineNeedsEveryField()
{
    const AnswerFrame f = AnswerFrame::fromFrameText(QStringLiteral("logmsg,su,R>,3100,48,3,3000"));
    QVERIFY_THROWS_EXCEPTION(Error, GearShiftLog::englishLine(f, kNow, kRussian));
    QVERIFY(!GearShiftLog::isEnglishReport(AnswerFrame::fromFrameText(QStringLiteral("lock,1"))));
}

KESTO_TEST_MAIN(TestGearShiftLog)
#include "tst_gear_shift_log.moc"
