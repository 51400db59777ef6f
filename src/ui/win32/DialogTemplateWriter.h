#pragma once
// The bytes of an in-memory extended dialog template, the layout the Windows dialog manager
// creates a dialog from: the header with the font, then one item per control, each item aligned
// to four bytes. Plain C++ (the styles and class names come in as numbers and text), so the
// layout builds and is tested on every platform.

#include <cstdint>
#include <string>
#include <vector>

namespace uhf {

struct DialogTemplateHeader {
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  std::int16_t widthDu = 0;
  std::int16_t heightDu = 0;
  std::u16string caption;
  std::uint16_t fontPoints = 0;
  std::uint16_t fontWeight = 0;
  std::uint8_t fontItalic = 0;
  std::uint8_t fontCharset = 0;
  std::u16string fontFace;
};

struct DialogTemplateItem {
  std::uint32_t style = 0;  // the whole window style, the child style included
  std::int16_t x = 0;       // dialog units
  std::int16_t y = 0;
  std::int16_t width = 0;
  std::int16_t height = 0;
  std::uint32_t id = 0;
  std::u16string className;
  std::u16string text;
};

// Little-endian fields; the help ids, the items' extended styles, the menu, the window class and
// the items' creation data are all zero (none), the dialog's position is 0, 0. Four-byte words,
// as the dialog manager wants the template aligned.
std::vector<std::uint32_t> WriteDialogTemplate(const DialogTemplateHeader& header,
                                               const std::vector<DialogTemplateItem>& items);

}  // namespace uhf
