// Factory default, disconnect, the reader's stored address and the status panel.

#include "ReaderTestSupport.h"

namespace uhf::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

void ExpectStatus(const DialogFixture& f, const std::string& text, Rgb colour) {
  EXPECT_EQ(f.surface.GetText(idc::StatusPanel), text);
  EXPECT_EQ(f.values.statusText, text);
  ASSERT_EQ(f.surface.Colours(idc::StatusPanel).size(), 1u);
  const ColourRange& range = f.surface.Colours(idc::StatusPanel)[0];
  EXPECT_EQ(range.start, 0);
  EXPECT_EQ(range.end, 4);
  EXPECT_EQ(range.colour, colour);
}

TEST(FactoryDefault, WritesTheProductionDefaultsByKindAndBand) {
  struct Case {
    const char* what;
    std::uint8_t kind;
    bool etsi;
    bool regionReadFails;
    std::vector<std::string> regionAndPower;
    FrequencyPlan plan;
    std::uint8_t power;
  };
  const Case cases[] = {
      {"kind 0 FCC",
       0,
       false,
       false,
       {"UhfGetFrequencyRegion(255)", "UhfSetFrequencyRegionB(255,4,902000,926000,500,48)",
        "UhfSetOutPower(255,33)"},
       {4, 902000, 926000, 500, 48},
       33},
      {"kind 0 ETSI",
       0,
       true,
       false,
       {"UhfGetFrequencyRegion(255)", "UhfSetFrequencyRegionB(255,4,865000,868000,500,6)",
        "UhfSetOutPower(255,33)"},
       {4, 865000, 868000, 500, 6},
       33},
      {"kind 1 FCC",
       1,
       false,
       false,
       {"UhfGetFrequencyRegion(255)", "UhfSetFrequencyRegionB(255,4,902000,926000,500,48)",
        "UhfSetOutPower(255,26)"},
       {4, 902000, 926000, 500, 48},
       26},
      {"kind 1, region read fails",
       1,
       false,
       true,
       {"UhfGetFrequencyRegion(255)", "UhfSetOutPower(255,26)"},
       {4, 902000, 926000, 500, 48},
       26},
      {"kind 2",
       2,
       false,
       false,
       {"UhfSetFrequencyRegion(255,5,1,63,0,0)", "UhfSetOutPower(255,63)"},
       {5, 1, 63, 0, 0},
       63},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto f = MakeDialog(c.kind, c.etsi);
    // A reader configured away from the defaults, read into the dialog.
    SimState& st = f->reader.State();
    st.address = 9;
    st.triggerTime = 30;
    st.wgIntervalTime = 7;
    st.workMode = 1;
    st.weigand = 0x34;
    st.wgOutRecord = {1, 2, 4, 1};
    st.passwordEnabled = 0;
    st.outPower = 20;
    OnConnect(f->ctx);
    f->reader.ClearCalls();
    if (c.regionReadFails) f->reader.FailOn("UhfGetFrequencyRegion");

    OnFactoryDefault(f->ctx);

    // The link the read left open is closed first: one link at a time.
    auto expected = FactoryCalls(c.regionAndPower);
    expected.insert(expected.begin(), "CloseCom()");
    EXPECT_EQ(f->reader.Calls(), expected);
    EXPECT_THAT(f->surface.Messages(), IsEmpty());
    // Green only when every call succeeded: without the current plan none was written.
    if (c.regionReadFails) {
      ExpectStatus(*f, "设置失败", Rgb{255, 0, 0});
    } else {
      ExpectStatus(*f, "设置成功", Rgb{25, 150, 43});
    }
    EXPECT_FALSE(f->linkOpen);
    EXPECT_FALSE(f->reader.LinkOpen());
    EXPECT_EQ(f->readerKind, c.kind);

    const SimState& after = f->reader.State();
    EXPECT_EQ(after.address, 1);
    EXPECT_EQ(after.wgIntervalTime, 2);
    EXPECT_EQ(after.triggerTime, 2);
    EXPECT_EQ(after.weigand, 0x26);
    EXPECT_EQ(after.wgOutRecord, (std::array<std::uint8_t, 4>{1, 9, 3, 0}));
    EXPECT_EQ(after.passwordEnabled, 1);
    EXPECT_EQ(after.password, (std::array<std::uint8_t, 4>{0x5A, 0x5A, 0x5A, 0x5A}));
    EXPECT_EQ(after.workMode, 0);
    EXPECT_EQ(after.outPower, c.power);
    if (!c.regionReadFails) {
      EXPECT_EQ((FrequencyPlan{after.regionForm, after.regionStart, after.regionEnd,
                               after.regionStep, after.regionCount}),
                c.plan);
    }
    // The controls keep what the last read showed.
    EXPECT_EQ(f->surface.GetText(idc::ReaderAddress), "9");
    EXPECT_EQ(f->surface.GetText(idc::ReadTime), "30");
  }
}

// A reader of a kind without a factory plan and power (3 and up) gets the other defaults only:
// no plan and no power is written, not even one chosen for another kind.
TEST(FactoryDefault, AnUnknownKindGetsNoPlanAndNoPower) {
  for (std::uint8_t kind : {std::uint8_t{3}, std::uint8_t{255}}) {
    SCOPED_TRACE(int(kind));
    auto f = MakeDialog(0);
    f->reader.State().readerKind = kind;
    OnFactoryDefault(f->ctx);
    EXPECT_EQ(f->reader.Calls(), FactoryCalls({}));
    ExpectStatus(*f, "设置成功", Rgb{25, 150, 43});
  }
}

TEST(FactoryDefault, FailuresStopAndLeaveTheLinkAsTheyFindIt) {
  const InterfaceText t = DefaultInterfaceText();
  struct Case {
    const char* op;
    std::size_t calls;  // calls made, the failing one last
    std::string status;
    std::string message;
    bool linkOpen;
  };
  const Case cases[] = {
      {"OpenCom", 1, "连接失败", "", false},
      {"Handshake", 2, "配置失败", "", true},
      {"UhfSetWgOutByte", 8, "设置失败", t.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL, true},
      {"UhfSetOutPower", 13, "设置失败", t.MESSAGE_FACTORY_DEFAULT_FAIL, true},
  };
  const auto all = FactoryCalls({"UhfGetFrequencyRegion(255)",
                                 "UhfSetFrequencyRegionB(255,4,902000,926000,500,48)",
                                 "UhfSetOutPower(255,33)"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.op);
    auto f = MakeDialog(0);
    f->reader.FailOn(c.op);
    OnFactoryDefault(f->ctx);
    EXPECT_EQ(f->reader.Calls(), Prefix(all, c.calls));
    ExpectStatus(*f, c.status, Rgb{255, 0, 0});
    if (c.message.empty()) {
      EXPECT_THAT(f->surface.Messages(), IsEmpty());
    } else {
      EXPECT_THAT(MessageTexts(f->surface), ElementsAre(c.message));
    }
    EXPECT_EQ(f->linkOpen, c.linkOpen);
    EXPECT_EQ(f->reader.LinkOpen(), c.linkOpen);
  }
  // Calls whose failure does not stop it: every later default is still written, and the panel
  // ends red.
  for (const char* op : {"UhfFactoryDefault", "UhfSetAddress", "UhfSetWgIntervalTime",
                         "UhfSetTriggerTime", "UhfSetWeigand", "UhfSetPassword", "UhfSetWorkMode",
                         "UhfGetFrequencyRegion", "UhfSetFrequencyRegionB", "CloseCom"}) {
    SCOPED_TRACE(op);
    auto f = MakeDialog(0);
    f->reader.FailOn(op);
    OnFactoryDefault(f->ctx);
    auto expected = all;
    if (std::string(op) == "UhfGetFrequencyRegion") {
      expected.erase(std::find(expected.begin(), expected.end(),
                               "UhfSetFrequencyRegionB(255,4,902000,926000,500,48)"));
    }
    EXPECT_EQ(f->reader.Calls(), expected);
    EXPECT_THAT(f->surface.Messages(), IsEmpty());
    ExpectStatus(*f, "设置失败", Rgb{255, 0, 0});
  }
}

TEST(Disconnect, EndsTheExchangeAndClosesTheLink) {
  auto f = MakeDialog(2);
  OnConnect(f->ctx);
  f->reader.ClearCalls();
  f->reader.FailOn("Handshake");  // not looked at
  OnDisconnect(f->ctx);
  EXPECT_THAT(f->reader.Calls(), ElementsAre("Handshake(255,0)", "CloseCom()"));
  EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "Disconnected!");
  EXPECT_EQ(f->values.statusText, "Disconnected!");
  EXPECT_FALSE(f->linkOpen);
  EXPECT_FALSE(f->reader.LinkOpen());
  EXPECT_EQ(f->readerKind, 2);
}

TEST(Address, SetWritesTheEditedAddress) {
  auto f = MakeDialog(0);
  OnConnect(f->ctx);
  f->reader.ClearCalls();
  f->surface.Type(idc::ReaderAddress, " +7 ");
  f->surface.Type(idc::ReadTime, "\t9");
  OnSetAddress(f->ctx);
  EXPECT_THAT(f->reader.Calls(), ElementsAre("UhfSetAddress(255,7)"));
  EXPECT_EQ(f->reader.State().address, 7);
  EXPECT_THAT(f->surface.Messages(), IsEmpty());
  // The final refresh shows the values as they were taken.
  EXPECT_EQ(f->surface.GetText(idc::ReaderAddress), "7");
  EXPECT_EQ(f->surface.GetText(idc::ReadTime), "9");

  // A value outside the byte range is refused by the refresh, with its message, and nothing is
  // written.
  for (const char* refused : {"300", "999", "-1", ""}) {
    SCOPED_TRACE(refused);
    f->reader.ClearCalls();
    f->surface.ClearMessages();
    f->surface.Type(idc::ReaderAddress, refused);
    OnSetAddress(f->ctx);
    EXPECT_THAT(f->reader.Calls(), IsEmpty());
    ASSERT_EQ(f->surface.Messages().size(), 1u);
    EXPECT_EQ(f->surface.Messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(f->reader.State().address, 7);
  }

  f->surface.ClearMessages();
  f->reader.FailOn("UhfSetAddress");
  f->surface.Type(idc::ReaderAddress, "8");
  OnSetAddress(f->ctx);
  EXPECT_THAT(MessageTexts(f->surface), ElementsAre("Set Address Fail!"));
  EXPECT_EQ(f->reader.State().address, 7);
}

TEST(Address, GetShowsAddressAndVersionTogether) {
  auto f = MakeDialog(0);
  OnConnect(f->ctx);
  f->reader.ClearCalls();
  f->reader.State().address = 42;
  f->reader.State().version = "V9";
  OnGetAddress(f->ctx);
  EXPECT_THAT(f->reader.Calls(), ElementsAre("Get_Version(255)", "UhfGetAddress(255)"));
  EXPECT_EQ(f->surface.GetText(idc::ReaderAddress), "42");
  EXPECT_EQ(f->surface.GetText(idc::VersionLabel), "V9");
  EXPECT_THAT(f->surface.Messages(), IsEmpty());

  // A failed read of the address shows its message and leaves both controls as they were.
  f->reader.State().address = 43;
  f->reader.State().version = "V10";
  f->reader.FailOn("UhfGetAddress");
  OnGetAddress(f->ctx);
  EXPECT_THAT(MessageTexts(f->surface), ElementsAre("Get Address Fail!"));
  EXPECT_EQ(f->surface.GetText(idc::ReaderAddress), "42");
  EXPECT_EQ(f->surface.GetText(idc::VersionLabel), "V9");

  // A version that could not be read is shown empty, not as the one read before.
  f->reader.ClearFailures();
  f->surface.ClearMessages();
  f->reader.FailOn("Get_Version");
  OnGetAddress(f->ctx);
  EXPECT_EQ(f->surface.GetText(idc::ReaderAddress), "43");
  EXPECT_EQ(f->surface.GetText(idc::VersionLabel), "");

  // A refused refresh (a message was shown) stops it before any call.
  f->reader.ClearCalls();
  f->surface.Type(idc::OutputTime, "300");
  OnGetAddress(f->ctx);
  EXPECT_THAT(f->reader.Calls(), IsEmpty());
  EXPECT_EQ(f->surface.Messages().size(), 1u);
}

TEST(Status, ColoursTheWholeTextInCharacters) {
  DialogFixture f;
  const std::pair<std::string, int> texts[] = {{"连接失败", 4}, {"OK读取", 4}, {"", 0}, {"ab", 2}};
  for (const auto& [text, characters] : texts) {
    ShowStatus(f.ctx, text, kStatusRed);
    EXPECT_EQ(f.values.statusText, text);
    EXPECT_EQ(f.surface.GetText(idc::StatusPanel), text);
    ASSERT_EQ(f.surface.Colours(idc::StatusPanel).size(), 1u) << text;  // earlier colours gone
    EXPECT_EQ(f.surface.Colours(idc::StatusPanel)[0].end, characters) << text;
  }
}

}  // namespace
}  // namespace uhf::testing
