// Every handler against the hostile driver, many thousand seeded runs each (run under the
// sanitizers in the sanitizer build): nothing crashes or reads outside a buffer, a panel is green
// exactly when every call returned 0, a refused check is followed by no write, and every value a
// read shows came from a call of that read that returned 0.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dialog/ControlIds.h"
#include "dialog/DialogContext.h"
#include "dialog/MainDialogTemplate.h"
#include "reader/ReaderOperations.h"
#include "reader/ReaderSettings.h"
#include "sim/HostileDriver.h"
#include "support/DialogFixture.h"
#include "tags/CardFormats.h"
#include "tags/TagReads.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

constexpr int kRunsPerHandler = 20000;
using Call = HostileDriver::Call;

// The dialog as initialisation leaves it, over a hostile driver, with the tag interval edit's
// notification wired as the dialog wires it.
struct HostileDialog : testing::MemoryDialog<HostileDriver> {
  std::optional<TagReads> tagReads;
  std::uint64_t random = 0;  // splitmix64 state: seeding is free, unlike a Mersenne twister

  explicit HostileDialog(std::uint64_t seed) : MemoryDialog(seed), random(seed ^ 0x5EEDULL) {
    PrepareAsInitialised();
    surface.ComboAdd(idc::ComPort, "COM3");
    surface.ComboSetSel(idc::ComPort, 0);
    surface.IpSetAddress(idc::HostIp, "192.168.1.2");
    const char* headings[] = {"No.", "Card Number", "Success Times", "EPC Length"};
    for (int c = 0; c < 4; ++c) surface.ListInsertColumn(idc::TagList, c, headings[c], 100);
    tagReads.emplace(ctx);
  }

  // Back to the state the constructor left, as a dialog made with this seed (cheaper than a new
  // dialog: the sanitizer build runs this many thousand times).
  void Restart(std::uint64_t seed, const MemorySurface& initial) {
    surface = initial;
    driver.Reseed(seed);
    State() = DialogState{};
    tagReads.emplace(ctx);
    random = seed ^ 0x5EEDULL;
  }
  TagReads& reads() { return *tagReads; }

  int Pick(int below) {
    std::uint64_t z = (random += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<int>((z ^ (z >> 31)) % static_cast<std::uint64_t>(below));
  }

  void UseLink(int type) {
    surface.SetCheck(idc::Usb, type == 0 ? 1 : 0);
    surface.SetCheck(idc::Com, type == 1 ? 1 : 0);
    surface.SetCheck(idc::TcpUdp, type == 2 ? 1 : 0);
  }

  // What an operator might leave in the controls: values in and out of every range.
  void Scramble() {
    static const char* const kNumbers[] = {"0",   "1",   "2",   "20",  "21",  "63",
                                           "64",  "254", "255", "256", "266", "267",
                                           "300", "999", "",    "-1",  " 7 ", "x"};
    for (int id : {idc::OutputTime, idc::ReadTime, idc::ReaderAddress, idc::PowerValue,
                   idc::TagInterval, idc::HostPort}) {
      if (Pick(3) == 0) surface.Type(id, kNumbers[Pick(std::size(kNumbers))]);
    }
    for (int id : {idc::Buzzer, idc::ReadAlways, idc::ReadByTrigger, idc::Wiegand26, idc::Wiegand34,
                   idc::PasswordYes, idc::PasswordNo, idc::Fcc, idc::Etsi, idc::ForwardOutput}) {
      if (Pick(4) == 0) surface.SetCheck(id, Pick(2));
    }
    for (int id : {idc::FreqStart, idc::FreqEnd, idc::StartBytes, idc::Length, idc::Power}) {
      if (Pick(3) == 0) surface.ComboSetSel(id, Pick(70) - 2);
    }
    if (Pick(4) == 0) UseLink(Pick(3));
  }

  // Values every check of a save accepts, whatever the read showed.
  void MakeSavable() {
    ControlSurface::NotificationHold hold(surface);
    surface.SetText(idc::OutputTime, "2");
    surface.SetText(idc::ReadTime, "1");
    surface.SetText(idc::PowerValue, "0");
    surface.SetText(idc::TagInterval, "5");
    surface.SetText(idc::ReaderAddress, "1");
    for (int id : {idc::FreqStart, idc::FreqEnd, idc::StartBytes, idc::Power}) {
      if (surface.ComboCount(id) > 0) surface.ComboSetSel(id, 0);
    }
  }

  bool Green(std::string_view text) const {
    const auto& colours = surface.Colours(idc::StatusPanel);
    return surface.GetText(idc::StatusPanel) == text && !colours.empty() &&
           colours.back().colour == kStatusGreen;
  }
};

const Call* Find(const std::vector<Call>& calls, std::string_view name) {
  for (const Call& call : calls) {
    if (call.name == name) return &call;
  }
  return nullptr;
}

bool Succeeded(const std::vector<Call>& calls, std::string_view name) {
  const Call* call = Find(calls, name);
  return call != nullptr && call->status == 0;
}

bool IsWrite(const Call& call) {
  static const std::set<std::string> kWrites = {
      "UhfSetAddress",        "UhfSetWorkMode",        "UhfSetTriggerTime",
      "UhfSetWgIntervalTime", "UhfSetWeigand",         "UhfSetReadTagIntervalTime",
      "UhfSetOutPower",       "UhfSetBuzzer",          "UhfSetWgOutByte",
      "UhfSetPassword",       "UhfSetFrequencyRegion", "UhfSetFrequencyRegionB",
      "UhfFactoryDefault"};
  return kWrites.count(call.name) != 0;
}

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count) {
  std::string text;
  for (std::size_t i = from; i < from + count; ++i) text += ByteToHex(bytes.at(i));
  return text;
}

// How many runs each property ran, reported once at the end.
std::map<std::string, int>& RunCounts() {
  static std::map<std::string, int> counts;
  return counts;
}

class HostileRunsReport : public ::testing::Environment {
 public:
  void TearDown() override {
    int total = 0;
    for (const auto& [name, count] : RunCounts()) {
      std::printf("hostile runs: %-24s %d\n", name.c_str(), count);
      if (name.front() != ' ') total += count;
    }
    std::printf("hostile runs: %-24s %d\n", "total", total);
  }
};
const auto* const kReport = ::testing::AddGlobalTestEnvironment(new HostileRunsReport);

// Runs `property` on kRunsPerHandler seeds; stops at the first failing seed, naming it.
void ForEachSeed(const std::string& name, std::uint64_t base,
                 const std::function<void(HostileDialog&)>& property) {
  HostileDialog d(base);
  const MemorySurface initial = d.surface;
  for (int run = 0; run < kRunsPerHandler; ++run) {
    const std::uint64_t seed = base + static_cast<std::uint64_t>(run);
    d.Restart(seed, initial);
    property(d);
    ++RunCounts()[name];
    if (::testing::Test::HasFailure()) {
      ADD_FAILURE() << name << " fails with seed " << seed;
      return;
    }
  }
}

// A read on one link type.
void CheckRead(HostileDialog& d, int linkType) {
  d.UseLink(linkType);
  // An earlier reader's values in every control, so a value not obtained cannot hide.
  d.surface.SetText(idc::ReadTime, "77");
  d.surface.SetText(idc::OutputTime, "7");
  d.surface.SetText(idc::ReaderAddress, "77");
  d.surface.SetText(idc::TagInterval, "77");
  d.surface.SetText(idc::VersionLabel, "V-EARLIER");
  d.surface.SetText(idc::SerialNumberLabel, "SN:earlier");
  d.surface.SetCheck(idc::Buzzer, 1);
  OnConnect(d.ctx);
  const std::vector<Call>& calls = d.driver.Calls();
  const bool allOk = d.driver.AllSucceeded();
  const MemorySurface& s = d.surface;

  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(d.Green("读取成功"), allOk);
  if (allOk) ++RunCounts()["  of which green: read"];
  EXPECT_EQ(d.controlsFromRead, allOk);
  EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), IsWrite));

  const auto byteShown = [&](std::string_view name, int id) {
    const Call* call = Find(calls, name);
    if (call != nullptr && call->status == 0) {
      EXPECT_EQ(s.GetText(id), std::to_string(call->out.at(0))) << name;
    } else {
      EXPECT_EQ(s.GetText(id), "") << name;
    }
  };
  byteShown("UhfGetTriggerTime", idc::ReadTime);
  byteShown("UhfGetWgIntervalTime", idc::OutputTime);
  byteShown("UhfGetReadTagIntervalTime", idc::TagInterval);
  byteShown("UhfGetAddress", idc::ReaderAddress);

  const Call* buzzer = Find(calls, "UhfGetBuzzer");
  EXPECT_EQ(s.GetCheck(idc::Buzzer),
            buzzer != nullptr && buzzer->status == 0 && buzzer->out.at(0) != 0 ? 1 : 0);
  if (!Succeeded(calls, "UhfGetWorkMode")) {
    EXPECT_EQ(s.GetCheck(idc::ReadAlways) + s.GetCheck(idc::ReadByTrigger), 0);
  }
  const Call* password = Find(calls, "UhfGetPassword");
  if (password != nullptr && password->status == 0) {
    EXPECT_EQ(s.GetText(idc::Password), Hex(password->out, 1, 4));
  } else {
    EXPECT_EQ(s.GetText(idc::Password), "");
  }
  // Version and serial number are shown by the read's final refresh only.
  const bool reachedEnd = Succeeded(calls, "UhfGetAddress");
  const Call* serial = Find(calls, "Get_SerNum");
  if (reachedEnd && serial != nullptr && serial->status == 0) {
    EXPECT_EQ(s.GetText(idc::SerialNumberLabel), "SN:" + Hex(serial->out, 0, 12));
  } else {
    EXPECT_EQ(s.GetText(idc::SerialNumberLabel), "");
  }
  const Call* version = Find(calls, "Get_Version");
  const std::string shownVersion = s.GetText(idc::VersionLabel);
  if (reachedEnd && version != nullptr && version->status == 0) {
    const std::string given(version->out.begin(), version->out.end());
    EXPECT_EQ(given.compare(0, shownVersion.size(), shownVersion), 0);
  } else {
    EXPECT_EQ(shownVersion, "");
  }
  const Call* power = Find(calls, "UhfGetOutPower");
  const auto scale = PowerScaleFor(d.readerKind);
  if (power != nullptr && power->status == 0 && scale) {
    EXPECT_EQ(s.ComboCount(idc::Power), scale->count);
  } else {
    EXPECT_EQ(s.ComboCount(idc::Power), 0);
  }
  if (!Succeeded(calls, "UhfGetFrequencyRegion")) {
    EXPECT_EQ(s.ComboCount(idc::FreqStart) + s.ComboCount(idc::FreqEnd), 0);
    EXPECT_EQ(s.GetCheck(idc::Fcc) + s.GetCheck(idc::Etsi), 0);
  }
  if (!Succeeded(calls, "UhfGetWgOutByte")) {
    EXPECT_EQ(s.ComboCount(idc::StartBytes), 0);
    EXPECT_EQ(s.GetCheck(idc::ForwardOutput) + s.GetCheck(idc::InvertedOutput), 0);
  }
  if (linkType == 0 && !Succeeded(calls, "UhfGetWeigand")) {
    EXPECT_EQ(s.GetCheck(idc::Wiegand26) + s.GetCheck(idc::Wiegand34), 0);
  }
}

TEST(HostileDriver, ReadOverUsb) {
  ForEachSeed("read, USB", 1'000'000, [](HostileDialog& d) { CheckRead(d, 0); });
}
TEST(HostileDriver, ReadOverSerial) {
  ForEachSeed("read, serial", 2'000'000, [](HostileDialog& d) { CheckRead(d, 1); });
}
TEST(HostileDriver, ReadOverNetwork) {
  ForEachSeed("read, network", 3'000'000, [](HostileDialog& d) { CheckRead(d, 2); });
}

// The messages of a save's refusals: a check, or the refresh's range messages (with their icon).
bool ShowedARefusal(const HostileDialog& d) {
  const InterfaceText& t = d.texts;
  const std::set<std::string> checks = {t.MESSAGE_READ_FIRST,
                                        t.MESSAGE_OUTPUT_TIME_PARAMETER_ERROR,
                                        t.MESSAGE_POWER_PARAMETER_ERROR,
                                        t.MESSAGE_READ_TIME_PARAMETER_ERROR,
                                        t.MESSAGE_FREQ_ERROR,
                                        t.MESSAGE_START_BYTES_PARAMETER_ERROR,
                                        t.MESSAGE_LENGHT_BYTES_PARAMETER_ERROR,
                                        t.MESSAGE_TAG_INTERVAL_PARAMETER_ERROR};
  for (const ShownMessage& m : d.surface.Messages()) {
    if (checks.count(m.text) != 0 || m.icon == MessageIcon::Exclamation) return true;
  }
  return false;
}

TEST(HostileDriver, Save) {
  ForEachSeed("save", 4'000'000, [](HostileDialog& d) {
    if (d.Pick(4) != 0) OnConnect(d.ctx);
    if (d.Pick(2) == 0) {
      d.Scramble();
    } else {
      d.MakeSavable();
    }
    const bool readShown = d.controlsFromRead;
    d.driver.ClearCalls();
    d.surface.ClearMessages();
    OnSaveChanges(d.ctx);
    const std::vector<Call>& calls = d.driver.Calls();
    if (!readShown) {
      EXPECT_TRUE(calls.empty());
      EXPECT_EQ(d.surface.Messages().size(), 1u);
    }
    const bool refused = ShowedARefusal(d);
    if (refused) {
      EXPECT_TRUE(calls.empty());
    }
    const bool saved = d.surface.GetText(idc::StatusPanel) == d.texts.MESSAGE_SAVED;
    EXPECT_EQ(saved, !refused && d.driver.AllSucceeded());
    if (saved) ++RunCounts()["  of which saved"];
    if (!calls.empty()) ++RunCounts()["  of which wrote"];
    if (!d.driver.AllSucceeded()) {
      EXPECT_EQ(d.surface.Colours(idc::StatusPanel).back().colour, kStatusRed);
    }
  });
}

TEST(HostileDriver, FactoryDefault) {
  ForEachSeed("factory default", 5'000'000, [](HostileDialog& d) {
    if (d.Pick(3) == 0) OnConnect(d.ctx);
    d.Scramble();
    d.driver.ClearCalls();
    OnFactoryDefault(d.ctx);
    const std::vector<Call>& calls = d.driver.Calls();
    EXPECT_EQ(d.Green("设置成功"), d.driver.AllSucceeded());
    if (d.driver.AllSucceeded()) ++RunCounts()["  of which green: reset"];
    EXPECT_FALSE(d.controlsFromRead);
    // Nothing after a failed open or handshake.
    for (std::size_t i = 0; i < calls.size(); ++i) {
      const bool opening = calls[i].name == "OpenCom" ||
                           (calls[i].name == "Handshake" && calls[i].values.at(1) == 1);
      if (opening && calls[i].status != 0) {
        EXPECT_EQ(i + 1, calls.size());
      }
    }
  });
}

TEST(HostileDriver, SetAddress) {
  ForEachSeed("set address", 6'000'000, [](HostileDialog& d) {
    d.Scramble();
    d.driver.ClearCalls();
    OnSetAddress(d.ctx);
    const std::vector<Call>& calls = d.driver.Calls();
    if (ShowedARefusal(d)) {
      EXPECT_TRUE(calls.empty());
    } else {
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0].name, "UhfSetAddress");
    }
  });
}

TEST(HostileDriver, GetAddress) {
  ForEachSeed("get address", 7'000'000, [](HostileDialog& d) {
    d.Scramble();
    d.surface.SetText(idc::VersionLabel, "V-EARLIER");
    d.driver.ClearCalls();
    OnGetAddress(d.ctx);
    const std::vector<Call>& calls = d.driver.Calls();
    if (ShowedARefusal(d)) {
      EXPECT_TRUE(calls.empty());
      return;
    }
    if (Succeeded(calls, "UhfGetAddress")) {
      EXPECT_EQ(d.surface.GetText(idc::ReaderAddress),
                std::to_string(Find(calls, "UhfGetAddress")->out.at(0)));
      if (!Succeeded(calls, "Get_Version")) {
        EXPECT_EQ(d.surface.GetText(idc::VersionLabel), "");
      }
    }
  });
}

TEST(HostileDriver, Disconnect) {
  ForEachSeed("disconnect", 8'000'000, [](HostileDialog& d) {
    if (d.Pick(2) == 0) OnConnect(d.ctx);
    d.driver.ClearCalls();
    OnDisconnect(d.ctx);
    const std::vector<Call>& calls = d.driver.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "Handshake");
    EXPECT_EQ(calls[1].name, "CloseCom");
    EXPECT_FALSE(d.linkOpen);
    EXPECT_FALSE(d.controlsFromRead);
    EXPECT_EQ(d.surface.GetText(idc::StatusPanel), d.texts.MESSAGE_DISCONNECTED);
  });
}

// A tag read adds at most one row, and only from a reply (and card bytes) that came with 0.
void CheckTagRead(HostileDialog& d, const std::function<void(TagReads&)>& read) {
  d.readerKind = static_cast<std::uint8_t>(d.Pick(2) == 0 ? d.Pick(3) : d.Pick(256));
  for (int i = 0; i < 12; ++i) d.surface.ComboAdd(idc::StartBytes, std::to_string(i));
  d.surface.ComboSetSel(idc::StartBytes, d.Pick(14) - 1);
  d.surface.ComboSetSel(idc::Length, d.Pick(14) - 1);
  d.surface.SetCheck(idc::Usb, d.Pick(2));
  d.surface.SetCheck(idc::Wiegand34, d.Pick(2));
  d.surface.SetCheck(idc::ForwardOutput, d.Pick(2));
  for (int round = 0; round < 3; ++round) {
    const int before = d.surface.ListCount(idc::TagList);
    const std::string countBefore =
        before > 0 ? d.surface.ListGetItemText(idc::TagList, 0, 2, 16) : "";
    d.driver.ClearCalls();
    read(d.reads());
    const std::vector<Call>& calls = d.driver.Calls();
    const int after = d.surface.ListCount(idc::TagList);
    EXPECT_TRUE(after == before || after == before + 1);
    const bool changed =
        after != before ||
        (before > 0 && d.surface.ListGetItemText(idc::TagList, 0, 2, 16) != countBefore);
    if (changed || after != before) {
      EXPECT_TRUE(Succeeded(calls, "UhfReadTag"));
      const Call* output = Find(calls, "EpcOutput");
      if (output != nullptr) {
        EXPECT_EQ(output->status, 0);
      }
    }
    if (!Succeeded(calls, "UhfReadTag")) {
      EXPECT_EQ(after, before);
    }
    EXPECT_TRUE(std::none_of(calls.begin(), calls.end(), IsWrite));
  }
}

TEST(HostileDriver, ReadTag) {
  ForEachSeed("read tag", 9'000'000, [](HostileDialog& d) {
    CheckTagRead(d, [&d](TagReads& r) {
      // Without a start byte or a length the card way has nothing to read.
      const bool noWindow =
          d.surface.GetCheck(idc::Usb) == 0 &&
          (d.surface.ComboGetSel(idc::StartBytes) < 0 || d.surface.ComboGetSel(idc::Length) < 0);
      r.OnReadTag();
      if (noWindow) {
        EXPECT_TRUE(d.driver.Calls().empty());
      }
    });
  });
}

TEST(HostileDriver, ReadTagDecimal) {
  ForEachSeed("read tag, decimal", 10'000'000,
              [](HostileDialog& d) { CheckTagRead(d, [](TagReads& r) { r.ReadTagUSB(); }); });
}

TEST(HostileDriver, ReadTagHexTest) {
  ForEachSeed("read tag, hex test", 11'000'000,
              [](HostileDialog& d) { CheckTagRead(d, [](TagReads& r) { r.OnReadTagTestHex(); }); });
}

}  // namespace
}  // namespace uhf
