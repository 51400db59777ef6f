#pragma once
// Standard output and standard error for UTF-8 text. A Windows console shows the characters it is
// given as UTF-16 whatever its code page (UTF-8 bytes would show as that code page's characters),
// so text for a console goes through the console's own Unicode call; a file or a pipe gets the
// UTF-8 bytes. Elsewhere these are the standard streams themselves.

#include <memory>
#include <ostream>
#include <streambuf>

namespace uhf {

class ConsoleStream {
 public:
  enum class Handle { Output, Error };

  explicit ConsoleStream(Handle which);
  ~ConsoleStream();  // flushes
  ConsoleStream(const ConsoleStream&) = delete;
  ConsoleStream& operator=(const ConsoleStream&) = delete;

  std::ostream& Stream() { return *stream_; }

 private:
  std::unique_ptr<std::streambuf> buffer_;
  std::unique_ptr<std::ostream> console_;
  std::ostream* stream_;
};

// Standard error for code that is handed no stream (the driver library's own messages): made on
// first use, kept for the life of the process.
std::ostream& DiagnosticStream();

}  // namespace uhf
