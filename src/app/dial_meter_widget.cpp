#include "app/dial_meter_widget.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace kesto {

namespace {

constexpr double kStartAngle = 225.0; // the minimum, lower left
constexpr double kSweep = 270.0;      // clockwise to the maximum, lower right

} // namespace

DialMeterWidget::DialMeterWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void DialMeterWidget::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = qMax(minimum + 1, maximum);
    update();
}

void DialMeterWidget::setTickSteps(int small, int big)
{
    m_smallStep = qMax(1, small);
    m_bigStep = qMax(1, big);
    update();
}

void DialMeterWidget::setPosition(int position)
{
    if (position != m_position) {
        m_position = position;
        update();
    }
}

void DialMeterWidget::setDialColor(const QColor &color)
{
    if (color != m_dialColor) {
        m_dialColor = color;
        update();
    }
}

double DialMeterWidget::angleOf(double value) const
{
    const double clamped = qBound(double(m_minimum), value, double(m_maximum));
    return kStartAngle - kSweep * (clamped - m_minimum) / (m_maximum - m_minimum);
}

void DialMeterWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const double side = qMin(width(), height()) - 4.0;
    const QPointF centre(width() / 2.0, height() / 2.0 + side * 0.04);
    const double r = side / 2.0;

    // Dial face.
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(QColor(250, 250, 250));
    p.drawEllipse(centre, r, r);

    const QColor ink = m_dialColor;
    auto pointAt = [&](double angleDeg, double radius) {
        const double a = qDegreesToRadians(angleDeg);
        return QPointF(centre.x() + radius * qCos(a), centre.y() - radius * qSin(a));
    };

    // Small and big ticks; figures at the big ones.
    QFont figureFont = font();
    figureFont.setPixelSize(qMax(7, int(r * 0.14)));
    p.setFont(figureFont);
    for (int v = m_minimum; v <= m_maximum; v += m_smallStep) {
        const bool big = (v - m_minimum) % m_bigStep == 0;
        const double a = angleOf(v);
        p.setPen(QPen(ink, big ? 2.0 : 1.0));
        p.drawLine(pointAt(a, r - 3), pointAt(a, r - (big ? 12 : 7)));
        if (big) {
            const QPointF at = pointAt(a, r - 22);
            const QRectF box(at.x() - 18, at.y() - 8, 36, 16);
            p.drawText(box, Qt::AlignCenter, QString::number(v));
        }
    }

    // The position in figures.
    QFont valueFont = font();
    valueFont.setBold(true);
    valueFont.setPixelSize(qMax(9, int(r * 0.2)));
    p.setFont(valueFont);
    p.setPen(ink);
    p.drawText(QRectF(centre.x() - r, centre.y() + r * 0.35, 2 * r, r * 0.35), Qt::AlignCenter,
               QString::number(m_position));

    // Needle.
    const double a = angleOf(m_position);
    p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, pointAt(a, r - 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(centre, 5, 5);
}

} // namespace kesto
