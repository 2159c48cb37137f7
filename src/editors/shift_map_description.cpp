#include "editors/shift_map_description.h"

#include "link/commands.h"
#include "link/error.h"

#include <Qt>
#include <array>

namespace kesto {

namespace {

constexpr int kRows = 8;

// What differs between the five gear pairs; everything else is shared.
struct ShiftPair
{
    const char *window;
    const char *answerType;
    int base;
    int titleRow;
    const char *title;
    const char *upDirection;
    const char *downDirection;
    const char *defaultsUp;
    const char *defaultsDown;
};

constexpr const char *kThrottleDefaults = "0 6 13 20 33 47 60 73";
constexpr const char *kLowUp = "14 14 14 14 20 32 42 50";
constexpr const char *kLowDown = "5 5 6 8 15 26 38 45";

constexpr std::array<ShiftPair, kShiftMapCount> kPairs = {{
    {"TForm5", "EA", 20, 205, "1-2 upshift, 2-1 downshift", "1 -> 2", "2 -> 1", kLowUp, kLowDown},
    {"TForm6", "EB", 44, 206, "2-3 upshift, 3-2 downshift", "2 -> 3", "3 -> 2",
     "24 25 27 30 39 58 77 93", "19 20 22 26 32 51 69 80"},
    {"TForm7", "EC", 68, 207, "3-4 upshift, 4-3 downshift", "3 -> 4", "4 -> 3",
     "44 44 44 47 66 93 119 143", "34 34 34 36 59 89 111 131"},
    {"TForm11", "ED", 92, 208, "4-5 upshift, 5-4 downshift", "4 -> 5", "5 -> 4", kLowUp, kLowDown},
    {"TForm12", "EE", 116, 209, "5-6 upshift, 6-5 downshift", "5 -> 6", "6 -> 5", kLowUp, kLowDown},
}};

QString cellName(int n)
{
    return QStringLiteral("Edit%1").arg(n);
}

QStringList cellNames(int first, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names << cellName(first + i);
    }
    return names;
}

// A column of eight cells: throttle 0..100, speeds 0..255. The shift maps limit while typing
// but rewrite the number ("05" -> "5") only when the cell is left.
void addColumn(EditorDescription &d, int column, int base, int limit, const char *defaults)
{
    const QStringList values = QString::fromLatin1(defaults).split(QLatin1Char(' '));
    for (int r = 0; r < kRows; ++r) {
        CellSpec c;
        c.name = cellName(column * kRows + r + 1);
        c.address = base + column * kRows + r;
        c.column = column;
        c.row = r;
        c.defaultText = values.at(r);
        c.keys = KeyFilter::Digits;
        c.maxLength = 3;
        c.onChange = {CheckStep::clampMax(limit), CheckStep::redraw(), CheckStep::enableSave()};
        c.onExit = {CheckStep::fillEmpty(QStringLiteral("0")), CheckStep::normalise(),
                    CheckStep::redraw()};
        d.cells << c;
    }
}

LabelSpec label(int n, Caption text, int column, int row, Rgb background = {})
{
    return {QStringLiteral("Label%1").arg(n), std::move(text), column, row, background};
}

} // namespace

EditorDescription shiftMapDescription(int pair)
{
    if (pair < 1 || pair > kShiftMapCount) {
        throw Error(QStringLiteral("No shift map for gear pair %1").arg(pair));
    }
    const ShiftPair &p = kPairs.at(pair - 1);
    const ShiftPair *previous = pair > 1 ? &kPairs.at(pair - 2) : nullptr;
    const ShiftPair *next = pair < kShiftMapCount ? &kPairs.at(pair) : nullptr;

    EditorDescription d;
    d.objectName = QLatin1String(p.window);
    d.title = {p.titleRow, QLatin1String(p.title)};
    d.answerType = QLatin1String(p.answerType);

    addColumn(d, 0, p.base, 100, kThrottleDefaults);
    addColumn(d, 1, p.base, 255, p.defaultsUp);
    addColumn(d, 2, p.base, 255, p.defaultsDown);

    const Rgb up{128, 255, 128};
    const Rgb down{255, 128, 128};
    d.labels = {
        label(1, {197, QStringLiteral("TPS")}, 0, -5),
        label(2, {-1, QStringLiteral("[%]")}, 0, -4),
        label(3, {202, QStringLiteral("up")}, 1, -5, up),
        label(4, {203, QStringLiteral("down")}, 2, -5, down),
        label(5, {-1, QLatin1String(p.upDirection)}, 1, -4),
        label(6, {-1, QLatin1String(p.downDirection)}, 2, -4),
        label(7, {204, QStringLiteral("SHIFT")}, 1, -3),
        label(8, {204, QStringLiteral("SHIFT")}, 2, -3),
        label(9, {200, QStringLiteral("speed")}, 1, -2),
        label(10, {200, QStringLiteral("speed")}, 2, -2),
        label(11, {201, QStringLiteral("[kph]")}, 1, -1),
        label(12, {201, QStringLiteral("[kph]")}, 2, -1),
    };

    // Saved as typed, in cell order, after the checks.
    d.writes = {{p.base, cellNames(1, 3 * kRows), 0}};

    ChartSpec chart;
    chart.horizontalTitle = {197, QStringLiteral("TPS")};
    chart.verticalTitle = {190, QStringLiteral("SPEED")};
    const QStringList throttle = cellNames(1, kRows);

    SeriesSpec upshift;
    upshift.name = QStringLiteral("Series1");
    upshift.title = QStringLiteral("SHIFTUP");
    upshift.colour = up;
    upshift.width = 4;
    upshift.valueCells = cellNames(kRows + 1, kRows);
    upshift.labelCells = throttle;

    SeriesSpec downshift;
    downshift.name = QStringLiteral("Series2");
    downshift.colour = {255, 0, 0};
    downshift.width = 4;
    downshift.valueCells = cellNames(2 * kRows + 1, kRows);
    downshift.labelCells = throttle;
    chart.series = {upshift, downshift};

    if (next) {
        d.checkBoxes << CheckBoxSpec{QStringLiteral("CheckBox1"),
                                     {198, QStringLiteral("Show next gear shifting")},
                                     {199, QString()}};
        SeriesSpec overlay;
        overlay.name = QStringLiteral("Series3");
        overlay.colour = {0, 128, 255};
        overlay.width = 2;
        overlay.markText = {255, 255, 255};
        overlay.markBrush = {0, 128, 255};
        overlay.valueCells = upshift.valueCells;
        overlay.labelCells = throttle;
        overlay.sourceWindow = QLatin1String(next->window);
        overlay.toggle = QStringLiteral("CheckBox1");
        chart.series << overlay;
    }
    d.charts = {chart};

    if (previous) {
        NavigationSpec back;
        back.button = QStringLiteral("Button3");
        back.caption = {-1, QStringLiteral("<")};
        back.target = QLatin1String(previous->window);
        back.command = cmd::readRequest(QLatin1String(previous->answerType));
        d.navigation << back;
    }
    if (next) {
        NavigationSpec forward;
        forward.button = QStringLiteral("Button4");
        forward.target = QLatin1String(next->window);
        forward.command = cmd::readRequest(QLatin1String(next->answerType));
        if (pair == 1) {
            // The first map leads on at once and also answers to F2.
            forward.caption = {-1, QStringLiteral("> (F2)")};
            forward.showTargetAtOnce = true;
            forward.shortcutKey = Qt::Key_F2;
        } else {
            forward.caption = {-1, QStringLiteral(">")};
        }
        d.navigation << forward;
    }
    if (pair >= 2 && next) {
        // The editor of the highest existing gear pair has nowhere to go.
        d.gearRule = {pair + 1, {QStringLiteral("Button4"), QStringLiteral("CheckBox1")}};
    }

    d.showOffset = QPoint(20, 20);
    d.pollIntervalOnShow = 500;
    d.focusFirstCellOnShow = true;
    return d;
}

} // namespace kesto
