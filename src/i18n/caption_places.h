#pragma once

#include <QList>

namespace kesto {

// Which property of a control a caption row is written to.
enum class PlaceProperty
{
    Text,        // "text" (labels, buttons, check boxes, actions)
    WindowTitle, // a window's caption
    ToolTip,     // a hint
    Title,       // "title" (menus, group boxes)
    Item,        // the text of list item `index` of a drop-down list; the selection is kept
    Axis,        // the title of the chart axes in the `index` mask (kAxisLeft | kAxisRight ...)
    // Chart axis titles of the table editors (properties of their chart widget).
    HorizontalAxisTitle, // "horizontalAxisTitle": bottom and top axis
    VerticalAxisTitle,   // "verticalAxisTitle": the titled value axes
};

// Axis masks for PlaceProperty::Axis (the values of the chart library's axis types).
inline constexpr int kAxisLeft = 0x01;
inline constexpr int kAxisRight = 0x02;
inline constexpr int kAxisTop = 0x04;
inline constexpr int kAxisBottom = 0x08;

// One place a caption row feeds: window objectName, control objectName ("" = the window itself).
struct CaptionPlace
{
    int row;
    const char *window;
    const char *control;
    PlaceProperty property;
    int index = -1; // list item (Item) or axis mask (Axis); unused otherwise
};

// The Qt property a place kind writes; "" for the kinds written in code (Item, Axis).
const char *placePropertyName(PlaceProperty property);

// Every plain place, in row order. Special cases (list items, gauge captions, state-dependent
// captions, axis titles) are applied in code beside ApplyLanguage.
const QList<CaptionPlace> &captionPlaces();

} // namespace kesto
