#include "cli/Session.h"

#include <charconv>

#include "dialog/ControlIds.h"
#include "text/DottedAddress.h"

namespace uhf::cli {

namespace {

bool ParsePort(std::string_view text, int& port) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  return ec == std::errc() && end == text.data() + text.size() && port >= 0 && port <= 65535;
}

// "IP:PORT" into its parts; false when either is malformed.
bool SplitEndpoint(std::string_view text, std::string& ip, int& port) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return false;
  ip = std::string(text.substr(0, colon));
  return IsDottedAddress(ip) && ParsePort(text.substr(colon + 1), port);
}

}  // namespace

std::string LinkText(const LinkOptions& link) {
  switch (link.kind) {
    case LinkKind::Serial:
      return "serial COM" + std::to_string(link.port) + " " +
             std::to_string(link.baud.value_or(115200));
    case LinkKind::Tcp:
      return "tcp " + link.reader;
    case LinkKind::Usb:
      break;
  }
  return "usb";
}

Session::Session(ReaderDriver& driver, DialogPlatform platform)
    : dialog_(surface_, driver, std::move(platform)) {
  surface_.SetNotificationHandler(
      [this](int id, Notification notification) { dialog_.OnCommand(id, notification); });
  dialog_.OnInitDialog();
}

std::optional<std::string> Session::SetLink(const LinkOptions& link) {
  if (link.kind == LinkKind::Usb) return std::nullopt;  // initialisation chose USB already

  if (link.kind == LinkKind::Serial) {
    if (link.port < 1 || link.port > 256) return "--port must be from 1 to 256";
    const std::string name = "COM" + std::to_string(link.port);
    int item = -1;
    for (int i = 0; i < surface_.ComboCount(idc::ComPort); ++i) {
      if (surface_.ComboItem(idc::ComPort, i) == name) item = i;
    }
    // A port the discovery did not list is still offered, as typing it would be.
    if (item < 0) item = surface_.ComboAdd(idc::ComPort, name);
    surface_.ComboSetSel(idc::ComPort, item);
    if (link.baud) {
      int baudItem = -1;
      for (int i = 0; i < surface_.ComboCount(idc::ConnBaud); ++i) {
        if (surface_.ComboItem(idc::ConnBaud, i) == std::to_string(*link.baud)) baudItem = i;
      }
      if (baudItem < 0) return "--baud must be 9600, 19200, 38400, 57600 or 115200";
      surface_.ComboSetSel(idc::ConnBaud, baudItem);
    }
  } else {
    std::string readerIp;
    int readerPort = 0;
    if (!SplitEndpoint(link.reader, readerIp, readerPort)) {
      return "--reader must be IP:PORT, for example 192.168.1.250:27001";
    }
    surface_.IpSetAddress(idc::ReaderIp, readerIp);
    surface_.Type(idc::ReaderPort, std::to_string(readerPort));
    if (!link.host.empty()) {
      std::string hostIp;
      int hostPort = 0;
      if (!SplitEndpoint(link.host, hostIp, hostPort)) {
        return "--host must be IP:PORT, for example 192.168.1.2:2000";
      }
      surface_.IpSetAddress(idc::HostIp, hostIp);
      surface_.Type(idc::HostPort, std::to_string(hostPort));
    }
  }
  // The link type radios, enabled and clicked as the window's operator would.
  const int radio = link.kind == LinkKind::Serial ? idc::Com : idc::TcpUdp;
  surface_.Enable(idc::Com, true);
  surface_.Enable(idc::TcpUdp, true);
  surface_.Click(radio);
  return std::nullopt;
}

std::vector<std::string> Session::Run(void (ReaderConfigDialog::*handler)()) {
  surface_.ClearMessages();
  (dialog_.*handler)();
  std::vector<std::string> messages;
  for (const ShownMessage& message : surface_.Messages()) messages.push_back(message.text);
  return messages;
}

}  // namespace uhf::cli
