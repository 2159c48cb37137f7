#include "link/port_names.h"

#include "test_main.h"

using namespace kesto;

class TestPortNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void comNamesOnly_data();
    void comNamesOnly();
    void portNumber_data();
    void portNumber();
};

void TestPortNames::comNamesOnly_data()
{
    QTest::addColumn<QStringList>("system");
    QTest::addColumn<QStringList>("offered");

    QTest::newRow("text order puts COM10 before COM2")
        << QStringList{"COM2", "COM10", "COM1"} << QStringList{"COM1", "COM10", "COM2"};
    QTest::newRow("other devices dropped")
        << QStringList{"LPT1", "COM3", "CNCA0", "AUX"} << QStringList{"COM3"};
    QTest::newRow("any case of the prefix")
        << QStringList{"com4", "Com3"} << QStringList{"Com3", "com4"};
    QTest::newRow("nothing present") << QStringList{} << QStringList{};
}

void TestPortNames::comNamesOnly()
{
    QFETCH(QStringList, system);
    QFETCH(QStringList, offered);
    QCOMPARE(comPortNames(system), offered);
}

void TestPortNames::portNumber_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number"); // -1: no number

    QTest::newRow("COM4") << "COM4" << 4;
    QTest::newRow("COM12") << "COM12" << 12;
    QTest::newRow("lower case") << "com10" << 10;
    QTest::newRow("bare prefix") << "COM" << -1;
    QTest::newRow("device path") << "/dev/ttyUSB0" << -1;
    QTest::newRow("letters after the prefix") << "COMX1" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestPortNames::portNumber()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    const std::optional<int> n = comPortNumber(name);
    QCOMPARE(n.has_value(), number >= 0);
    if (n) {
        QCOMPARE(*n, number);
    }
}

KESTO_TEST_MAIN(TestPortNames)
#include "tst_port_names.moc"
