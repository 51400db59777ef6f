// The tag reads on replies made of any bytes: the hostile driver draws every status, reply,
// reply length and conversion result from the input. Checks that no read crashes or reads
// outside its buffers (the sanitizers), and that the list only ever grows by one row per read
// with consistent cells.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "dialog/ControlIds.h"
#include "dialog/DialogContext.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/HostileDriver.h"
#include "tags/TagReads.h"
#include "ui/MemorySurface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  uhf::HostileDriver driver(std::span<const std::uint8_t>(data + 4, size - 4));
  uhf::MemorySurface surface{uhf::MainDialogTemplate()};
  uhf::DialogState state;
  state.readerKind = data[0] % 4 == 3 ? data[1] : data[0] % 4;
  state.linkOpen = true;
  state.controlsFromRead = true;
  uhf::DialogContext ctx{surface, driver, state};

  for (int i = 0; i < 12; ++i) {
    surface.ComboAdd(uhf::idc::StartBytes, std::to_string(i));
    surface.ComboAdd(uhf::idc::Length, std::to_string(i + 1));
  }
  const std::uint8_t choice = data[2];
  surface.ComboSetSel(uhf::idc::StartBytes, choice % 13 - 1);
  surface.ComboSetSel(uhf::idc::Length, data[3] % 13 - 1);
  surface.SetCheck(uhf::idc::Usb, (choice & 0x10) != 0 ? 1 : 0);
  surface.SetCheck(uhf::idc::Wiegand34, (choice & 0x20) != 0 ? 1 : 0);
  surface.SetCheck(uhf::idc::ForwardOutput, (choice & 0x40) != 0 ? 1 : 0);

  uhf::TagReads reads(ctx, (choice & 0x80) != 0 ? uhf::RowLookup::Scan : uhf::RowLookup::Indexed);
  for (int round = 0; round < 8; ++round) {
    const int before = surface.ListCount(uhf::idc::TagList);
    switch ((data[1] + round) % 4) {
      case 0:
        reads.OnReadTag();
        break;
      case 1:
        reads.ReadTagUSB();
        break;
      case 2:
        reads.OnReadTagTestHex();
        break;
      default:
        reads.OnReadTagTestDecimal();
        break;
    }
    const int after = surface.ListCount(uhf::idc::TagList);
    if (after != before && after != before + 1) std::abort();
    for (int row = 0; row < after; ++row) {
      if (surface.ListGetItemText(uhf::idc::TagList, row, 0, 16).empty()) std::abort();
      if (surface.ListGetItemText(uhf::idc::TagList, row, 2, 16).empty()) std::abort();
    }
  }
  return 0;
}
