#include "app/ReaderConfigDialog.h"

#include <exception>

#include "app/HostAddress.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "reader/FrequencyPlan.h"
#include "reader/ReaderOperations.h"
#include "reader/ReaderSettings.h"
#include "tags/CardFormats.h"
#include "text/Profile.h"

namespace uhf {
namespace {

constexpr const char* kBaudRates[] = {"9600", "19200", "38400", "57600", "115200"};

const FontSpec kStatusFont{"宋体", 150};
const FontSpec kBannerFont{"宋体", 20};
const FontSpec kVersionFont{"宋体", 15};

}  // namespace

DialogPlatform SystemDialogPlatform() {
  return {
      &AvailablePorts,
      &LocalHostAddress,
      &ConfigIniPath,
  };
}

ReaderConfigDialog::ReaderConfigDialog(ControlSurface& surface, ReaderDriver& driver,
                                       DialogPlatform platform)
    : surface_(surface),
      platform_(std::move(platform)),
      ctx_{surface, driver, state_},
      tagReads_(ctx_) {}

void ReaderConfigDialog::OnInitDialog() {
  // 1. Every bound value into its control.
  ctx_.UpdateData(false);

  // 3. Port selector. The window's first frame does not show it, so the enumeration waits until
  // after that frame (or until something reads the selector).
  surface_.FillAfterFirstFrame(idc::ComPort, [this] { FillPortSelector(); });

  // 4, 5. Baud rate selectors: the address group's at 9600, the link's at 115200.
  for (int id : {idc::AddressBaud, idc::ConnBaud}) {
    for (const char* rate : kBaudRates) surface_.ComboAdd(id, rate);
  }
  surface_.ComboSetSel(idc::AddressBaud, 0);
  surface_.ComboSetSel(idc::ConnBaud, 4);

  // 6. Power levels 0 to 63, level 5 selected.
  surface_.ComboReset(idc::Power);
  for (int level = 0; level < 64; ++level) surface_.ComboAdd(idc::Power, std::to_string(level));
  surface_.ComboSetSel(idc::Power, 5);

  // 7. Card number lengths 1 to 12 (a read selects length - 1; nothing selected before).
  surface_.ComboReset(idc::Length);
  for (int length = 1; length <= ReaderSettings::kLengthItems; ++length) {
    surface_.ComboAdd(idc::Length, std::to_string(length));
  }

  // 8. Host and reader addresses. The host field starts blank; its address is looked up off the
  // window's thread after the first frame (a host name missing from the hosts file can take
  // seconds to resolve) and stays blank when the lookup fails.
  surface_.IpSetAddress(idc::HostIp, "");
  if (platform_.hostAddress) {
    surface_.FillInBackground(
        idc::HostIp,
        [lookup = platform_.hostAddress]() -> std::string {
          try {
            return lookup();
          } catch (const std::exception&) {
            return {};
          }
        },
        [this](const std::string& address) { surface_.IpSetAddress(idc::HostIp, address); });
  }
  surface_.IpSetAddress(idc::ReaderIp, "192.168.1.250");

  // 9. Command buttons.
  for (int id : {idc::Connect, idc::ReadConfig, idc::FactoryDefault}) surface_.Enable(id, true);
  for (int id : {idc::Disconnect, idc::SaveChanges, idc::ReadTag}) surface_.Enable(id, false);

  // 10. Tag list style.
  surface_.ListAddExtendedStyle(idc::TagList, kListGridLines | kListFullRowSelect);

  // 11. Interface texts from config.ini, then the list columns.
  const auto iniPath = platform_.configIniPath ? platform_.configIniPath() : std::nullopt;
  ApplyInterfaceTexts(iniPath ? Profile::Load(*iniPath) : Profile(), surface_, state_.texts);

  // 13. The USB link, set as its option handler would, without running it.
  surface_.SetCheck(idc::Usb, 1);
  surface_.Enable(idc::Com, false);
  surface_.Enable(idc::TcpUdp, false);
  surface_.Enable(idc::Length, false);

  // 14. Fonts.
  surface_.SetFont(idc::StatusPanel, kStatusFont);
  surface_.SetFont(idc::Banner, kBannerFont);
  surface_.SetFont(idc::VersionLabel, kVersionFont);
}

void ReaderConfigDialog::FillPortSelector() {
  std::vector<AvailablePort> ports;
  try {
    if (platform_.availablePorts) ports = platform_.availablePorts();
  } catch (const std::exception& error) {
    // Shown once; the tool goes on without serial ports.
    surface_.MessageBox(error.what(), kAppTitle, MessageButtons::Ok, MessageIcon::Exclamation);
    ports.clear();
  }
  // Items in the system's order; the first port without a short name ends the list.
  for (const AvailablePort& port : ports) {
    if (port.name.empty()) break;
    surface_.ComboAdd(idc::ComPort, port.name);
  }
  // Selecting item 0 of an empty list leaves the selector without a selection.
  if (!ports.empty()) surface_.ComboSetSel(idc::ComPort, 0);
}

void ReaderConfigDialog::OnCommand(int id, Notification notification) {
  if (notification == Notification::EditChanged) {
    if (id == idc::TagInterval) OnTagIntervalChange();
    return;
  }
  if (notification == Notification::DoubleClicked) {
    if (id == idc::TagList) OnTagListDblClk();
    return;
  }
  if (notification != Notification::Clicked) return;
  switch (id) {
    case idc::Connect:
    case idc::ReadConfig:
      return OnConnect();
    case idc::Disconnect:
      return OnDisconnect();
    case idc::FactoryDefault:
      return OnFactoryDefault();
    case idc::SaveChanges:
      return OnSaveChanges();
    case idc::ReadTag:
      return OnReadTag();
    case idc::SetAddress:
      return OnSetAddress();
    case idc::GetAddress:
      return OnGetAddress();
    case idc::ReadTagTestDecimal:
      return OnReadTagTestDecimal();
    case idc::ReadTagTestHex:
      return OnReadTagTestHex();
    case idc::ReadTagUsb:
      return OnReadTagUSB();
    case idc::Usb:
      return OnUsb();
    case idc::Com:
    case idc::TcpUdp:
      return OnComOrTcpUdp();
    case idc::ReadAlways:
      return OnReadAlways();
    case idc::ReadByTrigger:
      return OnReadByTrigger();
    case idc::Fcc:
      return OnFcc();
    case idc::Etsi:
      return OnEtsi();
    case idc::Wiegand26:
      return OnWiegand26();
    case idc::Wiegand34:
      return OnWiegand34();
    default:
      return;
  }
}

bool ReaderConfigDialog::OnOK() {
  return ctx_.UpdateData(true);
}

void ReaderConfigDialog::OnConnect() {
  uhf::OnConnect(ctx_);
}
void ReaderConfigDialog::OnDisconnect() {
  uhf::OnDisconnect(ctx_);
}
void ReaderConfigDialog::OnFactoryDefault() {
  uhf::OnFactoryDefault(ctx_);
}
void ReaderConfigDialog::OnSaveChanges() {
  uhf::OnSaveChanges(ctx_);
}
void ReaderConfigDialog::OnSetAddress() {
  uhf::OnSetAddress(ctx_);
}
void ReaderConfigDialog::OnGetAddress() {
  uhf::OnGetAddress(ctx_);
}

void ReaderConfigDialog::OnReadTag() {
  tagReads_.OnReadTag();
}
void ReaderConfigDialog::OnTagListDblClk() {
  tagReads_.OnTagListDblClk();
}
void ReaderConfigDialog::OnReadTagTestDecimal() {
  tagReads_.OnReadTagTestDecimal();
}
void ReaderConfigDialog::OnReadTagTestHex() {
  tagReads_.OnReadTagTestHex();
}
void ReaderConfigDialog::OnReadTagUSB() {
  tagReads_.OnReadTagUSB();
}

void ReaderConfigDialog::OnUsb() {
  surface_.Enable(idc::Length, false);
  surface_.Enable(idc::Wiegand34, true);
  surface_.Enable(idc::Wiegand26, true);
}

void ReaderConfigDialog::OnComOrTcpUdp() {
  surface_.Enable(idc::Length, true);
  surface_.Enable(idc::Wiegand34, false);
  surface_.Enable(idc::Wiegand26, false);
}

void ReaderConfigDialog::OnReadAlways() {
  surface_.Enable(idc::ReadTime, false);
}
void ReaderConfigDialog::OnReadByTrigger() {
  surface_.Enable(idc::ReadTime, true);
}

void ReaderConfigDialog::OnFcc() {
  FillFrequencyLists(surface_, FrequencyBand::Fcc, kBandDefaultStartItem,
                     BandDefaultEndItem(FrequencyBand::Fcc));
}
void ReaderConfigDialog::OnEtsi() {
  FillFrequencyLists(surface_, FrequencyBand::Etsi, kBandDefaultStartItem,
                     BandDefaultEndItem(FrequencyBand::Etsi));
}

void ReaderConfigDialog::FillStartBytes(int count) {
  surface_.ComboReset(idc::StartBytes);
  for (int i = 0; i < count; ++i) surface_.ComboAdd(idc::StartBytes, std::to_string(i));
  surface_.ComboSetSel(idc::StartBytes, 0);
}

// Start bytes 0 to the last one that leaves room for the frame's card bytes.
void ReaderConfigDialog::OnWiegand26() {
  FillStartBytes(LastStartByte(WiegandFrame::W26) + 1);
}
void ReaderConfigDialog::OnWiegand34() {
  FillStartBytes(LastStartByte(WiegandFrame::W34) + 1);
}

void ReaderConfigDialog::OnTagIntervalChange() {
  ctx_.UpdateData(true);
}

}  // namespace uhf
