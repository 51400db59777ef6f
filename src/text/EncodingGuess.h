#pragma once
// Choosing between UTF-8 and GBK for bytes that are valid UTF-8. About a fifth of the common
// Chinese characters in GBK (指, 示, 取, 时, ...) happen to form valid two-byte UTF-8, which
// decodes to combining marks, phonetic letters or Hebrew points: valid, but no text anybody
// writes. The decoding whose characters are plausible wins.

#include <string_view>

namespace uhf {

// True when `bytes` (valid UTF-8) reads as more plausible text in GBK than in UTF-8: a larger
// share of its non-ASCII characters are common (GB2312) characters in GBK than are characters
// of a living script or common symbols in UTF-8. Ties go to UTF-8.
bool GbkReadsBetterThanUtf8(std::string_view bytes);

}  // namespace uhf
