// The value model under the handlers: what a read obtains and marks as not obtained, the calls an
// operation reports against the calls the reader saw, and faults of the held link.

#include <functional>
#include <set>

#include "ReaderTestSupport.h"
#include "reader/ReaderConfiguration.h"

namespace uhf::testing {
namespace {

using ::testing::ElementsAre;

// The names of the calls the simulated reader recorded ("OpenCom(100,0)" -> "OpenCom").
std::vector<std::string> CallNames(const std::vector<std::string>& calls) {
  std::vector<std::string> names;
  for (const std::string& call : calls) names.push_back(call.substr(0, call.find('(')));
  return names;
}

std::vector<std::string> CallNames(const std::vector<DriverCall>& calls) {
  std::vector<std::string> names;
  for (const DriverCall& call : calls) names.push_back(call.name);
  return names;
}

TEST(ReadConfiguration, ObtainsEverySettingOfTheReader) {
  for (const LinkKind kind : {LinkKind::Usb, LinkKind::Serial}) {
    SCOPED_TRACE(kind == LinkKind::Usb ? "USB" : "serial");
    InstrumentedReader reader;
    SimState& st = reader.State();
    st.readerKind = 1;
    st.buzzer = 1;
    st.workMode = 1;
    st.triggerTime = 9;
    st.wgIntervalTime = 4;
    st.wgOutRecord = {1, 5, 6, 1};
    st.weigand = 0x34;
    st.passwordEnabled = 1;
    st.password = {1, 2, 3, 4};
    st.readTagInterval = 77;
    st.outPower = 21;
    st.version = "V7";
    st.address = 12;
    LinkState state;
    Link link;
    link.kind = kind;
    link.port = 2;
    const ConfigurationRead read = ReadConfiguration(reader, link, state, DefaultInterfaceText());
    const ReaderConfiguration& c = read.configuration;
    EXPECT_TRUE(read.result.succeeded);
    EXPECT_EQ(c.readerKind, 1);
    EXPECT_EQ(c.buzzer, 1);
    EXPECT_EQ(c.workMode, 1);
    EXPECT_EQ(c.readTime, 9);
    EXPECT_EQ(c.outputTime, 4);
    // The record with its length whatever the link: the USB link reads it too.
    EXPECT_EQ(c.wiegandOutput, (WiegandOutputRecord{1, 5, 6, 1}));
    // The format only over USB, where it is asked.
    EXPECT_EQ(c.wiegandFormat,
              kind == LinkKind::Usb ? std::optional<std::uint8_t>(0x34) : std::nullopt);
    EXPECT_EQ(c.passwordEnabled, 1);
    EXPECT_EQ(c.checkPassword, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(c.tagInterval, 77);
    EXPECT_EQ(c.outPower, 21);
    EXPECT_EQ(c.versionText, "V7");
    EXPECT_EQ(c.serialNumberText, SerialNumberText(st.serial));
    EXPECT_EQ(c.readerAddress, 12);
    EXPECT_EQ(c.frequencyPlan, (FrequencyPlan{st.regionForm, st.regionStart, st.regionEnd,
                                              st.regionStep, st.regionCount}));
    EXPECT_TRUE(state.open);
    EXPECT_EQ(state.readerKind, 1);
  }
}

// A failed call leaves its setting unobtained and every other one obtained; a failed call that
// stops the read leaves everything after it unobtained too.
TEST(ReadConfiguration, MarksWhatItDidNotObtain) {
  using Has = std::function<bool(const ReaderConfiguration&)>;
  const std::vector<std::pair<std::string, Has>> settings = {
      {"Handshake", [](const ReaderConfiguration& c) { return c.readerKind.has_value(); }},
      {"UhfGetBuzzer", [](const ReaderConfiguration& c) { return c.buzzer.has_value(); }},
      {"UhfGetWorkMode", [](const ReaderConfiguration& c) { return c.workMode.has_value(); }},
      {"UhfGetTriggerTime", [](const ReaderConfiguration& c) { return c.readTime.has_value(); }},
      {"UhfGetWgIntervalTime",
       [](const ReaderConfiguration& c) { return c.outputTime.has_value(); }},
      {"UhfGetWgOutByte", [](const ReaderConfiguration& c) { return c.wiegandOutput.has_value(); }},
      {"UhfGetWeigand", [](const ReaderConfiguration& c) { return c.wiegandFormat.has_value(); }},
      {"UhfGetPassword",
       [](const ReaderConfiguration& c) {
         return c.passwordEnabled.has_value() && c.checkPassword.has_value();
       }},
      {"UhfGetReadTagIntervalTime",
       [](const ReaderConfiguration& c) { return c.tagInterval.has_value(); }},
      {"UhfGetOutPower", [](const ReaderConfiguration& c) { return c.outPower.has_value(); }},
      {"Get_Version", [](const ReaderConfiguration& c) { return c.versionText.has_value(); }},
      {"Get_SerNum", [](const ReaderConfiguration& c) { return c.serialNumberText.has_value(); }},
      {"UhfGetAddress", [](const ReaderConfiguration& c) { return c.readerAddress.has_value(); }},
      {"UhfGetFrequencyRegion",
       [](const ReaderConfiguration& c) { return c.frequencyPlan.has_value(); }},
  };
  const std::set<std::string> stops = {"Handshake", "UhfGetWgOutByte", "UhfGetOutPower",
                                       "UhfGetAddress"};
  for (std::size_t failing = 0; failing < settings.size(); ++failing) {
    const std::string& op = settings[failing].first;
    SCOPED_TRACE(op);
    InstrumentedReader reader;
    reader.FailOn(op);
    LinkState state;
    const ConfigurationRead read = ReadConfiguration(reader, Link{}, state, DefaultInterfaceText());
    EXPECT_FALSE(read.result.succeeded);
    for (std::size_t i = 0; i < settings.size(); ++i) {
      const bool stopped = stops.count(op) != 0 && i >= failing;
      EXPECT_EQ(settings[i].second(read.configuration), i != failing && !stopped)
          << settings[i].first;
    }
  }
}

// The calls an operation reports are the calls the reader saw, with their statuses, and the
// operation succeeded exactly when every one returned 0.
TEST(OperationResult, ListsTheCallsTheReaderSaw) {
  struct Case {
    const char* what;
    bool afterRead;       // run after a complete read, which left the link open
    const char* failing;  // empty: none
    std::function<OperationResult(DialogFixture&)> run;
  };
  const auto read = [](DialogFixture& f) { return OnConnect(f.ctx)->result; };
  const auto save = [](DialogFixture& f) { return *OnSaveChanges(f.ctx); };
  const auto reset = [](DialogFixture& f) { return OnFactoryDefault(f.ctx); };
  const Case cases[] = {
      {"read", false, "", read},
      {"read, a failed serial number", false, "Get_SerNum", read},
      {"read, a failed open", false, "OpenCom", read},
      {"read again, a failed close", true, "CloseCom", read},
      {"save", true, "", save},
      {"save, a failed address", true, "UhfSetAddress", save},
      {"save, a failed buzzer", true, "UhfSetBuzzer", save},
      {"factory default", false, "", reset},
      {"factory default, a failed power", false, "UhfSetOutPower", reset},
      {"factory default, a failed region read", true, "UhfGetFrequencyRegion", reset},
      {"disconnect", true, "", [](DialogFixture& f) { return OnDisconnect(f.ctx); }},
      {"disconnect, a failed close", true, "CloseCom",
       [](DialogFixture& f) { return OnDisconnect(f.ctx); }},
      {"set address", true, "", [](DialogFixture& f) { return *OnSetAddress(f.ctx); }},
      {"get address, a failed version", true, "Get_Version",
       [](DialogFixture& f) { return OnGetAddress(f.ctx)->result; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto f = MakeDialog(0);
    if (c.afterRead) OnConnect(f->ctx);
    f->reader.ClearCalls();
    if (*c.failing != '\0') f->reader.FailOn(c.failing);
    const OperationResult result = c.run(*f);
    ASSERT_FALSE(result.calls.empty());
    EXPECT_EQ(CallNames(result.calls), CallNames(f->reader.Calls()));
    bool allZero = true;
    for (const DriverCall& call : result.calls) {
      allZero = allZero && call.status == 0;
      if (call.name == c.failing) {
        EXPECT_NE(call.status, 0);
      }
    }
    EXPECT_EQ(result.succeeded, allZero);
    EXPECT_EQ(result.succeeded, *c.failing == '\0');
  }
}

// A link the tool still holds is closed before another is opened; a close that fails makes the
// operation's outcome red, and whatever the close does, the controls no longer show a read of the
// reader behind the link.
TEST(HeldLink, AFailedCloseIsNotGreenAndTheReadIsNoLongerShown) {
  struct Case {
    const char* what;
    std::function<void(DialogFixture&)> run;
    std::string green;  // status text of an outcome where every call succeeded
  };
  const Case cases[] = {
      {"read", [](DialogFixture& f) { OnConnect(f.ctx); }, "读取成功"},
      {"factory default", [](DialogFixture& f) { OnFactoryDefault(f.ctx); }, "设置成功"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto f = MakeDialog(0);
    OnConnect(f->ctx);
    ASSERT_TRUE(f->controlsFromRead);
    // The port went away on its own: the close reports a failure, every later call succeeds.
    f->reader.CloseCom();
    f->reader.ClearCalls();
    f->reader.FailOn("CloseCom", 1, 1);
    c.run(*f);
    ASSERT_FALSE(f->reader.Calls().empty());
    EXPECT_EQ(f->reader.Calls().front(), "CloseCom()");
    EXPECT_NE(f->surface.GetText(idc::StatusPanel), c.green);
    EXPECT_EQ(f->surface.Colours(idc::StatusPanel).back().colour, kStatusRed);
    EXPECT_FALSE(f->controlsFromRead);
  }
  // An operation that closes the held link and then cannot open its own leaves nothing a save
  // could take for a read of the connected reader.
  for (const char* failing : {"OpenCom", "Handshake"}) {
    for (const auto& run : std::vector<std::function<void(DialogFixture&)>>{
             [](DialogFixture& f) { OnConnect(f.ctx); },
             [](DialogFixture& f) { OnFactoryDefault(f.ctx); }}) {
      SCOPED_TRACE(failing);
      auto f = MakeDialog(0);
      OnConnect(f->ctx);
      f->reader.FailOn(failing);
      run(*f);
      EXPECT_FALSE(f->controlsFromRead);
      f->reader.ClearFailures();
      f->reader.ClearCalls();
      f->surface.ClearMessages();
      OnSaveChanges(f->ctx);
      EXPECT_TRUE(f->reader.Calls().empty());
      EXPECT_THAT(MessageTexts(f->surface), ElementsAre(f->texts.MESSAGE_READ_FIRST));
    }
  }
}

// Both work-mode radios checked (only code can do that): the save writes one mode per checked
// radio, "read always" first, so a reader ends in "read by trigger" whichever view saved.
TEST(SaveConfiguration, BothWorkModeRadiosWriteBothModes) {
  auto f = MakeDialog(0);
  OnConnect(f->ctx);
  f->reader.ClearCalls();
  f->surface.SetCheck(idc::ReadAlways, 1);
  f->surface.SetCheck(idc::ReadByTrigger, 1);
  OnSaveChanges(f->ctx);
  std::vector<std::string> modes;
  for (const std::string& call : f->reader.Calls()) {
    if (call.rfind("UhfSetWorkMode", 0) == 0) modes.push_back(call);
  }
  EXPECT_THAT(modes, ElementsAre("UhfSetWorkMode(255,0)", "UhfSetWorkMode(255,1)"));
  EXPECT_EQ(f->reader.State().workMode, 1);
}

// The selection a plan stands at is the one the read shows: the companion's profile values and
// the save's plan come from it.
TEST(PlanSelection, IsWhatTheReadShows) {
  const FrequencyPlan plans[] = {
      {4, 902000, 926000, 500, 48},
      {4, 865000, 868000, 500, 6},
      {4, 902250, 903000, 500, 1},
      {4, 864999, 866000, 500, 2},
      {4, 928000, 930000, 500, 4},
      {4, 865000, 868000, 500, 9},
      {5, 1, 63, 0, 0},
      {5, 0, 0, 0, 0},
      {5, 0, 5, 0, 0},
      {5, 64, 70, 0, 0},
      {5, 256 + 3, 9, 0, 0},
      {4, -5, 902000, 500, 0},
  };
  for (const FrequencyPlan& plan : plans) {
    for (std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{2}}) {
      if ((kind == 2) != (plan.form == kFormChannelRange)) continue;
      SCOPED_TRACE(::testing::Message() << "start " << plan.start << " end " << plan.end);
      MemorySurface s{MainDialogTemplate()};
      ShowFrequencyPlan(s, kind, plan);
      const PlanSelection selection = SelectionOfPlan(kind, plan);
      EXPECT_EQ(selection.startItem, s.ComboGetSel(idc::FreqStart));
      EXPECT_EQ(selection.endItem, s.ComboGetSel(idc::FreqEnd));
      if (kind != 2) {
        EXPECT_EQ(selection.band == FrequencyBand::Fcc, s.GetCheck(idc::Fcc) == 1);
      }
      EXPECT_EQ(PlanOfSelection(kind, selection), PlanFromControls(s, kind));
    }
  }
}

}  // namespace
}  // namespace uhf::testing
