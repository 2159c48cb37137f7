#include "test_main.h"

#include "config/config_file.h"
#include "config/config_image.h"
#include "link/error.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <QTemporaryDir>

using namespace kesto;

namespace {
QByteArray decimalFile(int lines, int value = 1)
{
    QByteArray text;
    for (int i = 0; i < lines; ++i) {
        text += QByteArray::number(value) + "\r\n";
    }
    return text;
}
} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splitsLines_data();
    void splitsLines();
    void recognizesUploads_data();
    void recognizesUploads();
    void decimalLinesToText_data();
    void decimalLinesToText();
    void nonIntegerLineThrows();
    void importVerdicts_data();
    void importVerdicts();
    void dialogFilters();
    void writesHexFile();
    void failedWriteKeepsOldFile();
};

void TestConfigFile::splitsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << QByteArray() << QStringList{} << 0;
    QTest::newRow("CR LF") << QByteArray("1\r\n2\r\n") << QStringList{"1", "2"} << 6;
    QTest::newRow("lone CR") << QByteArray("1\r2") << QStringList{"1", "2"} << 4;
    QTest::newRow("lone LF counts as two") << QByteArray("1\n2\n") << QStringList{"1", "2"} << 6;
    QTest::newRow("no final break") << QByteArray("AB") << QStringList{"AB"} << 2;
    QTest::newRow("empty middle line") << QByteArray("1\r\n\r\n3") << QStringList{"1", "", "3"}
                                       << 6;
    QTest::newRow("LF CR is two breaks") << QByteArray("1\n\r2") << QStringList{"1", "", "2"}
                                         << 6;
}

void TestConfigFile::splitsLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, length);
    const FileText f = FileText::fromBytes(bytes);
    QCOMPARE(f.lines, lines);
    QCOMPARE(f.length, length);
    QCOMPARE(f.line(f.lineCount()), QString());
}

void TestConfigFile::recognizesUploads_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    const int rejected = int(UploadKind::Rejected);
    const int decimal = int(UploadKind::DecimalLines);
    const int hex = int(UploadKind::HexText);
    QTest::newRow("empty") << QByteArray() << rejected;
    QTest::newRow("saved hex") << QByteArray(1400, 'A') << hex;
    QTest::newRow("saved hex with break") << QByteArray(1400, 'A') + "\r\n" << hex;
    QTest::newRow("one line of 1000") << QByteArray(1000, 'A') << rejected;
    QTest::newRow("one line of 1001") << QByteArray(1001, 'A') << hex;
    QTest::newRow("3 lines over 1000") << QByteArray(333, 'A') + "\r\n" + QByteArray(333, 'A')
                                              + "\r\n" + QByteArray(333, 'A')
                                       << hex; // 999 + 2 breaks = 1003
    QTest::newRow("4 lines over 1000") << QByteArray(332, '1') + "\r\n" + QByteArray(332, '1')
                                              + "\r\n" + QByteArray(332, '1') + "\r\n1"
                                       << decimal; // 997 + 3*2 = 1003
    QTest::newRow("350 short lines") << decimalFile(350) << decimal;
    QTest::newRow("400 lines") << decimalFile(400) << decimal;
    QTest::newRow("700 lines") << decimalFile(700) << decimal;
    QTest::newRow("300 short lines") << decimalFile(300) << rejected; // 900 characters
    QTest::newRow("300 longer lines") << decimalFile(300, 100) << decimal; // 1500 characters
}

void TestConfigFile::recognizesUploads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QCOMPARE(int(recognizeUpload(FileText::fromBytes(bytes))), kind);
}

void TestConfigFile::decimalLinesToText_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("start");
    QTest::newRow("low eight bits") << QStringList{"300", "256", "-1", "10"}
                                    << QStringLiteral("2C00FF0A");
    QTest::newRow("page example")
        << QStringList{"0", "1", "15", "16", "127", "128", "200", "254", "255", "10"}
        << QStringLiteral("00010F107F80C8FEFF0A");
}

void TestConfigFile::decimalLinesToText()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, start);
    const QString text = decimalLinesToImageText(lines);
    QCOMPARE(text.size(), kImageTextSize);
    QVERIFY(text.startsWith(start));
    QCOMPARE(text.mid(start.size()), QString(kImageTextSize - start.size(), QLatin1Char('0')));
}

void TestConfigFile::nonIntegerLineThrows()
{
    for (const QString &bad : {QStringLiteral(""), QStringLiteral("1 "), QStringLiteral("x")}) {
        try {
            decimalLinesToImageText({QStringLiteral("1"), bad});
            QFAIL("accepted a line that is not a number");
        } catch (const Error &e) {
            QCOMPARE(e.text(), QStringLiteral("'%1' is not a valid integer value").arg(bad));
        }
    }
    // A 350-line file gives 350 bytes and zeros beyond.
    const QString text = uploadImageText(FileText::fromBytes(decimalFile(350, 255)));
    QCOMPARE(ImageText::byteAt(text, 349), 255);
    QCOMPARE(ImageText::byteAt(text, 350), 0);
    QCOMPARE(text.size(), kImageTextSize);
}

void TestConfigFile::importVerdicts_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<int>>("accepted");
    QTest::addColumn<int>("verdict");
    const QList<int> most{300, 350};
    const QList<int> only350{350};
    QTest::newRow("no file") << 0 << most << int(ImportVerdict::Ignore);
    QTest::newRow("hex text") << 1 << most << int(ImportVerdict::Ignore);
    QTest::newRow("300 accepted") << 300 << most << int(ImportVerdict::Accept);
    QTest::newRow("350 accepted") << 350 << most << int(ImportVerdict::Accept);
    QTest::newRow("700 rejected") << 700 << most << int(ImportVerdict::Reject);
    QTest::newRow("400 rejected") << 400 << most << int(ImportVerdict::Reject);
    QTest::newRow("300 refused by 350-only") << 300 << only350 << int(ImportVerdict::Reject);
    QTest::newRow("2 lines rejected") << 2 << most << int(ImportVerdict::Reject);
}

void TestConfigFile::importVerdicts()
{
    QFETCH(int, lines);
    QFETCH(QList<int>, accepted);
    QFETCH(int, verdict);
    QCOMPARE(int(importVerdict(lines, accepted)), verdict);
}

void TestConfigFile::dialogFilters()
{
    QCOMPARE(saveDialogFilter(),
             QStringLiteral("KESTO3 config file (*.ks3)|*.ks3|Old KESTO config file (*.kst)|*.kst|"
                            "KESTO4 config file (*.ks4)|*.ks4"));
    QCOMPARE(openDialogFilter(),
             QStringLiteral("KESTO3 config file (*.ks3, *.kst)|*.ks3;*.kst|KESTO4 config file "
                            "(*.ks4)|*.ks4|Old KESTO3 config file (*.kst)|*.kst|New KESTO3 "
                            "config file (*.ks3)|*.ks3"));
    QCOMPARE(saveDialogDefaultSuffix(), QStringLiteral("ks3"));
}

void TestConfigFile::writesHexFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.kst"));
    ConfigImage image;
    image.set(5, 0xC8);
    writeHexFile(path, image.toImageText());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.size(), kImageTextSize);
    QVERIFY(!bytes.contains('\n') && !bytes.contains('\r'));
    QCOMPARE(bytes.mid(10, 2), QByteArray("C8"));
}

void TestConfigFile::failedWriteKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("good.ks3"));
    writeHexFile(path, QString(kImageTextSize, QLatin1Char('1')));
    // A file size limit makes the new write fail part-way, whatever rights the test has.
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 600;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        writeHexFile(path, QString(kImageTextSize, QLatin1Char('2')));
    } catch (const Error &) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    QVERIFY(threw);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray(kImageTextSize, '1'));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"good.ks3"});
}

KESTO_TEST_MAIN(TestConfigFile)
#include "tst_config_file.moc"
