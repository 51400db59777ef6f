// One of two processes sharing the simulated reader's state file: sets its own setting to
// 1, 2, ... COUNT and after each write reads it back. A write of the other process that carried
// an old copy of this setting would show here as a lost value. Exits 1 on the first loss.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/SimulatedReader.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s STATE trigger|output COUNT\n", argv[0]);
    return 2;
  }
  uhf::SimulatedReader reader(uhf::SimOptions{argv[1], 0, false});
  const bool trigger = std::string(argv[2]) == "trigger";
  const int count = std::atoi(argv[3]);
  if (reader.OpenCom(100, 115200) != 0) return 3;
  for (int i = 1; i <= count; ++i) {
    const auto value = static_cast<std::uint8_t>(i % 200 + 1);
    const std::int32_t status =
        trigger ? reader.UhfSetTriggerTime(255, value) : reader.UhfSetWgIntervalTime(255, value);
    if (status != 0) {
      std::fprintf(stderr, "write %d failed: %d\n", i, status);
      return 1;
    }
    std::uint8_t back = 0;
    if (trigger) {
      reader.UhfGetTriggerTime(255, &back);
    } else {
      reader.UhfGetWgIntervalTime(255, &back);
    }
    if (back != value) {
      std::fprintf(stderr, "%s: wrote %d, read back %d after write %d\n", argv[2], value, back, i);
      return 1;
    }
  }
  return 0;
}
