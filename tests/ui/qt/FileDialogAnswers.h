#pragma once
// Answers the Qt file dialogs a test's window opens, as the operator would: the path typed into
// the dialog's file name field followed by Enter, or Cancel. A zero-time timer finds the dialog
// once it is the active modal window, from inside the dialog's own event loop.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace uhf::test {

class FileDialogAnswers {
 public:
  FileDialogAnswers() {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] { AnswerOpenDialog(); });
  }

  // The answer for the next file dialog: a path, or nothing for Cancel.
  void Queue(std::optional<std::filesystem::path> answer) {
    answers_.push_back(std::move(answer));
    timer_.start();
  }
  bool Pending() const { return !answers_.empty(); }

 private:
  void AnswerOpenDialog() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible() || answers_.empty()) return;
    const std::optional<std::filesystem::path> answer = std::move(answers_.front());
    answers_.pop_front();
    if (answers_.empty()) timer_.stop();
    if (!answer) {
      dialog->reject();
      return;
    }
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    // Typing goes to the focused field of the active window. Without the focus the dialog would
    // also keep the list entries that matched what was typed on the way as the chosen files.
    QApplication::setActiveWindow(dialog);
    name->setFocus();
    name->selectAll();
    const std::u8string path = answer->u8string();
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(path.data()),
                                            static_cast<qsizetype>(path.size()));
    for (QChar c : typed) {
      QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QTest::keyClick(name, Qt::Key_Return);
  }

  QTimer timer_;
  std::deque<std::optional<std::filesystem::path>> answers_;
};

}  // namespace uhf::test
