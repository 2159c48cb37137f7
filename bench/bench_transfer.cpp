// Whole-configuration save and upload, started from the main window's menu entries, against
// the bench controller with its answers paced like a real 115200-baud 8N2 line: once as
// kesto-sim in a process of its own (as a controller is a device of its own), once in-process
// (one thread for both sides, so no waiting for the other process to be scheduled). Prints each
// transfer's time beside the time its bytes need on the wire (11 bits per byte, both directions
// one after the other), their ratio, and the program's own CPU time.
// The kesto-sim command is looked for beside the build's bench folder, or given as argument 1.

#include "app/main_window.h"
#include "app/user_dialogs.h"
#include "config/config_file.h"
#include "config/config_image.h"
#include "config/config_progress_window.h"
#include "config/config_transfer.h"
#include "i18n/caption_list.h"
#include "link/clock.h"
#include "pty_bench.h"

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
    const Run &best = runs.first();
    const double wire = wireMs(median.sent + median.received);
    const double ratio = median.ms / wire;
    QList<double> cpu;
    for (const Run &r : runs) {
        cpu << r.cpuMs;
    }
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-6s median %6.1f ms (best %.1f, worst %.1f)  wire %6.1f ms for %lld bytes "
                "(%lld out, %lld in)  ratio %.3f, best %.3f (target <= %.2f) %s  "
                "program CPU %.1f ms\n",
                what, median.ms, best.ms, runs.last().ms, wire,
                static_cast<long long>(median.sent + median.received),
                static_cast<long long>(median.sent), static_cast<long long>(median.received), ratio,
                best.ms / wireMs(best.sent + best.received), kTarget,
                ratio <= kTarget ? "ok" : "OVER", cpu.at(cpu.size() / 2));
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

// Saves and uploads over the device kRuns times each; false when a transfer went wrong.
bool measure(const QString &device, const char *label, BenchDialogs &dialogs)
{
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
        return false;
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

    bool failed = false;
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
            failed = true;
        }
        return r;
    };

    QList<Run> saves;
    QList<Run> uploads;
    for (int i = 0; i < kRuns && !failed; ++i) {
        saves << runOnce(saveEntry, {});
        uploads << runOnce(uploadEntry, {caption(223)});
    }
    // The last save reads what the upload before it wrote.
    QFile::remove(dialogs.savePath);
    saves << runOnce(saveEntry, {});
    QFile saved(dialogs.savePath);
    QFile uploaded(dialogs.uploadPath);
    if (failed || !saved.open(QIODevice::ReadOnly) || !uploaded.open(QIODevice::ReadOnly) ||
        saved.readAll() != uploaded.readAll()) {
        std::fprintf(stderr, "the saved file is not the uploaded image\n");
        return false;
    }
    window.button1Click();

    std::printf("%s, median of %lld saves and %lld uploads:\n", label,
                static_cast<long long>(saves.size()), static_cast<long long>(uploads.size()));
    report("save", saves);
    report("upload", uploads);
    return true;
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
    std::printf("whole-configuration transfer from the menu at %d baud\n", kBaud);

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
    const bool apart = measure(QString::fromLocal8Bit(sim.readLine()).trimmed(),
                               "kesto-sim in its own process", dialogs);
    sim.terminate();
    sim.waitForFinished(3000);

    sim::SimOptions options;
    options.wireRate = kBaud;
    options.modelTickMs = 0;
    sim::PtyBench bench(options);
    if (!bench.start()) {
        std::fprintf(stderr, "bench controller: %s\n", qPrintable(bench.errorString()));
        return 1;
    }
    const bool together = measure(bench.devicePath(), "bench controller in-process", dialogs);

    std::printf("(the pty paces only the controller's answers; the program's commands cross it "
                "at once, so the upload, mostly commands, can beat its wire time)\n");
    return apart && together ? 0 : 1;
}
