#pragma once
// The list view in report view; a double-click anywhere in its item area is reported.

#include <QTableWidget>

#include <functional>

namespace uhf {

class ReportList : public QTableWidget {
 public:
  explicit ReportList(QWidget* parent);
  std::function<void()> onDoubleClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace uhf
