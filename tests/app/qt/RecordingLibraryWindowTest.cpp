// The window over a driver library found first on the search path, as the program binds it: a
// copy of the simulated library that records every call it is given and fails one operation on
// request. A failed call turns the outcome red and shows nothing it did not read, and the calls
// are the operation's own.

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ToolWindow.h"
#include "dialog/ControlIds.h"
#include "driver/LibraryDriver.h"
#include "reader/ReaderTestSupport.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;

// The panel's text when it is drawn wholly in one colour, else "".
std::string PanelTextIn(QtSurface& surface, QRgb colour) {
  const auto* panel = qobject_cast<const QTextEdit*>(surface.Widget(idc::StatusPanel));
  if (panel == nullptr) return "";
  for (QTextBlock block = panel->document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().foreground().color().rgb() != colour) return "";
    }
  }
  return panel->toPlainText().toStdString();
}

// The calls the library recorded, without their statuses ("Name(args) -> status").
std::vector<std::string> RecordedCalls(const fs::path& file) {
  std::vector<std::string> calls;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    calls.push_back(line.substr(0, line.rfind(" -> ")));
  }
  return calls;
}

// A fresh folder holding a copy of the simulated library under the platform's name, first on the
// search path, failing `operation` and recording into calls.txt beside it. Each copy is its own
// library, so each scenario starts from a new reader.
struct RecordingLibrary {
  explicit RecordingLibrary(const std::string& operation) {
    folder = fs::temp_directory_path() /
             ("uhf-recording-" + operation + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(SIM_LIBRARY, folder / std::string(LibraryDriver::PlatformLibraryName()));
    setenv("LD_LIBRARY_PATH", folder.c_str(), 1);
    setenv("TAGVANE_SIM_FAIL", operation.c_str(), 1);
    setenv("TAGVANE_SIM_RECORD", (folder / "calls.txt").c_str(), 1);
    setenv("TAGVANE_SIM_STATE", (folder / "reader.ini").c_str(), 1);
  }
  ~RecordingLibrary() {
    unsetenv("TAGVANE_SIM_FAIL");
    unsetenv("TAGVANE_SIM_RECORD");
    fs::remove_all(folder);
  }
  fs::path folder;
};

const QRgb kRed = qRgb(255, 0, 0);

TEST(RecordingLibraryWindow, AReadWhoseSerialNumberFailsEndsRedAndShowsNoSerialNumber) {
  RecordingLibrary recording("Get_SerNum");
  std::string error;
  auto library = LibraryDriver::Load(LibraryDriver::PlatformLibraryName(), error);
  ASSERT_NE(library, nullptr) << error;
  EXPECT_EQ(fs::path(library->File()).parent_path(), recording.folder);

  ToolWindow tool(*library, DialogPlatform{});
  tool.Window()->show();
  QTest::mouseClick(tool.Surface().Widget(idc::ReadConfig), Qt::LeftButton);

  // The serial number is not one of the reads that stop the operation: every read still runs.
  EXPECT_EQ(RecordedCalls(recording.folder / "calls.txt"), testing::UsbReadCalls());
  EXPECT_EQ(PanelTextIn(tool.Surface(), kRed), "读取失败");
  EXPECT_EQ(tool.Surface().GetText(idc::SerialNumberLabel), "");
  EXPECT_NE(tool.Surface().GetText(idc::VersionLabel), "");  // what did succeed is shown
  tool.Window()->hide();
}

TEST(RecordingLibraryWindow, AFactoryDefaultWhoseResetFailsEndsRedAndWritesEveryDefault) {
  RecordingLibrary recording("UhfFactoryDefault");
  std::string error;
  auto library = LibraryDriver::Load(LibraryDriver::PlatformLibraryName(), error);
  ASSERT_NE(library, nullptr) << error;

  ToolWindow tool(*library, DialogPlatform{});
  tool.Window()->show();
  QTest::mouseClick(tool.Surface().Widget(idc::FactoryDefault), Qt::LeftButton);

  // A new reader is of kind 0 on the FCC band: its production plan and power follow the reset and
  // the other defaults, then the exchange ends and the link closes.
  EXPECT_EQ(RecordedCalls(recording.folder / "calls.txt"),
            testing::FactoryCalls({"UhfGetFrequencyRegion(255)",
                                   "UhfSetFrequencyRegionB(255,4,902000,926000,500,48)",
                                   "UhfSetOutPower(255,33)"}));
  EXPECT_EQ(PanelTextIn(tool.Surface(), kRed), "设置失败");
  tool.Window()->hide();
}

}  // namespace
}  // namespace uhf
