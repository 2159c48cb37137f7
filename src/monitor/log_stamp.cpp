#include "monitor/log_stamp.h"

#include <QRegularExpression>

namespace kesto {

namespace {

// The text between the hour and the minute of a time format, when it is plain punctuation.
QString separatorOf(const QString &format, qsizetype afterHour)
{
    const qsizetype minute = format.indexOf(QLatin1Char('m'), afterHour);
    if (minute < 0) {
        return QStringLiteral(":");
    }
    const QString between = format.mid(afterHour, minute - afterHour);
    if (between.isEmpty()) {
        return QStringLiteral(":");
    }
    for (const QChar c : between) {
        // Quoted words ("'h'"), letters of the script ("時") or blanks make no usable separator.
        if (c.isLetterOrNumber() || c == QLatin1Char('\'') || c.isSpace()) {
            return QStringLiteral(":");
        }
    }
    return between;
}

} // namespace

LogStamp::LogStamp(const QLocale &locale) : m_locale(locale)
{
    const QString format = m_locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression hour(QStringLiteral("HH|H|hh|h"));
    const QRegularExpressionMatch m = hour.match(format);
    if (m.hasMatch()) {
        m_hourFormat = m.capturedLength() == 2 ? QStringLiteral("HH") : QStringLiteral("H");
        m_separator = separatorOf(format, m.capturedEnd());
    } else {
        m_hourFormat = QStringLiteral("HH");
        m_separator = QStringLiteral(":");
    }
}

QString LogStamp::date(QDate d) const
{
    QString text = m_locale.toString(d, QLocale::ShortFormat);
    text.replace(QLatin1Char('/'), QLatin1Char('.'));
    return text;
}

QString LogStamp::time(QTime t) const
{
    return clockParts(t).join(m_separator);
}

QStringList LogStamp::clockParts(QTime t) const
{
    return {t.toString(m_hourFormat), t.toString(QStringLiteral("mm")),
            t.toString(QStringLiteral("ss"))};
}

QString LogStamp::number(double value, char format, int precision) const
{
    QString text = QString::number(value, format, precision);
    text.replace(QLatin1Char('.'), m_locale.decimalPoint());
    return text;
}

} // namespace kesto
