#pragma once
// Another arrangement of a dialog's controls: a template with the same controls as the one a
// surface was built from, each with its own rectangle and visibility, in its own tab order.
// Controls with an id are matched by id; those without one by kind and text, in order.

#include <cstddef>
#include <vector>

#include "ui/DialogTemplate.h"

namespace uhf {

// For each control of `layout`, the index of the same control in `built`. Throws
// std::invalid_argument when the two do not hold the same controls, each exactly once.
std::vector<std::size_t> MatchLayout(const DialogTemplate& built, const DialogTemplate& layout);

}  // namespace uhf
