#pragma once
// The dialog's state and the view of the dialog every handler takes. The state is one object,
// owned once by whoever owns the dialog (the window's dialog, a test's fixture, a benchmark); the
// context adds the controls and the reader driver it works with.

#include <cstdint>
#include <string_view>

#include "dialog/BoundValues.h"
#include "dialog/InterfaceText.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/ReaderDriver.h"
#include "ui/ControlSurface.h"

namespace uhf {

// What the dialog keeps between two handlers.
struct DialogState {
  BoundValues values;
  InterfaceText texts = DefaultInterfaceText();
  // The reader kind as the last handshake left it.
  std::uint8_t readerKind = 0;
  // Whether the calls so far left a link open (set after a successful open, cleared by CloseCom).
  bool linkOpen = false;
  // Whether the controls show a complete read of the reader the link is open to: set by a read
  // whose every call succeeded, cleared whenever a link is opened or closed. A save needs it.
  bool controlsFromRead = false;
};

struct DialogContext {
  ControlSurface& surface;
  ReaderDriver& driver;
  DialogState& state;

  // Refresh the bound values from the controls (save = true) or the controls from the values.
  bool UpdateData(bool save) { return ExchangeBoundValues(surface, state.values, save); }

  // A message box with the application's name as caption, one OK button and no icon.
  void ShowMessage(std::string_view text) {
    surface.MessageBox(text, kAppTitle, MessageButtons::Ok, MessageIcon::None);
  }
};

}  // namespace uhf
