#pragma once

#include "editors/editor_description.h"

#include <QList>
#include <QStringList>
#include <qcustomplot.h>

namespace kesto {

// The chart of a table editor: points equally spaced at x = 0, 1, 2... in insertion order, the
// row labels as axis texts (repeated labels stay), and every point's value as a mark. Points
// are handed over per series and drawn with one replot.
class EditorChart : public QCustomPlot
{
    Q_OBJECT
    // Written by the language switch.
    Q_PROPERTY(QString horizontalAxisTitle READ horizontalAxisTitle WRITE setHorizontalAxisTitle)
    Q_PROPERTY(QString verticalAxisTitle READ verticalAxisTitle WRITE setVerticalAxisTitle)

public:
    explicit EditorChart(const ChartSpec &spec, QWidget *parent = nullptr);

    int seriesCount() const { return int(m_series.size()); }
    // Replaces a series' points; shown by the next updatePlot().
    void setPoints(int series, const QList<double> &values, const QStringList &labels);
    // Axis texts, value range, marks, and one replot.
    void updatePlot();

    // What is drawn, for tests and the language switch.
    QList<double> values(const QString &series) const;
    QStringList labels(const QString &series) const;
    QStringList axisLabels() const;
    QCPRange verticalRange() const;
    int replotCount() const { return m_replots; }

    QString horizontalAxisTitle() const;
    void setHorizontalAxisTitle(const QString &title);
    QString verticalAxisTitle() const;
    void setVerticalAxisTitle(const QString &title);

private:
    struct Series
    {
        QString name;
        QCPGraph *graph = nullptr;
        QCPBars *bars = nullptr;
        QList<double> values;
        QStringList labels;
        QList<QCPItemText *> marks;
        QColor markText;
        QBrush markBrush;
    };
    const Series *find(const QString &name) const;
    void updateMarks(Series &s);

    ChartSpec m_spec;
    QList<Series> m_series;
    QSharedPointer<QCPAxisTickerText> m_ticker;
    int m_replots = 0;
};

} // namespace kesto
