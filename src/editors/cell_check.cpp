#include "editors/cell_check.h"

#include "link/error.h"

namespace kesto {

namespace {

QString roundedDown(int value, int step)
{
    return QString::number(step > 0 ? value / step * step : value);
}

} // namespace

CheckOutcome runCheck(const QList<CheckStep> &steps, const QString &text)
{
    using K = CheckStep::Kind;
    CheckOutcome out;
    out.text = text;
    try {
        for (const CheckStep &s : steps) {
            QString &t = out.text;
            switch (s.kind) {
            case K::Replace:
                if (t == s.from) {
                    t = s.to;
                }
                break;
            case K::StopIfText:
                if (t == s.from) {
                    return out;
                }
                break;
            case K::RequireNumber:
                toInt(t);
                break;
            case K::Normalise:
                if (!t.isEmpty()) {
                    t = QString::number(toInt(t));
                }
                break;
            case K::ClampMax:
                if (!t.isEmpty() && toInt(t) > s.value) {
                    t = QString::number(s.value);
                }
                break;
            case K::ClampMin:
                if (!t.isEmpty() && toInt(t) < s.value) {
                    t = QString::number(s.value);
                }
                break;
            case K::RaiseSmall:
                if (!t.isEmpty()) {
                    const int v = toInt(t);
                    if (v > 0 && v < s.value) {
                        t = QString::number(s.value);
                    }
                }
                break;
            case K::RoundDown:
                if (!t.isEmpty()) {
                    t = roundedDown(toInt(t), s.value);
                }
                break;
            case K::RoundDownAtLength:
                if (t.size() == s.extra) {
                    const QString r = roundedDown(toInt(t), s.value);
                    if (r != t) {
                        t = r;
                        out.caretToEnd = true;
                    }
                }
                break;
            case K::Redraw:
                out.redraw = true;
                break;
            case K::EnableSave:
                out.enableSave = true;
                break;
            }
        }
    } catch (const Error &e) {
        out.error = e.text();
    }
    return out;
}

} // namespace kesto
