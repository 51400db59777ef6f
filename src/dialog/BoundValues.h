#pragma once
// The dialog's bound values and their exchange with the controls, in binding order.

#include <cstdint>
#include <string>

#include "ui/ControlSurface.h"

namespace uhf {

struct BoundValues {
  std::string statusText;
  std::string checkPassword = "7C1E94B2";
  std::uint32_t tagInterval = 5;
  std::uint8_t powerValue = 0;
  std::uint8_t outputTime = 2;
  std::uint8_t readerAddress = 0;
  std::uint8_t readTime = 1;
  std::string versionText;
  std::uint32_t hostPort = 2000;
  std::uint32_t readerPort = 27001;
  std::string serialNumberText;
};

inline constexpr std::uint32_t kTagIntervalMax = 266;
inline constexpr std::uint32_t kPortMax = 65535;  // ports above 65535 do not exist
inline constexpr int kPasswordMaxChars = 8;

// save = false loads the controls from the values; save = true reads and checks them. Returns
// false when a check failed.
bool ExchangeBoundValues(ControlSurface& surface, BoundValues& values, bool save);

}  // namespace uhf
