// The driver library's 34 C exports, each served by the process-wide device of the build
// (ExportedDevice.h): the simulated reader for libtagvane.so, the hostile one for its test twin.
// Calls are serialised, and no exception crosses the C boundary.
#include <cstdint>
#include <exception>
#include <iostream>
#include <mutex>

#include "driver/tagvane.h"
#include "sim/ExportedDevice.h"

namespace {

constexpr std::int32_t kInternalError = 7;

std::mutex& Lock() {
  static std::mutex mutex;
  return mutex;
}

template <typename Operation>
std::int32_t Serve(Operation operation) noexcept {
  try {
    std::lock_guard<std::mutex> lock(Lock());
    const std::int32_t status = operation(uhf::ExportedDevice());
    uhf::AfterExportedCall(status);
    return status;
  } catch (const std::exception& e) {
    std::cerr << "tagvane: " << e.what() << '\n';
  } catch (...) {
    std::cerr << "tagvane: unknown failure\n";
  }
  return kInternalError;
}

}  // namespace

extern "C" {

TAGVANE_API int32_t TAGVANE_CALL OpenCom(int32_t port, int32_t baud) {
  return Serve([&](uhf::ReaderDriver& r) { return r.OpenCom(port, baud); });
}
TAGVANE_API int32_t TAGVANE_CALL Net_Connect(const char* hostIp, int32_t hostPort,
                                             const char* readerIp, int32_t readerPort) {
  return Serve(
      [&](uhf::ReaderDriver& r) { return r.Net_Connect(hostIp, hostPort, readerIp, readerPort); });
}
TAGVANE_API int32_t TAGVANE_CALL CloseCom(void) {
  return Serve([&](uhf::ReaderDriver& r) { return r.CloseCom(); });
}
TAGVANE_API int32_t TAGVANE_CALL Handshake(uint8_t addr, uint8_t connecting, uint8_t* readerKind,
                                           uint8_t* extra) {
  return Serve(
      [&](uhf::ReaderDriver& r) { return r.Handshake(addr, connecting, readerKind, extra); });
}
TAGVANE_API int32_t TAGVANE_CALL Get_Version(uint8_t addr, char* version) {
  return Serve([&](uhf::ReaderDriver& r) { return r.Get_Version(addr, version); });
}
TAGVANE_API int32_t TAGVANE_CALL Get_SerNum(uint8_t addr, uint8_t* serial) {
  return Serve([&](uhf::ReaderDriver& r) { return r.Get_SerNum(addr, serial); });
}

#define UHF_BYTE_EXPORTS(Getter, Setter)                                       \
  TAGVANE_API int32_t TAGVANE_CALL Getter(uint8_t addr, uint8_t* value) {      \
    return Serve([&](uhf::ReaderDriver& r) { return r.Getter(addr, value); }); \
  }                                                                            \
  TAGVANE_API int32_t TAGVANE_CALL Setter(uint8_t addr, uint8_t value) {       \
    return Serve([&](uhf::ReaderDriver& r) { return r.Setter(addr, value); }); \
  }

UHF_BYTE_EXPORTS(UhfGetAddress, UhfSetAddress)
UHF_BYTE_EXPORTS(UhfGetWorkMode, UhfSetWorkMode)
UHF_BYTE_EXPORTS(UhfGetTriggerTime, UhfSetTriggerTime)
UHF_BYTE_EXPORTS(UhfGetWgIntervalTime, UhfSetWgIntervalTime)
UHF_BYTE_EXPORTS(UhfGetWeigand, UhfSetWeigand)
UHF_BYTE_EXPORTS(UhfGetReadTagIntervalTime, UhfSetReadTagIntervalTime)
UHF_BYTE_EXPORTS(UhfGetOutPower, UhfSetOutPower)
UHF_BYTE_EXPORTS(UhfGetBuzzer, UhfSetBuzzer)
#undef UHF_BYTE_EXPORTS

TAGVANE_API int32_t TAGVANE_CALL UhfGetWgOutByte(uint8_t addr, uint8_t* record) {
  return Serve([&](uhf::ReaderDriver& r) { return r.UhfGetWgOutByte(addr, record); });
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetWgOutByte(uint8_t addr, const uint8_t* record) {
  return Serve([&](uhf::ReaderDriver& r) { return r.UhfSetWgOutByte(addr, record); });
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetPassword(uint8_t addr, uint8_t* enabled, uint8_t* password) {
  return Serve([&](uhf::ReaderDriver& r) { return r.UhfGetPassword(addr, enabled, password); });
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetPassword(uint8_t addr, uint8_t enabled,
                                                const uint8_t* password) {
  return Serve([&](uhf::ReaderDriver& r) { return r.UhfSetPassword(addr, enabled, password); });
}
TAGVANE_API int32_t TAGVANE_CALL UhfGetFrequencyRegion(uint8_t addr, uint8_t* form, int32_t* start,
                                                       int32_t* end, int32_t* step,
                                                       uint8_t* count) {
  return Serve([&](uhf::ReaderDriver& r) {
    return r.UhfGetFrequencyRegion(addr, form, start, end, step, count);
  });
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetFrequencyRegion(uint8_t addr, uint8_t form, int32_t start,
                                                       int32_t end, int32_t step, uint8_t count) {
  return Serve([&](uhf::ReaderDriver& r) {
    return r.UhfSetFrequencyRegion(addr, form, start, end, step, count);
  });
}
TAGVANE_API int32_t TAGVANE_CALL UhfSetFrequencyRegionB(uint8_t addr, uint8_t form, int32_t start,
                                                        int32_t end, int32_t step, uint8_t count) {
  return Serve([&](uhf::ReaderDriver& r) {
    return r.UhfSetFrequencyRegionB(addr, form, start, end, step, count);
  });
}
TAGVANE_API int32_t TAGVANE_CALL UhfFactoryDefault(uint8_t addr) {
  return Serve([&](uhf::ReaderDriver& r) { return r.UhfFactoryDefault(addr); });
}
TAGVANE_API int32_t TAGVANE_CALL UhfReadTag(uint8_t addr, uint8_t* reply, uint8_t* length) {
  return Serve([&](uhf::ReaderDriver& r) { return r.UhfReadTag(addr, reply, length); });
}
TAGVANE_API int32_t TAGVANE_CALL EpcOutput(const uint8_t* epc, uint8_t epcLength, uint8_t inverted,
                                           int32_t startByte, int32_t length, uint8_t* out) {
  return Serve([&](uhf::ReaderDriver& r) {
    return r.EpcOutput(epc, epcLength, inverted, startByte, length, out);
  });
}
TAGVANE_API int32_t TAGVANE_CALL hex_a(const uint8_t* bytes, char* text, int32_t textLength) {
  return Serve([&](uhf::ReaderDriver& r) { return r.hex_a(bytes, text, textLength); });
}
TAGVANE_API int32_t TAGVANE_CALL a_hex(const char* text, uint8_t* bytes, int32_t textLength) {
  return Serve([&](uhf::ReaderDriver& r) { return r.a_hex(text, bytes, textLength); });
}

}  // extern "C"
