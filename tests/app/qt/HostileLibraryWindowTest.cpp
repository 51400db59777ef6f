// The tool's window over the hostile driver bound as a library, as the program binds it: clicks
// on the real buttons, and what the status panel says is judged against what every call of the
// click answered.

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/ToolWindow.h"
#include "dialog/ControlIds.h"
#include "driver/LibraryDriver.h"
#include "support/RecordingDriver.h"

namespace uhf {
namespace {

// Whether the panel shows `text` drawn wholly in the success green.
bool ShowsGreen(QtSurface& surface, const std::string& text) {
  const auto* panel = qobject_cast<const QTextEdit*>(surface.Widget(idc::StatusPanel));
  if (panel == nullptr || panel->toPlainText().toStdString() != text) return false;
  for (QTextBlock block = panel->document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().foreground().color().rgb() != qRgb(25, 150, 43)) return false;
    }
  }
  return true;
}

TEST(HostileLibraryWindow, GreenOnlyWhenEveryCallOfTheClickSucceeded) {
  setenv("TAGVANE_HOSTILE_SEED", "20261207", 1);  // before the library's first call
  std::string error;
  auto library = LibraryDriver::Load(HOSTILE_LIBRARY, error);
  ASSERT_NE(library, nullptr) << error;
  EXPECT_FALSE(library->Simulated());
  testing::RecordingDriver driver(*library);

  ToolWindow tool(driver, DialogPlatform{});
  tool.Surface().SetMessageBoxHook([](std::string_view, std::string_view, MessageButtons,
                                      MessageIcon) { return MessageResult::Ok; });
  tool.Window()->show();
  int green = 0;
  int clicks = 0;
  for (int round = 0; round < 150; ++round) {
    for (int button : {idc::ReadConfig, idc::FactoryDefault}) {
      SCOPED_TRACE(::testing::Message() << "round " << round << " button " << button);
      driver.ClearCalls();
      QTest::mouseClick(tool.Surface().Widget(button), Qt::LeftButton);
      ASSERT_FALSE(driver.Calls().empty());
      const bool shownGreen =
          ShowsGreen(tool.Surface(), button == idc::ReadConfig ? "读取成功" : "设置成功");
      EXPECT_EQ(shownGreen, driver.AllSucceeded());
      green += shownGreen ? 1 : 0;
      ++clicks;
    }
  }
  std::printf("hostile library: %d clicks, %d green\n", clicks, green);
  tool.Window()->hide();
}

}  // namespace
}  // namespace uhf
