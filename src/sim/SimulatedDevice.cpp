// libtagvane.so as the simulated reader, with its settings in DefaultStatePath(); and the data
// symbol by which the tool recognises it as simulated.
//
// Two environment variables serve trials and tests of whole programs:
//   TAGVANE_SIM_FAIL=OpenCom,Handshake   these operations fail on every call (status 1)
//   TAGVANE_SIM_RECORD=FILE              each call is appended to FILE as "Name(args) -> status"
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "driver/tagvane.h"
#include "files/FileLock.h"
#include "sim/ExportedDevice.h"
#include "sim/SimulatedReader.h"

// extern "C" on the declaration itself gives the constant external linkage.
extern "C" TAGVANE_API const char tagvane_simulated_reader[] = "simulated reader";

namespace uhf {
namespace {

SimulatedReader MakeReader() {
  SimulatedReader reader(SimOptions{DefaultStatePath(), 0, false});
  const char* failing = std::getenv("TAGVANE_SIM_FAIL");
  std::string_view names = failing != nullptr ? failing : "";
  while (!names.empty()) {
    const std::size_t comma = names.find(',');
    const std::string name(names.substr(0, comma));
    names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
    if (!name.empty()) reader.FailOn(name);
  }
  return reader;
}

SimulatedReader& Reader() {
  static SimulatedReader reader = MakeReader();
  return reader;
}

}  // namespace

ReaderDriver& ExportedDevice() {
  return Reader();
}

void AfterExportedCall(std::int32_t status) {
  static const char* record = std::getenv("TAGVANE_SIM_RECORD");
  if (record != nullptr && *record != '\0') {
    for (const std::string& call : Reader().Calls()) {
      std::string error;
      if (!AppendLineLocked(record, call + " -> " + std::to_string(status), error)) {
        std::cerr << "tagvane-sim: " << error << '\n';
      }
    }
  }
  Reader().ClearCalls();  // keep the call record from growing
}

}  // namespace uhf
