#include "monitor/system_text.h"

#include <QStringEncoder>

namespace kesto {

QByteArray toSystemText(const QString &text)
{
    // "System" is the ANSI code page on Windows and UTF-8 on Linux and macOS.
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

} // namespace kesto
