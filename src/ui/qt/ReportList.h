#pragma once
// The list view in report view: one row selected at a time; a double-click anywhere in its item
// area is reported, and so is a change of the selection (unless the program is emptying it).

#include <QTableWidget>

#include <functional>

namespace uhf {

class ReportList : public QTableWidget {
 public:
  explicit ReportList(QWidget* parent);
  std::function<void()> onDoubleClick;
  std::function<void()> onSelectionChanged;

  // The row holding the selected cell (or row), -1 when none.
  int SelectedRow() const;
  // Deletes every row without reporting the selection it takes away.
  void DeleteAllRows();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool deleting_ = false;
};

}  // namespace uhf
