#include "editors/encodings.h"

#include "link/error.h"

#include <array>

namespace kesto::encoding {

namespace {

constexpr std::array<int, 4> kSluBytes = {100, 150, 200, 255};
constexpr int kPercentFullIndex = 20;

// Integer ceiling of n / d for d > 0; C++ division already rounds the negative side up.
int ceilDiv(int n, int d)
{
    const int q = n / d;
    return (n % d != 0 && n > 0) ? q + 1 : q;
}

void requireNumeric(Encoding e)
{
    if (isList(e)) {
        throw Error(QStringLiteral("A list encoding has no numeric form"));
    }
}

} // namespace

bool isList(Encoding e)
{
    return e == Encoding::SluLevel || e == Encoding::Percent5Step;
}

int toStored(Encoding e, int shown)
{
    requireNumeric(e);
    switch (e) {
    case Encoding::PlainByte:
        return shown;
    case Encoding::Complement100:
        return 100 - shown;
    case Encoding::Step50:
        return shown / 50;
    case Encoding::Step10:
        return shown / 10;
    case Encoding::Offset120:
        return shown + 120;
    case Encoding::Percent250:
        return shown * 5 / 2;
    case Encoding::Signed255:
        return shown < 0 ? shown + 255 : shown;
    case Encoding::SluLevel:
    case Encoding::Percent5Step:
        break;
    }
    return shown;
}

int toShown(Encoding e, int stored)
{
    requireNumeric(e);
    switch (e) {
    case Encoding::PlainByte:
        return stored;
    case Encoding::Complement100:
        return 100 - stored;
    case Encoding::Step50:
        return stored * 50;
    case Encoding::Step10:
        return stored * 10;
    case Encoding::Offset120:
        return stored - 120;
    case Encoding::Percent250:
        return ceilDiv(stored * 2, 5);
    case Encoding::Signed255:
        return stored > 150 ? stored - 255 : stored;
    case Encoding::SluLevel:
    case Encoding::Percent5Step:
        break;
    }
    return stored;
}

QString storedText(Encoding e, const QString &shownText)
{
    if (e == Encoding::PlainByte) {
        return shownText;
    }
    return QString::number(toStored(e, toInt(shownText)));
}

QString shownText(Encoding e, const QString &storedText)
{
    if (e == Encoding::PlainByte) {
        return storedText;
    }
    return QString::number(toShown(e, toInt(storedText)));
}

int listByte(Encoding e, int index)
{
    if (e == Encoding::SluLevel) {
        return index >= 0 && index < int(kSluBytes.size()) ? kSluBytes.at(index) : 0;
    }
    if (e == Encoding::Percent5Step) {
        if (index < 0) {
            return 0; // no selection
        }
        return index == kPercentFullIndex ? 255 : index * 13;
    }
    throw Error(QStringLiteral("A numeric encoding has no list form"));
}

std::optional<int> listIndex(Encoding e, int byte)
{
    if (e == Encoding::SluLevel) {
        for (int i = 0; i < int(kSluBytes.size()); ++i) {
            if (kSluBytes.at(i) == byte) {
                return i;
            }
        }
        return std::nullopt;
    }
    if (e == Encoding::Percent5Step) {
        return byte == 255 ? kPercentFullIndex : byte / 13;
    }
    throw Error(QStringLiteral("A numeric encoding has no list form"));
}

} // namespace kesto::encoding
