#include "firmware/programmer_log.h"

namespace kesto::programmer_log {

bool reachedBootloader(const QString &log)
{
    return log.contains(QLatin1String("AVR device initialized"));
}

bool flashVerified(const QString &log)
{
    return log.contains(QLatin1String("bytes of flash verified"));
}

bool reportsFailure(const QString &log)
{
    static const char *const kFailures[] = {
        "programmer is not responding",
        "can't open device",
        "cannot open port",
        "unable to open programmer",
    };
    for (const char *text : kFailures) {
        if (log.contains(QLatin1String(text))) {
            return true;
        }
    }
    return false;
}

} // namespace kesto::programmer_log
