#pragma once

#include <QWidget>

namespace kesto {

struct AppContext;

// Bench inputs from the host: each button sends one fixed emulation command. Opening the panel
// puts the controller into emulation, closing it ends emulation.
class EmulationPanel : public QWidget
{
    Q_OBJECT
public:
    explicit EmulationPanel(AppContext &ctx, QWidget *parent = nullptr);

    // The hidden menu's "Emulation" entry: "m1~", placed beside the main window, shown.
    void open();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    AppContext &m_ctx;
};

} // namespace kesto
