#pragma once
// Dotted decimal IPv4 text ("192.168.1.250"): reading it into the four fields of an IP address
// control, writing the fields back as text, and telling a well-formed address.

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace uhf {

// One field of a dotted address: decimal digits, 0 to 255; nothing when it is not.
inline std::optional<std::uint8_t> DottedField(std::string_view part) {
  unsigned value = 0;
  auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
  if (ec != std::errc() || ptr != part.data() + part.size() || value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

// Each field 0 to 255; the first unreadable field and every field after it stay blank.
inline std::array<std::optional<std::uint8_t>, 4> ParseDottedAddress(std::string_view dotted) {
  std::array<std::optional<std::uint8_t>, 4> fields;
  std::size_t field = 0;
  std::string_view rest = dotted;
  while (field < fields.size() && !rest.empty()) {
    const std::size_t dot = rest.find('.');
    const std::optional<std::uint8_t> value = DottedField(rest.substr(0, dot));
    if (!value) break;
    fields[field++] = value;
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

// A field as an IP address control holds it: one to three decimal digits, 0 to 255.
inline bool IsAddressField(std::string_view part) {
  return !part.empty() && part.size() <= 3 && DottedField(part).has_value();
}

// A complete address: exactly four such fields.
inline bool IsDottedAddress(std::string_view text) {
  for (int field = 0; field < 4; ++field) {
    const std::size_t dot = field < 3 ? text.find('.') : text.size();
    if (dot == std::string_view::npos) return false;
    if (!IsAddressField(text.substr(0, dot))) return false;
    text.remove_prefix(field < 3 ? dot + 1 : dot);
  }
  return true;
}

}  // namespace uhf
