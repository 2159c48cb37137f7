#pragma once

#include "link/answer_frame.h"
#include "monitor/log_stamp.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace kesto {

// The controller's gear-shift reports as readable text. An "lg" report becomes five lines in
// Russian whatever the interface language. A frame starting "logmsg" (dispatched as type "lo",
// the rest of the word being field 0) is the controller's English form and becomes one line.
class GearShiftLog
{
public:
    using LineSink = std::function<void(const QString &)>;

    static constexpr int kReasonCount = 12;

    // The Russian text of a reason code; "" for any code outside 0..11 or a code that is no
    // number.
    static QString reasonText(const QString &code);

    // Hands the five lines of an "lg" report to appendLine one by one. A missing field throws
    // like an index out of range; the lines handed on before it stay with the caller.
    static void writeReport(const AnswerFrame &frame, const QDateTime &now, const LogStamp &stamp,
                            const LineSink &appendLine);

    // "<date>_<time>.txt", "." in place of every "/" and ":".
    static QString saveFileName(const QDateTime &now, const LogStamp &stamp);

    // Whether an "lo" frame is the English report ("logmsg...").
    static bool isEnglishReport(const AnswerFrame &frame);
    // The one line of an English report; throws like an index out of range for a missing field.
    static QString englishLine(const AnswerFrame &frame, const QDateTime &now,
                               const LogStamp &stamp);
    // The controller's short reason words spelled out ("KD_S<" -> "KICKDOWN, speed<").
    static QString expandReason(const QString &reason);
};

} // namespace kesto
