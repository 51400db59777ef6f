#include "ui/MemorySurface.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/ControlIds.h"

namespace uhf {
namespace {

TEST(MemorySurface, TypingKeepsToTheLimitInCharacters) {
  MemorySurface s;
  s.LimitText(idc::Password, 8);
  s.Type(idc::Password, "1234567中9");
  EXPECT_EQ(s.GetText(idc::Password), "1234567中");
  s.Type(idc::Password, "一二三四五六七八九");
  EXPECT_EQ(s.GetText(idc::Password), "一二三四五六七八");
  s.Type(idc::Password, "abc");
  EXPECT_EQ(s.GetText(idc::Password), "abc");
  s.Type(idc::Password, "");
  EXPECT_EQ(s.GetText(idc::Password), "");
}

TEST(MemorySurface, OnlyEditsNotifyTextChanges) {
  MemorySurface s;
  std::vector<int> changed;
  s.SetNotificationHandler([&](int id, Notification n) {
    if (n == Notification::EditChanged) changed.push_back(id);
  });
  s.SetText(idc::TagInterval, "3");
  s.SetText(idc::KhzLabel, "MHz");
  s.SetText(idc::StatusPanel, "x");
  s.Type(idc::ReadTime, "4");
  EXPECT_EQ(changed, (std::vector<int>{idc::TagInterval, idc::ReadTime}));
}

TEST(MemorySurface, RadiosOfAGroupAreExclusiveAndCheckBoxesToggle) {
  MemorySurface s;
  s.Click(idc::Wiegand26);
  s.Click(idc::Wiegand34);
  EXPECT_EQ(s.GetCheck(idc::Wiegand26), 0);
  EXPECT_EQ(s.GetCheck(idc::Wiegand34), 1);
  s.Click(idc::Fcc);  // another group
  EXPECT_EQ(s.GetCheck(idc::Wiegand34), 1);
  s.Click(idc::Buzzer);
  EXPECT_EQ(s.GetCheck(idc::Buzzer), 1);
  s.Click(idc::Buzzer);
  EXPECT_EQ(s.GetCheck(idc::Buzzer), 0);
}

TEST(MemorySurface, ListCellsReadBackThroughABuffer) {
  MemorySurface s;
  for (int c = 0; c < 4; ++c) s.ListInsertColumn(idc::TagList, c, "h", 10);
  EXPECT_EQ(s.ListInsertItem(idc::TagList, 0, "1"), 0);
  s.ListSetItemText(idc::TagList, 0, 1, "00001234");
  s.ListSetItemText(idc::TagList, 0, 3, "卡号");
  s.ListSetItemText(idc::TagList, 5, 0, "no such row");
  EXPECT_EQ(s.ListGetItemText(idc::TagList, 0, 1, 260), "00001234");
  EXPECT_EQ(s.ListGetItemText(idc::TagList, 0, 1, 4), "000");
  EXPECT_EQ(s.ListGetItemText(idc::TagList, 0, 3, 5), "卡");
  EXPECT_EQ(s.ListGetItemText(idc::TagList, 0, 2, 10), "");
  EXPECT_EQ(s.ListGetItemText(idc::TagList, 0, 1, 0), "");
  EXPECT_EQ(s.ListGetItemText(idc::TagList, 3, 0, 10), "");
  EXPECT_EQ(s.ListCount(idc::TagList), 1);
  s.ListDeleteAll(idc::TagList);
  EXPECT_EQ(s.ListCount(idc::TagList), 0);
  EXPECT_EQ(s.ListColumnCount(idc::TagList), 4);
}

TEST(MemorySurface, MessageAnswersAreTakenOnlyByOkCancelBoxes) {
  MemorySurface s;
  s.QueueMessageAnswer(MessageResult::Cancel);
  EXPECT_EQ(s.MessageBox("a", "t", MessageButtons::Ok, MessageIcon::None), MessageResult::Ok);
  EXPECT_EQ(s.MessageBox("b", "t", MessageButtons::OkCancel, MessageIcon::None),
            MessageResult::Cancel);
  EXPECT_EQ(s.MessageBox("c", "t", MessageButtons::OkCancel, MessageIcon::None), MessageResult::Ok);
  ASSERT_EQ(s.Messages().size(), 3u);
  EXPECT_EQ(s.Messages()[1].text, "b");
}

TEST(MemorySurface, RichEditTextResetsColoursAndUnknownIdsThrow) {
  MemorySurface s;
  s.SetText(idc::StatusPanel, "x");
  s.RichSetColor(idc::StatusPanel, 0, 1, Rgb{255, 0, 0});
  EXPECT_EQ(s.Colours(idc::StatusPanel).size(), 1u);
  s.SetText(idc::StatusPanel, "y");
  EXPECT_TRUE(s.Colours(idc::StatusPanel).empty());
  EXPECT_THROW(s.SetText(4242, "x"), std::out_of_range);
  EXPECT_THROW(s.GetText(idc::None), std::out_of_range);
}

}  // namespace
}  // namespace uhf
