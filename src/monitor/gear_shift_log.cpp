#include "monitor/gear_shift_log.h"

#include "link/error.h"

#include <QStringList>
#include <array>

namespace kesto {

namespace {

const std::array<QString, GearShiftLog::kReasonCount> &reasons()
{
    static const std::array<QString, GearShiftLog::kReasonCount> texts = {
        QStringLiteral("Неизвестная причина"),
        QStringLiteral("Передача была 0"),
        QStringLiteral("Переход с R,N,0"),
        QStringLiteral("Переход вверх по оборотам, rpm>"),
        QStringLiteral("Понижение, скорость меньше чем, spd<"),
        QStringLiteral("Повышение, скорость больше чем, spd>"),
        QStringLiteral("Выбор 2й т.к. режим snow mode"),
        QStringLiteral("Переход вниз по скорости режим \"в пол\""),
        QStringLiteral("Переход на R"),
        QStringLiteral("Переход на PN"),
        QStringLiteral("Ручное переключение"),
        QStringLiteral("Ручной режим жесткая фиксация"),
    };
    return texts;
}

} // namespace

QString GearShiftLog::reasonText(const QString &code)
{
    bool ok = false;
    const int n = code.toInt(&ok);
    if (!ok || n < 0 || n >= kReasonCount) {
        return QString();
    }
    return reasons()[std::size_t(n)];
}

void GearShiftLog::writeReport(const AnswerFrame &frame, const QDateTime &now,
                               const LogStamp &stamp, const LineSink &appendLine)
{
    appendLine(stamp.date(now.date()) + QLatin1Char(' ') + stamp.time(now.time()));
    appendLine(QStringLiteral("На передачу: ") + frame.field(0));
    appendLine(reasonText(frame.field(1)) + QStringLiteral(", параметр:") + frame.field(2));
    appendLine(QStringLiteral("скорость: ") + frame.field(3) + QStringLiteral(", обороты: ") +
               frame.field(4) + QStringLiteral(", дроссель: ") + frame.field(5));
    appendLine(QString());
}

QString GearShiftLog::saveFileName(const QDateTime &now, const LogStamp &stamp)
{
    QString time = stamp.time(now.time());
    time.replace(QLatin1Char(':'), QLatin1Char('.'));
    return stamp.date(now.date()) + QLatin1Char('_') + time + QStringLiteral(".txt");
}

bool GearShiftLog::isEnglishReport(const AnswerFrame &frame)
{
    return frame.type == QLatin1String("lo") && !frame.fields.isEmpty() &&
           frame.fields.first() == QLatin1String("gmsg");
}

QString GearShiftLog::englishLine(const AnswerFrame &frame, const QDateTime &now,
                                  const LogStamp &stamp)
{
    const QString direction = frame.field(1) == QLatin1String("su")
                                  ? QStringLiteral("Shifting UP ")
                                  : QStringLiteral("Shifting DOWN ");
    const QString reason = expandReason(frame.field(2));
    return stamp.time(now.time()) + QLatin1Char(' ') + direction + QStringLiteral("to ") +
           frame.field(5) + QStringLiteral(", reason: ") + reason + QStringLiteral(", rmp: ") +
           frame.field(3) + QLatin1Char('[') + frame.field(6) + QStringLiteral("], speed: ") +
           frame.field(4) + QLatin1Char('[') + frame.field(7) + QLatin1Char(']');
}

QString GearShiftLog::expandReason(const QString &reason)
{
    // Longer words first: "S<" is the tail of several of them.
    static const std::array<std::pair<QString, QString>, 9> words = {{
        {QStringLiteral("UG_S<"), QStringLiteral("UNKNOWN GEAR, speed<")},
        {QStringLiteral("G>2OL_S<"), QStringLiteral("GEAR > 2 ON L, speed<")},
        {QStringLiteral("FDT2_S<"), QStringLiteral("FROM D TO 2, speed<")},
        {QStringLiteral("FDT3_S<"), QStringLiteral("FROM D TO 3, speed<")},
        {QStringLiteral("KD_S<"), QStringLiteral("KICKDOWN, speed<")},
        {QStringLiteral("S<"), QStringLiteral("speed<")},
        {QStringLiteral("S>"), QStringLiteral("speed>")},
        {QStringLiteral("R<"), QStringLiteral("rmp<")},
        {QStringLiteral("R>"), QStringLiteral("rmp>")},
    }};
    QString text = reason;
    for (const auto &[word, spelled] : words) {
        text.replace(word, spelled, Qt::CaseInsensitive);
    }
    return text;
}

} // namespace kesto
