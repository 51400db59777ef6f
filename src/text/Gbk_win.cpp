// GBK decoding with the system's code page 936, as Windows itself reads such text. A byte that
// does not convert becomes U+FFFD and decoding goes on with the byte after it, as with iconv.
#include <windows.h>

#include <string>

#include "text/Profile.h"
#include "text/WideText.h"

namespace uhf {

namespace {

constexpr UINT kGbkCodePage = 936;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Strict conversion of a whole run; false when any byte of it does not convert.
bool Decode(std::string_view bytes, std::wstring& wide) {
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  wide.assign(static_cast<std::size_t>(length), L'\0');
  return MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(),
                             length) == length;
}

}  // namespace

std::string GbkToUtf8(std::string_view bytes) {
  std::string out;
  std::wstring wide;
  if (Decode(bytes, wide)) {
    out += Narrow(wide);
    return out;
  }
  // Some bytes do not convert: go character by character.
  std::size_t at = 0;
  while (at < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++at;
      continue;
    }
    if (at + 1 < bytes.size() && Decode(bytes.substr(at, 2), wide)) {
      out += Narrow(wide);
      at += 2;
    } else if (Decode(bytes.substr(at, 1), wide)) {
      out += Narrow(wide);
      ++at;
    } else {
      out += kReplacement;
      ++at;
    }
  }
  return out;
}

}  // namespace uhf
