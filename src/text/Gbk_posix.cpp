// GBK decoding through iconv.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "text/Profile.h"

namespace uhf {

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
}  // namespace

std::string GbkToUtf8(std::string_view bytes) {
  std::string out;
  if (bytes.empty()) return out;
  iconv_t cd = iconv_open("UTF-8", "GBK");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No converter: keep what is ASCII and mark the rest.
    for (char c : bytes) {
      if (static_cast<unsigned char>(c) < 0x80) {
        out += c;
      } else {
        out += kReplacement;
      }
    }
    return out;
  }
  std::string input(bytes);
  char* in = input.data();
  std::size_t inLeft = input.size();
  // A GBK byte pair becomes at most 3 bytes of UTF-8, a single byte at most 3 (U+FFFD).
  std::string buffer(3 * input.size() + 4, '\0');
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;  // the buffer was flushed into `out`; go on
    // An invalid or incomplete sequence: one byte becomes U+FFFD and reading goes on after it.
    out += kReplacement;
    ++in;
    --inLeft;
  }
  iconv_close(cd);
  return out;
}

}  // namespace uhf
