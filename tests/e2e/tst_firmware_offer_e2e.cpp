// A controller whose firmware the program cannot use answers "ve"; the user accepts the offer,
// and the firmware window checks the bootloader on the port the main window was connected to.

#include "../firmware/fake_programmer.h"
#include "app/main_window.h"
#include "firmware/firmware_update_window.h"
#include "pty_bench.h"
#include "scripted_dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "test_main.h"

using namespace kesto;

class FirmwareOfferE2eTest : public QObject
{
    Q_OBJECT

private slots:
    void veOfferLeadsToCheckOnSamePort();
};

void FirmwareOfferE2eTest::veOfferLeadsToCheckOnSamePort()
{
    sim::SimOptions options;
    options.answerVe = true;
    options.modelTickMs = 0;
    sim::PtyBench bench(options);
    QVERIFY2(bench.start(), qPrintable(bench.errorString()));

    test::ScriptedDialogs dialogs;
    dialogs.answers << true; // "Want to upgrade firmware?"
    test::FakeProgrammer programmer;
    programmer.plan(QStringLiteral("check"), 115200,
                    QStringLiteral("avrdude: AVR device initialized and ready to accept "
                                   "instructions\n"));
    QTemporaryDir temp;
    qputenv("TMPDIR", temp.path().toLocal8Bit());

    MainWindowOptions mainOptions;
    mainOptions.enumeratePorts = false;
    mainOptions.extraPorts = {bench.devicePath()};
    mainOptions.selectPort = bench.devicePath();
    MainWindow window(mainOptions);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *firmware = window.context().windowAs<FirmwareUpdateWindow>(QStringLiteral("TForm19"));
    QVERIFY(firmware);
    firmware->setProgrammerPath(programmer.path());

    window.button1Click();
    QVERIFY(window.link().isOpen());
    window.timer1Timer(); // the handshake query and the version query go out
    QTRY_VERIFY_WITH_TIMEOUT(firmware->isVisible(), 10000);
    QCOMPARE(dialogs.questions.size(), 1);
    QVERIFY(!window.link().isOpen());
    QVERIFY(!window.isEnabled());
    QVERIFY(firmware->isEnabled());

    // The check runs on the device the main window used, with the real one-second timer.
    firmware->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!firmware->isBusy(), 10000);
    QCOMPARE(firmware->bootloaderKind(), BootloaderKind::New);
    QCOMPARE(programmer.calls(),
             QStringList{QStringLiteral("-carduino -patmega328p -P%1 -b115200 -n -lkestocheck")
                             .arg(bench.devicePath())});
    QTRY_VERIFY(QDir(temp.path()).isEmpty());

    QVERIFY(firmware->close());
    QVERIFY(window.isEnabled());
    qunsetenv("TMPDIR");
}

KESTO_TEST_MAIN(FirmwareOfferE2eTest)
#include "tst_firmware_offer_e2e.moc"
