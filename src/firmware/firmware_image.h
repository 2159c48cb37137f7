#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kesto {

// The stored firmware image starts with this many bytes that are not part of it.
inline constexpr int kPayloadPrefixSize = 56;
// The number of leading lines of the stored Intel HEX text that are kept out of order.
inline constexpr int kShuffledLineCount = 211;

// Restores the order of the first 211 lines of a stored firmware image; lines from 211 on are
// copied unchanged. A line index beyond the input reads as an empty line, so the result always
// has at least 211 lines.
QStringList ReorderFirmwareLines(const QStringList &lines);

// Copies `source` without its first kPayloadPrefixSize bytes to `destination` (replacing it) and
// deletes `source`. Throws kesto::Error when a file cannot be read or written.
void CopyWithoutPrefix(const QString &source, const QString &destination);

// The firmware built into this program in its stored form (prefix + shuffled Intel HEX), or an
// empty array when the build has none.
QByteArray builtInFirmwarePayload();

// Splits a text file's content into lines at CR LF, CR or LF; a final break starts no line.
QStringList splitFileLines(const QByteArray &content);

} // namespace kesto
