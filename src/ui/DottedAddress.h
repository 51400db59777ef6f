#pragma once
// Reading a dotted decimal IPv4 text into the four fields of an IP address control.

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace uhf {

// Each field 0 to 255; the first unreadable field and every field after it stay blank.
inline std::array<std::optional<std::uint8_t>, 4> ParseDottedAddress(std::string_view dotted) {
  std::array<std::optional<std::uint8_t>, 4> fields;
  std::size_t field = 0;
  std::string_view rest = dotted;
  while (field < fields.size() && !rest.empty()) {
    const std::size_t dot = rest.find('.');
    const std::string_view part = rest.substr(0, dot);
    unsigned value = 0;
    auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (ec != std::errc() || ptr != part.data() + part.size() || value > 255) break;
    fields[field++] = static_cast<std::uint8_t>(value);
    if (dot == std::string_view::npos) break;
    rest.remove_prefix(dot + 1);
  }
  return fields;
}

// The four fields of an IP address control as dotted decimal text ("192.168.1.250").
inline std::string DottedAddressText(const std::array<std::uint8_t, 4>& fields) {
  std::string text;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) text += '.';
    text += std::to_string(fields[i]);
  }
  return text;
}

}  // namespace uhf
