#pragma once
// The companion's dialog: the main dialog on in-memory controls, initialised as the window is,
// with the hidden link controls set from the command line. The reader operations return their
// model (the configuration read, the result); the tag reads fill the dialog's tag list.

#include <optional>
#include <string>
#include <vector>

#include "app/ReaderConfigDialog.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "reader/ReaderConfiguration.h"
#include "station/StationCycle.h"
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

// The texts that explain a failed operation (station/StationCycle.h).
using uhf::FailureText;

class Session {
 public:
  Session(ReaderDriver& driver, DialogPlatform platform);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Sets the link controls as an operator would; an error text when the options cannot be
  // expressed in them (unknown baud rate, malformed address).
  std::optional<std::string> SetLink(const LinkOptions& link);

  // Runs one handler of the dialog and returns the message boxes it showed.
  std::vector<std::string> Run(void (ReaderConfigDialog::*handler)());

  MemorySurface& Surface() { return surface_; }
  ReaderConfigDialog& Dialog() { return dialog_; }
  DialogContext& Context() { return dialog_.Context(); }

 private:
  MemorySurface surface_{MainDialogTemplate()};
  ReaderConfigDialog dialog_;
};

}  // namespace uhf::cli
