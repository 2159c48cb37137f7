#include "link/commands.h"

#include "config/address_map.h"
#include "link/error.h"

namespace kesto::cmd {

namespace {
QByteArray fixed(const char *text)
{
    return QByteArray(text);
}

QByteArray withValues(QByteArray head, const QList<int> &values)
{
    for (int v : values) {
        head += ',';
        head += QByteArray::number(v);
    }
    head += '~';
    return head;
}
} // namespace

QByteArray handshake() { return fixed("q1~"); }
QByteArray versionQuery() { return fixed("getver~"); }
QByteArray livePoll() { return fixed("q2~"); }

QByteArray readRequest(const QString &answerType)
{
    const QList<AddressRange> ranges = readRanges(answerType);
    if (ranges.isEmpty() || answerType.size() != 2) {
        throw Error(QStringLiteral("No read request for answer type '%1'").arg(answerType));
    }
    QByteArray c = "ee," + QByteArray::number(answerType.at(1).unicode());
    for (const AddressRange &r : ranges) {
        c += ',' + QByteArray::number(r.first) + ',' + QByteArray::number(r.last);
    }
    return c + '~';
}

QByteArray write(int firstAddress, const QList<int> &values)
{
    return withValues("k1," + QByteArray::number(firstAddress), values);
}

QByteArray writeTexts(int firstAddress, const QStringList &values)
{
    QByteArray c = "k1," + QByteArray::number(firstAddress);
    for (const QString &v : values) {
        c += ',' + v.toLatin1();
    }
    return c + '~';
}

QByteArray optionsBlock(int index, int firstAddress, const QList<int> &values)
{
    return withValues("ss" + QByteArray::number(index) + ',' + QByteArray::number(firstAddress),
                      values);
}

QByteArray optionsWriteEnd() { return fixed("er~"); }

QByteArray pageRead(int address)
{
    return "EG" + QByteArray::number(address) + '~';
}

QByteArray pageWrite(const QString &address, const QList<int> &values)
{
    return withValues("EH" + address.toLatin1(), values);
}

QByteArray tpsLiveReading() { return fixed("w5~"); }
QByteArray tempLiveReading() { return fixed("r8~"); }
QByteArray tempCalibrationRead() { return fixed("r5~"); }
QByteArray showSltNotice() { return fixed("w1~"); }
QByteArray showSlnNotice() { return fixed("w2~"); }
QByteArray showLockupNotice() { return fixed("w4~"); }
QByteArray showLastGearNotice() { return fixed("q7~"); }
QByteArray shiftLogStart() { return fixed("n91~"); }
QByteArray shiftLogStop() { return fixed("n90~"); }
QByteArray emulationStart() { return fixed("m1~"); }
QByteArray emulationEnd() { return fixed("m2~"); }

QByteArray emulation(const char *name)
{
    return QByteArray(name) + '~';
}

} // namespace kesto::cmd
