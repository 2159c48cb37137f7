// Cost of one keystroke in a shift map editor: key filter, change check, chart rebuilt from the
// cells (three series with the overlay on) and one replot. Target: at most 2 ms per keystroke.
// With "--grab <file.png>" it also saves a picture of the editor as measured, and with
// "--lang ru" the editors are built with that caption list.
#include "app/app_context.h"
#include "editors/editor_chart_widget.h"
#include "editors/shift_map_description.h"
#include "editors/table_editor_window.h"
#include "i18n/caption_list.h"
#include "link/connection_facts.h"
#include "link/controller_link.h"
#include "link/receive_buffer.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

using namespace kesto;

namespace {

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.at(std::min(v.size() - 1, static_cast<size_t>(p * double(v.size()))));
}

// CPU time of this thread: on a busy machine the wall clock mostly measures the other processes.
double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void press(QWidget *target, int key, const QString &text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int grabAt = int(args.indexOf(QStringLiteral("--grab")));
    const int langAt = int(args.indexOf(QStringLiteral("--lang")));
    if (langAt >= 0 && langAt + 1 < args.size()) {
        CaptionList::current().setRows(args.at(langAt + 1), CaptionList::load(args.at(langAt + 1)));
    }

    QWidget mainWindow;
    mainWindow.setGeometry(100, 100, 220, 388);
    QBuffer wire;
    wire.open(QIODevice::ReadWrite);
    ControllerLink link;
    link.attach(&wire);
    Dispatcher dispatcher;
    ConnectionFacts facts;
    QTimer timer1;
    QTimer timer2;
    AppContext ctx;
    ctx.link = &link;
    ctx.dispatcher = &dispatcher;
    ctx.facts = &facts;
    ctx.mainWindow = &mainWindow;
    ctx.pollTimer = &timer1;
    ctx.watchdogTimer = &timer2;
    int errors = 0;
    ctx.reportError = [&errors](const QString &) { ++errors; };

    std::array<std::unique_ptr<TableEditor>, kShiftMapCount> editors;
    for (int p = 1; p <= kShiftMapCount; ++p) {
        editors[p - 1] = std::make_unique<TableEditor>(ctx, shiftMapDescription(p));
    }
    TableEditor &editor = *editors[0];
    dispatcher.receive("EA0,6,13,20,33,47,60,73,14,14,14,14,20,32,42,50,5,5,6,8,15,26,38,45~");
    editor.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(true);
    QApplication::processEvents();

    QLineEdit *cell = editor.cell(QStringLiteral("Edit13"));
    cell->setFocus();
    cell->setCursorPosition(int(cell->text().size()));

    constexpr int kWarmup = 50;
    constexpr int kKeystrokes = 2000;
    std::vector<double> ms;
    std::vector<double> cpu;
    ms.reserve(kKeystrokes);
    cpu.reserve(kKeystrokes);
    const int replotsBefore = editor.chart()->replotCount();
    QElapsedTimer clock;
    for (int i = 0; i < kWarmup + kKeystrokes; ++i) {
        // Alternately type a digit and take it back: every key changes the cell.
        const bool digit = i % 2 == 0;
        clock.start();
        const double cpuStart = threadMs();
        if (digit) {
            press(cell, Qt::Key_5, QStringLiteral("5"));
        } else {
            press(cell, Qt::Key_Backspace, QStringLiteral("\b"));
        }
        const double elapsed = double(clock.nsecsElapsed()) / 1e6;
        const double cpuElapsed = threadMs() - cpuStart;
        if (i >= kWarmup) {
            ms.push_back(elapsed);
            cpu.push_back(cpuElapsed);
        }
    }
    const int replots = editor.chart()->replotCount() - replotsBefore;

    auto mean = [](const std::vector<double> &v) {
        double sum = 0;
        for (double x : v) {
            sum += x;
        }
        return sum / double(v.size());
    };
    std::printf("keystrokes: %d, replots: %d, errors: %d\n", kWarmup + kKeystrokes, replots,
                errors);
    std::printf("per keystroke, CPU time: mean %.3f ms, median %.3f ms, p99 %.3f ms "
                "(target <= 2 ms)\n",
                mean(cpu), percentile(cpu, 0.5), percentile(cpu, 0.99));
    std::printf(
        "per keystroke, wall time: mean %.3f ms, median %.3f ms, p99 %.3f ms, max %.3f ms\n",
        mean(ms), percentile(ms, 0.5), percentile(ms, 0.99), percentile(ms, 1.0));

    if (qEnvironmentVariableIsSet("KESTO_BENCH_DETAIL")) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 500; ++i)
            editor.chart()->replot();
        std::printf("replot alone: %.3f ms\n", double(t.nsecsElapsed()) / 1e6 / 500);
        t.start();
        for (int i = 0; i < 500; ++i)
            editor.chart()->replot(QCustomPlot::rpQueuedRefresh);
        std::printf("replot queued refresh: %.3f ms\n", double(t.nsecsElapsed()) / 1e6 / 500);
        editor.chart()->setNotAntialiasedElements(QCP::aeAll);
        t.start();
        for (int i = 0; i < 500; ++i)
            editor.chart()->replot(QCustomPlot::rpQueuedRefresh);
        std::printf("no antialias: %.3f ms\n", double(t.nsecsElapsed()) / 1e6 / 500);
    }
    if (grabAt >= 0 && grabAt + 1 < args.size()) {
        const QString path = args.at(grabAt + 1);
        const bool saved = editor.grab().save(path);
        std::printf("picture %s: %s\n", qPrintable(path), saved ? "saved" : "NOT saved");
    }
    return 0;
}
