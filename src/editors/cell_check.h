#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace kesto {

// One step of a cell's change or exit check. Steps run in order on the cell's text; the value
// steps leave an empty text alone and throw the conversion error for a text that is not a number.
struct CheckStep
{
    enum class Kind
    {
        Replace,           // the whole text `from` becomes `to` ("" -> "0", "--" -> "-")
        StopIfText,        // end the check when the text equals `from` ("" or a lone "-")
        RequireNumber,     // convert the text, so even an empty text fails
        Normalise,         // rewrite as the integer it holds ("007" -> "7")
        ClampMax,          // a value above `value` becomes `value`
        ClampMin,          // a value below `value` becomes `value`
        RaiseSmall,        // a value above 0 and below `value` becomes `value`
        RoundDown,         // rewrite as the value rounded down to a multiple of `value`
        RoundDownAtLength, // same, only when the text is exactly `extra` characters long;
                           // the caret then goes to the end if the text changed
        Redraw,            // redraw the chart
        EnableSave,        // mark the editor dirty
    };

    Kind kind;
    int value = 0;
    int extra = 0;
    QString from;
    QString to;

    static CheckStep make(Kind kind, int value = 0, int extra = 0, const QString &from = {},
                          const QString &to = {})
    {
        return {kind, value, extra, from, to};
    }
    static CheckStep replace(const QString &from, const QString &to)
    {
        return make(Kind::Replace, 0, 0, from, to);
    }
    static CheckStep fillEmpty(const QString &to) { return replace(QString(), to); }
    static CheckStep stopIf(const QString &text) { return make(Kind::StopIfText, 0, 0, text); }
    static CheckStep requireNumber() { return make(Kind::RequireNumber); }
    static CheckStep normalise() { return make(Kind::Normalise); }
    static CheckStep clampMax(int limit) { return make(Kind::ClampMax, limit); }
    static CheckStep clampMin(int limit) { return make(Kind::ClampMin, limit); }
    static CheckStep raiseSmall(int limit) { return make(Kind::RaiseSmall, limit); }
    static CheckStep roundDown(int step) { return make(Kind::RoundDown, step); }
    static CheckStep roundDownAtLength(int length, int step)
    {
        return make(Kind::RoundDownAtLength, step, length);
    }
    static CheckStep redraw() { return make(Kind::Redraw); }
    static CheckStep enableSave() { return make(Kind::EnableSave); }
};

// What a check decided: the text the cell must hold and what the window must do. A step that
// failed leaves the text as it stood at that step and the actions collected before it; the
// failure text is reported and the steps after it do not run.
struct CheckOutcome
{
    QString text;
    bool redraw = false;
    bool enableSave = false;
    bool caretToEnd = false;
    std::optional<QString> error;
};

CheckOutcome runCheck(const QList<CheckStep> &steps, const QString &text);

} // namespace kesto
