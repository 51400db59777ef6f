#include "text/ConsoleStream.h"

#include <iostream>
#include <string>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "text/Utf8.h"
#include "text/WideText.h"
#endif

namespace uhf {

#ifdef _WIN32
namespace {

// Text is written a line (or a flush) at a time; a character cut by a flush waits for its other
// bytes.
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

}  // namespace
#endif

ConsoleStream::ConsoleStream(Handle which)
    : stream_(which == Handle::Output ? &std::cout : &std::cerr) {
#ifdef _WIN32
  HANDLE handle = GetStdHandle(which == Handle::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && handle != nullptr &&
      GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode)) {
    buffer_ = std::make_unique<ConsoleBuffer>(handle);
    console_ = std::make_unique<std::ostream>(buffer_.get());
    console_->flags(stream_->flags());
    stream_ = console_.get();
  }
#endif
}

ConsoleStream::~ConsoleStream() {
  stream_->flush();
}

std::ostream& DiagnosticStream() {
  static ConsoleStream error(ConsoleStream::Handle::Error);
  return error.Stream();
}

}  // namespace uhf
