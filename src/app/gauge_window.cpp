#include "app/gauge_window.h"

#include "app/app_context.h"
#include "app/dial_meter_widget.h"
#include "i18n/caption_list.h"
#include "link/connection_facts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace kesto {

namespace {

constexpr int kRpmRed = 6000;
constexpr int kSpeedRed = 180;

// A live caption without its final colon ("RPM:" -> "RPM").
QString withoutLastChar(const QString &text)
{
    return text.left(text.size() - 1);
}

std::optional<int> wholeNumber(const QString &text)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? std::optional<int>(v) : std::nullopt;
}

} // namespace

GaugeWindow::GaugeWindow(AppContext &ctx, QWidget *parent)
    : QFrame(parent, Qt::Window | Qt::FramelessWindowHint), m_ctx(ctx)
{
    setObjectName(QStringLiteral("TForm20"));
    setWindowTitle(caption(256));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setFixedSize(kSide, kSide);

    struct Spec
    {
        int min, max, small, big;
        QString caption;
        const char *source;
    };
    const Spec specs[4] = {
        {0, 8000, 100, 1000, withoutLastChar(caption(124)), "rmp_label"},
        {0, 220, 5, 30, withoutLastChar(caption(126)), "speed_label"},
        {0, 100, 2, 10, withoutLastChar(caption(128)), "tps_label"},
        {0, 140, 5, 20, withoutLastChar(caption(130)) + QChar(0x00B0), "Label15"},
    };
    constexpr int kCell = 168;
    for (int i = 0; i < 4; ++i) {
        const int x = 6 + (i % 2) * kCell;
        const int y = 6 + (i / 2) * kCell;
        auto *dial = new DialMeterWidget(this);
        dial->setObjectName(QStringLiteral("sMeter%1").arg(i + 1));
        dial->setGeometry(x, y, 160, 146);
        dial->setRange(specs[i].min, specs[i].max);
        dial->setTickSteps(specs[i].small, specs[i].big);
        auto *label = new QLabel(specs[i].caption, this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(x, y + 146, 160, 16);
        m_meters[i] = Meter{dial, label, specs[i].source};
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &GaugeWindow::timer1Timer);

    ctx.registerWindow(this);
}

void GaugeWindow::placeBesideMainWindow()
{
    if (!m_ctx.mainWindow) {
        return;
    }
    const QRect main = m_ctx.mainWindow->frameGeometry();
    move(main.x() + main.width(), main.y() + kTopOffset);
}

QString GaugeWindow::sourceText(const char *labelName) const
{
    if (!m_ctx.mainWindow) {
        return {};
    }
    const auto *label = m_ctx.mainWindow->findChild<QLabel *>(QLatin1String(labelName));
    return label ? label->text() : QString();
}

void GaugeWindow::timer1Timer()
{
    const int warningLimit = m_ctx.facts ? m_ctx.facts->warningLimit : 100;
    const int thresholds[4] = {kRpmRed, kSpeedRed, -1, warningLimit};
    for (int i = 0; i < 4; ++i) {
        QString text = sourceText(m_meters[i].source);
        if (i == 3) {
            text = withoutLastChar(text); // the degree sign
        }
        const std::optional<int> value = wholeNumber(text);
        if (!value) {
            continue;
        }
        DialMeterWidget *dial = m_meters[i].dial;
        dial->setPosition(*value);
        const bool red = thresholds[i] >= 0 && dial->position() > thresholds[i];
        dial->setDialColor(red ? QColor(255, 0, 0) : QColor(Qt::black));
    }
}

void GaugeWindow::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    m_timer->start();
}

void GaugeWindow::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QFrame::hideEvent(event);
}

void GaugeWindow::closeEvent(QCloseEvent *event)
{
    m_timer->stop();
    event->accept(); // a secondary window is only hidden
}

} // namespace kesto
