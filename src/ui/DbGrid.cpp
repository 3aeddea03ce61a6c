#include "ui/DbGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace kzm {

DbGrid::DbGrid(fb::Query& query, QWidget* parent)
    : QTableView(parent), model_(new GridModel(query, this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { followCurrent(current); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { applyWidths(); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowActivated(index.row()); });
}

void DbGrid::setColumns(std::vector<GridColumn> columns) {
    model_->setColumns(std::move(columns));
    applyWidths();
}

void DbGrid::applyWidths() {
    const int charWidth = fontMetrics().averageCharWidth();
    const auto& columns = model_->columns();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c)
        if (columns[static_cast<size_t>(c)].width > 0)
            setColumnWidth(c, columns[static_cast<size_t>(c)].width * charWidth + 8);
}

void DbGrid::followCurrent(const QModelIndex& current) {
    if (updating_ == 0 && current.isValid() && model_->query().isOpen())
        model_->query().moveTo(current.row());
}

void DbGrid::refresh() {
    model_->refresh();
    fb::Query& q = model_->query();
    if (!q.isOpen() || q.isEmpty())
        return;
    const int row = q.currentRow();
    const QModelIndex at = model_->index(row, std::max(0, currentIndex().column()));
    if (at.isValid() && currentIndex().row() != row) {
        ++updating_;
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        scrollTo(at);
        --updating_;
    }
}

std::vector<int> DbGrid::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DbGrid::setRowSelected(int row, bool selected) {
    model_->refresh();
    const QModelIndex at = model_->index(row, 0);
    if (!at.isValid())
        return;
    selectionModel()->select(
        at, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                QItemSelectionModel::Rows);
}

void DbGrid::beginUpdate() {
    ++updating_;
    setUpdatesEnabled(false);
}

void DbGrid::endUpdate() {
    if (--updating_ == 0)
        setUpdatesEnabled(true);
}

void DbGrid::clearMarks() {
    selectionModel()->clearSelection();
}

void DbGrid::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        emit rowActivated(currentIndex().row());
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace kzm
