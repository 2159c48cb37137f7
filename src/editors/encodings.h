#pragma once

#include <QString>
#include <optional>

namespace kesto {

// How a cell's shown value relates to the stored byte of the configuration image.
enum class Encoding
{
    PlainByte,     // b = v
    Complement100, // b = 100 - v
    Step50,        // b = v div 50, v = b x 50
    Step10,        // b = v div 10, v = b x 10
    Offset120,     // b = v + 120
    Percent250,    // b = trunc(v x 2.5), v = ceil(b / 2.5)
    Signed255,     // b = v + 255 for v < 0; v = b - 255 for b > 150
    SluLevel,      // list index 0..3 <-> 100, 150, 200, 255
    Percent5Step,  // list index 20 <-> 255, other i <-> i x 13
};

namespace encoding {

// Whether the encoding maps a list index rather than a number typed in a cell.
bool isList(Encoding e);

// Shown number to stored number and back, for the numeric encodings. Division truncates toward
// zero. The result is not limited to a byte: limits belong to the cells' checks.
int toStored(Encoding e, int shown);
int toShown(Encoding e, int stored);

// The same on texts, as fills, imports and saves use them. A plain byte passes as the text
// stands (a cell is sent as typed, and an answer field is shown as received); every other
// encoding converts and throws the conversion error for a text that is not a number.
QString storedText(Encoding e, const QString &shownText);
QString shownText(Encoding e, const QString &storedText);

// List encodings: the stored byte of a list index (-1 = no selection) and the index that a
// stored byte selects (nullopt = leave the selection as it is).
int listByte(Encoding e, int index);
std::optional<int> listIndex(Encoding e, int byte);

} // namespace encoding
} // namespace kesto
