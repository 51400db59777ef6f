#include <windows.h>

#include <iostream>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/WideMain.h"
#include "text/Utf8.h"
#include "text/WideText.h"

namespace uhf::cli {

namespace {

// A console shows the characters it is given as UTF-16, whatever its code page; UTF-8 bytes would
// show as that code page's characters. Text is written a line (or a flush) at a time; a character
// cut by a flush waits for its other bytes.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(HANDLE console) : console_(console) {}
  ~ConsoleBuffer() override { Write(pending_.size()); }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      pending_ += traits_type::to_char_type(c);
      if (c == '\n') Write(CompleteUtf8Length(pending_));
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<std::size_t>(count));
    if (pending_.find('\n') != std::string::npos) Write(CompleteUtf8Length(pending_));
    return count;
  }
  int sync() override {
    Write(CompleteUtf8Length(pending_));
    return 0;
  }

 private:
  void Write(std::size_t bytes) {
    if (bytes == 0) return;
    const std::wstring wide = Widen(std::string_view(pending_).substr(0, bytes));
    DWORD written = 0;
    WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    pending_.erase(0, bytes);
  }

  HANDLE console_;
  std::string pending_;
};

// The standard stream itself, or one writing to the console when the handle is one.
class OutputStream {
 public:
  OutputStream(DWORD which, std::ostream& standard) : stream_(&standard) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr &&
        GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
      buffer_ = std::make_unique<ConsoleBuffer>(handle);
      console_ = std::make_unique<std::ostream>(buffer_.get());
      console_->flags(standard.flags());
      if (standard.flags() & std::ios::unitbuf) console_->setf(std::ios::unitbuf);
      stream_ = console_.get();
    }
  }
  ~OutputStream() { stream_->flush(); }
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;
  std::ostream& Stream() { return *stream_; }

 private:
  std::unique_ptr<ConsoleBuffer> buffer_;
  std::unique_ptr<std::ostream> console_;
  std::ostream* stream_;
};

}  // namespace

int WideMain(int argc, const wchar_t* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(Narrow(argv[i]));
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  pointers.push_back(nullptr);
  OutputStream out(STD_OUTPUT_HANDLE, std::cout);
  OutputStream err(STD_ERROR_HANDLE, std::cerr);
  return CompanionMain(argc, pointers.data(), out.Stream(), err.Stream());
}

}  // namespace uhf::cli
