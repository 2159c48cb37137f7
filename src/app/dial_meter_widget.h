#pragma once

#include <QColor>
#include <QWidget>

namespace kesto {

// A circular dial meter: a scale over three quarters of a circle with small and big ticks,
// figures at the big ticks, a needle at the position and the position in figures.
class DialMeterWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DialMeterWidget(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    void setTickSteps(int small, int big);
    void setPosition(int position);
    void setDialColor(const QColor &color);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int smallStep() const { return m_smallStep; }
    int bigStep() const { return m_bigStep; }
    int position() const { return m_position; }
    QColor dialColor() const { return m_dialColor; }

    QSize sizeHint() const override { return {160, 150}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Angle in degrees (Qt's convention: 0 at three o'clock, counter-clockwise) of a value.
    double angleOf(double value) const;

    int m_minimum = 0;
    int m_maximum = 100;
    int m_smallStep = 5;
    int m_bigStep = 10;
    int m_position = 0;
    QColor m_dialColor = Qt::black;
};

} // namespace kesto
