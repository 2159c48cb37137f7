#pragma once

#include <QByteArray>
#include <QString>

namespace kesto {

// The bytes of a text file the program writes for the user (logs): the system's 8-bit code
// page on Windows, UTF-8 elsewhere.
QByteArray toSystemText(const QString &text);

} // namespace kesto
