#pragma once
// Shared set-up of the reader operation tests: the dialog as initialisation leaves it, on the
// in-memory surface with the simulated reader behind it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialog/ControlIds.h"
#include "reader/FrequencyPlan.h"
#include "reader/ReaderOperations.h"
#include "reader/ReaderSettings.h"
#include "support/DialogFixture.h"

namespace uhf::testing {

// A fixture whose simulated reader is a factory-fresh reader of this kind and band.
inline std::unique_ptr<DialogFixture> MakeDialog(std::uint8_t readerKind = 0,
                                                 bool etsiBand = false) {
  SimOptions options;
  options.readerKind = readerKind;
  options.etsiBand = etsiBand;
  auto f = std::make_unique<DialogFixture>(options);
  f->PrepareAsInitialised();
  return f;
}

inline std::vector<std::string> ComboItems(const MemorySurface& s, int id) {
  std::vector<std::string> items;
  for (int i = 0; i < s.ComboCount(id); ++i) items.push_back(s.ComboItem(id, i));
  return items;
}

// The texts of the message boxes shown so far.
inline std::vector<std::string> MessageTexts(const MemorySurface& s) {
  std::vector<std::string> texts;
  for (const auto& m : s.Messages()) texts.push_back(m.text);
  return texts;
}

// The first n entries of a call list.
inline std::vector<std::string> Prefix(const std::vector<std::string>& calls, std::size_t n) {
  return {calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(std::min(n, calls.size()))};
}

// The driver calls of a complete read over the USB link at 115200 baud.
inline const std::vector<std::string>& UsbReadCalls() {
  static const std::vector<std::string> calls = {
      "OpenCom(100,115200)",
      "Handshake(255,1)",
      "UhfGetBuzzer(255)",
      "UhfGetWorkMode(255)",
      "UhfGetTriggerTime(255)",
      "UhfGetWgIntervalTime(255)",
      "UhfGetWgOutByte(255)",
      "UhfGetWeigand(255)",
      "UhfGetPassword(255)",
      "UhfGetReadTagIntervalTime(255)",
      "UhfGetOutPower(255)",
      "Get_Version(255)",
      "Get_SerNum(255)",
      "UhfGetAddress(255)",
      "UhfGetFrequencyRegion(255)",
  };
  return calls;
}

// The driver calls of a factory default over the USB link, with the reader's region and power
// steps (which depend on its kind and band) before the exchange ends.
inline std::vector<std::string> FactoryCalls(std::vector<std::string> regionAndPower) {
  std::vector<std::string> calls = {
      "OpenCom(100,0)",
      "Handshake(255,1)",
      "UhfFactoryDefault(255)",
      "UhfSetAddress(255,1)",
      "UhfSetWgIntervalTime(255,2)",
      "UhfSetTriggerTime(255,2)",
      "UhfSetWeigand(255,38)",
      "UhfSetWgOutByte(255,1,9,3,0)",
      "UhfSetPassword(255,1,90,90,90,90)",
      "UhfSetWorkMode(255,0)",
  };
  calls.insert(calls.end(), regionAndPower.begin(), regionAndPower.end());
  calls.push_back("Handshake(255,0)");
  calls.push_back("CloseCom()");
  return calls;
}

// Where a call of the read stands in UsbReadCalls().
inline std::size_t ReadCallIndex(const std::string& name) {
  const auto& calls = UsbReadCalls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].rfind(name + "(", 0) == 0) return i;
  }
  ADD_FAILURE() << "no call " << name << " in a read";
  return calls.size();
}

}  // namespace uhf::testing
