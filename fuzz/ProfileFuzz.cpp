// The profile reader on any bytes: every value it gives is well-formed UTF-8 that fits the
// caller's buffer, and a missing key gives the default.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const uhf::Profile profile = uhf::Profile::Parse(bytes);
  // A GBK file's values are cut in GBK bytes, so their UTF-8 form may be longer than the buffer.
  const bool gbk = uhf::ReadsAsGbk(bytes);
  // Keys named by the first line's pieces, and the keys the tool asks for.
  const std::string_view firstLine = bytes.substr(0, bytes.find('\n'));
  for (std::size_t bufferSize :
       {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{200}}) {
    for (std::string_view key : {std::string_view("CONN_READER"), std::string_view("MODE_READTIME"),
                                 firstLine.substr(0, 8), std::string_view("")}) {
      const std::string value = profile.GetString("Lan", key, "default", bufferSize);
      if (!uhf::IsValidUtf8(value)) std::abort();
      if (!gbk && value.size() > bufferSize - 1 && value != "default") std::abort();
    }
    const std::string missing = profile.GetString("no such section \x01", "k", "dflt", bufferSize);
    if (missing != std::string("dflt").substr(0, bufferSize - 1)) std::abort();
  }
  return 0;
}
