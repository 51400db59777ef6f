#pragma once
// Dialog units: template rectangles scale with the dialog font, as the dialog manager does it.

#include <QFont>
#include <QRect>

#include "ui/DialogTemplate.h"

namespace uhf {

// Horizontal and vertical base units of a font, in pixels.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};

// Base units as the dialog manager computes them: the average width of "A".."Z" "a".."z"
// (rounded) and the font height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Dialog units to pixels, each rounded to the nearest pixel.
QRect DialogUnitsToPixels(const DialogRect& rect, DialogBaseUnits units);

}  // namespace uhf
