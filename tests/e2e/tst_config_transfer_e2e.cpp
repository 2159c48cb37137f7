#include "app/main_window.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/config_progress_window.h"
#include "config/config_transfer.h"
#include "link/clock.h"
#include "pty_bench.h"
#include "scripted_dialogs.h"
#include "test_main.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

using namespace kesto;

Q_DECLARE_METATYPE(kesto::ConfigImage)

namespace {

const QString kIncorrectFile = QStringLiteral("Incorrect KESTO file.");
const QString kUploaded =
    QStringLiteral("Config file uploaded successfully!\n\rThe control unit is rebooted!");
const QString kNoAnswer = QStringLiteral("No answer from KESTO, the transfer was stopped.");
const QString kStopped = QStringLiteral("The transfer was stopped: ");

ConfigImage patternImage(int seed)
{
    ConfigImage image;
    for (int a = 0; a < kImageSize; ++a) {
        image.set(a, (a * 53 + seed * 7 + a / 11) & 0xFF);
    }
    return image;
}

ConfigImage zeroFrom(ConfigImage image, int from)
{
    for (int a = from; a < kImageSize; ++a) {
        image.set(a, 0);
    }
    return image;
}

QByteArray decimalLines(const ConfigImage &image, int count)
{
    QByteArray text;
    for (int a = 0; a < count; ++a) {
        text += QByteArray::number(image.at(a)) + "\r\n";
    }
    return text;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Runs the event loop until the condition holds. Unlike QTest::qWaitFor it does not nap between
// rounds, so seventy round trips over the pty take milliseconds, not a second.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // the loop wakes at least this often to look at the clock
    wake.start(20);
    while (!condition() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return condition();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

// The real main window connected over a pty to the bench controller, its dialogs scripted.
struct Bench
{
    test::ScriptedDialogs dialogs;
    FakeClock clock; // the watchdog never sees answers stop while a test runs
    QTemporaryDir folder;
    sim::PtyBench bench;
    std::unique_ptr<MainWindow> window;
    QList<QByteArray> sent; // every command the program sent

    Bench() : bench(options()) {}
    static sim::SimOptions options()
    {
        sim::SimOptions o;
        o.modelTickMs = 0;
        o.rebootMs = 20;
        return o;
    }

    // Starts the controller, connects and runs the handshake.
    bool connect()
    {
        if (!bench.start()) {
            qWarning() << bench.errorString();
            return false;
        }
        bench.controller().memory() = patternImage(1);
        MainWindowOptions o;
        o.clock = &clock;
        o.enumeratePorts = false;
        o.extraPorts = {bench.devicePath()};
        o.selectPort = bench.devicePath();
        window = std::make_unique<MainWindow>(o);
        QObject::connect(&window->link(), &ControllerLink::commandSent,
                         [this](const QByteArray &c) { sent << c; });
        window->button1Click();
        window->timer1Timer();
        return waitUntil([this] { return window->facts().handshakeDone; });
    }

    ConfigProgressWindow &progress()
    {
        return *window->context().windowAs<ConfigProgressWindow>(QStringLiteral("TForm25"));
    }
    ConfigTransfer &transfer() { return progress().transfer(); }
    QAction *entry(const char *name) { return window->findChild<QAction *>(QLatin1String(name)); }
    QTimer *timer(const char *name) { return window->findChild<QTimer *>(QLatin1String(name)); }
    QString path(const QString &name) const { return folder.filePath(name); }

    bool waitIdle(int ms = 10000)
    {
        return waitUntil([this] { return !transfer().isRunning(); }, ms);
    }
    QList<QByteArray> sentStartingWith(const char *prefix) const
    {
        QList<QByteArray> out;
        for (const QByteArray &c : sent) {
            if (c.startsWith(prefix)) {
                out << c;
            }
        }
        return out;
    }
    // The commands the controller got from the first one with the prefix on, n of them.
    QList<QByteArray> receivedFrom(const QByteArray &first, int n)
    {
        const QList<QByteArray> &all = bench.controller().receivedCommands();
        const qsizetype at = all.indexOf(first);
        return at < 0 ? QList<QByteArray>() : all.mid(at, n);
    }

    void verifyIdle()
    {
        QVERIFY(!transfer().isRunning());
        QVERIFY(timer("Timer1")->isActive());
        QVERIFY(timer("Timer2")->isActive());
        QCOMPARE(timer("Timer1")->interval(), MainWindow::kPollIntervalMs);
        QVERIFY(window->isEnabled());
        QVERIFY(progress().isHidden());
        QVERIFY(window->facts().handshakeDone);
    }
};

class TestConfigTransferE2E : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesControllerMemory();
    void cancelledSaveWritesNothing();
    void failedWriteKeepsPreviousFile();
    void uploadFillsControllerMemory_data();
    void uploadFillsControllerMemory();
    void savedFileUploadsBack();
    void refusedUploadSendsNothing();
    void rejectedUploadFile_data();
    void rejectedUploadFile();
    void silentControllerStopsTransfer_data();
    void silentControllerStopsTransfer();
};

void TestConfigTransferE2E::saveWritesControllerMemory()
{
    Bench b;
    QVERIFY(b.connect());
    const QString file = b.path(QStringLiteral("kesto.ks3"));
    b.dialogs.saveAnswers << file;
    b.entry("Saveconfig1")->trigger();
    QVERIFY(b.transfer().isRunning());
    QVERIFY(!b.window->isEnabled());
    QVERIFY(b.progress().isVisible());
    QVERIFY(!b.timer("Timer1")->isActive());
    QVERIFY(!b.timer("Timer2")->isActive());
    QVERIFY(b.waitIdle());

    QList<QByteArray> expected;
    for (int a = 0; a < kImageSize; a += kPageSize) {
        expected << "EG" + QByteArray::number(a) + '~';
    }
    QCOMPARE(b.receivedFrom("EG0~", 70), expected);
    QCOMPARE(b.sentStartingWith("EG"), expected);
    const QByteArray written = readFile(file);
    QCOMPARE(written.size(), 1400);
    QVERIFY(!written.contains('\r') && !written.contains('\n'));
    QCOMPARE(written, b.bench.controller().memory().toImageText().toLatin1());
    QCOMPARE(b.dialogs.fileDialogs.size(), 1);
    QCOMPARE(b.dialogs.fileDialogs.at(0).directory, b.window->context().configFolder);
    QCOMPARE(b.dialogs.fileDialogs.at(0).defaultSuffix, QStringLiteral("ks3"));
    QVERIFY(b.dialogs.messages.isEmpty());
    b.verifyIdle();
    // Polling goes on after the save.
    b.sent.clear();
    b.window->timer1Timer();
    QCOMPARE(b.sent, QList<QByteArray>{"q2~"});
}

void TestConfigTransferE2E::cancelledSaveWritesNothing()
{
    Bench b;
    QVERIFY(b.connect());
    b.entry("Saveconfig1")->trigger();
    QVERIFY(b.waitIdle());
    QCOMPARE(b.sentStartingWith("EG").size(), 70);
    QCOMPARE(b.dialogs.fileDialogs.size(), 1);
    QCOMPARE(QDir(b.folder.path()).entryList(QDir::Files), QStringList());
    QVERIFY(b.dialogs.messages.isEmpty());
    b.verifyIdle();
}

void TestConfigTransferE2E::failedWriteKeepsPreviousFile()
{
    Bench b;
    QVERIFY(b.connect());
    // No temporary file fits beside a name this long, so the write fails with the old file
    // in place.
    const QString file = b.path(QString(250, QLatin1Char('c')) + QStringLiteral(".ks3"));
    QVERIFY(writeFile(file, "a good old configuration"));
    b.dialogs.saveAnswers << file;
    b.entry("Saveconfig1")->trigger();
    QVERIFY(b.waitIdle());
    QCOMPARE(readFile(file), QByteArray("a good old configuration"));
    QCOMPARE(b.dialogs.messages.size(), 1);
    QVERIFY2(b.dialogs.messages.at(0).startsWith(kStopped), qPrintable(b.dialogs.messages.at(0)));
    QCOMPARE(QDir(b.folder.path()).entryList(QDir::Files).size(), 1);
    b.verifyIdle();
}

void TestConfigTransferE2E::uploadFillsControllerMemory_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<ConfigImage>("expected");
    const ConfigImage image = patternImage(5);
    const QByteArray hex = image.toImageText().toLatin1();
    QTest::newRow("hex file") << hex << image;
    QTest::newRow("700 decimal lines") << decimalLines(image, 700) << image;
    QTest::newRow("350 decimal lines") << decimalLines(image, 350) << zeroFrom(image, 350);
    QTest::newRow("1010 hex characters") << hex.left(1010) << zeroFrom(image, 505);
}

void TestConfigTransferE2E::uploadFillsControllerMemory()
{
    QFETCH(QByteArray, content);
    QFETCH(ConfigImage, expected);
    Bench b;
    QVERIFY(b.connect());
    QVERIFY(!(b.bench.controller().memory() == expected));
    const QString file = b.path(QStringLiteral("upload.kst"));
    QVERIFY(writeFile(file, content));
    b.dialogs.answers << true;
    b.dialogs.openAnswers << file;
    b.entry("UploadConfig1")->trigger();
    QVERIFY(b.waitIdle());

    QVERIFY(b.bench.controller().memory() == expected);
    QCOMPARE(b.sentStartingWith("EH").size(), 70);
    QCOMPARE(b.dialogs.messages, QStringList{kUploaded});
    QCOMPARE(b.dialogs.questions.size(), 1);
    QVERIFY(b.dialogs.questions.at(0).startsWith(
        QStringLiteral("After loading the config, the control unit will reboot.\n\r")));
    QVERIFY(b.dialogs.lastYesIsDefault);
    b.verifyIdle();
}

void TestConfigTransferE2E::savedFileUploadsBack()
{
    Bench b;
    QVERIFY(b.connect());
    const ConfigImage original = b.bench.controller().memory();
    const QString file = b.path(QStringLiteral("round.ks3"));
    b.dialogs.saveAnswers << file;
    b.entry("Saveconfig1")->trigger();
    QVERIFY(b.waitIdle());

    b.bench.controller().memory() = ConfigImage();
    b.dialogs.answers << true;
    b.dialogs.openAnswers << file;
    b.entry("UploadConfig1")->trigger();
    QVERIFY(b.waitIdle());
    QVERIFY(b.bench.controller().memory() == original);
    QCOMPARE(b.dialogs.messages, QStringList{kUploaded});
    b.verifyIdle();
}

void TestConfigTransferE2E::refusedUploadSendsNothing()
{
    Bench b;
    QVERIFY(b.connect());
    const ConfigImage before = b.bench.controller().memory();
    b.sent.clear();
    b.dialogs.answers << false;
    b.entry("UploadConfig1")->trigger();
    QVERIFY(b.sent.isEmpty());
    QVERIFY(b.dialogs.fileDialogs.isEmpty());
    QVERIFY(b.dialogs.messages.isEmpty());
    b.verifyIdle();
    QVERIFY(b.bench.controller().memory() == before);
}

void TestConfigTransferE2E::rejectedUploadFile_data()
{
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("open dialog cancelled") << false << QByteArray();
    QTest::newRow("short text") << true << QByteArray("0102030405");
}

void TestConfigTransferE2E::rejectedUploadFile()
{
    QFETCH(bool, chooseFile);
    QFETCH(QByteArray, content);
    Bench b;
    QVERIFY(b.connect());
    b.dialogs.answers << true;
    if (chooseFile) {
        const QString file = b.path(QStringLiteral("short.ks3"));
        QVERIFY(writeFile(file, content));
        b.dialogs.openAnswers << file;
    }
    b.sent.clear();
    b.entry("UploadConfig1")->trigger();
    QCOMPARE(b.dialogs.messages, QStringList{kIncorrectFile});
    QVERIFY(b.sentStartingWith("EH").isEmpty());
    b.verifyIdle();
}

void TestConfigTransferE2E::silentControllerStopsTransfer_data()
{
    QTest::addColumn<bool>("upload");
    QTest::addColumn<QByteArray>("lastAnswer"); // the controller falls silent after it
    QTest::addColumn<QByteArray>("unanswered");
    QTest::newRow("save") << false << QByteArray("EG300,") << QByteArray("EG310~");
    QTest::newRow("upload") << true << QByteArray("EH350~") << QByteArray("EH350,");
}

void TestConfigTransferE2E::silentControllerStopsTransfer()
{
    QFETCH(bool, upload);
    QFETCH(QByteArray, lastAnswer);
    QFETCH(QByteArray, unanswered);
    Bench b;
    QVERIFY(b.connect());
    sim::SimController &controller = b.bench.controller();
    QObject::connect(&controller, &sim::SimController::output, &controller,
                     [&controller, lastAnswer](const QByteArray &bytes) {
                         if (bytes.contains(lastAnswer)) {
                             controller.setSilent(true);
                         }
                     });
    const QString saveFile = b.path(QStringLiteral("never.ks3"));
    b.dialogs.saveAnswers << saveFile;
    if (upload) {
        const QString file = b.path(QStringLiteral("up.ks3"));
        QVERIFY(writeFile(file, patternImage(9).toImageText().toLatin1()));
        b.dialogs.answers << true;
        b.dialogs.openAnswers << file;
        b.entry("UploadConfig1")->trigger();
    } else {
        b.entry("Saveconfig1")->trigger();
    }
    // The request after the last answer goes out and stays unanswered.
    QVERIFY(waitUntil(
        [&] {
            return !b.sentStartingWith(unanswered.constData()).isEmpty() && controller.isSilent();
        },
        5000));
    QVERIFY(b.transfer().isRunning());
    QVERIFY(!b.window->isEnabled());
    QVERIFY(b.transfer().answerTimer()->isActive());
    QVERIFY(b.dialogs.messages.isEmpty());

    // Three seconds later.
    QMetaObject::invokeMethod(b.transfer().answerTimer(), "timeout", Qt::DirectConnection);
    QCOMPARE(b.dialogs.messages, QStringList{kNoAnswer});
    b.verifyIdle();
    QVERIFY(!QFile::exists(saveFile));
}

KESTO_TEST_MAIN(TestConfigTransferE2E)
#include "tst_config_transfer_e2e.moc"
