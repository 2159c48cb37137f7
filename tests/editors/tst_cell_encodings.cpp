#include "editors/cell_check.h"
#include "editors/encodings.h"
#include "link/error.h"

#include "test_main.h"

using namespace kesto;

Q_DECLARE_METATYPE(kesto::Encoding)

class CellEncodingsTest : public QObject
{
    Q_OBJECT

private slots:
    void shownToStored_data();
    void shownToStored();
    void storedToShown_data();
    void storedToShown();
    void texts_data();
    void texts();
    void textNotANumber_data();
    void textNotANumber();
    void listByte_data();
    void listByte();
    void listIndex_data();
    void listIndex();
    void wrongKindThrows();
};

void CellEncodingsTest::shownToStored_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("stored");
    using E = Encoding;
    QTest::newRow("plain 0") << E::PlainByte << 0 << 0;
    QTest::newRow("plain 255") << E::PlainByte << 255 << 255;
    QTest::newRow("complement 98") << E::Complement100 << 98 << 2;
    QTest::newRow("complement 0") << E::Complement100 << 0 << 100;
    QTest::newRow("step50 6000") << E::Step50 << 6000 << 120;
    QTest::newRow("step50 6049 truncates") << E::Step50 << 6049 << 120;
    QTest::newRow("step50 12750") << E::Step50 << 12750 << 255;
    QTest::newRow("step50 -49 toward zero") << E::Step50 << -49 << 0;
    QTest::newRow("step10 200") << E::Step10 << 200 << 20;
    QTest::newRow("step10 2559") << E::Step10 << 2559 << 255;
    QTest::newRow("offset -10") << E::Offset120 << -10 << 110;
    QTest::newRow("offset -20") << E::Offset120 << -20 << 100;
    QTest::newRow("offset 120") << E::Offset120 << 120 << 240;
    QTest::newRow("percent 85") << E::Percent250 << 85 << 212;
    QTest::newRow("percent 90") << E::Percent250 << 90 << 225;
    QTest::newRow("percent 1") << E::Percent250 << 1 << 2;
    QTest::newRow("percent 100") << E::Percent250 << 100 << 250;
    QTest::newRow("percent -1 toward zero") << E::Percent250 << -1 << -2;
    QTest::newRow("signed -1") << E::Signed255 << -1 << 254;
    QTest::newRow("signed -100") << E::Signed255 << -100 << 155;
    QTest::newRow("signed 0") << E::Signed255 << 0 << 0;
    QTest::newRow("signed 150") << E::Signed255 << 150 << 150;
}

void CellEncodingsTest::shownToStored()
{
    QFETCH(Encoding, encoding);
    QFETCH(int, shown);
    QFETCH(int, stored);
    QCOMPARE(encoding::toStored(encoding, shown), stored);
}

void CellEncodingsTest::storedToShown_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    using E = Encoding;
    QTest::newRow("plain 14") << E::PlainByte << 14 << 14;
    QTest::newRow("complement 2") << E::Complement100 << 2 << 98;
    QTest::newRow("complement 100") << E::Complement100 << 100 << 0;
    QTest::newRow("step50 120") << E::Step50 << 120 << 6000;
    QTest::newRow("step50 255") << E::Step50 << 255 << 12750;
    QTest::newRow("step10 20") << E::Step10 << 20 << 200;
    QTest::newRow("offset 110") << E::Offset120 << 110 << -10;
    QTest::newRow("offset 0") << E::Offset120 << 0 << -120;
    QTest::newRow("percent 212 rounds up") << E::Percent250 << 212 << 85;
    QTest::newRow("percent 225 exact") << E::Percent250 << 225 << 90;
    QTest::newRow("percent 1 rounds up") << E::Percent250 << 1 << 1;
    QTest::newRow("percent 0") << E::Percent250 << 0 << 0;
    QTest::newRow("percent 255") << E::Percent250 << 255 << 102;
    QTest::newRow("signed 254") << E::Signed255 << 254 << -1;
    QTest::newRow("signed 151") << E::Signed255 << 151 << -104;
    QTest::newRow("signed 150") << E::Signed255 << 150 << 150;
    QTest::newRow("signed 155") << E::Signed255 << 155 << -100;
}

void CellEncodingsTest::storedToShown()
{
    QFETCH(Encoding, encoding);
    QFETCH(int, stored);
    QFETCH(int, shown);
    QCOMPARE(encoding::toShown(encoding, stored), shown);
}

void CellEncodingsTest::texts_data()
{
    // Texts as fills, imports and saves handle them: a plain byte passes as it stands.
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("storedBack");
    using E = Encoding;
    QTest::newRow("plain keeps leading zeros") << E::PlainByte << "007"
                                               << "007"
                                               << "007";
    QTest::newRow("plain keeps empty") << E::PlainByte << ""
                                       << ""
                                       << "";
    QTest::newRow("complement") << E::Complement100 << "93"
                                << "7"
                                << "93";
    QTest::newRow("step50 normalises") << E::Step50 << "0120"
                                       << "6000"
                                       << "120";
    QTest::newRow("percent 212") << E::Percent250 << "212"
                                 << "85"
                                 << "212";
    QTest::newRow("signed 254") << E::Signed255 << "254"
                                << "-1"
                                << "254";
}

void CellEncodingsTest::texts()
{
    QFETCH(Encoding, encoding);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(QString, storedBack);
    QCOMPARE(encoding::shownText(encoding, stored), shown);
    QCOMPARE(encoding::storedText(encoding, shown), storedBack);
}

void CellEncodingsTest::textNotANumber_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::newRow("complement letters") << Encoding::Complement100 << "abc";
    QTest::newRow("step50 empty") << Encoding::Step50 << "";
    QTest::newRow("signed lone minus") << Encoding::Signed255 << "-";
    QTest::newRow("offset blank") << Encoding::Offset120 << " 5";
}

void CellEncodingsTest::textNotANumber()
{
    QFETCH(Encoding, encoding);
    QFETCH(QString, text);
    const QString expected = QStringLiteral("'%1' is not a valid integer value").arg(text);
    for (bool toStored : {true, false}) {
        try {
            toStored ? encoding::storedText(encoding, text) : encoding::shownText(encoding, text);
            QFAIL("no conversion error");
        } catch (const Error &e) {
            QCOMPARE(e.text(), expected);
        }
    }
}

void CellEncodingsTest::listByte_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("byte");
    using E = Encoding;
    QTest::newRow("slu 40%") << E::SluLevel << 0 << 100;
    QTest::newRow("slu 60%") << E::SluLevel << 1 << 150;
    QTest::newRow("slu 80%") << E::SluLevel << 2 << 200;
    QTest::newRow("slu 100%") << E::SluLevel << 3 << 255;
    QTest::newRow("slu no selection") << E::SluLevel << -1 << 0;
    QTest::newRow("pwm 0") << E::Percent5Step << 0 << 0;
    QTest::newRow("pwm 50") << E::Percent5Step << 10 << 130;
    QTest::newRow("pwm 95") << E::Percent5Step << 19 << 247;
    QTest::newRow("pwm 100") << E::Percent5Step << 20 << 255;
    QTest::newRow("pwm no selection") << E::Percent5Step << -1 << 0;
}

void CellEncodingsTest::listByte()
{
    QFETCH(Encoding, encoding);
    QFETCH(int, index);
    QFETCH(int, byte);
    QCOMPARE(encoding::listByte(encoding, index), byte);
}

void CellEncodingsTest::listIndex_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("index"); // -1: the selection stays
    using E = Encoding;
    QTest::newRow("slu 100") << E::SluLevel << 100 << 0;
    QTest::newRow("slu 150") << E::SluLevel << 150 << 1;
    QTest::newRow("slu 200") << E::SluLevel << 200 << 2;
    QTest::newRow("slu 255") << E::SluLevel << 255 << 3;
    QTest::newRow("slu 0 keeps") << E::SluLevel << 0 << -1;
    QTest::newRow("slu 101 keeps") << E::SluLevel << 101 << -1;
    QTest::newRow("pwm 130 is 50") << E::Percent5Step << 130 << 10;
    QTest::newRow("pwm 255 is 100") << E::Percent5Step << 255 << 20;
    QTest::newRow("pwm 254 is 95") << E::Percent5Step << 254 << 19;
    QTest::newRow("pwm 12 is 0") << E::Percent5Step << 12 << 0;
}

void CellEncodingsTest::listIndex()
{
    QFETCH(Encoding, encoding);
    QFETCH(int, byte);
    QFETCH(int, index);
    QCOMPARE(encoding::listIndex(encoding, byte).value_or(-1), index);
}

void CellEncodingsTest::wrongKindThrows()
{
    QVERIFY_THROWS_EXCEPTION(Error, encoding::toStored(Encoding::SluLevel, 1));
    QVERIFY_THROWS_EXCEPTION(Error, encoding::toShown(Encoding::Percent5Step, 1));
    QVERIFY_THROWS_EXCEPTION(Error, encoding::listByte(Encoding::PlainByte, 1));
    QVERIFY_THROWS_EXCEPTION(Error, encoding::listIndex(Encoding::Step50, 1));
}

KESTO_TEST_MAIN(CellEncodingsTest)
#include "tst_cell_encodings.moc"
