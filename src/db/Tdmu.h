#pragma once

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "fb/Value.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kzm {

class Tdm;
struct GlobalParams;

// How a grid column's stored values are shown: the text for a value.
using Formatter = std::function<QString(const fb::Value&)>;

// The utility data module: uniqueness checks, the row to show after a deletion, name lookups
// of units and event types, display formatters for grid columns and the export of a query to
// a tab-separated text file. It works on the one connection of Tdm with queries and
// transactions of its own.
class Tdmu {
public:
    explicit Tdmu(Tdm& dm);
    ~Tdmu();
    Tdmu(const Tdmu&) = delete;
    Tdmu& operator=(const Tdmu&) = delete;

    Tdm& dm() const { return dm_; }

    // Declared before the queries, so that the queries are destroyed first.
    fb::Transaction IBTrans; // IBQ: uniqueness checks
    fb::Transaction IBTdmu;  // IBQdmu: name lookups
    fb::Transaction IBTExp;  // IB: the export source, held open while the caller reads it
    fb::Query IBQ;
    fb::Query IBQdmu;
    fb::Query IB; // filled and opened by the caller, written by ExportCSV

    // Uniqueness checks: true when a row of the table holds the value in the field. JestInt
    // leaves out the row whose excluded field holds the excluded value (unless the field is
    // empty or the value -1); JestString leaves out the row of the excluded id (unless -1).
    // Database errors reach the caller.
    bool JestInt(const QString& table, const QString& field, int excludedValue,
                 const QString& excludedField, int value);
    bool JestString(const QString& table, const QString& field, int excludedId,
                    const QString& value);

    // The key of the row to show once the current row is deleted: the next row's, or the
    // previous row's when the current row is the last. The query is left on that row.
    static int NextID(fb::Query& q, const QString& keyField);

    // Names; an unknown key gives empty text. Database errors reach the caller.
    QString DajNazweJedn(int id);
    QString DajNazweJednNum(int number);
    static QString DajNazweGrw(int group); // print group 1 to 4
    QString DajNazweZdarz(int group, int column);

    // Display formatters. A null value shows nothing.
    static QString getCena(const fb::Value& v);    // 0.00
    static QString getDzien(const fb::Value& v);   // Pn .. Nd
    static QString getDzienF(const fb::Value& v);  // Poniedziałek .. Niedziela
    static QString getGrupa(const fb::Value& v);   // Wojsko for 0, Cywile otherwise
    static QString getMiejsce(const fb::Value& v); // W for 0, G otherwise
    static QString getData(const fb::Value& v);    // dd.MM.yyyy, nothing for the zero date
    static QString getStawka(const fb::Value& v);  // 020, 030 or brak
    // The unit's name of a unit id, looked up for every cell shown.
    Formatter getJedn();

    // Whether getCena shows the column: it is named in the ";"-separated list (any case); an
    // empty list names the amount columns of the plan and the drinks. The grid's SetOnGet
    // attaches it.
    static bool CenaField(const QString& name, const QString& fieldList);
    static const QString defaultCenaFields;

    // Writes every row of IB, from the first, to the file as tab-separated Windows-1250 text
    // with a heading line of the column names; gives the number of rows written. Nothing is
    // written, and 0 returned, when IB is closed or empty or the file cannot be written.
    // With closeAfter IB is closed and its transaction committed.
    int ExportCSV(const QString& fileName, bool closeAfter);

    // Writes a heading line of the names and one line for every row that nextRow gives, as
    // ExportCSV does; gives the number of rows written, 0 when the file cannot be written.
    static int WriteCSV(const QString& fileName, const QStringList& names,
                        const std::vector<fb::FieldType>& types,
                        const std::function<bool(std::vector<fb::Value>& row)>& nextRow);

    // The text of one value in an exported line, for a column of the given type.
    static QString CsvField(const fb::Value& v, fb::FieldType type);

    // Loads the global parameters from the parameter store.
    void InitParam(GlobalParams& g);

private:
    // Runs the select on the check query; true when it returns a row.
    bool found(const QString& sql);
    // The field of the lookup query's first row, empty without one.
    QString lookup(const QString& sql, const QString& field);

    Tdm& dm_;
};

} // namespace kzm
