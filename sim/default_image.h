#pragma once

#include "config/config_image.h"

namespace kesto::sim {

// A plausible configuration of a 5-gear A750E: shift, pressure and lockup maps, main options
// that decode cleanly, sensor calibrations. Unserved ranges hold 255 like erased EEPROM.
ConfigImage buildDefaultImage();

} // namespace kesto::sim
