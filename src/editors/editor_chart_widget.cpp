#include "editors/editor_chart_widget.h"

#include <algorithm>

namespace kesto {

namespace {

QColor toColor(const Rgb &c, const QColor &fallback = QColor())
{
    return c.isValid() ? QColor(c.r, c.g, c.b) : fallback;
}

QCPScatterStyle::ScatterShape shapeOf(PointShape p)
{
    switch (p) {
    case PointShape::None:
        return QCPScatterStyle::ssNone;
    case PointShape::Square:
        return QCPScatterStyle::ssSquare;
    case PointShape::Circle:
        return QCPScatterStyle::ssCircle;
    }
    return QCPScatterStyle::ssNone;
}

QString valueText(double v)
{
    return QString::number(v, 'g', 10);
}

} // namespace

EditorChart::EditorChart(const ChartSpec &spec, QWidget *parent)
    : QCustomPlot(parent), m_spec(spec), m_ticker(new QCPAxisTickerText)
{
    setObjectName(spec.name);
    setMinimumSize(420, 320);
    legend->setVisible(false);

    // Text ticks on both horizontal axes; the value axes mirror each other.
    xAxis->setTicker(m_ticker);
    xAxis2->setTicker(m_ticker);
    xAxis2->setVisible(spec.topTitled);
    xAxis2->setTickLabels(false);
    yAxis2->setVisible(spec.rightTitled || !spec.leftTitled);
    yAxis2->setTickLabels(true);
    connect(yAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), yAxis2,
            qOverload<const QCPRange &>(&QCPAxis::setRange));
    connect(xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), xAxis2,
            qOverload<const QCPRange &>(&QCPAxis::setRange));
    xAxis->grid()->setVisible(false);
    setHorizontalAxisTitle(spec.horizontalTitle.text());
    setVerticalAxisTitle(spec.verticalTitle.text());
    connect(this, &QCustomPlot::afterReplot, this, [this] { ++m_replots; });

    for (const SeriesSpec &ss : spec.series) {
        Series s;
        s.name = ss.name;
        const QColor colour = toColor(ss.colour, Qt::black);
        if (ss.kind == SeriesKind::Bar) {
            s.bars = new QCPBars(xAxis, yAxis);
            s.bars->setObjectName(ss.name);
            s.bars->setName(ss.title);
            s.bars->setWidth(0.6);
            s.bars->setPen(QPen(colour.darker(130)));
            s.bars->setBrush(colour);
        } else {
            s.graph = addGraph();
            s.graph->setObjectName(ss.name);
            s.graph->setName(ss.title);
            s.graph->setPen(QPen(colour, ss.width));
            const QColor point = toColor(ss.pointColour, colour);
            s.graph->setScatterStyle(
                QCPScatterStyle(shapeOf(ss.points), QPen(point.darker(150)), QBrush(point), 6));
        }
        s.markText = toColor(ss.markText, Qt::black);
        s.markBrush = QBrush(toColor(ss.markBrush, Qt::white));
        m_series << s;
    }
}

void EditorChart::setPoints(int series, const QList<double> &values, const QStringList &labels)
{
    Series &s = m_series[series];
    s.values = values;
    s.labels = labels;
    QVector<double> keys(values.size());
    for (int i = 0; i < keys.size(); ++i) {
        keys[i] = i;
    }
    const QVector<double> v(values.begin(), values.end());
    if (s.graph) {
        s.graph->setData(keys, v, true);
    } else {
        s.bars->setData(keys, v, true);
    }
}

void EditorChart::updateMarks(Series &s)
{
    while (s.marks.size() < s.values.size()) {
        auto *mark = new QCPItemText(this);
        mark->setPositionAlignment(Qt::AlignBottom | Qt::AlignHCenter);
        mark->position->setType(QCPItemPosition::ptPlotCoords);
        mark->setPadding(QMargins(2, 0, 2, 0));
        mark->setColor(s.markText);
        mark->setBrush(s.markBrush);
        mark->setPen(QPen(Qt::gray));
        mark->setClipToAxisRect(false);
        s.marks << mark;
    }
    for (int i = 0; i < s.marks.size(); ++i) {
        QCPItemText *mark = s.marks.at(i);
        const bool used = i < s.values.size();
        mark->setVisible(used);
        if (used) {
            mark->position->setCoords(i, s.values.at(i));
            mark->setText(valueText(s.values.at(i)));
        }
    }
}

void EditorChart::updatePlot()
{
    // The axis shows the labels of the first series that has points.
    int count = 0;
    QStringList axis;
    double low = 0;
    double high = 0;
    bool any = false;
    for (Series &s : m_series) {
        if (axis.isEmpty() && !s.labels.isEmpty()) {
            axis = s.labels;
        }
        count = std::max(count, int(s.values.size()));
        for (double v : std::as_const(s.values)) {
            low = any ? std::min(low, v) : std::min(0.0, v);
            high = any ? std::max(high, v) : v;
            any = true;
        }
        updateMarks(s);
    }
    QMap<double, QString> ticks;
    for (int i = 0; i < axis.size(); ++i) {
        ticks.insert(i, axis.at(i));
    }
    m_ticker->setTicks(ticks);
    xAxis->setRange(-0.5, std::max(count, 1) - 0.5);
    if (m_spec.verticalRange) {
        yAxis->setRange(m_spec.verticalRange->first, m_spec.verticalRange->second);
    } else {
        // Room above the highest point for its mark.
        const double span = std::max(high - low, 1.0);
        yAxis->setRange(low, high + std::max(span * 0.15, 1.0));
    }
    // Drawn into the chart's buffer now; the screen takes it at the next paint.
    replot(rpQueuedRefresh);
}

const EditorChart::Series *EditorChart::find(const QString &name) const
{
    for (const Series &s : m_series) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

QList<double> EditorChart::values(const QString &series) const
{
    const Series *s = find(series);
    return s ? s->values : QList<double>();
}

QStringList EditorChart::labels(const QString &series) const
{
    const Series *s = find(series);
    return s ? s->labels : QStringList();
}

QStringList EditorChart::axisLabels() const
{
    return m_ticker->ticks().values();
}

QCPRange EditorChart::verticalRange() const
{
    return yAxis->range();
}

QString EditorChart::horizontalAxisTitle() const
{
    return xAxis->label();
}

void EditorChart::setHorizontalAxisTitle(const QString &title)
{
    xAxis->setLabel(title);
    if (m_spec.topTitled) {
        xAxis2->setLabel(title);
    }
}

QString EditorChart::verticalAxisTitle() const
{
    return m_spec.leftTitled ? yAxis->label() : yAxis2->label();
}

void EditorChart::setVerticalAxisTitle(const QString &title)
{
    if (m_spec.leftTitled) {
        yAxis->setLabel(title);
    }
    if (m_spec.rightTitled) {
        yAxis2->setLabel(title);
    }
}

} // namespace kesto
