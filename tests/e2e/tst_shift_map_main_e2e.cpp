#include "app/main_window.h"
#include "editors/table_editor_window.h"
#include "pty_bench.h"

#include "scripted_dialogs.h"
#include "test_main.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <memory>

using namespace kesto;

// The real main window on a pty to the bench controller: F2 opens the 1-2 shift map with the
// controller's bytes, and its Save lands in the controller's memory.
class ShiftMapMainE2ETest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void f2EditSaveReachesControllerMemory();

private:
    QStringList memoryTexts(int first, int count) const;

    std::unique_ptr<sim::PtyBench> m_bench;
    std::unique_ptr<test::ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_main;
};

void ShiftMapMainE2ETest::init()
{
    sim::SimOptions options;
    options.modelTickMs = 0;
    m_bench = std::make_unique<sim::PtyBench>(options);
    QVERIFY2(m_bench->start(), qPrintable(m_bench->errorString()));
    for (int a = 20; a <= 43; ++a) {
        m_bench->controller().memory().set(a, (a * 11) % 97);
    }

    m_dialogs = std::make_unique<test::ScriptedDialogs>();
    MainWindowOptions o;
    o.portLister = [] { return QStringList(); };
    o.extraPorts = {m_bench->devicePath()};
    o.selectPort = m_bench->devicePath();
    m_main = std::make_unique<MainWindow>(o);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));

    m_main->button1Click();
    QVERIFY(m_main->link().isOpen());
    m_main->timer1Timer(); // the first handshake query
    QTRY_VERIFY(m_main->facts().handshakeDone);
}

void ShiftMapMainE2ETest::cleanup()
{
    if (m_main && m_main->link().isOpen()) {
        m_main->button1Click();
    }
    m_main.reset();
    m_dialogs.reset();
    m_bench.reset();
}

QStringList ShiftMapMainE2ETest::memoryTexts(int first, int count) const
{
    QStringList t;
    for (int a = first; a < first + count; ++a) {
        t << QString::number(m_bench->controller().memory().at(a));
    }
    return t;
}

void ShiftMapMainE2ETest::f2EditSaveReachesControllerMemory()
{
    auto *editor = m_main->context().windowAs<TableEditor>(QStringLiteral("TForm5"));
    QVERIFY(editor);
    QVERIFY(editor->isHidden());
    m_bench->controller().clearReceived();

    QTest::keyClick(m_main.get(), Qt::Key_F2);

    QTRY_VERIFY(editor->isVisible());
    QVERIFY(m_bench->controller().receivedCommands().contains("ee,65,20,43~"));
    QStringList cells;
    for (int i = 1; i <= 24; ++i) {
        cells << editor->cellText(QStringLiteral("Edit%1").arg(i));
    }
    QCOMPARE(cells, memoryTexts(20, 24));
    QVERIFY(!editor->saveButton()->isEnabled());
    QCOMPARE(m_main->context().pollTimer->interval(), 500); // live data slows while it is open

    QLineEdit *cell = editor->cell(QStringLiteral("Edit20"));
    cell->selectAll();
    QTest::keyClicks(cell, "201");
    editor->saveButton()->click();

    cells[19] = QStringLiteral("201");
    QTRY_COMPARE(memoryTexts(20, 24), cells);
    QVERIFY(m_bench->controller().receivedCommands().contains("k1,20," +
                                                              cells.join(',').toLatin1() + '~'));
    QCOMPARE(m_dialogs->messages, QStringList());
}

KESTO_TEST_MAIN(ShiftMapMainE2ETest)
#include "tst_shift_map_main_e2e.moc"
