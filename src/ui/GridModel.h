#pragma once

#include "db/Tdmu.h"
#include "fb/Query.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace kzm {

// One column of a grid: the query column it shows, its caption and width, and how its values
// are shown (the model's formatter of the field when none is given here).
struct GridColumn {
    QString field;
    QString caption; // the field's name when empty
    int width = 0;   // in characters; 0 leaves it to the grid
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Formatter format;
};

// A column aligned to the left or to the right.
inline GridColumn LeftColumn(const QString& field, const QString& caption, int width,
                             Formatter format = {}) {
    return {field, caption, width, Qt::AlignLeft | Qt::AlignVCenter, std::move(format)};
}
inline GridColumn RightColumn(const QString& field, const QString& caption, int width,
                              Formatter format = {}) {
    return {field, caption, width, Qt::AlignRight | Qt::AlignVCenter, std::move(format)};
}
inline GridColumn CentredColumn(const QString& field, const QString& caption, int width,
                                Formatter format = {}) {
    return {field, caption, width, Qt::AlignCenter, std::move(format)};
}

// The table model every grid of the program shows a query through. Rows are the query's
// fetched rows; more are fetched from its open cursor as the grid scrolls. The query tells the
// model when it is opened or closed (a reset, so rows of an earlier result never show) and when
// rows are fetched (new rows at the end).
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(fb::Query& query, QObject* parent = nullptr);
    ~GridModel() override;

    fb::Query& query() const { return q_; }

    // Without columns every column of the result is shown under its own name.
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& columns() const { return columns_; }
    // The query column shown in a grid column, or -1 when the result has no such column.
    int fieldIndex(int column) const;

    // How the values of a query column are shown wherever it appears, by its name (any case);
    // kept across re-opens and new texts of the query. A column's own formatter comes first.
    void setFieldFormat(const QString& field, Formatter format);
    bool hasFieldFormat(const QString& field) const;
    // The colour of a row's text; an invalid colour leaves the grid's own.
    void setRowForeground(std::function<QColor(int row)> colour) {
        rowForeground_ = std::move(colour);
    }

    // The text shown for a cell: the column's formatter, the field's, else the value as text.
    QString displayText(int row, int column) const;

    // Brings the model up to the query, as its notifications do.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // Rows fetched per step as the grid scrolls.
    static constexpr int fetchStep = 256;

private:
    void rebind();
    void resolveFormats();
    void reset();
    void rowsAdded();

    fb::Query& q_;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldIndex_;
    std::map<QString, Formatter> fieldFormats_;
    std::function<QColor(int row)> rowForeground_;
    std::vector<const Formatter*> format_; // of each grid column, or none
    int rows_ = 0;
    int fields_ = 0;
    std::uint64_t generation_ = 0;
    int listener_ = 0;
};

// Shows the amount columns of the model's open query with two decimals (Tdmu::getCena): those
// named in the ";"-separated list, or the plan's and drinks' amount columns for an empty list.
void SetOnGet(GridModel& model, const QString& fieldList);

} // namespace kzm
