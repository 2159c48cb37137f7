// Whole-configuration save and upload against the bench controller on a pty, its answers paced
// like a real 115200-baud 8N2 line. Prints each transfer's time beside the time the same bytes
// need on the wire (11 bits per byte, both directions one after the other), and their ratio.

#include "config/config_file.h"
#include "config/config_image.h"
#include "config/config_transfer.h"
#include "i18n/caption_list.h"
#include "link/controller_link.h"
#include "link/receive_buffer.h"
#include "pty_bench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace kesto;

namespace {

constexpr int kBaud = 115200;
constexpr int kBitsPerByte = 11; // start, 8 data, 2 stop
constexpr int kRuns = 5;
constexpr double kTarget = 1.15;

// Answers every question at once and picks fixed files.
class BenchView : public TransferView
{
public:
    QString saveFile;
    QString uploadFile;
    QStringList messages;

    bool confirmUpload(const QString &) override { return true; }
    QString chooseSaveFile() override { return saveFile; }
    QString chooseUploadFile() override { return uploadFile; }
    void showMessage(const QString &text) override { messages << text; }
    void coverMainWindow() override {}
    void setProgressShown(bool) override {}
    void setProgressValue(int) override {}
    void setProgressText(const QString &) override {}
    void setMainWindowEnabled(bool) override {}
};

struct Run
{
    double ms = 0;
    qint64 sent = 0;       // host to controller
    qint64 received = 0;   // controller to host
    double handlingMs = 0; // inside the dispatcher: cutting frames, the handlers, the next send
    bool ok = false;
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
    std::printf("%-7s %7.1f ms (min %.1f, max %.1f)  wire %7.1f ms for %lld bytes (%lld out, "
                "%lld in; %.1f ms of them in)  ratio %.3f (target <= %.2f) %s; host handling "
                "%.2f ms\n",
                what, median.ms, runs.first().ms, runs.last().ms, wire,
                static_cast<long long>(median.sent + median.received),
                static_cast<long long>(median.sent), static_cast<long long>(median.received),
                wireMs(median.received), ratio, kTarget, ratio <= kTarget ? "ok" : "OVER",
                median.handlingMs);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    sim::SimOptions options;
    options.wireRate = kBaud;
    options.modelTickMs = 0; // the car stands still: no live data is asked for anyway
    options.rebootMs = 0;
    sim::PtyBench bench(options);
    if (!bench.start()) {
        std::fprintf(stderr, "bench controller: %s\n", qPrintable(bench.errorString()));
        return 1;
    }

    ControllerLink link;
    if (!link.open(bench.devicePath())) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(bench.devicePath()));
        return 1;
    }
    Dispatcher dispatcher;
    qint64 received = 0;
    qint64 handlingNs = 0;
    QObject::connect(&link, &ControllerLink::bytesReceived, &link, [&](const QByteArray &bytes) {
        received += bytes.size();
        QElapsedTimer t;
        t.start();
        dispatcher.receive(bytes);
        handlingNs += t.nsecsElapsed();
    });
    qint64 sent = 0;
    QTimer timer1;
    QTimer timer2;
    BenchView view;
    ConfigTransfer transfer(
        dispatcher,
        [&](const QByteArray &command) {
            sent += command.size();
            link.send(command);
        },
        &timer1, &timer2, view);

    QTemporaryDir folder;
    view.saveFile = folder.filePath(QStringLiteral("bench.ks3"));
    view.uploadFile = folder.filePath(QStringLiteral("upload.ks3"));
    {
        ConfigImage image;
        for (int a = 0; a < kImageSize; ++a) {
            image.set(a, (a * 29 + 3) & 0xFF);
        }
        writeHexFile(view.uploadFile, image.toImageText());
    }

    auto runOnce = [&](bool upload) {
        sent = 0;
        received = 0;
        handlingNs = 0;
        view.messages.clear();
        bench.controller().setSilent(false);
        QElapsedTimer clock;
        clock.start();
        upload ? transfer.startUpload() : transfer.startSave();
        while (transfer.isRunning()) {
            app.processEvents(QEventLoop::WaitForMoreEvents);
        }
        Run r;
        r.ms = double(clock.nsecsElapsed()) / 1e6;
        r.sent = sent;
        r.received = received;
        r.handlingMs = double(handlingNs) / 1e6;
        // A save ends without a word, an upload with its success message only.
        r.ok = upload ? view.messages == QStringList{caption(223)} : view.messages.isEmpty();
        // Let the controller finish its restart and drop anything left on the line.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 50) {
            app.processEvents(QEventLoop::AllEvents, 10);
        }
        return r;
    };

    QList<Run> saves;
    QList<Run> uploads;
    for (int i = 0; i < kRuns; ++i) {
        saves << runOnce(false);
        uploads << runOnce(true);
    }
    for (const QList<Run> *runs : {&saves, &uploads}) {
        for (const Run &r : *runs) {
            if (!r.ok) {
                std::fprintf(stderr, "a transfer did not complete: %s\n",
                             qPrintable(view.messages.join(QLatin1String(" / "))));
                return 1;
            }
        }
    }
    const QByteArray savedFile = [&] {
        QFile f(view.saveFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    if (savedFile.size() != kImageTextSize) {
        std::fprintf(stderr, "the saved file holds %lld bytes\n",
                     static_cast<long long>(savedFile.size()));
        return 1;
    }

    std::printf("whole-configuration transfer at %d baud, median of %d runs\n", kBaud, kRuns);
    report("save", saves);
    report("upload", uploads);
    std::printf("(the pty paces only the controller's answers; the host's commands cross it at "
                "once, so a transfer that is mostly commands, the upload, beats its wire time)\n");
    return 0;
}
