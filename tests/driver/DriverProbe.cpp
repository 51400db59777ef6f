// Loads the driver library by its platform name (or the path given) and reports what OpenCom
// answers and whether the library says it is simulated, so a test can tell which library the
// platform's search found.
#include <cstdio>
#include <string>

#include "driver/LibraryDriver.h"

int main(int argc, char** argv) {
  const std::string name =
      argc > 1 ? argv[1] : std::string(uhf::LibraryDriver::PlatformLibraryName());
  std::string error;
  auto driver = uhf::LibraryDriver::Load(name, error);
  if (!driver) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("OpenCom=%d simulated=%d\n", static_cast<int>(driver->OpenCom(100, 0)),
              driver->Simulated() ? 1 : 0);
  return 0;
}
