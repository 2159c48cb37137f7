#pragma once

#include <QString>
#include <stdexcept>

namespace kesto {

// Every failure of the program is one of these; the general error handler shows its text.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The one number conversion for answer fields, cells and file lines: an optional sign, then
// decimal digits. Anything else throws "'<text>' is not a valid integer value".
int toInt(const QString &text);

// Same, for the places where a missing field must fail like a list index out of range.
QString fieldAt(const QStringList &fields, int index);

} // namespace kesto
