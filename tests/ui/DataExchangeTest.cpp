#include "ui/DataExchange.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace uhf {
namespace {

TEST(ParseDialogNumber, AcceptsBlanksPlusAndDigitsOnly) {
  const std::vector<std::pair<std::string, std::optional<std::uint64_t>>> cases = {
      {"5", 5},
      {"0", 0},
      {"007", 7},
      {"  5", 5},
      {"5  ", 5},
      {"\t5\t", 5},
      {"+5", 5},
      {" \t+5 \t", 5},
      {"4294967295", 4294967295u},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"+", std::nullopt},
      {"-5", std::nullopt},
      {"-0", std::nullopt},
      {"++5", std::nullopt},
      {"+ 5", std::nullopt},
      {"5 5", std::nullopt},
      {"5a", std::nullopt},
      {"a5", std::nullopt},
      {"0x10", std::nullopt},
      {"5.0", std::nullopt},
      {"\n5", std::nullopt},
      {"５", std::nullopt},  // full-width digit
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseDialogNumber(text), value) << text;

  // Overflow never wraps round into a small number.
  for (const char* big : {"4294967296", "4294967301", "18446744073709551615",
                          "18446744073709551621", "99999999999999999999999999"}) {
    const auto value = ParseDialogNumber(big);
    ASSERT_TRUE(value.has_value()) << big;
    EXPECT_GT(*value, 4294967295u) << big;
  }
}

TEST(FormatPrompt, ReplacesBothPlaceholders) {
  EXPECT_EQ(FormatPrompt(kMsgRange, "0", "266"), "“请填入一个在0和266之间的整数。”");
  EXPECT_EQ(FormatPrompt(kMsgMaxChars, "8"), "“请填入不多于8个的字符。”");
  EXPECT_EQ(FormatPrompt("%1%2%3%", "a", "b"), "ab%3%");
}

}  // namespace
}  // namespace uhf
