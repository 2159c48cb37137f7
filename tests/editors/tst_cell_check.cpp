#include "editors/cell_check.h"
#include "editors/shift_map_description.h"

#include "test_main.h"

using namespace kesto;

namespace {

using S = CheckStep;

// Step lists as the editors use them; the shift map ones come from the real description.
QList<CheckStep> steps(const QString &name)
{
    const EditorDescription shift = shiftMapDescription(1);
    if (name == "shift throttle change") {
        return shift.cells.at(shift.cellIndex("Edit1")).onChange;
    }
    if (name == "shift speed change") {
        return shift.cells.at(shift.cellIndex("Edit9")).onChange;
    }
    if (name == "shift exit") {
        return shift.cells.at(shift.cellIndex("Edit17")).onExit;
    }
    if (name == "rpm change") {
        return {S::fillEmpty("0"),           S::normalise(), S::clampMax(12750),
                S::roundDownAtLength(4, 50), S::redraw(),    S::enableSave()};
    }
    if (name == "rpm exit") {
        return {S::roundDown(50), S::redraw(), S::enableSave()};
    }
    if (name == "pressure change") {
        return {S::enableSave(), S::stopIf(""), S::normalise(), S::clampMax(100), S::redraw()};
    }
    if (name == "pressure exit") {
        return {S::fillEmpty("10"), S::raiseSmall(10), S::redraw(), S::enableSave()};
    }
    if (name == "signed change") {
        return {S::fillEmpty("0"), S::replace("--", "-"), S::stopIf("-"),
                S::normalise(),    S::clampMax(150),      S::clampMin(-100)};
    }
    if (name == "timing exit") {
        return {S::requireNumber(), S::clampMax(2550), S::roundDown(50)};
    }
    qFatal("unknown step list");
}

} // namespace

class CellCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void outcome_data();
    void outcome();
};

void CellCheckTest::outcome_data()
{
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("redraw");
    QTest::addColumn<bool>("enableSave");
    QTest::addColumn<bool>("caretToEnd");
    QTest::addColumn<QString>("error"); // "" = none

    const QString notInt = QStringLiteral("'%1' is not a valid integer value");
    auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };

    row("shift throttle 250 -> 100") << "shift throttle change"
                                     << "250"
                                     << "100" << true << true << false << "";
    row("shift throttle keeps 05") << "shift throttle change"
                                   << "05"
                                   << "05" << true << true << false << "";
    row("shift throttle 100 stays") << "shift throttle change"
                                    << "100"
                                    << "100" << true << true << false << "";
    row("shift speed 300 -> 255") << "shift speed change"
                                  << "300"
                                  << "255" << true << true << false << "";
    row("shift speed 255 stays") << "shift speed change"
                                 << "255"
                                 << "255" << true << true << false << "";
    row("shift speed empty stays empty") << "shift speed change"
                                         << ""
                                         << "" << true << true << false << "";
    row("shift pasted text fails") << "shift speed change"
                                   << "1a"
                                   << "1a" << false << false << false << notInt.arg("1a");
    row("shift exit empty -> 0") << "shift exit"
                                 << ""
                                 << "0" << true << false << false << "";
    row("shift exit 007 -> 7") << "shift exit"
                               << "007"
                               << "7" << true << false << false << "";

    row("rpm 602 not rounded yet") << "rpm change"
                                   << "602"
                                   << "602" << true << true << false << "";
    row("rpm 6025 -> 6000, caret") << "rpm change"
                                   << "6025"
                                   << "6000" << true << true << true << "";
    row("rpm 6000 no caret move") << "rpm change"
                                  << "6000"
                                  << "6000" << true << true << false << "";
    row("rpm 13000 -> 12750") << "rpm change"
                              << "13000"
                              << "12750" << true << true << false << "";
    row("rpm empty -> 0") << "rpm change"
                          << ""
                          << "0" << true << true << false << "";
    row("rpm exit 975 -> 950") << "rpm exit"
                               << "975"
                               << "950" << true << true << false << "";

    row("pressure empty: save only") << "pressure change"
                                     << ""
                                     << "" << false << true << false << "";
    row("pressure 150 -> 100") << "pressure change"
                               << "150"
                               << "100" << true << true << false << "";
    row("pressure exit 5 -> 10") << "pressure exit"
                                 << "5"
                                 << "10" << true << true << false << "";
    row("pressure exit 0 stays") << "pressure exit"
                                 << "0"
                                 << "0" << true << true << false << "";
    row("pressure exit empty -> 10") << "pressure exit"
                                     << ""
                                     << "10" << true << true << false << "";

    row("signed -- -> -") << "signed change"
                          << "--"
                          << "-" << false << false << false << "";
    row("signed lone minus waits") << "signed change"
                                   << "-"
                                   << "-" << false << false << false << "";
    row("signed 200 -> 150") << "signed change"
                             << "200"
                             << "150" << false << false << false << "";
    row("signed -150 -> -100") << "signed change"
                               << "-150"
                               << "-100" << false << false << false << "";
    row("signed 5- fails") << "signed change"
                           << "5-"
                           << "5-" << false << false << false << notInt.arg("5-");

    row("timing 3000 -> 2550") << "timing exit"
                               << "3000"
                               << "2550" << false << false << false << "";
    row("timing 275 -> 250") << "timing exit"
                             << "275"
                             << "250" << false << false << false << "";
    row("timing empty fails") << "timing exit"
                              << ""
                              << "" << false << false << false << notInt.arg("");
}

void CellCheckTest::outcome()
{
    QFETCH(QString, check);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(bool, redraw);
    QFETCH(bool, enableSave);
    QFETCH(bool, caretToEnd);
    QFETCH(QString, error);

    const CheckOutcome out = runCheck(steps(check), input);
    QCOMPARE(out.text, output);
    QCOMPARE(out.redraw, redraw);
    QCOMPARE(out.enableSave, enableSave);
    QCOMPARE(out.caretToEnd, caretToEnd);
    QCOMPARE(out.error.value_or(QString()), error);
}

KESTO_TEST_MAIN(CellCheckTest)
#include "tst_cell_check.moc"
