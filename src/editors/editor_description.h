#pragma once

#include "editors/cell_check.h"
#include "editors/encodings.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

namespace kesto {

// A caption: a row of the caption lists, with the design text used while no list supplies it.
struct Caption
{
    int row = -1;
    QString design;

    QString text() const;
};

// A colour without the GUI library (the core links none).
struct Rgb
{
    int r = -1, g = -1, b = -1;
    bool isValid() const { return r >= 0; }
};

// Which characters a cell lets through; Backspace and non-character keys always pass.
enum class KeyFilter
{
    None,         // everything
    Digits,       // "0".."9"
    SignedDigits, // "0".."9" and "-"
};

// A text cell: one image address, shown in display units.
struct CellSpec
{
    QString name; // objectName ("Edit1")
    int address = 0;
    Encoding encoding = Encoding::PlainByte;
    int column = 0; // placement in the table (0-based), below the header rows
    int row = 0;
    QString defaultText;
    KeyFilter keys = KeyFilter::Digits;
    int maxLength = 0; // typed characters; 0 = no limit. Fills and imports are not limited.
    QList<CheckStep> onChange;
    QList<CheckStep> onExit;
    int minGears = 0; // enabled on show only with at least this many gears (0 = always)
};

// A drop-down list cell with fixed items; set by index, never imported.
struct ListCellSpec
{
    QString name;
    int address = 0;
    Encoding encoding = Encoding::SluLevel;
    QStringList items;
    int column = 0;
    int row = 0;
    int defaultIndex = 0;
    bool userChangeEnablesSave = true;
};

// A fixed label of the table.
struct LabelSpec
{
    QString name;
    Caption text;
    int column = 0;
    int row = 0; // header rows are negative: -1 is the row right above the first cell row
    Rgb background;
};

// A check box of the button row.
struct CheckBoxSpec
{
    QString name;
    Caption text;
    Caption hint;
};

// One write command: "k1,<first>," and the stored values of the cells, in this order.
struct WriteBlock
{
    int firstAddress = 0;
    QStringList cells;    // text or list cells
    int pauseAfterMs = 0; // blocking pause after the command (not after the last)
};

enum class SeriesKind
{
    Line,
    Bar
};
enum class PointShape
{
    None,
    Square,
    Circle
};

struct SeriesSpec
{
    QString name; // "Series1"
    QString title;
    SeriesKind kind = SeriesKind::Line;
    Rgb colour;
    int width = 1;
    Rgb pointColour; // invalid = the line colour
    PointShape points = PointShape::Square;
    Rgb markText{0, 0, 0}; // colour of the value marks' text
    Rgb markBrush{255, 255, 225};
    QStringList valueCells;
    QStringList labelCells;  // one per point; or
    QStringList fixedLabels; // fixed texts
    QList<int> minGears;     // per point: drawn only with at least this many gears (optional)
    QString sourceWindow;    // cells taken from another editor ("" = this one)
    QString toggle;          // check box that shows the series ("" = always shown)
};

struct ChartSpec
{
    QString name = QStringLiteral("DBChart1");
    Caption horizontalTitle; // bottom and top axis
    Caption verticalTitle;   // titled vertical axes (see below)
    bool leftTitled = true;
    bool rightTitled = true;
    bool topTitled = true;
    std::optional<std::pair<double, double>> verticalRange; // fixed; otherwise follows the data
    QList<SeriesSpec> series;
    // Placement in the window's grid (columns after the table by default).
    int column = -1;
    int row = 0;
    int rowSpan = -1;
    int columnSpan = 1;
};

// Going to a neighbouring editor.
struct NavigationSpec
{
    enum class Kind
    {
        ReadRequest, // send the neighbour's read request, close; it shows on its fill
        Notice,      // send a notice command, place and show the neighbour at once, close
    };
    QString button; // "Button3" / "Button4"
    Caption caption;
    Kind kind = Kind::ReadRequest;
    QString target; // objectName of the neighbour
    QByteArray command;
    bool showTargetAtOnce = false;
    int shortcutKey = 0; // a Qt::Key pressed anywhere in the window clicks the button (0 = none)
};

// Hides controls when the controller reports a given gear count.
struct GearRule
{
    int hideAtGears = 0; // 0 = never
    QStringList controls;
};

struct ImportSpec
{
    bool present = true;
    QString button = QStringLiteral("SpeedButton1");
    bool iconOnly = true;
    Caption caption;
    Caption hint{253, QStringLiteral("Import this page from file")};
    QList<int> acceptedLineCounts{300, 350};
    bool highlights = true;
};

// Everything that makes one table editor.
struct EditorDescription
{
    QString objectName; // "TForm5"
    Caption title;
    QString answerType; // "EA": the read request and the fill

    QList<CellSpec> cells;
    QList<ListCellSpec> lists;
    QList<LabelSpec> labels;
    QList<CheckBoxSpec> checkBoxes;

    QString readButton = QStringLiteral("Button1");
    QString saveButton = QStringLiteral("Button2");
    Caption readCaption{191, QStringLiteral("Read")};
    Caption saveCaption{192, QStringLiteral("Save")};
    bool readDisablesRead = true;
    bool fillSetsButtons = true; // Read enabled, Save disabled after a fill
    bool saveDisablesSave = true;

    ImportSpec import;
    QList<WriteBlock> writes;
    QList<ChartSpec> charts;
    QList<NavigationSpec> navigation;
    GearRule gearRule;

    QPoint fillOffset{20, 30};        // a hidden window filled from an answer appears here
    std::optional<QPoint> showOffset; // placed here whenever shown
    int pollIntervalOnShow = 0;       // the main window's Timer1 interval set on show (0 = none)
    int pollIntervalOnClose = 0;      // ... and on close
    bool enableMainWindowOnClose = false;
    bool focusFirstCellOnShow = false;

    QByteArray readRequest() const;
    int cellIndex(const QString &name) const; // -1 when absent
    int listIndex(const QString &name) const; // -1 when absent
    // Problems of the description itself (unknown cells, addresses outside the answer...);
    // empty for a sound description.
    QStringList validate() const;
};

} // namespace kesto
