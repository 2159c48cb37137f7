#include "config/config_image.h"

namespace kesto {

QString byteToHex(int value)
{
    static const char digits[] = "0123456789ABCDEF";
    const int b = value & 0xFF;
    const char pair[2] = {digits[b / 16], digits[b % 16]};
    return QString::fromLatin1(pair, 2);
}

int hexToInt(QStringView text)
{
    int n = 0;
    for (QChar c : text) {
        const ushort u = c.unicode();
        int digit = -1;
        if (u >= '0' && u <= '9') {
            digit = u - '0';
        } else if (u >= 'A' && u <= 'F') {
            digit = u - 'A' + 10;
        } else if (u >= 'a' && u <= 'f') {
            digit = u - 'a' + 10;
        }
        if (digit >= 0) {
            n = n * 16 + digit;
        }
    }
    return n;
}

int ImageText::byteAt(const QString &text, int address)
{
    const qsizetype pos = 2 * qsizetype(address);
    if (pos >= text.size()) {
        return 0;
    }
    return hexToInt(QStringView(text).mid(pos, 2));
}

QString ConfigImage::toImageText() const
{
    QString text;
    text.reserve(kImageTextSize);
    for (std::uint8_t b : m_bytes) {
        text += byteToHex(b);
    }
    return text;
}

ConfigImage ConfigImage::fromImageText(const QString &text)
{
    ConfigImage image;
    for (int a = 0; a < kImageSize; ++a) {
        image.set(a, ImageText::byteAt(text, a));
    }
    return image;
}

} // namespace kesto
