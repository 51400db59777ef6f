#pragma once
// This tool's dialog: its caption and the templates of its window: dialog 102, the operator view,
// with every control the handlers reach by id; and the engineering view, the same controls laid
// out so that each one an installer needs is shown.

#include <string_view>

#include "ui/DialogTemplate.h"

namespace uhf {

inline constexpr std::string_view kAppTitle = "UHF读头配置工具";

// Ends the window's caption while the simulated reader is the driver.
inline constexpr std::string_view kSimulatedCaptionSuffix = " — 模拟读头";

// First line of the banner: our reader model designation.
inline constexpr std::string_view kModelDesignation = "TV-W2634";

// The window's own command that switches between the two views (Ctrl+E, and its menu entry,
// checked while the engineering view is shown).
inline constexpr std::string_view kEngineeringViewCommand = "工程视图";
inline constexpr char kEngineeringViewKey = 'E';

const DialogTemplate& MainDialogTemplate();
const DialogTemplate& EngineeringDialogTemplate();

}  // namespace uhf
