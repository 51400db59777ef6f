// Appends COUNT station log lines tagged with NAME to FILE, as fast as it can: one half of the
// two-process station log test.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/StationLog.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s FILE NAME COUNT\n", argv[0]);
    return 2;
  }
  const int count = std::atoi(argv[3]);
  // A long serial number field makes each line far longer than one small write.
  const std::string padding(3000, 'x');
  for (int i = 0; i < count; ++i) {
    uhf::cli::CommandReport report{0, "ok", "SN:" + padding, std::string(argv[2])};
    const std::string line = uhf::cli::StationLogLine(std::to_string(i), "read", "usb", report);
    std::string error;
    if (!uhf::cli::AppendStationLog(argv[1], line, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
