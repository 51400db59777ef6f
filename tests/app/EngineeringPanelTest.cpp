// The engineering view's actions in the wired window, clicked as a user would: the inventory
// figures, the selected card's Wiegand frame, Clear and Export CSV; continuous reading with the
// reader's buttons held off until Stop; the exchange log pane with Copy and Save.
#include "app/EngineeringPanel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "app/ToolAssembly.h"
#include "dialog/ControlIds.h"
#include "sim/InstrumentedReader.h"
#include "support/TempDir.h"
#include "tags/WiegandBits.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The window in the engineering view over a connected reader with three tags in its field, each
// with its own card number wherever the reader's settings take it from.
struct EngineeringWindow {
  EngineeringWindow() {
    reader.State().tags.clear();
    for (std::uint8_t n = 1; n <= 3; ++n)
      reader.State().tags.push_back({0xE2, 0x00, 0x12, 0x34, 0x56, 0x78, n, n, n, n, n, n});
    std::ofstream(dir.path() / "plain") << "a file, not a folder";
    surface.Click(idc::Connect);
  }
  std::string Cell(int row, int column) const {
    return surface.ListGetItemText(idc::TagList, row, column, 256);
  }

  // A path nothing can be written to: a regular file stands where its folder should be.
  std::filesystem::path Unwritable() const { return dir.path() / "plain" / "x"; }

  test::TempDir dir{"uhf-panel"};
  MemorySurface surface{MainDialogTemplate()};
  InstrumentedReader reader;
  WiredDialog wired{surface, reader, DialogPlatform{}, DialogView::Engineering};
};

TEST(EngineeringPanel, InventoryActionsFollowTheList) {
  EngineeringWindow window;
  MemorySurface& surface = window.surface;
  for (int i = 0; i < 4; ++i) surface.Click(idc::ReadTagTestDecimal);
  ASSERT_EQ(surface.ListCount(idc::TagList), 3);
  EXPECT_EQ(surface.GetText(idc::TotalReadsLabel), "Total reads: 4");
  EXPECT_EQ(surface.GetText(idc::UniqueTagsLabel), "Unique tags: 3");
  EXPECT_FALSE(window.Cell(0, kTagColumnFirstSeen).empty());

  surface.SelectRow(idc::TagList, 1);
  const auto frame = WiegandFrameOfCardText(window.Cell(1, kTagColumnCard));
  ASSERT_TRUE(frame);
  EXPECT_EQ(surface.GetText(idc::WiegandDetail), WiegandDetailText(*frame));

  // Export: a chosen file gets the list; Cancel writes nothing; a file that cannot be written is
  // named in a message.
  const std::filesystem::path good = window.dir.path() / u8"标签 导出.csv";
  const std::filesystem::path bad = window.Unwritable();
  const struct {
    std::optional<std::filesystem::path> answer;
    bool written;
    std::size_t messages;
  } exports[] = {{std::nullopt, false, 0}, {good, true, 0}, {bad, false, 1}};
  for (const auto& step : exports) {
    surface.ClearMessages();
    surface.QueueSaveFileAnswer(step.answer);
    surface.Click(idc::ExportCsv);
    EXPECT_EQ(surface.Messages().size(), step.messages);

    if (step.answer) {
      EXPECT_EQ(std::filesystem::exists(*step.answer), step.written);
    }
  }
  ASSERT_EQ(surface.Messages().size(), 1u);
  EXPECT_NE(surface.Messages()[0].text.find("plain"), std::string::npos);
  const std::string csv = FileText(good);
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_NE(csv.find("First Seen"), std::string::npos);
  EXPECT_NE(csv.find("Facility Code"), std::string::npos);
  EXPECT_NE(csv.find(window.Cell(2, kTagColumnCard)), std::string::npos);

  surface.Click(idc::ClearTags);
  EXPECT_EQ(surface.ListCount(idc::TagList), 0);
  EXPECT_EQ(surface.GetText(idc::TotalReadsLabel), "Total reads: 0");
  EXPECT_EQ(surface.GetText(idc::WiegandDetail), "");
}

TEST(EngineeringPanel, ContinuousReadingHoldsTheReaderButtonsUntilStopped) {
  EngineeringWindow window;
  MemorySurface& surface = window.surface;
  surface.Type(idc::TagInterval, "0");
  surface.Click(idc::ReadTagTestDecimal);

  const int readerButtons[] = {idc::Connect, idc::SaveChanges, idc::ReadConfig, idc::ReadTag};
  // Started twice: stopped by its button, then by leaving the engineering view.
  for (const bool byViewSwitch : {false, true}) {
    SCOPED_TRACE(byViewSwitch);
    surface.Click(idc::StartStopReads);
    ASSERT_TRUE(window.wired.Panel().Reading());
    EXPECT_EQ(surface.GetText(idc::StartStopReads), EngineeringPanel::kStopText);
    for (int id : readerButtons) EXPECT_FALSE(surface.IsEnabled(id)) << id;

    const long long before = window.wired.Dialog().Tags().Inventory().TotalReads();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (window.wired.Dialog().Tags().Inventory().TotalReads() < before + 20 &&
           std::chrono::steady_clock::now() < deadline) {
      surface.RunPostedTasks();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(window.wired.Dialog().Tags().Inventory().TotalReads(), before + 20);
    EXPECT_EQ(surface.ListCount(idc::TagList), 3);

    if (byViewSwitch) {
      surface.PressCtrl(kEngineeringViewKey);
    } else {
      surface.Click(idc::StartStopReads);
    }
    EXPECT_FALSE(window.wired.Panel().Reading());
    const std::string total = surface.GetText(idc::TotalReadsLabel);
    EXPECT_EQ(total, "Total reads: " +
                         std::to_string(window.wired.Dialog().Tags().Inventory().TotalReads()));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    surface.RunPostedTasks();
    EXPECT_EQ(surface.GetText(idc::TotalReadsLabel), total);
    EXPECT_EQ(surface.GetText(idc::StartStopReads), EngineeringPanel::kStartText);
    if (!byViewSwitch) {
      for (int id : readerButtons) EXPECT_TRUE(surface.IsEnabled(id)) << id;
    }
  }
}

TEST(EngineeringPanel, LogPaneCopyAndSaveHoldEveryCall) {
  EngineeringWindow window;
  MemorySurface& surface = window.surface;
  surface.Click(idc::ReadConfig);
  const std::string log = window.wired.Log().Text();
  ASSERT_NE(log.find("OpenCom"), std::string::npos);
  EXPECT_EQ(surface.GetText(idc::ExchangeLog), log);

  surface.Click(idc::CopyLog);
  EXPECT_EQ(surface.Clipboard(), log);

  const std::filesystem::path saved = window.dir.path() / u8"日志.log";
  surface.QueueSaveFileAnswer(saved);
  surface.Click(idc::SaveLog);
  EXPECT_EQ(FileText(saved), log);
  surface.QueueSaveFileAnswer(window.Unwritable());
  surface.Click(idc::SaveLog);
  ASSERT_EQ(surface.Messages().size(), 1u);
  EXPECT_NE(surface.Messages()[0].text.find("plain"), std::string::npos);
}

// Station mode takes the notifications over: the panel still gets them, but continuous reading
// would share the link with the station's polls and is refused.
TEST(EngineeringPanel, StationModePassesActionsOnAndRefusesReading) {
  EngineeringWindow window;
  MemorySurface& surface = window.surface;
  StationWindow::Hooks hooks;
  hooks.post = [&surface](std::function<void()> task) { surface.PostToWindowThread(task); };
  window.wired.HandOverToStation(hooks);
  StationWindow station(window.wired.Dialog(), surface, {}, std::chrono::milliseconds(50), hooks);

  surface.Click(idc::CopyLog);  // the station closes the link the connection left open after it
  ASSERT_FALSE(surface.Clipboard().empty());
  EXPECT_EQ(window.wired.Log().Text().rfind(surface.Clipboard(), 0), 0u);
  surface.Click(idc::StartStopReads);
  EXPECT_FALSE(window.wired.Panel().Reading());
  ASSERT_EQ(surface.Messages().size(), 1u);
  EXPECT_EQ(surface.Messages()[0].text, kStationRefusesReading);
}

}  // namespace
}  // namespace uhf
