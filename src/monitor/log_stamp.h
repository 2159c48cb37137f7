#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>

namespace kesto {

// Date and time texts of the log files, in the user's locale: the short date with "/" turned
// into "." (the texts end up in file names), and the time as hours, minutes and seconds only.
// The locale's long time format is not used as is: on Linux it carries a time zone
// ("14:05:09 UTC"), and a 12-hour format would give two files of one day the same name, so the
// hour is always written on the 24-hour clock with the locale's own separator.
class LogStamp
{
public:
    explicit LogStamp(const QLocale &locale = QLocale::system());

    // The short date, every "/" replaced by ".".
    QString date(QDate d) const;
    // Hours, minutes and seconds joined by the locale's time separator.
    QString time(QTime t) const;
    // The same three parts, one text each.
    QStringList clockParts(QTime t) const;
    // A number with the locale's decimal separator and no grouping.
    QString number(double value, char format, int precision) const;

    const QLocale &locale() const { return m_locale; }
    QString timeSeparator() const { return m_separator; }

private:
    QLocale m_locale;
    QString m_hourFormat; // "HH" or "H"
    QString m_separator;
};

} // namespace kesto
