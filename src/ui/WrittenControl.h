#pragma once
// What was written to a control whose window is not made yet: a control hidden when the window
// opens is made after its first frame, or when first used. Applied once it is made; until then
// reads of it are answered from here.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/ControlSurface.h"
#include "ui/DialogTemplate.h"

namespace uhf {

struct WrittenControl {
  std::optional<std::string> text;  // caption, edit text or dotted address
  std::optional<bool> checked;
  std::optional<bool> enabled;
  std::optional<int> limit;
  std::optional<FontSpec> font;
  std::vector<std::string> items;  // drop-down list
  int selected = -1;
  std::vector<std::pair<std::string, int>> columns;  // list view: heading, width
};

// Keeps `text` set on a control not made yet as setting it would show it (`caption` is what a
// label, button or group shows). True when the setting is owed an edit's change notification:
// every text set on an edit notifies.
bool KeepWrittenText(ControlKind kind, WrittenControl& written, std::string& caption,
                     std::string_view text);

// The text the control would give back once made: `caption` is the one last set on a label,
// button or group, `templateText` the edit's text in the template.
std::string WrittenText(ControlKind kind, const WrittenControl& written,
                        const std::string& templateText, const std::string& caption);

}  // namespace uhf
