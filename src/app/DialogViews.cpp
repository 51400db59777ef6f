#include "app/DialogViews.h"

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"

namespace uhf {

const DialogTemplate& ViewTemplate(DialogView view) {
  return view == DialogView::Engineering ? EngineeringDialogTemplate() : MainDialogTemplate();
}

DialogViews::DialogViews(ControlSurface& surface, DialogView initial) : surface_(surface) {
  surface_.AddWindowCommand(kEngineeringViewCommand, kEngineeringViewKey, [this] { Toggle(); });
  // The operator view is the one the surface was built in: nothing to rearrange.
  if (initial != DialogView::Operator) Show(initial);
}

void DialogViews::Show(DialogView view) {
  wanted_ = view;
  if (held_ || view == current_) return;
  if (view == DialogView::Engineering) {
    operatorEnabled_.clear();
    for (const ControlTemplate& control : EngineeringDialogTemplate().controls) {
      if (control.id != kNoId)
        operatorEnabled_.emplace_back(control.id, surface_.IsEnabled(control.id));
    }
    surface_.ApplyLayout(ViewTemplate(view));
    EnableForEngineering();
  } else {
    if (leavingEngineering_) leavingEngineering_();
    surface_.ApplyLayout(ViewTemplate(view));
    for (const auto& [id, enabled] : operatorEnabled_) surface_.Enable(id, enabled);
  }
  current_ = view;
  surface_.CheckWindowCommand(kEngineeringViewKey, view == DialogView::Engineering);
}

void DialogViews::EnableForEngineering() {
  for (const ControlTemplate& control : EngineeringDialogTemplate().controls) {
    if (control.id == kNoId || !control.visible) continue;
    surface_.Enable(control.id, true);
  }
  // The option handlers' rules, from the choices as they stand: the length only with a COM or
  // TCP/UDP link, the Wiegand format only with USB, the read time only in trigger mode.
  const bool usb = surface_.GetCheck(idc::Usb) == 1;
  surface_.Enable(idc::Length, !usb);
  surface_.Enable(idc::Wiegand26, usb);
  surface_.Enable(idc::Wiegand34, usb);
  surface_.Enable(idc::ReadTime, surface_.GetCheck(idc::ReadByTrigger) == 1);
}

void DialogViews::Toggle() {
  Show(wanted_ == DialogView::Engineering ? DialogView::Operator : DialogView::Engineering);
}

void DialogViews::HoldSwitches(bool hold) {
  held_ = hold;
  if (!held_) Show(wanted_);
}

}  // namespace uhf
