#pragma once
// The companion's dialog: the main dialog on in-memory controls, initialised as the window is,
// with the hidden link controls set from the command line. Every operation runs through the
// dialog's own handlers, and its outcome is what those handlers showed: the status panel's text
// and colour and the message boxes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/ReaderConfigDialog.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "ui/MemorySurface.h"

namespace uhf::cli {

enum class LinkKind { Usb, Serial, Tcp };

struct LinkOptions {
  LinkKind kind = LinkKind::Usb;
  int port = 0;             // serial: the port's number, as in COM3
  std::optional<int> baud;  // serial: 9600, 19200, 38400, 57600 or 115200
  std::string reader;       // tcp: IP:PORT of the reader
  std::string host;         // tcp: IP:PORT of this computer; empty keeps the window's own
};

// The link as a short text for logs: "usb", "serial COM3 115200", "tcp 192.168.1.250:27001".
std::string LinkText(const LinkOptions& link);

// What one handler showed the operator.
struct Outcome {
  std::string statusText;
  std::optional<Rgb> statusColour;    // colour of the status text, when it was coloured
  std::vector<std::string> messages;  // message boxes, in order

  bool StatusShows(std::string_view text, Rgb colour) const {
    return statusText == text && statusColour == colour;
  }
  bool StatusRed() const;
  // The texts that explain a failure: a red status text, then every message box.
  std::string FailureText() const;
};

class Session {
 public:
  Session(ReaderDriver& driver, DialogPlatform platform);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Sets the link controls as an operator would; an error text when the options cannot be
  // expressed in them (unknown baud rate, malformed address).
  std::optional<std::string> SetLink(const LinkOptions& link);

  // Runs one handler of the dialog and returns what it showed.
  Outcome Run(void (ReaderConfigDialog::*handler)());

  MemorySurface& Surface() { return surface_; }
  ReaderConfigDialog& Dialog() { return dialog_; }
  bool UsbLink() const { return surface_.GetCheck(idc::Usb) != 0; }

 private:
  MemorySurface surface_{MainDialogTemplate()};
  ReaderConfigDialog dialog_;
};

// Outcomes of the operations, judged by what the window would show.
bool ReadSucceeded(const Outcome& outcome);     // "读取成功" in green, no message box
bool FactorySucceeded(const Outcome& outcome);  // "设置成功" in green, no message box
bool SaveSucceeded(const Outcome& outcome, const InterfaceText& texts);  // the saved text
bool NoMessageShown(const Outcome& outcome);

}  // namespace uhf::cli
