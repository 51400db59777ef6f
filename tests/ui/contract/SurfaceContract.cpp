#include "ui/contract/SurfaceContract.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <thread>

namespace uhf::contract {

const DialogTemplate& ContractTemplate() {
  using K = ControlKind;
  constexpr std::uint32_t kRichStyle = kStyleReadOnly | kStyleMultiline | kStyleBorder;
  static const DialogTemplate dialog{
      "Contract",
      400,
      260,
      "Sans Serif",
      9,
      {
          {kButton, K::PushButton, "OK", {10, 10, 60, 14}, kStyleNone, true, true},
          {kDisabledButton, K::PushButton, "No", {80, 10, 60, 14}, kStyleNone, true, false},
          {kCheckBox, K::CheckBox, "Check", {10, 30, 60, 10}, kStyleNone, true, true},
          {kRadioA, K::RadioButton, "A", {10, 45, 40, 10}, kStyleGroup, true, true, 1},
          {kRadioB, K::RadioButton, "B", {60, 45, 40, 10}, kStyleNone, true, true, 1},
          {kRadioC, K::RadioButton, "C", {110, 45, 40, 10}, kStyleGroup, true, true, 2},
          {kEdit, K::Edit, "", {10, 60, 60, 14}, kStyleBorder, true, true},
          {kOtherEdit, K::Edit, "", {80, 60, 60, 14}, kStyleBorder, true, true},
          {kDisabledEdit, K::Edit, "x", {150, 60, 60, 14}, kStyleBorder, true, false},
          {kStatic, K::Static, "Label", {10, 80, 60, 8}, kStyleNone, true, true},
          {kGroupBox, K::GroupBox, "Group", {300, 200, 100, 50}, kStyleNone, true, true},
          {kCombo, K::ComboBox, "", {10, 95, 60, 80}, kStyleNone, true, true},
          {kList, K::ListView, "", {150, 95, 200, 80}, kStyleBorder, true, true},
          {kIp, K::IpAddress, "", {10, 180, 100, 14}, kStyleNone, true, true},
          {kRich, K::RichEdit, "", {10, 200, 200, 40}, kRichStyle, true, true},
          {kLog, K::RichEdit, "", {215, 180, 80, 60}, kRichStyle | kStyleLog, true, true},
      }};
  return dialog;
}

const DialogTemplate& ContractLayout() {
  static const DialogTemplate layout = [] {
    DialogTemplate moved = ContractTemplate();
    moved.widthDu = 520;
    moved.heightDu = 330;
    for (ControlTemplate& control : moved.controls) {
      control.rect.x += 100;
      control.rect.y += 60;
      if (control.id == kStatic) control.visible = false;
      if (control.id == kIp || control.id == kList) control.rect.width += 40;
    }
    std::reverse(moved.controls.begin(), moved.controls.end());
    return moved;
  }();
  return layout;
}

void SurfaceContract::SetUp() {
  under_ = GetParam().make(ContractTemplate());
  surface().SetNotificationHandler([this](int id, Notification n) { events.push_back({id, n}); });
}

namespace {

// --- texts ---

TEST_P(SurfaceContract, TextsReadBackAsSet) {
  for (int id : {kEdit, kStatic, kGroupBox, kButton, kCheckBox, kRadioA, kRich}) {
    SCOPED_TRACE(id);
    surface().SetText(id, "读卡器 1");
    EXPECT_EQ(surface().GetText(id), "读卡器 1");
    surface().SetText(id, "");
    EXPECT_EQ(surface().GetText(id), "");
  }
  EXPECT_EQ(surface().GetText(kDisabledEdit), "x");  // the template's text
}

TEST_P(SurfaceContract, EveryTextSetOnAnEditNotifiesOtherControlsNever) {
  surface().SetText(kEdit, "5");
  surface().SetText(kEdit, "5");  // unchanged text still notifies
  surface().SetText(kDisabledEdit, "7");
  for (int id : {kStatic, kGroupBox, kButton, kCheckBox, kRich, kCombo, kIp}) {
    surface().SetText(id, "1.2.3.4");
  }
  const std::vector<Event> expected = {{kEdit, Notification::EditChanged},
                                       {kEdit, Notification::EditChanged},
                                       {kDisabledEdit, Notification::EditChanged}};
  EXPECT_EQ(events, expected);
}

TEST_P(SurfaceContract, TypingReplacesTheTextAndNotifies) {
  surface().SetText(kEdit, "old");
  events.clear();
  op().Type(kEdit, "12");
  EXPECT_EQ(surface().GetText(kEdit), "12");
  ASSERT_FALSE(events.empty());
  for (const Event& e : events) EXPECT_EQ(e, (Event{kEdit, Notification::EditChanged}));
}

// A text limit stops typing; a text set from code stays whole (the saving check reports it).
TEST_P(SurfaceContract, TextLimitStopsTypingButNeverCutsTextFromCode) {
  surface().SetText(kEdit, "0123456789");
  surface().LimitText(kEdit, 8);
  EXPECT_EQ(surface().GetText(kEdit), "0123456789");
  surface().SetText(kEdit, "ABCDEFGHIJKL");
  EXPECT_EQ(surface().GetText(kEdit), "ABCDEFGHIJKL");
  op().Type(kEdit, "abcdefghij");
  EXPECT_EQ(surface().GetText(kEdit), "abcdefgh");
  op().Type(kEdit, "读卡器读卡器读卡器");  // a Chinese character counts as one
  EXPECT_EQ(surface().GetText(kEdit), "读卡器读卡器读卡");
  op().Type(kOtherEdit, "abcdefghij");  // the limit is the edit's own
  EXPECT_EQ(surface().GetText(kOtherEdit), "abcdefghij");
}

// --- checks and clicks ---

TEST_P(SurfaceContract, ChecksSetFromCodeTouchNoOtherControlAndNeverNotify) {
  surface().SetCheck(kRadioA, 1);
  surface().SetCheck(kRadioB, 1);
  EXPECT_EQ(surface().GetCheck(kRadioA), 1);
  EXPECT_EQ(surface().GetCheck(kRadioB), 1);
  surface().SetCheck(kRadioA, 0);
  EXPECT_EQ(surface().GetCheck(kRadioA), 0);
  EXPECT_EQ(surface().GetCheck(kRadioB), 1);
  surface().SetCheck(kCheckBox, 1);
  EXPECT_EQ(surface().GetCheck(kCheckBox), 1);
  // Only check boxes and radios hold a check state.
  for (int id : {kButton, kEdit, kStatic, kGroupBox}) {
    SCOPED_TRACE(id);
    surface().SetCheck(id, 1);
    EXPECT_EQ(surface().GetCheck(id), 0);
  }
  EXPECT_TRUE(events.empty());
}

TEST_P(SurfaceContract, ClickOnARadioClearsOnlyItsOwnGroup) {
  surface().SetCheck(kRadioA, 1);
  surface().SetCheck(kRadioC, 1);
  op().Click(kRadioB);
  EXPECT_EQ(surface().GetCheck(kRadioA), 0);
  EXPECT_EQ(surface().GetCheck(kRadioB), 1);
  EXPECT_EQ(surface().GetCheck(kRadioC), 1);  // another group
  op().Click(kRadioB);                        // a checked radio stays checked
  EXPECT_EQ(surface().GetCheck(kRadioB), 1);
  const std::vector<Event> expected = {{kRadioB, Notification::Clicked},
                                       {kRadioB, Notification::Clicked}};
  EXPECT_EQ(events, expected);
}

TEST_P(SurfaceContract, ClickOnACheckBoxTogglesAndOnAButtonNotifies) {
  op().Click(kCheckBox);
  EXPECT_EQ(surface().GetCheck(kCheckBox), 1);
  op().Click(kCheckBox);
  EXPECT_EQ(surface().GetCheck(kCheckBox), 0);
  op().Click(kButton);
  const std::vector<Event> expected = {{kCheckBox, Notification::Clicked},
                                       {kCheckBox, Notification::Clicked},
                                       {kButton, Notification::Clicked}};
  EXPECT_EQ(events, expected);
}

TEST_P(SurfaceContract, ClicksOnADisabledControlDoNothing) {
  op().Click(kDisabledButton);
  surface().Enable(kCheckBox, false);
  op().Click(kCheckBox);
  EXPECT_EQ(surface().GetCheck(kCheckBox), 0);
  surface().SetCheck(kRadioA, 1);
  surface().Enable(kRadioB, false);
  op().Click(kRadioB);
  EXPECT_EQ(surface().GetCheck(kRadioA), 1);
  EXPECT_EQ(surface().GetCheck(kRadioB), 0);
  EXPECT_TRUE(events.empty());
  surface().Enable(kList, false);
  op().DoubleClick(kList);
  EXPECT_TRUE(events.empty());
  surface().Enable(kDisabledButton, true);
  op().Click(kDisabledButton);
  EXPECT_EQ(events, (std::vector<Event>{{kDisabledButton, Notification::Clicked}}));
}

// --- state, focus and selection ---

TEST_P(SurfaceContract, EnabledAndVisibleStatesStartFromTheTemplate) {
  for (const ControlTemplate& tpl : ContractTemplate().controls) {
    SCOPED_TRACE(tpl.id);
    EXPECT_EQ(surface().IsEnabled(tpl.id), tpl.enabled);
    EXPECT_TRUE(surface().IsVisible(tpl.id));
  }
  surface().Enable(kEdit, false);
  EXPECT_FALSE(surface().IsEnabled(kEdit));
  surface().Enable(kDisabledButton, true);
  EXPECT_TRUE(surface().IsEnabled(kDisabledButton));
  EXPECT_TRUE(events.empty());
}

TEST_P(SurfaceContract, FocusAndWholeTextSelection) {
  surface().SetFocus(kOtherEdit);
  EXPECT_EQ(surface().FocusedControl(), kOtherEdit);
  surface().SetFocus(kButton);
  EXPECT_EQ(surface().FocusedControl(), kButton);
  surface().SetText(kEdit, "300");
  surface().SetFocus(kEdit);
  surface().SelectAllText(kEdit);
  EXPECT_EQ(surface().FocusedControl(), kEdit);
  EXPECT_TRUE(op().WholeTextSelected(kEdit));
  surface().SetText(kEdit, "301");  // new text comes without a selection
  EXPECT_FALSE(op().WholeTextSelected(kEdit));
  const std::vector<Event> expected(2, {kEdit, Notification::EditChanged});
  EXPECT_EQ(events, expected);
}

TEST_P(SurfaceContract, UnknownIdsThrow) {
  EXPECT_THROW(surface().SetText(4242, "x"), std::out_of_range);
  EXPECT_THROW(surface().GetText(4242), std::out_of_range);
  EXPECT_THROW(surface().Enable(4242, true), std::out_of_range);
}

// --- drop-down lists ---

TEST_P(SurfaceContract, ComboHasNoSelectionUntilOneIsMade) {
  EXPECT_EQ(surface().ComboAdd(kCombo, "0"), 0);
  EXPECT_EQ(surface().ComboAdd(kCombo, "1"), 1);
  EXPECT_EQ(surface().ComboGetSel(kCombo), -1);
  EXPECT_EQ(surface().GetText(kCombo), "");
  surface().ComboSetSel(kCombo, 1);
  EXPECT_EQ(surface().ComboGetSel(kCombo), 1);
  EXPECT_EQ(surface().GetText(kCombo), "1");
  EXPECT_EQ(surface().ComboAdd(kCombo, "2"), 2);  // adding keeps the selection
  EXPECT_EQ(surface().ComboGetSel(kCombo), 1);
  surface().SetText(kCombo, "2");  // a drop-down list shows its selection only
  EXPECT_EQ(surface().GetText(kCombo), "1");
  EXPECT_EQ(surface().ComboCount(kCombo), 3);
  EXPECT_EQ(surface().ComboItem(kCombo, 2), "2");
  EXPECT_EQ(surface().ComboItem(kCombo, 3), "");
  EXPECT_EQ(surface().ComboItem(kCombo, -1), "");
  EXPECT_TRUE(events.empty());
}

TEST_P(SurfaceContract, ComboSelectionOutOfRangeClearsItAndResetEmptiesTheList) {
  for (int c = 0; c < 3; ++c) surface().ComboAdd(kCombo, std::to_string(c));
  for (int bad : {3, -1, 99, -7}) {
    SCOPED_TRACE(bad);
    surface().ComboSetSel(kCombo, 1);
    surface().ComboSetSel(kCombo, bad);
    EXPECT_EQ(surface().ComboGetSel(kCombo), -1);
    EXPECT_EQ(surface().GetText(kCombo), "");
  }
  surface().ComboSetSel(kCombo, 2);
  surface().ComboReset(kCombo);
  EXPECT_EQ(surface().ComboCount(kCombo), 0);
  EXPECT_EQ(surface().ComboGetSel(kCombo), -1);
  EXPECT_EQ(surface().ComboAdd(kCombo, "again"), 0);
  EXPECT_EQ(surface().ComboGetSel(kCombo), -1);
  EXPECT_TRUE(events.empty());
}

// --- list view ---

TEST_P(SurfaceContract, ListColumnsInsertInPlaceWithHeadingsAndWidths) {
  surface().ListInsertColumn(kList, 0, "No.", 90);
  surface().ListInsertColumn(kList, 1, "EPC Length", 150);
  surface().ListInsertItem(kList, 0, "1");
  surface().ListSetItemText(kList, 0, 1, "12");
  surface().ListInsertColumn(kList, 1, "Card Number", 250);  // the cells after it move along
  surface().ListInsertColumn(kList, 9, "Tail", 10);          // past the end: appended
  ASSERT_EQ(surface().ListColumnCount(kList), 4);
  const std::vector<std::pair<std::string, int>> expected = {
      {"No.", 90}, {"Card Number", 250}, {"EPC Length", 150}, {"Tail", 10}};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(surface().ListColumnHeading(kList, c), expected[static_cast<std::size_t>(c)].first);
    EXPECT_EQ(surface().ListColumnWidth(kList, c), expected[static_cast<std::size_t>(c)].second);
  }
  EXPECT_EQ(surface().ListColumnHeading(kList, 4), "");
  EXPECT_EQ(surface().ListColumnWidth(kList, -1), 0);
  EXPECT_EQ(surface().ListGetItemText(kList, 0, 0, 260), "1");
  EXPECT_EQ(surface().ListGetItemText(kList, 0, 1, 260), "");
  EXPECT_EQ(surface().ListGetItemText(kList, 0, 2, 260), "12");
}

TEST_P(SurfaceContract, ListRowsInsertSetAndDelete) {
  for (int c = 0; c < 4; ++c) surface().ListInsertColumn(kList, c, "h", 50);
  EXPECT_EQ(surface().ListInsertItem(kList, 0, "a"), 0);
  EXPECT_EQ(surface().ListInsertItem(kList, 5, "c"), 1);   // past the end: appended
  EXPECT_EQ(surface().ListInsertItem(kList, 1, "b"), 1);   // in the middle
  EXPECT_EQ(surface().ListInsertItem(kList, -3, "z"), 0);  // negative: first
  ASSERT_EQ(surface().ListCount(kList), 4);
  const std::vector<std::string> order = {"z", "a", "b", "c"};
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(surface().ListGetItemText(kList, r, 0, 16), order[static_cast<std::size_t>(r)]);
  }
  surface().ListSetItemText(kList, 2, 3, "x");
  surface().ListSetItemText(kList, 2, 3, "y");  // overwrite
  surface().ListSetItemText(kList, 9, 0, "ignored");
  surface().ListSetItemText(kList, 0, -1, "ignored");
  EXPECT_EQ(surface().ListGetItemText(kList, 2, 3, 16), "y");
  EXPECT_EQ(surface().ListGetItemText(kList, 9, 0, 16), "");
  EXPECT_EQ(surface().ListGetItemText(kList, 0, -1, 16), "");
  EXPECT_EQ(surface().ListCount(kList), 4);
  surface().ListDeleteAll(kList);
  EXPECT_EQ(surface().ListCount(kList), 0);
  EXPECT_EQ(surface().ListColumnCount(kList), 4);
  EXPECT_EQ(surface().ListInsertItem(kList, 0, "again"), 0);
  EXPECT_EQ(surface().ListGetItemText(kList, 0, 0, 16), "again");
  EXPECT_TRUE(events.empty());
}

TEST_P(SurfaceContract, ListCellReadBackNeverExceedsTheBufferNorSplitsACharacter) {
  surface().ListInsertColumn(kList, 0, "No.", 90);
  surface().ListInsertItem(kList, 0, "读卡器ab");  // 9 bytes of Chinese, then 2
  const std::vector<std::pair<std::size_t, std::string>> cases = {
      {0, ""},     {1, ""},        {3, ""},         {4, "读"},        {6, "读"},
      {7, "读卡"}, {10, "读卡器"}, {11, "读卡器a"}, {12, "读卡器ab"}, {260, "读卡器ab"},
  };
  for (const auto& [size, expected] : cases) {
    EXPECT_EQ(surface().ListGetItemText(kList, 0, 0, size), expected) << size;
  }
}

TEST_P(SurfaceContract, ListStyleBitsAddUp) {
  EXPECT_EQ(surface().ListExtendedStyle(kList), 0u);
  surface().ListAddExtendedStyle(kList, kListGridLines);
  surface().ListAddExtendedStyle(kList, kListFullRowSelect);
  surface().ListAddExtendedStyle(kList, kListGridLines);
  EXPECT_EQ(surface().ListExtendedStyle(kList), kListGridLines | kListFullRowSelect);
}

TEST_P(SurfaceContract, DoubleClickOnTheListNotifiesEvenWhenItIsEmpty) {
  op().DoubleClick(kList);
  EXPECT_EQ(events, (std::vector<Event>{{kList, Notification::DoubleClicked}}));
}

// --- IP address control ---

TEST_P(SurfaceContract, IpAddressSetsReadsAndBlanks) {
  struct Case {
    const char* dotted;
    int filled;
    std::array<std::uint8_t, 4> fields;
    const char* text;
  };
  const Case cases[] = {
      {"192.168.1.250", 4, {192, 168, 1, 250}, "192.168.1.250"},
      {"", 0, {0, 0, 0, 0}, ""},
      {"10.0.300.1", 2, {10, 0, 0, 0}, "10.0.0.0"},
      {"7", 1, {7, 0, 0, 0}, "7.0.0.0"},
      {"a.b.c.d", 0, {0, 0, 0, 0}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dotted);
    surface().IpSetAddress(kIp, "1.2.3.4");
    surface().IpSetAddress(kIp, c.dotted);
    std::array<std::uint8_t, 4> fields{9, 9, 9, 9};
    EXPECT_EQ(surface().IpGetAddress(kIp, fields), c.filled);
    EXPECT_EQ(fields, c.fields);
    EXPECT_EQ(surface().GetText(kIp), c.text);
  }
  EXPECT_TRUE(events.empty());
}

// --- rich edit ---

TEST_P(SurfaceContract, RichEditColoursCharacterRangesAndNewTextStartsPlain) {
  surface().SetText(kRich, "连接失败");
  const Rgb red{255, 0, 0};
  const Rgb green{25, 150, 43};
  surface().RichSetColor(kRich, 1, 3, red);
  EXPECT_EQ(op().CharacterColour(kRich, 0), std::nullopt);
  EXPECT_EQ(op().CharacterColour(kRich, 1), red);
  EXPECT_EQ(op().CharacterColour(kRich, 2), red);
  EXPECT_EQ(op().CharacterColour(kRich, 3), std::nullopt);

  surface().RichSetColor(kRich, 0, 12, green);  // an end past the text stops at its end
  for (int i = 0; i < 4; ++i) EXPECT_EQ(op().CharacterColour(kRich, i), green) << i;

  surface().SetText(kRich, "读取成功");
  EXPECT_EQ(surface().GetText(kRich), "读取成功");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(op().CharacterColour(kRich, i), std::nullopt) << i;
  surface().RichSetColor(kRich, 2, -1, red);  // -1: to the end
  EXPECT_EQ(op().CharacterColour(kRich, 1), std::nullopt);
  EXPECT_EQ(op().CharacterColour(kRich, 2), red);
  EXPECT_EQ(op().CharacterColour(kRich, 3), red);
  EXPECT_TRUE(events.empty());
}

// --- message boxes ---

TEST_P(SurfaceContract, MessageBoxesShowTheirTextAndReturnTheAnswer) {
  op().QueueMessageAnswer(MessageResult::Cancel);
  EXPECT_EQ(surface().MessageBox("读取成功", "标题", MessageButtons::Ok, MessageIcon::None),
            MessageResult::Ok);
  EXPECT_EQ(surface().MessageBox("确定删除?", "标题", MessageButtons::OkCancel, MessageIcon::None),
            MessageResult::Cancel);
  EXPECT_EQ(surface().MessageBox("c", "t", MessageButtons::OkCancel, MessageIcon::Exclamation),
            MessageResult::Ok);
  const std::vector<SeenMessage> expected = {
      {"读取成功", "标题", MessageButtons::Ok, MessageIcon::None},
      {"确定删除?", "标题", MessageButtons::OkCancel, MessageIcon::None},
      {"c", "t", MessageButtons::OkCancel, MessageIcon::Exclamation},
  };
  EXPECT_EQ(op().Messages(), expected);
  EXPECT_TRUE(events.empty());
}

// --- notifications held during a data exchange ---

TEST_P(SurfaceContract, NotificationsAreDroppedWhileHeld) {
  {
    ControlSurface::NotificationHold outer(surface());
    {
      ControlSurface::NotificationHold inner(surface());
      surface().SetText(kEdit, "1");
    }
    EXPECT_TRUE(surface().NotificationsHeld());
    surface().SetText(kEdit, "2");
    op().Type(kOtherEdit, "3");
    op().Click(kButton);
    op().Click(kCheckBox);
    op().DoubleClick(kList);
  }
  EXPECT_FALSE(surface().NotificationsHeld());
  EXPECT_TRUE(events.empty());
  // Held notifications are dropped, not delivered later; what happened stays done.
  EXPECT_EQ(surface().GetText(kOtherEdit), "3");
  EXPECT_EQ(surface().GetCheck(kCheckBox), 1);
  surface().SetText(kEdit, "4");
  EXPECT_EQ(events, (std::vector<Event>{{kEdit, Notification::EditChanged}}));
}

// --- views ---

// Another layout moves and shows or hides the controls in place: everything they show, and
// which of them are enabled, survives a switch there and back.
TEST_P(SurfaceContract, LayoutSwitchKeepsValuesAndEnabledStates) {
  surface().SetText(kEdit, "读卡器 7");
  surface().SetCheck(kCheckBox, 1);
  surface().SetCheck(kRadioB, 1);
  surface().ComboAdd(kCombo, "9600");
  surface().ComboAdd(kCombo, "115200");
  surface().ComboSetSel(kCombo, 1);
  surface().ListInsertColumn(kList, 0, "No.", 60);
  surface().ListInsertItem(kList, 0, "1");
  surface().IpSetAddress(kIp, "192.168.1.250");
  surface().SetText(kRich, "读取成功");
  surface().Enable(kButton, false);
  surface().Enable(kDisabledButton, true);
  events.clear();

  const auto shown = [this] {
    return std::vector<std::string>{surface().GetText(kEdit),
                                    std::to_string(surface().GetCheck(kCheckBox)),
                                    std::to_string(surface().GetCheck(kRadioA)),
                                    std::to_string(surface().GetCheck(kRadioB)),
                                    surface().GetText(kCombo),
                                    std::to_string(surface().ComboCount(kCombo)),
                                    surface().ListGetItemText(kList, 0, 0, 16),
                                    surface().GetText(kIp),
                                    surface().GetText(kRich)};
  };
  const std::vector<std::string> before = shown();
  for (const DialogTemplate* layout : {&ContractLayout(), &ContractTemplate()}) {
    SCOPED_TRACE(layout->caption + " " + std::to_string(layout->widthDu));
    surface().ApplyLayout(*layout);
    EXPECT_EQ(shown(), before);
    for (const ControlTemplate& control : layout->controls) {
      SCOPED_TRACE(control.id);
      EXPECT_EQ(surface().IsVisible(control.id), control.visible);
      if (control.visible) {
        EXPECT_TRUE(op().InsideWindow(control.id));
      }
      const bool changedByTest = control.id == kButton || control.id == kDisabledButton;
      EXPECT_EQ(surface().IsEnabled(control.id),
                changedByTest ? !control.enabled : control.enabled);
    }
  }
  EXPECT_TRUE(events.empty());  // rearranging notifies nothing
}

TEST_P(SurfaceContract, LayoutOfOtherControlsIsRefused) {
  DialogTemplate other = ContractTemplate();
  other.controls.pop_back();
  EXPECT_THROW(surface().ApplyLayout(other), std::invalid_argument);
  other = ContractTemplate();
  other.controls.back().id = 999;
  EXPECT_THROW(surface().ApplyLayout(other), std::invalid_argument);
}

// A window command runs on its Ctrl key, and only on its own.
TEST_P(SurfaceContract, WindowCommandRunsOnItsCtrlKey) {
  int runs = 0;
  surface().AddWindowCommand("工程视图", 'E', [&runs] { ++runs; });
  surface().CheckWindowCommand('E', true);
  op().PressCtrl('F');
  EXPECT_EQ(runs, 0);
  op().PressCtrl('E');
  EXPECT_EQ(runs, 1);
  op().PressCtrl('E');
  EXPECT_EQ(runs, 2);
}

// --- the engineering view's services ---

// The operator's row selection is reported and read back; emptying the list selects nothing.
TEST_P(SurfaceContract, ListSelectionFollowsTheOperator) {
  surface().ListInsertColumn(kList, 0, "No.", 60);
  for (int row = 0; row < 3; ++row) surface().ListInsertItem(kList, row, std::to_string(row + 1));
  EXPECT_EQ(surface().ListGetSelection(kList), -1);
  op().SelectRow(kList, 1);
  EXPECT_EQ(surface().ListGetSelection(kList), 1);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), (Event{kList, Notification::SelectionChanged}));
  op().SelectRow(kList, 2);
  EXPECT_EQ(surface().ListGetSelection(kList), 2);
  surface().ListDeleteAll(kList);
  EXPECT_EQ(surface().ListGetSelection(kList), -1);
}

// A log pane keeps its last lines, in order, however they came.
TEST_P(SurfaceContract, AppendedLinesKeepTheLastOnes) {
  const auto lines = [this] {
    std::string text = surface().GetText(kLog);
    std::erase(text, '\r');
    return text;
  };
  surface().AppendLines(kLog, "一 1\n", 3);
  EXPECT_EQ(lines(), "一 1\n");
  surface().AppendLines(kLog, "二 2\n三 3\n四 4\n", 3);
  EXPECT_EQ(lines(), "二 2\n三 3\n四 4\n");
  surface().AppendLines(kLog, "5\n", 3);
  EXPECT_EQ(lines(), "三 3\n四 4\n5\n");
  EXPECT_TRUE(events.empty());
}

TEST_P(SurfaceContract, ClipboardTakesUnicodeText) {
  ASSERT_TRUE(surface().CopyToClipboard("读卡器 1\nline 2\n"));
  EXPECT_EQ(op().ClipboardText(), "读卡器 1\nline 2\n");
}

// The save-file dialog gives the chosen path, with the extension when none was typed, or nothing
// on Cancel.
TEST_P(SurfaceContract, SaveFileDialogGivesTheChosenPath) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  op().QueueSaveFileAnswer(dir / u8"导出 1.csv");
  op().QueueSaveFileAnswer(dir / u8"导出 2");
  op().QueueSaveFileAnswer(std::nullopt);
  const auto ask = [this] {
    return surface().AskSaveFileName("Export CSV", "tags.csv", "CSV files", "csv");
  };
  EXPECT_EQ(ask(), std::optional(dir / u8"导出 1.csv"));
  EXPECT_EQ(ask(), std::optional(dir / u8"导出 2.csv"));
  EXPECT_EQ(ask(), std::nullopt);
}

// Tasks posted from other threads run on the window's thread, in the order posted.
TEST_P(SurfaceContract, PostedTasksRunOnTheWindowThreadInOrder) {
  std::vector<int> ran;
  std::vector<std::thread::id> threads;
  std::thread poster([&] {
    for (int i = 0; i < 3; ++i) {
      surface().PostToWindowThread([&, i] {
        ran.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    }
  });
  poster.join();
  op().RunPostedTasks();
  EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(threads, std::vector<std::thread::id>(3, std::this_thread::get_id()));
}

}  // namespace
}  // namespace uhf::contract
