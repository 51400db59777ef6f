#include "text/EncodingGuess.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace uhf {

namespace {

struct Tally {
  std::size_t plausible = 0;
  std::size_t total = 0;
};

// Code points of a valid UTF-8 text.
std::vector<char32_t> CodePoints(std::string_view bytes) {
  std::vector<char32_t> out;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (i + length > bytes.size()) length = bytes.size() - i;
    char32_t cp = length == 1 ? lead : lead & (0xFFu >> (length + 1));
    for (std::size_t k = 1; k < length; ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3Fu);
    }
    out.push_back(cp);
    i += length;
  }
  return out;
}

bool InRange(char32_t cp, char32_t low, char32_t high) {
  return cp >= low && cp <= high;
}

// Letters of alphabetic scripts: plausible next to another letter, not standing alone between
// ASCII punctuation as a lone Chinese character in a value does.
bool IsAlphabeticLetter(char32_t cp) {
  return (InRange(cp, 0xC0, 0x17F) && cp != 0xD7 && cp != 0xF7)     // Latin-1, Latin Extended-A
         || InRange(cp, 0x1A0, 0x1A1) || InRange(cp, 0x1AF, 0x1B0)  // Vietnamese
         || InRange(cp, 0x1CD, 0x1DC)                               // pinyin tone marks
         || InRange(cp, 0x218, 0x21B)                               // Romanian
         || InRange(cp, 0x386, 0x3CE)                               // Greek
         || InRange(cp, 0x400, 0x45F)                               // Cyrillic
         || InRange(cp, 0x5D0, 0x5EA)                               // Hebrew letters
         || InRange(cp, 0x620, 0x64A);                              // Arabic letters
}

bool IsAsciiAlnum(char32_t cp) {
  return InRange(cp, '0', '9') || InRange(cp, 'A', 'Z') || InRange(cp, 'a', 'z');
}

// Characters that are plausible wherever they stand: CJK, kana, hangul, full-width forms and
// common punctuation and symbols.
bool IsPlausibleAnywhere(char32_t cp) {
  return InRange(cp, 0x2000, 0x206F)     // general punctuation
         || InRange(cp, 0x20A0, 0x20BF)  // currency
         || InRange(cp, 0x2100, 0x22FF)  // letterlike, number forms, arrows, operators
         || InRange(cp, 0x2460, 0x27BF)  // enclosed, box drawing, shapes, symbols
         || InRange(cp, 0x3000, 0x30FF)  // CJK punctuation, kana
         || InRange(cp, 0x3400, 0x4DBF) || InRange(cp, 0x4E00, 0x9FFF)  // CJK ideographs
         || InRange(cp, 0xAC00, 0xD7A3)                                 // hangul
         || InRange(cp, 0xFF00, 0xFFEF)                                 // full-width forms
         || InRange(cp, 0x1F300, 0x1FAFF);                              // emoji
}

Tally TallyUtf8(std::string_view bytes) {
  const std::vector<char32_t> cps = CodePoints(bytes);
  Tally tally;
  for (std::size_t i = 0; i < cps.size(); ++i) {
    const char32_t cp = cps[i];
    if (cp < 0x80) continue;
    ++tally.total;
    if (IsPlausibleAnywhere(cp)) {
      ++tally.plausible;
      continue;
    }
    const auto isNeighbourLetter = [&](std::size_t at) {
      return IsAsciiAlnum(cps[at]) || IsAlphabeticLetter(cps[at]);
    };
    const bool besideLetter =
        (i > 0 && isNeighbourLetter(i - 1)) || (i + 1 < cps.size() && isNeighbourLetter(i + 1));
    // Letters, and Latin-1 signs such as ° or ², belong beside letters or digits.
    if ((IsAlphabeticLetter(cp) || InRange(cp, 0xA0, 0xBF)) && besideLetter) ++tally.plausible;
  }
  return tally;
}

// GBK characters of the GB2312 set (symbols in rows 0xA1-0xA9, hanzi in rows 0xB0-0xF7) are the
// common ones; the GBK extensions and single high bytes are not.
Tally TallyGbk(std::string_view bytes) {
  Tally tally;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    ++tally.total;
    if (lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size()) {
      const auto trail = static_cast<unsigned char>(bytes[i + 1]);
      if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
        const bool gb2312 =
            trail >= 0xA1 && ((lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xF7));
        if (gb2312) ++tally.plausible;
        i += 2;
        continue;
      }
    }
    ++i;
  }
  return tally;
}

}  // namespace

bool GbkReadsBetterThanUtf8(std::string_view bytes) {
  const Tally utf8 = TallyUtf8(bytes);
  if (utf8.total == 0) return false;
  const Tally gbk = TallyGbk(bytes);
  if (gbk.total == 0) return false;
  // Compare the plausible shares without division.
  return gbk.plausible * utf8.total > utf8.plausible * gbk.total;
}

}  // namespace uhf
