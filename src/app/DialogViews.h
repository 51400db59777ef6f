#pragma once
// The window's two views of one dialog: the operator view (the template as shipped) and the
// engineering view (every control an installer needs, shown). Switching rearranges the same
// controls in place, so every value shown stays; what is enabled stays the handlers' business.
// The window's own command switches them: Ctrl+E, or its menu entry, checked in the engineering
// view.

#include "ui/ControlSurface.h"

namespace uhf {

enum class DialogView { Operator, Engineering };

class DialogViews {
 public:
  // A surface built from the operator view's template; shows `initial`.
  DialogViews(ControlSurface& surface, DialogView initial);
  DialogViews(const DialogViews&) = delete;
  DialogViews& operator=(const DialogViews&) = delete;

  void Show(DialogView view);
  void Toggle();
  DialogView Current() const { return current_; }

 private:
  ControlSurface& surface_;
  DialogView current_ = DialogView::Operator;
};

}  // namespace uhf
