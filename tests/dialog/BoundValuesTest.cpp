#include "dialog/BoundValues.h"

#include <gtest/gtest.h>

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "ui/DataExchange.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

class SaveExchange : public ::testing::Test {
 protected:
  SaveExchange() { EXPECT_TRUE(ExchangeBoundValues(surface, values, false)); }

  MemorySurface surface{MainDialogTemplate()};
  BoundValues values;
};

TEST_F(SaveExchange, LoadingShowsTheValuesAndLimitsThePassword) {
  EXPECT_EQ(surface.GetText(idc::Password), "7C1E94B2");
  EXPECT_EQ(surface.GetText(idc::TagInterval), "5");
  EXPECT_EQ(surface.GetText(idc::PowerValue), "0");
  EXPECT_EQ(surface.GetText(idc::OutputTime), "2");
  EXPECT_EQ(surface.GetText(idc::ReaderAddress), "0");
  EXPECT_EQ(surface.GetText(idc::ReadTime), "1");
  EXPECT_EQ(surface.GetText(idc::HostPort), "2000");
  EXPECT_EQ(surface.GetText(idc::ReaderPort), "27001");
  EXPECT_EQ(surface.GetText(idc::StatusPanel), "");
  EXPECT_EQ(surface.TextLimit(idc::Password), 8);
  surface.Type(idc::Password, "123456789ABC");
  EXPECT_EQ(surface.GetText(idc::Password), "12345678");
}

TEST_F(SaveExchange, PassingChecksUpdateEveryValue) {
  surface.SetText(idc::StatusPanel, "status");
  surface.SetText(idc::Password, "一二三四五六七八");  // 8 characters, 24 bytes
  surface.SetText(idc::TagInterval, " 266 ");
  surface.SetText(idc::PowerValue, "+255");
  surface.SetText(idc::OutputTime, "0");
  surface.SetText(idc::ReaderAddress, "\t7");
  surface.SetText(idc::ReadTime, "9");
  surface.SetText(idc::VersionLabel, "V1");
  surface.SetText(idc::HostPort, "65535");
  surface.SetText(idc::ReaderPort, "0");
  surface.SetText(idc::SerialNumberLabel, "SN");
  EXPECT_TRUE(ExchangeBoundValues(surface, values, true));
  EXPECT_TRUE(surface.Messages().empty());
  EXPECT_EQ(values.statusText, "status");
  EXPECT_EQ(values.checkPassword, "一二三四五六七八");
  EXPECT_EQ(values.tagInterval, 266u);
  EXPECT_EQ(values.powerValue, 255);
  EXPECT_EQ(values.outputTime, 0);
  EXPECT_EQ(values.readerAddress, 7);
  EXPECT_EQ(values.readTime, 9);
  EXPECT_EQ(values.versionText, "V1");
  EXPECT_EQ(values.hostPort, 65535u);
  EXPECT_EQ(values.readerPort, 0u);
  EXPECT_EQ(values.serialNumberText, "SN");
}

struct FailCase {
  int id;
  std::string text;
  std::string message;
};

TEST_F(SaveExchange, FirstFailedCheckShowsItsMessageAndTakesTheFocus) {
  const std::string byteMessage = "“请填入一个在0和255之间的整数。”";
  const std::vector<FailCase> cases = {
      {idc::TagInterval, "300", "“请填入一个在0和266之间的整数。”"},
      {idc::TagInterval, "267", "“请填入一个在0和266之间的整数。”"},
      {idc::TagInterval, "4294967301", "“请填入一个在0和266之间的整数。”"},
      {idc::TagInterval, "x", "“请填入一个正整数。”"},
      {idc::TagInterval, "-1", "“请填入一个正整数。”"},
      {idc::TagInterval, "", "“请填入一个正整数。”"},
      {idc::PowerValue, "256", byteMessage},
      {idc::PowerValue, "x", byteMessage},
      {idc::OutputTime, "-0", byteMessage},
      {idc::ReaderAddress, "65792", byteMessage},  // 256 * 257: must not wrap to 0
      {idc::ReadTime, "", byteMessage},
      {idc::Password, "123456789", "“请填入不多于8个的字符。”"},
      {idc::Password, "一二三四五六七八九", "“请填入不多于8个的字符。”"},
      {idc::HostPort, "65536", "“请填入一个在0和65535之间的整数。”"},
      {idc::ReaderPort, "70000", "“请填入一个在0和65535之间的整数。”"},
      {idc::HostPort, "port", "“请填入一个正整数。”"},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.id << " <" << c.text << ">");
    MemorySurface fresh{MainDialogTemplate()};
    BoundValues start;
    ASSERT_TRUE(ExchangeBoundValues(fresh, start, false));
    fresh.SetText(c.id, c.text);
    BoundValues after = start;
    EXPECT_FALSE(ExchangeBoundValues(fresh, after, true));
    ASSERT_EQ(fresh.Messages().size(), 1u);
    const ShownMessage& shown = fresh.Messages()[0];
    EXPECT_EQ(shown.text, c.message);
    EXPECT_EQ(shown.caption, "UHF读头配置工具");
    EXPECT_EQ(shown.buttons, MessageButtons::Ok);
    EXPECT_EQ(shown.icon, MessageIcon::Exclamation);
    EXPECT_EQ(fresh.FocusedControl(), c.id);
    EXPECT_TRUE(fresh.WholeTextSelected(c.id));
  }
}

TEST_F(SaveExchange, ValuesBeforeTheFailureAreUpdatedAndTheRestKept) {
  surface.SetText(idc::StatusPanel, "new status");
  surface.SetText(idc::Password, "AAAA0000");
  surface.SetText(idc::TagInterval, "7");
  surface.SetText(idc::PowerValue, "9");
  surface.SetText(idc::OutputTime, "256");  // fails
  surface.SetText(idc::ReaderAddress, "3");
  surface.SetText(idc::ReadTime, "4");
  surface.SetText(idc::VersionLabel, "V9");
  surface.SetText(idc::HostPort, "3000");
  EXPECT_FALSE(ExchangeBoundValues(surface, values, true));
  EXPECT_EQ(surface.Messages().size(), 1u);
  EXPECT_EQ(values.statusText, "new status");
  EXPECT_EQ(values.checkPassword, "AAAA0000");
  EXPECT_EQ(values.tagInterval, 7u);
  EXPECT_EQ(values.powerValue, 9);
  EXPECT_EQ(values.outputTime, 2);
  EXPECT_EQ(values.readerAddress, 0);
  EXPECT_EQ(values.readTime, 1);
  EXPECT_EQ(values.versionText, "");
  EXPECT_EQ(values.hostPort, 2000u);
}

TEST_F(SaveExchange, NotificationsAreHeldDuringAnExchange) {
  int notified = 0;
  surface.SetNotificationHandler([&](int id, Notification n) {
    if (id == idc::TagInterval && n == Notification::EditChanged) ++notified;
  });
  values.tagInterval = 9;
  EXPECT_TRUE(ExchangeBoundValues(surface, values, false));
  EXPECT_EQ(surface.GetText(idc::TagInterval), "9");
  EXPECT_TRUE(ExchangeBoundValues(surface, values, true));
  EXPECT_EQ(notified, 0);
  EXPECT_FALSE(surface.NotificationsHeld());
  // A failing exchange releases the hold too.
  surface.SetText(idc::PowerValue, "x");
  EXPECT_FALSE(ExchangeBoundValues(surface, values, true));
  EXPECT_FALSE(surface.NotificationsHeld());
  surface.Type(idc::TagInterval, "10");
  EXPECT_EQ(notified, 1);
}

TEST_F(SaveExchange, LoadingAnUnchangedStatusKeepsItsColour) {
  values.statusText = "读取成功";
  ASSERT_TRUE(ExchangeBoundValues(surface, values, false));
  surface.RichSetColor(idc::StatusPanel, 0, 4, Rgb{25, 150, 43});
  ASSERT_TRUE(ExchangeBoundValues(surface, values, false));
  EXPECT_EQ(surface.Colours(idc::StatusPanel).size(), 1u);
  values.statusText = "连接失败";
  ASSERT_TRUE(ExchangeBoundValues(surface, values, false));
  EXPECT_TRUE(surface.Colours(idc::StatusPanel).empty());
}

}  // namespace
}  // namespace uhf
