#include "app/secondary_windows.h"

#include "test_host.h"
#include "test_main.h"

using namespace kesto;

class TestSecondaryWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void createdOnceInOrderHidden();
    void captions_data();
    void captions();
    void closingOnlyHides();
    void independentOfTheMainWindow();
};

void TestSecondaryWindows::createdOnceInOrderHidden()
{
    test::TestHost host;
    createSecondaryWindows(host.ctx);
    for (const QString &name : std::as_const(host.ctx.windowOrder)) {
        QWidget *w = host.ctx.window(name);
        QVERIFY2(w && w->isWindow() && w->isHidden(), qPrintable(name));
        QCOMPARE(w->objectName(), name);
    }
    QCOMPARE(
        host.ctx.windowOrder,
        (QStringList{"TForm3",  "TForm4",  "TForm5",  "TForm6",  "TForm7",  "TForm8",  "TForm9",
                     "TForm10", "TForm11", "TForm12", "TForm13", "TForm14", "TForm15", "TForm16",
                     "TForm19", "TForm20", "TForm21", "TForm22", "TForm23", "TForm24", "TForm25"}));
    QCOMPARE(host.ctx.windows.size(), 21);
    destroySecondaryWindows(host.ctx);
    QVERIFY(host.ctx.windows.isEmpty());
}

void TestSecondaryWindows::captions_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");

    QTest::newRow("TForm3") << "TForm3"
                            << "TPS calibration";
    QTest::newRow("TForm4") << "TForm4"
                            << "Main options";
    QTest::newRow("TForm5") << "TForm5"
                            << "1-2 upshift, 2-1 downshift";
    QTest::newRow("TForm6") << "TForm6"
                            << "2-3 upshift, 3-2 downshift";
    QTest::newRow("TForm7") << "TForm7"
                            << "3-4 upshift, 4-3 downshift";
    QTest::newRow("TForm8") << "TForm8"
                            << "Full throttle shift rpm and speed";
    QTest::newRow("TForm9") << "TForm9"
                            << "[SLT] Main pressure regulator map";
    QTest::newRow("TForm10") << "TForm10"
                             << "Emulation";
    QTest::newRow("TForm11") << "TForm11"
                             << "4-5 upshift, 5-4 downshift";
    QTest::newRow("TForm12") << "TForm12"
                             << "5-6 upshift, 6-5 downshift";
    QTest::newRow("TForm13") << "TForm13"
                             << "[SLU] Lockup table";
    QTest::newRow("TForm14") << "TForm14"
                             << "[SLN] Acc. pressure map";
    QTest::newRow("TForm15") << "TForm15"
                             << "Shift log (F10)";
    QTest::newRow("TForm16") << "TForm16"
                             << "[SLC] AWD Control";
    QTest::newRow("TForm19") << "TForm19"
                             << "Firmware update...";
    QTest::newRow("TForm21") << "TForm21" << QString::fromUtf8("t\u00B0 sensor calibration");
    QTest::newRow("TForm22") << "TForm22"
                             << "[SLU] Lockup table LASTGEAR";
    QTest::newRow("TForm23") << "TForm23"
                             << "saving...";
    QTest::newRow("TForm24") << "TForm24"
                             << "A650 Shift";
    QTest::newRow("TForm25") << "TForm25"
                             << "config...";
}

void TestSecondaryWindows::captions()
{
    QFETCH(QString, window);
    QFETCH(QString, caption);
    test::TestHost host;
    createSecondaryWindows(host.ctx);
    QCOMPARE(host.ctx.window(window)->windowTitle(), caption);
    destroySecondaryWindows(host.ctx);
}

void TestSecondaryWindows::closingOnlyHides()
{
    test::TestHost host;
    createSecondaryWindows(host.ctx);
    for (const QString &name : host.ctx.windows.keys()) {
        QPointer<QWidget> w = host.ctx.window(name);
        w->show();
        QVERIFY(w->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(w, qPrintable(name));
        QVERIFY(w->isHidden());
        w->show(); // and comes back as it was
        QVERIFY(w->isVisible());
        w->hide();
    }
    destroySecondaryWindows(host.ctx);
}

// A long operation disables the main window; the windows it shows meanwhile (firmware update,
// progress) must stay usable, and none of them keeps the program alive after the main window.
void TestSecondaryWindows::independentOfTheMainWindow()
{
    test::TestHost host;
    host.mainWindow.show();
    createSecondaryWindows(host.ctx);
    QWidget *firmware = host.ctx.window(QStringLiteral("TForm19"));
    firmware->show();
    host.mainWindow.setEnabled(false);
    QVERIFY(firmware->isEnabled());
    for (const QString &name : std::as_const(host.ctx.windowOrder)) {
        QVERIFY2(!host.ctx.window(name)->testAttribute(Qt::WA_QuitOnClose), qPrintable(name));
        QVERIFY(host.ctx.window(name)->isEnabled());
    }
    QPointer<QWidget> kept = firmware;
    destroySecondaryWindows(host.ctx);
    QVERIFY(!kept);
}

KESTO_TEST_MAIN(TestSecondaryWindows)
#include "tst_secondary_windows.moc"
