// The three ways into the firmware update window from the main window: the handshake's offer,
// the "ve" answer's offer and the "Upload current firmware" entry.

#include "../app/main_window_fixture.h"
#include "firmware/firmware_update_window.h"
#include "i18n/caption_list.h"

#include <QProgressBar>
#include <QtTest>

#include "test_main.h"

using namespace kesto;

class FirmwareOpenersTest : public QObject
{
    Q_OBJECT

private slots:
    void openerShowsUsableWindow_data();
    void openerShowsUsableWindow();
};

enum class Opener
{
    UploadEntry,
    VersionAnswer,
    HandshakeOffer
};

void FirmwareOpenersTest::openerShowsUsableWindow_data()
{
    QTest::addColumn<int>("opener");
    QTest::newRow("Y1 entry") << int(Opener::UploadEntry);
    QTest::newRow("ve answer, Yes") << int(Opener::VersionAnswer);
    QTest::newRow("handshake with 3.6, Yes") << int(Opener::HandshakeOffer);
}

void FirmwareOpenersTest::openerShowsUsableWindow()
{
    QFETCH(int, opener);
    test::MainWindowFixture f;
    f.w().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.w()));
    auto *firmware = qobject_cast<FirmwareUpdateWindow *>(f.secondary("TForm19"));
    QVERIFY(firmware);
    QVERIFY(!firmware->isVisible());
    // A gauge left over from an earlier visit.
    auto *gauge = firmware->findChild<QProgressBar *>(QStringLiteral("sGauge1"));
    gauge->setValue(40);

    switch (Opener(opener)) {
    case Opener::UploadEntry:
        f.connectWith("z13.7,12345,6~");
        QVERIFY(f.action("Y1")->isVisible());
        f.action("Y1")->trigger();
        break;
    case Opener::VersionAnswer:
        f.connectWith();
        f.dialogs.answers << true;
        f.answer("ve~");
        break;
    case Opener::HandshakeOffer:
        f.dialogs.answers << true;
        f.connectWith("z13.6,12345,7~");
        break;
    }

    QVERIFY(firmware->isVisible());
    QVERIFY(!f.w().isEnabled());
    QVERIFY(!f.w().link().isOpen());
    QCOMPARE(gauge->value(), 0);
    // The disabled main window must not take its firmware window down with it.
    QVERIFY(firmware->isEnabled());
    auto *button = firmware->findChild<QPushButton *>(QStringLiteral("Button1"));
    QVERIFY(button->isEnabled());
    QVERIFY(!caption(337).isEmpty());
    QCOMPARE(button->text(), caption(337)); // the list in use: tests share their settings

    QVERIFY(firmware->close());
    QVERIFY(f.w().isEnabled());
}

KESTO_TEST_MAIN(FirmwareOpenersTest)
#include "tst_firmware_openers.moc"
