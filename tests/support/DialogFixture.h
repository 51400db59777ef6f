#pragma once
// Handler tests: the dialog's state on an in-memory surface over a driver the fixture owns, with
// the one notification that matters to handlers (a change of the tag interval edit runs a saving
// data exchange) wired as the dialog wires it. The fixture is the dialog's state, so a test reads
// and sets it directly (f.values, f.linkOpen, ...).

#include <cstdint>
#include <string>
#include <utility>

#include "dialog/ControlIds.h"
#include "dialog/DialogContext.h"
#include "dialog/InterfaceText.h"
#include "sim/InstrumentedReader.h"
#include "ui/MemorySurface.h"

namespace uhf::testing {

template <class Driver>
struct MemoryDialog : DialogState {
  MemorySurface surface{MainDialogTemplate()};
  Driver driver;
  DialogContext ctx{surface, driver, *this};

  template <class... DriverArgs>
  explicit MemoryDialog(DriverArgs&&... args) : driver(std::forward<DriverArgs>(args)...) {
    surface.SetNotificationHandler([this](int id, Notification notification) {
      if (id == idc::TagInterval && notification == Notification::EditChanged) {
        ctx.UpdateData(true);
      }
    });
    ctx.UpdateData(false);
  }

  DialogState& State() { return *this; }

  // What the handlers read of the dialog after its initialisation: baud rates with 115200
  // selected, power "0".."63" with "5" selected, lengths "1".."12" without a selection, the USB
  // link type, a blank host address and the reader's default address.
  void PrepareAsInitialised() {
    MemorySurface& s = surface;
    s.ComboReset(idc::ConnBaud);
    for (const char* baud : {"9600", "19200", "38400", "57600", "115200"}) {
      s.ComboAdd(idc::ConnBaud, baud);
    }
    s.ComboSetSel(idc::ConnBaud, 4);
    s.ComboReset(idc::Power);
    for (int i = 0; i < 64; ++i) s.ComboAdd(idc::Power, std::to_string(i));
    s.ComboSetSel(idc::Power, 5);
    s.ComboReset(idc::Length);
    for (int i = 1; i <= 12; ++i) s.ComboAdd(idc::Length, std::to_string(i));
    s.SetCheck(idc::Usb, 1);
    s.IpSetAddress(idc::HostIp, "");
    s.IpSetAddress(idc::ReaderIp, "192.168.1.250");
  }
};

// Over the simulated reader, which the tests call `reader`.
struct DialogFixture : MemoryDialog<InstrumentedReader> {
  InstrumentedReader& reader = driver;

  explicit DialogFixture(SimOptions options = {}) : MemoryDialog(options) {}
};

}  // namespace uhf::testing
