#pragma once
// The main dialog's template as data: every control with its id, kind, text, rectangle in dialog
// units, styles and template state. Surfaces (the Qt window, the in-memory surface) build their
// controls from it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uhf {

inline constexpr std::string_view kAppTitle = "UHF读头配置工具";
inline constexpr int kDialogWidthDu = 487;
inline constexpr int kDialogHeightDu = 313;
inline constexpr std::string_view kDialogFontFace = "Segoe UI Symbol";
inline constexpr int kDialogFontPoints = 10;

enum class ControlKind {
  PushButton,
  GroupBox,
  Static,
  Edit,
  ComboBox,  // drop-down list, unsorted, vertical scroll bar
  RadioButton,
  CheckBox,
  ListView,  // report view
  IpAddress,
  RichEdit,
  Picture,
};

// Style bits that matter to the surfaces.
enum StyleBits : std::uint32_t {
  kStyleNone = 0,
  kStyleCenter = 1u << 0,     // centred text
  kStyleRight = 1u << 1,      // right-aligned text
  kStyleMultiline = 1u << 2,  // several lines of text
  kStyleReadOnly = 1u << 3,
  kStyleBorder = 1u << 4,
  kStyleGroup = 1u << 5,  // first control of a group
};

struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ControlTemplate {
  int id;  // idc::None for the static controls that have no id
  ControlKind kind;
  std::string text;  // caption in the template (before initialisation changes it)
  DialogRect rect;   // dialog units
  std::uint32_t style;
  bool visible;
  bool enabled;
  int radioGroup = 0;  // radios that a click makes exclusive share a nonzero group number
};

// The controls of dialog 102, in creation (tab) order.
const std::vector<ControlTemplate>& MainDialogTemplate();

// The template entry of a control id; nullptr for an unknown id.
const ControlTemplate* FindControl(int id);

// First line of the banner: our reader model designation.
inline constexpr std::string_view kModelDesignation = "TV-W2634";

}  // namespace uhf
