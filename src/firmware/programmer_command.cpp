#include "firmware/programmer_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kesto {

namespace {

QStringList commonArguments()
{
    return {QStringLiteral("-carduino"), QStringLiteral("-patmega328p")};
}

QString portArgument(const QString &port)
{
    return QStringLiteral("-P") + port;
}

QString baudArgument(BootloaderKind kind)
{
    return QStringLiteral("-b") + QString::number(bootloaderBaud(kind));
}

QString logArgument()
{
    return QStringLiteral("-l") + QLatin1String(kProgrammerLogName);
}

} // namespace

int bootloaderBaud(BootloaderKind kind)
{
    return kind == BootloaderKind::Old ? 57600 : 115200;
}

QStringList checkArguments(const QString &port, BootloaderKind kind)
{
    return commonArguments() << portArgument(port) << baudArgument(kind) << QStringLiteral("-n")
                             << logArgument();
}

QStringList writeArguments(const QString &imageFile, const QString &port, BootloaderKind kind)
{
    return commonArguments() << QStringLiteral("-U") << QStringLiteral("flash:w:") + imageFile
                             << portArgument(port) << baudArgument(kind) << logArgument();
}

QString programmerPort(const QString &portListText)
{
#ifdef Q_OS_WIN
    return portListText;
#else
    if (portListText.isEmpty() || portListText.contains(QLatin1Char('/'))) {
        return portListText;
    }
    return QStringLiteral("/dev/") + portListText;
#endif
}

QString findProgrammer()
{
#ifdef Q_OS_WIN
    const QString bundled =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("avrdude.exe"));
    return QFileInfo::exists(bundled) ? bundled : QString();
#else
    return QStandardPaths::findExecutable(QStringLiteral("avrdude"));
#endif
}

} // namespace kesto
