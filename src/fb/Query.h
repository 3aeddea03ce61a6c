#pragma once

#include "fb/Value.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace fb {

class Transaction;
class Query;

enum class FieldType {
    SmallInt,
    Integer,
    BigInt,
    Numeric, // an integer column with decimals: NUMERIC(p,s), DECIMAL(p,s)
    Float,
    Double,
    Date,
    Time,
    Timestamp,
    Char,
    Varchar,
    Blob,
    Boolean,
    Other
};

// A column of a query's result, read at the query's current row.
class Field {
public:
    const QString& name() const;
    int index() const { return index_; } // column position in the result
    FieldType type() const;
    int scale() const; // decimals of a Numeric field
    int size() const;  // characters of a text field, bytes otherwise

    bool isNull() const;
    Value value() const;
    int asInteger() const { return value().toInt(); }
    std::int64_t asInt64() const { return value().toInt64(); }
    double asDouble() const { return value().toDouble(); }
    QString asString() const { return value().toString(); }
    QDate asDate() const { return value().toDate(); }
    QTime asTime() const { return value().toTime(); }
    QDateTime asDateTime() const { return value().toDateTime(); }

private:
    friend class Query;
    Field(const Query* q, int index) : q_(q), index_(index) {}
    const Query* q_;
    int index_;
};

// A statement bound to one transaction, with its result rows buffered as they are fetched
// and a current-row cursor over them. Parameters are written "?" or ":name" (a name may be
// used several times); text between apostrophes or quotes and comments are left alone.
// Rows are fetched on demand: open() fetches the first, navigation and fetchMore() the rest.
class Query {
public:
    explicit Query(Transaction& transaction);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Transaction& transaction() const { return *tr_; }

    // Replacing the text closes the query, drops the prepared statement and the parameters.
    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    // Off: the text goes to the server as it is, colons included (procedure bodies).
    void setParamCheck(bool on);

    int paramCount() const;
    QStringList paramNames() const;
    void setParam(int index, const Value& v);
    void setParam(const QString& name, const Value& v);
    void clearParams();

    void prepare(); // starts the transaction if needed
    bool prepared() const;

    // Runs a statement that returns rows (select, or execute procedure with outputs) and
    // makes the first row current; starts the transaction if needed.
    void open();
    // Runs any statement; one that returns rows leaves the query open like open().
    void execSql();
    void close();
    bool isOpen() const { return open_; }
    long rowsAffected() const; // of the last execution
    // Bumped by every open and close, so holders of row positions notice a re-open.
    std::uint64_t generation() const { return generation_; }

    // What a holder of the rows (a grid's model) is told: the rows were replaced (an open or a
    // close), or rows were added at the end by fetching.
    enum class Change { Reset, RowsAdded };
    using Listener = std::function<void(Change)>;
    // Returns a handle for removeListener; the listener must go before the query does.
    int addListener(Listener listener);
    void removeListener(int handle);

    bool isEmpty() const { return rowCount_ == 0; }
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    void first();
    void next();
    void prior();
    void last();          // fetches every row; eof() is then true and the last row current
    bool moveTo(int row); // 0-based; fetches as needed; false if there is no such row
    int currentRow() const { return current_; }
    int recNo() const { return rowCount_ == 0 ? 0 : current_ + 1; }
    // Makes current the first row whose field equals the key; false (position kept) if none.
    bool locate(const QString& fieldName, std::int64_t key);

    int fetchedRows() const { return rowCount_; }
    bool canFetchMore() const;
    int fetchMore(int maxRows);
    void fetchAll();

    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const Field& field(int index) const { return fields_.at(static_cast<size_t>(index)); }
    const Field& fieldByName(const QString& name) const; // case-insensitive; throws if absent
    const Field* findField(const QString& name) const;
    Value value(int row, int column) const; // of a fetched row

    struct Impl;

private:
    friend class Field;
    friend class Transaction;
    void transactionGone();
    void connectionGone();
    void unprepare();
    void resetRows();
    void notify(Change change);

    Transaction* tr_;
    std::unique_ptr<Impl> d_;
    QString sql_;
    bool paramCheck_ = true;
    std::vector<Field> fields_;
    bool open_ = false;
    bool eof_ = true;
    bool bof_ = true;
    int current_ = 0;
    int rowCount_ = 0;
    std::uint64_t generation_ = 0;
    std::map<int, Listener> listeners_;
    int nextListener_ = 0;
    bool quiet_ = false; // while opening: one reset at the end instead
};

// A read through a query of its own transaction: leaving the scope closes the query and rolls
// the transaction back, unless finish() closed it and committed first. A reader that throws thus
// leaves nothing open.
class ReadScope {
public:
    explicit ReadScope(Query& q) : q_(q) {}
    ~ReadScope();
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;
    void finish();

private:
    Query& q_;
    bool finished_ = false;
};

} // namespace fb
