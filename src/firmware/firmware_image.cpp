#include "firmware/firmware_image.h"

#include "config/config_file.h"

#include "link/error.h"

#include <QFile>

#ifdef KESTO_HAS_FIRMWARE_PAYLOAD
static void kestoInitFirmwarePayload()
{
    Q_INIT_RESOURCE(firmware_payload);
}
#endif

namespace kesto {

namespace {

constexpr int kHeadLength = 10;

QString lineAt(const QStringList &lines, int index)
{
    return index < lines.size() ? lines.at(index) : QString();
}

QString head(const QString &line)
{
    return line.left(kHeadLength);
}

QString tail(const QString &line)
{
    return line.mid(kHeadLength);
}

} // namespace

QStringList ReorderFirmwareLines(const QStringList &lines)
{
    QStringList out;
    out.reserve(qMax<qsizetype>(lines.size(), kShuffledLineCount));
    for (int i = 0; i <= 25; ++i) {
        out << head(lineAt(lines, i)) + tail(lineAt(lines, 25 - i));
    }
    for (int i = 67; i <= 120; ++i) {
        out << lineAt(lines, i);
    }
    for (int i = 26; i <= 66; ++i) {
        out << lineAt(lines, i);
    }
    for (int i = 182; i <= 210; ++i) {
        out << lineAt(lines, i);
    }
    for (int i = 121; i <= 181; ++i) {
        out << head(lineAt(lines, i)) + tail(lineAt(lines, 302 - i));
    }
    for (qsizetype i = kShuffledLineCount; i < lines.size(); ++i) {
        out << lines.at(i);
    }
    return out;
}

void CopyWithoutPrefix(const QString &source, const QString &destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(source, in.errorString()));
    }
    const QByteArray content = in.readAll();
    in.close();
    writeFileAtomically(destination, content.mid(kPayloadPrefixSize));
    QFile::remove(source);
}

QByteArray builtInFirmwarePayload()
{
#ifdef KESTO_HAS_FIRMWARE_PAYLOAD
    kestoInitFirmwarePayload();
    QFile file(QStringLiteral(":/firmware/stored.bin"));
    if (file.open(QIODevice::ReadOnly)) {
        return file.readAll();
    }
#endif
    return QByteArray();
}

QStringList splitFileLines(const QByteArray &content)
{
    QString text = QString::fromLatin1(content);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

} // namespace kesto
