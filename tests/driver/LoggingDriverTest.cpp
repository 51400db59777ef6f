// The exchange log changes nothing of what the dialog does: the same driver calls in the same
// order with the same results, and one log line per call.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/ReaderConfigDialog.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "driver/LoggingDriver.h"
#include "sim/InstrumentedReader.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

DialogPlatform NoMachine() {
  return {[] { return std::vector<AvailablePort>{}; }, [] { return std::string("10.1.1.1"); },
          []() -> std::optional<std::filesystem::path> { return std::nullopt; }};
}

// The dialog over one driver, the way the window runs it.
struct Window {
  explicit Window(ReaderDriver& driver) : dialog(surface, driver, NoMachine()) {
    surface.SetNotificationHandler([this](int id, Notification n) { dialog.OnCommand(id, n); });
    dialog.OnInitDialog();
  }
  MemorySurface surface{MainDialogTemplate()};
  ReaderConfigDialog dialog;
};

struct Scenario {
  const char* name;
  std::function<void(InstrumentedReader&)> prepare;
  std::function<void(MemorySurface&)> operate;
};

std::string OperationOf(const std::string& call) {
  return call.substr(0, call.find('('));
}

TEST(LoggingDriver, WrappingChangesNoCallSequenceAndLogsEveryCall) {
  const Scenario scenarios[] = {
      {"read", [](InstrumentedReader&) {}, [](MemorySurface& s) { s.Click(idc::ReadConfig); }},
      {"read, edit, save", [](InstrumentedReader&) {},
       [](MemorySurface& s) {
         s.Click(idc::ReadConfig);
         s.Type(idc::TagInterval, "9");
         s.ComboSetSel(idc::Power, 20);
         s.Click(idc::SaveChanges);
       }},
      {"factory default", [](InstrumentedReader&) {},
       [](MemorySurface& s) { s.Click(idc::FactoryDefault); }},
      {"addresses and disconnect", [](InstrumentedReader&) {},
       [](MemorySurface& s) {
         s.Click(idc::ReadConfig);
         s.Type(idc::ReaderAddress, "12");
         s.Click(idc::SetAddress);
         s.Click(idc::GetAddress);
         s.Click(idc::Disconnect);
       }},
      {"every tag read", [](InstrumentedReader&) {},
       [](MemorySurface& s) {
         s.Click(idc::ReadConfig);
         for (int id : {idc::ReadTag, idc::ReadTagTestHex, idc::ReadTagTestDecimal, idc::ReadTagUsb,
                        idc::ReadTag}) {
           s.Click(id);
         }
       }},
      {"tag read the EpcOutput way over a serial link", [](InstrumentedReader&) {},
       [](MemorySurface& s) {
         s.ComboAdd(idc::ComPort, "COM2");
         s.ComboSetSel(idc::ComPort, 0);
         s.Click(idc::Com);
         s.Click(idc::ReadConfig);
         s.Click(idc::ReadTag);
         s.Click(idc::ReadTag);
       }},
      {"failing handshake", [](InstrumentedReader& r) { r.FailOn("Handshake"); },
       [](MemorySurface& s) { s.Click(idc::ReadConfig); }},
      {"failing save", [](InstrumentedReader& r) { r.FailOn("UhfSetWgOutByte"); },
       [](MemorySurface& s) {
         s.Click(idc::ReadConfig);
         s.Click(idc::SaveChanges);
       }},
  };
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    InstrumentedReader plainReader;
    scenario.prepare(plainReader);
    Window plain(plainReader);
    scenario.operate(plain.surface);

    InstrumentedReader loggedReader;
    scenario.prepare(loggedReader);
    std::vector<std::string> log;
    LoggingDriver logging(loggedReader, [&log](std::string_view line) { log.emplace_back(line); });
    Window logged(logging);
    scenario.operate(logged.surface);

    EXPECT_GT(plainReader.Calls().size(), 2u);
    EXPECT_EQ(loggedReader.Calls(), plainReader.Calls());
    EXPECT_EQ(loggedReader.State(), plainReader.State());
    EXPECT_EQ(logged.surface.GetText(idc::StatusPanel), plain.surface.GetText(idc::StatusPanel));
    ASSERT_EQ(logged.surface.Messages().size(), plain.surface.Messages().size());
    for (std::size_t i = 0; i < plain.surface.Messages().size(); ++i) {
      EXPECT_EQ(logged.surface.Messages()[i].text, plain.surface.Messages()[i].text);
    }
    for (int row = 0; row < plain.surface.ListCount(idc::TagList); ++row) {
      EXPECT_EQ(logged.surface.ListGetItemText(idc::TagList, row, 1, 64),
                plain.surface.ListGetItemText(idc::TagList, row, 1, 64));
    }
    EXPECT_EQ(logged.surface.ListCount(idc::TagList), plain.surface.ListCount(idc::TagList));

    ASSERT_EQ(log.size(), loggedReader.Calls().size());
    for (std::size_t i = 0; i < log.size(); ++i) {
      // "YYYY-MM-DD hh:mm:ss.mmm Operation(...) -> status ..."
      const std::string operation = OperationOf(log[i].substr(24));
      EXPECT_EQ(operation, OperationOf(loggedReader.Calls()[i])) << log[i];
    }
  }
}

TEST(LoggingDriver, LineHoldsTimeArgumentsStatusAndOutputsInHexadecimal) {
  InstrumentedReader reader;
  reader.State().wgOutRecord = {1, 9, 3, 0};
  reader.State().serial = {0x00, 0x0a, 0xff, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  std::vector<std::string> log;
  LoggingDriver logging(reader, [&log](std::string_view line) { log.emplace_back(line); });

  std::uint8_t record[4] = {};
  std::uint8_t serial[12] = {};
  EXPECT_NE(logging.UhfGetWgOutByte(ReaderBusAddress, record), 0);
  ASSERT_EQ(logging.OpenCom(100, 115200), 0);
  ASSERT_EQ(logging.UhfGetWgOutByte(ReaderBusAddress, record), 0);
  ASSERT_EQ(logging.Get_SerNum(ReaderBusAddress, serial), 0);
  const std::uint8_t written[4] = {1, 8, 4, 0};
  reader.SetLatency(std::chrono::milliseconds(20));
  ASSERT_EQ(logging.UhfSetWgOutByte(ReaderBusAddress, written), 0);

  ASSERT_EQ(log.size(), 5u);
  const std::string time = R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )";
  // Every line ends with the call's duration in whole milliseconds.
  const std::string took = R"( \((\d+) ms\))";
  // Without a link the read fails, and the log says so.
  EXPECT_TRUE(std::regex_match(
      log[0], std::regex(time + R"(UhfGetWgOutByte\(addr=255\) -> [1-9].*)" + took)))
      << log[0];
  EXPECT_TRUE(
      std::regex_match(log[1], std::regex(time + R"(OpenCom\(port=100,baud=115200\) -> 0)" + took)))
      << log[1];
  EXPECT_TRUE(std::regex_match(
      log[2], std::regex(time + R"(UhfGetWgOutByte\(addr=255\) -> 0 record=01090300)" + took)))
      << log[2];
  EXPECT_TRUE(std::regex_match(
      log[3],
      std::regex(time + R"(Get_SerNum\(addr=255\) -> 0 serial=000aff010203040506070809)" + took)))
      << log[3];
  EXPECT_TRUE(std::regex_match(
      log[4], std::regex(time + R"(UhfSetWgOutByte\(addr=255,record=01080400\) -> 0)" + took)))
      << log[4];
  // The last call waited 20 ms in the reader.
  std::smatch took4;
  ASSERT_TRUE(std::regex_search(log[4], took4, std::regex(took + "$")));
  EXPECT_GE(std::stoi(took4[1]), 20);
}

}  // namespace
}  // namespace uhf
