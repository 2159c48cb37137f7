#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QTimer;

namespace kesto {

// A round progress gauge: an arc that fills from minimum to maximum, with a caption text in its
// middle. Only the caption is drawn as text; the numeric value shows as the filled arc alone.
class ArcGaugeWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kArcWidth = 10;
    static constexpr int kCaptionPixelSize = 19;
    // Changes closer together than this are shown together: a transfer moves the gauge every
    // few milliseconds, far faster than any screen shows.
    static constexpr int kRepaintIntervalMs = 40;

    explicit ArcGaugeWidget(QWidget *parent = nullptr);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    void setRange(int minimum, int maximum);
    int value() const { return m_value; }
    // Clamped into the range.
    void setValue(int value);
    QString text() const { return m_text; }
    void setText(const QString &text);
    QColor baseColor() const { return m_baseColor; }

    QSize sizeHint() const override { return {150, 150}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF arcRect() const;
    void scheduleRepaint();

    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
    QString m_text;
    QColor m_baseColor{0, 0, 128}; // navy
    QPixmap m_track;
    QElapsedTimer m_sinceRepaint;
    QTimer *m_repaintTimer;
};

} // namespace kesto
