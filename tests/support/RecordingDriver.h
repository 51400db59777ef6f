#pragma once
// A decorator that passes every call on to another driver and records the operation's name and
// the status it returned: lets a test judge what the window showed against what the driver
// answered, whatever the driver is (a library bound at run time included).

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/ReaderDriver.h"

namespace uhf::testing {

class RecordingDriver final : public ReaderDriver {
 public:
  struct Call {
    std::string name;
    std::int32_t status;
  };

  explicit RecordingDriver(ReaderDriver& inner) : inner_(inner) {}

  const std::vector<Call>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  bool AllSucceeded() const {
    return std::all_of(calls_.begin(), calls_.end(), [](const Call& c) { return c.status == 0; });
  }

  std::int32_t OpenCom(std::int32_t port, std::int32_t baud) override {
    return Note("OpenCom", inner_.OpenCom(port, baud));
  }
  std::int32_t Net_Connect(const char* hostIp, std::int32_t hostPort, const char* readerIp,
                           std::int32_t readerPort) override {
    return Note("Net_Connect", inner_.Net_Connect(hostIp, hostPort, readerIp, readerPort));
  }
  std::int32_t CloseCom() override { return Note("CloseCom", inner_.CloseCom()); }
  std::int32_t Handshake(std::uint8_t addr, std::uint8_t connecting, std::uint8_t* readerKind,
                         std::uint8_t* extra) override {
    return Note("Handshake", inner_.Handshake(addr, connecting, readerKind, extra));
  }
  std::int32_t Get_Version(std::uint8_t addr, char* version) override {
    return Note("Get_Version", inner_.Get_Version(addr, version));
  }
  std::int32_t Get_SerNum(std::uint8_t addr, std::uint8_t* serial) override {
    return Note("Get_SerNum", inner_.Get_SerNum(addr, serial));
  }
#define UHF_RECORD_BYTE(Getter, Setter)                                  \
  std::int32_t Getter(std::uint8_t addr, std::uint8_t* value) override { \
    return Note(#Getter, inner_.Getter(addr, value));                    \
  }                                                                      \
  std::int32_t Setter(std::uint8_t addr, std::uint8_t value) override {  \
    return Note(#Setter, inner_.Setter(addr, value));                    \
  }
  UHF_RECORD_BYTE(UhfGetAddress, UhfSetAddress)
  UHF_RECORD_BYTE(UhfGetWorkMode, UhfSetWorkMode)
  UHF_RECORD_BYTE(UhfGetTriggerTime, UhfSetTriggerTime)
  UHF_RECORD_BYTE(UhfGetWgIntervalTime, UhfSetWgIntervalTime)
  UHF_RECORD_BYTE(UhfGetWeigand, UhfSetWeigand)
  UHF_RECORD_BYTE(UhfGetReadTagIntervalTime, UhfSetReadTagIntervalTime)
  UHF_RECORD_BYTE(UhfGetOutPower, UhfSetOutPower)
  UHF_RECORD_BYTE(UhfGetBuzzer, UhfSetBuzzer)
#undef UHF_RECORD_BYTE
  std::int32_t UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) override {
    return Note("UhfGetWgOutByte", inner_.UhfGetWgOutByte(addr, record));
  }
  std::int32_t UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) override {
    return Note("UhfSetWgOutByte", inner_.UhfSetWgOutByte(addr, record));
  }
  std::int32_t UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                              std::uint8_t* password) override {
    return Note("UhfGetPassword", inner_.UhfGetPassword(addr, enabled, password));
  }
  std::int32_t UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                              const std::uint8_t* password) override {
    return Note("UhfSetPassword", inner_.UhfSetPassword(addr, enabled, password));
  }
  std::int32_t UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form, std::int32_t* start,
                                     std::int32_t* end, std::int32_t* step,
                                     std::uint8_t* count) override {
    return Note("UhfGetFrequencyRegion",
                inner_.UhfGetFrequencyRegion(addr, form, start, end, step, count));
  }
  std::int32_t UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                     std::int32_t end, std::int32_t step,
                                     std::uint8_t count) override {
    return Note("UhfSetFrequencyRegion",
                inner_.UhfSetFrequencyRegion(addr, form, start, end, step, count));
  }
  std::int32_t UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form, std::int32_t start,
                                      std::int32_t end, std::int32_t step,
                                      std::uint8_t count) override {
    return Note("UhfSetFrequencyRegionB",
                inner_.UhfSetFrequencyRegionB(addr, form, start, end, step, count));
  }
  std::int32_t UhfFactoryDefault(std::uint8_t addr) override {
    return Note("UhfFactoryDefault", inner_.UhfFactoryDefault(addr));
  }
  std::int32_t UhfReadTag(std::uint8_t addr, std::uint8_t* reply, std::uint8_t* length) override {
    return Note("UhfReadTag", inner_.UhfReadTag(addr, reply, length));
  }
  std::int32_t EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength, std::uint8_t inverted,
                         std::int32_t startByte, std::int32_t length, std::uint8_t* out) override {
    return Note("EpcOutput", inner_.EpcOutput(epc, epcLength, inverted, startByte, length, out));
  }
  std::int32_t hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) override {
    return Note("hex_a", inner_.hex_a(bytes, text, textLength));
  }
  std::int32_t a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) override {
    return Note("a_hex", inner_.a_hex(text, bytes, textLength));
  }

 private:
  std::int32_t Note(const char* name, std::int32_t status) {
    calls_.push_back({name, status});
    return status;
  }

  ReaderDriver& inner_;
  std::vector<Call> calls_;
};

}  // namespace uhf::testing
