#include "ui/win32/DialogTemplateWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace uhf {
namespace {

// Reads a template back by its layout, as the dialog manager does: little-endian fields, every
// item starting at a multiple of four bytes from the start. Nothing when the bytes end early or a
// fixed field is off.
class Reader {
 public:
  explicit Reader(const std::vector<std::uint32_t>& words) : bytes_(words.size() * 4) {
    if (!words.empty()) std::memcpy(bytes_.data(), words.data(), bytes_.size());
  }

  std::optional<std::pair<DialogTemplateHeader, std::vector<DialogTemplateItem>>> Read() {
    DialogTemplateHeader header;
    if (Word() != 1 || Word() != 0xFFFF || DWord() != 0) return std::nullopt;
    header.exStyle = DWord();
    header.style = DWord();
    const std::uint16_t count = Word();
    if (Short() != 0 || Short() != 0) return std::nullopt;
    header.widthDu = Short();
    header.heightDu = Short();
    if (Word() != 0 || Word() != 0) return std::nullopt;  // menu, class
    header.caption = String();
    header.fontPoints = Word();
    header.fontWeight = Word();
    header.fontItalic = Byte();
    header.fontCharset = Byte();
    header.fontFace = String();
    std::vector<DialogTemplateItem> items(count);
    for (DialogTemplateItem& item : items) {
      at_ = (at_ + 3) / 4 * 4;
      if (DWord() != 0 || DWord() != 0) return std::nullopt;  // help id, extended style
      item.style = DWord();
      item.x = Short();
      item.y = Short();
      item.width = Short();
      item.height = Short();
      item.id = DWord();
      item.className = String();
      item.text = String();
      if (Word() != 0) return std::nullopt;  // creation data
    }
    if (!ok_ || bytes_.size() - at_ > 3) return std::nullopt;  // only padding after the last
    return std::make_pair(header, items);
  }

 private:
  std::uint8_t Byte() {
    if (at_ >= bytes_.size()) {
      ok_ = false;
      return 0;
    }
    return bytes_[at_++];
  }
  std::uint16_t Word() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | Byte() << 8);
  }
  std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
  std::uint32_t DWord() {
    const std::uint32_t low = Word();
    return low | static_cast<std::uint32_t>(Word()) << 16;
  }
  std::u16string String() {
    std::u16string text;
    while (ok_) {
      const char16_t unit = Word();
      if (unit == 0) break;
      text += unit;
    }
    return text;
  }

  std::vector<std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

bool operator==(const DialogTemplateHeader& a, const DialogTemplateHeader& b) {
  return a.exStyle == b.exStyle && a.style == b.style && a.widthDu == b.widthDu &&
         a.heightDu == b.heightDu && a.caption == b.caption && a.fontPoints == b.fontPoints &&
         a.fontWeight == b.fontWeight && a.fontItalic == b.fontItalic &&
         a.fontCharset == b.fontCharset && a.fontFace == b.fontFace;
}

bool operator==(const DialogTemplateItem& a, const DialogTemplateItem& b) {
  return a.style == b.style && a.x == b.x && a.y == b.y && a.width == b.width &&
         a.height == b.height && a.id == b.id && a.className == b.className && a.text == b.text;
}

TEST(DialogTemplateWriter, ReadsBackByTheLayoutWhateverTheTextLengths) {
  // Texts of odd and even lengths move every later item off a four-byte boundary unless it is
  // aligned; ids, styles and coordinates cover all bytes of their fields.
  const DialogTemplateHeader header{0x00040000u, 0x80CA00C8u, 389, -2,  u"UHF读头",
                                    9,           400,         0,   134, u"宋体"};
  const std::vector<DialogTemplateItem> items = {
      {0x50010000u, 7, 8, 50, 14, 1000, u"Button", u"Connect"},
      {0x50000000u, -1, 300, 1, 2, 0xFFFF, u"Static", u""},
      {0x50810080u, 0x7FFF, -0x8000, 120, 12, 0x12345678u, u"Edit", u"x"},
      {0x40000000u, 0, 0, 0, 0, 1082, u"RichEdit20W", u"第一行\r\n第二行"},
  };
  for (std::size_t count = 0; count <= items.size(); ++count) {
    for (const std::u16string& caption :
         {std::u16string(), std::u16string(u"A"), std::u16string(u"AB"), header.caption}) {
      SCOPED_TRACE(testing::Message() << count << " items, caption of " << caption.size());
      DialogTemplateHeader h = header;
      h.caption = caption;
      const std::vector<DialogTemplateItem> written(items.begin(), items.begin() + count);
      const auto read = Reader(WriteDialogTemplate(h, written)).Read();
      ASSERT_TRUE(read.has_value());
      EXPECT_TRUE(read->first == h);
      ASSERT_EQ(read->second.size(), count);
      for (std::size_t i = 0; i < count; ++i) EXPECT_TRUE(read->second[i] == written[i]) << i;
    }
  }
}

TEST(DialogTemplateWriter, FieldsAreLittleEndianAtTheirPlaces) {
  DialogTemplateHeader header;
  header.exStyle = 0x11223344u;
  header.style = 0x55667788u;
  header.widthDu = 0x0102;
  const std::vector<std::uint32_t> words =
      WriteDialogTemplate(header, {DialogTemplateItem{}, DialogTemplateItem{}});
  std::vector<std::uint8_t> bytes(words.size() * 4);
  std::memcpy(bytes.data(), words.data(), bytes.size());
  ASSERT_GE(bytes.size(), 24u);
  const std::vector<std::uint8_t> start = {0x01, 0x00, 0xFF, 0xFF, 0,    0,    0,    0,
                                           0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55,
                                           0x02, 0x00, 0,    0,    0,    0,    0x02, 0x01};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 24), start);
}

}  // namespace
}  // namespace uhf
