#pragma once
// The plan window's logic over a copy of the catalogue database with the small canteen of
// support/Canteen.h.

#include "db/Tdmu.h"
#include "planning/PlanList.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace planning {

QDate D(const char* text); // dd.MM.yyyy

class PlanTest : public testdb::CatalogueDbTest {
protected:
    void SetUp() override;

    void Exec(const QString& sql);
    QStringList Rows(const QString& sql);
    int Int(const QString& sql);
    // The rows of the plan as the logic shows them now, from the first: "NR_OPER|DATA".
    QStringList Shown();
    // The log lines written since the test began.
    QStringList Log() const;

    // Units "PIERWSZA" (number 1) and "DRUGA" (number 2); persons 101 KOWALSKI JAN and
    // 102 NOWAK ANNA in unit 10, 123 KOWALEWSKA EWA and 104 O"BRIEN in unit 11.
    int unit1 = -1;
    int unit2 = -1;
    // Event types: lunch only (TOB), the whole day with water (TCAL), paid out (TDW).
    int lunch = -1;
    int allDay = -1;
    int paidOut = -1;

    kzm::Tdmu dmu{dm};
    kzm::PlanList plan{dm, dmu};
};

} // namespace planning
