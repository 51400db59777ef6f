#include "reader/CallLog.h"

#include <algorithm>

namespace uhf {

bool CallLog::AllSucceeded() const {
  return std::all_of(calls_.begin(), calls_.end(),
                     [](const DriverCall& c) { return c.status == 0; });
}

std::int32_t CallLog::OpenCom(std::int32_t port, std::int32_t baud) {
  return Note("OpenCom", inner_.OpenCom(port, baud));
}
std::int32_t CallLog::Net_Connect(const char* hostIp, std::int32_t hostPort, const char* readerIp,
                                  std::int32_t readerPort) {
  return Note("Net_Connect", inner_.Net_Connect(hostIp, hostPort, readerIp, readerPort));
}
std::int32_t CallLog::CloseCom() {
  return Note("CloseCom", inner_.CloseCom());
}
std::int32_t CallLog::Handshake(std::uint8_t addr, std::uint8_t connecting,
                                std::uint8_t* readerKind, std::uint8_t* extra) {
  return Note("Handshake", inner_.Handshake(addr, connecting, readerKind, extra));
}
std::int32_t CallLog::Get_Version(std::uint8_t addr, char* version) {
  return Note("Get_Version", inner_.Get_Version(addr, version));
}
std::int32_t CallLog::Get_SerNum(std::uint8_t addr, std::uint8_t* serial) {
  return Note("Get_SerNum", inner_.Get_SerNum(addr, serial));
}

#define UHF_LOG_BYTE(Getter, Setter)                                     \
  std::int32_t CallLog::Getter(std::uint8_t addr, std::uint8_t* value) { \
    return Note(#Getter, inner_.Getter(addr, value));                    \
  }                                                                      \
  std::int32_t CallLog::Setter(std::uint8_t addr, std::uint8_t value) {  \
    return Note(#Setter, inner_.Setter(addr, value));                    \
  }
UHF_LOG_BYTE(UhfGetAddress, UhfSetAddress)
UHF_LOG_BYTE(UhfGetWorkMode, UhfSetWorkMode)
UHF_LOG_BYTE(UhfGetTriggerTime, UhfSetTriggerTime)
UHF_LOG_BYTE(UhfGetWgIntervalTime, UhfSetWgIntervalTime)
UHF_LOG_BYTE(UhfGetWeigand, UhfSetWeigand)
UHF_LOG_BYTE(UhfGetReadTagIntervalTime, UhfSetReadTagIntervalTime)
UHF_LOG_BYTE(UhfGetOutPower, UhfSetOutPower)
UHF_LOG_BYTE(UhfGetBuzzer, UhfSetBuzzer)
#undef UHF_LOG_BYTE

std::int32_t CallLog::UhfGetWgOutByte(std::uint8_t addr, std::uint8_t* record) {
  return Note("UhfGetWgOutByte", inner_.UhfGetWgOutByte(addr, record));
}
std::int32_t CallLog::UhfSetWgOutByte(std::uint8_t addr, const std::uint8_t* record) {
  return Note("UhfSetWgOutByte", inner_.UhfSetWgOutByte(addr, record));
}
std::int32_t CallLog::UhfGetPassword(std::uint8_t addr, std::uint8_t* enabled,
                                     std::uint8_t* password) {
  return Note("UhfGetPassword", inner_.UhfGetPassword(addr, enabled, password));
}
std::int32_t CallLog::UhfSetPassword(std::uint8_t addr, std::uint8_t enabled,
                                     const std::uint8_t* password) {
  return Note("UhfSetPassword", inner_.UhfSetPassword(addr, enabled, password));
}
std::int32_t CallLog::UhfGetFrequencyRegion(std::uint8_t addr, std::uint8_t* form,
                                            std::int32_t* start, std::int32_t* end,
                                            std::int32_t* step, std::uint8_t* count) {
  return Note("UhfGetFrequencyRegion",
              inner_.UhfGetFrequencyRegion(addr, form, start, end, step, count));
}
std::int32_t CallLog::UhfSetFrequencyRegion(std::uint8_t addr, std::uint8_t form,
                                            std::int32_t start, std::int32_t end, std::int32_t step,
                                            std::uint8_t count) {
  return Note("UhfSetFrequencyRegion",
              inner_.UhfSetFrequencyRegion(addr, form, start, end, step, count));
}
std::int32_t CallLog::UhfSetFrequencyRegionB(std::uint8_t addr, std::uint8_t form,
                                             std::int32_t start, std::int32_t end,
                                             std::int32_t step, std::uint8_t count) {
  return Note("UhfSetFrequencyRegionB",
              inner_.UhfSetFrequencyRegionB(addr, form, start, end, step, count));
}
std::int32_t CallLog::UhfFactoryDefault(std::uint8_t addr) {
  return Note("UhfFactoryDefault", inner_.UhfFactoryDefault(addr));
}
std::int32_t CallLog::UhfReadTag(std::uint8_t addr, std::uint8_t* reply, std::uint8_t* length) {
  return Note("UhfReadTag", inner_.UhfReadTag(addr, reply, length));
}
std::int32_t CallLog::EpcOutput(const std::uint8_t* epc, std::uint8_t epcLength,
                                std::uint8_t inverted, std::int32_t startByte, std::int32_t length,
                                std::uint8_t* out) {
  return Note("EpcOutput", inner_.EpcOutput(epc, epcLength, inverted, startByte, length, out));
}
std::int32_t CallLog::hex_a(const std::uint8_t* bytes, char* text, std::int32_t textLength) {
  return Note("hex_a", inner_.hex_a(bytes, text, textLength));
}
std::int32_t CallLog::a_hex(const char* text, std::uint8_t* bytes, std::int32_t textLength) {
  return Note("a_hex", inner_.a_hex(text, bytes, textLength));
}

}  // namespace uhf
