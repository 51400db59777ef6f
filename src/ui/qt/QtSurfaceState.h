#pragma once
// The records behind QtSurface, shared by its source files: one per control, what was written to
// a control not built yet, and the work deferred until after the first frame.

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/WrittenControl.h"
#include "ui/qt/QtSurface.h"

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTextEdit;

namespace uhf {

class IpAddressWidget;
class ReportList;
class TextLimitValidator;

struct QtSurface::Control {
  ControlKind kind = ControlKind::Static;
  QWidget* widget = nullptr;  // owned by the dialog
  std::string text;           // caption last set (everything but edits, lists and IP controls)
  // Kind-specific views of `widget`
  QLabel* label = nullptr;
  QGroupBox* group = nullptr;
  QAbstractButton* button = nullptr;
  QLineEdit* edit = nullptr;
  TextLimitValidator* limiter = nullptr;
  QComboBox* combo = nullptr;
  ReportList* list = nullptr;
  std::uint32_t listStyle = 0;
  IpAddressWidget* ip = nullptr;
  QTextEdit* rich = nullptr;
  bool appended = false;  // lines were appended since SetText: the document holds the text
  // A hidden control whose widget is built after the first frame: its template until then, and
  // what was written to it before it existed.
  std::unique_ptr<ControlTemplate> unbuilt;
  std::unique_ptr<WrittenControl> written;
};

// Work deferred until after the first frame: a fill on the window's thread, or a background
// find whose result a fill puts into the control.
struct QtSurface::Deferred {
  int id = kNoId;
  std::function<void()> fill;
  std::function<std::string()> find;
  std::function<void(const std::string&)> fillFound;
  std::shared_ptr<BackgroundResult> result;  // once the find runs on its worker
  bool build = false;                        // builds the widget of control `id`
};

struct QtSurface::BackgroundResult {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::string value;
};

// The window's object for a worker to queue calls to, cleared before the window goes.
struct QtSurface::Mailbox {
  std::mutex mutex;
  QObject* receiver = nullptr;
};

}  // namespace uhf
