#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <variant>

namespace fb {

// An exact decimal: value = units * 10^-scale (scale >= 0). NUMERIC and DECIMAL columns arrive
// as this, so money is never a binary fraction until a caller asks for a double.
struct Decimal {
    std::int64_t units = 0;
    int scale = 0;

    double toDouble() const;
    QString toString() const; // plain digits with "." and exactly `scale` decimals
    friend bool operator==(const Decimal& a, const Decimal& b);
};

// One parameter or column value. Null is the empty state.
class Value {
public:
    using Storage = std::variant<std::monostate, std::int64_t, Decimal, double, bool, QString,
                                 QDate, QTime, QDateTime>;

    Value() = default;
    Value(int v) : v_(std::int64_t{v}) {}
    Value(std::int64_t v) : v_(v) {}
    Value(Decimal v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(bool v) : v_(v) {}
    Value(const QString& v) : v_(v) {}
    Value(const char* v) : v_(QString::fromUtf8(v)) {}
    Value(const QDate& v) : v_(v) {}
    Value(const QTime& v) : v_(v) {}
    Value(const QDateTime& v) : v_(v) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    const Storage& storage() const { return v_; }

    // Conversions follow the usual dataset rules: null gives 0, empty text or an invalid
    // date/time; text is converted when it holds a number or a dd.MM.yyyy date.
    std::int64_t toInt64() const;
    int toInt() const { return static_cast<int>(toInt64()); }
    double toDouble() const;
    // An exact decimal: NUMERIC as it came, integers with no decimals, anything else rounded
    // to hundredths (halves away from zero); null is 0.00.
    Decimal toDecimal() const;
    bool toBool() const { return toInt64() != 0; }
    QString toString() const;
    QDate toDate() const;
    QTime toTime() const;
    QDateTime toDateTime() const;

    friend bool operator==(const Value& a, const Value& b) { return a.v_ == b.v_; }

private:
    Storage v_;
};

} // namespace fb
