#include "test_main.h"

#include "monitor/emulation_panel.h"
#include "test_host.h"

#include <QGroupBox>
#include <QPushButton>

using namespace kesto;

class TestEmulationPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttonSendsItsCommand_data();
    void buttonSendsItsCommand();
    void parkThenNeutralSendsTheSameTwice();
    void openingStartsEmulationAndPlacesThePanel();
    void closingEndsEmulation();
    void nothingIsSentWhileDisconnected();
};

void TestEmulationPanel::buttonSendsItsCommand_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("P") << "SELECTOR"
                       << "Button1"
                       << "P" << QByteArray("n66~");
    QTest::newRow("R") << "SELECTOR"
                       << "Button2"
                       << "R" << QByteArray("n65~");
    QTest::newRow("N") << "SELECTOR"
                       << "Button3"
                       << "N" << QByteArray("n66~");
    QTest::newRow("D") << "SELECTOR"
                       << "Button4"
                       << "D" << QByteArray("n64~");
    QTest::newRow("3") << "SELECTOR"
                       << "Button7"
                       << "3" << QByteArray("n63~");
    QTest::newRow("2") << "SELECTOR"
                       << "Button5"
                       << "2" << QByteArray("n62~");
    QTest::newRow("L") << "SELECTOR"
                       << "Button6"
                       << "L" << QByteArray("n61~");
    QTest::newRow("shift mode") << "MODE"
                                << "Button14"
                                << "SHIFTMODE" << QByteArray("n5~");
    QTest::newRow("gear up") << "MODE"
                             << "Button15"
                             << "GEARUP" << QByteArray("n3~");
    QTest::newRow("gear down") << "MODE"
                               << "Button16"
                               << "GEARDN" << QByteArray("n4~");
    QTest::newRow("tps up") << "TPS"
                            << "Button17"
                            << "TPS UP" << QByteArray("m9~");
    QTest::newRow("tps down") << "TPS"
                              << "Button18"
                              << "TPS DN" << QByteArray("n1~");
    QTest::newRow("tps zero") << "TPS"
                              << "Button19"
                              << "Zero" << QByteArray("n2~");
    QTest::newRow("rpm up") << "TACHO"
                            << "Button11"
                            << "RMP UP" << QByteArray("m3~");
    QTest::newRow("rpm down") << "TACHO"
                              << "Button12"
                              << "RMP DN" << QByteArray("m4~");
    QTest::newRow("rpm zero") << "TACHO"
                              << "Button13"
                              << "Zero" << QByteArray("m5~");
    QTest::newRow("speed up") << "SPEED"
                              << "Button8"
                              << "SpeedUP" << QByteArray("m6~");
    QTest::newRow("speed down") << "SPEED"
                                << "Button9"
                                << "SpeedDN" << QByteArray("m7~");
    QTest::newRow("speed zero") << "SPEED"
                                << "Button10"
                                << "Zero" << QByteArray("m8~");
}

void TestEmulationPanel::buttonSendsItsCommand()
{
    QFETCH(QString, group);
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(QByteArray, command);
    test::TestHost host;
    EmulationPanel panel(host.ctx);
    auto *b = panel.findChild<QPushButton *>(button);
    QVERIFY(b);
    QCOMPARE(b->text(), caption);
    auto *box = qobject_cast<QGroupBox *>(b->parentWidget());
    QVERIFY(box);
    QCOMPARE(box->title(), group);
    QVERIFY(panel.rect().contains(box->geometry()));
    QVERIFY(box->rect().contains(b->geometry()));
    b->click();
    QCOMPARE(host.takeSent(), command);
}

void TestEmulationPanel::parkThenNeutralSendsTheSameTwice()
{
    test::TestHost host;
    EmulationPanel panel(host.ctx);
    panel.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    panel.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
    QCOMPARE(host.takeSent(), QByteArray("n66~n66~"));
}

void TestEmulationPanel::openingStartsEmulationAndPlacesThePanel()
{
    test::TestHost host;
    EmulationPanel panel(host.ctx);
    QCOMPARE(panel.objectName(), QStringLiteral("TForm10"));
    QCOMPARE(panel.windowTitle(), QStringLiteral("Emulation"));
    QCOMPARE(panel.size(), QSize(316, 222));
    QCOMPARE(panel.findChildren<QPushButton *>().size(), 19);
    QCOMPARE(panel.findChildren<QGroupBox *>().size(), 5);
    QVERIFY(!panel.isVisible());

    panel.open();
    QCOMPARE(host.takeSent(), QByteArray("m1~"));
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.pos(), host.mainWindow.pos() + QPoint(20, 20));

    // A second open while shown starts emulation again and brings the panel back.
    panel.move(500, 300);
    panel.open();
    QCOMPARE(host.takeSent(), QByteArray("m1~"));
    QCOMPARE(panel.pos(), host.mainWindow.pos() + QPoint(20, 20));
}

void TestEmulationPanel::closingEndsEmulation()
{
    test::TestHost host;
    EmulationPanel panel(host.ctx);
    panel.open();
    host.takeSent();
    panel.close();
    QVERIFY(!panel.isVisible());
    QCOMPARE(host.takeSent(), QByteArray("m2~"));
}

void TestEmulationPanel::nothingIsSentWhileDisconnected()
{
    test::TestHost host;
    EmulationPanel panel(host.ctx);
    panel.open();
    host.takeSent();
    host.link.close();
    panel.findChild<QPushButton *>(QStringLiteral("Button4"))->click();
    panel.close();
    QVERIFY(!panel.isVisible());
    QCOMPARE(host.takeSent(), QByteArray());
}

KESTO_TEST_MAIN(TestEmulationPanel)
#include "tst_emulation_panel.moc"
