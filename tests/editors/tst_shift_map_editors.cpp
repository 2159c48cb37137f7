#include "editors/editor_chart_widget.h"
#include "editors/shift_map_description.h"
#include "editors/table_editor_window.h"
#include "i18n/caption_list.h"

#include "scripted_dialogs.h"
#include "test_host.h"
#include "test_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <array>
#include <memory>

using namespace kesto;
using kesto::test::ScriptedDialogs;
using kesto::test::TestHost;

namespace {

const QStringList kDefaults12 = QStringLiteral("0 6 13 20 33 47 60 73 14 14 14 14 20 32 42 50 "
                                               "5 5 6 8 15 26 38 45")
                                    .split(' ');

const char *kWindows[] = {"TForm5", "TForm6", "TForm7", "TForm11", "TForm12"};
const char *kTypes[] = {"EA", "EB", "EC", "ED", "EE"};
const int kBases[] = {20, 44, 68, 92, 116};

// The five shift map editors in one host, so they find each other.
struct Editors
{
    TestHost host;
    ScriptedDialogs dialogs;
    std::array<std::unique_ptr<TableEditor>, kShiftMapCount> windows;

    Editors()
    {
        for (int p = 1; p <= kShiftMapCount; ++p) {
            windows[p - 1] = std::make_unique<TableEditor>(host.ctx, shiftMapDescription(p));
        }
    }
    TableEditor &pair(int p) { return *windows.at(p - 1); }
};

QStringList texts(const TableEditor &w)
{
    QStringList t;
    for (int i = 1; i <= 24; ++i) {
        t << w.cellText(QStringLiteral("Edit%1").arg(i));
    }
    return t;
}

QByteArray answer(const char *type, const QStringList &values)
{
    return QByteArray(type) + values.join(',').toLatin1() + '~';
}

QStringList numbers(int first, int count)
{
    QStringList v;
    for (int i = 0; i < count; ++i) {
        v << QString::number(first + i);
    }
    return v;
}

// Lines 0..n-1 of a decimal file; `lines` overrides some of them.
QString writeDecimalFile(const QTemporaryDir &dir, int count, const QMap<int, QString> &lines)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += lines.value(i, QStringLiteral("0")).toLatin1() + "\r\n";
    }
    const QString path = dir.filePath(QStringLiteral("table%1.kst").arg(count));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

QMap<int, QString> tableLines(int base, const QStringList &values)
{
    QMap<int, QString> m;
    for (int i = 0; i < values.size(); ++i) {
        m.insert(base + i, values.at(i));
    }
    return m;
}

// Shows the window and makes it active, so focus moves send the focus events a user causes.
bool activate(QWidget &w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

void retype(QLineEdit *cell, const QString &keys)
{
    cell->selectAll();
    QTest::keyClick(cell, Qt::Key_Backspace);
    QTest::keyClicks(cell, keys);
}

} // namespace

class ShiftMapEditorsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_f = std::make_unique<Editors>(); }
    void cleanup() { m_f.reset(); }

    void createdWithDefaults();
    void fillSetsCellsAndLeavesSaveDisabled_data();
    void fillSetsCellsAndLeavesSaveDisabled();
    void fillRedrawsOnce();
    void fillOfVisibleEditorKeepsItsPlace();
    void shortAnswerFillsWhatItHas();
    void readSendsRequestAndWaits();
    void limitsWhileTyping_data();
    void limitsWhileTyping();
    void leadingZeroStaysUntilExit();
    void clearedSpeedCellChartsZeroThenZeroOnExit();
    void keyFilter_data();
    void keyFilter();
    void pastedTextIsReportedAndKept();
    void importHighlightsChangedCells_data();
    void importHighlightsChangedCells();
    void importOfEqualValuesChangesNothing();
    void importRefusesOtherFiles_data();
    void importRefusesOtherFiles();
    void saveSendsCellsAndClearsHighlight_data();
    void saveSendsCellsAndClearsHighlight();
    void overlayShowsNextEditorAsItStands();
    void overlayStopsAtUnreadableCell();
    void f2InAnyCellOpensNextEditor();
    void navigation_data();
    void navigation();
    void gearCountHidesForwardControls_data();
    void gearCountHidesForwardControls();
    void showSetsPollingAndPlace();
    void closeOnlyHides();

private:
    std::unique_ptr<Editors> m_f;
};

void ShiftMapEditorsTest::initTestCase()
{
    // The message must come from the caption list; supply the row when the list is not built in.
    if (caption(222).isEmpty()) {
        QStringList rows;
        for (int i = 0; i < 223; ++i) {
            rows << QString();
        }
        rows[222] = QStringLiteral("Incorrect KESTO file.");
        CaptionList::current().setRows(QStringLiteral("en"), rows);
    }
}

void ShiftMapEditorsTest::createdWithDefaults()
{
    QCOMPARE(texts(m_f->pair(1)), kDefaults12);
    QCOMPARE(m_f->pair(2).cellText("Edit9"), QStringLiteral("24"));
    QCOMPARE(m_f->pair(3).cellText("Edit24"), QStringLiteral("131"));
    QVERIFY(m_f->pair(1).isHidden());
    // The chart is drawn from the defaults at creation.
    const EditorChart *chart = m_f->pair(1).chart();
    QCOMPARE(chart->values("Series1"), QList<double>({14, 14, 14, 14, 20, 32, 42, 50}));
    QCOMPARE(chart->axisLabels(), kDefaults12.mid(0, 8));
}

void ShiftMapEditorsTest::fillSetsCellsAndLeavesSaveDisabled_data()
{
    QTest::addColumn<int>("pair");
    for (int p = 1; p <= kShiftMapCount; ++p) {
        QTest::newRow(kWindows[p - 1]) << p;
    }
}

void ShiftMapEditorsTest::fillSetsCellsAndLeavesSaveDisabled()
{
    QFETCH(int, pair);
    TableEditor &w = m_f->pair(pair);
    w.readButton()->click();
    QVERIFY(!w.readButton()->isEnabled());

    const QStringList values = numbers(30, 24);
    m_f->host.receive(answer(kTypes[pair - 1], values));

    QCOMPARE(texts(w), values);
    QVERIFY(!w.saveButton()->isEnabled());
    QVERIFY(w.readButton()->isEnabled());
    QVERIFY(w.isVisible());
    QCOMPARE(w.pos(), QPoint(120, 120)); // shown at +20/+30, then placed by its show at +20/+20
    QCOMPARE(m_f->host.errors, QStringList());
    // Only the answered editor moved.
    for (int p = 1; p <= kShiftMapCount; ++p) {
        QCOMPARE(m_f->pair(p).isVisible(), p == pair);
    }
}

void ShiftMapEditorsTest::fillRedrawsOnce()
{
    // Filling 24 cells runs 24 change checks but draws the chart once.
    TableEditor &w = m_f->pair(1);
    w.show();
    const int before = w.chart()->replotCount();
    m_f->host.receive(answer("EA", numbers(1, 24)));
    QCOMPARE(w.chart()->replotCount() - before, 1);
    QCOMPARE(w.chart()->values("Series2"), QList<double>({17, 18, 19, 20, 21, 22, 23, 24}));
    QCOMPARE(w.chart()->axisLabels(), numbers(1, 8));
}

void ShiftMapEditorsTest::fillOfVisibleEditorKeepsItsPlace()
{
    TableEditor &w = m_f->pair(2);
    w.show();
    w.move(300, 310);
    m_f->host.receive(answer("EB", numbers(1, 24)));
    QCOMPARE(w.pos(), QPoint(300, 310));
    QCOMPARE(w.cellText("Edit24"), QStringLiteral("24"));
}

void ShiftMapEditorsTest::shortAnswerFillsWhatItHas()
{
    TableEditor &w = m_f->pair(1);
    m_f->host.receive(answer("EA", numbers(60, 10)) + answer("EB", numbers(1, 24)));
    QStringList expected = numbers(60, 10) + kDefaults12.mid(10);
    QCOMPARE(texts(w), expected);
    QCOMPARE(m_f->host.errors, QStringList({"List index out of bounds (10)"}));
    QVERIFY(w.isVisible());
    QVERIFY(w.readButton()->isEnabled());
    // The frame behind it was handled all the same.
    QCOMPARE(m_f->pair(2).cellText("Edit1"), QStringLiteral("1"));
}

void ShiftMapEditorsTest::readSendsRequestAndWaits()
{
    TableEditor &w = m_f->pair(4);
    w.readButton()->click();
    QCOMPARE(m_f->host.takeSent(), QByteArray("ee,68,92,115~"));
    QVERIFY(!w.readButton()->isEnabled());
    // An answer of another type does not release it.
    m_f->host.receive(answer("EC", numbers(1, 24)));
    QVERIFY(!w.readButton()->isEnabled());
    m_f->host.receive(answer("ED", numbers(1, 24)));
    QVERIFY(w.readButton()->isEnabled());
}

void ShiftMapEditorsTest::limitsWhileTyping_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("throttle 250") << "Edit3"
                                  << "250"
                                  << "100";
    QTest::newRow("throttle 101") << "Edit8"
                                  << "101"
                                  << "100";
    QTest::newRow("throttle 100 stays") << "Edit2"
                                        << "100"
                                        << "100";
    QTest::newRow("upshift 300") << "Edit10"
                                 << "300"
                                 << "255";
    QTest::newRow("downshift 256") << "Edit24"
                                   << "256"
                                   << "255";
    QTest::newRow("speed 255 stays") << "Edit17"
                                     << "255"
                                     << "255";
}

void ShiftMapEditorsTest::limitsWhileTyping()
{
    QFETCH(QString, cell);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    TableEditor &w = m_f->pair(1);
    m_f->host.receive(answer("EA", kDefaults12));
    QVERIFY(!w.saveButton()->isEnabled());
    retype(w.cell(cell), keys);
    QCOMPARE(w.cellText(cell), shown); // at once, while the cell still has the focus
    QVERIFY(w.saveButton()->isEnabled());
    const int row = (cell.mid(4).toInt() - 1) % 8;
    const QString series = cell.mid(4).toInt() <= 8    ? QString()
                           : cell.mid(4).toInt() <= 16 ? QStringLiteral("Series1")
                                                       : QStringLiteral("Series2");
    if (series.isEmpty()) {
        QCOMPARE(w.chart()->axisLabels().at(row), shown);
    } else {
        QCOMPARE(w.chart()->values(series).at(row), shown.toDouble());
    }
}

void ShiftMapEditorsTest::leadingZeroStaysUntilExit()
{
    TableEditor &w = m_f->pair(1);
    QVERIFY(activate(w));
    QLineEdit *cell = w.cell("Edit9");
    cell->setFocus();
    retype(cell, "05");
    QCOMPARE(cell->text(), QStringLiteral("05"));
    w.cell("Edit10")->setFocus();
    QCOMPARE(cell->text(), QStringLiteral("5"));
    QCOMPARE(w.chart()->values("Series1").first(), 5.0);
}

void ShiftMapEditorsTest::clearedSpeedCellChartsZeroThenZeroOnExit()
{
    TableEditor &w = m_f->pair(1);
    QVERIFY(activate(w));
    QLineEdit *cell = w.cell("Edit12");
    cell->setFocus();
    cell->selectAll();
    QTest::keyClick(cell, Qt::Key_Backspace);
    QCOMPARE(cell->text(), QString());
    QCOMPARE(w.chart()->values("Series1").at(3), 0.0);
    QCOMPARE(m_f->host.errors, QStringList());

    // An empty throttle cell labels its row "0".
    w.cell("Edit4")->setFocus();
    QCOMPARE(cell->text(), QStringLiteral("0"));
    w.cell("Edit4")->selectAll();
    QTest::keyClick(w.cell("Edit4"), Qt::Key_Backspace);
    QCOMPARE(w.chart()->labels("Series2").at(3), QStringLiteral("0"));
    w.cell("Edit5")->setFocus();
    QCOMPARE(w.cellText("Edit4"), QStringLiteral("0"));
}

void ShiftMapEditorsTest::keyFilter_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letters and signs dropped") << "1a-+ .2"
                                               << "12";
    QTest::newRow("three characters at most") << "1234"
                                              << "123";
    QTest::newRow("only junk") << "x-,"
                               << "";
}

void ShiftMapEditorsTest::keyFilter()
{
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QLineEdit *cell = m_f->pair(3).cell("Edit20");
    cell->clear();
    QTest::keyClicks(cell, keys);
    QCOMPARE(cell->text(), shown);
    // Backspace and editing keys still work.
    cell->setText("123");
    cell->setCursorPosition(3);
    QTest::keyClick(cell, Qt::Key_Backspace);
    QTest::keyClick(cell, Qt::Key_Home);
    QTest::keyClick(cell, Qt::Key_Delete);
    QCOMPARE(cell->text(), QStringLiteral("2"));
}

void ShiftMapEditorsTest::pastedTextIsReportedAndKept()
{
    TableEditor &w = m_f->pair(1);
    m_f->host.receive(answer("EA", kDefaults12));
    QLineEdit *cell = w.cell("Edit11");
    cell->clear();
    m_f->host.errors.clear();
    cell->insert("7x"); // what a paste does
    QCOMPARE(cell->text(), QStringLiteral("7x"));
    QVERIFY(!m_f->host.errors.isEmpty());
    QCOMPARE(m_f->host.errors.last(), QStringLiteral("'7x' is not a valid integer value"));

    // Such a cell is never sent: nothing goes out and the editor stays dirty.
    m_f->host.takeSent();
    w.saveButton()->setEnabled(true);
    w.saveButton()->click();
    QCOMPARE(m_f->host.takeSent(), QByteArray());
    QVERIFY(w.saveButton()->isEnabled());
    QCOMPARE(m_f->host.errors.last(), QStringLiteral("'7x' is not a valid integer value"));
}

void ShiftMapEditorsTest::importHighlightsChangedCells_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::newRow("300 lines") << 300;
    QTest::newRow("350 lines") << 350;
}

void ShiftMapEditorsTest::importHighlightsChangedCells()
{
    QFETCH(int, lineCount);
    QTemporaryDir dir;
    TableEditor &w = m_f->pair(2);
    m_f->host.receive(answer("EB", numbers(10, 24)));
    QVERIFY(!w.saveButton()->isEnabled());

    QStringList table = numbers(10, 24);
    table[0] = "5";   // Edit1
    table[9] = "77";  // Edit10
    table[23] = "99"; // Edit24
    QMap<int, QString> lines = tableLines(44, table);
    lines.insert(20, "1"); // another table's lines are not read
    m_f->dialogs.openAnswers << writeDecimalFile(dir, lineCount, lines);
    m_f->host.ctx.configFolder = dir.path();

    m_f->host.errors.clear();
    w.findChild<QToolButton *>("SpeedButton1")->click();

    QCOMPARE(m_f->dialogs.fileDialogs.size(), 1);
    QCOMPARE(m_f->dialogs.fileDialogs.first().directory, dir.path());
    QCOMPARE(texts(w), table);
    for (int i = 1; i <= 24; ++i) {
        const QString name = QStringLiteral("Edit%1").arg(i);
        QCOMPARE(w.isHighlighted(name), i == 1 || i == 10 || i == 24);
    }
    QCOMPARE(w.cell("Edit1")->palette().color(QPalette::Base), QColor(166, 202, 240));
    QVERIFY(w.saveButton()->isEnabled());
    QCOMPARE(w.chart()->values("Series1").at(1), 77.0);
    QCOMPARE(m_f->dialogs.messages, QStringList());
    QCOMPARE(m_f->host.errors, QStringList());
    QCOMPARE(m_f->pair(1).cellText("Edit1"), QStringLiteral("0"));
}

void ShiftMapEditorsTest::importOfEqualValuesChangesNothing()
{
    QTemporaryDir dir;
    TableEditor &w = m_f->pair(1);
    m_f->host.receive(answer("EA", kDefaults12));
    m_f->dialogs.openAnswers << writeDecimalFile(dir, 300, tableLines(20, kDefaults12));
    w.findChild<QToolButton *>("SpeedButton1")->click();
    QCOMPARE(texts(w), kDefaults12);
    for (int i = 1; i <= 24; ++i) {
        QVERIFY(!w.isHighlighted(QStringLiteral("Edit%1").arg(i)));
    }
    QVERIFY(!w.saveButton()->isEnabled());
}

void ShiftMapEditorsTest::importRefusesOtherFiles_data()
{
    QTest::addColumn<int>("lineCount"); // -1: dialog cancelled
    QTest::addColumn<bool>("message");
    QTest::newRow("cancelled") << -1 << false;
    QTest::newRow("one line (hex text)") << 1 << false;
    QTest::newRow("empty file") << 0 << false;
    QTest::newRow("700 lines") << 700 << true;
    QTest::newRow("400 lines") << 400 << true;
    QTest::newRow("2 lines") << 2 << true;
}

void ShiftMapEditorsTest::importRefusesOtherFiles()
{
    QFETCH(int, lineCount);
    QFETCH(bool, message);
    QTemporaryDir dir;
    TableEditor &w = m_f->pair(1);
    m_f->host.receive(answer("EA", kDefaults12));
    w.cell("Edit3")->setText("50");
    w.saveButton()->setEnabled(false);
    QMap<int, QString> lines = tableLines(20, numbers(1, 24));
    lines.insert(0, QString(1400, 'A'));
    if (lineCount >= 0) {
        m_f->dialogs.openAnswers << writeDecimalFile(dir, lineCount, lines);
    }
    w.findChild<QToolButton *>("SpeedButton1")->click();

    QCOMPARE(m_f->dialogs.messages,
             message ? QStringList({"Incorrect KESTO file."}) : QStringList());
    QCOMPARE(w.cellText("Edit3"), QStringLiteral("50"));
    QCOMPARE(w.cellText("Edit24"), QStringLiteral("45"));
    QVERIFY(!w.isHighlighted("Edit24"));
    QVERIFY(!w.saveButton()->isEnabled());
}

void ShiftMapEditorsTest::saveSendsCellsAndClearsHighlight_data()
{
    QTest::addColumn<int>("pair");
    for (int p = 1; p <= kShiftMapCount; ++p) {
        QTest::newRow(kWindows[p - 1]) << p;
    }
}

void ShiftMapEditorsTest::saveSendsCellsAndClearsHighlight()
{
    QFETCH(int, pair);
    QTemporaryDir dir;
    TableEditor &w = m_f->pair(pair);
    const int base = kBases[pair - 1];
    const QStringList values = numbers(70, 24);
    m_f->dialogs.openAnswers << writeDecimalFile(dir, 350, tableLines(base, values));
    w.findChild<QToolButton *>("SpeedButton1")->click();
    QVERIFY(w.isHighlighted("Edit24"));
    m_f->host.takeSent();

    w.saveButton()->click();

    const QByteArray expected =
        "k1," + QByteArray::number(base) + ',' + values.join(',').toLatin1() + '~';
    const QByteArray sent = m_f->host.takeSent();
    QCOMPARE(sent, expected);
    QCOMPARE(sent.count(','), 1 + 24); // the address and exactly 24 values
    QVERIFY(!w.saveButton()->isEnabled());
    for (int i = 1; i <= 24; ++i) {
        QVERIFY(!w.isHighlighted(QStringLiteral("Edit%1").arg(i)));
    }
}

void ShiftMapEditorsTest::overlayShowsNextEditorAsItStands()
{
    TableEditor &w = m_f->pair(1);
    auto *box = w.findChild<QCheckBox *>("CheckBox1");
    QVERIFY(box);
    QCOMPARE(w.chart()->values("Series3"), QList<double>());

    box->setChecked(true); // the 2-3 map was never read: its defaults
    QCOMPARE(w.chart()->values("Series3"), QList<double>({24, 25, 27, 30, 39, 58, 77, 93}));
    QCOMPARE(w.chart()->labels("Series3"), kDefaults12.mid(0, 8));

    // The overlay follows the next map at the next redraw, not by itself.
    m_f->pair(2).cell("Edit9")->setText("11");
    QCOMPARE(w.chart()->values("Series3").first(), 24.0);
    w.cell("Edit9")->setText("15");
    QCOMPARE(w.chart()->values("Series3").first(), 11.0);

    box->setChecked(false);
    QCOMPARE(w.chart()->values("Series3"), QList<double>());
    QCOMPARE(w.chart()->values("Series1").first(), 15.0);

    // The last map has nothing to overlay.
    QVERIFY(!m_f->pair(5).findChild<QCheckBox *>("CheckBox1"));
}

void ShiftMapEditorsTest::overlayStopsAtUnreadableCell()
{
    m_f->pair(4).cell("Edit11")->insert("x");
    m_f->host.errors.clear();
    TableEditor &w = m_f->pair(3);
    w.findChild<QCheckBox *>("CheckBox1")->setChecked(true);
    QCOMPARE(w.chart()->values("Series3"), QList<double>({14, 14}));
    QCOMPARE(m_f->host.errors, QStringList({"'14x' is not a valid integer value"}));
}

void ShiftMapEditorsTest::f2InAnyCellOpensNextEditor()
{
    TableEditor &first = m_f->pair(1);
    TableEditor &second = m_f->pair(2);
    m_f->host.receive(answer("EA", kDefaults12));
    QVERIFY(activate(first));
    first.cell("Edit13")->setFocus();
    QCOMPARE(first.cell("Edit13")->hasFocus(), true);
    m_f->host.takeSent();

    QTest::keyClick(first.cell("Edit13"), Qt::Key_F2);

    QCOMPARE(m_f->host.takeSent(), QByteArray("ee,66,44,67~"));
    QVERIFY(first.isHidden());
    QVERIFY(second.isVisible());
    QCOMPARE(second.focusWidget(), second.cell("Edit1"));
    QCOMPARE(second.pos(), QPoint(120, 120));
    QCOMPARE(first.cellText("Edit13"), QStringLiteral("20")); // nothing typed into the cell
}

void ShiftMapEditorsTest::navigation_data()
{
    QTest::addColumn<int>("pair");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("shownPair"); // 0: nothing shown until the answer comes
    QTest::newRow("1-2 >") << 1 << "Button4" << QByteArray("ee,66,44,67~") << 2;
    QTest::newRow("2-3 <") << 2 << "Button3" << QByteArray("ee,65,20,43~") << 0;
    QTest::newRow("2-3 >") << 2 << "Button4" << QByteArray("ee,67,68,91~") << 0;
    QTest::newRow("3-4 <") << 3 << "Button3" << QByteArray("ee,66,44,67~") << 0;
    QTest::newRow("3-4 >") << 3 << "Button4" << QByteArray("ee,68,92,115~") << 0;
    QTest::newRow("4-5 <") << 4 << "Button3" << QByteArray("ee,67,68,91~") << 0;
    QTest::newRow("4-5 >") << 4 << "Button4" << QByteArray("ee,69,116,139~") << 0;
    QTest::newRow("5-6 <") << 5 << "Button3" << QByteArray("ee,68,92,115~") << 0;
}

void ShiftMapEditorsTest::navigation()
{
    QFETCH(int, pair);
    QFETCH(QString, button);
    QFETCH(QByteArray, sent);
    QFETCH(int, shownPair);
    TableEditor &w = m_f->pair(pair);
    w.show();
    w.findChild<QPushButton *>(button)->click();
    QCOMPARE(m_f->host.takeSent(), sent);
    QVERIFY(w.isHidden());
    for (int p = 1; p <= kShiftMapCount; ++p) {
        QCOMPARE(m_f->pair(p).isVisible(), p == shownPair);
    }
    // The neighbour appears with its answer.
    const int target = pair + (button == "Button4" ? 1 : -1);
    m_f->host.receive(answer(kTypes[target - 1], numbers(1, 24)));
    QVERIFY(m_f->pair(target).isVisible());

    // Edges have no button beyond them.
    QVERIFY(!m_f->pair(1).findChild<QPushButton *>("Button3"));
    QVERIFY(!m_f->pair(5).findChild<QPushButton *>("Button4"));
    QCOMPARE(m_f->pair(1).findChild<QPushButton *>("Button4")->text(), QStringLiteral("> (F2)"));
}

void ShiftMapEditorsTest::gearCountHidesForwardControls_data()
{
    QTest::addColumn<int>("gears");
    QTest::addColumn<int>("hiddenPair"); // 0: none
    QTest::newRow("3 gears") << 3 << 2;
    QTest::newRow("4 gears") << 4 << 3;
    QTest::newRow("5 gears") << 5 << 4;
    QTest::newRow("6 gears") << 6 << 0;
}

void ShiftMapEditorsTest::gearCountHidesForwardControls()
{
    QFETCH(int, gears);
    QFETCH(int, hiddenPair);
    m_f->host.facts.setGearCount(3);
    m_f->host.facts.setGearCount(gears); // a later report shows what an earlier one hid
    for (int p = 1; p <= 4; ++p) {
        TableEditor &w = m_f->pair(p);
        w.show();
        QCOMPARE(w.findChild<QPushButton *>("Button4")->isVisible(), p != hiddenPair);
        QCOMPARE(w.findChild<QCheckBox *>("CheckBox1")->isVisible(), p != hiddenPair);
        QVERIFY(p == 1 || w.findChild<QPushButton *>("Button3")->isVisible());
    }
}

void ShiftMapEditorsTest::showSetsPollingAndPlace()
{
    m_f->host.timer1.start(100);
    TableEditor &w = m_f->pair(3);
    w.move(500, 500);
    w.show();
    QCOMPARE(m_f->host.timer1.interval(), 500);
    QVERIFY(m_f->host.timer1.isActive());
    QCOMPARE(w.pos(), QPoint(120, 120));
    QCOMPARE(w.focusWidget(), w.cell("Edit1"));
    w.close();
    QCOMPARE(m_f->host.timer1.interval(), 500); // stays slow after the editor closes
}

void ShiftMapEditorsTest::closeOnlyHides()
{
    TableEditor &w = m_f->pair(5);
    m_f->host.receive(answer("EE", numbers(3, 24)));
    QVERIFY(w.close());
    QVERIFY(w.isHidden());
    QCOMPARE(texts(w), numbers(3, 24));
    w.show();
    QCOMPARE(texts(w), numbers(3, 24));
}

KESTO_TEST_MAIN(ShiftMapEditorsTest)
#include "tst_shift_map_editors.moc"
