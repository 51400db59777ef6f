#pragma once
// A dialog template as data: the window's caption, size and font, and every control with its id,
// kind, text, rectangle in dialog units, styles and template state. Surfaces (the Qt and Win32
// windows, the in-memory surface) build their controls from one.

#include <cstdint>
#include <string>
#include <vector>

namespace uhf {

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
  // A rich edit used as a log pane: plain lines appended at the end, never coloured or aligned.
  // A surface may show it as a plain multi-line edit, which drops its oldest lines much faster.
  kStyleLog = 1u << 6,
};

// The id of controls that have none (static labels, frames); no surface operation takes it.
inline constexpr int kNoId = -1;

struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const DialogRect&, const DialogRect&) = default;
};

struct ControlTemplate {
  int id;  // kNoId for the static controls that have no id
  ControlKind kind;
  std::string text;  // caption in the template (before initialisation changes it)
  DialogRect rect;   // dialog units
  std::uint32_t style;
  bool visible;
  bool enabled;
  int radioGroup = 0;  // radios that a click makes exclusive share a nonzero group number
};

struct DialogTemplate {
  std::string caption;
  int widthDu = 0;  // client size in dialog units
  int heightDu = 0;
  std::string fontFace;
  int fontPoints = 0;
  std::vector<ControlTemplate> controls;  // in creation (tab) order

  // The entry of a control id; nullptr for an unknown id or one without an id.
  const ControlTemplate* Find(int id) const {
    if (id == kNoId) return nullptr;
    for (const ControlTemplate& control : controls) {
      if (control.id == id) return &control;
    }
    return nullptr;
  }
};

}  // namespace uhf
