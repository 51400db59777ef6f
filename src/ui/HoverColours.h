#pragma once
// The push buttons' colours, one definition for the Qt and the Win32 window: the hover button's
// flat face and, while the mouse rests on it, its orange border drawn with one pen per edge; while
// it has the keyboard focus (and no hover), a blue border and a dotted focus rectangle; and the
// background of the other push buttons.

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

// The focused look: the blue border, then a dotted rectangle this many pixels inside the button's
// edges, clear of the widest border pen.
inline constexpr HoverEdge kFocusLeftEdge{{153, 198, 252}, 3};
inline constexpr HoverEdge kFocusRightEdge{{162, 189, 252}, 3};
inline constexpr HoverEdge kFocusTopEdge{{162, 201, 255}, 2};
inline constexpr HoverEdge kFocusBottomEdge{{162, 201, 255}, 2};
inline constexpr int kFocusRectInset = 4;

inline constexpr Rgb kPushButtonBackground{154, 205, 50};

}  // namespace uhf
