#include "cli/CommandLine.h"
#include "cli/WideMain.h"
#include "text/ConsoleStream.h"
#include "text/WideText.h"

namespace uhf::cli {

int WideMain(int argc, const wchar_t* const* argv) {
  const Utf8Arguments arguments(argc, argv);
  ConsoleStream out(ConsoleStream::Handle::Output);
  ConsoleStream err(ConsoleStream::Handle::Error);
  return CompanionMain(argc, arguments.Argv(), out.Stream(), err.Stream());
}

}  // namespace uhf::cli
