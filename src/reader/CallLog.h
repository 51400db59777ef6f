#pragma once
// A driver that passes every call on to another and notes the operation's name and the status it
// returned, in order: what an operation reports as the calls it made.

#include <cstdint>
#include <string>
#include <vector>

#include "driver/ReaderDriver.h"

namespace uhf {

struct DriverCall {
  std::string name;
  std::int32_t status = 0;
  friend bool operator==(const DriverCall&, const DriverCall&) = default;
};

class CallLog final : public ReaderDriver {
 public:
  using Call = DriverCall;

  explicit CallLog(ReaderDriver& inner) : inner_(inner) {}

  const std::vector<DriverCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // Whether every call so far returned 0.
  bool AllSucceeded() const;

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
  std::int32_t Note(const char* name, std::int32_t status) {
    calls_.push_back({name, status});
    return status;
  }

  ReaderDriver& inner_;
  std::vector<DriverCall> calls_;
};

}  // namespace uhf
