#pragma once
// The exchange log: a driver that passes every call to another driver unchanged and writes one
// line per call: local time with milliseconds, operation, arguments, status, outputs (buffers in
// lowercase hexadecimal), and last how long the call took in whole milliseconds. Example:
//   2026-12-07 09:21:20.123 UhfGetWgOutByte(addr=255) -> 0 record=01090300 (12 ms)

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "driver/ReaderDriver.h"

namespace uhf {

struct LoggedCall;

class LoggingDriver final : public ReaderDriver {
 public:
  // Receives each line without its line feed.
  using Sink = std::function<void(std::string_view line)>;

  LoggingDriver(ReaderDriver& inner, Sink sink);

  UHF_READER_DRIVER_OVERRIDES

 private:
  void Emit(const char* operation, const LoggedCall& call, std::int32_t status,
            std::chrono::steady_clock::duration took);

  ReaderDriver& inner_;
  Sink sink_;
};

// Local time with milliseconds: "2026-12-07 09:21:20.123".
std::string ExchangeLogTime();

// The end of a line: " (12 ms)", whole milliseconds rounded down.
std::string ExchangeLogDuration(std::chrono::steady_clock::duration took);

// Lowercase hexadecimal text of `count` bytes; "-" for a null pointer.
std::string ExchangeLogHex(const std::uint8_t* bytes, std::size_t count);

}  // namespace uhf
