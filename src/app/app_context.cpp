#include "app/app_context.h"

#include "link/controller_link.h"

#include <QWidget>

namespace kesto {

void AppContext::send(const QByteArray &command) const
{
    if (link) {
        link->send(command);
    }
}

void AppContext::registerWindow(QWidget *w)
{
    windows.insert(w->objectName(), w);
    windowOrder << w->objectName();
}

} // namespace kesto
