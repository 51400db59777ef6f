#include "ui/win32/DialogTemplateWriter.h"

#include <cstring>

namespace uhf {

namespace {

class Writer {
 public:
  void Byte(std::uint8_t value) { bytes_.push_back(value); }
  void Word(std::uint16_t value) {
    Byte(static_cast<std::uint8_t>(value & 0xFF));
    Byte(static_cast<std::uint8_t>(value >> 8));
  }
  void Short(std::int16_t value) { Word(static_cast<std::uint16_t>(value)); }
  void DWord(std::uint32_t value) {
    Word(static_cast<std::uint16_t>(value & 0xFFFF));
    Word(static_cast<std::uint16_t>(value >> 16));
  }
  // UTF-16 with its terminating zero.
  void String(const std::u16string& text) {
    for (char16_t unit : text) Word(static_cast<std::uint16_t>(unit));
    Word(0);
  }
  void Align() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  void PatchWord(std::size_t at, std::uint16_t value) {
    bytes_[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::uint32_t> Finish() const {
    std::vector<std::uint32_t> out((bytes_.size() + 3) / 4, 0);
    if (!bytes_.empty()) std::memcpy(out.data(), bytes_.data(), bytes_.size());
    return out;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint32_t> WriteDialogTemplate(const DialogTemplateHeader& header,
                                               const std::vector<DialogTemplateItem>& items) {
  Writer w;
  w.Word(1);       // version
  w.Word(0xFFFF);  // extended template
  w.DWord(0);      // help id
  w.DWord(header.exStyle);
  w.DWord(header.style);
  const std::size_t countAt = w.Size();
  w.Word(0);  // item count, patched below
  w.Short(0);
  w.Short(0);
  w.Short(header.widthDu);
  w.Short(header.heightDu);
  w.Word(0);  // no menu
  w.Word(0);  // the standard dialog class
  w.String(header.caption);
  w.Word(header.fontPoints);
  w.Word(header.fontWeight);
  w.Byte(header.fontItalic);
  w.Byte(header.fontCharset);
  w.String(header.fontFace);

  std::uint16_t count = 0;
  for (const DialogTemplateItem& item : items) {
    w.Align();
    w.DWord(0);  // help id
    w.DWord(0);  // extended style
    w.DWord(item.style);
    w.Short(item.x);
    w.Short(item.y);
    w.Short(item.width);
    w.Short(item.height);
    w.DWord(item.id);
    w.String(item.className);
    w.String(item.text);
    w.Word(0);  // no creation data
    ++count;
  }
  w.PatchWord(countAt, count);
  return w.Finish();
}

}  // namespace uhf
