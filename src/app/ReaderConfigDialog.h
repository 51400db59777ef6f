#pragma once
// The main dialog: owns the dialog's state (bound values, interface texts, link) and the tag reads,
// initialises the controls and routes every control notification to its handler. Runs against
// any ControlSurface, so the same code drives the Qt window and the in-memory surface in tests.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog/BoundValues.h"
#include "dialog/DialogContext.h"
#include "dialog/InterfaceText.h"
#include "driver/ReaderDriver.h"
#include "ports/AvailablePorts.h"
#include "tags/TagReads.h"
#include "ui/ControlSurface.h"

namespace uhf {

// What initialisation needs of the machine; tests replace any of it.
struct DialogPlatform {
  // The serial ports in the system's order; may throw (the message is shown once).
  std::function<std::vector<AvailablePort>()> availablePorts;
  // This computer's address, or empty. Runs on a worker thread when the surface draws frames, so
  // it must not touch the dialog; it may block (a slow name lookup) and may throw (no address).
  std::function<std::string()> hostAddress;
  // config.ini of the current directory, or nothing when its path cannot be formed.
  std::function<std::optional<std::filesystem::path>()> configIniPath;
};

// The machine's own: serial ports from the build's backend, the host name's address, the
// config.ini of the current directory.
DialogPlatform SystemDialogPlatform();

class ReaderConfigDialog {
 public:
  ReaderConfigDialog(ControlSurface& surface, ReaderDriver& driver,
                     DialogPlatform platform = SystemDialogPlatform());
  ReaderConfigDialog(const ReaderConfigDialog&) = delete;
  ReaderConfigDialog& operator=(const ReaderConfigDialog&) = delete;

  // Fills the controls: values, selectors, addresses, button states, texts, link type, fonts.
  void OnInitDialog();
  // The message map: a control's notification to its handler.
  void OnCommand(int id, Notification notification);
  // Enter: a saving exchange; the dialog may end only when every check passed.
  bool OnOK();

  // Reader operations
  void OnConnect();
  void OnDisconnect();
  void OnFactoryDefault();
  void OnSaveChanges();
  void OnSetAddress();
  void OnGetAddress();
  // Tag reads
  void OnReadTag();
  void OnTagListDblClk();
  void OnReadTagTestDecimal();
  void OnReadTagTestHex();
  void OnReadTagUSB();
  // Option controls
  void OnUsb();
  void OnComOrTcpUdp();
  void OnReadAlways();
  void OnReadByTrigger();
  void OnFcc();
  void OnEtsi();
  void OnWiegand26();
  void OnWiegand34();
  void OnTagIntervalChange();

  const BoundValues& Values() const { return state_.values; }
  const InterfaceText& Texts() const { return state_.texts; }
  // The reader kind of the last handshake.
  std::uint8_t ReaderKind() const { return state_.readerKind; }
  DialogContext& Context() { return ctx_; }
  TagReads& Tags() { return tagReads_; }

 private:
  void FillPortSelector();
  void FillStartBytes(int count);

  ControlSurface& surface_;
  DialogPlatform platform_;
  DialogState state_;
  DialogContext ctx_;
  TagReads tagReads_;
};

}  // namespace uhf
