// One hour of file logging at ten rows a second: what it costs in memory and how long the stop
// takes. Prints its figures; not a test.
#include "link/answer_frame.h"
#include "monitor/file_log.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

using namespace kesto;

namespace {

// Resident memory in kB (Linux); -1 where it cannot be read.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    constexpr int kRows = 36000;

    QTemporaryDir dir;
    FileLog log(dir.filePath(QStringLiteral("log")), LogStamp(QLocale(QStringLiteral("en_GB"))));
    const QDateTime start(QDate(2026, 12, 10), QTime(14, 0, 0));

    // Frames as the controller sends them, parsed beforehand: only the log is measured.
    QList<AnswerFrame> frames;
    for (int i = 0; i < 100; ++i) {
        frames << AnswerFrame::fromFrameText(
            QStringLiteral("z4%1,%2,%3,3,4,1,200,100,2,%4,0,0,50,255,0")
                .arg(800 + i * 37)
                .arg(i % 120)
                .arg(i % 100)
                .arg(60 + i % 40));
    }
    const LivePanelTexts panel{QStringLiteral("22"), QStringLiteral("61"), QStringLiteral("19"),
                               QStringLiteral("102")};

    const qint64 rssBefore = residentKb();
    QElapsedTimer timer;
    timer.start();
    log.start(start);
    qint64 slowestRowNs = 0;
    QElapsedTimer rowTimer;
    for (int i = 0; i < kRows; ++i) {
        rowTimer.start();
        log.appendRow(frames.at(i % frames.size()), panel, start.addMSecs(i * 100LL));
        slowestRowNs = std::max(slowestRowNs, rowTimer.nsecsElapsed());
    }
    const qint64 appendNs = timer.nsecsElapsed();
    const qint64 rssAfterRows = residentKb();

    timer.restart();
    const QString path = log.stop(start.addSecs(3600));
    const qint64 stopNs = timer.nsecsElapsed();

    out << "rows:                     " << kRows << "\n";
    out << "file size:                " << QFileInfo(path).size() / 1024 << " kB\n";
    out << "mean row cost:            " << appendNs / kRows / 1000.0 << " us\n";
    out << "slowest row:              " << slowestRowNs / 1000.0 << " us\n";
    out << "all rows (1 h of data):   " << appendNs / 1e6 << " ms\n";
    out << "resident memory growth:   " << (rssAfterRows - rssBefore) << " kB\n";
    out << "stop (write + rename):    " << stopNs / 1e3 << " us\n";
    return 0;
}
