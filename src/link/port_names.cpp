#include "link/port_names.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace kesto {

QStringList systemPortNames()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        names << info.portName();
    }
#ifdef Q_OS_WIN
    return comPortNames(names);
#else
    return sortedPortNames(names);
#endif
}

QStringList comPortNames(const QStringList &names)
{
    QStringList com;
    for (const QString &name : names) {
        if (name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
            com << name;
        }
    }
    return sortedPortNames(com);
}

QStringList sortedPortNames(QStringList names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

std::optional<int> comPortNumber(const QString &portName)
{
    if (!portName.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) || portName.size() < 4) {
        return std::nullopt;
    }
    const QString digits = portName.mid(3);
    for (const QChar c : digits) {
        if (!c.isDigit()) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

} // namespace kesto
