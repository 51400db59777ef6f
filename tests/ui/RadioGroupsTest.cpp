#include "ui/RadioGroups.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace uhf {
namespace {

ControlTemplate Control(int id, ControlKind kind, int group = 0) {
  return {id, kind, "", {}, kStyleNone, true, true, group};
}

TEST(RadioGroups, AClickClearsTheOtherRadiosOfItsGroupOnly) {
  DialogTemplate dialog;
  dialog.controls = {
      Control(10, ControlKind::RadioButton, 1),    Control(11, ControlKind::RadioButton, 1),
      Control(20, ControlKind::RadioButton, 2),    Control(12, ControlKind::RadioButton, 1),
      Control(21, ControlKind::RadioButton, 2),    Control(30, ControlKind::RadioButton),
      Control(31, ControlKind::RadioButton),       Control(40, ControlKind::CheckBox, 1),
      Control(kNoId, ControlKind::RadioButton, 1),
  };
  const RadioGroups radios(dialog);
  using Sets = std::vector<std::pair<int, bool>>;
  struct Case {
    int clicked;
    bool radio;
    Sets sets;  // in any order but the clicked radio last
  };
  const std::vector<Case> cases = {
      {11, true, {{10, false}, {12, false}, {11, true}}},
      {21, true, {{20, false}, {21, true}}},
      {30, true, {{30, true}}},  // a radio in no group leaves the others alone
      {40, false, {}},           // a check box is no radio, whatever its group
      {99, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicked);
    Sets sets;
    EXPECT_EQ(
        radios.Click(c.clicked, [&](int id, bool checked) { sets.emplace_back(id, checked); }),
        c.radio);
    EXPECT_EQ(sets, c.sets);
  }
}

}  // namespace
}  // namespace uhf
