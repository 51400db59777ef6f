// The simulated reader's state file on any text: a state it accepts is written back to a text
// that reads as the same state.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/SimStateFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto state = uhf::ParseSimState(text, error);
  if (!state) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  const std::string written = uhf::FormatSimState(*state);
  std::string again;
  const auto reread = uhf::ParseSimState(written, again);
  if (!reread || !(*reread == *state)) std::abort();
  return 0;
}
