#include "dialog/InterfaceText.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "text/Profile.h"
#include "ui/MemorySurface.h"

namespace uhf {
namespace {

using Use = InterfaceTextEntry::Use;

// Captions in the order the texts are read.
const std::vector<int> kCaptionOrder = {
    idc::ConnectionGroup,
    idc::ComPortLabel,
    idc::ConnBaudLabel,
    idc::Connect,
    idc::Disconnect,
    idc::IndicatorGroup,
    idc::Buzzer,
    idc::AddressGroup,
    idc::AddressBaudLabel,
    idc::WorkModeGroup,
    idc::ReadAlways,
    idc::ReadByTrigger,
    idc::ReadTimeLabel,
    idc::ReadTimeUnit,
    idc::Wiegand26,
    idc::Wiegand34,
    idc::RfGroup,
    idc::PowerLabel,
    idc::FreqLabel,
    idc::ToLabel,
    idc::KhzLabel,
    idc::ReadConfig,
    idc::FactoryDefault,
    idc::SaveChanges,
    idc::ReadTag,
    idc::WiegandOutputGroup,
    idc::WiegandFormatGroup,
    idc::TagIntervalGroup,
    idc::OutputTimeLabel,
    idc::TagIntervalLabel,
    idc::StartBytesLabel,
    idc::ForwardOutput,
    idc::InvertedOutput,
    idc::LengthLabel,
    idc::OutputTimeGroup,
};

// Records the order of captions and columns as they are applied.
class RecordingSurface : public MemorySurface {
 public:
  RecordingSurface() : MemorySurface(MainDialogTemplate()) {}
  void SetText(int id, std::string_view text) override {
    calls.push_back("text " + std::to_string(id));
    MemorySurface::SetText(id, text);
  }
  void ListInsertColumn(int id, int column, std::string_view heading, int widthPx) override {
    calls.push_back("column " + std::to_string(column));
    MemorySurface::ListInsertColumn(id, column, heading, widthPx);
  }
  std::vector<std::string> calls;
};

struct Applied {
  MemorySurface surface{MainDialogTemplate()};
  InterfaceText texts;
};

std::unique_ptr<Applied> Apply(std::string_view file) {
  auto applied = std::make_unique<Applied>();
  ApplyInterfaceTexts(Profile::Parse(file), applied->surface, applied->texts);
  return applied;
}

TEST(InterfaceText, WithoutAFileEveryTextIsItsDefault) {
  const auto applied = Apply("");
  const MemorySurface& s = applied->surface;
  EXPECT_EQ(s.GetText(idc::ConnectionGroup), "Reader Connection");
  EXPECT_EQ(s.GetText(idc::ReadTimeLabel), "Read Time\r\n(1-255):");
  EXPECT_EQ(s.GetText(idc::OutputTimeLabel), "Time");
  EXPECT_EQ(s.GetText(idc::TagIntervalLabel), "Time");
  EXPECT_EQ(s.GetText(idc::LengthLabel), "Length");
  EXPECT_EQ(s.GetText(idc::OutputTimeGroup), "Output Time(1-20)");
  EXPECT_EQ(s.GetText(idc::KhzLabel), "kHz");
  EXPECT_EQ(s.GetText(idc::ReadConfig), "获取配置信息");
  EXPECT_EQ(s.GetText(idc::FactoryDefault), "出厂默认设置");
  for (const InterfaceTextEntry& entry : InterfaceTextTable()) {
    if (entry.use == Use::Caption) {
      EXPECT_EQ(s.GetText(entry.controlId), entry.defaultText) << entry.key;
    }
  }

  const std::vector<std::pair<std::string, int>> columns = {
      {"No.", 90}, {"Card Number", 250}, {"Success Times", 150}, {"EPC Length", 150}};
  ASSERT_EQ(s.ListColumnCount(idc::TagList), 4);
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(s.ListColumnHeading(idc::TagList, c), columns[c].first);
    EXPECT_EQ(s.ListColumnWidth(idc::TagList, c), columns[c].second);
  }

  const InterfaceText& t = applied->texts;
  EXPECT_EQ(t.MESSAGE_SAVED, "Saved!");
  EXPECT_EQ(t.MESSAGE_CONNECT_FAIL, "连接失败");
  EXPECT_EQ(t.MESSAGE_CONNECT_SUCCESFUL, "读取成功");
  EXPECT_EQ(t.MESSAGE_OUTPUT_TIME_PARAMETER_ERROR, "Output Time(1-20)");
  EXPECT_EQ(t.MESSAGE_WARNNING, "Warnning");
  EXPECT_EQ(t.MESSAGE_POWER_PARAMETER_ERROR, "Power Parameter Error!");
  EXPECT_EQ(t.MESSAGE_FACTORY_DEFAULT_FAIL, "Factory Default Fail!");
  EXPECT_EQ(t.MESSAGE_TAG_INTERVAL_PARAMETER_ERROR, "Tag Reading Interval Parameter Error!");
  EXPECT_EQ(t.MESSAGE_READ_FIRST, "Read the reader's configuration first!");
  EXPECT_EQ(t.MESSAGE_SET_PARAMETER_FAIL, "Set Parameter Fail!");

  // The defaults the program starts with are the ones a missing file gives.
  const InterfaceText defaults = DefaultInterfaceText();
  for (const InterfaceTextEntry& entry : InterfaceTextTable()) {
    if (entry.member != nullptr) {
      EXPECT_EQ(defaults.*entry.member, t.*entry.member) << entry.key;
      EXPECT_FALSE((defaults.*entry.member).empty()) << entry.key;
    }
  }
}

TEST(InterfaceText, TableCoversEveryEntryAndControlOnce) {
  const auto& table = InterfaceTextTable();
  std::set<int> captionIds;
  std::vector<std::string InterfaceText::*> members;
  std::set<std::string_view> keys;
  int columns = 0;
  for (const InterfaceTextEntry& entry : table) {
    EXPECT_TRUE(keys.insert(entry.key).second || entry.key == "TIME") << entry.key;
    switch (entry.use) {
      case Use::Caption:
      case Use::FixedCaption:
        EXPECT_NE(MainDialogTemplate().Find(entry.controlId), nullptr) << entry.key;
        EXPECT_TRUE(captionIds.insert(entry.controlId).second) << entry.key;
        break;
      case Use::Message:
      case Use::FixedMessage:
        ASSERT_NE(entry.member, nullptr) << entry.key;
        EXPECT_EQ(std::count(members.begin(), members.end(), entry.member), 0) << entry.key;
        members.push_back(entry.member);
        break;
      case Use::Column:
        EXPECT_EQ(entry.column, columns++) << entry.key;
        break;
    }
  }
  EXPECT_EQ(captionIds.size(), 35u);
  EXPECT_EQ(members.size(), sizeof(InterfaceText) / sizeof(std::string));
  EXPECT_EQ(columns, 4);
  EXPECT_EQ(table.size(), 35u + members.size() + 4u);
  EXPECT_EQ(keys.count("LENGTH "), 1u);
  EXPECT_EQ(keys.count("OUTPUT_TIME "), 1u);
}

TEST(InterfaceText, CaptionsThenColumnsInReadingOrder) {
  RecordingSurface surface;
  InterfaceText texts;
  ApplyInterfaceTexts(Profile(), surface, texts);
  std::vector<std::string> expected;
  for (int id : kCaptionOrder) expected.push_back("text " + std::to_string(id));
  for (int c = 0; c < 4; ++c) expected.push_back("column " + std::to_string(c));
  EXPECT_EQ(surface.calls, expected);
}

TEST(InterfaceText, FileReplacesCaptionsMessagesAndHeadings) {
  const auto applied = Apply(
      "; texts\r\n"
      "[lan]\r\n"
      "CONN_READER = Leseranschluss\r\n"
      "rf_hz=\r\n"
      "RF_TO=\"bis\"\r\n"
      "TIME=Zeit\r\n"
      "length=Länge\r\n"
      "OUTPUT_TIME=Ausgabezeit\r\n"
      "BUTTON_READ_CONF=Konfiguration lesen\r\n"
      "BUTTON_FACTORY_DEFAULT=Werkseinstellung\r\n"
      "MESSAGE_SAVED=Gespeichert!\r\n"
      "MESSAGE_CONNECT_FAIL=Keine Verbindung\r\n"
      "MESSAGE_CONNECT_SUCCESFUL=Verbunden\r\n"
      "MESSAGE_FACTORY_DEFAULT_FAIL=Werkseinstellung fehlgeschlagen\r\n"
      "LIST_ID=Kartennummer\r\n");
  const MemorySurface& s = applied->surface;
  EXPECT_EQ(s.GetText(idc::ConnectionGroup), "Leseranschluss");
  EXPECT_EQ(s.GetText(idc::KhzLabel), "");
  EXPECT_EQ(s.GetText(idc::ToLabel), "bis");
  EXPECT_EQ(s.GetText(idc::OutputTimeLabel), "Zeit");
  EXPECT_EQ(s.GetText(idc::TagIntervalLabel), "Zeit");
  EXPECT_EQ(s.GetText(idc::LengthLabel), "Länge");
  EXPECT_EQ(s.GetText(idc::OutputTimeGroup), "Ausgabezeit");
  EXPECT_EQ(s.GetText(idc::ReadConfig), "获取配置信息");
  EXPECT_EQ(s.GetText(idc::FactoryDefault), "出厂默认设置");
  EXPECT_EQ(s.GetText(idc::Connect), "Connect");
  EXPECT_EQ(s.ListColumnHeading(idc::TagList, 1), "Kartennummer");
  EXPECT_EQ(s.ListColumnWidth(idc::TagList, 1), 250);
  EXPECT_EQ(s.ListColumnHeading(idc::TagList, 0), "No.");

  const InterfaceText& t = applied->texts;
  EXPECT_EQ(t.MESSAGE_SAVED, "Gespeichert!");
  EXPECT_EQ(t.MESSAGE_CONNECT_FAIL, "连接失败");
  EXPECT_EQ(t.MESSAGE_CONNECT_SUCCESFUL, "读取成功");
  EXPECT_EQ(t.MESSAGE_FACTORY_DEFAULT_FAIL, "Werkseinstellung fehlgeschlagen");
  EXPECT_EQ(t.MESSAGE_DELETE, "Delete Record?");
}

TEST(InterfaceText, LengthKeyMatchesWithAndWithoutBlanks) {
  for (const char* line : {"length=Länge", "LENGTH = Länge", "  Length\t=  Länge  "}) {
    SCOPED_TRACE(line);
    const auto applied = Apply(std::string("[Lan]\n") + line + "\n");
    EXPECT_EQ(applied->surface.GetText(idc::LengthLabel), "Länge");
  }
}

TEST(InterfaceText, OnlyReadTimeTurnsTypedLineBreaksIntoRealOnes) {
  const auto applied = Apply(
      "[Lan]\n"
      "MODE_READTIME=Lesezeit\\r\\n(1-255):\n"
      "RF_FREQ=a\\r\\nb\n"
      "MESSAGE_DELETE=x\\r\\ny\n");
  EXPECT_EQ(applied->surface.GetText(idc::ReadTimeLabel), "Lesezeit\r\n(1-255):");
  EXPECT_EQ(applied->surface.GetText(idc::FreqLabel), "a\\r\\nb");
  EXPECT_EQ(applied->texts.MESSAGE_DELETE, "x\\r\\ny");

  const auto twice = Apply("[Lan]\nMODE_READTIME=\\r\\na\\r\\n\\r\\n\n");
  EXPECT_EQ(twice->surface.GetText(idc::ReadTimeLabel), "\r\na\r\n\r\n");
}

TEST(InterfaceText, LongAndGbkValues) {
  const auto applied =
      Apply("[Lan]\r\nRF_POWER=\xB9\xA6\xC2\xCA\r\nRF_RF=" + std::string(300, 'r') +
            "\r\nMESSAGE_FREQ_ERROR=\xC6\xB5\xC2\xCA\r\n");
  EXPECT_EQ(applied->surface.GetText(idc::PowerLabel), "功率");
  EXPECT_EQ(applied->surface.GetText(idc::RfGroup), std::string(199, 'r'));
  EXPECT_EQ(applied->texts.MESSAGE_FREQ_ERROR, "频率");
}

TEST(InterfaceText, LoadReadsConfigIniOfTheCurrentDirectory) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("uhf-texts-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  {
    std::ofstream out(dir / "config.ini", std::ios::binary);
    out << "[Lan]\r\nBUTTON_CONNECT=Verbinden\r\n";
  }
  const fs::path saved = fs::current_path();
  fs::current_path(dir);
  MemorySurface surface{MainDialogTemplate()};
  InterfaceText texts;
  const std::optional<fs::path> path = ConfigIniPath();
  ASSERT_TRUE(path.has_value());
  ApplyInterfaceTexts(Profile::Load(*path), surface, texts);
  fs::current_path(saved);
  fs::remove_all(dir);
  EXPECT_EQ(surface.GetText(idc::Connect), "Verbinden");
  EXPECT_EQ(surface.GetText(idc::Disconnect), "Disconnect");
  EXPECT_EQ(texts.MESSAGE_SAVED, "Saved!");
}

}  // namespace
}  // namespace uhf
