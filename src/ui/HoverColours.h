#pragma once
// The push buttons' colours, one definition for the Qt and the Win32 window: the hover button's
// flat face and, while the mouse rests on it, its orange border drawn with one pen per edge; and
// the background of the other push buttons.

#include "ui/ControlSurface.h"

namespace uhf {

struct HoverEdge {
  Rgb colour;
  int width;  // pixels
};

inline constexpr Rgb kHoverFace{122, 192, 43};
inline constexpr HoverEdge kHoverLeftEdge{{250, 196, 88}, 3};
inline constexpr HoverEdge kHoverRightEdge{{251, 202, 106}, 3};
inline constexpr HoverEdge kHoverTopEdge{{252, 210, 121}, 2};
inline constexpr HoverEdge kHoverBottomEdge{{229, 151, 0}, 2};

inline constexpr Rgb kPushButtonBackground{154, 205, 50};

}  // namespace uhf
