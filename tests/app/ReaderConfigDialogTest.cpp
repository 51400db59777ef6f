// The main dialog on the in-memory surface: initialisation against the template, the option
// handlers, the tag interval exchange and the message map.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include "app/ReaderConfigDialog.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/InstrumentedReader.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

// A port as the system lists it; an empty name stands for one without a COM name.
AvailablePort Port(const std::string& name, const std::string& display = "Serial port") {
  return {name, display + (name.empty() ? "" : " (" + name + ")"), "\\\\.\\" + name, {}};
}

struct DialogUnderTest {
  MemorySurface surface{MainDialogTemplate()};
  InstrumentedReader reader;
  DialogPlatform platform;
  std::unique_ptr<ReaderConfigDialog> dialog;

  explicit DialogUnderTest(DialogPlatform p = TestPlatform()) : platform(std::move(p)) {
    dialog = std::make_unique<ReaderConfigDialog>(surface, reader, platform);
    surface.SetNotificationHandler(
        [this](int id, Notification notification) { dialog->OnCommand(id, notification); });
    dialog->OnInitDialog();
  }

  static DialogPlatform TestPlatform() {
    return {
        [] {
          return std::vector<AvailablePort>{Port("COM1"), Port("COM12"), Port("", "Bluetooth link"),
                                            Port("COM5")};
        },
        [] { return std::string("10.1.2.3"); },
        [] { return std::optional<std::filesystem::path>(); },
    };
  }

  std::vector<std::string> Items(int id) const {
    std::vector<std::string> items;
    for (int i = 0; i < surface.ComboCount(id); ++i) items.push_back(surface.ComboItem(id, i));
    return items;
  }
};

std::vector<std::string> Numbers(int from, int to, int step = 1) {
  std::vector<std::string> numbers;
  for (int n = from; n <= to; n += step) numbers.push_back(std::to_string(n));
  return numbers;
}

TEST(DialogInit, EveryControlMatchesTheTemplateExceptWhatInitialisationChanges) {
  DialogUnderTest t;
  const std::map<int, bool> enabledAfterInit = {
      {idc::Connect, true},     {idc::ReadConfig, true},   {idc::FactoryDefault, true},
      {idc::Disconnect, false}, {idc::SaveChanges, false}, {idc::ReadTag, false},
      {idc::Com, false},        {idc::TcpUdp, false},      {idc::Length, false}};
  const std::map<int, std::string> textAfterInit = {
      {idc::StatusPanel, ""},      {idc::VersionLabel, ""},   {idc::SerialNumberLabel, ""},
      {idc::Password, "7C1E94B2"}, {idc::TagInterval, "5"},   {idc::PowerValue, "0"},
      {idc::OutputTime, "2"},      {idc::ReaderAddress, "0"}, {idc::ReadTime, "1"},
      {idc::HostPort, "2000"},     {idc::ReaderPort, "27001"}};

  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (control.id == idc::None) continue;
    SCOPED_TRACE(control.id);
    EXPECT_EQ(t.surface.IsVisible(control.id), control.visible);
    const auto enabled = enabledAfterInit.find(control.id);
    EXPECT_EQ(t.surface.IsEnabled(control.id),
              enabled != enabledAfterInit.end() ? enabled->second : control.enabled);
    EXPECT_EQ(t.surface.GetCheck(control.id), control.id == idc::Usb ? 1 : 0);
    if (control.kind == ControlKind::ComboBox || control.kind == ControlKind::IpAddress) continue;
    const auto text = textAfterInit.find(control.id);
    EXPECT_EQ(t.surface.GetText(control.id),
              text != textAfterInit.end() ? text->second : control.text);
  }
}

TEST(DialogInit, SelectorsAddressesListAndFonts) {
  DialogUnderTest t;
  EXPECT_EQ(t.Items(idc::ComPort), (std::vector<std::string>{"COM1", "COM12"}));
  EXPECT_EQ(t.surface.ComboGetSel(idc::ComPort), 0);
  const std::vector<std::string> bauds{"9600", "19200", "38400", "57600", "115200"};
  EXPECT_EQ(t.Items(idc::AddressBaud), bauds);
  EXPECT_EQ(t.surface.ComboGetSel(idc::AddressBaud), 0);
  EXPECT_EQ(t.Items(idc::ConnBaud), bauds);
  EXPECT_EQ(t.surface.ComboGetSel(idc::ConnBaud), 4);
  EXPECT_EQ(t.Items(idc::Power), Numbers(0, 63));
  EXPECT_EQ(t.surface.ComboGetSel(idc::Power), 5);
  EXPECT_EQ(t.Items(idc::Length), Numbers(1, 12));
  EXPECT_EQ(t.surface.ComboGetSel(idc::Length), -1);
  for (int id : {idc::FreqStart, idc::FreqEnd, idc::StartBytes})
    EXPECT_EQ(t.surface.ComboCount(id), 0);

  EXPECT_EQ(t.surface.GetText(idc::HostIp), "10.1.2.3");
  EXPECT_EQ(t.surface.GetText(idc::ReaderIp), "192.168.1.250");

  EXPECT_EQ(t.surface.ListExtendedStyle(idc::TagList), kListGridLines | kListFullRowSelect);
  ASSERT_EQ(t.surface.ListColumnCount(idc::TagList), 4);
  const std::pair<const char*, int> columns[] = {
      {"No.", 90}, {"Card Number", 250}, {"Success Times", 150}, {"EPC Length", 150}};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(t.surface.ListColumnHeading(idc::TagList, c), columns[c].first);
    EXPECT_EQ(t.surface.ListColumnWidth(idc::TagList, c), columns[c].second);
  }
  EXPECT_EQ(t.surface.TextLimit(idc::Password), 8);
  EXPECT_EQ(t.surface.Font(idc::StatusPanel), (FontSpec{"宋体", 150}));
  EXPECT_EQ(t.surface.Font(idc::Banner), (FontSpec{"宋体", 20}));
  EXPECT_EQ(t.surface.Font(idc::VersionLabel), (FontSpec{"宋体", 15}));
  EXPECT_TRUE(t.surface.Messages().empty());
  EXPECT_TRUE(t.reader.Calls().empty()) << "initialisation talks to no reader";
}

TEST(DialogInit, MachineWithoutPortsAddressOrConfig) {
  DialogPlatform platform = DialogUnderTest::TestPlatform();
  platform.hostAddress = [] { return std::string(); };
  platform.availablePorts = [] {
    return std::vector<AvailablePort>{Port("", "Bluetooth link"), Port("COM3")};
  };
  DialogUnderTest t(platform);
  EXPECT_EQ(t.surface.GetText(idc::HostIp), "");
  EXPECT_EQ(t.surface.GetText(idc::ReaderIp), "192.168.1.250");
  EXPECT_EQ(t.surface.ComboCount(idc::ComPort), 0);
  EXPECT_EQ(t.surface.ComboGetSel(idc::ComPort), -1);
}

TEST(DialogInit, PortEnumerationErrorIsShownOnceAndTheToolGoesOn) {
  DialogPlatform platform = DialogUnderTest::TestPlatform();
  platform.availablePorts = []() -> std::vector<AvailablePort> {
    throw std::runtime_error("SetupDiGetClassDevs failed. (err=5)");
  };
  DialogUnderTest t(platform);
  ASSERT_EQ(t.surface.Messages().size(), 1u);
  EXPECT_EQ(t.surface.Messages()[0].text, "SetupDiGetClassDevs failed. (err=5)");
  EXPECT_EQ(t.surface.ComboCount(idc::ComPort), 0);
  EXPECT_EQ(t.surface.ComboGetSel(idc::ConnBaud), 4) << "initialisation went on";
}

TEST(DialogInit, CaptionsComeFromConfigIni) {
  const auto dir = std::filesystem::temp_directory_path() / "uhf-dialog-init-test";
  std::filesystem::create_directories(dir);
  const auto ini = dir / "config.ini";
  std::ofstream(ini) << "[Lan]\r\nRF_HZ=\r\nBUTTON_READ_CONF=Lesen\r\nLIST_ID=Karte\r\n"
                        "MESSAGE_SAVED=Gespeichert\r\n";
  DialogPlatform platform = DialogUnderTest::TestPlatform();
  platform.configIniPath = [ini] { return std::optional<std::filesystem::path>(ini); };
  DialogUnderTest t(platform);
  EXPECT_EQ(t.surface.GetText(idc::KhzLabel), "");
  EXPECT_EQ(t.surface.GetText(idc::ReadConfig), "获取配置信息");
  EXPECT_EQ(t.surface.ListColumnHeading(idc::TagList, 1), "Karte");
  EXPECT_EQ(t.dialog->Texts().MESSAGE_SAVED, "Gespeichert");
  std::filesystem::remove_all(dir);
}

// The option controls are disabled in the shipped window; a click reaches their handlers once
// the control is enabled, as it would be for an operator of an editable layout.
void ClickEnabled(MemorySurface& surface, int id) {
  surface.Enable(id, true);
  surface.Click(id);
}

TEST(OptionHandlers, LinkTypeSwitchesLengthSelectorAndWiegandRadios) {
  DialogUnderTest t;
  ClickEnabled(t.surface, idc::Com);
  EXPECT_TRUE(t.surface.IsEnabled(idc::Length));
  EXPECT_FALSE(t.surface.IsEnabled(idc::Wiegand26));
  EXPECT_FALSE(t.surface.IsEnabled(idc::Wiegand34));
  ClickEnabled(t.surface, idc::Usb);
  EXPECT_FALSE(t.surface.IsEnabled(idc::Length));
  EXPECT_TRUE(t.surface.IsEnabled(idc::Wiegand26));
  EXPECT_TRUE(t.surface.IsEnabled(idc::Wiegand34));
  ClickEnabled(t.surface, idc::TcpUdp);
  EXPECT_TRUE(t.surface.IsEnabled(idc::Length));
  EXPECT_FALSE(t.surface.IsEnabled(idc::Wiegand26));

  ClickEnabled(t.surface, idc::ReadByTrigger);
  EXPECT_TRUE(t.surface.IsEnabled(idc::ReadTime));
  ClickEnabled(t.surface, idc::ReadAlways);
  EXPECT_FALSE(t.surface.IsEnabled(idc::ReadTime));
}

TEST(OptionHandlers, FrequencyListsAreRefilledNotAppended) {
  DialogUnderTest t;
  ClickEnabled(t.surface, idc::Fcc);
  ClickEnabled(t.surface, idc::Fcc);
  EXPECT_EQ(t.Items(idc::FreqStart), Numbers(902000, 928000, 500));
  EXPECT_EQ(t.Items(idc::FreqEnd), Numbers(902000, 928000, 500));
  EXPECT_EQ(t.surface.GetText(idc::FreqStart), "902000");
  EXPECT_EQ(t.surface.GetText(idc::FreqEnd), "917000");

  ClickEnabled(t.surface, idc::Etsi);
  EXPECT_EQ(t.Items(idc::FreqStart), Numbers(865000, 868000, 500));
  EXPECT_EQ(t.Items(idc::FreqEnd), Numbers(865000, 868000, 500));
  EXPECT_EQ(t.surface.GetText(idc::FreqStart), "865000");
  EXPECT_EQ(t.surface.GetText(idc::FreqEnd), "866500");
}

TEST(OptionHandlers, StartByteListFollowsTheWiegandFormat) {
  DialogUnderTest t;
  ClickEnabled(t.surface, idc::Wiegand26);
  EXPECT_EQ(t.Items(idc::StartBytes), Numbers(0, 9));
  t.surface.ComboSetSel(idc::StartBytes, 7);
  ClickEnabled(t.surface, idc::Wiegand34);
  EXPECT_EQ(t.Items(idc::StartBytes), Numbers(0, 8));
  EXPECT_EQ(t.surface.ComboGetSel(idc::StartBytes), 0);
}

TEST(TagIntervalChange, WritingTheEditFromCodeRefreshesEveryBoundValue) {
  DialogUnderTest t;
  t.surface.SetText(idc::OutputTime, "7");  // an edit not watched by any handler
  t.surface.SetText(idc::TagInterval, "120");
  EXPECT_EQ(t.dialog->Values().tagInterval, 120u);
  EXPECT_EQ(t.dialog->Values().outputTime, 7);

  // A loading exchange writes the edits without running the handler.
  t.surface.SetText(idc::ReadTime, "9");
  t.dialog->Context().UpdateData(false);
  EXPECT_EQ(t.surface.GetText(idc::ReadTime), "1");
  EXPECT_EQ(t.dialog->Values().readTime, 1);
}

TEST(MessageMap, ButtonsReachTheirHandlersAndEnterValidatesFirst) {
  DialogUnderTest t;
  t.surface.Click(idc::ReadConfig);
  ASSERT_FALSE(t.reader.Calls().empty());
  EXPECT_EQ(t.reader.Calls().front(), "OpenCom(100,115200)");
  EXPECT_EQ(t.surface.GetText(idc::StatusPanel), "读取成功");

  t.reader.ClearCalls();
  t.surface.Click(idc::Connect);  // the hidden button runs the same operation
  ASSERT_FALSE(t.reader.Calls().empty());

  EXPECT_TRUE(t.dialog->OnOK());
  t.surface.Type(idc::HostPort, "65536");
  t.surface.ClearMessages();
  EXPECT_FALSE(t.dialog->OnOK());
  ASSERT_EQ(t.surface.Messages().size(), 1u);
  EXPECT_EQ(t.surface.Messages()[0].text, "“请填入一个在0和65535之间的整数。”");
  EXPECT_EQ(t.surface.FocusedControl(), idc::HostPort);
}

}  // namespace
}  // namespace uhf
