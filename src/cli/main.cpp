// uhf-readerctl: the reader tool's operations from a script or a terminal.
#include <iostream>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
  return uhf::cli::CompanionMain(argc, argv, std::cout, std::cerr);
}
