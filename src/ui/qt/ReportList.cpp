#include "ui/qt/ReportList.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include <utility>

namespace uhf {

ReportList::ReportList(QWidget* parent) : QTableWidget(0, 0, parent) {
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(0);  // column widths are the caller's, any size
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setShowGrid(false);
  setWordWrap(false);
  // The selection is read from the selection model whenever asked, so nothing goes stale when
  // rows come and go; only the report is held back while the program empties the list.
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!deleting_ && onSelectionChanged) onSelectionChanged();
  });
}

int ReportList::SelectedRow() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void ReportList::DeleteAllRows() {
  const bool outer = std::exchange(deleting_, true);
  setRowCount(0);
  deleting_ = outer;
}

void ReportList::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableWidget::mouseDoubleClickEvent(event);
  if (onDoubleClick) onDoubleClick();
}

}  // namespace uhf
