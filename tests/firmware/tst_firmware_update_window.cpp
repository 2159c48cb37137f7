#include "fake_programmer.h"
#include "firmware/firmware_image.h"
#include "firmware/firmware_update_window.h"
#include "firmware_test_support.h"
#include "scripted_dialogs.h"
#include "stored_firmware.h"
#include "test_host.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "test_main.h"

using namespace kesto;

namespace {

const QString kCheckNew = QStringLiteral("Successful connection, found a new type of bootloader.\r"
                                         "To continue the update, click the button \"Start "
                                         "firmware update\".");
const QString kCheckOld = QStringLiteral("Successful connection, old type bootloader found.\r"
                                         "To continue the update, click the button \"Start "
                                         "firmware update\".");
const QString kCheckFailed =
    QStringLiteral("Error while trying to determine the current bootloader.\rCheck that the "
                   "device is connected and the correct port for connection is specified.");
const QString kUpdateFailed = QStringLiteral("Error updating firmware.\rCheck that the device is "
                                             "connected and the correct port for connection is "
                                             "specified.");
const QString kUpdated = QStringLiteral("Firmware updated, current version: 3.7.7");

const QString kInitialized =
    QStringLiteral("avrdude: AVR device initialized and ready to accept instructions\n");
const QString kNotResponding =
    QStringLiteral("avrdude: stk500_recv(): programmer is not responding\n");
const QString kCantOpen =
    QStringLiteral("avrdude: ser_open(): can't open device \"\\\\.\\COM3\": file not found\n");
const QString kCannotOpenPort =
    QStringLiteral("avrdude OS error: cannot open port /dev/ttyFAKE: No such file or directory\n"
                   "avrdude error: unable to open programmer arduino on port /dev/ttyFAKE\n");
const QString kVerified = QStringLiteral("avrdude: 3392 bytes of flash written\n"
                                         "avrdude: 3392 bytes of flash verified\n");

// The window under test with its host, a fake programmer and a private temporary location.
struct Fixture
{
    test::TestHost host;
    test::ScriptedDialogs dialogs;
    test::FakeProgrammer programmer;
    QTemporaryDir temp;
    std::unique_ptr<FirmwareUpdateWindow> window;
    QStringList plainImage = test::syntheticHexLines(230);

    Fixture()
    {
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        auto *ports = new QComboBox(&host.mainWindow);
        ports->setObjectName(QStringLiteral("ComboBox1"));
        ports->addItem(QStringLiteral("/dev/ttyFAKE"));
        window = std::make_unique<FirmwareUpdateWindow>(host.ctx);
        window->setProgrammerPath(programmer.path());
        window->setFirmwarePayload(test::storeFirmware(plainImage));
        // Tests call the tick slots themselves; the timers must never fire while a test waits.
        timer("Timer3")->setInterval(3600 * 1000);
        timer("Timer2")->setInterval(3600 * 1000);
        host.mainWindow.setEnabled(false); // as the openers leave it
        window->show();
    }
    ~Fixture()
    {
        window.reset();
        qunsetenv("TMPDIR");
    }

    QTimer *timer(const char *name) const
    {
        return window->findChild<QTimer *>(QLatin1String(name));
    }
    QPushButton *button() const
    {
        return window->findChild<QPushButton *>(QStringLiteral("Button1"));
    }
    QString status() const
    {
        return window->findChild<QLabel *>(QStringLiteral("sLabel5"))->text();
    }
    int gauge() const
    {
        return window->findChild<QProgressBar *>(QStringLiteral("sGauge1"))->value();
    }
    bool closeButtonShown() const
    {
        return window->windowFlags().testFlag(Qt::WindowCloseButtonHint);
    }
    bool tempIsEmpty() const { return QDir(temp.path()).isEmpty(); }

    // One tick of the running step, once the programmer has settled (ended, or lingering).
    bool waitForProgrammerEnd()
    {
        return QTest::qWaitFor([this] { return !window->isProgrammerRunning(); }, 5000);
    }
    void tickToEnd(void (FirmwareUpdateWindow::*tick)(), int maxTicks = 10)
    {
        for (int i = 0; i < maxTicks && window->isBusy(); ++i) {
            QVERIFY(waitForProgrammerEnd());
            (window.get()->*tick)();
        }
    }

    // Runs a check that finds the bootloader at `baud` (115200: new kind, 57600: old kind).
    void bringToKnownKind(int baud)
    {
        if (baud == 57600) {
            programmer.plan(QStringLiteral("check"), 115200, kNotResponding);
        } else {
            programmer.plan(QStringLiteral("check"), 115200, kInitialized);
        }
        programmer.plan(QStringLiteral("check"), 57600, kInitialized);
        button()->click();
        tickToEnd(&FirmwareUpdateWindow::checkTick);
        dialogs.messages.clear();
    }
};

} // namespace

class FirmwareUpdateWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void opensInStateNoKindKnown();
    void checkOutcomes_data();
    void checkOutcomes();
    void checkShowsItsState();
    void retryWaitsForFirstProgrammerToEnd();
    void checkGivesUpAfter59Ticks();
    void updateOutcomes_data();
    void updateOutcomes();
    void updateStopsHungProgrammerAfter45Ticks();
    void updateWithoutBuiltInImageAsksForHexFile();
    void missingProgrammerIsReported();
    void kindSurvivesCloseAndReopen();
    void cannotBeClosedWhileStepRuns_data();
    void cannotBeClosedWhileStepRuns();
    void altF4IsSwallowed();
};

void FirmwareUpdateWindowTest::initTestCase()
{
    test::useFirmwareCaptions();
}

void FirmwareUpdateWindowTest::opensInStateNoKindKnown()
{
    Fixture f;
    QCOMPARE(f.window->objectName(), QStringLiteral("TForm19"));
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Firmware update..."));
    QCOMPARE(f.host.ctx.window(QStringLiteral("TForm19")), f.window.get());
    QCOMPARE(f.button()->text(), QStringLiteral("Check boot version"));
    QCOMPARE(f.button()->toolTip(), QStringLiteral("Before starting the update, you need to "
                                                   "determine the current version of the block "
                                                   "bootloader."));
    QVERIFY(f.button()->isEnabled());
    QCOMPARE(f.status(), QStringLiteral("Update status:"));
    auto *gauge = f.window->findChild<QProgressBar *>(QStringLiteral("sGauge1"));
    QCOMPARE(gauge->minimum(), 0);
    QCOMPARE(gauge->maximum(), 100);
    QCOMPARE(gauge->value(), 0);
    QVERIFY(gauge->text().endsWith(QLatin1Char('%')));
    QVERIFY(f.closeButtonShown());
    QCOMPARE(f.window->bootloaderKind(), BootloaderKind::None);

    // Fresh timers tick once a second and are off.
    FirmwareUpdateWindow fresh(f.host.ctx);
    for (const char *name : {"Timer3", "Timer2"}) {
        auto *t = fresh.findChild<QTimer *>(QLatin1String(name));
        QVERIFY2(t, name);
        QCOMPARE(t->interval(), 1000);
        QVERIFY(!t->isActive());
    }
}

void FirmwareUpdateWindowTest::checkOutcomes_data()
{
    QTest::addColumn<QString>("firstLog"); // "-" = the programmer writes no log
    QTest::addColumn<QString>("secondLog");
    QTest::addColumn<int>("expectedKind");
    QTest::addColumn<int>("expectedCalls");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("buttonText");

    const QString start = QStringLiteral("Start firmware update");
    const QString check = QStringLiteral("Check boot version");
    QTest::newRow("new kind on the first try")
        << kInitialized << QStringLiteral("-") << 2 << 1 << kCheckNew << start;
    QTest::newRow("old kind on the retry")
        << kNotResponding << kInitialized << 1 << 2 << kCheckOld << start;
    QTest::newRow("old kind after a port failure")
        << kCantOpen << kInitialized << 1 << 2 << kCheckOld << start;
    QTest::newRow("can't open device on both tries")
        << kCantOpen << kCantOpen << 0 << 2 << kCheckFailed << check;
    QTest::newRow("current programmer cannot open port")
        << kCannotOpenPort << kCannotOpenPort << 0 << 2 << kCheckFailed << check;
    QTest::newRow("not responding on both tries")
        << kNotResponding << kNotResponding << 0 << 2 << kCheckFailed << check;
    const QString outOfSync =
        QStringLiteral("avrdude warning: attempt 1 of 10: not in sync: resp=0x00\n");
    QTest::newRow("programmer ends without a verdict in its log")
        << outOfSync << outOfSync << 0 << 2 << kCheckFailed << check;
    QTest::newRow("programmer ends without a log")
        << QStringLiteral("-") << QStringLiteral("-") << 0 << 2 << kCheckFailed << check;
}

void FirmwareUpdateWindowTest::checkOutcomes()
{
    QFETCH(QString, firstLog);
    QFETCH(QString, secondLog);
    QFETCH(int, expectedKind);
    QFETCH(int, expectedCalls);
    QFETCH(QString, message);
    QFETCH(QString, buttonText);

    Fixture f;
    if (firstLog != QLatin1String("-")) {
        f.programmer.plan(QStringLiteral("check"), 115200, firstLog);
    }
    if (secondLog != QLatin1String("-")) {
        f.programmer.plan(QStringLiteral("check"), 57600, secondLog);
    }
    f.button()->click();
    QVERIFY(f.window->checkRunning());
    f.tickToEnd(&FirmwareUpdateWindow::checkTick);

    QVERIFY(!f.window->isBusy());
    QCOMPARE(int(f.window->bootloaderKind()), expectedKind);
    QCOMPARE(f.dialogs.messages, QStringList{message});
    QCOMPARE(f.button()->text(), buttonText);
    QVERIFY(f.button()->isEnabled());
    QCOMPARE(f.status(), QStringLiteral("Update status:"));
    QCOMPARE(f.gauge(), 0);
    QCOMPARE(f.window->tickCount(), 0);
    QVERIFY(!f.window->slowRetryMade());
    QVERIFY(!f.timer("Timer3")->isActive());
    QVERIFY(f.closeButtonShown());
    QVERIFY(f.window->isVisible());
    QVERIFY(!f.host.mainWindow.isEnabled());

    QStringList expected = {
        QStringLiteral("-carduino -patmega328p -P/dev/ttyFAKE -b115200 -n -lkestocheck")};
    if (expectedCalls == 2) {
        expected << QStringLiteral("-carduino -patmega328p -P/dev/ttyFAKE -b57600 -n -lkestocheck");
    }
    QCOMPARE(f.programmer.calls(), expected);
    // Every try works in the run's own folder under the temporary location, which is gone now.
    const QStringList dirs = f.programmer.workingDirectories();
    QCOMPARE(dirs.size(), expectedCalls);
    QVERIFY2(dirs.first().startsWith(f.temp.path()), qPrintable(dirs.first()));
    QCOMPARE(dirs.last(), dirs.first());
    QTRY_VERIFY(f.tempIsEmpty());
}

void FirmwareUpdateWindowTest::checkShowsItsState()
{
    Fixture f;
    f.programmer.plan(QStringLiteral("check"), 115200, kNotResponding);
    f.programmer.linger(QStringLiteral("check"), 115200, 30);
    f.button()->click();
    QVERIFY(!f.button()->isEnabled());
    QVERIFY(!f.closeButtonShown());
    QVERIFY(f.window->isVisible());
    QVERIFY(f.timer("Timer3")->isActive());
    QVERIFY(!f.timer("Timer2")->isActive());
    QCOMPARE(f.status(), QStringLiteral("Update status: Check boot version"));
    // The gauge fills in 60 ticks.
    QVERIFY(QTest::qWaitFor([&] { return !f.programmer.calls().isEmpty(); }, 5000));
    f.window->checkTick();
    QCOMPARE(f.window->tickCount(), 1);
    QCOMPARE(f.gauge(), 1);
    f.window->checkTick();
    f.window->checkTick();
    QCOMPARE(f.gauge(), 5);
}

void FirmwareUpdateWindowTest::retryWaitsForFirstProgrammerToEnd()
{
    Fixture f;
    // The first programmer reports the failure but keeps running.
    f.programmer.plan(QStringLiteral("check"), 115200, kNotResponding);
    f.programmer.linger(QStringLiteral("check"), 115200, 30);
    f.programmer.plan(QStringLiteral("check"), 57600, kInitialized);
    f.button()->click();
    const QString log = QDir(f.window->runFolder()).filePath(QStringLiteral("kestocheck"));
    QVERIFY(QTest::qWaitFor([&] { return QFile(log).size() > 0; }, 5000));
    QVERIFY(f.window->isProgrammerRunning());

    f.window->checkTick(); // failure seen while running: stop it, no retry yet
    QCOMPARE(f.programmer.calls().size(), 1);
    QVERIFY(!f.window->slowRetryMade());
    QVERIFY(f.waitForProgrammerEnd());

    f.window->checkTick(); // the first programmer has ended: retry at the old rate
    QVERIFY(f.window->slowRetryMade());
    QTRY_COMPARE(f.programmer.calls().size(), 2);
    QVERIFY(f.programmer.calls().last().contains(QLatin1String("-b57600")));
    QVERIFY(f.waitForProgrammerEnd());

    f.window->checkTick();
    QCOMPARE(f.window->bootloaderKind(), BootloaderKind::Old);
    QCOMPARE(f.dialogs.messages, QStringList{kCheckOld});
}

void FirmwareUpdateWindowTest::checkGivesUpAfter59Ticks()
{
    Fixture f;
    // Both programmers hang without a word.
    f.programmer.linger(QStringLiteral("check"), 115200, 300);
    f.programmer.linger(QStringLiteral("check"), 57600, 300);
    f.button()->click();
    QVERIFY(QTest::qWaitFor([&] { return !f.programmer.calls().isEmpty(); }, 5000));
    for (int tick = 1; tick <= 57; ++tick) {
        f.window->checkTick();
        QVERIFY2(f.window->isProgrammerRunning(), qPrintable(QString::number(tick)));
    }
    QCOMPARE(f.gauge(), 57 * 100 / 60);
    QVERIFY(!f.window->slowRetryMade());

    f.window->checkTick(); // 58: past 57 the programmer is stopped
    QVERIFY(f.waitForProgrammerEnd());
    QVERIFY(!f.window->slowRetryMade());

    // 59: the first try has failed; the retry starts, but past 57 ticks it is stopped at once,
    // so the check as a whole has about 58 seconds.
    f.window->checkTick();
    QVERIFY(f.window->slowRetryMade());
    QVERIFY(f.waitForProgrammerEnd());
    QVERIFY(f.dialogs.messages.isEmpty());

    f.window->checkTick(); // 60: both tries ended, the check has failed
    QCOMPARE(f.dialogs.messages, QStringList{kCheckFailed});
    QVERIFY(!f.window->isBusy());
    QCOMPARE(f.window->bootloaderKind(), BootloaderKind::None);
    QTRY_VERIFY(f.tempIsEmpty());
}

void FirmwareUpdateWindowTest::updateOutcomes_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<QString>("log"); // "-" = no log
    QTest::addColumn<bool>("success");

    QTest::newRow("new kind, verified") << 115200 << kInitialized + kVerified << true;
    QTest::newRow("old kind, verified") << 57600 << kInitialized + kVerified << true;
    QTest::newRow("not responding") << 115200 << kNotResponding << false;
    QTest::newRow("port cannot be opened") << 57600 << kCannotOpenPort << false;
    QTest::newRow("initialized but not verified") << 115200 << kInitialized << false;
    QTest::newRow("verified text without the bootloader") << 115200 << kVerified << false;
    QTest::newRow("no log at all") << 115200 << QStringLiteral("-") << false;
}

void FirmwareUpdateWindowTest::updateOutcomes()
{
    QFETCH(int, baud);
    QFETCH(QString, log);
    QFETCH(bool, success);

    Fixture f;
    f.bringToKnownKind(baud);
    QCOMPARE(f.window->bootloaderKind(), baud == 57600 ? BootloaderKind::Old : BootloaderKind::New);
    QCOMPARE(f.button()->text(), QStringLiteral("Start firmware update"));
    QCOMPARE(f.button()->toolTip(),
             QStringLiteral("Update firmware in block to software version."));
    if (log != QLatin1String("-")) {
        f.programmer.plan(QStringLiteral("write"), baud, log);
    }
    const int callsBefore = int(f.programmer.calls().size());

    f.button()->click();
    QVERIFY(!f.button()->isEnabled());
    QVERIFY(!f.closeButtonShown());
    QVERIFY(f.timer("Timer2")->isActive());
    QCOMPARE(f.status(), QStringLiteral("Update status: Firmware update"));
    f.tickToEnd(&FirmwareUpdateWindow::updateTick);

    // The programmer wrote the restored image, named by a fresh 16-character name.
    const QStringList calls = f.programmer.calls();
    QCOMPARE(calls.size(), callsBefore + 1);
    const QRegularExpression write(
        QStringLiteral(
            "^-carduino -patmega328p -U flash:w:([0-9A-Za-z]{16})\\.tmp -P/dev/ttyFAKE -b%1 "
            "-lkestocheck$")
            .arg(baud));
    QVERIFY2(write.match(calls.last()).hasMatch(), qPrintable(calls.last()));
    QCOMPARE(f.programmer.writtenImage(),
             f.plainImage.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");

    QVERIFY(!f.window->isBusy());
    QVERIFY(!f.timer("Timer2")->isActive());
    QCOMPARE(f.window->bootloaderKind(), BootloaderKind::None);
    QCOMPARE(f.button()->text(), QStringLiteral("Check boot version"));
    QVERIFY(f.button()->isEnabled());
    QCOMPARE(f.status(), QStringLiteral("Update status:"));
    QCOMPARE(f.gauge(), 0);
    QVERIFY(f.closeButtonShown());
    QCOMPARE(f.dialogs.messages, QStringList{success ? kUpdated : kUpdateFailed});
    QCOMPARE(f.window->isVisible(), !success);
    QCOMPARE(f.host.mainWindow.isEnabled(), success);
    QTRY_VERIFY(f.tempIsEmpty());
}

void FirmwareUpdateWindowTest::updateStopsHungProgrammerAfter45Ticks()
{
    Fixture f;
    f.bringToKnownKind(115200);
    f.programmer.plan(QStringLiteral("write"), 115200, kInitialized);
    f.programmer.linger(QStringLiteral("write"), 115200, 300);
    f.button()->click();
    QVERIFY(QTest::qWaitFor([&] { return f.programmer.calls().size() == 2; }, 5000));
    for (int tick = 1; tick <= 45; ++tick) {
        f.window->updateTick();
        QVERIFY2(f.window->isProgrammerRunning(), qPrintable(QString::number(tick)));
    }
    QCOMPARE(f.gauge(), 45 * 100 / 47);
    f.window->updateTick(); // 46: stopped
    QVERIFY(f.waitForProgrammerEnd());
    QVERIFY(f.window->isBusy());
    f.window->updateTick(); // 47: ended without the success texts
    QCOMPARE(f.dialogs.messages, QStringList{kUpdateFailed});
    QVERIFY(f.window->isVisible());
    QVERIFY(!f.host.mainWindow.isEnabled());
    QTRY_VERIFY(f.tempIsEmpty());
}

void FirmwareUpdateWindowTest::updateWithoutBuiltInImageAsksForHexFile()
{
    QTemporaryDir dir; // made before the fixture points the temporary location elsewhere
    Fixture f;
    f.window->setFirmwarePayload(QByteArray());
    f.bringToKnownKind(115200);
    f.programmer.plan(QStringLiteral("write"), 115200, kInitialized + kVerified);

    // Cancelled: nothing starts.
    f.button()->click();
    QCOMPARE(f.dialogs.fileDialogs.size(), 1);
    QCOMPARE(f.dialogs.fileDialogs.first().title,
             QStringLiteral("Choose the firmware file (Intel HEX)"));
    QVERIFY(f.dialogs.fileDialogs.first().filter.contains(QLatin1String("*.hex")));
    QVERIFY(!f.window->isBusy());
    QVERIFY(f.button()->isEnabled());
    QCOMPARE(f.programmer.calls().size(), 1);

    // A plain file is handed over as it is, without reordering.
    const QString hex = dir.filePath(QStringLiteral("plain.hex"));
    const QByteArray content = f.plainImage.join(QLatin1Char('\n')).toLatin1() + '\n';
    {
        QFile file(hex);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    f.dialogs.openAnswers << hex;
    f.button()->click();
    f.tickToEnd(&FirmwareUpdateWindow::updateTick);
    QCOMPARE(f.programmer.writtenImage(), content);
    QCOMPARE(f.dialogs.messages, QStringList{kUpdated});
    QVERIFY(QFile::exists(hex));
    QTRY_VERIFY(f.tempIsEmpty());
}

void FirmwareUpdateWindowTest::missingProgrammerIsReported()
{
    QTemporaryDir emptyPath;
    Fixture f;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toLocal8Bit());
    f.window->setProgrammerPath(QString()); // look it up, and find none
    f.button()->click();
    qputenv("PATH", oldPath);

    QCOMPARE(f.dialogs.messages,
             QStringList{QStringLiteral(
                 "The programmer (avrdude) was not found. Install it and try again.")});
    QVERIFY(!f.window->isBusy());
    QVERIFY(f.button()->isEnabled());
    QVERIFY(!f.timer("Timer3")->isActive());
    QVERIFY(f.closeButtonShown());
    QVERIFY(f.programmer.calls().isEmpty());
    QVERIFY(f.tempIsEmpty());
}

void FirmwareUpdateWindowTest::kindSurvivesCloseAndReopen()
{
    Fixture f;
    f.bringToKnownKind(57600);
    QVERIFY(f.window->close());
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.host.mainWindow.isEnabled());

    f.host.mainWindow.setEnabled(false);
    f.window->prepareToShow();
    f.window->show();
    QCOMPARE(f.window->bootloaderKind(), BootloaderKind::Old);
    QCOMPARE(f.button()->text(), QStringLiteral("Start firmware update"));
    QCOMPARE(f.gauge(), 0);
}

void FirmwareUpdateWindowTest::cannotBeClosedWhileStepRuns_data()
{
    QTest::addColumn<bool>("update");
    QTest::newRow("checking") << false;
    QTest::newRow("updating") << true;
}

void FirmwareUpdateWindowTest::cannotBeClosedWhileStepRuns()
{
    QFETCH(bool, update);
    Fixture f;
    if (update) {
        f.bringToKnownKind(115200);
    }
    const QString step = update ? QStringLiteral("write") : QStringLiteral("check");
    f.programmer.plan(step, 115200, kInitialized);
    f.programmer.linger(step, 115200, 30);
    f.button()->click();
    QVERIFY(!f.closeButtonShown());
    QVERIFY(!f.window->close());
    QVERIFY(f.window->isVisible());
    QVERIFY(!f.host.mainWindow.isEnabled());

    // Once the step has ended the window closes and gives the main window back.
    if (update) {
        QVERIFY(QTest::qWaitFor([&] { return f.programmer.calls().size() == 2; }, 5000));
        for (int tick = 1; tick <= 46; ++tick) {
            f.window->updateTick(); // the 46th stops the lingering programmer
        }
        QVERIFY(f.waitForProgrammerEnd());
        f.window->updateTick();
    } else {
        const QString log = QDir(f.window->runFolder()).filePath(QStringLiteral("kestocheck"));
        QVERIFY(QTest::qWaitFor([&] { return QFile(log).size() > 0; }, 5000));
        f.window->checkTick();
    }
    QVERIFY(!f.window->isBusy());
    QVERIFY(f.closeButtonShown());
    QVERIFY(f.window->isVisible());
    QVERIFY(f.window->close());
    QVERIFY(f.host.mainWindow.isEnabled());
}

void FirmwareUpdateWindowTest::altF4IsSwallowed()
{
    Fixture f;
    // A shortcut elsewhere must not see Alt+F4 while this window has the keyboard.
    QAction closeAll(&f.host.mainWindow);
    closeAll.setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    closeAll.setShortcutContext(Qt::ApplicationShortcut);
    f.host.mainWindow.addAction(&closeAll);
    int triggered = 0;
    QObject::connect(&closeAll, &QAction::triggered, [&] { ++triggered; });
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));

    for (bool busy : {false, true}) {
        if (busy) {
            f.programmer.linger(QStringLiteral("check"), 115200, 30);
            f.button()->click();
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F4, Qt::AltModifier);
        QApplication::sendEvent(f.window.get(), &press);
        QVERIFY(press.isAccepted());
        QTest::keyClick(f.window.get(), Qt::Key_F4, Qt::AltModifier);
        QCOMPARE(triggered, 0);
        QVERIFY(f.window->isVisible());
    }
}

KESTO_TEST_MAIN(FirmwareUpdateWindowTest)
#include "tst_firmware_update_window.moc"
