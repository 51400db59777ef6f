// The window's station mode on the in-memory surface: readers plugged in and out between polls,
// the worker thread's results shown on the window's thread (here: the test's), the panel, its
// colours and counts, and the operator buttons while a cycle runs.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <span>
#include <thread>

#include "app/ReaderConfigDialog.h"
#include "app/StationWindow.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/DriverDecorator.h"
#include "sim/InstrumentedReader.h"
#include "sim/SimControl.h"
#include "support/TempDir.h"
#include "ui/MemorySurface.h"

namespace uhf::testing {
namespace {

using World = std::function<void(SimState&)>;

// A reader that answers every call but keeps nothing `operation` writes.
class KeepsNot final : public DriverDecorator {
 public:
  KeepsNot(ReaderDriver& inner, const char* operation)
      : DriverDecorator(inner), ignored_(OperationNamed(operation)) {}

 private:
  std::int32_t Around(Operation operation, Forward forward) override {
    return ignored_ && operation == *ignored_ ? 0 : forward();
  }
  std::optional<Operation> ignored_;
};

DialogPlatform NoMachine() {
  return {[] { return std::vector<AvailablePort>{}; }, [] { return std::string(); },
          [] { return std::optional<std::filesystem::path>(); }};
}

std::string SerialOf(const SimState& s) {
  return SerialNumberText(std::span<const std::uint8_t, 12>(s.serial));
}

const World kWait = [](SimState&) {};
const World kUnplug = [](SimState& s) { s.attached = false; };

// What the panel showed when a reader's result came.
struct Shown {
  ReaderOutcome outcome;
  std::string panel;
  std::optional<Rgb> colour;  // of the first line
};

// The window over `driver`, its station polling on its worker; each pause between polls changes
// the reader's world by the next step. The test's thread is the window's: it runs what the worker
// posts, and checks after each that the operator buttons are off exactly while a cycle runs.
struct StationRun {
  std::vector<Shown> shown;
  std::string panel;  // at the end
  std::optional<Rgb> panelColour;
  int ok = -1;
  int failed = -1;
  bool buttonsHeldDuringCycles = true;
  bool buttonsBackAfterwards = true;
};

StationRun RunStationWindow(ReaderDriver& driver, SimState& state, std::vector<World> world,
                            StationTask task,
                            const std::function<void(MemorySurface&)>& prepare = {},
                            const std::function<void(MemorySurface&)>& onResult = {}) {
  MemorySurface surface{MainDialogTemplate()};
  ReaderConfigDialog dialog(surface, driver, NoMachine());
  surface.SetNotificationHandler([&](int id, Notification n) { dialog.OnCommand(id, n); });
  dialog.OnInitDialog();
  if (prepare) prepare(surface);
  std::vector<bool> enabledBefore;
  for (const int id : kStationOperatorButtons) enabledBefore.push_back(surface.IsEnabled(id));

  std::mutex mutex;
  std::deque<std::function<void()>> posted;
  std::atomic<bool> worldDone{false};
  std::size_t step = 0;
  StationRun run;
  StationWindow::Hooks hooks;
  hooks.post = [&](std::function<void()> work) {
    std::lock_guard<std::mutex> lock(mutex);
    posted.push_back(std::move(work));
  };
  hooks.pause = [&](std::chrono::milliseconds) {
    if (step < world.size()) {
      world[step++](state);
    } else {
      worldDone = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  hooks.time = [] { return std::string("2026-12-07 10:00:00.000"); };
  StationWindow* station = nullptr;
  hooks.shown = [&](const ReaderOutcome& outcome) {
    run.shown.push_back(
        {outcome, surface.GetText(idc::StatusPanel), surface.ColourAt(idc::StatusPanel, 0)});
    if (onResult) onResult(surface);
  };
  const auto drain = [&] {
    for (;;) {
      std::function<void()> work;
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (posted.empty()) return;
        work = std::move(posted.front());
        posted.pop_front();
      }
      work();
      for (const int id : kStationOperatorButtons) {
        if (station->CycleRunning() && surface.IsEnabled(id)) run.buttonsHeldDuringCycles = false;
      }
    }
  };
  StationWindow window(dialog, surface, std::move(task), std::chrono::milliseconds(1), hooks);
  station = &window;
  window.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!worldDone && std::chrono::steady_clock::now() < deadline) {
    drain();
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  drain();
  window.Finish();
  EXPECT_TRUE(worldDone) << "the station did not get through its world in time";
  run.panel = surface.GetText(idc::StatusPanel);
  run.panelColour = surface.ColourAt(idc::StatusPanel, 0);
  run.ok = window.OkCount();
  run.failed = window.FailedCount();
  std::size_t i = 0;
  for (const int id : kStationOperatorButtons) {
    if (surface.IsEnabled(id) != enabledBefore[i++]) run.buttonsBackAfterwards = false;
  }
  return run;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(StationWindow, ShowsEachReadersResultInItsColourWithItsSerialNumber) {
  const InterfaceText texts = DefaultInterfaceText();
  struct Case {
    const char* name;
    std::vector<std::string> plugged;  // kinds of the readers plugged in after the first
    std::size_t waits;                 // polls with the last reader left attached
    const char* failing;               // an operation that fails
    const char* notKept;               // an operation whose value the reader does not keep
    std::string profile;               // empty: the factory default
    StationResult result;
  };
  const std::vector<Case> cases = {
      {"three readers in turn", {"1", "2"}, 1, "", "", "", StationResult::Ok},
      {"a reader left attached", {}, 5, "", "", "", StationResult::Ok},
      {"a failing write", {}, 1, "UhfSetWgOutByte", "", "", StationResult::Failed},
      {"a value not kept",
       {},
       1,
       "",
       "UhfSetOutPower",
       "[reader]\noutPower=12\n",
       StationResult::Differs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uhf::test::TempDir folder;
    InstrumentedReader inner;
    inner.State() = NextReader(inner.State(), 0, true);
    if (*c.failing != '\0') inner.FailOn(c.failing);
    KeepsNot reader(inner, c.notKept);
    std::vector<std::string> serials = {SerialOf(inner.State())};
    std::vector<World> world;
    for (const std::string& kind : c.plugged) {
      world.push_back(kWait);
      world.push_back(kUnplug);
      world.push_back([&serials, kind](SimState& s) {
        s = NextReader(s, static_cast<std::uint8_t>(std::stoi(kind)), true);
        serials.push_back(SerialOf(s));
      });
    }
    for (std::size_t i = 0; i < c.waits; ++i) world.push_back(kWait);
    StationTask task;
    if (!c.profile.empty()) {
      const auto path = folder.path() / "line.ini";
      std::ofstream(path, std::ios::binary) << c.profile;
      std::string error;
      task = *ProfileTask(path, error);
    }
    const StationRun run = RunStationWindow(reader, inner.State(), world, std::move(task));

    ASSERT_EQ(run.shown.size(), serials.size());
    const bool ok = c.result == StationResult::Ok;
    for (std::size_t i = 0; i < run.shown.size(); ++i) {
      const Shown& s = run.shown[i];
      EXPECT_EQ(s.outcome.result, c.result);
      EXPECT_EQ(s.outcome.serialNumber, serials[i]);
      EXPECT_TRUE(Contains(s.panel, serials[i])) << s.panel;
      EXPECT_TRUE(Contains(s.panel, ok ? texts.STATION_OK : texts.STATION_FAILED)) << s.panel;
      EXPECT_EQ(s.colour, ok ? kStatusGreen : kStatusRed);
    }
    const int taken = static_cast<int>(serials.size());
    EXPECT_EQ(run.ok, ok ? taken : 0);
    EXPECT_EQ(run.failed, ok ? 0 : taken);
    // The counts stay in view with the last result.
    EXPECT_TRUE(Contains(run.panel, texts.STATION_COUNT_OK + " " + std::to_string(run.ok)))
        << run.panel;
    EXPECT_TRUE(Contains(run.panel, texts.STATION_COUNT_FAILED + " " + std::to_string(run.failed)))
        << run.panel;
    EXPECT_TRUE(run.buttonsHeldDuringCycles);
    EXPECT_TRUE(run.buttonsBackAfterwards);
    if (c.result == StationResult::Differs) {
      EXPECT_TRUE(Contains(run.panel, texts.STATION_DIFFERS + ": outPower")) << run.panel;
    }
    if (c.result == StationResult::Failed) {
      // The window's own button, the same failure injected, shows these texts.
      InstrumentedReader windowReader;
      windowReader.FailOn(c.failing);
      MemorySurface surface{MainDialogTemplate()};
      ReaderConfigDialog window(surface, windowReader, NoMachine());
      surface.SetNotificationHandler([&](int id, Notification n) { window.OnCommand(id, n); });
      window.OnInitDialog();
      surface.Click(idc::FactoryDefault);
      ASSERT_FALSE(surface.Messages().empty());
      EXPECT_TRUE(Contains(run.panel, surface.GetText(idc::StatusPanel))) << run.panel;
      for (const ShownMessage& shown : surface.Messages()) {
        EXPECT_TRUE(Contains(run.panel, shown.text)) << run.panel;
      }
    }
  }
}

TEST(StationWindow, WaitsInANeutralColourUntilAReaderIsPluggedIn) {
  const InterfaceText texts = DefaultInterfaceText();
  InstrumentedReader reader;
  reader.State().attached = false;
  const StationRun idle = RunStationWindow(reader, reader.State(), {kWait, kWait}, {});
  EXPECT_TRUE(idle.shown.empty());
  EXPECT_TRUE(Contains(idle.panel, texts.STATION_WAITING)) << idle.panel;
  EXPECT_EQ(idle.panelColour, kStationNeutral);
  // Each poll tried the link; none was left open.
  const auto opens = std::count_if(reader.Calls().begin(), reader.Calls().end(),
                                   [](const std::string& c) { return c.rfind("OpenCom", 0) == 0; });
  EXPECT_GE(opens, 2);
  EXPECT_FALSE(reader.LinkOpen());
}

// The operator reads the attached reader by hand between two polls: the link that read leaves
// open must not keep the station from that reader (taken as gone) nor from the next one.
TEST(StationWindow, AReadByHandBetweenPollsLeavesTheStationItsReaders) {
  InstrumentedReader reader;
  reader.State() = NextReader(reader.State(), 0, true);
  std::vector<std::string> serials = {SerialOf(reader.State())};
  std::atomic<bool> clicked{false};
  const World untilClicked = [&](SimState&) {
    for (int i = 0; i < 5000 && !clicked; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  const StationRun run = RunStationWindow(reader, reader.State(),
                                          {untilClicked, kWait, kWait, kUnplug,
                                           [&](SimState& s) {
                                             s = NextReader(s, 1, true);
                                             serials.push_back(SerialOf(s));
                                           },
                                           kWait},
                                          {}, {}, [&](MemorySurface& surface) {
                                            if (clicked.exchange(true)) return;
                                            surface.Click(idc::ReadConfig);
                                          });
  ASSERT_TRUE(clicked);
  ASSERT_EQ(run.shown.size(), serials.size());
  for (std::size_t i = 0; i < run.shown.size(); ++i) {
    EXPECT_EQ(run.shown[i].outcome.result, StationResult::Ok);
    EXPECT_EQ(run.shown[i].outcome.serialNumber, serials[i]);
  }
  EXPECT_FALSE(reader.LinkOpen());
}

TEST(StationWindow, ArgumentsChooseTheJob) {
  uhf::test::TempDir folder;
  const auto good = folder.path() / "good.ini";
  const auto bad = folder.path() / "bad.ini";
  std::ofstream(good, std::ios::binary) << "[reader]\nreadTime=9\n";
  std::ofstream(bad, std::ios::binary) << "[reader]\ncolour=red\n";
  std::string error;
  const auto none = ParseWindowArguments({}, error);
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->station);
  const auto factory = ParseWindowArguments({"--station"}, error);
  ASSERT_TRUE(factory && factory->station);
  EXPECT_EQ(factory->station->job, StationJob::FactoryDefault);
  const auto apply = ParseWindowArguments({"--station", good.string()}, error);
  ASSERT_TRUE(apply && apply->station);
  EXPECT_EQ(apply->station->job, StationJob::Apply);
  ASSERT_TRUE(apply->station->profile);
  EXPECT_EQ(apply->station->profile->entries.count("readTime"), 1u);
  EXPECT_FALSE(apply->engineering);
  const auto engineering = ParseWindowArguments({"--engineering", "--station"}, error);
  ASSERT_TRUE(engineering);
  EXPECT_TRUE(engineering->engineering);
  EXPECT_TRUE(engineering->station);
  for (const std::vector<std::string>& refused :
       {std::vector<std::string>{"--station", bad.string()},
        std::vector<std::string>{"--station", (folder.path() / "missing.ini").string()},
        std::vector<std::string>{"--stations"}, std::vector<std::string>{"--station", "--station"},
        std::vector<std::string>{"--engineering", "--engineering"}}) {
    error.clear();
    EXPECT_FALSE(ParseWindowArguments(refused, error));
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace uhf::testing
