#include "config/arc_gauge_widget.h"

#include <QPainter>
#include <QTimer>

namespace kesto {

namespace {
// The arc opens at the bottom: it starts at the lower left and runs clockwise over 270 degrees.
constexpr int kStartAngle = 225 * 16;
constexpr int kFullSpan = -270 * 16;
} // namespace

ArcGaugeWidget::ArcGaugeWidget(QWidget *parent) : QWidget(parent), m_repaintTimer(new QTimer(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_repaintTimer->setSingleShot(true);
    connect(m_repaintTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void ArcGaugeWidget::scheduleRepaint()
{
    if (m_repaintTimer->isActive()) {
        return;
    }
    const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : kRepaintIntervalMs;
    if (since >= kRepaintIntervalMs) {
        update();
    } else {
        m_repaintTimer->start(int(kRepaintIntervalMs - since));
    }
}

void ArcGaugeWidget::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = qMax(minimum, maximum);
    setValue(m_value);
    update();
}

void ArcGaugeWidget::setValue(int value)
{
    const int clamped = qBound(m_minimum, value, m_maximum);
    if (clamped != m_value) {
        m_value = clamped;
        scheduleRepaint();
    }
}

void ArcGaugeWidget::setText(const QString &text)
{
    if (text != m_text) {
        m_text = text;
        scheduleRepaint();
    }
}

QRectF ArcGaugeWidget::arcRect() const
{
    const int side = qMin(width(), height());
    const qreal inset = kArcWidth / 2.0 + 1;
    return QRectF((width() - side) / 2.0 + inset, (height() - side) / 2.0 + inset, side - 2 * inset,
                  side - 2 * inset);
}

void ArcGaugeWidget::paintEvent(QPaintEvent *)
{
    // The pale track is the costly part to stroke (a translucent wide arc) and never changes
    // with the value, so it is drawn once per size.
    const qreal ratio = devicePixelRatioF();
    if (m_track.size() != size() * ratio) {
        m_track = QPixmap(size() * ratio);
        m_track.setDevicePixelRatio(ratio);
        m_track.fill(Qt::transparent);
        QPainter tp(&m_track);
        tp.setRenderHint(QPainter::Antialiasing);
        QColor track = m_baseColor;
        track.setAlpha(70);
        tp.setPen(QPen(track, kArcWidth, Qt::SolidLine, Qt::FlatCap));
        tp.drawArc(arcRect(), kStartAngle, kFullSpan);
    }

    m_sinceRepaint.start();
    QPainter p(this);
    p.drawPixmap(0, 0, m_track);
    p.setRenderHint(QPainter::Antialiasing);
    const int range = m_maximum - m_minimum;
    if (range > 0 && m_value > m_minimum) {
        const int span = int(qint64(kFullSpan) * (m_value - m_minimum) / range);
        p.setPen(QPen(m_baseColor, kArcWidth, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(arcRect(), kStartAngle, span);
    }

    QFont f = font();
    f.setPixelSize(kCaptionPixelSize);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, m_text);
}

} // namespace kesto
