#include "test_main.h"

#include "link/answer_frame.h"
#include "link/error.h"
#include "monitor/file_log.h"
#include "monitor/log_stamp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kesto;

namespace {

const QDateTime kStart(QDate(2026, 12, 10), QTime(14, 5, 9));
const QString kColumns = QStringLiteral("Time\tRPM\tSpeed\tTPS\tTemp\tGear\tSelector\tLockup\tMode"
                                        "\tPower\tSnow\tSLT\tSLN\tSLC\tSLU\tTimeH\tTimeM\tTimeS");

AnswerFrame liveFrame(int rpm, int speed = 60, int tps = 25)
{
    return AnswerFrame::fromFrameText(
        QStringLiteral("z4%1,%2,%3,3,4,1,200,100,2,90,0,1,50").arg(rpm).arg(speed).arg(tps));
}

LivePanelTexts panel(std::optional<QString> slu = std::nullopt)
{
    return {QStringLiteral("22"), QStringLiteral("61"), QStringLiteral("19"), std::move(slu)};
}

// The lines of a log file; every line must end with CR LF.
QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("<cannot open %1>").arg(path)};
    }
    const QString text = QString::fromUtf8(f.readAll());
    if (!text.isEmpty() && !text.endsWith(QStringLiteral("\r\n"))) {
        return {QStringLiteral("<no CR LF at the end>")};
    }
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

} // namespace

class TestFileLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timeColumnAdvancesByOneTenth_data();
    void timeColumnAdvancesByOneTenth();
    void rowTakesEachColumnFromItsField();
    void sluColumnHoldsPlaceholderUntilAValueArrives();
    void frameLackingAFieldAddsNoRow();
    void restartKeepsOnlyTheHeader();
    void fileNameFromStartAndStopStamps_data();
    void fileNameFromStartAndStopStamps();
    void stopReplacesAFileOfTheSameName();
    void rowsAreOnDiskBeforeStop();
    void destroyingARunningLogWritesIt();
    void missingFolderIsCreated();
    void folderThatCannotBeMadeFailsAtStart();
    void failedRenameStopsAndKeepsTheRows();
    void stampKeepsHoursMinutesSecondsOnly_data();
    void stampKeepsHoursMinutesSecondsOnly();
};

void TestFileLog::timeColumnAdvancesByOneTenth_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QString>("duration");
    QTest::newRow("point") << "en_US" << QStringList{"0.1", "0.2", "0.3", "0.4", "0.5",
                                                     "0.6", "0.7", "0.8", "0.9", "1.0"}
                           << "1";
    QTest::newRow("comma") << "de_DE" << QStringList{"0,1", "0,2", "0,3", "0,4", "0,5",
                                                     "0,6", "0,7", "0,8", "0,9", "1,0"}
                           << "1";
}

void TestFileLog::timeColumnAdvancesByOneTenth()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, times);
    QFETCH(QString, duration);
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(locale)));
    log.start(kStart);
    for (int i = 0; i < 10; ++i) {
        log.appendRow(liveFrame(1000 + i), panel(), kStart.addSecs(i));
    }
    const QString path = log.stop(kStart.addSecs(10));
    QCOMPARE(log.durationText(), duration);

    const QStringList lines = readLines(path);
    QCOMPARE(lines.size(), 12);
    QVERIFY(lines.at(0).startsWith(QStringLiteral("\"KESTO logfile 3.3.5 ")));
    QVERIFY(lines.at(0).endsWith(QLatin1Char('"')));
    QCOMPARE(lines.at(1), kColumns);
    QStringList shown;
    for (int i = 2; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char('\t'));
        QCOMPARE(cells.size(), 18);
        QCOMPARE(cells.at(1), QString::number(1000 + i - 2)); // rows in frame order
        shown << cells.at(0);
    }
    QCOMPARE(shown, times);
}

void TestFileLog::rowTakesEachColumnFromItsField()
{
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("en_GB"))));
    log.start(kStart);
    // Every field differs, so a column taken from the wrong field shows.
    const AnswerFrame frame =
        AnswerFrame::fromFrameText(QStringLiteral("z42100,61,27,3,4,1,200,100,150,91,0,1,52,255"));
    log.appendRow(frame, panel(QStringLiteral("102")), QDateTime(kStart.date(), QTime(9, 7, 3)));
    const QStringList lines = readLines(log.unfinishedFilePath());
    QCOMPARE(lines.size(), 3);
    QCOMPARE(
        lines.at(2),
        QStringLiteral("0.1\t2100\t61\t27\t91\t3\t4\t150\t1\t0\t1\t22\t61\t19\t102\t09\t07\t03"));
}

void TestFileLog::sluColumnHoldsPlaceholderUntilAValueArrives()
{
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("en_GB"))));
    log.start(kStart);
    log.appendRow(liveFrame(900), panel(), kStart);
    log.appendRow(liveFrame(900), panel(), kStart);
    log.appendRow(liveFrame(900), panel(QStringLiteral("0")), kStart);
    log.appendRow(liveFrame(900), panel(QStringLiteral("41")), kStart);
    QStringList slu;
    const QStringList lines = readLines(log.stop(kStart));
    for (const QString &row : lines.mid(2)) {
        slu << row.split(QLatin1Char('\t')).at(14);
    }
    QCOMPARE(slu, (QStringList{"SLU PWM", "SLU PWM", "0", "41"}));
}

void TestFileLog::frameLackingAFieldAddsNoRow()
{
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("en_GB"))));
    log.start(kStart);
    // Fields 0 to 8 only: the Temp column needs field 9.
    const AnswerFrame shortFrame =
        AnswerFrame::fromFrameText(QStringLiteral("z4900,0,0,1,6,1,0,0,0"));
    QVERIFY_THROWS_EXCEPTION(Error, log.appendRow(shortFrame, panel(), kStart));
    QCOMPARE(log.rowCount(), 0);
    log.appendRow(liveFrame(950), panel(), kStart);
    const QStringList lines = readLines(log.stop(kStart));
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(2).startsWith(QStringLiteral("0.1\t950\t")));
}

void TestFileLog::restartKeepsOnlyTheHeader()
{
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("en_GB"))));
    log.start(kStart);
    for (int i = 0; i < 3; ++i) {
        log.appendRow(liveFrame(800), panel(), kStart);
    }
    const QString first = log.stop(kStart.addSecs(1));
    QCOMPARE(readLines(first).size(), 5);
    QCOMPARE(log.durationText(), QStringLiteral("0.3"));

    log.start(kStart.addSecs(2));
    QVERIFY(log.isRunning());
    QCOMPARE(log.rowCount(), 0);
    const QStringList fresh = readLines(log.unfinishedFilePath());
    QCOMPARE(fresh.size(), 2);
    QCOMPARE(fresh.at(0), QStringLiteral("\"KESTO logfile 3.3.5 10.12.2026.14.05.11\""));
    QCOMPARE(fresh.at(1), kColumns);
    const QString second = log.stop(kStart.addSecs(3));
    QCOMPARE(readLines(second), fresh);
    QCOMPARE(log.durationText(), QStringLiteral("0"));
    QCOMPARE(readLines(first).size(), 5); // the first log is untouched
}

void TestFileLog::fileNameFromStartAndStopStamps_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    // A 12-hour locale still names the afternoon "14", so a morning log cannot take its name.
    QTest::newRow("slash, 12-hour") << "en_US"
                                    << "12.10.26.14.05.09-12.11.26.9.30.00.xls"
                                    << "\"KESTO logfile 3.3.5 12.10.26.14.05.09\"";
    QTest::newRow("slash, 24-hour") << "en_GB"
                                    << "10.12.2026.14.05.09-11.12.2026.09.30.00.xls"
                                    << "\"KESTO logfile 3.3.5 10.12.2026.14.05.09\"";
    QTest::newRow("dots") << "de_DE"
                          << "10.12.26.14.05.09-11.12.26.09.30.00.xls"
                          << "\"KESTO logfile 3.3.5 10.12.26.14.05.09\"";
    QTest::newRow("dot time") << "fi_FI"
                              << "10.12.2026.14.05.09-11.12.2026.9.30.00.xls"
                              << "\"KESTO logfile 3.3.5 10.12.2026.14.05.09\"";
}

void TestFileLog::fileNameFromStartAndStopStamps()
{
    QFETCH(QString, locale);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(locale)));
    log.start(kStart);
    const QString path = log.stop(QDateTime(QDate(2026, 12, 11), QTime(9, 30, 0)));
    QCOMPARE(path, QDir(dir.path()).filePath(fileName));
    QCOMPARE(readLines(path).value(0), title);
    // Nothing else is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{fileName});
}

void TestFileLog::stopReplacesAFileOfTheSameName()
{
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("de_DE"))));
    const QString path =
        QDir(dir.path()).filePath(QStringLiteral("10.12.26.14.05.09-10.12.26.14.05.10.xls"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older file\r\nwith more lines\r\nthan the new one\r\n\r\n\r\n");
    }
    log.start(kStart);
    log.appendRow(liveFrame(700), panel(), kStart);
    QCOMPARE(log.stop(kStart.addSecs(1)), path);
    const QStringList lines = readLines(path);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(2).startsWith(QStringLiteral("0,1\t700\t")));
}

void TestFileLog::rowsAreOnDiskBeforeStop()
{
    // A crash runs no destructor: what matters is what the file holds while the log runs.
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("en_GB"))));
    log.start(kStart);
    const QString unfinished = log.unfinishedFilePath();
    QVERIFY(unfinished.startsWith(dir.path()));
    for (int i = 1; i <= 25; ++i) {
        log.appendRow(liveFrame(1000 + i), panel(), kStart);
        const QStringList lines = readLines(unfinished);
        QCOMPARE(lines.size(), 2 + i);
        QVERIFY(lines.last().startsWith(
            QStringLiteral("%1\t%2\t").arg(i / 10.0, 0, 'f', 1).arg(1000 + i)));
    }
}

void TestFileLog::destroyingARunningLogWritesIt()
{
    QTemporaryDir dir;
    QString unfinished;
    {
        FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("en_GB"))));
        log.start(kStart);
        unfinished = log.unfinishedFilePath();
        for (int i = 0; i < 4; ++i) {
            log.appendRow(liveFrame(600), panel(), kStart);
        }
    }
    QVERIFY(!QFile::exists(unfinished));
    const QStringList files = QDir(dir.path()).entryList({QStringLiteral("*.xls")}, QDir::Files);
    QCOMPARE(files.size(), 1);
    QVERIFY(files.first().startsWith(QStringLiteral("10.12.2026.14.05.09-")));
    QCOMPARE(readLines(QDir(dir.path()).filePath(files.first())).size(), 6);
}

void TestFileLog::missingFolderIsCreated()
{
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("deeper/log"));
    FileLog log(folder, LogStamp(QLocale(QStringLiteral("en_GB"))));
    log.start(kStart);
    QVERIFY(QDir(folder).exists());
    QVERIFY(QFile::exists(log.stop(kStart)));
}

void TestFileLog::folderThatCannotBeMadeFailsAtStart()
{
    QTemporaryDir dir;
    const QString blocker = QDir(dir.path()).filePath(QStringLiteral("log"));
    {
        QFile f(blocker); // a plain file where the folder should be
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    FileLog log(blocker, LogStamp(QLocale(QStringLiteral("en_GB"))));
    QVERIFY_THROWS_EXCEPTION(Error, log.start(kStart));
    QVERIFY(!log.isRunning());
    log.appendRow(liveFrame(600), panel(), kStart); // ignored while stopped
    QCOMPARE(log.rowCount(), 0);
}

void TestFileLog::failedRenameStopsAndKeepsTheRows()
{
    QTemporaryDir dir;
    FileLog log(dir.path(), LogStamp(QLocale(QStringLiteral("en_GB"))));
    // A non-empty folder with the final name cannot be replaced by the file.
    const QString finalName = QStringLiteral("10.12.2026.14.05.09-10.12.2026.14.05.10.xls");
    QVERIFY(QDir(dir.path()).mkpath(finalName + QStringLiteral("/inside")));
    log.start(kStart);
    const QString unfinished = log.unfinishedFilePath();
    log.appendRow(liveFrame(600), panel(), kStart);
    log.appendRow(liveFrame(610), panel(), kStart);
    QVERIFY_THROWS_EXCEPTION(Error, log.stop(kStart.addSecs(1)));
    QVERIFY(!log.isRunning());
    QCOMPARE(readLines(unfinished).size(), 4);
}

void TestFileLog::stampKeepsHoursMinutesSecondsOnly_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("parts");
    QTest::newRow("C, zone in the format")
        << "C" << QTime(14, 5, 9) << "14:05:09" << QStringList{"14", "05", "09"};
    QTest::newRow("12-hour morning")
        << "en_US" << QTime(9, 5, 9) << "9:05:09" << QStringList{"9", "05", "09"};
    QTest::newRow("12-hour afternoon")
        << "en_US" << QTime(21, 5, 9) << "21:05:09" << QStringList{"21", "05", "09"};
    QTest::newRow("dot separator")
        << "fi_FI" << QTime(7, 0, 59) << "7.00.59" << QStringList{"7", "00", "59"};
    QTest::newRow("quoted words") << "fr_CA" << QTime(7, 0, 59) << "07:00:59"
                                  << QStringList{"07", "00", "59"};
    QTest::newRow("letters as separators")
        << "ja_JP" << QTime(23, 59, 0) << "23:59:00" << QStringList{"23", "59", "00"};
}

void TestFileLog::stampKeepsHoursMinutesSecondsOnly()
{
    QFETCH(QString, locale);
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QFETCH(QStringList, parts);
    const LogStamp stamp{QLocale(locale)};
    QCOMPARE(stamp.time(time), text);
    QCOMPARE(stamp.clockParts(time), parts);
}

KESTO_TEST_MAIN(TestFileLog)
#include "tst_file_log.moc"
