#pragma once
// What a handler needs of the dialog: its controls, its bound values, the interface texts, the
// reader driver, the reader kind of the last handshake, whether a link is open and whether the
// controls show a read of that link's reader. The dialog owns
// all of them and hands this view to every operation.

#include <cstdint>
#include <string_view>

#include "dialog/BoundValues.h"
#include "dialog/InterfaceText.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/ReaderDriver.h"
#include "ui/ControlSurface.h"

namespace uhf {

struct DialogContext {
  ControlSurface& surface;
  BoundValues& values;
  const InterfaceText& texts;
  ReaderDriver& driver;
  std::uint8_t& readerKind;
  // Whether the calls so far left a link open (set after a successful open, cleared by CloseCom).
  bool& linkOpen;
  // Whether the controls show a complete read of the reader the link is open to: set by a read
  // whose every call succeeded, cleared whenever a link is opened or closed. A save needs it.
  bool& controlsFromRead;

  // Refresh the bound values from the controls (save = true) or the controls from the values.
  bool UpdateData(bool save) { return ExchangeBoundValues(surface, values, save); }

  // A message box with the application's name as caption, one OK button and no icon.
  void ShowMessage(std::string_view text) {
    surface.MessageBox(text, kAppTitle, MessageButtons::Ok, MessageIcon::None);
  }
};

}  // namespace uhf
