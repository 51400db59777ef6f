#pragma once
// The C++ face of the reader driver library: the 34 operations under their export names, with
// the library's own argument lists, so a caller's sequence of calls maps one to one onto the
// library's.

#include <cstdint>

namespace uhf {

// Bus address passed first to every addressed operation. The address stored in the reader is a
// setting only.
inline constexpr std::uint8_t ReaderBusAddress = 255;

class ReaderDriver {
 public:
  virtual ~ReaderDriver() = default;

  virtual std::int32_t OpenCom(std::int32_t port, std::int32_t baud) = 0;
  virtual std::int32_t Net_Connect(const char* hostIp, std::int32_t hostPort, const char* readerIp,
                                   std::int32_t readerPort) = 0;
  virtual std::int32_t CloseCom() = 0;
  virtual std::int32_t Handshake(std::uint8_t addr, std::uint8_t connecting,
                                 std::uint8_t* readerKind, std::uint8_t* extra) = 0;

  virtual std::int32_t Get_Version(std::uint8_t addr, char* version) = 0;
  virtual std::int32_t Get_SerNum(std::uint8_t addr, std::uint8_t* serial) = 0;

  virtual std::int32_t UhfGetAddress(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetAddress(std::uint8_t addr, std::uint8_t value) = 0;
  virtual std::int32_t UhfGetWorkMode(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetWorkMode(std::uint8_t addr, std::uint8_t value) = 0;
  virtual std::int32_t UhfGetTriggerTime(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetTriggerTime(std::uint8_t addr, std::uint8_t value) = 0;
  virtual std::int32_t UhfGetWgIntervalTime(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetWgIntervalTime(std::uint8_t addr, std::uint8_t value) = 0;
  virtual std::int32_t UhfGetWeigand(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetWeigand(std::uint8_t addr, std::uint8_t value) = 0;
  virtual std::int32_t UhfGetReadTagIntervalTime(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetReadTagIntervalTime(std::uint8_t addr, std::uint8_t value) = 0;
  virtual std::int32_t UhfGetOutPower(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetOutPower(std::uint8_t addr, std::uint8_t value) = 0;
  virtual std::int32_t UhfGetBuzzer(std::uint8_t addr, std::uint8_t* value) = 0;
  virtual std::int32_t UhfSetBuzzer(std::uint8_t addr, std::uint8_t value) = 0;

  virtual std::int32_t UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) = 0;
  virtual std::int32_t UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) = 0;
  virtual std::int32_t UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                                      std::uint8_t* password) = 0;
  virtual std::int32_t UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                                      const std::uint8_t* password) = 0;

  virtual std::int32_t UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form,
                                             std::int32_t* start, std::int32_t* end,
                                             std::int32_t* step, std::uint8_t* count) = 0;
  virtual std::int32_t UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form,
                                             std::int32_t start, std::int32_t end,
                                             std::int32_t step, std::uint8_t count) = 0;
  virtual std::int32_t UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form,
                                              std::int32_t start, std::int32_t end,
                                              std::int32_t step, std::uint8_t count) = 0;
  virtual std::int32_t UhfFactoryDefault(std::uint8_t addr) = 0;

  virtual std::int32_t UhfReadTag(std::uint8_t addr, std::uint8_t* reply, std::uint8_t* length) = 0;
  virtual std::int32_t EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength,
                                 std::uint8_t inverted, std::int32_t startByte, std::int32_t length,
                                 std::uint8_t* out) = 0;
  virtual std::int32_t hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) = 0;
  virtual std::int32_t a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) = 0;
};

}  // namespace uhf
