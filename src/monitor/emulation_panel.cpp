#include "monitor/emulation_panel.h"

#include "app/app_context.h"
#include "link/commands.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>

namespace kesto {

namespace {

struct GroupSpec
{
    const char *name;
    const char *title;
    int x, y, w, h;
};

struct ButtonSpec
{
    int group; // index into kGroups
    const char *name;
    const char *caption;
    const char *command; // short name for cmd::emulation
    int x, y, w, h;      // inside its group box
};

constexpr int kSquare = 23;
constexpr int kWide = 85;

constexpr GroupSpec kGroups[] = {
    {"GroupBox1", "SELECTOR", 8, 8, 81, 185},   {"GroupBox2", "MODE", 95, 8, 103, 101},
    {"GroupBox3", "TPS", 95, 113, 103, 101},    {"GroupBox4", "TACHO", 205, 8, 103, 101},
    {"GroupBox5", "SPEED", 205, 113, 103, 101},
};

// The controller reports park and neutral as one selector state, so "P" and "N" send the same.
constexpr ButtonSpec kButtons[] = {
    {0, "Button1", "P", "n66", 10, 20, kSquare, kSquare},
    {0, "Button2", "R", "n65", 10, 46, kSquare, kSquare},
    {0, "Button3", "N", "n66", 10, 72, kSquare, kSquare},
    {0, "Button4", "D", "n64", 10, 98, kSquare, kSquare},
    {0, "Button7", "3", "n63", 40, 98, kSquare, kSquare},
    {0, "Button5", "2", "n62", 10, 124, kSquare, kSquare},
    {0, "Button6", "L", "n61", 10, 150, kSquare, kSquare},
    {1, "Button14", "SHIFTMODE", "n5", 9, 18, kWide, kSquare},
    {1, "Button15", "GEARUP", "n3", 9, 45, kWide, kSquare},
    {1, "Button16", "GEARDN", "n4", 9, 72, kWide, kSquare},
    {2, "Button17", "TPS UP", "m9", 9, 18, kWide, kSquare},
    {2, "Button18", "TPS DN", "n1", 9, 45, kWide, kSquare},
    {2, "Button19", "Zero", "n2", 9, 72, kWide, kSquare},
    {3, "Button11", "RMP UP", "m3", 9, 18, kWide, kSquare},
    {3, "Button12", "RMP DN", "m4", 9, 45, kWide, kSquare},
    {3, "Button13", "Zero", "m5", 9, 72, kWide, kSquare},
    {4, "Button8", "SpeedUP", "m6", 9, 18, kWide, kSquare},
    {4, "Button9", "SpeedDN", "m7", 9, 45, kWide, kSquare},
    {4, "Button10", "Zero", "m8", 9, 72, kWide, kSquare},
};

} // namespace

EmulationPanel::EmulationPanel(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_ctx(ctx)
{
    setObjectName(QStringLiteral("TForm10"));
    setWindowTitle(QStringLiteral("Emulation"));
    setFixedSize(316, 222);

    QList<QGroupBox *> boxes;
    for (const GroupSpec &g : kGroups) {
        auto *box = new QGroupBox(QString::fromLatin1(g.title), this);
        box->setObjectName(QString::fromLatin1(g.name));
        box->setGeometry(g.x, g.y, g.w, g.h);
        boxes << box;
    }
    for (const ButtonSpec &b : kButtons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), boxes.at(b.group));
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(b.x, b.y, b.w, b.h);
        const QByteArray command = cmd::emulation(b.command);
        connect(button, &QPushButton::clicked, this, [this, command] { m_ctx.send(command); });
    }
    m_ctx.registerWindow(this);
}

void EmulationPanel::open()
{
    m_ctx.send(cmd::emulationStart());
    if (m_ctx.mainWindow) {
        move(m_ctx.mainWindow->pos() + QPoint(20, 20));
    }
    show();
    raise();
    activateWindow();
}

void EmulationPanel::closeEvent(QCloseEvent *event)
{
    m_ctx.send(cmd::emulationEnd());
    event->accept();
}

} // namespace kesto
