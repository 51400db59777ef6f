// Saving: the checks before any write, the writes in order, and where a failed write stops.

#include <functional>

#include "ReaderTestSupport.h"

namespace uhf::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A reader of this kind with a known configuration, read into the dialog; calls and messages
// cleared, so a test sees only the save.
std::unique_ptr<DialogFixture> AfterRead(std::uint8_t kind, bool etsi = false) {
  auto f = MakeDialog(kind, etsi);
  SimState& st = f->reader.State();
  st.buzzer = 1;
  st.workMode = 0;
  st.triggerTime = 1;
  st.wgIntervalTime = 2;
  st.weigand = 0x26;
  st.wgOutRecord = {1, 9, 3, 0};
  st.passwordEnabled = 0;
  st.password = {0x11, 0x22, 0x33, 0x44};
  st.readTagInterval = 5;
  st.address = 3;
  if (kind == 2) {
    st.outPower = 40;
    st.regionForm = 5;
    st.regionStart = 1;
    st.regionEnd = 63;
    st.regionStep = 0;
    st.regionCount = 0;
  } else {
    st.outPower = kind == 1 ? 20 : 30;
    st.regionForm = 4;
    st.regionStart = etsi ? 865000 : 902000;
    st.regionEnd = etsi ? 868000 : 926000;
    st.regionStep = 500;
    st.regionCount = etsi ? 6 : 48;
  }
  OnConnect(f->ctx);
  EXPECT_THAT(f->surface.Messages(), IsEmpty());
  f->reader.ClearCalls();
  return f;
}

// The writes of a save of AfterRead(0) unchanged.
const std::vector<std::string>& DefaultSaveCalls() {
  static const std::vector<std::string> calls = {
      "UhfSetWgIntervalTime(255,2)",
      "UhfSetBuzzer(255,1)",
      "UhfSetTriggerTime(255,1)",
      "UhfSetWorkMode(255,0)",
      "UhfSetWeigand(255,38)",
      "UhfSetWgOutByte(255,1,9,3,0)",
      "UhfSetWgIntervalTime(255,2)",
      "UhfSetPassword(255,0,17,34,51,68)",
      "UhfSetAddress(255,3)",
      "UhfSetReadTagIntervalTime(255,5)",
      "UhfSetFrequencyRegion(255,4,902000,926000,500,48)",
      "UhfSetOutPower(255,30)",
  };
  return calls;
}

std::size_t SaveCallIndex(const std::string& name) {
  const auto& calls = DefaultSaveCalls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].rfind(name + "(", 0) == 0) return i;
  }
  ADD_FAILURE() << "no call " << name << " in a save";
  return calls.size();
}

void UseSerialLink(MemorySurface& s) {
  s.SetCheck(idc::Usb, 0);
  s.SetCheck(idc::Com, 1);
}

TEST(Save, WritesWhatWasReadAndLeavesTheReaderAsItWas) {
  auto f = AfterRead(0);
  const SimState before = f->reader.State();
  OnSaveChanges(f->ctx);
  EXPECT_EQ(f->reader.Calls(), DefaultSaveCalls());
  EXPECT_THAT(f->surface.Messages(), IsEmpty());
  EXPECT_EQ(f->reader.State(), before);
  EXPECT_EQ(f->values.statusText, "Saved!");
  EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "Saved!");
  EXPECT_THAT(f->surface.Colours(idc::StatusPanel), IsEmpty());
}

// Checks that refuse the save before anything is written, in their order.
TEST(Save, ChecksRefuseBeforeAnyWrite) {
  const InterfaceText t = DefaultInterfaceText();
  struct Case {
    const char* what;
    std::uint8_t kind;
    std::function<void(MemorySurface&)> change;
    std::string message;
  };
  const Case cases[] = {
      {"output time 0", 0, [](MemorySurface& s) { s.Type(idc::OutputTime, "0"); },
       t.MESSAGE_OUTPUT_TIME_PARAMETER_ERROR},
      {"output time 21", 0, [](MemorySurface& s) { s.Type(idc::OutputTime, "21"); },
       t.MESSAGE_OUTPUT_TIME_PARAMETER_ERROR},
      {"power value 64", 0, [](MemorySurface& s) { s.Type(idc::PowerValue, "64"); },
       t.MESSAGE_POWER_PARAMETER_ERROR},
      {"read time 0", 0, [](MemorySurface& s) { s.Type(idc::ReadTime, "0"); },
       t.MESSAGE_READ_TIME_PARAMETER_ERROR},
      {"read time 255", 0, [](MemorySurface& s) { s.Type(idc::ReadTime, "255"); },
       t.MESSAGE_READ_TIME_PARAMETER_ERROR},
      {"end before start, kind 0", 0,
       [](MemorySurface& s) {
         s.ComboSetSel(idc::FreqStart, 10);
         s.ComboSetSel(idc::FreqEnd, 9);
       },
       t.MESSAGE_FREQ_ERROR},
      {"end before start, kind 1", 1,
       [](MemorySurface& s) {
         s.ComboSetSel(idc::FreqStart, 1);
         s.ComboSetSel(idc::FreqEnd, 0);
       },
       t.MESSAGE_FREQ_ERROR},
      {"end before start, kind 2", 2,
       [](MemorySurface& s) {
         s.ComboSetSel(idc::FreqStart, 9);
         s.ComboSetSel(idc::FreqEnd, 4);
       },
       t.MESSAGE_FREQ_ERROR},
      {"ETSI end beyond its list", 0,
       [](MemorySurface& s) {
         s.SetCheck(idc::Fcc, 0);
         s.SetCheck(idc::Etsi, 1);
         s.ComboSetSel(idc::FreqStart, 0);
         s.ComboSetSel(idc::FreqEnd, 7);  // the FCC list is still shown
       },
       t.MESSAGE_FREQ_ERROR},
      {"start byte 9 with 34", 0,
       [](MemorySurface& s) {
         s.SetCheck(idc::Wiegand26, 0);
         s.SetCheck(idc::Wiegand34, 1);
         s.ComboSetSel(idc::StartBytes, 9);
       },
       t.MESSAGE_START_BYTES_PARAMETER_ERROR},
      {"start byte 10 with 26", 0, [](MemorySurface& s) { s.ComboSetSel(idc::StartBytes, 10); },
       t.MESSAGE_START_BYTES_PARAMETER_ERROR},
      {"start 5 + length 8 on a serial link", 0,
       [](MemorySurface& s) {
         UseSerialLink(s);
         s.ComboSetSel(idc::StartBytes, 5);
         s.ComboSetSel(idc::Length, 7);
       },
       t.MESSAGE_LENGHT_BYTES_PARAMETER_ERROR},
      {"tag interval 256", 0, [](MemorySurface& s) { s.Type(idc::TagInterval, "256"); },
       t.MESSAGE_TAG_INTERVAL_PARAMETER_ERROR},
      {"tag interval 266", 2, [](MemorySurface& s) { s.Type(idc::TagInterval, "266"); },
       t.MESSAGE_TAG_INTERVAL_PARAMETER_ERROR},
      {"read time before tag interval", 0,
       [](MemorySurface& s) {
         s.Type(idc::TagInterval, "256");
         s.Type(idc::ReadTime, "255");
       },
       t.MESSAGE_READ_TIME_PARAMETER_ERROR},
      {"start byte before tag interval", 0,
       [](MemorySurface& s) {
         s.Type(idc::TagInterval, "256");
         s.ComboSetSel(idc::StartBytes, 11);
       },
       t.MESSAGE_START_BYTES_PARAMETER_ERROR},
      {"no frequency selected", 0, [](MemorySurface& s) { s.ComboSetSel(idc::FreqStart, -1); },
       t.MESSAGE_FREQ_ERROR},
      {"no channel selected", 2, [](MemorySurface& s) { s.ComboSetSel(idc::FreqEnd, -1); },
       t.MESSAGE_FREQ_ERROR},
      {"no power selected", 1, [](MemorySurface& s) { s.ComboSetSel(idc::Power, -1); },
       t.MESSAGE_POWER_PARAMETER_ERROR},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto f = AfterRead(c.kind);
    c.change(f->surface);
    OnSaveChanges(f->ctx);
    EXPECT_THAT(f->reader.Calls(), IsEmpty());
    EXPECT_THAT(MessageTexts(f->surface), ElementsAre(c.message));
    EXPECT_EQ(f->values.statusText, "读取成功");
  }
}

// Values at the edge of each check pass, and what they change in the writes.
TEST(Save, BoundaryValuesPass) {
  struct Case {
    const char* what;
    std::function<void(MemorySurface&)> change;
    std::vector<std::pair<std::string, std::string>> replaced;  // call name, expected call
    std::vector<std::string> removed;                           // call names not made
  };
  const Case cases[] = {
      {"output time 20",
       [](MemorySurface& s) { s.Type(idc::OutputTime, "20"); },
       {{"UhfSetWgIntervalTime", "UhfSetWgIntervalTime(255,20)"}},
       {}},
      {"read time 254",
       [](MemorySurface& s) { s.Type(idc::ReadTime, "254"); },
       {{"UhfSetTriggerTime", "UhfSetTriggerTime(255,254)"}},
       {}},
      {"power value 63", [](MemorySurface& s) { s.Type(idc::PowerValue, "63"); }, {}, {}},
      {"tag interval 255",
       [](MemorySurface& s) { s.Type(idc::TagInterval, "255"); },
       {{"UhfSetReadTagIntervalTime", "UhfSetReadTagIntervalTime(255,255)"}},
       {}},
      {"26 with start byte 9 writes the fixed record",
       [](MemorySurface& s) {
         s.ComboSetSel(idc::StartBytes, 9);
         s.SetCheck(idc::InvertedOutput, 1);
       },
       {},
       {}},
      {"34 with start byte 8",
       [](MemorySurface& s) {
         s.SetCheck(idc::Wiegand26, 0);
         s.SetCheck(idc::Wiegand34, 1);
         s.ComboSetSel(idc::StartBytes, 8);
       },
       {{"UhfSetWeigand", "UhfSetWeigand(255,52)"},
        {"UhfSetWgOutByte", "UhfSetWgOutByte(255,1,8,4,0)"}},
       {}},
      {"serial link, start 5 + length 7",
       [](MemorySurface& s) {
         UseSerialLink(s);
         s.ComboSetSel(idc::StartBytes, 5);
         s.ComboSetSel(idc::Length, 6);
       },
       {{"UhfSetWgOutByte", "UhfSetWgOutByte(255,1,0,7,0)"}},
       {"UhfSetWeigand"}},
      {"serial link without a length",
       [](MemorySurface& s) { UseSerialLink(s); },
       {{"UhfSetWgOutByte", "UhfSetWgOutByte(255,1,0,0,0)"}},
       {"UhfSetWeigand"}},
      {"read by trigger",
       [](MemorySurface& s) {
         s.SetCheck(idc::ReadAlways, 0);
         s.SetCheck(idc::ReadByTrigger, 1);
       },
       {{"UhfSetWorkMode", "UhfSetWorkMode(255,1)"}},
       {}},
      {"no work mode chosen",
       [](MemorySurface& s) { s.SetCheck(idc::ReadAlways, 0); },
       {},
       {"UhfSetWorkMode"}},
      {"buzzer off",
       [](MemorySurface& s) { s.SetCheck(idc::Buzzer, 0); },
       {{"UhfSetBuzzer", "UhfSetBuzzer(255,0)"}},
       {}},
      {"password on, upper-case text",
       [](MemorySurface& s) {
         s.SetCheck(idc::PasswordNo, 0);
         s.SetCheck(idc::PasswordYes, 1);
         s.Type(idc::Password, "7C1E94B2");
       },
       {{"UhfSetPassword", "UhfSetPassword(255,1,124,30,148,178)"}},
       {}},
      {"short password",
       [](MemorySurface& s) { s.Type(idc::Password, "ab"); },
       {{"UhfSetPassword", "UhfSetPassword(255,0,171,0,0,0)"}},
       {}},
      {"FCC items 2 to 10, power 7",
       [](MemorySurface& s) {
         s.ComboSetSel(idc::FreqStart, 2);
         s.ComboSetSel(idc::FreqEnd, 10);
         s.ComboSetSel(idc::Power, 7);
       },
       {{"UhfSetFrequencyRegion", "UhfSetFrequencyRegion(255,4,903000,907000,500,8)"},
        {"UhfSetOutPower", "UhfSetOutPower(255,7)"}},
       {}},
      {"start equals end",
       [](MemorySurface& s) { s.ComboSetSel(idc::FreqEnd, 0); },
       {{"UhfSetFrequencyRegion", "UhfSetFrequencyRegion(255,4,902000,902000,500,0)"}},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto f = AfterRead(0);
    c.change(f->surface);
    OnSaveChanges(f->ctx);
    std::vector<std::string> expected;
    for (const auto& call : DefaultSaveCalls()) {
      const std::string name = call.substr(0, call.find('('));
      if (std::find(c.removed.begin(), c.removed.end(), name) != c.removed.end()) continue;
      std::string made = call;
      for (const auto& [replacedName, replacement] : c.replaced) {
        if (replacedName == name) made = replacement;
      }
      expected.push_back(made);
    }
    EXPECT_EQ(f->reader.Calls(), expected);
    EXPECT_THAT(f->surface.Messages(), IsEmpty());
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "Saved!");
  }
}

TEST(Save, FrequencyAndPowerByReaderKind) {
  {
    auto f = AfterRead(2);
    f->surface.ComboSetSel(idc::FreqStart, 0);
    f->surface.ComboSetSel(idc::FreqEnd, 62);
    OnSaveChanges(f->ctx);
    const auto& calls = f->reader.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_THAT(std::vector<std::string>(calls.end() - 2, calls.end()),
                ElementsAre("UhfSetFrequencyRegion(255,5,1,63,0,0)", "UhfSetOutPower(255,40)"));
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "Saved!");
  }
  {
    // A reader of the ETSI band: the read checked ETSI, the save turns its items into 865000 +
    // 500 x item.
    auto f = AfterRead(0, true);
    EXPECT_EQ(f->surface.GetCheck(idc::Etsi), 1);
    f->surface.ComboSetSel(idc::FreqStart, 1);
    f->surface.ComboSetSel(idc::FreqEnd, 6);
    OnSaveChanges(f->ctx);
    EXPECT_THAT(f->reader.Calls(),
                ::testing::Contains("UhfSetFrequencyRegion(255,4,865500,868000,500,5)"));
    EXPECT_EQ(f->reader.State().regionStart, 865500);
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "Saved!");
  }
  {
    auto f = AfterRead(1);
    f->surface.ComboSetSel(idc::Power, 2);
    OnSaveChanges(f->ctx);
    EXPECT_EQ(f->reader.Calls().back(), "UhfSetOutPower(255,20)");
    EXPECT_EQ(f->reader.State().outPower, 20);
  }
  {
    // An unknown kind writes the frequency range but no power.
    auto f = AfterRead(0);
    f->readerKind = 3;
    OnSaveChanges(f->ctx);
    EXPECT_EQ(f->reader.Calls().back(), "UhfSetFrequencyRegion(255,4,902000,926000,500,48)");
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "Saved!");
  }
}

// Tested writes stop the save with their message; what was written before stays. The panel
// shows the first failed write's message in red.
TEST(Save, FailedWritesStop) {
  const InterfaceText t = DefaultInterfaceText();
  struct Case {
    const char* op;
    std::uint8_t kind;
    std::string message;
  };
  const Case cases[] = {
      {"UhfSetWgOutByte", 0, t.MESSAGE_SET_WIEGAND_OUTPUT_SETTINGS_FAIL},
      {"UhfSetAddress", 0, t.MESSAGE_SET_ADDRESS_FAIL},
      {"UhfSetFrequencyRegion", 0, t.MESSAGE_GET_FREQUENCY_REGION_FAIL},
      {"UhfSetFrequencyRegion", 2, t.MESSAGE_GET_FREQUENCY_REGION_FAIL},
      {"UhfSetOutPower", 0, t.MESSAGE_GET_OUTPOWER_FAIL},
      {"UhfSetOutPower", 2, t.MESSAGE_GET_OUTPOWER_FAIL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.op << " kind " << int(c.kind));
    auto f = AfterRead(c.kind);
    f->reader.FailOn(c.op);
    OnSaveChanges(f->ctx);
    const auto& calls = f->reader.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().substr(0, calls.back().find('(')), c.op);
    if (c.kind == 0) {
      EXPECT_EQ(calls, Prefix(DefaultSaveCalls(), SaveCallIndex(c.op) + 1));
    }
    EXPECT_THAT(MessageTexts(f->surface), ElementsAre(c.message));
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), c.message);
    ASSERT_EQ(f->surface.Colours(idc::StatusPanel).size(), 1u);
    EXPECT_EQ(f->surface.Colours(idc::StatusPanel)[0].colour, kStatusRed);
    EXPECT_TRUE(f->reader.LinkOpen());
  }
  // Untested writes go on when they fail, and the save ends red instead of "Saved!".
  for (const char* op :
       {"UhfSetWgIntervalTime", "UhfSetBuzzer", "UhfSetTriggerTime", "UhfSetWorkMode",
        "UhfSetWeigand", "UhfSetPassword", "UhfSetReadTagIntervalTime"}) {
    SCOPED_TRACE(op);
    auto f = AfterRead(0);
    f->reader.FailOn(op);
    OnSaveChanges(f->ctx);
    EXPECT_EQ(f->reader.Calls(), DefaultSaveCalls());
    EXPECT_THAT(f->surface.Messages(), IsEmpty());
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), t.MESSAGE_SET_PARAMETER_FAIL);
    ASSERT_EQ(f->surface.Colours(idc::StatusPanel).size(), 1u);
    EXPECT_EQ(f->surface.Colours(idc::StatusPanel)[0].colour, kStatusRed);
  }
  // The first failure names the panel's message, a later tested one its message box.
  auto f = AfterRead(0);
  f->reader.FailOn("UhfSetBuzzer");
  f->reader.FailOn("UhfSetAddress");
  OnSaveChanges(f->ctx);
  EXPECT_EQ(f->reader.Calls(), Prefix(DefaultSaveCalls(), SaveCallIndex("UhfSetAddress") + 1));
  EXPECT_THAT(MessageTexts(f->surface), ElementsAre(t.MESSAGE_SET_ADDRESS_FAIL));
  EXPECT_EQ(f->surface.GetText(idc::StatusPanel), t.MESSAGE_SET_PARAMETER_FAIL);
}

// The controls must show a complete read of the reader the link is open to; otherwise nothing is
// written and the operator is asked to read first.
TEST(Save, WritesOnlyWhatAReadOfTheConnectedReaderShowed) {
  const InterfaceText t = DefaultInterfaceText();
  const auto expectRefused = [&](DialogFixture& f) {
    f.reader.ClearCalls();
    f.surface.ClearMessages();
    OnSaveChanges(f.ctx);
    EXPECT_THAT(f.reader.Calls(), IsEmpty());
    EXPECT_THAT(MessageTexts(f.surface), ElementsAre(t.MESSAGE_READ_FIRST));
  };
  {
    SCOPED_TRACE("no read");
    auto f = MakeDialog(0);
    expectRefused(*f);
  }
  {
    // A reader of kind 0 read, then a reader of kind 2 reset: the controls still show the first
    // reader's plan and power, which the second cannot take.
    SCOPED_TRACE("after a factory default");
    auto f = AfterRead(0);
    f->reader.State().readerKind = 2;
    OnFactoryDefault(f->ctx);
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "设置成功");
    expectRefused(*f);
  }
  {
    SCOPED_TRACE("after a disconnect");
    auto f = AfterRead(0);
    OnDisconnect(f->ctx);
    expectRefused(*f);
  }
  for (const char* op : {"Get_SerNum", "UhfGetAddress", "OpenCom"}) {
    SCOPED_TRACE(std::string("after a read where this failed: ") + op);
    auto f = AfterRead(0);
    f->reader.FailOn(op);
    OnConnect(f->ctx);
    f->reader.ClearFailures();
    expectRefused(*f);
  }
  {
    // A complete read makes the save possible again, also after a save.
    auto f = AfterRead(0);
    OnSaveChanges(f->ctx);
    f->reader.ClearCalls();
    OnSaveChanges(f->ctx);
    EXPECT_EQ(f->reader.Calls(), DefaultSaveCalls());
  }
}

// A value the refresh refuses (its range message was shown) stops the save before any write.
TEST(Save, ARefusedValueWritesNothing) {
  for (const auto& [control, text] :
       std::vector<std::pair<int, std::string>>{{idc::OutputTime, "300"},
                                                {idc::ReaderAddress, "999"},
                                                {idc::ReadTime, "abc"},
                                                {idc::TagInterval, "267"}}) {
    SCOPED_TRACE(text);
    auto f = AfterRead(0);
    f->surface.Type(control, text);
    f->surface.ClearMessages();
    OnSaveChanges(f->ctx);
    EXPECT_THAT(f->reader.Calls(), IsEmpty());
    ASSERT_EQ(f->surface.Messages().size(), 1u);
    EXPECT_EQ(f->surface.Messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_NE(f->surface.GetText(idc::StatusPanel), "Saved!");
  }
}

// With several checks failing, the first in order speaks: removing the failures one by one, in
// that order, brings each next message.
TEST(Save, ChecksComeInTheirOrder) {
  const InterfaceText t = DefaultInterfaceText();
  auto f = AfterRead(0);
  MemorySurface& s = f->surface;
  s.Type(idc::OutputTime, "0");
  s.Type(idc::PowerValue, "64");
  s.Type(idc::ReadTime, "255");
  s.ComboSetSel(idc::FreqStart, 10);
  s.ComboSetSel(idc::FreqEnd, 9);
  s.ComboSetSel(idc::StartBytes, 10);
  s.Type(idc::TagInterval, "256");
  const std::vector<std::pair<std::string, std::function<void()>>> steps = {
      {t.MESSAGE_OUTPUT_TIME_PARAMETER_ERROR, [&] { s.Type(idc::OutputTime, "2"); }},
      {t.MESSAGE_POWER_PARAMETER_ERROR, [&] { s.Type(idc::PowerValue, "0"); }},
      {t.MESSAGE_READ_TIME_PARAMETER_ERROR, [&] { s.Type(idc::ReadTime, "1"); }},
      {t.MESSAGE_FREQ_ERROR, [&] { s.ComboSetSel(idc::FreqEnd, 10); }},
      {t.MESSAGE_START_BYTES_PARAMETER_ERROR, [&] { s.ComboSetSel(idc::StartBytes, 9); }},
      {t.MESSAGE_TAG_INTERVAL_PARAMETER_ERROR, [&] { s.Type(idc::TagInterval, "5"); }},
  };
  for (const auto& [message, mend] : steps) {
    SCOPED_TRACE(message);
    s.ClearMessages();
    OnSaveChanges(f->ctx);
    EXPECT_THAT(f->reader.Calls(), IsEmpty());
    EXPECT_THAT(MessageTexts(s), ElementsAre(message));
    mend();
  }
  s.ClearMessages();
  OnSaveChanges(f->ctx);
  EXPECT_THAT(s.Messages(), IsEmpty());
  EXPECT_EQ(s.GetText(idc::StatusPanel), "Saved!");
}

}  // namespace
}  // namespace uhf::testing
