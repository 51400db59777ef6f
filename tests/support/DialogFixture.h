#pragma once
// Handler tests: the dialog's state on an in-memory surface, with the simulated reader behind it
// and the one notification that matters to handlers (a change of the tag interval edit runs a
// saving data exchange) wired as the dialog wires it.

#include <cstdint>

#include "dialog/ControlIds.h"
#include "dialog/DialogContext.h"
#include "dialog/InterfaceText.h"
#include "sim/InstrumentedReader.h"
#include "ui/MemorySurface.h"

namespace uhf::testing {

struct DialogFixture {
  MemorySurface surface{MainDialogTemplate()};
  InstrumentedReader reader;
  BoundValues values;
  InterfaceText texts = DefaultInterfaceText();
  std::uint8_t readerKind = 0;
  bool linkOpen = false;
  bool controlsFromRead = false;
  DialogContext ctx{surface, values, texts, reader, readerKind, linkOpen, controlsFromRead};

  explicit DialogFixture(SimOptions options = {}) : reader(options) {
    surface.SetNotificationHandler([this](int id, Notification notification) {
      if (id == idc::TagInterval && notification == Notification::EditChanged) {
        ctx.UpdateData(true);
      }
    });
    ctx.UpdateData(false);
  }
};

}  // namespace uhf::testing
