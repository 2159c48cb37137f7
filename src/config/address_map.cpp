#include "config/address_map.h"

#include <QHash>

namespace kesto {

const QList<AddressMapEntry> &addressMap()
{
    static const QList<AddressMapEntry> map = {
        {{0, 1}, "TPS calibration", "E7", "k1,0,", "TForm3"},
        {{2, 19}, "main options, block 0", "E1", "ss block 0", "TForm4"},
        {{20, 43}, "1-2 shift map", "EA", "k1,20,", "TForm5"},
        {{44, 67}, "2-3 shift map", "EB", "k1,44,", "TForm6"},
        {{68, 91}, "3-4 shift map", "EC", "k1,68,", "TForm7"},
        {{92, 115}, "4-5 shift map", "ED", "k1,92,", "TForm11"},
        {{116, 139}, "5-6 shift map", "EE", "k1,116,", "TForm12"},
        {{140, 149}, "full-throttle shift rpm and speeds", "E9", "k1,140,", "TForm8"},
        {{150, 154}, "not served by any window", "", "", ""},
        {{155, 170}, "SLT main pressure map", "E2", "k1,155,", "TForm9"},
        {{171, 194}, "lockup map", "E4", "k1,171,", "TForm13"},
        {{195, 210}, "SLN accumulator pressure map", "E3", "k1,195,", "TForm14"},
        {{211, 230}, "main options, block 1", "E1", "ss block 1", "TForm4"},
        {{231, 250}, "main options, block 2", "E1", "ss block 2", "TForm4"},
        {{251, 259}, "main options, block 3", "E1", "ss block 3", "TForm4"},
        {{260, 284}, "AWD (SLC) table", "E6", "k1,260,", "TForm16"},
        {{285, 301}, "temperature sensor calibration", "EF", "k1,285,", "TForm21"},
        {{302, 325}, "last-gear lockup map", "E5", "k1,302,", "TForm22"},
        {{326, 326}, "main options, block 4", "E1", "ss block 4", "TForm4"},
        {{327, 334}, "SLU levels of the lockup map", "E4", "k1,327,", "TForm13"},
        {{335, 342}, "SLU levels of the last-gear lockup map", "E5", "k1,335,", "TForm22"},
        {{343, 362}, "main options, block 5", "E1", "ss block 5", "TForm4"},
        {{363, 379}, "main options, block 7", "E1", "ss block 7", "TForm4"},
        {{380, 579}, "not served by any window", "", "", ""},
        {{580, 588}, "A650 shift options, first part", "E8", "k1,580,", "TForm24"},
        {{589, 604}, "A650 shift options, second part", "E8", "k1,589,", "TForm24"},
        {{605, 605}, "A650 shift options, third part", "E8", "k1,605,", "TForm24"},
        {{606, 616}, "main options, block 6", "E1", "ss block 6", "TForm4"},
        {{617, 617}, "A650 shift options, fourth part", "E8", "k1,617,", "TForm24"},
        {{618, 622}, "main options, block 8", "E1", "ss block 8", "TForm4"},
        {{623, 699}, "not served by any window", "", "", ""},
    };
    return map;
}

QList<AddressRange> readRanges(const QString &answerType)
{
    static const QHash<QString, QList<AddressRange>> table = {
        {QStringLiteral("E1"),
         {{2, 19}, {211, 259}, {326, 326}, {343, 379}, {606, 616}, {618, 622}}},
        {QStringLiteral("E2"), {{155, 170}}},
        {QStringLiteral("E3"), {{195, 210}}},
        {QStringLiteral("E4"), {{171, 194}, {327, 334}}},
        {QStringLiteral("E5"), {{302, 325}, {335, 342}}},
        {QStringLiteral("E6"), {{260, 284}}},
        {QStringLiteral("E7"), {{0, 1}}},
        {QStringLiteral("E8"), {{580, 605}, {617, 617}}},
        {QStringLiteral("E9"), {{140, 149}}},
        {QStringLiteral("EA"), {{20, 43}}},
        {QStringLiteral("EB"), {{44, 67}}},
        {QStringLiteral("EC"), {{68, 91}}},
        {QStringLiteral("ED"), {{92, 115}}},
        {QStringLiteral("EE"), {{116, 139}}},
        {QStringLiteral("EF"), {{285, 301}}},
    };
    return table.value(answerType);
}

int answerValueCount(const QString &answerType)
{
    int n = 0;
    for (const AddressRange &r : readRanges(answerType)) {
        n += r.size();
    }
    return n;
}

QList<int> answerAddresses(const QString &answerType)
{
    QList<int> addresses;
    for (const AddressRange &r : readRanges(answerType)) {
        for (int a = r.first; a <= r.last; ++a) {
            addresses.append(a);
        }
    }
    return addresses;
}

const QList<OptionWriteBlock> &optionWriteBlocks()
{
    static const QList<OptionWriteBlock> blocks = {
        {0, 2, 18},   {1, 211, 20}, {2, 231, 20}, {3, 251, 9},  {4, 326, 1},
        {5, 343, 20}, {6, 606, 11}, {7, 363, 17}, {8, 618, 5},
    };
    return blocks;
}

} // namespace kesto
