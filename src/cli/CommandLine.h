#pragma once
// uhf-readerctl's command line: parses the options, binds the driver library (with the exchange
// log around it when asked), runs the command and appends the station log line.

#include <iosfwd>

namespace uhf::cli {

int CompanionMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace uhf::cli
