// The driver library's 34 C exports, each served by the process-wide device of the build
// (ExportedDevice.h): the simulated reader for libtagvane.so, the hostile one for its test twin.
// Calls are serialised, and no exception crosses the C boundary.
#include <cstdint>
#include <exception>
#include <mutex>
#include <ostream>

#include "driver/tagvane.h"
#include "sim/ExportedDevice.h"
#include "text/ConsoleStream.h"

namespace {

constexpr std::int32_t kInternalError = 7;

std::mutex& Lock() {
  static std::mutex mutex;
  return mutex;
}

template <typename Operation>
std::int32_t Serve(Operation operation) noexcept {
  try {
    std::lock_guard<std::mutex> lock(Lock());
    const std::int32_t status = operation(uhf::ExportedDevice());
    uhf::AfterExportedCall(status);
    return status;
  } catch (const std::exception& e) {
    uhf::DiagnosticStream() << "tagvane: " << e.what() << '\n';
  } catch (...) {
    uhf::DiagnosticStream() << "tagvane: unknown failure\n";
  }
  return kInternalError;
}

}  // namespace

// Each export passes its arguments to the operation of the same name.
#define UHF_EXPORT(ret, name, params, args)                          \
  TAGVANE_API ret TAGVANE_CALL name params {                         \
    return Serve([&](uhf::ReaderDriver& r) { return r.name args; }); \
  }

extern "C" {
TAGVANE_OPERATIONS(UHF_EXPORT)
}  // extern "C"
