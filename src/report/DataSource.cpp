#include "report/DataSource.h"

#include <variant>

namespace kzm::report {

int DataSource::fieldIndex(const QString& name) const {
    for (int c = 0; c < fieldCount(); ++c) {
        if (fieldName(c).compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

fb::Value DataSource::value(const QString& name) const {
    const int column = fieldIndex(name);
    return column < 0 ? fb::Value() : value(column);
}

bool QuerySource::moveTo(int row) {
    return row >= 0 && q_.moveTo(row);
}

fb::Value QuerySource::value(int column) const {
    return q_.value(q_.currentRow(), column);
}

bool MemorySource::moveTo(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return false;
    row_ = row;
    return true;
}

fb::Value MemorySource::value(int column) const {
    if (row_ >= static_cast<int>(rows_.size()))
        return {};
    const auto& row = rows_[static_cast<size_t>(row_)];
    return column >= 0 && column < static_cast<int>(row.size()) ? row[static_cast<size_t>(column)]
                                                                : fb::Value();
}

fb::FieldType MemorySource::fieldType(int column) const {
    using fb::FieldType;
    for (const auto& row : rows_) {
        if (column >= static_cast<int>(row.size()) || row[static_cast<size_t>(column)].isNull())
            continue;
        const auto& v = row[static_cast<size_t>(column)].storage();
        if (std::holds_alternative<std::int64_t>(v))
            return FieldType::BigInt;
        if (std::holds_alternative<fb::Decimal>(v))
            return FieldType::Numeric;
        if (std::holds_alternative<double>(v))
            return FieldType::Double;
        if (std::holds_alternative<bool>(v))
            return FieldType::Boolean;
        if (std::holds_alternative<QDate>(v))
            return FieldType::Date;
        if (std::holds_alternative<QTime>(v))
            return FieldType::Time;
        if (std::holds_alternative<QDateTime>(v))
            return FieldType::Timestamp;
        return FieldType::Varchar;
    }
    return FieldType::Varchar;
}

} // namespace kzm::report
