#include "config/config_file.h"

#include "config/config_image.h"
#include "link/error.h"

#include <QFile>
#include <QSaveFile>

namespace kesto {

FileText FileText::fromBytes(const QByteArray &bytes)
{
    FileText f;
    // Single-byte text: every byte is one character.
    f.text = QString::fromLatin1(bytes);
    const QString &t = f.text;
    const qsizetype n = t.size();
    qsizetype start = 0;
    qsizetype breaks = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = t.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            f.lines.append(t.mid(start, i - start));
            ++breaks;
            if (c == QLatin1Char('\r') && i + 1 < n && t.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
            ++i;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n) {
        f.lines.append(t.mid(start));
    }
    qsizetype plain = 0;
    for (const QString &l : f.lines) {
        plain += l.size();
    }
    f.length = int(plain + 2 * breaks);
    return f;
}

FileText FileText::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    }
    return fromBytes(file.readAll());
}

UploadKind recognizeUpload(int n, int t)
{
    if (n == 0) {
        return UploadKind::Rejected;
    }
    if (t <= 1000 && n != 350 && n != 400 && n != 700) {
        return UploadKind::Rejected;
    }
    if (n > 3) {
        return UploadKind::DecimalLines;
    }
    return UploadKind::HexText;
}

QString decimalLinesToImageText(const QStringList &lines)
{
    QString text;
    text.reserve(2 * qMax<qsizetype>(lines.size(), kImageSize));
    for (const QString &line : lines) {
        text += byteToHex(toInt(line));
    }
    for (qsizetype i = lines.size(); i < kImageSize; ++i) {
        text += QLatin1String("00");
    }
    return text;
}

QString uploadImageText(const FileText &file)
{
    switch (recognizeUpload(file)) {
    case UploadKind::DecimalLines:
        return decimalLinesToImageText(file.lines);
    case UploadKind::HexText:
        return file.text;
    case UploadKind::Rejected:
        break;
    }
    throw Error(QStringLiteral("Incorrect KESTO file."));
}

ImportVerdict importVerdict(int lineCount, const QList<int> &accepted)
{
    if (lineCount < 2) {
        return ImportVerdict::Ignore;
    }
    return accepted.contains(lineCount) ? ImportVerdict::Accept : ImportVerdict::Reject;
}

QString saveDialogFilter()
{
    return QStringLiteral("KESTO3 config file (*.ks3)|*.ks3|Old KESTO config file (*.kst)|*.kst|"
                          "KESTO4 config file (*.ks4)|*.ks4");
}

QString openDialogFilter()
{
    return QStringLiteral("KESTO3 config file (*.ks3, *.kst)|*.ks3;*.kst|KESTO4 config file "
                          "(*.ks4)|*.ks4|Old KESTO3 config file (*.kst)|*.kst|New KESTO3 config "
                          "file (*.ks3)|*.ks3");
}

QString saveDialogDefaultSuffix()
{
    return QStringLiteral("ks3");
}

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered, so a short write (full disk, size limit) shows in write()'s count: a buffered
    // QSaveFile can commit a truncated file without reporting it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw Error(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw Error(QStringLiteral("Cannot write file \"%1\". %2").arg(path, why));
    }
}

void writeHexFile(const QString &path, const QString &imageText)
{
    writeFileAtomically(path, imageText.toLatin1());
}

} // namespace kesto
