#pragma once
// Radios that a click makes exclusive: the radios of one nonzero group of the dialog template.
// Every surface keeps the rule through this class, so that it is the same on all of them.

#include <functional>
#include <map>

#include "ui/DialogTemplate.h"

namespace uhf {

class RadioGroups {
 public:
  using SetChecked = std::function<void(int id, bool checked)>;

  explicit RadioGroups(const DialogTemplate& dialog);

  // A click on radio `id`: every other radio of its group is cleared, then `id` is checked, each
  // through `setChecked`. False, with nothing set, when `id` is no radio.
  bool Click(int id, const SetChecked& setChecked) const;

 private:
  std::map<int, int> groupOf_;  // radio id -> its group, 0 for a radio in none
};

}  // namespace uhf
