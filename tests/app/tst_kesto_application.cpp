#include "app/kesto_application.h"
#include "link/error.h"

#include "scripted_dialogs.h"
#include "test_main.h"

#include <stdexcept>

using namespace kesto;

class TestKestoApplication : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void escapingErrorsAreShown_data();
    void escapingErrorsAreShown();
};

void TestKestoApplication::escapingErrorsAreShown_data()
{
    QTest::addColumn<int>("kind"); // 0 none, 1 kesto::Error, 2 std::exception
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("handled event") << 0 << true << QStringList{};
    QTest::newRow("conversion error")
        << 1 << false << QStringList{"'x' is not a valid integer value"};
    QTest::newRow("standard exception") << 2 << false << QStringList{"out of range"};
}

void TestKestoApplication::escapingErrorsAreShown()
{
    QFETCH(int, kind);
    QFETCH(bool, result);
    QFETCH(QStringList, messages);

    test::ScriptedDialogs dialogs;
    const bool handled = deliverReportingErrors([kind] {
        if (kind == 1) {
            toInt(QStringLiteral("x"));
        } else if (kind == 2) {
            throw std::out_of_range("out of range");
        }
        return true;
    });
    QCOMPARE(handled, result);
    QCOMPARE(dialogs.messages, messages);

    // The program goes on: the next delivery runs normally.
    QVERIFY(deliverReportingErrors([] { return true; }));
    QCOMPARE(dialogs.messages, messages);
}

KESTO_TEST_MAIN(TestKestoApplication)
#include "tst_kesto_application.moc"
