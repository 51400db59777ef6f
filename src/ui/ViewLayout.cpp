#include "ui/ViewLayout.h"

#include <stdexcept>
#include <string>

namespace uhf {
namespace {

bool SameControl(const ControlTemplate& a, const ControlTemplate& b) {
  if (a.id != kNoId || b.id != kNoId) return a.id == b.id;
  return a.kind == b.kind && a.text == b.text;
}

std::string Describe(const ControlTemplate& control) {
  return control.id != kNoId ? "control " + std::to_string(control.id)
                             : "control without id \"" + control.text + "\"";
}

}  // namespace

std::vector<std::size_t> MatchLayout(const DialogTemplate& built, const DialogTemplate& layout) {
  if (built.controls.size() != layout.controls.size()) {
    throw std::invalid_argument("the layout holds " + std::to_string(layout.controls.size()) +
                                " controls, the dialog " + std::to_string(built.controls.size()));
  }
  std::vector<bool> taken(built.controls.size(), false);
  std::vector<std::size_t> match;
  match.reserve(layout.controls.size());
  for (const ControlTemplate& control : layout.controls) {
    // The first control of the dialog not matched yet: unnamed twins pair up in order.
    std::size_t found = built.controls.size();
    for (std::size_t i = 0; i < built.controls.size(); ++i) {
      if (!taken[i] && SameControl(built.controls[i], control)) {
        found = i;
        break;
      }
    }
    if (found == built.controls.size()) {
      throw std::invalid_argument(Describe(control) + " of the layout is not in the dialog");
    }
    taken[found] = true;
    match.push_back(found);
  }
  return match;
}

}  // namespace uhf
