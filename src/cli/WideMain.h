#pragma once
// uhf-readerctl's start on Windows: the wide command line, as UTF-8, to CompanionMain; output to a
// console through the console's own Unicode call, output to a file or a pipe as UTF-8 bytes.

namespace uhf::cli {

int WideMain(int argc, const wchar_t* const* argv);

}  // namespace uhf::cli
