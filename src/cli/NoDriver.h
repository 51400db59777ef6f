#pragma once
// A driver for commands that never talk to a reader (texts, ports): the dialog needs one, and
// every call it would make fails.

#include "driver/ReaderDriver.h"

namespace uhf::cli {

class NoDriver final : public ReaderDriver {
 public:
  static constexpr std::int32_t kNotBound = -1;

  std::int32_t OpenCom(std::int32_t, std::int32_t) override { return kNotBound; }
  std::int32_t Net_Connect(const char*, std::int32_t, const char*, std::int32_t) override {
    return kNotBound;
  }
  std::int32_t CloseCom() override { return kNotBound; }
  std::int32_t Handshake(std::uint8_t, std::uint8_t, std::uint8_t*, std::uint8_t*) override {
    return kNotBound;
  }
  std::int32_t Get_Version(std::uint8_t, char*) override { return kNotBound; }
  std::int32_t Get_SerNum(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfGetAddress(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetAddress(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetWorkMode(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetWorkMode(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetTriggerTime(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetTriggerTime(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetWgIntervalTime(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetWgIntervalTime(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetWeigand(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetWeigand(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetReadTagIntervalTime(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetReadTagIntervalTime(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetOutPower(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetOutPower(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetBuzzer(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetBuzzer(std::uint8_t, std::uint8_t) override { return kNotBound; }
  std::int32_t UhfGetWgOutByte(std::uint8_t, std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfSetWgOutByte(std::uint8_t, const std::uint8_t*) override { return kNotBound; }
  std::int32_t UhfGetPassword(std::uint8_t, std::uint8_t*, std::uint8_t*) override {
    return kNotBound;
  }
  std::int32_t UhfSetPassword(std::uint8_t, std::uint8_t, const std::uint8_t*) override {
    return kNotBound;
  }
  std::int32_t UhfGetFrequencyRegion(std::uint8_t, std::uint8_t*, std::int32_t*, std::int32_t*,
                                     std::int32_t*, std::uint8_t*) override {
    return kNotBound;
  }
  std::int32_t UhfSetFrequencyRegion(std::uint8_t, std::uint8_t, std::int32_t, std::int32_t,
                                     std::int32_t, std::uint8_t) override {
    return kNotBound;
  }
  std::int32_t UhfSetFrequencyRegionB(std::uint8_t, std::uint8_t, std::int32_t, std::int32_t,
                                      std::int32_t, std::uint8_t) override {
    return kNotBound;
  }
  std::int32_t UhfFactoryDefault(std::uint8_t) override { return kNotBound; }
  std::int32_t UhfReadTag(std::uint8_t, std::uint8_t*, std::uint8_t*) override { return kNotBound; }
  std::int32_t EpcOutput(const std::uint8_t*, std::uint8_t, std::uint8_t, std::int32_t,
                         std::int32_t, std::uint8_t*) override {
    return kNotBound;
  }
  std::int32_t hex_a(const std::uint8_t*, char*, std::int32_t) override { return kNotBound; }
  std::int32_t a_hex(const char*, std::uint8_t*, std::int32_t) override { return kNotBound; }
};

}  // namespace uhf::cli
