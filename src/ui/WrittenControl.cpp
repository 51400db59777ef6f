#include "ui/WrittenControl.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "text/DottedAddress.h"

namespace uhf {

bool KeepWrittenText(ControlKind kind, WrittenControl& written, std::string& caption,
                     std::string_view text) {
  switch (kind) {
    case ControlKind::ComboBox:
    case ControlKind::ListView:
      return false;  // nothing to show
    case ControlKind::Edit:
      written.text = std::string(text);
      return true;
    case ControlKind::IpAddress:
      written.text = std::string(text);
      return false;
    default:
      written.text = std::string(text);
      caption = std::string(text);
      return false;
  }
}

std::string WrittenText(ControlKind kind, const WrittenControl& written,
                        const std::string& templateText, const std::string& caption) {
  switch (kind) {
    case ControlKind::Edit:
      return written.text ? *written.text : templateText;
    case ControlKind::ComboBox:
      return written.selected >= 0 ? written.items[static_cast<std::size_t>(written.selected)]
                                   : std::string();
    case ControlKind::IpAddress: {
      // As the four fields would read back: blank only when every field is.
      const auto fields = ParseDottedAddress(written.text ? *written.text : std::string());
      if (std::none_of(fields.begin(), fields.end(), [](const auto& f) { return f.has_value(); })) {
        return {};
      }
      std::array<std::uint8_t, 4> shown{};
      for (std::size_t i = 0; i < fields.size(); ++i) shown[i] = fields[i].value_or(0);
      return DottedAddressText(shown);
    }
    case ControlKind::ListView:
      return {};
    default:
      return caption;
  }
}

}  // namespace uhf
