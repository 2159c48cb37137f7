#pragma once

#include <QString>
#include <QStringList>

namespace kesto {

// Which bootloader the controller has; the two kinds talk at different baud rates.
enum class BootloaderKind : int
{
    None = 0,
    Old = 1, // 57600 baud
    New = 2, // 115200 baud
};

int bootloaderBaud(BootloaderKind kind);

// The programmer's log file, written in its working directory.
inline constexpr char kProgrammerLogName[] = "kestocheck";

// Arguments of the programmer for a bootloader check at the rate of `kind`; joined with blanks
// they read "-carduino -patmega328p -P<port> -b<baud> -n -lkestocheck".
QStringList checkArguments(const QString &port, BootloaderKind kind);

// Arguments that write `imageFile` (a name in the working directory) at the rate of `kind`:
// "-carduino -patmega328p -U flash:w:<image> -P<port> -b<baud> -lkestocheck".
QStringList writeArguments(const QString &imageFile, const QString &port, BootloaderKind kind);

// The port as the programmer wants it: the port list's text, made a device path on systems
// whose port list shows bare names ("ttyUSB0" becomes "/dev/ttyUSB0"; "COM3" stays on Windows).
QString programmerPort(const QString &portListText);

// The programmer executable: a copy beside the program on Windows, the system's elsewhere.
// "" when there is none.
QString findProgrammer();

} // namespace kesto
