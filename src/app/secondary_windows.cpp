#include "app/secondary_windows.h"

#include "app/app_context.h"
#include "app/gauge_window.h"
#include "app/shell_window.h"
#include "editors/shift_map_description.h"
#include "editors/table_editor_window.h"
#include "i18n/caption_list.h"
#include "monitor/emulation_panel.h"
#include "monitor/log_viewer_window.h"

#include <QWidget>

namespace kesto {

namespace {

void shell(AppContext &ctx, const char *objectName, const QString &caption)
{
    new ShellWindow(ctx, QLatin1String(objectName), caption);
}

void shiftMap(AppContext &ctx, int pair)
{
    new TableEditor(ctx, shiftMapDescription(pair));
}

} // namespace

void createSecondaryWindows(AppContext &ctx)
{
    // One line per window, in the start-up order. A window whose own class has not landed is
    // an empty shell with its caption.
    shell(ctx, "TForm3", caption(154));                  // TPS calibration
    shell(ctx, "TForm4", caption(0));                    // main options
    shiftMap(ctx, 1);                                    // TForm5, 1-2 shift map
    shiftMap(ctx, 2);                                    // TForm6, 2-3 shift map
    shiftMap(ctx, 3);                                    // TForm7, 3-4 shift map
    shell(ctx, "TForm8", caption(168));                  // full-throttle shift
    shell(ctx, "TForm9", caption(224));                  // SLT pressure map
    new EmulationPanel(ctx);                             // TForm10, emulation panel
    shiftMap(ctx, 4);                                    // TForm11, 4-5 shift map
    shiftMap(ctx, 5);                                    // TForm12, 5-6 shift map
    shell(ctx, "TForm13", caption(226));                 // lockup map
    shell(ctx, "TForm14", caption(225));                 // SLN pressure map
    new LogViewerWindow(ctx);                            // TForm15, log viewer
    shell(ctx, "TForm16", caption(227));                 // AWD table
    shell(ctx, "TForm19", caption(245));                 // firmware update
    new GaugeWindow(ctx);                                // TForm20, gauges
    shell(ctx, "TForm21", caption(257));                 // temperature calibration
    shell(ctx, "TForm22", caption(285));                 // last-gear lockup map
    shell(ctx, "TForm23", QStringLiteral("saving..."));  // "saving..." overlay
    shell(ctx, "TForm24", caption(411));                 // A650 shift
    shell(ctx, "TForm25", QStringLiteral("config..."));  // "config..." progress

    for (const QPointer<QWidget> &w : std::as_const(ctx.windows)) {
        if (w) {
            w->setAttribute(Qt::WA_QuitOnClose, false);
        }
    }
}

void destroySecondaryWindows(AppContext &ctx)
{
    const auto windows = ctx.windows;
    ctx.windows.clear();
    ctx.windowOrder.clear();
    for (const QPointer<QWidget> &w : windows) {
        delete w.data();
    }
}

} // namespace kesto
