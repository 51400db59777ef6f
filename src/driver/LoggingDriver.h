#pragma once
// The exchange log: a driver that passes every call to another driver unchanged and writes one
// line per call: local time with milliseconds, operation, arguments, status, outputs (buffers in
// lowercase hexadecimal). Example:
//   2026-12-07 09:21:20.123 UhfGetWgOutByte(addr=255) -> 0 record=01090300

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
  void Emit(const char* operation, const LoggedCall& call, std::int32_t status);

  ReaderDriver& inner_;
  Sink sink_;
};

// Local time with milliseconds: "2026-12-07 09:21:20.123".
std::string ExchangeLogTime();

// Lowercase hexadecimal text of `count` bytes; "-" for a null pointer.
std::string ExchangeLogHex(const std::uint8_t* bytes, std::size_t count);

}  // namespace uhf
