#pragma once
// The window's two views of one dialog: the operator view (the template as shipped) and the
// engineering view (every control an installer needs, shown and usable). Switching rearranges the
// same controls in place, so every value shown stays. The window's own command switches them:
// Ctrl+E, or its menu entry, checked in the engineering view.
//
// What the shipped layout keeps disabled only to show a value is enabled in the engineering view;
// the controls an option handler governs follow the current choices as that handler sets them.
// Back in the operator view every control is enabled as it was before.

#include <functional>
#include <utility>
#include <vector>

#include "ui/ControlSurface.h"
#include "ui/DialogTemplate.h"

namespace uhf {

enum class DialogView { Operator, Engineering };

// The template that arranges the dialog's controls in `view`.
const DialogTemplate& ViewTemplate(DialogView view);

class DialogViews {
 public:
  // A surface built from the operator view's template; shows `initial`.
  DialogViews(ControlSurface& surface, DialogView initial);
  DialogViews(const DialogViews&) = delete;
  DialogViews& operator=(const DialogViews&) = delete;

  // Runs before the engineering view gives way to the operator view.
  void OnLeavingEngineering(std::function<void()> run) { leavingEngineering_ = std::move(run); }

  void Show(DialogView view);
  void Toggle();
  DialogView Current() const { return current_; }
  // While held, a switch asked for waits and is made on release: a station cycle holds the
  // operator buttons off and gives them back as it found them, which a switch between would undo.
  void HoldSwitches(bool hold);

 private:
  void EnableForEngineering();

  ControlSurface& surface_;
  DialogView current_ = DialogView::Operator;
  DialogView wanted_ = DialogView::Operator;  // differs from current_ only while held
  bool held_ = false;
  std::vector<std::pair<int, bool>> operatorEnabled_;  // id, enabled: as the operator view had them
  std::function<void()> leavingEngineering_;
};

}  // namespace uhf
