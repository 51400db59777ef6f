#pragma once
// This tool's dialog: its caption and the template of its window, dialog 102, with every control
// the handlers reach by id.

#include <string_view>

#include "ui/DialogTemplate.h"

namespace uhf {

inline constexpr std::string_view kAppTitle = "UHF读头配置工具";

// Ends the window's caption while the simulated reader is the driver.
inline constexpr std::string_view kSimulatedCaptionSuffix = " — 模拟读头";

// First line of the banner: our reader model designation.
inline constexpr std::string_view kModelDesignation = "TV-W2634";

const DialogTemplate& MainDialogTemplate();

}  // namespace uhf
