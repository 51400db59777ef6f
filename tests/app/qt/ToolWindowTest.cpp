// The assembled window on real widgets (offscreen) against the in-process simulated reader. Every
// check reads the widgets themselves: what initialisation shows, Enter and Escape on the real
// dialog, captions from a config.ini in the working directory, a read and a factory reset as the
// operator sees them, the tag list, and closing the window.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/ToolWindow.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "sim/InstrumentedReader.h"
#include "support/TempDir.h"
#include "tags/TagInventory.h"
#include "text/Profile.h"
#include "text/Utf8Path.h"
#include "ui/qt/FileDialogAnswers.h"

namespace uhf {
namespace {

constexpr QRgb kGreen = qRgb(25, 150, 43);
constexpr QRgb kRed = qRgb(255, 0, 0);

std::string Str(const QString& text) {
  return text.toStdString();
}

// A template caption as a widget shows it: a line break is "\n".
std::string Displayed(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
  return text;
}

// The text a widget shows, read from the widget itself.
std::string Shown(const QWidget* widget) {
  if (const auto* label = qobject_cast<const QLabel*>(widget)) {
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    return Str(rich ? QTextDocumentFragment::fromHtml(label->text()).toPlainText() : label->text());
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return Str(button->text());
  if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return Str(group->title());
  if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return Str(edit->text());
  if (const auto* rich = qobject_cast<const QTextEdit*>(widget)) return Str(rich->toPlainText());
  if (const auto* combo = qobject_cast<const QComboBox*>(widget)) return Str(combo->currentText());
  // The IP address control: four fields, blank when all are empty.
  const auto fields = widget->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
  QStringList parts;
  for (const QLineEdit* field : fields) parts << field->text();
  return parts.join(QString()).isEmpty() ? std::string() : Str(parts.join(u'.'));
}

std::vector<std::string> Items(const QWidget* widget) {
  std::vector<std::string> items;
  const auto* combo = qobject_cast<const QComboBox*>(widget);
  for (int i = 0; combo != nullptr && i < combo->count(); ++i) {
    items.push_back(Str(combo->itemText(i)));
  }
  return items;
}

std::vector<std::string> Numbers(int from, int to) {
  std::vector<std::string> numbers;
  for (int n = from; n <= to; ++n) numbers.push_back(std::to_string(n));
  return numbers;
}

// Every colour the text of a rich edit is drawn in, each once, in order of appearance.
std::vector<QRgb> TextColours(const QTextEdit* rich) {
  std::vector<QRgb> colours;
  for (QTextBlock block = rich->document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().text().isEmpty()) continue;
      const QRgb colour = it.fragment().charFormat().foreground().color().rgb();
      if (std::find(colours.begin(), colours.end(), colour) == colours.end()) {
        colours.push_back(colour);
      }
    }
  }
  return colours;
}

// A port as the system lists it; an empty name stands for one without a COM name.
AvailablePort Port(const std::string& name, const std::string& display = "Serial port") {
  return {name, display + (name.empty() ? "" : " (" + name + ")"), "\\\\.\\" + name, {}};
}

DialogPlatform TestPlatform() {
  return {
      [] { return std::vector<AvailablePort>{Port("COM7", "USB Serial Port")}; },
      [] { return std::string("10.1.2.3"); },
      [] { return std::optional<std::filesystem::path>(); },
  };
}

struct Box {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
};

// The tool's window on a fresh simulated reader of kind 0; message boxes are recorded and
// answered with `answer`.
struct OpenWindow {
  InstrumentedReader reader;
  ToolWindow tool;
  std::vector<Box> boxes;
  MessageResult answer = MessageResult::Ok;

  explicit OpenWindow(DialogPlatform platform = TestPlatform())
      : tool(reader, std::move(platform)) {
    tool.Surface().SetMessageBoxHook([this](std::string_view text, std::string_view caption,
                                            MessageButtons buttons, MessageIcon icon) {
      boxes.push_back({std::string(text), std::string(caption), buttons, icon});
      return answer;
    });
  }

  QDialog* Window() { return tool.Window(); }
  QWidget* W(int id) { return tool.Surface().Widget(id); }
  template <class T>
  T* As(int id) {
    return qobject_cast<T*>(W(id));
  }
  bool Checked(int id) { return As<QAbstractButton>(id)->isChecked(); }

  void ShowActive() {
    Window()->show();
    Window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
  }
  void Click(int id) { QTest::mouseClick(W(id), Qt::LeftButton); }
  // A key where the keyboard focus is (the window when nothing has it).
  void Key(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : Window(), key);
  }
};

// Visibility, enabled and check states of every control with an id against the template, with
// the changes initialisation makes. Nothing the tool does later changes them.
void ExpectTemplateStates(OpenWindow& w) {
  const std::map<int, bool> enabledAfterInit = {
      {idc::Connect, true},     {idc::ReadConfig, true},   {idc::FactoryDefault, true},
      {idc::Disconnect, false}, {idc::SaveChanges, false}, {idc::ReadTag, false},
      {idc::Com, false},        {idc::TcpUdp, false},      {idc::Length, false}};
  const QRect client = w.Window()->rect();
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (control.id == idc::None) continue;
    SCOPED_TRACE(control.id);
    const QWidget* widget = w.W(control.id);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->isVisible(), control.visible);
    if (control.visible) {
      EXPECT_TRUE(client.contains(widget->geometry())) << "placed outside the window";
    }
    const auto enabled = enabledAfterInit.find(control.id);
    EXPECT_EQ(widget->isEnabled(),
              enabled != enabledAfterInit.end() ? enabled->second : control.enabled);
  }
}

TEST(ToolWindowInit, EveryWidgetShowsItsInitialState) {
  OpenWindow w;
  w.ShowActive();
  ExpectTemplateStates(w);
  const std::map<int, std::string> textAfterInit = {
      {idc::StatusPanel, ""},          {idc::VersionLabel, ""},    {idc::SerialNumberLabel, ""},
      {idc::Password, "7C1E94B2"},     {idc::TagInterval, "5"},    {idc::PowerValue, "0"},
      {idc::OutputTime, "2"},          {idc::ReaderAddress, "0"},  {idc::ReadTime, "1"},
      {idc::HostPort, "2000"},         {idc::ReaderPort, "27001"}, {idc::HostIp, "10.1.2.3"},
      {idc::ReaderIp, "192.168.1.250"}};
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    if (control.id == idc::None) continue;
    SCOPED_TRACE(control.id);
    const QWidget* widget = w.W(control.id);
    if (control.kind == ControlKind::RadioButton || control.kind == ControlKind::CheckBox) {
      EXPECT_EQ(w.Checked(control.id), control.id == idc::Usb);
    }
    if (control.kind == ControlKind::ComboBox || control.kind == ControlKind::ListView) continue;
    const auto text = textAfterInit.find(control.id);
    EXPECT_EQ(Shown(widget), text != textAfterInit.end() ? text->second : Displayed(control.text));
  }

  const std::vector<std::string> bauds{"9600", "19200", "38400", "57600", "115200"};
  const struct {
    int id;
    std::vector<std::string> items;
    int selected;
  } selectors[] = {{idc::Power, Numbers(0, 63), 5},
                   {idc::ConnBaud, bauds, 4},
                   {idc::AddressBaud, bauds, 0},
                   {idc::ComPort, {"COM7"}, 0},
                   {idc::Length, Numbers(1, 12), -1},
                   {idc::FreqStart, {}, -1},
                   {idc::FreqEnd, {}, -1},
                   {idc::StartBytes, {}, -1}};
  for (const auto& selector : selectors) {
    SCOPED_TRACE(selector.id);
    const auto* combo = w.As<QComboBox>(selector.id);
    EXPECT_EQ(Items(combo), selector.items);
    EXPECT_EQ(combo->currentIndex(), selector.selected);
  }

  // The fonts reach the widgets; the dialog font is the template's size.
  EXPECT_EQ(w.Window()->font().pointSize(), MainDialogTemplate().fontPoints);
  EXPECT_EQ(w.W(idc::StatusPanel)->font().pointSize(), 150);
  EXPECT_EQ(w.W(idc::Banner)->font().pointSize(), 20);
  EXPECT_EQ(w.W(idc::VersionLabel)->font().pointSize(), 15);

  // The keyboard starts on the first control that takes it: the read button.
  EXPECT_EQ(QApplication::focusWidget(), w.W(idc::ReadConfig));

  // The password edit takes no ninth character from the keyboard.
  w.tool.Surface().Enable(idc::Password, true);
  auto* password = w.As<QLineEdit>(idc::Password);
  password->setFocus();
  password->end(false);
  QTest::keyClicks(password, "9");
  EXPECT_EQ(Str(password->text()), "7C1E94B2");
  EXPECT_TRUE(w.boxes.empty());
  EXPECT_TRUE(w.reader.Calls().empty()) << "initialisation talks to no reader";
}

// While the simulated reader is the driver the caption says so, from the first paint on and
// through the operations.
TEST(ToolWindowInit, TheSimulatedReaderIsNamedInTheCaption) {
  OpenWindow w;
  EXPECT_EQ(w.Window()->windowTitle(), QString::fromUtf8("UHF读头配置工具"));
  w.tool.MarkSimulatedReader();
  w.tool.MarkSimulatedReader();
  w.ShowActive();
  EXPECT_EQ(w.Window()->windowTitle(), QString::fromUtf8("UHF读头配置工具 — 模拟读头"));
  w.Click(idc::ReadConfig);
  EXPECT_EQ(w.Window()->windowTitle(), QString::fromUtf8("UHF读头配置工具 — 模拟读头"));
}

TEST(ToolWindowKeys, EnterRunsTheSavingExchangeAndAFailedCheckKeepsTheDialogOpen) {
  const struct {
    const char* name;
    int field;
    const char* text;
    bool typed;       // typed on the keyboard, else set from code
    int boxesTyping;  // message boxes while typing (1053 runs an exchange on every change)
    int enterFrom;    // the edit that has the focus when Enter is pressed
    bool focusable;   // a hidden control never gets the keyboard focus
    std::string message;
  } cases[] = {
      {"tag interval above 266", idc::TagInterval, "300", true, 1, idc::OutputTime, true,
       "“请填入一个在0和266之间的整数。”"},
      {"byte above 255", idc::OutputTime, "256", true, 0, idc::TagInterval, true,
       "“请填入一个在0和255之间的整数。”"},
      {"password of nine", idc::Password, "123456789", false, 0, idc::OutputTime, false,
       "“请填入不多于8个的字符。”"},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    OpenWindow w;
    w.ShowActive();
    w.tool.Surface().Enable(tc.field, true);  // a disabled widget takes no focus or keys
    w.tool.Surface().Enable(tc.enterFrom, true);
    auto* edit = w.As<QLineEdit>(tc.field);
    if (tc.typed) {
      edit->setFocus();
      edit->selectAll();
      QTest::keyClicks(edit, tc.text);
    } else {
      w.tool.Surface().SetText(tc.field, tc.text);
    }
    ASSERT_EQ(Str(edit->text()), tc.text);
    ASSERT_EQ(static_cast<int>(w.boxes.size()), tc.boxesTyping);
    if (tc.boxesTyping > 0) {
      EXPECT_EQ(w.boxes.back().text, tc.message);
    }

    w.boxes.clear();
    edit->deselect();
    w.W(tc.enterFrom)->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w.W(tc.enterFrom));
    w.Key(Qt::Key_Return);
    ASSERT_EQ(w.boxes.size(), 1u);
    EXPECT_EQ(w.boxes[0].text, tc.message);
    EXPECT_EQ(w.boxes[0].caption, kAppTitle);
    EXPECT_EQ(w.boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(w.boxes[0].icon, MessageIcon::Exclamation);
    if (tc.focusable) {
      EXPECT_EQ(QApplication::focusWidget(), edit);
    }
    EXPECT_EQ(Str(edit->selectedText()), tc.text) << "the whole text is selected";
    EXPECT_TRUE(w.Window()->isVisible()) << "a failed check keeps the dialog open";

    // Escape ends the dialog at once, without an exchange.
    w.boxes.clear();
    w.Key(Qt::Key_Escape);
    EXPECT_FALSE(w.Window()->isVisible());
    EXPECT_EQ(w.Window()->result(), QDialog::Rejected);
    EXPECT_TRUE(w.boxes.empty());
    EXPECT_TRUE(w.reader.Calls().empty());
  }
}

TEST(ToolWindowKeys, EnterClicksTheFocusedButtonElseAcceptsWhenEveryCheckPasses) {
  OpenWindow w;
  w.ShowActive();
  ASSERT_EQ(QApplication::focusWidget(), w.W(idc::ReadConfig));
  w.Key(Qt::Key_Return);
  ASSERT_FALSE(w.reader.Calls().empty());
  EXPECT_EQ(w.reader.Calls().front(), "OpenCom(100,115200)");
  EXPECT_TRUE(w.Window()->isVisible());

  w.reader.ClearCalls();
  w.tool.Surface().Enable(idc::OutputTime, true);
  w.W(idc::OutputTime)->setFocus();
  w.Key(Qt::Key_Return);
  EXPECT_TRUE(w.boxes.empty());
  EXPECT_TRUE(w.reader.Calls().empty()) << "Enter on an edit clicks no button";
  EXPECT_FALSE(w.Window()->isVisible());
  EXPECT_EQ(w.Window()->result(), QDialog::Accepted);
}

// Makes a directory the working directory for a scope.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& dir)
      : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~WorkingDirectory() { std::filesystem::current_path(previous_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

TEST(ToolWindowTexts, CaptionsComeFromConfigIniInTheWorkingDirectory) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("uhf-window-texts-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  {
    // GBK, as the file is written on the target systems: 功率 and 序号.
    std::ofstream(dir / "config.ini", std::ios::binary)
        << "[Lan]\r\n"
           "RF_POWER=\xb9\xa6\xc2\xca\r\n"
           "MODE_READTIME=Lesezeit\\r\\n(1-255):\r\n"
           "RF_TO=a\\r\\nb\r\n"
           "length = Laenge\r\n"
           "BUTTON_FACTORY_DEFAULT=xyz\r\n"
           "BUTTON_READ_CONF=abc\r\n"
           "MESSAGE_CONNECT_SUCCESFUL=Verbunden\r\n"
           "LIST_NO=\xd0\xf2\xba\xc5\r\n";
  }
  {
    WorkingDirectory cwd(dir);
    DialogPlatform platform = TestPlatform();
    platform.configIniPath = &ConfigIniPath;
    OpenWindow w(platform);
    w.ShowActive();
    const std::pair<int, std::string> captions[] = {
        {idc::PowerLabel, "功率"},
        {idc::ReadTimeLabel, "Lesezeit\n(1-255):"},
        {idc::ToLabel, "a\\r\\nb"},  // only the read time caption turns \r\n into a line break
        {idc::LengthLabel, "Laenge"},
        {idc::FactoryDefault, "出厂默认设置"},
        {idc::ReadConfig, "获取配置信息"},
        {idc::FreqLabel, "Freq"},  // not in the file: the default
    };
    for (const auto& [id, text] : captions) {
      SCOPED_TRACE(id);
      EXPECT_EQ(Shown(w.W(id)), text);
    }
    const auto* list = w.As<QTableWidget>(idc::TagList);
    ASSERT_EQ(list->columnCount(), 6);
    EXPECT_EQ(Str(list->horizontalHeaderItem(0)->text()), "序号");
    EXPECT_EQ(Str(list->horizontalHeaderItem(1)->text()), "Card Number");

    w.Click(idc::ReadConfig);
    EXPECT_EQ(Shown(w.W(idc::StatusPanel)), "读取成功") << "a fixed text the file cannot change";
  }
  std::filesystem::remove_all(dir);
}

// What the parameter controls show: texts (current text for a drop-down list) and check states.
struct ShownParameters {
  std::vector<std::pair<int, std::string>> texts;
  std::vector<std::pair<int, bool>> checks;
};

void ExpectShown(OpenWindow& w, const ShownParameters& expected) {
  for (const auto& [id, text] : expected.texts) {
    SCOPED_TRACE(id);
    EXPECT_EQ(Shown(w.W(id)), text);
  }
  for (const auto& [id, checked] : expected.checks) {
    SCOPED_TRACE(id);
    EXPECT_EQ(w.Checked(id), checked);
  }
}

void ExpectStatus(OpenWindow& w, const std::string& text, QRgb colour) {
  const auto* panel = w.As<QTextEdit>(idc::StatusPanel);
  EXPECT_EQ(Str(panel->toPlainText()), text);
  EXPECT_EQ(TextColours(panel), std::vector<QRgb>{colour});
  EXPECT_EQ(panel->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
}

TEST(ToolWindowReader, ReadShowsEveryParameterAndAFactoryResetShowsOnTheNextRead) {
  OpenWindow w;
  w.ShowActive();
  SimState& s = w.reader.State();
  s.buzzer = 0;
  s.workMode = 1;
  s.triggerTime = 7;
  s.wgIntervalTime = 9;
  s.weigand = 0x34;
  s.wgOutRecord = {1, 4, 3, 1};
  s.passwordEnabled = 1;
  s.password = {0x0a, 0xbc, 0x12, 0xff};
  s.readTagInterval = 9;
  s.outPower = 12;
  s.version = "TVW-SIM V3.10";
  s.serial = {0x00, 0x0a, 0xff, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x01};
  s.address = 17;
  s.regionStart = 865500;
  s.regionEnd = 867500;
  s.regionCount = 4;

  w.Click(idc::ReadConfig);
  const auto& calls = w.reader.Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0], "OpenCom(100,115200)");
  EXPECT_EQ(calls[1], "Handshake(255,1)");
  ExpectStatus(w, "读取成功", kGreen);
  EXPECT_TRUE(w.boxes.empty());
  ExpectShown(w, {{{idc::ReadTime, "7"},
                   {idc::OutputTime, "9"},
                   {idc::StartBytes, "4"},
                   {idc::Password, "0abc12ff"},
                   {idc::TagInterval, "9"},
                   {idc::Power, "12"},
                   {idc::VersionLabel, "TVW-SIM V3.10"},
                   {idc::SerialNumberLabel, "SN:000aff123456789abcdef001"},
                   {idc::ReaderAddress, "17"},
                   {idc::FreqStart, "865500"},
                   {idc::FreqEnd, "867500"}},
                  {{idc::Buzzer, false},
                   {idc::ReadAlways, false},
                   {idc::ReadByTrigger, true},
                   {idc::Wiegand26, false},
                   {idc::Wiegand34, true},
                   {idc::ForwardOutput, false},
                   {idc::InvertedOutput, true},
                   {idc::PasswordYes, true},
                   {idc::PasswordNo, false},
                   {idc::Fcc, false},
                   {idc::Etsi, true}}});
  EXPECT_EQ(Items(w.W(idc::Power)), Numbers(0, 33));
  EXPECT_EQ(Items(w.W(idc::StartBytes)), Numbers(0, 11));
  EXPECT_EQ(Items(w.W(idc::FreqStart)).size(), 7u);
  EXPECT_EQ(Items(w.W(idc::FreqEnd)), Items(w.W(idc::FreqStart)));
  ExpectTemplateStates(w);  // a read shows no hidden control and enables no parameter

  w.reader.ClearCalls();
  w.Click(idc::FactoryDefault);
  // The read's link is closed before the reset opens its own.
  ASSERT_GE(w.reader.Calls().size(), 2u);
  EXPECT_EQ(w.reader.Calls()[0], "CloseCom()");
  EXPECT_EQ(w.reader.Calls()[1], "OpenCom(100,0)");
  ExpectStatus(w, "设置成功", kGreen);
  EXPECT_TRUE(w.boxes.empty());
  EXPECT_EQ(Shown(w.W(idc::ReadTime)), "7") << "the reset does not refresh the controls";

  w.Click(idc::ReadConfig);
  ExpectStatus(w, "读取成功", kGreen);
  ExpectShown(w, {{{idc::ReadTime, "2"},
                   {idc::OutputTime, "2"},
                   {idc::StartBytes, "9"},
                   {idc::Power, "33"},
                   {idc::ReaderAddress, "1"},
                   {idc::FreqStart, "902000"},
                   {idc::FreqEnd, "926000"}},
                  {{idc::ReadAlways, true},
                   {idc::ReadByTrigger, false},
                   {idc::Wiegand26, true},
                   {idc::Wiegand34, false},
                   {idc::ForwardOutput, true},
                   {idc::InvertedOutput, false},
                   {idc::PasswordYes, true},
                   {idc::Fcc, true},
                   {idc::Etsi, false}}});
  EXPECT_EQ(Items(w.W(idc::FreqStart)).size(), 53u);

  // Failures replace the green text with red: no colour of the earlier text stays.
  const std::pair<const char*, const char*> failures[] = {{"OpenCom", "连接失败"},
                                                          {"Handshake", "配置失败"}};
  for (const auto& [operation, status] : failures) {
    SCOPED_TRACE(operation);
    w.reader.FailOn(operation);
    w.Click(idc::ReadConfig);
    ExpectStatus(w, status, kRed);
    w.reader.ClearFailures();
  }
}

TEST(ToolWindowReader, PowerAndFrequencySelectorsFollowTheReaderKind) {
  const struct {
    std::uint8_t kind;
    std::uint8_t power;
    std::vector<std::string> powerItems;
    const char* start;
    const char* end;
    std::size_t frequencyItems;
  } cases[] = {
      {0, 20, Numbers(0, 33), "902000", "926000", 53},
      {1, 20, Numbers(18, 26), "902000", "926000", 53},
      {2, 50, Numbers(0, 63), "01--902600", "63--927400", 63},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(static_cast<int>(tc.kind));
    OpenWindow w;
    w.reader.State() = FactoryState(tc.kind, false);
    w.reader.State().outPower = tc.power;
    w.Click(idc::ReadConfig);
    ExpectStatus(w, "读取成功", kGreen);
    EXPECT_EQ(Items(w.W(idc::Power)), tc.powerItems);
    EXPECT_EQ(Shown(w.W(idc::Power)), std::to_string(tc.power));
    EXPECT_EQ(Shown(w.W(idc::FreqStart)), tc.start);
    EXPECT_EQ(Shown(w.W(idc::FreqEnd)), tc.end);
    EXPECT_EQ(Items(w.W(idc::FreqEnd)).size(), tc.frequencyItems);
  }
}

// The cells of the template's four columns; the inventory's seen columns after them hold times.
std::vector<std::string> Row(const QTableWidget* list, int row) {
  std::vector<std::string> cells;
  for (int column = 0; column < std::min(list->columnCount(), kTagColumnFirstSeen); ++column) {
    const QTableWidgetItem* item = list->item(row, column);
    cells.push_back(item != nullptr ? Str(item->text()) : "<no item>");
  }
  return cells;
}

TEST(ToolWindowTagList, ColumnsAHexReadAndClearingByDoubleClick) {
  OpenWindow w;
  w.ShowActive();
  auto* list = w.As<QTableWidget>(idc::TagList);
  const std::pair<const char*, int> columns[] = {{"No.", 90},
                                                 {"Card Number", 250},
                                                 {"Success Times", 150},
                                                 {"EPC Length", 150},
                                                 {kFirstSeenHeading, kSeenColumnWidth},
                                                 {kLastSeenHeading, kSeenColumnWidth}};
  ASSERT_EQ(list->columnCount(), std::ssize(columns));
  for (int c = 0; c < list->columnCount(); ++c) {
    EXPECT_EQ(Str(list->horizontalHeaderItem(c)->text()), columns[c].first);
    EXPECT_EQ(list->columnWidth(c), columns[c].second);
  }
  EXPECT_TRUE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->rowCount(), 0);

  w.reader.State().tags = {
      {0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22}};
  w.Click(idc::ReadConfig);
  w.tool.Dialog().OnCommand(idc::ReadTagTestHex, Notification::Clicked);
  ASSERT_EQ(list->rowCount(), 1);
  EXPECT_EQ(Row(list, 0), (std::vector<std::string>{"1", "e200123456789abcdef01122", "1", "12"}));
  w.tool.Dialog().OnCommand(idc::ReadTagTestHex, Notification::Clicked);
  ASSERT_EQ(list->rowCount(), 1);
  EXPECT_EQ(Row(list, 0), (std::vector<std::string>{"1", "e200123456789abcdef01122", "2", "12"}));

  // A double-click on the list asks first; Cancel keeps the rows, OK removes them.
  w.answer = MessageResult::Cancel;
  QTest::mouseDClick(list->viewport(), Qt::LeftButton);
  ASSERT_EQ(w.boxes.size(), 1u);
  EXPECT_EQ(w.boxes[0].text, "Delete Record?");
  EXPECT_EQ(w.boxes[0].caption, "Warnning");
  EXPECT_EQ(w.boxes[0].buttons, MessageButtons::OkCancel);
  EXPECT_EQ(list->rowCount(), 1);
  w.answer = MessageResult::Ok;
  QTest::mouseDClick(list->viewport(), Qt::LeftButton);
  EXPECT_EQ(w.boxes.size(), 2u);
  EXPECT_EQ(list->rowCount(), 0);
}

TEST(ToolWindowClose, TheModalLoopEndsOnCancelOrCloseAndTheWindowGoesWithTheTool) {
  for (const bool byClose : {false, true}) {
    SCOPED_TRACE(byClose ? "close" : "cancel");
    auto w = std::make_unique<OpenWindow>();
    w->reader.State().tags = {{0xe2, 0x00, 0x12, 0x34}};
    w->Click(idc::ReadConfig);
    w->tool.Dialog().OnCommand(idc::ReadTagTestHex, Notification::Clicked);
    ASSERT_EQ(w->As<QTableWidget>(idc::TagList)->rowCount(), 1);

    QDialog* window = w->Window();
    QTimer::singleShot(0, window, [window, byClose] {
      if (byClose) {
        window->close();
      } else {
        window->reject();
      }
    });
    QTimer::singleShot(10000, window, [window] { window->done(99); });  // never hang
    EXPECT_EQ(window->exec(), QDialog::Rejected);
    EXPECT_FALSE(window->isVisible());

    const QPointer<QDialog> alive(window);
    w.reset();
    EXPECT_TRUE(alive.isNull()) << "the window is destroyed with the tool";
  }
}

// Ctrl+E on the real window: the engineering view, every value shown kept, then back; the
// tag list and the Connect button are shown, usable and inside the window in between.
TEST(ToolWindowViews, CtrlESwitchesToTheEngineeringViewAndBack) {
  OpenWindow w;
  w.ShowActive();
  w.Click(idc::ReadConfig);
  const QSize operatorSize = w.Window()->size();
  const std::string status = Shown(w.W(idc::StatusPanel));
  const std::string power = Shown(w.W(idc::Power));
  for (const bool engineering : {true, false}) {
    SCOPED_TRACE(engineering);
    QTest::keyClick(w.Window(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(w.tool.Views().Current(),
              engineering ? DialogView::Engineering : DialogView::Operator);
    EXPECT_EQ(w.Window()->size() == operatorSize, !engineering);
    for (int id : {idc::TagList, idc::Connect, idc::HostIp, idc::Password}) {
      EXPECT_EQ(w.W(id)->isVisible(), engineering) << id;
      if (engineering) {
        EXPECT_TRUE(w.Window()->rect().contains(w.W(id)->geometry())) << id;
      }
    }
    EXPECT_EQ(Shown(w.W(idc::StatusPanel)), status);
    EXPECT_EQ(Shown(w.W(idc::Power)), power);
    // A label without an id names a control usable only in the engineering view: greyed with it.
    const auto labels = w.Window()->findChildren<QLabel*>();
    const auto hostIp = std::find_if(labels.begin(), labels.end(),
                                     [](QLabel* label) { return label->text() == "Host IP"; });
    ASSERT_NE(hostIp, labels.end());
    EXPECT_EQ((*hostIp)->isEnabled(), engineering);
  }
}

// The engineering view's actions through the real widgets and the real file dialog, against the
// simulated reader: a saved output power reads back, continuous reading counts until stopped, and
// the list exports to a folder with a Chinese name.
TEST(ToolWindowViews, EngineeringViewSavesReadsContinuouslyAndExports) {
  OpenWindow w;
  w.reader.State().tags = {
      {0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x11, 0x22},
      {0xe2, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0x33, 0x44}};
  w.ShowActive();
  QTest::keyClick(w.Window(), Qt::Key_E, Qt::ControlModifier);
  ASSERT_EQ(w.tool.Views().Current(), DialogView::Engineering);
  w.Click(idc::Connect);
  ASSERT_TRUE(w.W(idc::SaveChanges)->isEnabled());

  // Output power: seven steps up on the selector, saved; moved away, then read back.
  auto* power = w.As<QComboBox>(idc::Power);
  power->setFocus();
  const int chosen = std::min(power->currentIndex(), power->count() - 8) + 7;
  for (int step = 0; step < 7; ++step) QTest::keyClick(power, Qt::Key_Down);
  ASSERT_EQ(power->currentIndex(), chosen);
  const std::string chosenText = Str(power->currentText());
  w.Click(idc::SaveChanges);
  EXPECT_TRUE(w.boxes.empty());
  EXPECT_EQ(std::to_string(w.reader.State().outPower), chosenText);
  QTest::keyClick(power, Qt::Key_Home);
  ASSERT_NE(Str(power->currentText()), chosenText);
  w.Click(idc::ReadConfig);
  EXPECT_EQ(Str(power->currentText()), chosenText);
  EXPECT_EQ(std::to_string(w.reader.State().outPower), chosenText);

  // Continuous reading in hex, without a pause between reads.
  auto* interval = w.As<QLineEdit>(idc::TagInterval);
  interval->setFocus();
  interval->selectAll();
  QTest::keyClicks(interval, "0");
  w.Click(idc::ReadTagTestHex);
  const auto totalReads = [&w] {
    const std::string text = Shown(w.W(idc::TotalReadsLabel));
    const std::string prefix = "Total reads: ";
    return text.rfind(prefix, 0) == 0 ? std::stoll(text.substr(prefix.size())) : -1LL;
  };
  const long long before = totalReads();
  ASSERT_GE(before, 0);
  w.Click(idc::StartStopReads);
  EXPECT_EQ(Shown(w.W(idc::StartStopReads)), "Stop");
  // Five seconds of reading: the count rises every second.
  for (long long last = before, second = 1; second <= 5; ++second) {
    QTest::qWait(1000);
    EXPECT_GT(totalReads(), last) << "second " << second;
    last = totalReads();
  }
  w.Click(idc::StartStopReads);
  EXPECT_EQ(Shown(w.W(idc::StartStopReads)), "Start");
  const long long stopped = totalReads();
  const std::size_t calls = w.reader.Calls().size();
  QTest::qWait(150);
  EXPECT_EQ(totalReads(), stopped);
  EXPECT_EQ(w.reader.Calls().size(), calls);
  auto* list = w.As<QTableWidget>(idc::TagList);
  ASSERT_EQ(list->rowCount(), 2);

  // Export CSV through the file dialog: byte order mark, the list's headings, a line per row.
  test::TempDir temp("uhf-export");
  const std::filesystem::path folder = temp.path() / Utf8Path("导出 文件夹");
  std::filesystem::create_directories(folder);
  test::FileDialogAnswers answers;
  answers.Queue(folder / Utf8Path("标签"));
  w.Click(idc::ExportCsv);
  EXPECT_FALSE(answers.Pending());
  EXPECT_TRUE(w.boxes.empty());
  std::ifstream in(folder / Utf8Path("标签.csv"), std::ios::binary);
  ASSERT_TRUE(in.is_open());
  const std::string csv{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string bom = "\xEF\xBB\xBF";
  ASSERT_EQ(csv.rfind(bom, 0), 0u);
  std::vector<std::string> lines;
  for (std::size_t at = bom.size(), end; at < csv.size(); at = end + 2) {
    end = csv.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    lines.push_back(csv.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 1u + list->rowCount());
  std::string headings;
  for (int c = 0; c < list->columnCount(); ++c) {
    headings += (c == 0 ? "" : ",") + Str(list->horizontalHeaderItem(c)->text());
  }
  EXPECT_EQ(lines[0], headings);
  for (int row = 0; row < list->rowCount(); ++row) {
    EXPECT_EQ(lines[1 + row].rfind(Str(list->item(row, 0)->text()) + ",", 0), 0u) << row;
    EXPECT_NE(lines[1 + row].find(Str(list->item(row, 1)->text())), std::string::npos) << row;
  }
}

}  // namespace
}  // namespace uhf
