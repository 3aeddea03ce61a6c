#pragma once

#include "db/RowSelection.h"
#include "ui/GridModel.h"

#include <QTableView>

namespace kzm {

// The grid of every list window: shows a query through a GridModel, keeps the query's current
// row where the grid's current row is (and the other way round after a re-open), and holds
// the marks as its row selection.
class DbGrid : public QTableView, public RowSelection {
    Q_OBJECT
public:
    explicit DbGrid(fb::Query& query, QWidget* parent = nullptr);

    GridModel& gridModel() const { return *model_; }
    void setColumns(std::vector<GridColumn> columns);

    // After the query was opened, re-opened or moved: the model catches up and the grid's
    // current row follows the query's.
    void refresh();

    // Marks.
    std::vector<int> selectedRows() const override;
    void setRowSelected(int row, bool selected) override;
    void beginUpdate() override;
    void endUpdate() override;
    void clearMarks();

signals:
    void rowActivated(int row); // Enter or a double click on a row

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyWidths();
    void followCurrent(const QModelIndex& current);

    GridModel* model_;
    int updating_ = 0;
};

} // namespace kzm
