#include "link/answer_frame.h"

#include "link/error.h"

namespace kesto {

namespace {

bool isSeparator(uint c)
{
    return c >= 1 && c <= 32;
}

uint codeAt(const QString &s, qsizetype i)
{
    return s.at(i).unicode();
}

uint codeAt(QByteArrayView s, qsizetype i)
{
    return quint8(s.at(i));
}

QString slice(const QString &s, qsizetype from, qsizetype n)
{
    return s.mid(from, n);
}

QString slice(QByteArrayView s, qsizetype from, qsizetype n)
{
    return QString::fromLatin1(s.constData() + from, n);
}

// One splitter for text and for received bytes (the hot path of live data).
template<typename Text> QStringList split(const Text &payload)
{
    QStringList fields;
    fields.reserve(16); // a live-data frame has 15
    const qsizetype n = payload.size();
    qsizetype i = 0;
    while (i < n && isSeparator(codeAt(payload, i))) {
        ++i;
    }
    while (i < n) {
        if (codeAt(payload, i) == '"') {
            QString field;
            ++i;
            while (i < n) {
                if (codeAt(payload, i) == '"') {
                    if (i + 1 < n && codeAt(payload, i + 1) == '"') {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += QChar(char16_t(codeAt(payload, i++)));
            }
            fields.append(field);
        } else {
            const qsizetype start = i;
            while (i < n && codeAt(payload, i) != ',' && !isSeparator(codeAt(payload, i))) {
                ++i;
            }
            fields.append(slice(payload, start, i - start));
        }
        while (i < n && isSeparator(codeAt(payload, i))) {
            ++i;
        }
        if (i < n && codeAt(payload, i) == ',') {
            ++i;
            if (i == n) {
                fields.append(QString());
            }
            while (i < n && isSeparator(codeAt(payload, i))) {
                ++i;
            }
        }
    }
    return fields;
}

} // namespace

QStringList splitFields(const QString &payload)
{
    return split(payload);
}

QString AnswerFrame::field(int index) const
{
    return fieldAt(fields, index);
}

int AnswerFrame::intField(int index) const
{
    return toInt(field(index));
}

AnswerFrame AnswerFrame::fromFrameBytes(QByteArrayView frame)
{
    AnswerFrame f;
    f.type = QString::fromLatin1(frame.first(qMin<qsizetype>(2, frame.size())));
    const QByteArrayView payload = frame.size() > 2 ? frame.sliced(2) : QByteArrayView();
    f.payload = QString::fromLatin1(payload);
    f.fields = split(payload);
    return f;
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
