// Simulated readers plugged in and out through the state file, and tagvane-sim's new readers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "sim/SimControl.h"
#include "sim/SimStateFile.h"
#include "sim/SimulatedReader.h"

namespace uhf {
namespace {

namespace fs = std::filesystem;
constexpr std::uint8_t kBus = ReaderBusAddress;

class SimPlug : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("uhf-sim-plug-" + std::to_string(std::random_device{}()) +
                                     "-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    path_ = folder_ / "reader.ini";
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
  fs::path path_;
};

// Sets (or with nothing, removes) TAGVANE_SIM_STATE; returns what it was.
std::optional<std::string> SetStateVariable(const std::optional<std::string>& value) {
  const char* old = std::getenv("TAGVANE_SIM_STATE");
  std::optional<std::string> previous = old ? std::optional<std::string>(old) : std::nullopt;
#ifdef _WIN32
  _putenv_s("TAGVANE_SIM_STATE", value ? value->c_str() : "");
#else
  if (value) {
    setenv("TAGVANE_SIM_STATE", value->c_str(), 1);
  } else {
    unsetenv("TAGVANE_SIM_STATE");
  }
#endif
  return previous;
}

std::int32_t OpenUsb(ReaderDriver& r) {
  return r.OpenCom(100, 115200);
}
std::int32_t OpenSerial(ReaderDriver& r) {
  return r.OpenCom(2, 9600);
}
std::int32_t OpenNetwork(ReaderDriver& r) {
  return r.Net_Connect("192.168.1.2", 2000, "192.168.1.250", 27001);
}

TEST_F(SimPlug, NoLinkOpensWhileUnpluggedAndThePluggedStateIsSeenAtTheNextCall) {
  // One process holds the reader while another plugs it in and out.
  for (auto* open : {OpenUsb, OpenSerial, OpenNetwork}) {
    std::string error;
    SimulatedReader reader(SimOptions{path_, 0, false});
    ASSERT_TRUE(SetAttached(path_, false, error)) << error;
    EXPECT_NE(open(reader), 0);
    EXPECT_FALSE(reader.LinkOpen());

    ASSERT_TRUE(SetAttached(path_, true, error)) << error;
    ASSERT_EQ(open(reader), 0);
    std::uint8_t kind = 9, extra = 0;
    EXPECT_EQ(reader.Handshake(kBus, 1, &kind, &extra), 0);

    // Unplugged while the link is open: the reader no longer answers.
    ASSERT_TRUE(SetAttached(path_, false, error)) << error;
    EXPECT_NE(reader.Handshake(kBus, 1, &kind, &extra), 0);
    EXPECT_NE(reader.UhfSetBuzzer(kBus, 0), 0);
    reader.CloseCom();
    ASSERT_TRUE(SetAttached(path_, true, error)) << error;
  }
}

TEST_F(SimPlug, AFileWithoutTheAttachedLineIsAPluggedReader) {
  std::string text = FormatSimState(FactoryState(0, false));
  const std::size_t at = text.find("attached=1\n");
  ASSERT_NE(at, std::string::npos);
  text.erase(at, std::string("attached=1\n").size());
  std::string error;
  const auto state = ParseSimState(text, error);
  ASSERT_TRUE(state.has_value()) << error;
  EXPECT_TRUE(state->attached);

  SimState unplugged = FactoryState(1, true);
  unplugged.attached = false;
  const auto back = ParseSimState(FormatSimState(unplugged), error);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_EQ(*back, unplugged);
  for (const char* bad : {"attached=2\n", "attached=\n", "attached=1\n"}) {
    EXPECT_FALSE(ParseSimState(FormatSimState(unplugged) + bad, error).has_value()) << bad;
  }
}

TEST_F(SimPlug, ANewReaderHasTheNextSerialNumberAndIsPluggedIn) {
  struct Case {
    std::array<std::uint8_t, 12> before;
    std::array<std::uint8_t, 12> after;
  };
  for (const Case& c :
       {Case{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}},
        Case{{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0xff}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0}},
        Case{{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff},
             {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}}) {
    SimState previous = FactoryState(0, false);
    previous.serial = c.before;
    previous.attached = false;
    const SimState next = NextReader(previous, 2, false);
    EXPECT_EQ(next.serial, c.after);
    EXPECT_TRUE(next.attached);
    SimState expected = FactoryState(2, false);
    expected.serial = c.after;
    EXPECT_EQ(next, expected);
  }
}

TEST_F(SimPlug, NonFactorySettingsDifferInEverySettingAResetWritesAndAreAccepted) {
  for (const std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{2}}) {
    SCOPED_TRACE(static_cast<int>(kind));
    const SimState factory = FactoryState(kind, false);
    SimState state = NextReader(factory, kind, true);
    EXPECT_NE(state.address, 1);
    EXPECT_NE(state.triggerTime, 2);
    EXPECT_NE(state.wgIntervalTime, 2);
    EXPECT_NE(state.weigand, factory.weigand);
    EXPECT_NE(state.wgOutRecord, factory.wgOutRecord);
    EXPECT_NE(state.workMode, factory.workMode);
    EXPECT_NE(state.outPower, factory.outPower);
    EXPECT_NE(state.regionStart, factory.regionStart);
    EXPECT_NE(state.passwordEnabled, 1);

    // Each value is one the reader itself would take.
    SimulatedReader reader;
    ASSERT_EQ(reader.OpenCom(100, 0), 0);
    reader.State().readerKind = kind;
    EXPECT_EQ(reader.UhfSetOutPower(kBus, state.outPower), 0);
    EXPECT_EQ(reader.UhfSetWeigand(kBus, state.weigand), 0);
    EXPECT_EQ(reader.UhfSetWgOutByte(kBus, state.wgOutRecord.data()), 0);
    EXPECT_EQ(reader.UhfSetFrequencyRegion(kBus, state.regionForm, state.regionStart,
                                           state.regionEnd, state.regionStep, state.regionCount),
              0);
  }
}

TEST_F(SimPlug, TheCommandPlugsInAndOutAndMakesNewReaders) {
  const auto run = [&](std::vector<const char*> args, std::string& out) {
    args.insert(args.begin(), "tagvane-sim");
    std::ostringstream o, e;
    const int status = SimControlMain(static_cast<int>(args.size()), args.data(), o, e);
    out = o.str();
    return status;
  };
  const auto previous = SetStateVariable(path_.string());
  std::string out;
  SimState state;
  std::string error;
  ASSERT_EQ(run({"new-reader", "--kind", "1"}, out), 0);
  ASSERT_EQ(ReadSimStateFile(path_, state, error), StateFileResult::Loaded) << error;
  const SimState first = state;
  EXPECT_EQ(first.readerKind, 1);
  EXPECT_EQ(out, "SN:" + std::string(out.substr(3, 24)) + "\n");

  ASSERT_EQ(run({"detach"}, out), 0);
  ASSERT_EQ(ReadSimStateFile(path_, state, error), StateFileResult::Loaded);
  EXPECT_FALSE(state.attached);
  ASSERT_EQ(run({"attach"}, out), 0);
  ASSERT_EQ(ReadSimStateFile(path_, state, error), StateFileResult::Loaded);
  EXPECT_TRUE(state.attached);

  ASSERT_EQ(run({"new-reader", "--settings", "non-factory"}, out), 0);
  ASSERT_EQ(ReadSimStateFile(path_, state, error), StateFileResult::Loaded);
  EXPECT_NE(state.serial, first.serial);
  EXPECT_EQ(state, NextReader(first, 0, true));

  for (std::vector<const char*> bad : {std::vector<const char*>{},
                                       {"unplug"},
                                       {"attach", "now"},
                                       {"new-reader", "--kind", "3"},
                                       {"new-reader", "--kind"},
                                       {"new-reader", "--settings", "odd"}}) {
    EXPECT_EQ(run(bad, out), 2);
  }
  SetStateVariable(previous);
}

// Network readers: one state file per address; the fleet helper's addresses count on across an
// octet; an address without a file does not answer; a reader whose writes fail keeps its file.
TEST_F(SimPlug, EachNetworkAddressReachesItsOwnReaderOrNone) {
  std::string list;
  std::string error;
  ASSERT_TRUE(MakeFleet(folder_, 3, "192.168.1.254", 27001, list, error)) << error;
  EXPECT_EQ(list,
            "192.168.1.254:27001 sim-1\n192.168.1.255:27001 sim-2\n192.168.2.0:27001 sim-3\n");
  EXPECT_FALSE(MakeFleet(folder_ / "past", 2, "255.255.255.255", 1, list, error));

  SimState broken;
  ASSERT_EQ(ReadSimStateFile(folder_ / "192.168.2.0_27001.ini", broken, error),
            StateFileResult::Loaded);
  broken.writesFail = true;
  ASSERT_TRUE(WriteSimStateFile(folder_ / "192.168.2.0_27001.ini", broken, error));

  struct Row {
    const char* ip;
    int port;
    bool answers;
    std::uint8_t serialLast;  // the last byte of its serial number
    bool writes;
  };
  const Row rows[] = {
      {"192.168.1.254", 27001, true, 0x02, true},
      {"192.168.1.255", 27001, true, 0x03, true},
      {"192.168.2.0", 27001, true, 0x04, false},
      {"192.168.1.254", 27002, false, 0, false},  // right address, wrong port
      {"10.0.0.1", 27001, false, 0, false},
  };
  SimulatedReader reader(SimOptions{path_, 0, false});
  reader.SetNetworkStateDir(folder_);
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.ip) + ":" + std::to_string(row.port));
    const fs::path file = folder_ / (std::string(row.ip) + "_" + std::to_string(row.port) + ".ini");
    EXPECT_EQ(reader.Net_Connect("192.168.1.2", 2000, row.ip, row.port) == 0, row.answers);
    if (!row.answers) continue;
    std::uint8_t serial[12] = {};
    ASSERT_EQ(reader.Get_SerNum(kBus, serial), 0);
    EXPECT_EQ(serial[11], row.serialLast);
    SimState before;
    ASSERT_EQ(ReadSimStateFile(file, before, error), StateFileResult::Loaded);
    EXPECT_EQ(reader.UhfSetBuzzer(kBus, before.buzzer ? 0 : 1) == 0, row.writes);
    SimState after;
    ASSERT_EQ(ReadSimStateFile(file, after, error), StateFileResult::Loaded);
    EXPECT_EQ(after.buzzer != before.buzzer, row.writes);
    EXPECT_EQ(reader.CloseCom(), 0);
  }
  EXPECT_FALSE(fs::exists(path_));  // no network call reached the reader of the state path
}

}  // namespace
}  // namespace uhf
