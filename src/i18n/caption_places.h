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
};

// One place a caption row feeds: window objectName, control objectName ("" = the window itself).
struct CaptionPlace
{
    int row;
    const char *window;
    const char *control;
    PlaceProperty property;
};

// Every plain place, in row order. Special cases (list items, gauge captions, state-dependent
// captions, axis titles) are applied in code beside ApplyLanguage.
const QList<CaptionPlace> &captionPlaces();

} // namespace kesto
