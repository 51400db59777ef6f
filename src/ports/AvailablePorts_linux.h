#pragma once
// Serial ports on Linux: the tty class of sysfs, each entry with a device behind it (virtual
// terminals and pseudo terminals have none), without the serial core's empty UART slots.

#include <filesystem>
#include <vector>

#include "ports/AvailablePorts.h"

namespace uhf {

// The ports below `root` (root/sys for sysfs, root/dev for the device nodes), in natural name
// order: ttyACM0, ttyS2, ttyS10, ttyUSB0. AvailablePorts() is this for "/".
std::vector<AvailablePort> AvailablePortsUnder(const std::filesystem::path& root);

}  // namespace uhf
