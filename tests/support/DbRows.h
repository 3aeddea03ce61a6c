#pragma once
// Statements and selects of the tests, run through the data module's default transaction.

#include "db/Tdm.h"

#include <QString>
#include <QStringList>

namespace testdb {

// Runs one statement in a transaction of its own and commits it; a server error fails the
// test with the server's text.
void Exec(kzm::Tdm& dm, const QString& sql);

// Every row of a query as "a|b|c": null as "-", decimals with their scale ("12.00"), dates
// as dd.MM.yyyy. A server error fails the test.
QStringList Rows(kzm::Tdm& dm, const QString& sql);
// The first row; empty when there is none.
QString Row(kzm::Tdm& dm, const QString& sql);
// The first column of the first row as an integer; -1 without a row.
int Int(kzm::Tdm& dm, const QString& sql);

} // namespace testdb
