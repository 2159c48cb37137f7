#pragma once

// Test side of the stored firmware form: the inverse of the line shuffle, built here from the
// layout independently of the program's code, and the 56-byte prefix.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kesto::test {

inline QString storedHead(const QString &line)
{
    return line.left(10);
}

inline QString storedTail(const QString &line)
{
    return line.mid(10);
}

// Lines in the order the program must restore into `plain` (which needs at least 211 lines of
// 10 characters or more).
inline QStringList shuffleFirmwareLines(const QStringList &plain)
{
    QStringList stored = plain;
    // Lines 0-25 swap their tails mirror-wise.
    for (int j = 0; j <= 25; ++j) {
        stored[j] = storedHead(plain.at(j)) + storedTail(plain.at(25 - j));
    }
    // The block 26-79 of the plain text is stored at 67-120, 80-120 at 26-66, 121-149 at 182-210.
    for (int k = 0; k <= 53; ++k) {
        stored[67 + k] = plain.at(26 + k);
    }
    for (int k = 0; k <= 40; ++k) {
        stored[26 + k] = plain.at(80 + k);
    }
    for (int k = 0; k <= 28; ++k) {
        stored[182 + k] = plain.at(121 + k);
    }
    // Plain lines 150-210 are stored at 121-181 with their tails swapped mirror-wise.
    for (int j = 121; j <= 181; ++j) {
        stored[j] = storedHead(plain.at(j + 29)) + storedTail(plain.at(331 - j));
    }
    return stored;
}

// A prefix of 56 bytes that would break the hex text if it were left in.
inline QByteArray storedPrefix()
{
    QByteArray prefix;
    for (int i = 0; i < 56; ++i) {
        prefix.append(char(0x80 + i));
    }
    return prefix;
}

// The stored form of a plain Intel HEX text given as lines.
inline QByteArray storeFirmware(const QStringList &plainLines)
{
    QByteArray out = storedPrefix();
    for (const QString &line : shuffleFirmwareLines(plainLines)) {
        out += line.toLatin1() + "\r\n";
    }
    return out;
}

// `count` distinct Intel HEX data records of 16 bytes from address 0, then the end record.
inline QStringList syntheticHexLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count - 1; ++i) {
        const int address = i * 16;
        QByteArray record;
        record.append(char(16));
        record.append(char(address >> 8));
        record.append(char(address & 0xFF));
        record.append(char(0));
        for (int b = 0; b < 16; ++b) {
            record.append(char((i * 7 + b * 13) & 0xFF));
        }
        int sum = 0;
        for (char c : record) {
            sum += quint8(c);
        }
        record.append(char((0x100 - (sum & 0xFF)) & 0xFF));
        lines << QLatin1Char(':') + QString::fromLatin1(record.toHex().toUpper());
    }
    lines << QStringLiteral(":00000001FF");
    return lines;
}

} // namespace kesto::test
