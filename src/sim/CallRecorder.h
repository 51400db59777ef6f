#pragma once
// A driver that passes every call on to another and records it as one line, Name(args):
// integer arguments in decimal; the bytes of an input record (Wiegand record, password) as
// separate decimal arguments; input texts in double quotes; the EPC given to EpcOutput and the
// bytes given to hex_a as one lowercase hexadecimal token; a null input as null; output pointers
// left out. Examples: "UhfSetWgOutByte(255,1,9,3,0)", "OpenCom(100,115200)",
// "Net_Connect(\"192.168.1.2\",2000,\"192.168.1.250\",27001)", "Handshake(255,1)".

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "driver/ReaderDriver.h"

namespace uhf {

class CallRecorder : public ReaderDriver {
 public:
  // Receives each call's line and the status it returned.
  using Sink = std::function<void(const std::string& call, std::int32_t status)>;

  explicit CallRecorder(ReaderDriver& inner) : inner_(inner) {}
  CallRecorder(const CallRecorder&) = delete;
  CallRecorder& operator=(const CallRecorder&) = delete;

  // Every call so far, one line each (recorded before the call is passed on).
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Also gives every call, once it returned, to `sink`.
  void SetSink(Sink sink) { sink_ = std::move(sink); }

  UHF_READER_DRIVER_OVERRIDES

 private:
  std::int32_t Returned(std::int32_t status);

  ReaderDriver& inner_;
  std::vector<std::string> calls_;
  Sink sink_;
};

}  // namespace uhf
