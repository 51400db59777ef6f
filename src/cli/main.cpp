// uhf-readerctl: the reader tool's operations from a script or a terminal.
#include <iostream>

#include "cli/CommandLine.h"

#ifdef _WIN32
#include "cli/WideMain.h"

int wmain(int argc, wchar_t** argv) {
  return uhf::cli::WideMain(argc, argv);
}
#else
int main(int argc, char** argv) {
  return uhf::cli::CompanionMain(argc, argv, std::cout, std::cerr);
}
#endif
