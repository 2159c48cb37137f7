#include "link/error.h"

#include <QStringList>

namespace kesto {

int toInt(const QString &text)
{
    // An optional minus sign, then 1..10 decimal digits, within the range of int.
    const int start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    bool valid = text.size() > start && text.size() - start <= 10;
    for (int i = start; valid && i < text.size(); ++i) {
        valid = text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9');
    }
    qint64 value = 0;
    if (valid) {
        value = text.toLongLong(&valid, 10);
        valid = valid && value >= std::numeric_limits<int>::min()
                && value <= std::numeric_limits<int>::max();
    }
    if (!valid) {
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    return static_cast<int>(value);
}

QString fieldAt(const QStringList &fields, int index)
{
    if (index < 0 || index >= fields.size()) {
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
    }
    return fields.at(index);
}

} // namespace kesto
