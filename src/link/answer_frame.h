#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace kesto {

// One answer of the controller: two type characters, the payload up to the "~", and the
// payload split into fields.
struct AnswerFrame
{
    QString type;
    QString payload;
    QStringList fields;

    // Field by position; a missing field throws like an index out of range.
    QString field(int index) const;
    // Field by position converted to a number; throws on a missing field or a non-number.
    int intField(int index) const;

    static AnswerFrame fromFrameText(const QString &frameWithoutTilde);
    // Same, from received single-byte characters.
    static AnswerFrame fromFrameBytes(QByteArrayView frameWithoutTilde);
};

// Splits a payload into fields: blanks and control characters (codes 1..32) separate, quoted
// fields may hold commas and doubled quotes, a trailing comma adds one empty field, two commas
// give an empty field, an empty payload gives no fields.
QStringList splitFields(const QString &payload);

} // namespace kesto
