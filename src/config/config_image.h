#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace kesto {

constexpr int kImageSize = 700;
constexpr int kPageSize = 10;
constexpr int kPageCount = kImageSize / kPageSize; // pages start at 0, 10, ... 690
constexpr int kImageTextSize = 2 * kImageSize;

// Two characters of "0123456789ABCDEF" for the low eight bits of a value.
QString byteToHex(int value);
// Hexadecimal digits to a number, either letter case; other characters add nothing; "" is 0.
int hexToInt(QStringView text);

// The text form of a whole image: two upper-case hex characters per byte in address order.
// Helpers for reading a byte out of any text used as an image text (an uploaded file may be
// shorter, longer, or hold line breaks).
namespace ImageText {
// The byte at an address: the pair at positions 2a+1, 2a+2 (1-based) by the hex rule;
// positions past the end of the text read as nothing.
int byteAt(const QString &text, int address);
} // namespace ImageText

// The controller's configuration: 700 bytes.
class ConfigImage
{
public:
    ConfigImage() { m_bytes.fill(0); }

    std::uint8_t at(int address) const { return m_bytes.at(address); }
    void set(int address, int value) { m_bytes.at(address) = static_cast<std::uint8_t>(value); }

    QString toImageText() const;
    // Bytes from an image text by the byte-at rule (short texts give zeros).
    static ConfigImage fromImageText(const QString &text);

    bool operator==(const ConfigImage &) const = default;

private:
    std::array<std::uint8_t, kImageSize> m_bytes;
};

} // namespace kesto
