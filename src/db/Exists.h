#pragma once

#include <QString>
#include <QStringList>

namespace kzm {

class Tdm;

// Existence tests against the server's system tables, on IBQdm; names are upper-cased.
bool JestTabela(Tdm& dm, const QString& table);
bool JestPole(Tdm& dm, const QString& table, const QString& column);
bool JestIndeks(Tdm& dm, const QString& table, const QString& index); // table may be empty
bool JestGenerator(Tdm& dm, const QString& name);
bool JestTrigger(Tdm& dm, const QString& name);
bool JestProcedura(Tdm& dm, const QString& name);
bool JestFunkcja(Tdm& dm, const QString& name);
bool JestFunTrig(Tdm& dm, const QString& name); // a procedure for "PKZM_...", else a trigger

// The table's column names, trimmed.
QStringList ListaPol(Tdm& dm, const QString& table);

// The table of a "C_KZM_..." table script, empty for anything else.
QString ScrNazwaTabeli(const QString& scriptName);

} // namespace kzm
