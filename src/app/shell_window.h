#pragma once

#include <QWidget>

namespace kesto {

struct AppContext;

// A secondary window whose content is not built yet: its objectName and caption only. Like
// every secondary window it lives for the whole run and closing it only hides it.
class ShellWindow : public QWidget
{
    Q_OBJECT
public:
    ShellWindow(AppContext &ctx, const QString &objectName, const QString &caption,
                QWidget *parent = nullptr);
};

} // namespace kesto
