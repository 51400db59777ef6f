#include "ui/qt/IpAddressWidget.h"

#include <QTest>

#include <gtest/gtest.h>

namespace uhf {
namespace {

TEST(IpAddressWidget, AFieldKeepsOnlyWhatAnAddressFieldCanHold) {
  struct Case {
    const char* typed;
    const char* kept;
  };
  for (const Case& c :
       {Case{"192", "192"}, Case{"255", "255"}, Case{"256", "25"}, Case{"2555", "255"},
        Case{"1x2", "12"}, Case{"-7", "7"}, Case{"+7", "7"}, Case{" 7", "7"}}) {
    IpAddressWidget widget(nullptr);
    QTest::keyClicks(widget.fields[1], QString::fromLatin1(c.typed));
    EXPECT_EQ(widget.fields[1]->text().toStdString(), c.kept) << c.typed;
  }
}

}  // namespace
}  // namespace uhf
