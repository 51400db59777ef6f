// The Qt surface keeps the surface contract. The operator acts through real input events on the
// shown window (mouse clicks, key presses), and message boxes and file dialogs are real ones
// answered by watchers that press their buttons or type into them.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <deque>

#include "ui/contract/SurfaceContract.h"
#include "ui/qt/FileDialogAnswers.h"
#include "ui/qt/QtSurface.h"

namespace uhf::contract {
namespace {

class QtUnderTest : public SurfaceUnderTest {
 public:
  explicit QtUnderTest(const DialogTemplate& dialog) : surface_(dialog) {
    surface_.Window()->show();
    QApplication::setActiveWindow(surface_.Window());
    EXPECT_TRUE(QTest::qWaitForWindowActive(surface_.Window()));
    // Runs only while a modal box spins its own event loop.
    QObject::connect(&boxWatcher_, &QTimer::timeout, [this] { AnswerOpenBox(); });
    boxWatcher_.start(1);
  }

  ControlSurface& Surface() override { return surface_; }

  void Click(int id) override {
    QWidget* widget = surface_.Widget(id);
    // Radios and check boxes take the click on their indicator, at the left.
    const bool indicator =
        qobject_cast<QAbstractButton*>(widget) != nullptr && !widget->inherits("QPushButton");
    const QPoint at = indicator ? QPoint(6, widget->height() / 2) : widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  }

  void DoubleClick(int id) override {
    auto* table = static_cast<QTableWidget*>(surface_.Widget(id));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
  }

  void Type(int id, std::string_view text) override {
    auto* edit = static_cast<QLineEdit*>(surface_.Widget(id));
    edit->setFocus();
    edit->selectAll();
    const QString typed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (typed.isEmpty()) QTest::keyClick(edit, Qt::Key_Backspace);
    for (QChar c : typed) {
      QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }

  void QueueMessageAnswer(MessageResult answer) override { answers_.push_back(answer); }
  std::vector<SeenMessage> Messages() const override { return seen_; }

  std::optional<Rgb> CharacterColour(int id, int index) const override {
    auto* rich = static_cast<QTextEdit*>(surface_.Widget(id));
    QTextCursor cursor(rich->document());
    cursor.setPosition(index + 1);  // the format of the character before the cursor
    const QTextCharFormat format = cursor.charFormat();
    if (!format.hasProperty(QTextFormat::ForegroundBrush)) return std::nullopt;
    const QColor colour = format.foreground().color();
    return Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
               static_cast<std::uint8_t>(colour.blue())};
  }

  bool WholeTextSelected(int id) const override {
    auto* edit = static_cast<QLineEdit*>(surface_.Widget(id));
    return !edit->text().isEmpty() && edit->selectedText() == edit->text();
  }

  bool InsideWindow(int id) const override {
    return surface_.Window()->rect().contains(surface_.Widget(id)->geometry());
  }

  void PressCtrl(char key) override {
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused != nullptr ? focused : surface_.Window(), Qt::Key(key),
                    Qt::ControlModifier);
  }

  void SelectRow(int id, int row) override {
    auto* table = static_cast<QTableWidget*>(surface_.Widget(id));
    const QRect cell = table->visualRect(table->model()->index(row, 0));
    ASSERT_TRUE(table->viewport()->rect().contains(cell.center())) << "row " << row;
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }

  void QueueSaveFileAnswer(std::optional<std::filesystem::path> answer) override {
    fileAnswers_.Queue(std::move(answer));
  }

  std::string ClipboardText() const override {
    return QApplication::clipboard()->text().toStdString();
  }

  void RunPostedTasks() override { QCoreApplication::sendPostedEvents(); }

 private:
  void AnswerOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    const bool okCancel = box->button(QMessageBox::Cancel) != nullptr;
    seen_.push_back(
        {box->text().toStdString(), box->windowTitle().toStdString(),
         okCancel ? MessageButtons::OkCancel : MessageButtons::Ok,
         box->icon() == QMessageBox::Warning ? MessageIcon::Exclamation : MessageIcon::None});
    MessageResult answer = MessageResult::Ok;
    if (okCancel && !answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    box->button(answer == MessageResult::Cancel ? QMessageBox::Cancel : QMessageBox::Ok)->click();
  }

  QtSurface surface_;
  QTimer boxWatcher_;
  test::FileDialogAnswers fileAnswers_;
  std::deque<MessageResult> answers_;
  std::vector<SeenMessage> seen_;
};

std::unique_ptr<SurfaceUnderTest> MakeQtUnderTest(const DialogTemplate& dialog) {
  return std::make_unique<QtUnderTest>(dialog);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Qt, SurfaceContract,
                         ::testing::Values(SurfaceFactory{"Qt", &MakeQtUnderTest}));

}  // namespace uhf::contract
