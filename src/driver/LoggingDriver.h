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

class LoggingDriver final : public ReaderDriver {
 public:
  // Receives each line without its line feed.
  using Sink = std::function<void(std::string_view line)>;

  LoggingDriver(ReaderDriver& inner, Sink sink);

  std::int32_t OpenCom(std::int32_t port, std::int32_t baud) override;
  std::int32_t Net_Connect(const char* hostIp, std::int32_t hostPort, const char* readerIp,
                           std::int32_t readerPort) override;
  std::int32_t CloseCom() override;
  std::int32_t Handshake(std::uint8_t addr, std::uint8_t connecting, std::uint8_t* readerKind,
                         std::uint8_t* extra) override;
  std::int32_t Get_Version(std::uint8_t addr, char* version) override;
  std::int32_t Get_SerNum(std::uint8_t addr, std::uint8_t* serial) override;
  std::int32_t UhfGetAddress(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetAddress(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWorkMode(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetTriggerTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWgIntervalTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWeigand(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetWeigand(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetReadTagIntervalTime(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetOutPower(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetOutPower(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetBuzzer(std::uint8_t addr, std::uint8_t* value) override;
  std::int32_t UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) override;
  std::int32_t UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) override;
  std::int32_t UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) override;
  std::int32_t UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                              std::uint8_t* password) override;
  std::int32_t UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                              const std::uint8_t* password) override;
  std::int32_t UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form, std::int32_t* start,
                                     std::int32_t* end, std::int32_t* step,
                                     std::uint8_t* count) override;
  std::int32_t UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                     std::int32_t end, std::int32_t step,
                                     std::uint8_t count) override;
  std::int32_t UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                      std::int32_t end, std::int32_t step,
                                      std::uint8_t count) override;
  std::int32_t UhfFactoryDefault(std::uint8_t addr) override;
  std::int32_t UhfReadTag(std::uint8_t addr, std::uint8_t* reply, std::uint8_t* length) override;
  std::int32_t EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength, std::uint8_t inverted,
                         std::int32_t startByte, std::int32_t length, std::uint8_t* out) override;
  std::int32_t hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) override;
  std::int32_t a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) override;

 private:
  class Line;
  static Line PlanLine(const char* name, std::uint8_t addr, std::uint8_t form, std::int32_t start,
                       std::int32_t end, std::int32_t step, std::uint8_t count);
  void Emit(const Line& line, std::int32_t status, const std::string& outputs);

  ReaderDriver& inner_;
  Sink sink_;
};

// Local time with milliseconds: "2026-12-07 09:21:20.123".
std::string ExchangeLogTime();

// Lowercase hexadecimal text of `count` bytes; "-" for a null pointer.
std::string ExchangeLogHex(const std::uint8_t* bytes, std::size_t count);

}  // namespace uhf
