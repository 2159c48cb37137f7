#include "test_main.h"

#include "config/address_map.h"
#include "config/config_image.h"

using namespace kesto;

class TestConfigImage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mapCoversImageExactlyOnce();
    void readRangesMatchTheMap();
    void optionBlocksCoverE1Ranges();
    void answerPositions_data();
    void answerPositions();
    void hexPairs_data();
    void hexPairs();
    void textToNumber_data();
    void textToNumber();
    void imageTextPositions();
    void shortTextGivesZeros();
};

void TestConfigImage::mapCoversImageExactlyOnce()
{
    QList<int> owners(kImageSize, 0);
    for (const AddressMapEntry &e : addressMap()) {
        QVERIFY(e.range.first <= e.range.last);
        for (int a = e.range.first; a <= e.range.last; ++a) {
            QVERIFY2(a >= 0 && a < kImageSize, qPrintable(QString::number(a)));
            ++owners[a];
        }
    }
    for (int a = 0; a < kImageSize; ++a) {
        QVERIFY2(owners.at(a) == 1, qPrintable(QStringLiteral("address %1 covered %2 times")
                                                   .arg(a)
                                                   .arg(owners.at(a))));
    }
}

void TestConfigImage::readRangesMatchTheMap()
{
    // Every range a read request names belongs to a map row of the same answer type.
    const QStringList types{"E1", "E2", "E3", "E4", "E5", "E6", "E7", "E8",
                            "E9", "EA", "EB", "EC", "ED", "EE", "EF"};
    int covered = 0;
    for (const QString &type : types) {
        for (int a : answerAddresses(type)) {
            bool found = false;
            for (const AddressMapEntry &e : addressMap()) {
                if (a >= e.range.first && a <= e.range.last) {
                    QCOMPARE(QString::fromLatin1(e.answerType), type);
                    found = true;
                }
            }
            QVERIFY(found);
            ++covered;
        }
    }
    // 700 minus the three unserved ranges (5 + 200 + 77).
    QCOMPARE(covered, kImageSize - 282);
    QCOMPARE(answerValueCount("E1"), 121);
    QCOMPARE(answerValueCount("E4"), 32);
    QCOMPARE(answerValueCount("E8"), 27);
}

void TestConfigImage::optionBlocksCoverE1Ranges()
{
    QList<int> fromBlocks;
    for (const OptionWriteBlock &b : optionWriteBlocks()) {
        for (int i = 0; i < b.count; ++i) {
            fromBlocks << b.firstAddress + i;
        }
    }
    std::sort(fromBlocks.begin(), fromBlocks.end());
    QCOMPARE(fromBlocks, answerAddresses("E1"));
    QCOMPARE(optionWriteBlocks().at(7).firstAddress, 363);
}

void TestConfigImage::answerPositions_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("address");
    QTest::newRow("E1 value 0") << "E1" << 0 << 2;
    QTest::newRow("E1 value 18") << "E1" << 18 << 211;
    QTest::newRow("E1 value 67") << "E1" << 67 << 326;
    QTest::newRow("E1 value 68") << "E1" << 68 << 343;
    QTest::newRow("E1 value 105") << "E1" << 105 << 606;
    QTest::newRow("E1 value 116") << "E1" << 116 << 618;
    QTest::newRow("E8 value 26") << "E8" << 26 << 617;
    QTest::newRow("E4 second range") << "E4" << 24 << 327;
}

void TestConfigImage::answerPositions()
{
    QFETCH(QString, type);
    QFETCH(int, position);
    QFETCH(int, address);
    QCOMPARE(answerAddresses(type).at(position), address);
}

void TestConfigImage::hexPairs_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("255") << 255 << "FF";
    QTest::newRow("10") << 10 << "0A";
    QTest::newRow("0") << 0 << "00";
    QTest::newRow("256 keeps low bits") << 256 << "00";
    QTest::newRow("300 keeps low bits") << 300 << "2C";
    QTest::newRow("-1 keeps low bits") << -1 << "FF";
}

void TestConfigImage::hexPairs()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(byteToHex(value), text);
}

void TestConfigImage::textToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("upper") << "FF" << 255;
    QTest::newRow("lower") << "ff" << 255;
    QTest::newRow("0x skips x") << "0x" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("line break pair") << "\r\n" << 0;
    QTest::newRow("digit and break") << "7\n" << 7;
}

void TestConfigImage::textToNumber()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(hexToInt(text), value);
}

void TestConfigImage::imageTextPositions()
{
    ConfigImage image;
    image.set(0, 0x12);
    image.set(699, 0xAB);
    image.set(690, 0x5C);
    const QString text = image.toImageText();
    QCOMPARE(text.size(), kImageTextSize);
    QCOMPARE(text.left(2), QStringLiteral("12"));
    QCOMPARE(text.right(2), QStringLiteral("AB"));
    QCOMPARE(text.mid(1380, 2), QStringLiteral("5C")); // page 69 starts at character 1381
    QCOMPARE(ConfigImage::fromImageText(text), image);
}

void TestConfigImage::shortTextGivesZeros()
{
    const QString text = QString(1010, QLatin1Char('F'));
    const ConfigImage image = ConfigImage::fromImageText(text);
    QCOMPARE(int(image.at(504)), 255);
    QCOMPARE(int(image.at(505)), 0);
    QCOMPARE(int(image.at(699)), 0);
    QCOMPARE(ImageText::byteAt(QStringLiteral("F"), 0), 15);
}

KESTO_TEST_MAIN(TestConfigImage)
#include "tst_config_image.moc"
