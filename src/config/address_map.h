#pragma once

#include <QList>
#include <QString>

namespace kesto {

struct AddressRange
{
    int first;
    int last; // inclusive
    int size() const { return last - first + 1; }
    bool operator==(const AddressRange &) const = default;
};

// One row of the configuration image's address map.
struct AddressMapEntry
{
    AddressRange range;
    const char *content;
    const char *answerType;  // "" for ranges no window serves
    const char *writeCommand; // "k1,<first>," or "ss block n"; "" when unserved
    const char *window;      // objectName of the window that serves the range; "" when none
};

// The whole map, in address order; together the rows cover 0..699 exactly once.
const QList<AddressMapEntry> &addressMap();

// The ranges of one answer type in request (and answer) order; empty for unknown types.
QList<AddressRange> readRanges(const QString &answerType);
// Number of values an answer of that type carries.
int answerValueCount(const QString &answerType);
// The image addresses of an answer's values, in answer order.
QList<int> answerAddresses(const QString &answerType);

// The nine main-options write blocks, in sending order (block index = position).
struct OptionWriteBlock
{
    int index;
    int firstAddress;
    int count;
};
const QList<OptionWriteBlock> &optionWriteBlocks();

} // namespace kesto
