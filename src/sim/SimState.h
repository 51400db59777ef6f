#pragma once
// What the simulated device remembers across runs, and its factory settings.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace uhf {

struct SimState {
  std::uint8_t readerKind = 0;  // 0, 1 or 2
  bool etsiBand = false;        // band of readers of kind 0 and 1: FCC (902-928 MHz) or ETSI
  std::string version = "TVW-SIM V2.06";
  std::array<std::uint8_t, 12> serial{0x20, 0x26, 0x12, 0x07, 0x00, 0x0a,
                                      0xff, 0x51, 0x3c, 0x00, 0x00, 0x01};
  bool attached = true;     // plugged in: a link to it opens and it answers
  bool writesFail = false;  // a worn-out memory: every setting written fails and nothing changes
  std::uint8_t address = 0;
  std::uint8_t workMode = 0;
  std::uint8_t triggerTime = 1;
  std::uint8_t wgIntervalTime = 2;
  std::uint8_t weigand = 0x26;
  std::array<std::uint8_t, 4> wgOutRecord{1, 9, 3, 0};
  std::uint8_t passwordEnabled = 0;
  std::array<std::uint8_t, 4> password{0, 0, 0, 0};
  std::uint8_t readTagInterval = 5;
  std::uint8_t outPower = 30;
  std::uint8_t buzzer = 1;
  std::uint8_t regionForm = 4;
  std::int32_t regionStart = 902000;
  std::int32_t regionEnd = 926000;
  std::int32_t regionStep = 500;
  std::uint8_t regionCount = 48;
  std::vector<std::vector<std::uint8_t>> tags;  // EPCs of the tags in the field

  friend bool operator==(const SimState&, const SimState&) = default;
};

// The factory state of a reader of the given kind and band (what UhfFactoryDefault restores).
SimState FactoryState(std::uint8_t readerKind, bool etsiBand);

}  // namespace uhf
