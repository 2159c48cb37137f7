#include "config/arc_gauge_widget.h"
#include "test_main.h"

#include <QApplication>

using namespace kesto;

namespace {

// Records what the gauge showed each time it was painted.
class PaintLog : public QObject
{
public:
    QList<int> values;
    QStringList texts;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *gauge = static_cast<ArcGaugeWidget *>(watched);
            values << gauge->value();
            texts << gauge->text();
        }
        return false;
    }
};

} // namespace

class TestArcGauge : public QObject
{
    Q_OBJECT

private slots:
    void valueStaysInRange_data();
    void valueStaysInRange();
    void burstOfChangesEndsPaintedAsLastSet();
};

void TestArcGauge::valueStaysInRange_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("shown");
    QTest::newRow("inside") << 350 << 350;
    QTest::newRow("above") << 710 << 700;
    QTest::newRow("below") << -10 << 0;
}

void TestArcGauge::valueStaysInRange()
{
    QFETCH(int, set);
    QFETCH(int, shown);
    ArcGaugeWidget gauge;
    gauge.setRange(0, 700);
    gauge.setValue(set);
    QCOMPARE(gauge.value(), shown);
}

void TestArcGauge::burstOfChangesEndsPaintedAsLastSet()
{
    QWidget window;
    auto *gauge = new ArcGaugeWidget(&window);
    gauge->setRange(0, 700);
    gauge->setGeometry(0, 0, 180, 180);
    window.resize(200, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    PaintLog log;
    gauge->installEventFilter(&log);
    QCoreApplication::processEvents();
    log.values.clear();
    log.texts.clear();

    // A transfer's pace: seventy changes with the event loop running between them.
    for (int page = 1; page <= 70; ++page) {
        gauge->setValue(page * 10);
        gauge->setText(QString::number(page * 10 * 100 / 700) + QLatin1Char('%'));
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(log.values.isEmpty() ? -1 : log.values.last(), 700);
    QCOMPARE(log.texts.last(), QStringLiteral("100%"));
    // Far fewer pictures than changes, yet the last change is never left unpainted.
    QVERIFY2(log.values.size() < 10, qPrintable(QString::number(log.values.size())));
}

KESTO_TEST_MAIN(TestArcGauge)
#include "tst_arc_gauge.moc"
