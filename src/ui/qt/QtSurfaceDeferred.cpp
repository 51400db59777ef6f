// QtSurface: the window's first frame and the work deferred until after it (hidden controls
// built, fills run, values found on worker threads), and writes kept for controls not built yet.
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <exception>
#include <thread>

#include "ui/qt/QtSurface.h"
#include "ui/qt/QtSurfaceState.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportList.h"

namespace uhf {

void QtSurface::FillAfterFirstFrame(int id, std::function<void()> fill) {
  if (firstFramePassed_) return fill();
  Deferred deferred;
  deferred.id = id;
  deferred.fill = std::move(fill);
  deferred_.push_back(std::move(deferred));
}

void QtSurface::FillInBackground(int id, std::function<std::string()> find,
                                 std::function<void(const std::string&)> fill) {
  Deferred deferred;
  deferred.id = id;
  deferred.find = std::move(find);
  deferred.fillFound = std::move(fill);
  deferred_.push_back(std::move(deferred));
  if (firstFramePassed_) StartBackground(deferred_.back());
}

void QtSurface::OnFirstFrame() {
  firstFramePassed_ = true;
  // Workers first, so that a slow find overlaps the fills below.
  for (Deferred& deferred : deferred_) {
    if (deferred.find && !deferred.result) StartBackground(deferred);
  }
  std::vector<Deferred> fills;
  std::vector<Deferred> waiting;
  for (Deferred& deferred : deferred_) {
    (deferred.fill ? fills : waiting).push_back(std::move(deferred));
  }
  deferred_ = std::move(waiting);
  for (Deferred& deferred : fills) deferred.fill();
}

void QtSurface::StartBackground(Deferred& deferred) {
  auto result = std::make_shared<BackgroundResult>();
  deferred.result = result;
  std::thread([find = deferred.find, result, mailbox = mailbox_, this] {
    std::string value;
    try {
      value = find();
    } catch (const std::exception&) {
      value.clear();  // nothing found
    }
    {
      std::lock_guard<std::mutex> lock(result->mutex);
      result->value = std::move(value);
      result->finished = true;
    }
    result->done.notify_all();
    std::lock_guard<std::mutex> lock(mailbox->mutex);
    if (mailbox->receiver != nullptr) {
      QMetaObject::invokeMethod(
          mailbox->receiver, [this, result] { CompleteBackground(result); }, Qt::QueuedConnection);
    }
  }).detach();
}

void QtSurface::CompleteBackground(const std::shared_ptr<BackgroundResult>& result) {
  const auto it = std::find_if(deferred_.begin(), deferred_.end(),
                               [&](const Deferred& deferred) { return deferred.result == result; });
  if (it == deferred_.end()) return;  // already used, and filled then
  Deferred deferred = std::move(*it);
  deferred_.erase(it);
  deferred.fillFound(result->value);
}

void QtSurface::ResolveDeferred(int id) {
  for (;;) {
    const auto it = std::find_if(deferred_.begin(), deferred_.end(),
                                 [id](const Deferred& deferred) { return deferred.id == id; });
    if (it == deferred_.end()) return;
    // Out of the list before it runs: the fill itself uses the control.
    Deferred deferred = std::move(*it);
    deferred_.erase(it);
    if (deferred.fill) {
      deferred.fill();
      continue;
    }
    std::string value;
    if (deferred.result) {
      std::unique_lock<std::mutex> lock(deferred.result->mutex);
      deferred.result->done.wait(lock, [&] { return deferred.result->finished; });
      value = deferred.result->value;
    } else {
      try {
        value = deferred.find();  // the window never showed: find it here
      } catch (const std::exception&) {
        value.clear();
      }
    }
    deferred.fillFound(value);
  }
}

void QtSurface::BuildDeferred(int id) {
  Control& control = *controls_.at(id);
  const std::unique_ptr<ControlTemplate> tpl = std::move(control.unbuilt);
  const std::unique_ptr<WrittenControl> written = std::move(control.written);
  if (!tpl) return;
  // Writing to the new widget must not wait for other work deferred for it (a lookup).
  const int outer = std::exchange(building_, id);
  QWidget* widget = BuildWidget(control, *tpl, makeButton_);
  if (control.rich != nullptr) SetText(id, tpl->text);
  if (tpl->kind == ControlKind::GroupBox) widget->lower();

  // What was written before, in an order that gives the same result as writing it then.
  if (written->font) SetFont(id, *written->font);
  if (written->enabled) Enable(id, *written->enabled);
  if (written->limit) LimitText(id, *written->limit);
  if (written->checked) SetCheck(id, *written->checked ? 1 : 0);
  if (written->text) {
    if (control.edit != nullptr) {
      control.edit->setText(ToQ(*written->text));  // notified when it was written
    } else {
      SetText(id, *written->text);
    }
  }
  for (const std::string& item : written->items) ComboAdd(id, item);
  if (written->selected >= 0) ComboSetSel(id, written->selected);
  if (control.list != nullptr) {
    ApplyListStyle(control);
    // The columns in one insertion: the list measures its header once, not once a column.
    control.list->setColumnCount(static_cast<int>(written->columns.size()));
    for (int column = 0; const auto& [heading, width] : written->columns) {
      control.list->setHorizontalHeaderItem(column, new QTableWidgetItem(ToQ(heading)));
      control.list->setColumnWidth(column++, width);
    }
  }
  building_ = outer;
}

std::string QtSurface::WrittenText(const Control& control) {
  return uhf::WrittenText(control.kind, *control.written, control.unbuilt->text, control.text);
}

QtSurface::Control* QtSurface::Unbuilt(int id) {
  const auto it = controls_.find(id);
  return it != controls_.end() && it->second->unbuilt ? it->second.get() : nullptr;
}

}  // namespace uhf
