#include "app/dial_meter_widget.h"
#include "app/gauge_window.h"

#include "test_host.h"
#include "test_main.h"

#include <QLabel>

using namespace kesto;

namespace {

// The main window's value labels the gauges read.
struct Sources
{
    QLabel *rpm, *speed, *throttle, *oilTemp;

    explicit Sources(QWidget *main)
    {
        auto make = [main](const char *name) {
            auto *l = new QLabel(QStringLiteral("-"), main);
            l->setObjectName(QLatin1String(name));
            return l;
        };
        rpm = make("rmp_label");
        speed = make("speed_label");
        throttle = make("tps_label");
        oilTemp = make("Label15");
    }
};

DialMeterWidget *meter(GaugeWindow &w, int n)
{
    return w.findChild<DialMeterWidget *>(QStringLiteral("sMeter%1").arg(n));
}

} // namespace

class TestGaugeWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void design_data();
    void design();
    void noDataLeavesStartPositions();
    void meterFollowsItsLabel_data();
    void meterFollowsItsLabel();
    void timerRunsOnlyWhileShown();
};

void TestGaugeWindow::design_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("small");
    QTest::addColumn<int>("big");

    QTest::newRow("rpm") << 1 << "RPM" << 8000 << 100 << 1000;
    QTest::newRow("speed") << 2 << "Speed" << 220 << 5 << 30;
    QTest::newRow("throttle") << 3 << "Throttle" << 100 << 2 << 10;
    QTest::newRow("oil temperature") << 4 << QString::fromUtf8("Oil temp\u00B0") << 140 << 5 << 20;
}

void TestGaugeWindow::design()
{
    QFETCH(int, n);
    QFETCH(QString, caption);
    QFETCH(int, max);
    QFETCH(int, small);
    QFETCH(int, big);

    test::TestHost host;
    GaugeWindow w(host.ctx);
    QCOMPARE(w.objectName(), QStringLiteral("TForm20"));
    QCOMPARE(host.ctx.window("TForm20"), &w);
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.size(), QSize(345, 345));
    QVERIFY(w.isHidden());
    DialMeterWidget *m = meter(w, n);
    QVERIFY(m);
    QCOMPARE(m->minimum(), 0);
    QCOMPARE(m->maximum(), max);
    QCOMPARE(m->smallStep(), small);
    QCOMPARE(m->bigStep(), big);
    QVERIFY(w.rect().contains(m->geometry()));
    auto *label = w.findChild<QLabel *>(QStringLiteral("Label%1").arg(n));
    QCOMPARE(label->text(), caption);
    QVERIFY(label->geometry().top() >= m->geometry().bottom()); // the caption under its meter
}

void TestGaugeWindow::noDataLeavesStartPositions()
{
    test::TestHost host;
    Sources sources(&host.mainWindow);
    GaugeWindow w(host.ctx);
    w.show();
    w.timer1Timer();
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(meter(w, n)->position(), 0);
        QCOMPARE(meter(w, n)->dialColor(), QColor(Qt::black));
    }
    QVERIFY(host.errors.isEmpty());
    // Rendering before any data works as well.
    QVERIFY(!w.grab().isNull());
}

void TestGaugeWindow::meterFollowsItsLabel_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("before"); // label text of a first tick
    QTest::addColumn<QString>("text");   // label text of the second tick
    QTest::addColumn<int>("warningLimit");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("red");

    QTest::newRow("rpm 6000 black") << 1 << "10"
                                    << "6000" << 100 << 6000 << false;
    QTest::newRow("rpm 6001 red") << 1 << "10"
                                  << "6001" << 100 << 6001 << true;
    QTest::newRow("rpm back to black") << 1 << "7000"
                                       << "5000" << 100 << 5000 << false;
    QTest::newRow("speed 181 red") << 2 << "10"
                                   << "181" << 100 << 181 << true;
    QTest::newRow("speed keeps position while SAFE") << 2 << "120"
                                                     << "SAFE" << 100 << 120 << false;
    QTest::newRow("SAFE keeps a red dial") << 2 << "200"
                                           << "SAFE" << 100 << 200 << true;
    QTest::newRow("throttle never red") << 3 << "10"
                                        << "100" << 100 << 100 << false;
    QTest::newRow("oil at the limit") << 4 << QString::fromUtf8("20\u00B0")
                                      << QString::fromUtf8("100\u00B0") << 100 << 100 << false;
    QTest::newRow("oil above the limit") << 4 << QString::fromUtf8("20\u00B0")
                                         << QString::fromUtf8("101\u00B0") << 100 << 101 << true;
    QTest::newRow("oil with a lower limit")
        << 4 << QString::fromUtf8("20\u00B0") << QString::fromUtf8("91\u00B0") << 90 << 91 << true;
    QTest::newRow("oil dash before data")
        << 4 << QString::fromUtf8("30\u00B0") << "-" << 100 << 30 << false;
}

void TestGaugeWindow::meterFollowsItsLabel()
{
    QFETCH(int, n);
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(int, warningLimit);
    QFETCH(int, position);
    QFETCH(bool, red);

    test::TestHost host;
    host.facts.warningLimit = warningLimit;
    Sources sources(&host.mainWindow);
    QLabel *labels[] = {sources.rpm, sources.speed, sources.throttle, sources.oilTemp};
    GaugeWindow w(host.ctx);
    labels[n - 1]->setText(before);
    w.timer1Timer();
    labels[n - 1]->setText(text);
    w.timer1Timer();
    QCOMPARE(meter(w, n)->position(), position);
    QCOMPARE(meter(w, n)->dialColor(), red ? QColor(255, 0, 0) : QColor(Qt::black));
    // The other meters saw "-" only.
    for (int other = 1; other <= 4; ++other) {
        if (other != n) {
            QCOMPARE(meter(w, other)->position(), 0);
        }
    }
}

void TestGaugeWindow::timerRunsOnlyWhileShown()
{
    test::TestHost host;
    host.mainWindow.show();
    GaugeWindow w(host.ctx, &host.mainWindow);
    auto *timer = w.findChild<QTimer *>(QStringLiteral("Timer1"));
    QCOMPARE(timer->interval(), 100);
    QVERIFY(!timer->isActive());
    w.show();
    QVERIFY(timer->isActive());
    w.close();
    QVERIFY(!timer->isActive());
    QVERIFY(w.isHidden());
    w.show();
    QVERIFY(timer->isActive());
    w.hide();
    QVERIFY(!timer->isActive());

    w.placeBesideMainWindow();
    const QRect main = host.mainWindow.frameGeometry();
    QCOMPARE(w.pos(), QPoint(main.x() + main.width(), main.y() + 48));
}

KESTO_TEST_MAIN(TestGaugeWindow)
#include "tst_gauge_window.moc"
