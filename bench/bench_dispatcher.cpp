// Pushes a long stream of live-data frames through the dispatcher in realistic chunks and prints
// frames per second.
#include "link/receive_buffer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <ctime>

namespace {
// CPU time of this thread: the machines are shared, so wall time says little about our cost.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}
} // namespace

int main()
{
    using namespace kesto;
    const QByteArray frame = "z42150,87,34,4,4,1,120,200,100,88,0,0,45,180,0~";
    constexpr int kFrames = 2'000'000;

    QByteArray stream;
    stream.reserve(qsizetype(frame.size()) * kFrames);
    for (int i = 0; i < kFrames; ++i) {
        stream += frame;
    }
    // Serial reads arrive in pieces of a few dozen to a few hundred bytes.
    QList<QByteArray> chunks;
    QRandomGenerator rng(42);
    for (qsizetype pos = 0; pos < stream.size();) {
        const qsizetype n = qMin<qsizetype>(16 + rng.bounded(240), stream.size() - pos);
        chunks.append(stream.mid(pos, n));
        pos += n;
    }

    Dispatcher dispatcher;
    quint64 fields = 0;
    quint64 stamps = 0;
    dispatcher.setHandler(QStringLiteral("z4"),
                          [&](const AnswerFrame &f) { fields += quint64(f.fields.size()); }, true);
    dispatcher.setStamp([&] { ++stamps; });

    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuSeconds();
    for (const QByteArray &c : chunks) {
        dispatcher.receive(c);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpuStart;
    if (dispatcher.framesHandled() != quint64(kFrames) || fields != quint64(kFrames) * 15) {
        std::fprintf(stderr, "wrong count: %llu frames, %llu fields\n",
                     static_cast<unsigned long long>(dispatcher.framesHandled()),
                     static_cast<unsigned long long>(fields));
        return 1;
    }
    std::printf("dispatcher: %d live-data frames in %lld chunks: %.3f s CPU, %.0f frames/s of CPU "
                "time (target >= 1000000); wall %.3f s, %.0f frames/s\n",
                kFrames, static_cast<long long>(chunks.size()), cpu, kFrames / cpu, seconds,
                kFrames / seconds);
    return 0;
}
