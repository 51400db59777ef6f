// Loads the driver library by its platform name (or the path given) and reports what OpenCom
// answers and whether the library says it is simulated, so a test can tell which library the
// platform's search found. On Windows, with UHF_PROBE_MODULE set, it also says whether that DLL
// was loaded into the process along with the library.
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

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
#ifdef _WIN32
  if (const char* module = std::getenv("UHF_PROBE_MODULE")) {
    std::printf("%s loaded=%d\n", module, GetModuleHandleA(module) != nullptr ? 1 : 0);
  }
#endif
  return 0;
}
