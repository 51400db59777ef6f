// The group box frame drawn from the once-decoded picture must be the frame the Fusion style
// draws itself, pixel for pixel, for every kind of group box.

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QStyle>

#include <gtest/gtest.h>

#include "ui/qt/GroupFrameStyle.h"

namespace uhf {
namespace {

TEST(GroupFrameStyle, DrawsEveryGroupBoxAsTheFusionStyleDoes) {
  if (QApplication::style()->name().compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0) {
    GTEST_SKIP() << "the application style is not Fusion";
  }
  GroupFrameStyle style;
  const struct {
    const char* title;
    bool checkable;
    QSize size;
  } cases[] = {
      {"RF Settings", false, {200, 90}},
      {"", false, {120, 60}},                        // no title: the frame starts higher
      {"读头", true, {160, 70}},                     // a check box in the title
      {"Wiegand Output Settings", false, {14, 14}},  // smaller than the picture's borders
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.title);
    QGroupBox fusion(QString::fromUtf8(tc.title));
    QGroupBox ours(QString::fromUtf8(tc.title));
    ours.setStyle(&style);
    for (QGroupBox* box : {&fusion, &ours}) {
      box->setCheckable(tc.checkable);
      box->resize(tc.size);
    }
    const QImage expected = fusion.grab().toImage();
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(ours.grab().toImage(), expected);
  }
}

}  // namespace
}  // namespace uhf
