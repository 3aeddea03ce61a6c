#pragma once

#include "fb/Query.h"
#include "fb/Value.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kzm::report {

// The rows a report runs over, read by position: a query or rows held in memory.
class DataSource {
public:
    virtual ~DataSource() = default;

    // Makes the row current; false when there is no such row.
    virtual bool moveTo(int row) = 0;
    virtual int currentRow() const = 0;
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int column) const = 0;
    virtual fb::FieldType fieldType(int column) const = 0;
    virtual fb::Value value(int column) const = 0; // of the current row
    // The column of a name (any case), -1 when there is none.
    int fieldIndex(const QString& name) const;
    fb::Value value(const QString& name) const; // null for an unknown name
};

// The rows of an open query; rows are fetched as the report reaches them.
class QuerySource : public DataSource {
public:
    explicit QuerySource(fb::Query& query) : q_(query) {}
    bool moveTo(int row) override;
    int currentRow() const override { return q_.currentRow(); }
    int fieldCount() const override { return q_.fieldCount(); }
    QString fieldName(int column) const override { return q_.field(column).name(); }
    fb::FieldType fieldType(int column) const override { return q_.field(column).type(); }
    fb::Value value(int column) const override;
    using DataSource::value;

private:
    fb::Query& q_;
};

// Rows held in memory under named columns; a column's type is that of its first non-null value.
class MemorySource : public DataSource {
public:
    MemorySource(QStringList names, std::vector<std::vector<fb::Value>> rows)
        : names_(std::move(names)), rows_(std::move(rows)) {}
    bool moveTo(int row) override;
    int currentRow() const override { return row_; }
    int fieldCount() const override { return static_cast<int>(names_.size()); }
    QString fieldName(int column) const override { return names_.at(column); }
    fb::FieldType fieldType(int column) const override;
    fb::Value value(int column) const override;
    using DataSource::value;

private:
    QStringList names_;
    std::vector<std::vector<fb::Value>> rows_;
    int row_ = 0;
};

} // namespace kzm::report
