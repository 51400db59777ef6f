// Station mode in-process: the simulated reader plugged in and out between polls, the station's
// lines, exit statuses and driver calls.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <span>

#include "CompanionTestSupport.h"
#include "cli/CommandLine.h"
#include "cli/Station.h"
#include "cli/StationLog.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/DriverDecorator.h"
#include "reader/ReaderOperations.h"
#include "sim/SimControl.h"
#include "ui/MemorySurface.h"

namespace uhf::cli::testing {
namespace {

using Json = nlohmann::json;
using World = std::function<void(SimState&)>;

// A reader that answers every call but keeps nothing `operation` writes.
class KeepsNot final : public DriverDecorator {
 public:
  KeepsNot(ReaderDriver& inner, const std::string& operation)
      : DriverDecorator(inner), ignored_(*OperationNamed(operation)) {}

 private:
  std::int32_t Around(Operation operation, Forward forward) override {
    return operation == ignored_ ? 0 : forward();
  }
  Operation ignored_;
};

const World kUnplug = [](SimState& s) { s.attached = false; };
const World kWait = [](SimState&) {};
World PlugNew(std::uint8_t kind = 0) {
  return [kind](SimState& s) { s = NextReader(s, kind, true); };
}

// The station against `driver`; each pause between polls changes the reader's world by the next
// step of `world`, and a stop is requested once every step was taken.
struct StationRun {
  int exitStatus = -1;
  std::vector<Json> lines;
  std::string err;
  std::vector<std::string> log;  // the station log's lines
};

StationRun RunWith(StationOptions options, ReaderDriver& driver, SimState& state,
                   std::vector<World> world, const TempFolder& folder,
                   const std::function<bool()>& extraStop = {}) {
  options.json = true;
  options.stationLog = folder / "station.csv";
  std::size_t step = 0;
  auto clock = std::chrono::steady_clock::time_point();
  StationHooks hooks;
  hooks.sleep = [&](std::chrono::milliseconds) {
    if (step < world.size()) world[step](state);
    ++step;
  };
  hooks.now = [&] { return clock += std::chrono::milliseconds(7); };
  hooks.time = [] { return std::string("2026-12-07 10:00:00.000"); };
  hooks.stopRequested = [&] { return step > world.size() || (extraStop && extraStop()); };
  std::ostringstream out;
  std::ostringstream err;
  StationRun run;
  run.exitStatus = RunStation(options, driver, TestPlatform(folder.Path()), hooks, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) run.lines.push_back(Json::parse(line));
  run.err = err.str();
  std::istringstream log(ReadBytes(folder / "station.csv"));
  // Lines end in CR LF on Windows.
  for (std::string line; std::getline(log, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    run.log.push_back(line);
  }
  return run;
}

std::string SerialOf(const SimState& s) {
  return SerialNumberText(std::span<const std::uint8_t, 12>(s.serial));
}

StationOptions ApplyJob(const TempFolder& folder, const std::string& profile) {
  WriteBytes(folder / "line.ini", profile);
  StationOptions options;
  options.job = StationJob::Apply;
  options.profile = folder / "line.ini";
  return options;
}

TEST(Station, ReadersInTurnAreEachConfiguredAndLoggedOnce) {
  // Readers of every kind with other settings than the factory's, one after another; the
  // factory configuration of each kind reads back.
  TempFolder folder;
  InstrumentedReader reader;
  reader.State() = NextReader(reader.State(), 0, true);
  std::vector<std::string> serials = {SerialOf(reader.State())};
  const World plugKind1 = [&](SimState& s) {
    PlugNew(1)(s);
    serials.push_back(SerialOf(s));
  };
  const World plugKind2 = [&](SimState& s) {
    PlugNew(2)(s);
    serials.push_back(SerialOf(s));
  };
  StationOptions options;
  options.count = 3;
  const StationRun run = RunWith(options, reader, reader.State(),
                                 {kWait, kUnplug, kWait, plugKind1, kUnplug, plugKind2}, folder);

  EXPECT_EQ(run.exitStatus, kExitOk) << run.err;
  ASSERT_EQ(run.lines.size(), 3u) << run.err;
  ASSERT_EQ(serials.size(), 3u);
  for (std::size_t i = 0; i < run.lines.size(); ++i) {
    EXPECT_EQ(run.lines[i]["result"], "ok") << run.lines[i].dump();
    EXPECT_EQ(run.lines[i]["serialNumber"], serials[i]);
    EXPECT_EQ(run.lines[i]["job"], "factory-default");
    EXPECT_EQ(run.lines[i]["durationMs"], 7);
  }
  ASSERT_EQ(run.log.size(), 4u);
  EXPECT_EQ(run.log[0], kStationColumnsHeader);
  EXPECT_EQ(run.log[3], "2026-12-07 10:00:00.000,station factory-default,usb," + serials[2] +
                            ",TVW-SIM V2.06,ok,0,,7");
  EXPECT_FALSE(reader.LinkOpen());
}

TEST(Station, EachReaderGetsThePollThenTheWindowsOperationsThenTheLinkClosed) {
  TempFolder folder;
  InstrumentedReader reader;
  const std::vector<std::string> poll = {"OpenCom(100,115200)", "Handshake(255,1)",
                                         "Get_SerNum(255)", "CloseCom()"};
  // The window's own dialog on an identical reader: factory default, then read.
  InstrumentedReader windowReader;
  MemorySurface surface{MainDialogTemplate()};
  ReaderConfigDialog window(surface, windowReader, TestPlatform(folder.Path()));
  surface.SetNotificationHandler([&](int id, Notification n) { window.OnCommand(id, n); });
  window.OnInitDialog();
  surface.Click(idc::FactoryDefault);
  surface.Click(idc::ReadConfig);
  std::vector<std::string> expected = poll;
  expected.insert(expected.end(), windowReader.Calls().begin(), windowReader.Calls().end());
  expected.push_back("CloseCom()");

  StationOptions options;
  options.count = 1;
  const StationRun run = RunWith(options, reader, reader.State(), {}, folder);
  ASSERT_EQ(run.exitStatus, kExitOk) << run.err;
  EXPECT_EQ(reader.Calls(), expected);
}

TEST(Station, AReaderLeftAttachedIsTakenOnceUntilUnplugged) {
  // Whatever its outcome; plugged in again it is taken again.
  for (const char* failing : {"", "UhfSetWgOutByte"}) {
    SCOPED_TRACE(failing);
    TempFolder folder;
    InstrumentedReader reader;
    if (*failing != '\0') reader.FailOn(failing);
    const World replug = [](SimState& s) { s.attached = true; };
    const StationRun run = RunWith({}, reader, reader.State(),
                                   {kWait, kWait, kWait, kUnplug, replug, kWait, kWait}, folder);
    ASSERT_EQ(run.lines.size(), 2u) << run.err;
    EXPECT_EQ(run.lines[0]["serialNumber"], run.lines[1]["serialNumber"]);
    const auto resets = std::count(reader.Calls().begin(), reader.Calls().end(),
                                   std::string("UhfFactoryDefault(255)"));
    EXPECT_EQ(resets, 2);
    // Polls while it stayed: one waiting line per wait, not one per poll.
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 3) << run.err;
  }
}

TEST(Station, AFailedOperationIsReportedWithWhatTheWindowShows) {
  struct Case {
    const char* failing;
    bool apply;
    const char* operation;
  };
  for (const Case& c :
       {Case{"UhfSetWgOutByte", false, "factory default"},
        Case{"UhfSetOutPower", false, "factory default"}, Case{"UhfSetAddress", true, "save"},
        Case{"UhfGetOutPower", true, "read"}}) {
    SCOPED_TRACE(c.failing);
    TempFolder folder;
    const std::string profile = "[reader]\nreaderAddress=12\n";
    InstrumentedReader reader;
    reader.FailOn(c.failing);
    const StationOptions options = c.apply ? ApplyJob(folder, profile) : StationOptions{};
    const StationRun run = RunWith(options, reader, reader.State(), {kWait}, folder);
    EXPECT_EQ(run.exitStatus, kExitFailed);
    ASSERT_EQ(run.lines.size(), 1u) << run.err;
    EXPECT_EQ(run.lines[0]["result"], "failed");
    EXPECT_EQ(run.lines[0]["operation"], c.operation);
    ASSERT_EQ(run.log.size(), 2u);
    EXPECT_NE(run.log[1].find(",failed,1,"), std::string::npos) << run.log[1];

    // The window, the same failure injected, shows the same texts.
    InstrumentedReader windowReader;
    windowReader.FailOn(c.failing);
    MemorySurface surface{MainDialogTemplate()};
    ReaderConfigDialog window(surface, windowReader, TestPlatform(folder.Path()));
    surface.SetNotificationHandler([&](int id, Notification n) { window.OnCommand(id, n); });
    window.OnInitDialog();
    if (c.apply) {
      surface.Click(idc::ReadConfig);
      if (std::string(c.operation) == "save") {
        surface.SetText(idc::ReaderAddress, "12");
        OnSaveChanges(window.Context());
      }
    } else {
      surface.Click(idc::FactoryDefault);
    }
    ASSERT_FALSE(surface.Messages().empty());
    const std::string error = run.lines[0]["error"];
    EXPECT_NE(error.find(surface.GetText(idc::StatusPanel)), std::string::npos) << error;
    for (const ShownMessage& shown : surface.Messages()) {
      EXPECT_NE(error.find(shown.text), std::string::npos) << error << " / " << shown.text;
    }
  }
}

TEST(Station, AValueTheReaderDoesNotKeepDiffers) {
  struct Case {
    const char* notKept;
    std::string profile;  // empty: the factory default
    const char* setting;
    const char* wanted;
  };
  for (const Case& c : {Case{"UhfSetBuzzer", "[reader]\nbuzzer=0\n", "buzzer", "0"},
                        Case{"UhfSetOutPower", "[reader]\noutPower=12\n", "outPower", "12"},
                        Case{"UhfSetTriggerTime", "", "readTime", "2"},
                        Case{"UhfSetAddress", "", "readerAddress", "1"}}) {
    SCOPED_TRACE(c.notKept);
    TempFolder folder;
    InstrumentedReader inner;
    inner.State() = NextReader(inner.State(), 0, true);
    inner.State().buzzer = 1;
    KeepsNot reader(inner, c.notKept);
    const StationOptions options =
        c.profile.empty() ? StationOptions{} : ApplyJob(folder, c.profile);
    const StationRun run = RunWith(options, reader, inner.State(), {kWait}, folder);
    EXPECT_EQ(run.exitStatus, kExitDiffers) << run.err;
    ASSERT_EQ(run.lines.size(), 1u) << run.err;
    EXPECT_EQ(run.lines[0]["result"], "differs");
    ASSERT_EQ(run.lines[0]["differences"].size(), 1u) << run.lines[0].dump();
    const Json& d = run.lines[0]["differences"][0];
    EXPECT_EQ(d["setting"], c.setting);
    EXPECT_EQ(d["wanted"], c.wanted);
    EXPECT_NE(d["read"], c.wanted);
    EXPECT_NE(run.log[1].find(std::string(",differs,4,") + c.setting + " wanted "),
              std::string::npos)
        << run.log[1];
  }
}

TEST(Station, AProfileThatSetsValuesIsOkAndHeld) {
  TempFolder folder;
  InstrumentedReader reader;
  const StationRun run =
      RunWith(ApplyJob(folder, "[reader]\nbuzzer=0\noutPower=12\nreaderAddress=40\nreadTime=9\n"),
              reader, reader.State(), {kWait}, folder);
  EXPECT_EQ(run.exitStatus, kExitOk) << run.err;
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_EQ(run.lines[0]["result"], "ok");
  EXPECT_EQ(reader.State().buzzer, 0);
  EXPECT_EQ(reader.State().outPower, 12);
  EXPECT_EQ(reader.State().address, 40);
  EXPECT_EQ(reader.State().triggerTime, 9);
}

TEST(Station, ARefusedProfileOrLinkStopsBeforeAnyCall) {
  for (const std::string profile : {"[reader]\ncolour=red\n", "[reader]\nbuzzer=1\nbuzzer=0\n",
                                    "readTime=1\n[reader]\n[reader]\n"}) {
    SCOPED_TRACE(profile);
    TempFolder folder;
    InstrumentedReader reader;
    const StationRun run = RunWith(ApplyJob(folder, profile), reader, reader.State(), {}, folder);
    EXPECT_EQ(run.exitStatus, kExitUsage);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_TRUE(reader.Calls().empty());
  }
  TempFolder folder;
  InstrumentedReader reader;
  StationOptions options;
  options.link.kind = LinkKind::Tcp;
  options.link.reader = "not an address";
  EXPECT_EQ(RunWith(options, reader, reader.State(), {}, folder).exitStatus, kExitUsage);
  EXPECT_TRUE(reader.Calls().empty());
}

TEST(Station, AStopDuringAReaderFinishesItFirst) {
  TempFolder folder;
  InstrumentedReader reader;
  reader.State() = NextReader(reader.State(), 0, true);
  bool stop = false;
  // The stop comes while the reset writes: at its first write.
  const auto stopAtFirstWrite = [&] {
    stop = stop || std::find(reader.Calls().begin(), reader.Calls().end(),
                             "UhfFactoryDefault(255)") != reader.Calls().end();
    return stop;
  };
  // Polled only between readers: it cannot see the request before the reader is done.
  const StationRun run =
      RunWith({}, reader, reader.State(), {kUnplug, PlugNew()}, folder, stopAtFirstWrite);
  EXPECT_EQ(run.exitStatus, kExitOk) << run.err;
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_EQ(run.lines[0]["result"], "ok");
  EXPECT_EQ(reader.State().outPower, *FactoryPowerLevel(0));
  EXPECT_EQ(reader.Calls().back(), "CloseCom()");
}

TEST(StationCommandLine, AJobIsNeededAndOnlyOne) {
  for (std::vector<const char*> args : {std::vector<const char*>{"station"},
                                        {"station", "--factory-default", "--apply", "x.ini"},
                                        {"station", "--factory-default", "--poll-ms", "0"},
                                        {"station", "--factory-default", "--count", "0"}}) {
    args.insert(args.begin(), "uhf-readerctl");
    std::ostringstream out, err;
    EXPECT_EQ(CompanionMain(static_cast<int>(args.size()), args.data(), out, err), kExitUsage)
        << args[2];
    EXPECT_EQ(out.str(), "");
  }
}

TEST(CompareSettings, OnlyWhatWasMeantAndWrittenOverThisLinkCounts) {
  const ReaderConfiguration factory = FactoryConfiguration(0, 902000);
  ReaderConfiguration read = factory;
  read.buzzer = 1;             // not meant: the reset leaves it to the reader
  read.versionText = "other";  // not a setting
  EXPECT_TRUE(CompareSettings(factory, read, true).empty());

  ReaderConfiguration wanted = factory;
  wanted.buzzer = 7;  // a flag: any nonzero is on
  EXPECT_TRUE(CompareSettings(wanted, read, true).empty());

  read.wiegandFormat = ReaderSettings::kWiegand34;  // the format travels over USB only
  EXPECT_TRUE(CompareSettings(factory, read, false).empty());
  const auto usb = CompareSettings(factory, read, true);
  ASSERT_EQ(usb.size(), 1u);
  EXPECT_EQ(usb[0].setting, "wiegandFormat");
  EXPECT_EQ(usb[0].wanted, "26");
  EXPECT_EQ(usb[0].read, "34");

  read = factory;
  read.outPower.reset();  // not obtained
  const auto missing = CompareSettings(factory, read, true);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0].read, "");
  // A kind without a power scale has no power written, so none compared.
  wanted = factory;
  wanted.readerKind = 7;
  EXPECT_TRUE(CompareSettings(wanted, read, true).empty());
}

}  // namespace
}  // namespace uhf::cli::testing
