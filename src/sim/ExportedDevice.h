#pragma once
// The device behind a build of the driver library's C exports: each library links
// TagvaneExports.cpp with one file that defines these two.

#include <cstdint>

#include "driver/ReaderDriver.h"

namespace uhf {

// The one device of the process, made on first use.
ReaderDriver& ExportedDevice();
// Runs after every call (under the exports' lock) with its status: keeps the device's call
// record from growing.
void AfterExportedCall(std::int32_t status);

}  // namespace uhf
