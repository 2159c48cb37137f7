#include "link/answer_frame.h"

#include "link/error.h"

namespace kesto {

namespace {
bool isSeparator(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}
} // namespace

QStringList splitFields(const QString &payload)
{
    QStringList fields;
    const qsizetype n = payload.size();
    qsizetype i = 0;
    while (i < n && isSeparator(payload.at(i))) {
        ++i;
    }
    while (i < n) {
        QString field;
        if (payload.at(i) == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (payload.at(i) == QLatin1Char('"')) {
                    if (i + 1 < n && payload.at(i + 1) == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += payload.at(i++);
            }
        } else {
            const qsizetype start = i;
            while (i < n && payload.at(i) != QLatin1Char(',') && !isSeparator(payload.at(i))) {
                ++i;
            }
            field = payload.mid(start, i - start);
        }
        fields.append(field);
        while (i < n && isSeparator(payload.at(i))) {
            ++i;
        }
        if (i < n && payload.at(i) == QLatin1Char(',')) {
            ++i;
            if (i == n) {
                fields.append(QString());
            }
            while (i < n && isSeparator(payload.at(i))) {
                ++i;
            }
        }
    }
    return fields;
}

QString AnswerFrame::field(int index) const
{
    return fieldAt(fields, index);
}

int AnswerFrame::intField(int index) const
{
    return toInt(field(index));
}

AnswerFrame AnswerFrame::fromFrameText(const QString &frame)
{
    AnswerFrame f;
    f.type = frame.left(2);
    f.payload = frame.size() > 2 ? frame.mid(2) : QString();
    f.fields = splitFields(f.payload);
    return f;
}

} // namespace kesto
