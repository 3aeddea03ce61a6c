#pragma once
// The schema a database built from the script catalogue must have, written down independently
// of the scripts, and a comparison of a database's system tables against it.

#include <QString>
#include <QStringList>
#include <vector>

namespace fb {
class Database;
}

namespace expected {

enum class Type { SmallInt, Integer, Float, Date, Time, Timestamp, Char, Varchar, Numeric };

struct Column {
    QString name;
    Type type = Type::Integer;
    int length = 0; // characters of CHAR and VARCHAR, precision of NUMERIC
    int scale = 0;  // decimals of NUMERIC
    bool notNull = false;
    QString collation;     // empty: the default collation of the character set (WIN1250)
    QString defaultValue;  // the declared default ("0"), empty when none
    bool optional = false; // added later by the start-up checks; may be missing
};

struct PrimaryKey {
    QString name;        // constraint name; empty for a key declared without one
    QStringList columns; // empty: the table has no key
};

// A column's position is its place in `columns`, counted from 0.
struct Table {
    QString name;
    std::vector<Column> columns;
    PrimaryKey key;
};

struct Index {
    QString name;
    QString table;
    QStringList columns;
    bool descending = false;
    bool unique = false;
};

struct Trigger {
    QString name;
    QString table;
    bool beforeInsert = true;
    int position = 0;
};

const std::vector<Table>& Tables();
const std::vector<Index>& Indexes(); // the indexes of the index scripts, not those of the keys
const QStringList& Generators();
const std::vector<Trigger>& Triggers();

} // namespace expected

// One readable line per way in which the database's tables, columns, keys, indexes,
// generators and triggers differ from the expected schema; empty when they match exactly.
QStringList SchemaDifferences(fb::Database& db);
