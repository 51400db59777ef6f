// The surface on real widgets, offscreen: what the surface contract does not cover. The window's
// geometry and fonts, push buttons, line breaks in captions, the dialog commands, typing into the
// IP address control and the look of the list and the status panel.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "dialog/BoundValues.h"
#include "dialog/ControlIds.h"
#include "dialog/MainDialogTemplate.h"
#include "ui/qt/QtSurface.h"

namespace uhf {
namespace {

using Event = std::pair<int, Notification>;

class QtSurfaceTest : public ::testing::Test {
 protected:
  QtSurfaceTest() {
    surface.SetNotificationHandler([this](int id, Notification n) { events.emplace_back(id, n); });
    surface.SetMessageBoxHook([this](std::string_view text, std::string_view caption,
                                     MessageButtons buttons, MessageIcon icon) {
      messages.push_back({std::string(text), std::string(caption), buttons, icon});
      return MessageResult::Ok;
    });
  }

  void ShowActive() {
    surface.Window()->show();
    QApplication::setActiveWindow(surface.Window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(surface.Window()));
  }

  struct Shown {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
  };

  QtSurface surface{MainDialogTemplate()};
  std::vector<Event> events;
  std::vector<Shown> messages;
};

// --- window ---

TEST(DialogUnits, ConvertWithRoundingLikeThePlatform) {
  // Horizontal: du * x / 4; vertical: du * y / 8; halves round up.
  const DialogBaseUnits units{7, 17};
  EXPECT_EQ(DialogUnitsToPixels({102, 141, 98, 29}, units), QRect(179, 300, 172, 62));
  EXPECT_EQ(DialogUnitsToPixels({1, 1, 2, 3}, units), QRect(2, 2, 4, 6));
  EXPECT_EQ(DialogUnitsToPixels({0, 0, 487, 313}, {6, 16}), QRect(0, 0, 731, 626));
}

TEST(DialogUnits, BaseUnitsComeFromTheAlphabetAndTheFontHeight) {
  const QFont font = MakeDialogFont("Segoe UI Symbol", 10);
  const QFontMetrics metrics(font);
  const DialogBaseUnits units = BaseUnitsOf(font);
  const int alphabet = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  EXPECT_LE(std::abs(units.x * 52 - alphabet), 26);
  EXPECT_EQ(units.y, metrics.height());
}

TEST_F(QtSurfaceTest, WindowHasCaptionFixedSizeAndMinimizeBoxOnly) {
  QDialog* window = surface.Window();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("UHF读头配置工具"));
  const QSize expected =
      DialogUnitsToPixels({0, 0, MainDialogTemplate().widthDu, MainDialogTemplate().heightDu},
                          BaseUnitsOf(surface.Window()->font()))
          .size();
  EXPECT_EQ(window->size(), expected);
  EXPECT_EQ(window->minimumSize(), expected);
  EXPECT_EQ(window->maximumSize(), expected);
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_FALSE(window->windowIcon().pixmap(16, 16).isNull());
  EXPECT_FALSE(window->windowIcon().pixmap(32, 32).isNull());
}

TEST_F(QtSurfaceTest, ControlsSitAtTheirTemplateRectanglesAsDirectChildren) {
  const DialogBaseUnits units = BaseUnitsOf(surface.Window()->font());
  for (int id : {idc::ReadConfig, idc::FactoryDefault, idc::StatusPanel, idc::Banner,
                 idc::TagInterval, idc::RfGroup}) {
    SCOPED_TRACE(id);
    QWidget* widget = surface.Widget(id);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), surface.Window());
    EXPECT_EQ(widget->geometry(), DialogUnitsToPixels(MainDialogTemplate().Find(id)->rect, units));
  }
  EXPECT_EQ(surface.Widget(12345), nullptr);
  EXPECT_THROW(surface.GetText(12345), std::out_of_range);
}

TEST_F(QtSurfaceTest, GroupBoxesAreDrawnBehindTheControlsOverThem) {
  ShowActive();
  for (int id : {idc::Power, idc::Buzzer, idc::ReadAlways, idc::TagInterval, idc::StartBytes}) {
    SCOPED_TRACE(id);
    QWidget* widget = surface.Widget(id);
    const QPoint centre = widget->geometry().center();
    QWidget* hit = surface.Window()->childAt(centre);
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(hit == widget || widget->isAncestorOf(hit));
  }
}

TEST_F(QtSurfaceTest, HiddenControlsStayHiddenWhenTheWindowShows) {
  ShowActive();
  int hidden = 0;
  for (const ControlTemplate& tpl : MainDialogTemplate().controls) {
    if (tpl.id == idc::None) continue;
    SCOPED_TRACE(tpl.id);
    EXPECT_EQ(surface.Widget(tpl.id)->isVisible(), tpl.visible);
    EXPECT_EQ(surface.IsVisible(tpl.id), tpl.visible);
    EXPECT_EQ(surface.IsEnabled(tpl.id), tpl.enabled);
    hidden += tpl.visible ? 0 : 1;
  }
  EXPECT_GT(hidden, 30);
  // Controls without an id too: the hidden picture and statics.
  for (QObject* child : surface.Window()->children()) {
    auto* label = qobject_cast<QLabel*>(child);
    if (label != nullptr && !label->pixmap().isNull()) {
      EXPECT_FALSE(label->isVisible());
    }
  }
}

TEST_F(QtSurfaceTest, EmbeddedPicturesArePresent) {
  EXPECT_TRUE(QFile::exists(QStringLiteral(":/uhf/banner.png")));
  EXPECT_FALSE(ApplicationIcon().isNull());
}

// --- fonts ---

TEST_F(QtSurfaceTest, FontsInUseShowChineseAndKeepTheirSizes) {
  surface.SetFont(idc::StatusPanel, {"宋体", 150});
  surface.SetFont(idc::Banner, {"宋体", 20});
  surface.SetFont(idc::VersionLabel, {"宋体", 15});
  const std::vector<std::pair<QWidget*, int>> cases = {
      {surface.Window(), 10},
      {surface.Widget(idc::ReadConfig), 10},
      {surface.Widget(idc::StatusPanel), 150},
      {surface.Widget(idc::Banner), 20},
      {surface.Widget(idc::VersionLabel), 15},
  };
  for (const auto& [widget, points] : cases) {
    SCOPED_TRACE(widget->objectName().toStdString());
    const QFont font = widget->font();
    EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'读')));
    EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'A')));
    EXPECT_EQ(QFontInfo(font).pointSize(), points);
  }
}

// --- push buttons ---

class MarkedButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
};

TEST(QtSurfaceButtons, FactorySuppliesButtonsForItsIdsOnly) {
  std::vector<int> asked;
  QtSurface surface(MainDialogTemplate(), [&](int id, QWidget* parent) -> QPushButton* {
    asked.push_back(id);
    return id == idc::ReadConfig ? new MarkedButton(parent) : nullptr;
  });
  EXPECT_NE(dynamic_cast<MarkedButton*>(surface.Widget(idc::ReadConfig)), nullptr);
  EXPECT_EQ(dynamic_cast<MarkedButton*>(surface.Widget(idc::FactoryDefault)), nullptr);
  EXPECT_NE(qobject_cast<QPushButton*>(surface.Widget(idc::FactoryDefault)), nullptr);
  EXPECT_EQ(surface.Widget(idc::ReadConfig)->parentWidget(), surface.Window());
  EXPECT_EQ(surface.GetText(idc::ReadConfig), "获取配置信息");
  EXPECT_EQ(static_cast<QPushButton*>(surface.Widget(idc::ReadConfig))->text(),
            QStringLiteral("获取配置信息"));
  // Every push button comes from the factory, once; hidden ones when first used.
  int pushButtons = 0;
  for (const ControlTemplate& tpl : MainDialogTemplate().controls) {
    if (tpl.kind != ControlKind::PushButton) continue;
    ++pushButtons;
    EXPECT_NE(surface.Widget(tpl.id), nullptr);
  }
  EXPECT_EQ(static_cast<int>(asked.size()), pushButtons);

  // A click on the factory's button is still a click.
  std::vector<Event> events;
  surface.SetNotificationHandler([&](int id, Notification n) { events.emplace_back(id, n); });
  static_cast<QPushButton*>(surface.Widget(idc::ReadConfig))->click();
  EXPECT_EQ(events, (std::vector<Event>{{idc::ReadConfig, Notification::Clicked}}));
}

TEST_F(QtSurfaceTest, PushButtonsShareOneGreenBrush) {
  const QColor green(154, 205, 50);
  const QBrush brush(green, Qt::SolidPattern);
  for (const ControlTemplate& tpl : MainDialogTemplate().controls) {
    QWidget* widget = surface.Widget(tpl.id);
    if (widget == nullptr) continue;
    SCOPED_TRACE(tpl.id);
    const bool isButton = tpl.kind == ControlKind::PushButton;
    EXPECT_EQ(widget->palette().brush(QPalette::Button) == brush, isButton);
  }
  ShowActive();
  QWidget* button = surface.Widget(idc::FactoryDefault);
  const QImage image = button->grab().toImage();
  const QColor face = image.pixelColor(image.width() / 8, image.height() / 2);
  EXPECT_GT(face.green(), face.red() + 20) << face.name().toStdString();
  EXPECT_GT(face.green(), face.blue() + 60) << face.name().toStdString();
}

TEST_F(QtSurfaceTest, PushButtonsDrawAsAButtonWithItsOwnPaletteWouldInEveryState) {
  // Buttons of one size, one of them disabled, and a pair of another size: each must look as a
  // plain button given the same palette, whichever of them was drawn before it.
  surface.ApplyLayout(EngineeringDialogTemplate());
  surface.Enable(idc::ReadTagTestHex, false);
  ShowActive();
  for (int id : {idc::ReadTagTestDecimal, idc::ReadTagTestHex, idc::ReadTagUsb, idc::SetAddress,
                 idc::GetAddress, idc::ReadTagTestHex}) {
    SCOPED_TRACE(id);
    auto* button = qobject_cast<QPushButton*>(surface.Widget(id));
    ASSERT_NE(button, nullptr);
    QPushButton alone(button->text(), surface.Window());
    alone.setAutoDefault(false);
    alone.setPalette(button->palette());
    alone.setAutoFillBackground(true);
    alone.setEnabled(button->isEnabled());
    alone.setGeometry(button->geometry());
    alone.show();
    const QImage expected = alone.grab().toImage();
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(button->grab().toImage(), expected);
  }
}

// --- texts and edits ---

TEST_F(QtSurfaceTest, StaticTextsShowLineBreaksAndReadBackAsSet) {
  const QLabel* label = static_cast<QLabel*>(surface.Widget(idc::ReadTimeLabel));
  EXPECT_EQ(label->text(), QStringLiteral("Read Time\n(1-255):"));
  EXPECT_EQ(surface.GetText(idc::ReadTimeLabel), "Read Time\r\n(1-255):");
  surface.SetText(idc::VersionLabel, "V1.2 <b>x</b>");
  EXPECT_EQ(static_cast<QLabel*>(surface.Widget(idc::VersionLabel))->text(),
            QStringLiteral("V1.2 <b>x</b>"));
  EXPECT_EQ(static_cast<QLabel*>(surface.Widget(idc::VersionLabel))->textFormat(), Qt::PlainText);
  surface.SetText(idc::RfGroup, "射频设置");
  EXPECT_EQ(surface.GetText(idc::RfGroup), "射频设置");
  EXPECT_TRUE(events.empty());
}

TEST_F(QtSurfaceTest, EditsAreCentredAndFramedAsTheTemplateSays) {
  auto* edit = static_cast<QLineEdit*>(surface.Widget(idc::TagInterval));
  EXPECT_EQ(edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_TRUE(edit->hasFrame());
}

TEST_F(QtSurfaceTest, NotificationsAreHeldDuringADataExchange) {
  BoundValues values;
  values.tagInterval = 42;
  ASSERT_TRUE(ExchangeBoundValues(surface, values, false));
  EXPECT_EQ(surface.GetText(idc::TagInterval), "42");
  EXPECT_EQ(surface.GetText(idc::ReaderPort), "27001");
  EXPECT_TRUE(events.empty());
  surface.SetText(idc::TagInterval, "43");
  EXPECT_EQ(events, (std::vector<Event>{{idc::TagInterval, Notification::EditChanged}}));
}

TEST_F(QtSurfaceTest, FailedSavingExchangeWarnsFocusesAndSelectsTheEdit) {
  BoundValues values;
  ASSERT_TRUE(ExchangeBoundValues(surface, values, false));
  surface.Enable(idc::TagInterval, true);
  ShowActive();
  surface.SetText(idc::Password, "ABCD");
  surface.SetText(idc::TagInterval, "300");
  surface.SetText(idc::ReadTime, "9");
  surface.SetFocus(idc::ReadConfig);
  events.clear();

  EXPECT_FALSE(ExchangeBoundValues(surface, values, true));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "“请填入一个在0和266之间的整数。”");
  EXPECT_EQ(messages[0].caption, "UHF读头配置工具");
  EXPECT_EQ(messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(surface.FocusedControl(), idc::TagInterval);
  EXPECT_EQ(QApplication::focusWidget(), surface.Widget(idc::TagInterval));
  auto* edit = static_cast<QLineEdit*>(surface.Widget(idc::TagInterval));
  EXPECT_EQ(edit->selectedText(), QStringLiteral("300"));
  // Values before the failed one were taken, those after it kept.
  EXPECT_EQ(values.checkPassword, "ABCD");
  EXPECT_EQ(values.tagInterval, 5u);
  EXPECT_EQ(values.readTime, 1);
  EXPECT_TRUE(events.empty());
}

// --- dialog commands ---

TEST_F(QtSurfaceTest, EscapeEndsTheDialogEnterAsksTheAcceptHandler) {
  int asked = 0;
  bool agree = false;
  surface.SetAcceptHandler([&] {
    ++asked;
    return agree;
  });
  surface.Enable(idc::TagInterval, true);
  ShowActive();
  QDialog* window = surface.Window();
  surface.SetFocus(idc::TagInterval);  // an edit does not take Enter
  QTest::keyClick(surface.Widget(idc::TagInterval), Qt::Key_Return);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(events.empty());  // no button caught the key
  agree = true;
  QTest::keyClick(surface.Widget(idc::TagInterval), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Accepted);

  ShowActive();
  surface.SetFocus(idc::TagInterval);
  QTest::keyClick(surface.Widget(idc::TagInterval), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Rejected);
  EXPECT_EQ(asked, 2);
}

TEST_F(QtSurfaceTest, EnterOnAFocusedButtonClicksItInsteadOfAccepting) {
  int asked = 0;
  surface.SetAcceptHandler([&] { return ++asked, true; });
  ShowActive();
  surface.SetFocus(idc::FactoryDefault);
  QTest::keyClick(surface.Widget(idc::FactoryDefault), Qt::Key_Return);
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(surface.Window()->isVisible());
  EXPECT_EQ(events, (std::vector<Event>{{idc::FactoryDefault, Notification::Clicked}}));
}

// --- list view ---

TEST_F(QtSurfaceTest, ListHeadingsAreLeftAligned) {
  surface.ListInsertColumn(idc::TagList, 0, "No.", 90);
  auto* list = static_cast<QTableWidget*>(surface.Widget(idc::TagList));
  EXPECT_TRUE(list->horizontalHeader()->defaultAlignment() & Qt::AlignLeft);
  EXPECT_EQ(list->columnWidth(0), 90);
}

TEST_F(QtSurfaceTest, ListStyleBitsAddUpAndShowGridAndFullRows) {
  auto* list = static_cast<QTableWidget*>(surface.Widget(idc::TagList));
  EXPECT_FALSE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectItems);
  surface.ListAddExtendedStyle(idc::TagList, kListGridLines);
  surface.ListAddExtendedStyle(idc::TagList, kListFullRowSelect);
  EXPECT_EQ(surface.ListExtendedStyle(idc::TagList), kListGridLines | kListFullRowSelect);
  EXPECT_TRUE(list->showGrid());
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
}

// --- IP address control ---

TEST_F(QtSurfaceTest, IpAddressTakesTypedFieldsAndRefusesOver255) {
  QWidget* ip = surface.Widget(idc::HostIp);
  surface.Enable(idc::HostIp, true);
  ip->setVisible(true);
  ip->setGeometry(0, 0, 200, 24);
  ShowActive();
  surface.SetFocus(idc::HostIp);
  EXPECT_EQ(surface.FocusedControl(), idc::HostIp);
  // A dot moves on to the next field; a fourth digit or a value over 255 is refused.
  for (const char* keys : {"10", ".", "2", ".", "999"}) {
    QTest::keyClicks(QApplication::focusWidget(), keys);
  }
  std::array<std::uint8_t, 4> fields{};
  EXPECT_EQ(surface.IpGetAddress(idc::HostIp, fields), 3);
  EXPECT_EQ(fields, (std::array<std::uint8_t, 4>{10, 2, 99, 0}));
  EXPECT_TRUE(events.empty());
}

// --- rich edit ---

QColor ColourAt(QTextEdit* edit, int position) {
  QTextCursor cursor(edit->document());
  cursor.setPosition(position + 1);  // the format of the character before the cursor
  return cursor.charFormat().foreground().color();
}

bool Coloured(QTextEdit* edit, int position) {
  QTextCursor cursor(edit->document());
  cursor.setPosition(position + 1);
  return cursor.charFormat().hasProperty(QTextFormat::ForegroundBrush);
}

TEST_F(QtSurfaceTest, StatusPanelIsReadOnlyAndCentredAfterNewText) {
  auto* rich = static_cast<QTextEdit*>(surface.Widget(idc::StatusPanel));
  surface.SetText(idc::StatusPanel, "连接失败");
  surface.RichSetColor(idc::StatusPanel, 0, 4, {255, 0, 0});
  rich->moveCursor(QTextCursor::End);  // as after a click into the panel's coloured text
  surface.SetText(idc::StatusPanel, "读取成功");
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(Coloured(rich, i)) << i;
  EXPECT_TRUE(rich->isReadOnly());
  EXPECT_EQ(rich->document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
}

TEST_F(QtSurfaceTest, RichEditPositionsCountCharactersBeyondTheBasicPlane) {
  auto* rich = static_cast<QTextEdit*>(surface.Widget(idc::StatusPanel));
  surface.SetText(idc::StatusPanel, "a\U0001F600bc");         // one character, two UTF-16 units
  surface.RichSetColor(idc::StatusPanel, 2, 3, {255, 0, 0});  // "b"
  EXPECT_FALSE(Coloured(rich, 1));
  EXPECT_EQ(ColourAt(rich, 3), QColor(255, 0, 0));
  EXPECT_FALSE(Coloured(rich, 4));
}

// A log pane on the status panel (centred, coloured text before it): appended lines read from the
// left in the default colour, the pane shows the end, and the line limit goes with the lines, so
// new text set afterwards keeps all of its own.
TEST_F(QtSurfaceTest, LogPaneLinesReadFromTheLeftFollowTheEndAndTakeTheirLimitAlong) {
  ShowActive();
  auto* rich = static_cast<QTextEdit*>(surface.Widget(idc::StatusPanel));
  surface.SetText(idc::StatusPanel, "连接失败\r\n");
  surface.RichSetColor(idc::StatusPanel, 0, 4, {255, 0, 0});
  const auto numbered = [](int from, int to) {
    std::string lines;
    for (int n = from; n <= to; ++n) lines += "line " + std::to_string(n) + "\n";
    return lines;
  };
  for (int batch = 0; batch < 4; ++batch) {
    surface.AppendLines(idc::StatusPanel, numbered(batch * 25 + 1, batch * 25 + 25), 60);
  }
  EXPECT_EQ(surface.GetText(idc::StatusPanel), numbered(41, 100));
  for (QTextBlock block = rich->document()->begin(); block.isValid(); block = block.next()) {
    EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  }
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(Coloured(rich, i)) << i;
  QApplication::processEvents();
  EXPECT_GT(rich->verticalScrollBar()->maximum(), 0) << "60 lines overflow the pane";
  EXPECT_EQ(rich->verticalScrollBar()->value(), rich->verticalScrollBar()->maximum());

  surface.SetText(idc::StatusPanel, numbered(1, 80));
  EXPECT_EQ(surface.GetText(idc::StatusPanel), numbered(1, 80));
  EXPECT_EQ(rich->document()->blockCount(), 81);
}

}  // namespace
}  // namespace uhf
