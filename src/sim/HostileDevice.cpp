// The hostile driver as a drop-in driver library, for end-to-end runs of the tool against a
// reader that answers anything. Seeded from $TAGVANE_HOSTILE_SEED (default 1).
#include <cstdlib>
#include <string>

#include "sim/ExportedDevice.h"
#include "sim/HostileDriver.h"

namespace uhf {
namespace {

HostileDriver& Device() {
  static HostileDriver driver([] {
    const char* seed = std::getenv("TAGVANE_HOSTILE_SEED");
    return seed != nullptr ? std::strtoull(seed, nullptr, 10) : 1ULL;
  }());
  return driver;
}

}  // namespace

ReaderDriver& ExportedDevice() {
  return Device();
}

void AfterExportedCall(std::int32_t) {
  Device().ClearCalls();
}

}  // namespace uhf
