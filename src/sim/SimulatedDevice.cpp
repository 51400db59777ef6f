// libtagvane.so as the simulated reader, with its settings in DefaultStatePath(); and the data
// symbol by which the tool recognises it as simulated.
//
// Environment variables for trials and tests of whole programs:
//   TAGVANE_SIM_FAIL=OpenCom,Handshake   these operations fail on every call (status 1)
//   TAGVANE_SIM_RECORD=FILE              each call is appended to FILE as "Name(args) -> status"
//   TAGVANE_SIM_LATENCY_MS=N             every call answers N milliseconds late
//   TAGVANE_SIM_STATE_DIR=DIR            network readers: Net_Connect reaches the reader of
//                                        DIR/<ip>_<port>.ini; no file there, no answer
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "driver/tagvane.h"
#include "files/FileLock.h"
#include "sim/ExportedDevice.h"
#include "sim/InstrumentedReader.h"
#include "text/ConsoleStream.h"
#include "text/EnvironmentPath.h"

// extern "C" on the declaration itself gives the constant external linkage.
extern "C" TAGVANE_API const char tagvane_simulated_reader[] = "simulated reader";

namespace uhf {
namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::chrono::milliseconds LatencyFromEnvironment() {
  const std::string_view text = Environment("TAGVANE_SIM_LATENCY_MS");
  if (text.empty()) return {};
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    DiagnosticStream() << "tagvane-sim: TAGVANE_SIM_LATENCY_MS=" << text
                       << " is not a number of milliseconds; no latency\n";
    return {};
  }
  return std::chrono::milliseconds(value);
}

// Made on the first call; when the environment names an operation that does not exist, every
// call reports it and fails.
std::unique_ptr<InstrumentedReader> MakeReader() {
  auto reader = std::make_unique<InstrumentedReader>(SimOptions{DefaultStatePath(), 0, false});
  reader->Device().SetNetworkStateDir(NetworkStateDir());
  reader->FailEvery(Environment("TAGVANE_SIM_FAIL"));
  reader->SetLatency(LatencyFromEnvironment());
  if (std::filesystem::path record = EnvironmentPath("TAGVANE_SIM_RECORD"); !record.empty()) {
    reader->SetSink([record](const std::string& call, std::int32_t status) {
      std::string error;
      if (!AppendLineLocked(record, call + " -> " + std::to_string(status), error)) {
        DiagnosticStream() << "tagvane-sim: " << error << '\n';
      }
    });
  }
  return reader;
}

InstrumentedReader& Reader() {
  static const std::unique_ptr<InstrumentedReader> reader = MakeReader();
  return *reader;
}

}  // namespace

ReaderDriver& ExportedDevice() {
  return Reader();
}

void AfterExportedCall(std::int32_t) {
  Reader().ClearCalls();  // keep the call record from growing
}

}  // namespace uhf
