// The floor of `uhf-readerctl read`: a program that binds the same driver library and makes the
// same 15 calls as the read, and nothing else.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "driver/LibraryDriver.h"

int main() {
  std::string error;
  auto driver = uhf::LibraryDriver::Load(uhf::LibraryDriver::PlatformLibraryName(), error);
  if (!driver) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 3;
  }
  constexpr std::uint8_t bus = uhf::ReaderBusAddress;
  std::uint8_t kind = 0, extra = 0, byte = 0, form = 0, count = 0;
  std::array<std::uint8_t, 4> record{};
  std::array<std::uint8_t, 4> password{};
  std::array<char, 64> version{};
  std::array<std::uint8_t, 50> serial{};
  std::int32_t start = 0, end = 0, step = 0;
  int failed = driver->OpenCom(100, 115200) != 0;
  failed += driver->Handshake(bus, 1, &kind, &extra) != 0;
  failed += driver->UhfGetBuzzer(bus, &byte) != 0;
  failed += driver->UhfGetWorkMode(bus, &byte) != 0;
  failed += driver->UhfGetTriggerTime(bus, &byte) != 0;
  failed += driver->UhfGetWgIntervalTime(bus, &byte) != 0;
  failed += driver->UhfGetWgOutByte(bus, record.data()) != 0;
  failed += driver->UhfGetWeigand(bus, &byte) != 0;
  failed += driver->UhfGetPassword(bus, &byte, password.data()) != 0;
  failed += driver->UhfGetReadTagIntervalTime(bus, &byte) != 0;
  failed += driver->UhfGetOutPower(bus, &byte) != 0;
  failed += driver->Get_Version(bus, version.data()) != 0;
  failed += driver->Get_SerNum(bus, serial.data()) != 0;
  failed += driver->UhfGetAddress(bus, &byte) != 0;
  failed += driver->UhfGetFrequencyRegion(bus, &form, &start, &end, &step, &count) != 0;
  return failed == 0 ? 0 : 1;
}
