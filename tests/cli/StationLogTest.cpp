#include "cli/StationLog.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace uhf::cli {
namespace {

// One CSV record read by the rules of RFC 4180; nothing when the text is not exactly one record.
std::optional<std::vector<std::string>> ReadRecord(const std::string& line) {
  std::vector<std::string> fields(1);
  std::size_t i = 0;
  while (i <= line.size()) {
    std::string& field = fields.back();
    if (i < line.size() && line[i] == '"') {
      for (++i;; ++i) {
        if (i >= line.size()) return std::nullopt;  // unterminated quote
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        field += line[i];
      }
    } else {
      while (i < line.size() && line[i] != ',') {
        if (line[i] == '"' || line[i] == '\r' || line[i] == '\n') return std::nullopt;
        field += line[i++];
      }
    }
    if (i == line.size()) return fields;
    if (line[i] != ',') return std::nullopt;  // text after a closing quote
    fields.emplace_back();
    ++i;
  }
  return fields;
}

TEST(StationLog, EveryFieldReadsBackFromOneLine) {
  // Line breaks become blanks: a record is one line, whatever a reader's texts hold.
  struct Case {
    std::string text;
    std::string readBack;
  };
  const std::vector<Case> cases = {
      {"plain", "plain"},
      {"a,b", "a,b"},
      {"say \"hi\"", "say \"hi\""},
      {"\"", "\""},
      {"two\nlines", "two lines"},
      {"dos\r\nline", "dos  line"},
      {"cr\ronly", "cr only"},
      {"\"quoted\",\nand more", "\"quoted\", and more"},
      {"", ""},
  };
  for (const Case& c : cases) {
    // The text in each column in turn.
    for (std::size_t column = 0; column < 6; ++column) {
      SCOPED_TRACE(testing::Message() << "column " << column << " <" << c.text << ">");
      std::vector<std::string> texts = {"2026-12-07 09:40:19", "read", "usb", "SN1", "V1", "ok"};
      texts[column] = c.text;
      const CommandReport report{kExitOk, texts[5], texts[3], texts[4]};
      const std::string line = StationLogLine(texts[0], texts[1], texts[2], report);
      const auto record = ReadRecord(line);
      ASSERT_TRUE(record.has_value()) << line;
      std::vector<std::string> expected = texts;
      expected[column] = c.readBack;
      expected.push_back("0");
      EXPECT_EQ(*record, expected) << line;
    }
  }
}

}  // namespace
}  // namespace uhf::cli
