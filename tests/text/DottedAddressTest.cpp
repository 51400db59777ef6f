#include "text/DottedAddress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace uhf {
namespace {

TEST(DottedAddress, WellFormedAddressesOnly) {
  struct Case {
    std::string text;
    bool valid;
  };
  const std::vector<Case> cases = {
      {"192.168.1.250", true},   {"0.0.0.0", true},
      {"255.255.255.255", true}, {"010.001.0.9", true},
      {"256.1.1.1", false},      {"1.2.3.256", false},
      {"1.2.3", false},          {"1.2.3.4.5", false},
      {"1..2.3", false},         {"1.2.3.4.", false},
      {".1.2.3", false},         {"0001.2.3.4", false},
      {"-0.1.2.3", false},       {"+1.2.3.4", false},
      {" 1.2.3.4", false},       {"1.2.3.4 ", false},
      {"1.2.3.4:80", false},     {"", false},
      {"a.b.c.d", false},        {"1.2.3.99999999999", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsDottedAddress(c.text), c.valid);
  }
}

TEST(DottedAddress, ReadingStopsAtTheFirstUnreadableField) {
  using Fields = std::array<std::optional<std::uint8_t>, 4>;
  struct Case {
    std::string text;
    Fields fields;
  };
  const std::vector<Case> cases = {
      {"192.168.1.250", {192, 168, 1, 250}},
      {"10.0", {10, 0, std::nullopt, std::nullopt}},
      {"1.300.2.3", {1, std::nullopt, std::nullopt, std::nullopt}},
      {"1.x.2.3", {1, std::nullopt, std::nullopt, std::nullopt}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseDottedAddress(c.text), c.fields);
  }
  EXPECT_EQ(DottedAddressText({192, 168, 1, 250}), "192.168.1.250");
  EXPECT_EQ(DottedAddressText({0, 0, 0, 0}), "0.0.0.0");
}

}  // namespace
}  // namespace uhf
