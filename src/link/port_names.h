#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kesto {

// The serial port names offered in the port list: the system's ports (on Windows only the
// "COMn" names), sorted as plain text so "COM10" comes before "COM2".
QStringList systemPortNames();

// Keeps the names starting with "COM" (any case) and sorts them.
QStringList comPortNames(const QStringList &names);

// Plain text order of the port list.
QStringList sortedPortNames(QStringList names);

// The number of a "COMn" port name (any case), or nothing for a name of another form
// (a device path such as /dev/ttyUSB0).
std::optional<int> comPortNumber(const QString &portName);

} // namespace kesto
