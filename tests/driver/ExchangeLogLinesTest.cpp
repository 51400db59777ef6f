// The exchange log pane's lines: bounded with the newest last, safe to feed from several threads,
// fed by the log's own sink, and saved whole as UTF-8.
#include "driver/ExchangeLogLines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "sim/InstrumentedReader.h"
#include "support/TempDir.h"

namespace uhf {
namespace {

TEST(ExchangeLogLines, KeepsTheLastLinesNewestLast) {
  struct Case {
    std::size_t capacity;
    int appended;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {3, 0, {}},    {3, 2, {"0", "1"}}, {3, 3, {"0", "1", "2"}}, {3, 5, {"2", "3", "4"}},
      {1, 4, {"3"}}, {0, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.capacity) + " " + std::to_string(c.appended));
    ExchangeLogLines log(c.capacity);
    for (int i = 0; i < c.appended; ++i) log.Append(std::to_string(i));
    EXPECT_EQ(log.Lines(), c.lines);
    std::string text;
    for (const std::string& line : c.lines) text += line + "\n";
    EXPECT_EQ(log.Text(), text);
  }
  ExchangeLogLines log;
  for (int i = 0; i < 10005; ++i) log.Append(std::to_string(i));
  EXPECT_EQ(log.Lines().size(), 10000u);
  EXPECT_EQ(log.Lines().front(), "5");
  EXPECT_EQ(log.Appended(), 10005u);
  log.Clear();
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(log.Appended(), 10005u);  // a pane still sees that something changed
}

TEST(ExchangeLogLines, LinesFromSeveralThreadsAreAllKeptInTheirOrder) {
  constexpr int kThreads = 4;
  constexpr int kEach = 2000;
  ExchangeLogLines log;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, t] {
      for (int i = 0; i < kEach; ++i) log.Append(std::to_string(t) + " " + std::to_string(i));
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::vector<int> next(kThreads, 0);
  for (const std::string& line : log.Lines()) {
    const int t = line[0] - '0';
    EXPECT_EQ(std::stoi(line.substr(2)), next[t]++) << line;
  }
  EXPECT_EQ(next, std::vector<int>(kThreads, kEach));
}

TEST(ExchangeLogLines, FedByTheLogAndSavedWhole) {
  ExchangeLogLines lines;
  InstrumentedReader reader;
  LoggingDriver logging(reader, lines.Sink());
  ASSERT_EQ(logging.OpenCom(100, 115200), 0);
  ASSERT_EQ(logging.UhfSetBuzzer(ReaderBusAddress, 1), 0);
  const std::vector<std::string> shown = lines.Lines();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_NE(shown[0].find(" OpenCom(port=100,baud=115200) -> 0 ("), std::string::npos) << shown[0];
  EXPECT_NE(shown[1].find(" UhfSetBuzzer(addr=255,value=1) -> 0 ("), std::string::npos) << shown[1];

  lines.Append("读头 ok");  // UTF-8 passes through unchanged
  test::TempDir folder;
  std::string error;
  ASSERT_TRUE(lines.Save(folder.path() / "logs" / "exchange.log", error)) << error;
  std::ifstream in(folder.path() / "logs" / "exchange.log", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), lines.Text());
  // A folder where the file should be: nothing written, the reason given.
  std::filesystem::create_directories(folder.path() / "taken");
  EXPECT_FALSE(lines.Save(folder.path() / "taken", error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace uhf
