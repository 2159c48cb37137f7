#include "app/shell_window.h"

#include "app/app_context.h"

namespace kesto {

ShellWindow::ShellWindow(AppContext &ctx, const QString &objectName, const QString &caption,
                         QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    // A hidden top-level QWidget is only hidden by close(); no WA_DeleteOnClose.
    resize(300, 200);
    ctx.registerWindow(this);
}

} // namespace kesto
