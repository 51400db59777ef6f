// The state file's text form and the default place of the file.
#include "sim/SimStateFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace uhf {
namespace {

SimState Unusual() {
  SimState s = FactoryState(2, true);
  s.version = "Reader V9.99 beta";
  s.serial = {0, 0x0a, 0xff, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  s.address = 255;
  s.workMode = 1;
  s.triggerTime = 200;
  s.wgIntervalTime = 20;
  s.weigand = 0x34;
  s.wgOutRecord = {1, 8, 4, 1};
  s.passwordEnabled = 1;
  s.password = {0xde, 0xad, 0xbe, 0xef};
  s.readTagInterval = 0;
  s.outPower = 63;
  s.buzzer = 0;
  s.regionForm = 5;
  s.regionStart = 3;
  s.regionEnd = 60;
  s.regionStep = -7;
  s.regionCount = 255;
  s.tags = {{}, std::vector<std::uint8_t>(30, 0xab), {0xe2, 0x00}};
  return s;
}

TEST(SimStateText, RoundTripsEveryField) {
  for (const SimState& state : {Unusual(), FactoryState(0, false), SimState{}}) {
    std::string error;
    const std::optional<SimState> back = ParseSimState(FormatSimState(state), error);
    ASSERT_TRUE(back.has_value()) << error;
    EXPECT_EQ(*back, state);
  }
}

TEST(SimStateText, ToleratesCommentsBlanksSpacesAndCrLf) {
  std::string text = FormatSimState(Unusual());
  std::string edited = "# edited by hand\r\n\r\n";
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\n', at);
    std::string line = text.substr(at, end - at);
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) line.replace(equals, 1, " = ");
    edited += "  " + line + " \r\n";
    at = end + 1;
  }
  std::string error;
  const std::optional<SimState> back = ParseSimState(edited, error);
  ASSERT_TRUE(back.has_value()) << error;
  EXPECT_EQ(*back, Unusual());
}

TEST(SimStateText, CorruptTextIsRefusedWithTheLine) {
  const std::string good = FormatSimState(FactoryState(0, false));
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  struct Row {
    std::string text;
    std::string mentions;
  } rows[] = {
      {replaced("outPower=30\n", ""), "outPower"},            // missing key
      {good + "address=3\n", "twice"},                        // duplicate
      {good + "colour=red\n", "colour"},                      // unknown key
      {replaced("outPower=30", "outPower=256"), "outPower"},  // not a byte
      {replaced("outPower=30", "outPower=-1"), "outPower"},
      {replaced("outPower=30", "outPower=3x"), "outPower"},
      {replaced("outPower=30", "outPower="), "outPower"},
      {replaced("regionStart=902000", "regionStart=99999999999"), "regionStart"},
      {replaced("etsiBand=0", "etsiBand=2"), "etsiBand"},
      {replaced("serial=", "serial=00"), "serial"},  // 13 bytes
      {replaced("password=00000000", "password=000000"), "password"},
      {replaced("password=00000000", "password=0000000g"), "password"},
      {replaced("wgOutRecord=1,9,3,0", "wgOutRecord=1,9,3"), "wgOutRecord"},
      {replaced("wgOutRecord=1,9,3,0", "wgOutRecord=1,9,3,0,0"), "wgOutRecord"},
      {good + "tag=e20\n", "tag"},  // odd digit count
      // A carriage return inside the version (found by fuzzing): it would come back as a blank.
      {replaced("version=TVW-SIM", "version=TVW\rSIM"), "version"},
      {good + "just some words\n", "line"},
      {"\x7f"
       "ELF\x02\x01\x01",
       "line 1"},
  };
  for (const Row& row : rows) {
    std::string error;
    EXPECT_FALSE(ParseSimState(row.text, error).has_value()) << row.mentions;
    EXPECT_NE(error.find(row.mentions), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace uhf
