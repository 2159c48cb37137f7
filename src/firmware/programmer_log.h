#pragma once

#include <QString>

namespace kesto {

// What the programmer's log tells about a run.
namespace programmer_log {

// The programmer reached the bootloader.
bool reachedBootloader(const QString &log);
// The written image was read back and matched.
bool flashVerified(const QString &log);
// The programmer cannot reach the bootloader or cannot open the port. Current programmer
// versions say "cannot open port" / "unable to open programmer" where older ones said "can't
// open device"; all of them count.
bool reportsFailure(const QString &log);

} // namespace programmer_log

} // namespace kesto
