#include "editors/shift_map_description.h"
#include "editors/table_editor_window.h"
#include "pty_bench.h"

#include "scripted_dialogs.h"
#include "test_host.h"
#include "test_main.h"

#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <memory>

using namespace kesto;

// The shift map editors over a real serial line against the bench controller.
class ShiftMapBenchTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readEditSaveReachesControllerMemory();
    void f2ReadsTheNextMapFromTheController();

private:
    QStringList memoryTexts(int first, int count);
    QStringList cellTexts(const TableEditor &w);

    std::unique_ptr<sim::PtyBench> m_bench;
    std::unique_ptr<test::TestHost> m_host;
    std::unique_ptr<test::ScriptedDialogs> m_dialogs;
    std::array<std::unique_ptr<TableEditor>, kShiftMapCount> m_editors;
};

void ShiftMapBenchTest::init()
{
    sim::SimOptions options;
    options.modelTickMs = 0;
    m_bench = std::make_unique<sim::PtyBench>(options);
    QVERIFY2(m_bench->start(), qPrintable(m_bench->errorString()));
    // A map that differs from every editor's defaults.
    for (int a = 20; a < 140; ++a) {
        m_bench->controller().memory().set(a, (a * 7) % 90 + 3);
    }

    m_host = std::make_unique<test::TestHost>();
    m_dialogs = std::make_unique<test::ScriptedDialogs>();
    QVERIFY(m_host->link.open(m_bench->devicePath()));
    connect(&m_host->link, &ControllerLink::bytesReceived, &m_host->link,
            [this](const QByteArray &bytes) { m_host->dispatcher.receive(bytes); });
    for (int p = 1; p <= kShiftMapCount; ++p) {
        m_editors[p - 1] = std::make_unique<TableEditor>(m_host->ctx, shiftMapDescription(p));
    }
}

void ShiftMapBenchTest::cleanup()
{
    for (auto &e : m_editors) {
        e.reset();
    }
    m_dialogs.reset();
    if (m_host) {
        m_host->link.close();
    }
    m_host.reset();
    m_bench.reset();
}

QStringList ShiftMapBenchTest::memoryTexts(int first, int count)
{
    QStringList t;
    for (int a = first; a < first + count; ++a) {
        t << QString::number(m_bench->controller().memory().at(a));
    }
    return t;
}

QStringList ShiftMapBenchTest::cellTexts(const TableEditor &w)
{
    QStringList t;
    for (int i = 1; i <= 24; ++i) {
        t << w.cellText(QStringLiteral("Edit%1").arg(i));
    }
    return t;
}

void ShiftMapBenchTest::readEditSaveReachesControllerMemory()
{
    TableEditor &editor = *m_editors[0];
    editor.readButton()->click();
    QTRY_VERIFY(editor.isVisible());
    QCOMPARE(m_bench->controller().receivedCommands().last(), QByteArray("ee,65,20,43~"));
    QCOMPARE(cellTexts(editor), memoryTexts(20, 24));
    QVERIFY(!editor.saveButton()->isEnabled());

    QLineEdit *cell = editor.cell("Edit12");
    cell->selectAll();
    QTest::keyClicks(cell, "123");
    QCOMPARE(cell->text(), QStringLiteral("123"));
    QVERIFY(editor.saveButton()->isEnabled());
    editor.saveButton()->click();

    QTRY_COMPARE(memoryTexts(20, 24), cellTexts(editor));
    QCOMPARE(int(m_bench->controller().memory().at(31)), 123);
    QCOMPARE(m_host->errors, QStringList());
}

void ShiftMapBenchTest::f2ReadsTheNextMapFromTheController()
{
    TableEditor &first = *m_editors[0];
    TableEditor &second = *m_editors[1];
    first.show();
    QTest::keyClick(first.cell("Edit3"), Qt::Key_F2);
    QVERIFY(first.isHidden());
    QVERIFY(second.isVisible()); // at once, with what it held
    QTRY_COMPARE(cellTexts(second), memoryTexts(44, 24));
    QCOMPARE(m_bench->controller().receivedCommands().last(), QByteArray("ee,66,44,67~"));
}

KESTO_TEST_MAIN(ShiftMapBenchTest)
#include "tst_shift_map_bench.moc"
