// Whole-configuration save and upload, started from the main window's menu entries, against
// kesto-sim in a process of its own (as a controller is a device of its own) with its answers
// paced like a real 115200-baud 8N2 line. Prints each transfer's time beside the time its bytes
// need on the wire (11 bits per byte, both directions one after the other) and their ratio.
// The kesto-sim command is looked for beside the build's bench folder, or given as argument 1.

#include "app/main_window.h"
#include "app/user_dialogs.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/config_progress_window.h"
#include "config/config_transfer.h"
#include "i18n/caption_list.h"
#include "link/clock.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace kesto;

namespace {

constexpr int kBaud = 115200;
constexpr int kBitsPerByte = 11; // start, 8 data, 2 stop
constexpr int kRuns = 7;
constexpr double kTarget = 1.15;

// Says Yes, picks fixed files and keeps the messages.
class BenchDialogs : public UserDialogs
{
public:
    QString savePath;
    QString uploadPath;
    QStringList messages;

    void showMessage(const QString &text) override { messages << text; }
    bool askYesNo(const QString &, bool) override { return true; }
    bool askOkCancel(const QString &) override { return true; }
    QString openFile(const FileDialogSpec &) override { return uploadPath; }
    QString saveFile(const FileDialogSpec &) override { return savePath; }
};

// CPU time of the whole program (its painting threads included): the machines are shared, so
// wall time also counts the waits for a processor.
double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Run
{
    double ms = 0;
    double cpuMs = 0;
    qint64 sent = 0;     // host to controller, page commands
    qint64 received = 0; // controller to host, page answers
};

double wireMs(qint64 bytes)
{
    return 1000.0 * double(bytes) * kBitsPerByte / kBaud;
}

void report(const char *what, QList<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.ms < b.ms; });
    const Run &median = runs.at(runs.size() / 2);
    const double wire = wireMs(median.sent + median.received);
    const double ratio = median.ms / wire;
    std::printf("%-6s %7.1f ms (min %.1f, max %.1f)  wire %6.1f ms for %lld bytes (%lld out, "
                "%lld in)  ratio %.3f (target <= %.2f) %s\n",
                what, median.ms, runs.first().ms, runs.last().ms, wire,
                static_cast<long long>(median.sent + median.received),
                static_cast<long long>(median.sent), static_cast<long long>(median.received), ratio,
                kTarget, ratio <= kTarget ? "ok" : "OVER");
}

// Runs the event loop until the condition holds or the time is up.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(20);
    while (!condition() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return condition();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    BenchDialogs dialogs;
    UserDialogs::install(&dialogs);

    const QString simPath =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/kesto-sim");
    QProcess sim;
    sim.setProgram(simPath);
    sim.setArguments({QStringLiteral("--wire-rate"), QString::number(kBaud),
                      QStringLiteral("--model-tick"), QStringLiteral("0")});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    if (!sim.waitForStarted(5000) || !waitUntil([&] { return sim.canReadLine(); }, 5000)) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(simPath));
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    FakeClock clock; // the watchdog stays calm while the bench waits between runs
    MainWindowOptions windowOptions;
    windowOptions.clock = &clock;
    windowOptions.enumeratePorts = false;
    windowOptions.extraPorts = {device};
    windowOptions.selectPort = device;
    MainWindow window(windowOptions);
    window.show();
    window.button1Click();
    window.timer1Timer();
    if (!waitUntil([&] { return window.facts().handshakeDone; }, 5000)) {
        std::fprintf(stderr, "no handshake with the bench controller\n");
        return 1;
    }
    auto *progress = window.context().windowAs<ConfigProgressWindow>(QStringLiteral("TForm25"));
    ConfigTransfer &transfer = progress->transfer();
    QAction *saveEntry = window.findChild<QAction *>(QStringLiteral("Saveconfig1"));
    QAction *uploadEntry = window.findChild<QAction *>(QStringLiteral("UploadConfig1"));

    // Only the page exchange counts: a live data answer may still be on its way at the start.
    qint64 sent = 0;
    qint64 received = 0;
    QByteArray partial;
    QObject::connect(&window.link(), &ControllerLink::commandSent, &window,
                     [&](const QByteArray &command) {
                         if (command.startsWith("EG") || command.startsWith("EH")) {
                             sent += command.size();
                         }
                     });
    QObject::connect(
        &window.link(), &ControllerLink::bytesReceived, &window, [&](const QByteArray &bytes) {
            partial += bytes;
            for (qsizetype end = partial.indexOf('~'); end >= 0; end = partial.indexOf('~')) {
                if (partial.startsWith("EG") || partial.startsWith("EH")) {
                    received += end + 1;
                }
                partial.remove(0, end + 1);
            }
        });

    QTemporaryDir folder;
    dialogs.savePath = folder.filePath(QStringLiteral("bench.ks3"));
    dialogs.uploadPath = folder.filePath(QStringLiteral("upload.ks3"));
    {
        ConfigImage image;
        for (int a = 0; a < kImageSize; ++a) {
            image.set(a, (a * 29 + 3) & 0xFF);
        }
        writeHexFile(dialogs.uploadPath, image.toImageText());
    }

    auto runOnce = [&](QAction *entry, const QStringList &expectedMessages) {
        // A quiet line first: the live data poll is answered and the controller is back from
        // its restart after an upload.
        QElapsedTimer pause;
        pause.start();
        waitUntil([&] { return pause.elapsed() >= 500; }, 1000);
        sent = 0;
        received = 0;
        dialogs.messages.clear();
        const double cpuStart = cpuMs();
        QElapsedTimer stopwatch;
        stopwatch.start();
        entry->trigger();
        const bool ended = waitUntil([&] { return !transfer.isRunning(); }, 10000);
        Run r;
        r.ms = double(stopwatch.nsecsElapsed()) / 1e6;
        r.cpuMs = cpuMs() - cpuStart;
        r.sent = sent;
        r.received = received;
        if (!ended || dialogs.messages != expectedMessages) {
            std::fprintf(stderr, "a transfer did not complete: %s\n",
                         qPrintable(dialogs.messages.join(QLatin1String(" / "))));
            std::exit(1);
        }
        return r;
    };

    QList<Run> saves;
    QList<Run> uploads;
    for (int i = 0; i < kRuns; ++i) {
        saves << runOnce(saveEntry, {});
        uploads << runOnce(uploadEntry, {caption(223)});
    }
    // The last save read what the upload before it wrote.
    saves << runOnce(saveEntry, {});
    QFile saved(dialogs.savePath);
    QFile uploaded(dialogs.uploadPath);
    if (!saved.open(QIODevice::ReadOnly) || !uploaded.open(QIODevice::ReadOnly) ||
        saved.readAll() != uploaded.readAll()) {
        std::fprintf(stderr, "the saved file is not the uploaded image\n");
        return 1;
    }

    std::printf("whole-configuration transfer from the menu at %d baud against kesto-sim, median "
                "of %lld saves and %lld uploads\n",
                kBaud, static_cast<long long>(saves.size()),
                static_cast<long long>(uploads.size()));
    report("save", saves);
    report("upload", uploads);
    std::printf("(the pty paces only the controller's answers; the program's commands cross it "
                "at once, so the upload, mostly commands, can beat its wire time)\n");
    window.button1Click();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
