#pragma once
// The device behind a build of the driver library's C exports: each library links
// TagvaneExports.cpp with one file that defines these two.

#include "driver/ReaderDriver.h"

namespace uhf {

// The one device of the process, made on first use.
ReaderDriver& ExportedDevice();
// Runs after every call (under the exports' lock): keeps the device's call record from growing.
void AfterExportedCall();

}  // namespace uhf
