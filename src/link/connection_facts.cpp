#include "link/connection_facts.h"

#include <QString>

namespace kesto {

QString programVersion()
{
    return QStringLiteral("%1.%2").arg(QLatin1String(RequiredFirmwareVersion)).arg(WriterBuild);
}

QString programTitle()
{
    return QStringLiteral("KESTO Writer ") + programVersion();
}

} // namespace kesto
