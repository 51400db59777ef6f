// tagvane-sim: plugs simulated readers in and out by hand or from tests.
#include <iostream>

#include "sim/SimControl.h"

#ifdef _WIN32
#include "text/ConsoleStream.h"
#include "text/WideText.h"

// The wide command line and a console's own Unicode output, as the companion has them.
int wmain(int argc, wchar_t** argv) {
  const uhf::Utf8Arguments arguments(argc, argv);
  uhf::ConsoleStream out(uhf::ConsoleStream::Handle::Output);
  uhf::ConsoleStream err(uhf::ConsoleStream::Handle::Error);
  return uhf::SimControlMain(argc, arguments.Argv(), out.Stream(), err.Stream());
}
#else
int main(int argc, char** argv) {
  return uhf::SimControlMain(argc, argv, std::cout, std::cerr);
}
#endif
