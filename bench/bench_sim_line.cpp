// The bench controller's line: how long a whole-configuration read (70 page requests, each sent
// after the previous answer) takes over its pty, unpaced and paced like a 115200-baud 8N2 line,
// against the time the answers alone need on such a wire.
#include "pty_bench.h"

#include "link/commands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

#include <cstdio>

using namespace kesto;
using namespace kesto::sim;

namespace {

struct Figures
{
    double ms = 0;
    qint64 answerBytes = 0;
};

Figures readAllPages(int wireRate)
{
    SimOptions options;
    options.modelTickMs = 0;
    options.wireRate = wireRate;
    PtyBench bench(options);
    if (!bench.start()) {
        std::fprintf(stderr, "cannot start: %s\n", qPrintable(bench.errorString()));
        std::exit(1);
    }
    QSerialPort port;
    port.setPortName(bench.devicePath());
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(bench.devicePath()));
        std::exit(1);
    }
    Figures f;
    QByteArray in;
    int page = 0;
    QEventLoop loop;
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        in += port.readAll();
        while (in.contains('~')) {
            const qsizetype end = in.indexOf('~') + 1;
            f.answerBytes += end;
            in.remove(0, end);
            if (++page == kPageCount) {
                loop.quit();
                return;
            }
            port.write(cmd::pageRead(page * kPageSize));
        }
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    port.write(cmd::pageRead(0));
    loop.exec();
    f.ms = timer.nsecsElapsed() / 1e6;
    if (page != kPageCount) {
        std::fprintf(stderr, "only %d pages arrived\n", page);
        std::exit(1);
    }
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = 5;
    for (const int rate : {0, 115200}) {
        double best = 1e9, total = 0;
        qint64 bytes = 0;
        for (int i = 0; i < rounds; ++i) {
            const Figures f = readAllPages(rate);
            best = std::min(best, f.ms);
            total += f.ms;
            bytes = f.answerBytes;
        }
        const double wireMs = bytes * 11 * 1000.0 / 115200;
        std::printf("70 pages, %s: best %.1f ms, mean %.1f ms; %lld answer bytes = %.1f ms of "
                    "115200-baud wire\n",
                    rate ? "paced at 115200 baud" : "unpaced", best, total / rounds,
                    static_cast<long long>(bytes), wireMs);
    }
    return 0;
}
