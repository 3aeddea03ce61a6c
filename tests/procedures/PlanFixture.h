#pragma once
// A small canteen for the plan procedures: three units, two ranks, five persons with their
// assignments, the price list around one plan day, two event types and the corrections.

#include "db/Tdm.h"
#include "support/CatalogueDb.h"
#include "support/DbRows.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace plan {

// Persons of the fixture, by operational number:
//   101  rank "szer.", water 990; unit A at 020 from 01.01.2025, unit B at 030 from 01.04.2025
//   102  rank "kpr.", water 991; unit A at 020 from 2024, unit B at 030 from 01.02.2025
//   103  an unknown rank, no water rate; first assignment (unit C at 020) the day after the day
//   104  rank "szer.", water 990; unit B in 2024, then unit A at 020 and unit C at 030 both
//        from 01.03.2025, unit C entered last
//   105  no rank, water 991, no assignment at all
// Prices: 020 10.00 from 01.01.2025, 12.00 from the day itself, 99.00 from the day after;
// 030 15.00, 110 7.00, water 166 % 3.30, water 160 % 3.10, lunch 5.50, all from 01.01.2025.
struct Fixture {
    QDate day{2025, 3, 15};
    int unitA = -1, unitB = -1, unitC = -1;
    int rankSzer = -1, rankKpr = -1;
    int evFull = -1; // all meals and water, 100 %, 110 at 70 %
    int evP60 = -1;  // no meals, no water, 60 %, 110 at 150 %
};

// Corrections: 1 "S1" (no water, 0 %), 2 "S2" (water, 200 %), 5 "S5" (no water, 60 %).
Fixture Load(kzm::Tdm& dm);

// A date as the statements write it: '15.03.2025'.
QString Lit(const QDate& d);

// Statements and selects (Exec, Rows, Row) as every database test runs them.
using testdb::Exec;
using testdb::Row;
using testdb::Rows;

// The key of a person's plan row of a day; -1 when there is none.
int PlanId(kzm::Tdm& dm, int nrOper, const QDate& day);

// Generates (0) or refreshes (1) the plan of a day.
void OpenPlan(kzm::Tdm& dm, const QDate& day, int modyfikacja);

// What the plan window does to one row: enter an event type (0 clears it), enter a
// correction (0 clears it; `datap` is an SQL literal such as Lit(day) or "null").
void EnterEvent(kzm::Tdm& dm, int id, int zdarz);
void EnterCorrection(kzm::Tdm& dm, int id, int idp, int ids5, const QString& datap);

// The test base for the plan procedures: a catalogue database with the fixture loaded.
class PlanTest : public testdb::CatalogueDbTest {
protected:
    void SetUp() override;
    Fixture f;
};

} // namespace plan
