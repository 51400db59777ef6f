#include "ui/DialogTemplate.h"

#include "ui/ControlIds.h"

namespace uhf {
namespace {

using K = ControlKind;
constexpr std::uint32_t kEditStyle = kStyleBorder | kStyleCenter;
constexpr DialogRect kHiddenRect{0, 0, 0, 0};  // hidden controls are never shown

std::vector<ControlTemplate> BuildTemplate() {
  const std::string banner =
      std::string(kModelDesignation) + "\n\n生产配置工具\n\n加密";
  return {
      // Operator controls
      {idc::ReadConfig, K::PushButton, "获取配置信息", {102, 141, 98, 29}, kStyleNone, true, true},
      {idc::FactoryDefault, K::PushButton, "出厂默认设置", {279, 141, 98, 29}, kStyleNone, true,
       true},
      // Display controls
      {idc::StatusPanel, K::RichEdit, "", {0, 177, 486, 132},
       kStyleReadOnly | kStyleMultiline | kStyleCenter | kStyleBorder, true, true},
      {idc::Banner, K::Static, banner, {10, 16, 112, 77}, kStyleCenter | kStyleMultiline, true,
       true},
      {idc::VersionLabel, K::Static, "Verson: ", {8, 163, 94, 12}, kStyleNone, true, true},
      {idc::SerialNumberLabel, K::Static, "SN", {97, 200, 127, 8}, kStyleNone, true, true},
      {idc::RfGroup, K::GroupBox, "RF Settings", {246, 5, 228, 45}, kStyleNone, true, true},
      {idc::PowerLabel, K::Static, "Power", {324, 18, 41, 10}, kStyleRight, true, true},
      {idc::Power, K::ComboBox, "", {375, 17, 52, 91}, kStyleNone, true, false},
      {idc::FreqLabel, K::Static, "Freq", {252, 36, 24, 8}, kStyleRight, true, true},
      {idc::FreqStart, K::ComboBox, "", {285, 33, 54, 100}, kStyleNone, true, false},
      {idc::ToLabel, K::Static, "to", {346, 35, 20, 8}, kStyleCenter, true, true},
      {idc::FreqEnd, K::ComboBox, "", {375, 33, 52, 85}, kStyleNone, true, false},
      {idc::KhzLabel, K::Static, "kHz", {433, 37, 22, 8}, kStyleNone, true, true},
      {idc::IndicatorGroup, K::GroupBox, "Reader Indicator", {246, 54, 109, 35}, kStyleNone, true,
       true},
      {idc::Buzzer, K::CheckBox, "Buzzer", {279, 69, 48, 10}, kStyleNone, true, false},
      {idc::WorkModeGroup, K::GroupBox, "Work Mode", {135, 33, 101, 62}, kStyleNone, true, true},
      {idc::ReadAlways, K::RadioButton, "Read Always", {149, 45, 74, 10}, kStyleNone, true, false,
       1},
      {idc::ReadByTrigger, K::RadioButton, "Read by Trigger", {150, 59, 72, 10}, kStyleNone, true,
       false, 1},
      {idc::ReadTimeLabel, K::Static, "Read Time\r\n(1-255):", {143, 72, 42, 18}, kStyleMultiline,
       true, true},
      {idc::ReadTime, K::Edit, "", {186, 74, 26, 14}, kEditStyle, true, false},
      {idc::ReadTimeUnit, K::Static, "s", {221, 78, 11, 10}, kStyleNone, true, true},
      {idc::WiegandFormatGroup, K::GroupBox, "Wiegand Format", {135, 97, 103, 36}, kStyleNone,
       true, true},
      {idc::Wiegand26, K::RadioButton, "26", {157, 113, 24, 10}, kStyleNone, true, false, 2},
      {idc::Wiegand34, K::RadioButton, "34", {194, 113, 24, 10}, kStyleNone, true, false, 2},
      {idc::OutputTimeGroup, K::GroupBox, "Output Time(1-20)", {9, 96, 119, 37}, kStyleNone, true,
       true},
      {idc::OutputTimeLabel, K::Static, "Time", {17, 114, 32, 8}, kStyleRight, true, true},
      {idc::OutputTime, K::Edit, "", {56, 112, 26, 14}, kEditStyle, true, false},
      {idc::None, K::Static, "X 100ms", {89, 114, 29, 8}, kStyleNone, true, true},
      {idc::TagIntervalGroup, K::GroupBox, "Tag Reading Interval", {246, 95, 111, 38}, kStyleNone,
       true, true},
      {idc::TagIntervalLabel, K::Static, "Time", {256, 112, 32, 8}, kStyleRight, true, true},
      {idc::TagInterval, K::Edit, "", {295, 110, 28, 14}, kEditStyle, true, false},
      {idc::None, K::Static, "s", {332, 112, 8, 8}, kStyleNone, true, true},
      {idc::WiegandOutputGroup, K::GroupBox, "Wiegand Output Settings", {364, 55, 110, 78},
       kStyleNone, true, false},
      {idc::ForwardOutput, K::RadioButton, "Forward Output", {382, 69, 80, 10}, kStyleNone, true,
       false, 3},
      {idc::InvertedOutput, K::RadioButton, "Inverted Output", {383, 84, 82, 10}, kStyleNone, true,
       false, 3},
      {idc::StartBytesLabel, K::Static, "Start Bytes", {376, 98, 45, 8}, kStyleNone, true, true},
      {idc::LengthLabel, K::Static, "Length", {421, 98, 42, 8}, kStyleCenter, true, true},
      {idc::StartBytes, K::ComboBox, "", {380, 112, 35, 86}, kStyleNone, true, false},
      {idc::Length, K::ComboBox, "", {429, 112, 33, 86}, kStyleNone, true, false},

      // Hidden controls: created, never shown. Disabled in the template except the connection
      // group box, the four command buttons and the tag list.
      {idc::ConnectionGroup, K::GroupBox, "Reader Connection", kHiddenRect, kStyleNone, false,
       true},
      {idc::ComPortLabel, K::Static, "Com Port:", kHiddenRect, kStyleNone, false, false},
      {idc::ComPort, K::ComboBox, "", kHiddenRect, kStyleNone, false, false},
      {idc::ConnBaudLabel, K::Static, "Baudrate:", kHiddenRect, kStyleNone, false, false},
      {idc::ConnBaud, K::ComboBox, "", kHiddenRect, kStyleNone, false, false},
      {idc::Usb, K::RadioButton, "USB", kHiddenRect, kStyleGroup, false, false, 4},
      {idc::Com, K::RadioButton, "COM", kHiddenRect, kStyleNone, false, false, 4},
      {idc::TcpUdp, K::RadioButton, "TCP/UDP", kHiddenRect, kStyleNone, false, false, 4},
      {idc::None, K::GroupBox, "TCP/UDP Setting", kHiddenRect, kStyleGroup, false, false},
      {idc::None, K::Static, "Host IP", kHiddenRect, kStyleNone, false, false},
      {idc::HostIp, K::IpAddress, "", kHiddenRect, kStyleNone, false, false},
      {idc::None, K::Static, "Port", kHiddenRect, kStyleNone, false, false},
      {idc::HostPort, K::Edit, "", kHiddenRect, kEditStyle, false, false},
      {idc::None, K::Static, "Reader IP", kHiddenRect, kStyleNone, false, false},
      {idc::ReaderIp, K::IpAddress, "", kHiddenRect, kStyleNone, false, false},
      {idc::None, K::Static, "Port", kHiddenRect, kStyleNone, false, false},
      {idc::ReaderPort, K::Edit, "", kHiddenRect, kEditStyle, false, false},
      {idc::Connect, K::PushButton, "Connect", kHiddenRect, kStyleNone, false, true},
      {idc::Disconnect, K::PushButton, "Disconnect", kHiddenRect, kStyleNone, false, true},
      {idc::SaveChanges, K::PushButton, "Save Changes", kHiddenRect, kStyleNone, false, true},
      {idc::ReadTag, K::PushButton, "Read Tag", kHiddenRect, kStyleNone, false, true},
      {idc::TagList, K::ListView, "", kHiddenRect, kStyleBorder, false, true},
      {idc::Fcc, K::RadioButton, "FCC", kHiddenRect, kStyleGroup, false, false, 5},
      {idc::Etsi, K::RadioButton, "ETSI", kHiddenRect, kStyleNone, false, false, 5},
      {idc::AddressGroup, K::GroupBox, "Address Setting", kHiddenRect, kStyleGroup, false, false},
      {idc::AddressBaudLabel, K::Static, "Baudrate:", kHiddenRect, kStyleNone, false, false},
      {idc::AddressBaud, K::ComboBox, "", kHiddenRect, kStyleNone, false, false},
      {idc::ReaderAddress, K::Edit, "", kHiddenRect, kEditStyle, false, false},
      {idc::SetAddress, K::PushButton, "设置地址", kHiddenRect, kStyleNone, false, false},
      {idc::GetAddress, K::PushButton, "获取地址", kHiddenRect, kStyleNone, false, false},
      {idc::PasswordGroup, K::GroupBox, "4 Bytes Check Password", kHiddenRect, kStyleNone, false,
       false},
      {idc::PasswordYes, K::RadioButton, "Yes", kHiddenRect, kStyleGroup, false, false, 6},
      {idc::PasswordNo, K::RadioButton, "No", kHiddenRect, kStyleNone, false, false, 6},
      {idc::None, K::Static, "Password", kHiddenRect, kStyleGroup, false, false},
      {idc::Password, K::Edit, "", kHiddenRect, kEditStyle, false, false},
      {idc::Led, K::CheckBox, "Led", kHiddenRect, kStyleNone, false, false},
      {idc::PowerValue, K::Edit, "", kHiddenRect, kEditStyle, false, false},
      {idc::ReadTagTestDecimal, K::PushButton, "读标签测试(十进制)", kHiddenRect, kStyleNone,
       false, false},
      {idc::ReadTagTestHex, K::PushButton, "读标签（HEX16）", kHiddenRect, kStyleNone, false,
       false},
      {idc::ReadTagUsb, K::PushButton, "ReadTagUSB勿删", kHiddenRect, kStyleNone, false, false},
      {idc::None, K::Picture, "", kHiddenRect, kStyleNone, false, false},
  };
}

}  // namespace

const std::vector<ControlTemplate>& MainDialogTemplate() {
  static const std::vector<ControlTemplate> controls = BuildTemplate();
  return controls;
}

const ControlTemplate* FindControl(int id) {
  if (id == idc::None) return nullptr;
  for (const auto& control : MainDialogTemplate()) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

}  // namespace uhf
