// Connecting and reading the configuration: the driver calls made, what the controls show and
// where a failure stops the read.

#include <functional>

#include "ReaderTestSupport.h"

namespace uhf::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(Connect, ReadsEveryParameterIntoItsControl) {
  auto f = MakeDialog(0);
  SimState& st = f->reader.State();
  st.buzzer = 0;
  st.workMode = 1;
  st.triggerTime = 7;
  st.wgIntervalTime = 3;
  st.wgOutRecord = {1, 4, 2, 7};
  st.weigand = 0x34;
  st.passwordEnabled = 1;
  st.password = {0x7C, 0x1E, 0x94, 0xB2};
  st.readTagInterval = 120;
  st.outPower = 20;
  st.address = 9;
  st.serial = {0x00, 0x0A, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  st.version = "V1.0";
  st.regionStart = 865000;
  st.regionEnd = 868000;
  st.regionCount = 6;
  f->surface.SetCheck(idc::Wiegand26, 1);
  f->surface.SetCheck(idc::Fcc, 1);

  OnConnect(f->ctx);

  const MemorySurface& s = f->surface;
  EXPECT_EQ(f->reader.Calls(), UsbReadCalls());
  EXPECT_THAT(s.Messages(), IsEmpty());
  EXPECT_EQ(s.GetText(idc::StatusPanel), "读取成功");
  EXPECT_EQ(f->values.statusText, "读取成功");
  ASSERT_EQ(s.Colours(idc::StatusPanel).size(), 1u);
  EXPECT_EQ(s.Colours(idc::StatusPanel)[0].start, 0);
  EXPECT_EQ(s.Colours(idc::StatusPanel)[0].end, 4);  // characters, not bytes
  EXPECT_EQ(s.Colours(idc::StatusPanel)[0].colour, (Rgb{25, 150, 43}));
  EXPECT_EQ(s.GetCheck(idc::Buzzer), 0);
  EXPECT_EQ(s.GetCheck(idc::ReadByTrigger), 1);
  EXPECT_EQ(s.GetCheck(idc::ReadAlways), 0);
  EXPECT_EQ(s.GetText(idc::ReadTime), "7");
  EXPECT_EQ(s.GetText(idc::OutputTime), "3");
  EXPECT_EQ(s.GetCheck(idc::InvertedOutput), 1);
  EXPECT_EQ(s.GetCheck(idc::ForwardOutput), 0);
  EXPECT_EQ(s.ComboCount(idc::StartBytes), 12);
  EXPECT_EQ(s.ComboItem(idc::StartBytes, 11), "11");
  EXPECT_EQ(s.GetText(idc::StartBytes), "4");
  EXPECT_EQ(s.GetCheck(idc::Wiegand34), 1);
  EXPECT_EQ(s.GetCheck(idc::Wiegand26), 0);
  EXPECT_EQ(s.ComboGetSel(idc::Length), -1);  // the length is shown only for other links
  EXPECT_EQ(s.GetCheck(idc::PasswordYes), 1);
  EXPECT_EQ(s.GetCheck(idc::PasswordNo), 0);
  EXPECT_EQ(s.GetText(idc::Password), "7c1e94b2");
  EXPECT_EQ(f->values.checkPassword, "7c1e94b2");
  // The interval reaches the bound value through the edit's change and survives the last refresh.
  EXPECT_EQ(s.GetText(idc::TagInterval), "120");
  EXPECT_EQ(f->values.tagInterval, 120u);
  EXPECT_EQ(s.ComboCount(idc::Power), 34);
  EXPECT_EQ(s.GetText(idc::Power), "20");
  EXPECT_EQ(s.GetText(idc::VersionLabel), "V1.0");
  EXPECT_EQ(s.GetText(idc::SerialNumberLabel), "SN:000aff010203040506070809");
  EXPECT_EQ(s.GetText(idc::ReaderAddress), "9");
  EXPECT_EQ(f->values.readerAddress, 9);
  EXPECT_EQ(s.GetCheck(idc::Etsi), 1);
  EXPECT_EQ(s.GetCheck(idc::Fcc), 0);
  EXPECT_EQ(s.ComboCount(idc::FreqStart), 7);
  EXPECT_EQ(s.GetText(idc::FreqStart), "865000");
  EXPECT_EQ(s.GetText(idc::FreqEnd), "868000");
  EXPECT_TRUE(f->linkOpen);
  EXPECT_TRUE(f->reader.LinkOpen());
}

TEST(Connect, ReaderKindDecidesPowerListAndFrequencyForm) {
  struct Case {
    std::uint8_t kind;
    std::uint8_t power;
    std::vector<std::string> powerEnds;  // first and last item
    std::string powerShown;
    int freqItems;
    std::string freqStartShown;
    std::string freqEndShown;
  };
  const Case cases[] = {
      {0, 33, {"0", "33"}, "33", 53, "902000", "926000"},
      {1, 26, {"18", "26"}, "26", 53, "902000", "926000"},
      {1, 20, {"18", "26"}, "20", 53, "902000", "926000"},
      {2, 63, {"0", "63"}, "63", 63, "01--902600", "63--927400"},
  };
  for (const auto& c : cases) {
    auto f = MakeDialog(c.kind);
    SimState& st = f->reader.State();
    st.outPower = c.power;
    if (c.kind == 2) {
      st.regionForm = 5;
      st.regionStart = 1;
      st.regionEnd = 63;
      st.regionStep = 0;
      st.regionCount = 0;
    } else {
      st.regionForm = 4;
      st.regionStart = 902000;
      st.regionEnd = 926000;
      st.regionStep = 500;
      st.regionCount = 48;
    }
    OnConnect(f->ctx);
    SCOPED_TRACE(::testing::Message() << "kind " << int(c.kind) << " power " << int(c.power));
    const MemorySurface& s = f->surface;
    EXPECT_EQ(f->readerKind, c.kind);
    const int n = s.ComboCount(idc::Power);
    EXPECT_EQ(
        (std::vector<std::string>{s.ComboItem(idc::Power, 0), s.ComboItem(idc::Power, n - 1)}),
        c.powerEnds);
    EXPECT_EQ(s.GetText(idc::Power), c.powerShown);
    EXPECT_EQ(s.ComboCount(idc::FreqStart), c.freqItems);
    EXPECT_EQ(s.GetText(idc::FreqStart), c.freqStartShown);
    EXPECT_EQ(s.GetText(idc::FreqEnd), c.freqEndShown);
    EXPECT_EQ(s.GetCheck(idc::Fcc), c.kind == 2 ? 0 : 1);
  }
}

TEST(Connect, ChoicesReadFromTheReader) {
  struct Case {
    const char* what;
    std::function<void(SimState&)> set;
    int checked;    // control expected checked
    int unchanged;  // control expected clear
  };
  const Case cases[] = {
      {"work mode 0", [](SimState& st) { st.workMode = 0; }, idc::ReadAlways, idc::ReadByTrigger},
      {"work mode 2", [](SimState& st) { st.workMode = 2; }, idc::ReadAlways, idc::ReadByTrigger},
      {"forward", [](SimState& st) { st.wgOutRecord[3] = 0; }, idc::ForwardOutput,
       idc::InvertedOutput},
      {"password off", [](SimState& st) { st.passwordEnabled = 0; }, idc::PasswordNo,
       idc::PasswordYes},
      {"password flag 2", [](SimState& st) { st.passwordEnabled = 2; }, idc::PasswordYes,
       idc::PasswordNo},
      {"format 0x26", [](SimState& st) { st.weigand = 0x26; }, idc::Wiegand26, idc::Wiegand34},
  };
  for (const auto& c : cases) {
    auto f = MakeDialog(0);
    c.set(f->reader.State());
    // The opposite state beforehand, so the read must change both controls.
    f->surface.SetCheck(c.checked, 0);
    f->surface.SetCheck(c.unchanged, 1);
    OnConnect(f->ctx);
    EXPECT_EQ(f->surface.GetCheck(c.checked), 1) << c.what;
    EXPECT_EQ(f->surface.GetCheck(c.unchanged), 0) << c.what;
  }
  // An unknown format leaves both format radios as they were; a nonzero buzzer checks the box.
  auto f = MakeDialog(0);
  f->reader.State().weigand = 0x99;
  f->reader.State().buzzer = 5;
  f->surface.SetCheck(idc::Wiegand34, 1);
  OnConnect(f->ctx);
  EXPECT_EQ(f->surface.GetCheck(idc::Wiegand34), 0);
  EXPECT_EQ(f->surface.GetCheck(idc::Wiegand26), 0);
  EXPECT_EQ(f->surface.GetCheck(idc::Buzzer), 1);
}

// Every tested failure of the read: where it stops, what it shows and whether the link stays.
// The panel ends red in every case.
TEST(Connect, TestedFailuresStopTheRead) {
  const InterfaceText texts = DefaultInterfaceText();
  struct Case {
    const char* op;
    std::string status;   // status panel text, red
    std::string message;  // message box text; empty when none is shown
    bool linkOpen;
  };
  const Case cases[] = {
      {"OpenCom", "连接失败", "", false},
      {"Handshake", "配置失败", "", false},
      {"UhfGetWgOutByte", "读取失败", texts.MESSAGE_GET_WIEGAND_OUTPUT_SETTINGS_FAIL, true},
      {"UhfGetOutPower", "读取失败", texts.MESSAGE_GET_OUTPOWER_FAIL, true},
      {"UhfGetAddress", "读取失败", texts.MESSAGE_GET_ADDRESS_FAIL, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.op);
    auto f = MakeDialog(0);
    f->reader.FailOn(c.op);
    OnConnect(f->ctx);
    auto expected = Prefix(UsbReadCalls(), ReadCallIndex(c.op) + 1);
    if (std::string(c.op) == "Handshake") expected.push_back("CloseCom()");
    EXPECT_EQ(f->reader.Calls(), expected);
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), c.status);
    ASSERT_EQ(f->surface.Colours(idc::StatusPanel).size(), 1u);
    EXPECT_EQ(f->surface.Colours(idc::StatusPanel)[0].colour, (Rgb{255, 0, 0}));
    EXPECT_EQ(f->surface.Colours(idc::StatusPanel)[0].end, 4);
    EXPECT_FALSE(f->controlsFromRead);
    if (c.message.empty()) {
      EXPECT_THAT(f->surface.Messages(), IsEmpty());
    } else {
      ASSERT_EQ(f->surface.Messages().size(), 1u);
      EXPECT_EQ(f->surface.Messages()[0].text, c.message);
      EXPECT_EQ(f->surface.Messages()[0].caption, kAppTitle);
      EXPECT_EQ(f->surface.Messages()[0].buttons, MessageButtons::Ok);
      EXPECT_EQ(f->surface.Messages()[0].icon, MessageIcon::None);
    }
    EXPECT_EQ(f->linkOpen, c.linkOpen);
    EXPECT_EQ(f->reader.LinkOpen(), c.linkOpen);
  }
}

TEST(Connect, StopAtTheAddressLeavesVersionAndSerialUnshown) {
  auto f = MakeDialog(0);
  f->reader.FailOn("UhfGetAddress");
  OnConnect(f->ctx);
  EXPECT_EQ(f->surface.GetText(idc::VersionLabel), "");
  EXPECT_EQ(f->surface.GetText(idc::SerialNumberLabel), "");
  // What came before the stop stays: the power list was refilled for the reader's level.
  EXPECT_EQ(f->surface.GetText(idc::Power), std::to_string(f->reader.State().outPower));
}

// The controls as a read of another reader left them: every value the read shows is set.
void ShowAnEarlierReader(MemorySurface& s) {
  s.SetCheck(idc::Buzzer, 1);
  s.SetCheck(idc::ReadByTrigger, 1);
  s.SetText(idc::ReadTime, "77");
  s.SetText(idc::OutputTime, "7");
  s.SetCheck(idc::Wiegand34, 1);
  s.SetCheck(idc::PasswordYes, 1);
  s.SetText(idc::Password, "77777777");
  s.SetText(idc::TagInterval, "77");
  s.SetText(idc::VersionLabel, "V-EARLIER");
  s.SetText(idc::SerialNumberLabel, "SN:earlier");
  s.SetText(idc::ReaderAddress, "77");
  s.SetCheck(idc::Etsi, 1);
  s.ComboAdd(idc::FreqStart, "865000");
  s.ComboSetSel(idc::FreqStart, 0);
}

// An untested read that fails does not stop the read, ends it red and leaves its value empty,
// never the earlier reader's; every other value is this reader's.
TEST(Connect, UntestedFailuresEndRedAndShowTheirValueEmpty) {
  struct Case {
    const char* op;
    std::function<bool(const MemorySurface&)> empty;
  };
  const Case cases[] = {
      {"UhfGetBuzzer", [](const MemorySurface& s) { return s.GetCheck(idc::Buzzer) == 0; }},
      {"UhfGetWorkMode",
       [](const MemorySurface& s) {
         return s.GetCheck(idc::ReadAlways) == 0 && s.GetCheck(idc::ReadByTrigger) == 0;
       }},
      {"UhfGetTriggerTime",
       [](const MemorySurface& s) { return s.GetText(idc::ReadTime).empty(); }},
      {"UhfGetWgIntervalTime",
       [](const MemorySurface& s) { return s.GetText(idc::OutputTime).empty(); }},
      {"UhfGetWeigand",
       [](const MemorySurface& s) {
         return s.GetCheck(idc::Wiegand26) == 0 && s.GetCheck(idc::Wiegand34) == 0;
       }},
      {"UhfGetPassword",
       [](const MemorySurface& s) {
         return s.GetText(idc::Password).empty() && s.GetCheck(idc::PasswordYes) == 0 &&
                s.GetCheck(idc::PasswordNo) == 0;
       }},
      {"UhfGetReadTagIntervalTime",
       [](const MemorySurface& s) { return s.GetText(idc::TagInterval).empty(); }},
      {"Get_Version", [](const MemorySurface& s) { return s.GetText(idc::VersionLabel).empty(); }},
      {"Get_SerNum",
       [](const MemorySurface& s) { return s.GetText(idc::SerialNumberLabel).empty(); }},
      {"UhfGetFrequencyRegion",
       [](const MemorySurface& s) {
         return s.GetCheck(idc::Fcc) == 0 && s.GetCheck(idc::Etsi) == 0 &&
                s.ComboCount(idc::FreqStart) == 0 && s.ComboCount(idc::FreqEnd) == 0;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.op);
    auto f = MakeDialog(0);
    ShowAnEarlierReader(f->surface);
    f->reader.FailOn(c.op);
    OnConnect(f->ctx);
    EXPECT_EQ(f->reader.Calls(), UsbReadCalls());
    EXPECT_THAT(f->surface.Messages(), IsEmpty());
    EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "读取失败");
    ASSERT_EQ(f->surface.Colours(idc::StatusPanel).size(), 1u);
    EXPECT_EQ(f->surface.Colours(idc::StatusPanel)[0].colour, (Rgb{255, 0, 0}));
    EXPECT_FALSE(f->controlsFromRead);
    EXPECT_TRUE(c.empty(f->surface));
    // The values of the calls that succeeded are shown: one of each kind of control.
    for (const auto& other : cases) {
      if (&other != &c) {
        EXPECT_FALSE(other.empty(f->surface)) << other.op;
      }
    }
  }
}

// A read that stops shows nothing of the earlier reader either: what it never asked for is empty.
TEST(Connect, AStoppedReadShowsNothingOfTheEarlierReader) {
  auto f = MakeDialog(0);
  ShowAnEarlierReader(f->surface);
  f->reader.FailOn("UhfGetWgOutByte");
  OnConnect(f->ctx);
  MemorySurface& s = f->surface;
  // Read before the stop: this reader's values.
  EXPECT_EQ(s.GetCheck(idc::Buzzer), 1);
  EXPECT_EQ(s.GetCheck(idc::ReadAlways), 1);
  EXPECT_EQ(s.GetText(idc::ReadTime), "1");
  // Not read: empty.
  EXPECT_EQ(s.GetCheck(idc::Wiegand34), 0);
  EXPECT_EQ(s.GetCheck(idc::PasswordYes), 0);
  EXPECT_EQ(s.GetText(idc::Password), "");
  EXPECT_EQ(s.GetText(idc::TagInterval), "");
  EXPECT_EQ(s.GetText(idc::VersionLabel), "");
  EXPECT_EQ(s.GetText(idc::SerialNumberLabel), "");
  EXPECT_EQ(s.GetText(idc::ReaderAddress), "");
  EXPECT_EQ(s.ComboCount(idc::StartBytes), 0);
  EXPECT_EQ(s.ComboCount(idc::Power), 0);
  EXPECT_EQ(s.ComboCount(idc::FreqStart), 0);
  EXPECT_EQ(s.GetCheck(idc::Etsi), 0);

  // The next read, with every call succeeding, is not held up by the empty edits.
  f->reader.ClearFailures();
  f->reader.ClearCalls();
  s.ClearMessages();
  OnConnect(f->ctx);
  EXPECT_THAT(s.Messages(), IsEmpty());
  EXPECT_EQ(s.GetText(idc::StatusPanel), "读取成功");
  EXPECT_EQ(s.GetText(idc::ReaderAddress), "0");
  EXPECT_TRUE(f->controlsFromRead);
}

// A link that cannot be opened shows none of an earlier reader's values.
TEST(Connect, AFailedOpenEmptiesTheEarlierReadersValues) {
  auto f = MakeDialog(0);
  ShowAnEarlierReader(f->surface);
  f->reader.FailOn("OpenCom");
  OnConnect(f->ctx);
  EXPECT_EQ(f->surface.GetText(idc::ReadTime), "");
  EXPECT_EQ(f->surface.GetText(idc::VersionLabel), "");
  EXPECT_EQ(f->surface.GetCheck(idc::Buzzer), 0);
  EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "连接失败");
}

TEST(Connect, NetworkLink) {
  auto f = MakeDialog(0);
  f->surface.SetCheck(idc::Usb, 0);
  f->surface.SetCheck(idc::TcpUdp, 1);
  f->surface.IpSetAddress(idc::HostIp, "10.0.0.5");
  f->surface.Type(idc::HostPort, "4001");
  f->reader.State().wgOutRecord = {1, 2, 3, 0};
  f->surface.SetCheck(idc::Wiegand26, 1);
  f->reader.FailOn("Net_Connect", 1, 1);
  OnConnect(f->ctx);
  EXPECT_THAT(f->reader.Calls(),
              ElementsAre("Net_Connect(\"10.0.0.5\",4001,\"192.168.1.250\",27001)"));
  EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "连接失败");
  EXPECT_FALSE(f->linkOpen);

  // Second try succeeds; a blank host address goes as zeros; no format is read over this link,
  // the length is shown instead and both format radios are cleared.
  f->reader.ClearCalls();
  f->surface.IpSetAddress(idc::HostIp, "");
  OnConnect(f->ctx);
  std::vector<std::string> expected = UsbReadCalls();
  expected[0] = "Net_Connect(\"0.0.0.0\",4001,\"192.168.1.250\",27001)";
  expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(ReadCallIndex("UhfGetWeigand")));
  EXPECT_EQ(f->reader.Calls(), expected);
  EXPECT_EQ(f->surface.GetText(idc::Length), "3");
  EXPECT_EQ(f->surface.GetCheck(idc::Wiegand26), 0);
  EXPECT_EQ(f->surface.GetCheck(idc::Wiegand34), 0);
  EXPECT_TRUE(f->linkOpen);
}

TEST(Connect, SerialLinkPortBaudAndLength) {
  struct Case {
    std::string port;
    int baudItem;
    std::uint8_t length;
    std::string openCall;
    int lengthSel;
  };
  const Case cases[] = {
      {"COM3", 1, 3, "OpenCom(2,19200)", 2},
      {"COM12", -1, 12, "OpenCom(11,9600)", 11},
      {"COM1", 3, 0, "OpenCom(0,57600)", -1},  // length 0 selects nothing
      {"COM4", 4, 13, "OpenCom(3,115200)", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.openCall);
    auto f = MakeDialog(0);
    f->surface.SetCheck(idc::Usb, 0);
    f->surface.SetCheck(idc::Com, 1);
    f->surface.ComboAdd(idc::ComPort, c.port);
    f->surface.ComboSetSel(idc::ComPort, 0);
    f->surface.ComboSetSel(idc::ConnBaud, c.baudItem);
    f->surface.ComboSetSel(idc::Length, 5);
    f->reader.State().wgOutRecord = {1, 0, c.length, 0};
    OnConnect(f->ctx);
    ASSERT_FALSE(f->reader.Calls().empty());
    EXPECT_EQ(f->reader.Calls()[0], c.openCall);
    EXPECT_EQ(f->surface.ComboGetSel(idc::Length), c.lengthSel);
  }
}

TEST(Connect, ASecondReadClosesTheLinkLeftOpen) {
  auto f = MakeDialog(0);
  OnConnect(f->ctx);
  f->reader.ClearCalls();
  OnConnect(f->ctx);
  std::vector<std::string> expected = {"CloseCom()"};
  expected.insert(expected.end(), UsbReadCalls().begin(), UsbReadCalls().end());
  EXPECT_EQ(f->reader.Calls(), expected);
  EXPECT_EQ(f->surface.GetText(idc::StatusPanel), "读取成功");

  // A read stopped by a later step leaves the link open: the next read closes it too.
  f->reader.FailOn("UhfGetOutPower", 1, 1);
  OnConnect(f->ctx);
  f->reader.ClearCalls();
  OnConnect(f->ctx);
  EXPECT_EQ(f->reader.Calls().front(), "CloseCom()");

  // No link left: after a disconnect, and after a failed handshake (which closed it), a read
  // starts with opening.
  OnDisconnect(f->ctx);
  f->reader.ClearCalls();
  f->reader.FailOn("Handshake", 1, 1);
  OnConnect(f->ctx);
  EXPECT_EQ(f->reader.Calls().front(), "OpenCom(100,115200)");
  f->reader.ClearCalls();
  OnConnect(f->ctx);
  EXPECT_EQ(f->reader.Calls(), UsbReadCalls());
}

}  // namespace
}  // namespace uhf::testing

namespace uhf::testing {
namespace {

// A link input the refresh refuses (its range message shown) stops the read before any call.
TEST(Connect, ARefusedLinkInputMakesNoCall) {
  auto f = MakeDialog(0);
  f->surface.SetCheck(idc::Usb, 0);
  f->surface.SetCheck(idc::TcpUdp, 1);
  f->surface.Type(idc::HostPort, "70000");
  OnConnect(f->ctx);
  EXPECT_THAT(f->reader.Calls(), ::testing::IsEmpty());
  ASSERT_EQ(f->surface.Messages().size(), 1u);
  EXPECT_EQ(f->surface.Messages()[0].icon, MessageIcon::Exclamation);
  EXPECT_FALSE(f->linkOpen);
}

}  // namespace
}  // namespace uhf::testing
