#include "ui/RadioGroups.h"

namespace uhf {

RadioGroups::RadioGroups(const DialogTemplate& dialog) {
  for (const ControlTemplate& control : dialog.controls) {
    if (control.kind == ControlKind::RadioButton && control.id != kNoId) {
      groupOf_.emplace(control.id, control.radioGroup);
    }
  }
}

bool RadioGroups::Click(int id, const SetChecked& setChecked) const {
  const auto clicked = groupOf_.find(id);
  if (clicked == groupOf_.end()) return false;
  if (clicked->second != 0) {
    for (const auto& [other, group] : groupOf_) {
      if (other != id && group == clicked->second) setChecked(other, false);
    }
  }
  setChecked(id, true);
  return true;
}

}  // namespace uhf
