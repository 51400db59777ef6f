#include "app/DialogViews.h"

#include "dialog/MainDialogTemplate.h"

namespace uhf {

DialogViews::DialogViews(ControlSurface& surface, DialogView initial) : surface_(surface) {
  surface_.AddWindowCommand(kEngineeringViewCommand, kEngineeringViewKey, [this] { Toggle(); });
  // The operator view is the one the surface was built in: nothing to rearrange.
  if (initial != DialogView::Operator) Show(initial);
}

void DialogViews::Show(DialogView view) {
  surface_.ApplyLayout(view == DialogView::Engineering ? EngineeringDialogTemplate()
                                                       : MainDialogTemplate());
  current_ = view;
  surface_.CheckWindowCommand(kEngineeringViewKey, view == DialogView::Engineering);
}

void DialogViews::Toggle() {
  Show(current_ == DialogView::Engineering ? DialogView::Operator : DialogView::Engineering);
}

}  // namespace uhf
