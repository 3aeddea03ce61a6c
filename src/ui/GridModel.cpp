#include "ui/GridModel.h"

namespace kzm {

GridModel::GridModel(fb::Query& query, QObject* parent) : QAbstractTableModel(parent), q_(query) {
    rebind();
    listener_ = q_.addListener([this](fb::Query::Change change) {
        if (change == fb::Query::Change::Reset)
            reset();
        else
            rowsAdded();
    });
}

GridModel::~GridModel() {
    q_.removeListener(listener_);
}

void GridModel::reset() {
    beginResetModel();
    rebind();
    endResetModel();
}

void GridModel::rowsAdded() {
    const int now = q_.isOpen() ? q_.fetchedRows() : 0;
    if (now > rows_) {
        beginInsertRows({}, rows_, now - 1);
        rows_ = now;
        endInsertRows();
    }
}

void GridModel::setColumns(std::vector<GridColumn> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    rebind();
    endResetModel();
}

void GridModel::rebind() {
    generation_ = q_.generation();
    rows_ = q_.isOpen() ? q_.fetchedRows() : 0;
    fields_ = q_.isOpen() ? q_.fieldCount() : 0;
    fieldIndex_.clear();
    if (columns_.empty()) {
        for (int i = 0; i < fields_; ++i)
            fieldIndex_.push_back(i);
    } else {
        for (const GridColumn& c : columns_) {
            const fb::Field* f = q_.isOpen() ? q_.findField(c.field) : nullptr;
            fieldIndex_.push_back(f ? f->index() : -1);
        }
    }
    resolveFormats();
}

void GridModel::resolveFormats() {
    // Looked up once here, not for every cell painted.
    format_.assign(fieldIndex_.size(), nullptr);
    for (size_t c = 0; c < fieldIndex_.size(); ++c) {
        if (!columns_.empty() && columns_[c].format) {
            format_[c] = &columns_[c].format;
            continue;
        }
        if (fieldIndex_[c] < 0 || fieldFormats_.empty())
            continue;
        const auto it = fieldFormats_.find(q_.field(fieldIndex_[c]).name().toUpper());
        if (it != fieldFormats_.end())
            format_[c] = &it->second;
    }
}

int GridModel::fieldIndex(int column) const {
    if (column < 0 || column >= static_cast<int>(fieldIndex_.size()))
        return -1;
    return fieldIndex_[static_cast<size_t>(column)];
}

void GridModel::refresh() {
    if (q_.generation() != generation_ || (q_.isOpen() ? q_.fieldCount() : 0) != fields_)
        reset();
    else
        rowsAdded();
}

void GridModel::setFieldFormat(const QString& field, Formatter format) {
    if (format)
        fieldFormats_[field.toUpper()] = std::move(format);
    else
        fieldFormats_.erase(field.toUpper());
    resolveFormats();
}

bool GridModel::hasFieldFormat(const QString& field) const {
    return fieldFormats_.count(field.toUpper()) != 0;
}

QString GridModel::displayText(int row, int column) const {
    const int field = fieldIndex(column);
    if (field < 0)
        return {};
    const fb::Value v = q_.value(row, field);
    if (const Formatter* format = format_[static_cast<size_t>(column)])
        return (*format)(v);
    return v.toString();
}

void SetOnGet(GridModel& model, const QString& fieldList) {
    fb::Query& q = model.query();
    if (!q.isOpen())
        return;
    for (int c = 0; c < q.fieldCount(); ++c)
        if (Tdmu::CenaField(q.field(c).name(), fieldList))
            model.setFieldFormat(q.field(c).name(), &Tdmu::getCena);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return static_cast<int>(columns_.empty() ? fieldIndex_.size() : columns_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int field = fieldIndex(index.column());
    if (field < 0 || index.row() >= rows_)
        return {};
    const GridColumn* column =
        columns_.empty() ? nullptr : &columns_[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::ForegroundRole:
        if (rowForeground_) {
            const QColor colour = rowForeground_(index.row());
            if (colour.isValid())
                return colour;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column)
            return QVariant::fromValue(column->alignment);
        switch (q_.field(field).type()) {
        case fb::FieldType::SmallInt:
        case fb::FieldType::Integer:
        case fb::FieldType::BigInt:
        case fb::FieldType::Numeric:
        case fb::FieldType::Float:
        case fb::FieldType::Double:
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        }
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (!columns_.empty()) {
        if (section < 0 || section >= static_cast<int>(columns_.size()))
            return {};
        const GridColumn& c = columns_[static_cast<size_t>(section)];
        return c.caption.isEmpty() ? c.field : c.caption;
    }
    const int field = fieldIndex(section);
    return field >= 0 && field < q_.fieldCount() ? QVariant(q_.field(field).name()) : QVariant();
}

bool GridModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && q_.isOpen() && q_.canFetchMore();
}

void GridModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    q_.fetchMore(fetchStep);
}

} // namespace kzm
