#include <stdexcept>
#include <string>
#include <vector>

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"

namespace uhf {
namespace {

using K = ControlKind;

// Where a control of the operator view goes: by id, or by kind and text for the controls
// without one (twins taken in the operator view's order).
struct Place {
  int id;
  DialogRect rect;
  K kind = K::Static;
  const char* text = "";
};

Place Unnamed(K kind, const char* text, DialogRect rect) {
  return {idc::None, rect, kind, text};
}

// In tab order: the link, the address and the password on the left; the reader's settings and
// the commands on them in the middle; the reads and the tag list on the right; the outcome
// below the left and middle columns.
const std::vector<Place>& Places() {
  static const std::vector<Place> places = {
      // The link
      {idc::ConnectionGroup, {6, 4, 216, 152}},
      {idc::Usb, {14, 18, 40, 10}},
      {idc::Com, {60, 18, 40, 10}},
      {idc::TcpUdp, {106, 18, 56, 10}},
      {idc::ComPortLabel, {14, 36, 44, 8}},
      {idc::ComPort, {62, 34, 80, 100}},
      {idc::ConnBaudLabel, {14, 54, 44, 8}},
      {idc::ConnBaud, {62, 52, 80, 100}},
      Unnamed(K::GroupBox, "TCP/UDP Setting", {12, 70, 204, 54}),
      Unnamed(K::Static, "Host IP", {18, 85, 36, 8}),
      {idc::HostIp, {56, 82, 96, 14}},
      Unnamed(K::Static, "Port", {156, 85, 18, 8}),
      {idc::HostPort, {176, 82, 34, 14}},
      Unnamed(K::Static, "Reader IP", {18, 105, 36, 8}),
      {idc::ReaderIp, {56, 102, 96, 14}},
      Unnamed(K::Static, "Port", {156, 105, 18, 8}),
      {idc::ReaderPort, {176, 102, 34, 14}},
      {idc::Connect, {14, 130, 98, 20}},
      {idc::Disconnect, {118, 130, 98, 20}},
      // The stored address
      {idc::AddressGroup, {6, 160, 216, 56}},
      {idc::AddressBaudLabel, {14, 177, 44, 8}},
      {idc::AddressBaud, {62, 175, 60, 100}},
      {idc::ReaderAddress, {130, 175, 40, 14}},
      {idc::SetAddress, {14, 194, 98, 18}},
      {idc::GetAddress, {118, 194, 98, 18}},
      // The check password
      {idc::PasswordGroup, {6, 220, 216, 34}},
      {idc::PasswordYes, {14, 236, 32, 10}},
      {idc::PasswordNo, {50, 236, 32, 10}},
      Unnamed(K::Static, "Password", {90, 237, 34, 8}),
      {idc::Password, {126, 234, 70, 14}},
      // RF settings and the region family
      {idc::RfGroup, {228, 4, 242, 52}},
      {idc::PowerLabel, {234, 18, 28, 8}},
      {idc::Power, {266, 16, 52, 91}},
      {idc::PowerValue, {324, 16, 28, 14}},
      {idc::Fcc, {370, 18, 40, 10}},
      {idc::Etsi, {414, 18, 44, 10}},
      {idc::FreqLabel, {234, 36, 28, 8}},
      {idc::FreqStart, {266, 34, 60, 100}},
      {idc::ToLabel, {330, 36, 14, 8}},
      {idc::FreqEnd, {348, 34, 60, 85}},
      {idc::KhzLabel, {412, 36, 22, 8}},
      // Work mode, indicators, Wiegand
      {idc::WorkModeGroup, {228, 60, 118, 62}},
      {idc::ReadAlways, {236, 72, 100, 10}},
      {idc::ReadByTrigger, {236, 86, 100, 10}},
      {idc::ReadTimeLabel, {236, 100, 42, 18}},
      {idc::ReadTime, {280, 102, 26, 14}},
      {idc::ReadTimeUnit, {310, 105, 10, 10}},
      {idc::IndicatorGroup, {352, 60, 118, 62}},
      {idc::Buzzer, {360, 74, 60, 10}},
      {idc::Led, {360, 90, 60, 10}},
      {idc::WiegandFormatGroup, {228, 126, 118, 34}},
      {idc::Wiegand26, {240, 142, 30, 10}},
      {idc::Wiegand34, {284, 142, 30, 10}},
      {idc::OutputTimeGroup, {352, 126, 118, 34}},
      {idc::OutputTimeLabel, {356, 143, 28, 8}},
      {idc::OutputTime, {388, 141, 26, 14}},
      Unnamed(K::Static, "X 100ms", {418, 143, 46, 8}),
      {idc::TagIntervalGroup, {228, 164, 118, 34}},
      {idc::TagIntervalLabel, {232, 181, 28, 8}},
      {idc::TagInterval, {264, 179, 28, 14}},
      Unnamed(K::Static, "s", {296, 181, 8, 8}),
      {idc::WiegandOutputGroup, {352, 164, 118, 78}},
      {idc::ForwardOutput, {360, 176, 100, 10}},
      {idc::InvertedOutput, {360, 190, 100, 10}},
      {idc::StartBytesLabel, {360, 204, 48, 8}},
      {idc::LengthLabel, {412, 204, 48, 8}},
      {idc::StartBytes, {360, 216, 44, 86}},
      {idc::Length, {412, 216, 44, 86}},
      // Commands on the settings
      {idc::SaveChanges, {228, 250, 76, 24}},
      {idc::ReadConfig, {311, 250, 76, 24}},
      {idc::FactoryDefault, {394, 250, 76, 24}},
      // Tag reads and the tag list
      {idc::ReadTag, {476, 6, 106, 20}},
      {idc::ReadTagTestDecimal, {588, 6, 106, 20}},
      {idc::ReadTagTestHex, {476, 30, 106, 20}},
      {idc::ReadTagUsb, {588, 30, 106, 20}},
      {idc::TotalReadsLabel, {476, 58, 70, 8}},
      {idc::UniqueTagsLabel, {548, 58, 70, 8}},
      {idc::ReadRateLabel, {620, 58, 74, 8}},
      {idc::ClearTags, {476, 70, 70, 16}},
      {idc::ExportCsv, {550, 70, 70, 16}},
      {idc::StartStopReads, {624, 70, 70, 16}},
      {idc::TagList, {476, 90, 218, 240}},
      {idc::WiegandDetail, {476, 332, 218, 24}},
      {idc::ExchangeLog, {476, 358, 218, 98}},
      {idc::CopyLog, {476, 460, 106, 14}},
      {idc::SaveLog, {588, 460, 106, 14}},
      // The reader's identity and the outcome
      {idc::VersionLabel, {6, 262, 216, 12}},
      {idc::SerialNumberLabel, {6, 278, 216, 10}},
      {idc::StatusPanel, {6, 292, 464, 182}},
  };
  return places;
}

bool Matches(const ControlTemplate& control, const Place& place) {
  if (place.id != idc::None) return control.id == place.id;
  return control.id == idc::None && control.kind == place.kind && control.text == place.text;
}

DialogTemplate Build() {
  const DialogTemplate& operatorView = MainDialogTemplate();
  DialogTemplate view{operatorView.caption,    700, 480, operatorView.fontFace,
                      operatorView.fontPoints, {}};
  std::vector<bool> placed(operatorView.controls.size(), false);
  for (const Place& place : Places()) {
    std::size_t i = 0;
    while (i < operatorView.controls.size() &&
           (placed[i] || !Matches(operatorView.controls[i], place))) {
      ++i;
    }
    if (i == operatorView.controls.size()) {
      throw std::logic_error("the engineering view places a control the dialog does not have: " +
                             std::to_string(place.id) + " " + place.text);
    }
    placed[i] = true;
    ControlTemplate control = operatorView.controls[i];
    control.rect = place.rect;
    control.visible = true;
    // A label without an id is greyed in the operator view with the controls it names; here
    // they are usable, and so it is shown as usable too.
    if (control.id == idc::None) control.enabled = true;
    view.controls.push_back(control);
  }
  // What the view does not place (the banner, the picture) is there, hidden, after the rest.
  for (std::size_t i = 0; i < operatorView.controls.size(); ++i) {
    if (placed[i]) continue;
    ControlTemplate control = operatorView.controls[i];
    control.rect = {0, 0, 0, 0};
    control.visible = false;
    view.controls.push_back(control);
  }
  return view;
}

}  // namespace

const DialogTemplate& EngineeringDialogTemplate() {
  static const DialogTemplate dialog = Build();
  return dialog;
}

}  // namespace uhf
