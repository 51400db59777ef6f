// The simulated reader as a driver library that acknowledges values it does not keep: the
// operations named in $TAGVANE_SIM_FORGET (comma-separated) answer 0 without reaching the reader.
// The state file is the simulated reader's own, so tagvane-sim plugs these readers in and out too.
#include <cstdlib>
#include <set>
#include <string_view>

#include "driver/DriverDecorator.h"
#include "sim/ExportedDevice.h"
#include "sim/SimulatedReader.h"

namespace uhf {
namespace {

class Forgetful final : public DriverDecorator {
 public:
  explicit Forgetful(ReaderDriver& inner) : DriverDecorator(inner) {
    const char* value = std::getenv("TAGVANE_SIM_FORGET");
    std::string_view names = value != nullptr ? value : "";
    while (!names.empty()) {
      const std::size_t comma = names.find(',');
      if (const auto operation = OperationNamed(names.substr(0, comma)))
        forgets_.insert(*operation);
      names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
    }
  }

 private:
  std::int32_t Around(Operation operation, Forward forward) override {
    return forgets_.count(operation) != 0 ? 0 : forward();
  }
  std::set<Operation> forgets_;
};

struct Device {
  SimulatedReader reader{SimOptions{DefaultStatePath(), 0, false}};
  Forgetful forgetful{reader};
};

Device& TheDevice() {
  static Device device;
  return device;
}

}  // namespace

ReaderDriver& ExportedDevice() {
  return TheDevice().forgetful;
}

void AfterExportedCall(std::int32_t) {}

}  // namespace uhf
