// Persons with their unit for the state export (PKZM_EXPO_2) and the days of the dog rations
// (PKZM_INIT_PSY).

#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using plan::Exec;
using plan::Rows;
using ExportTest = plan::PlanTest;

TEST_F(ExportTest, ListsPersonsOfTheChosenUnitsOnTheDay) {
    // A unit without a name, with a person in it on the day.
    Exec(dm, "insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (40, 0, '')");
    Exec(dm, "insert into KZM_KART (NR_OPER, NR_IDENT, NAZWISKO) values (106, 'K106', 'BEZ')");
    Exec(dm, "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) select 106, ID, 20, "
             "'01.01.2025' from KZM_JEDNOSTKI where NUMER = 40");
    // Units chosen under attachment 7; another attachment's choice and rows without an owner
    // do not count.
    Exec(dm, "insert into KZM_TMP (ID, IKOD) values (7, " + QString::number(f.unitA) + ")");
    Exec(dm, "insert into KZM_TMP (ID, IKOD) values (7, " + QString::number(f.unitC) + ")");
    Exec(dm, "insert into KZM_TMP (ID, IKOD) values (8, " + QString::number(f.unitB) + ")");
    Exec(dm, "insert into KZM_TMP (ID, IKOD) values (null, " + QString::number(f.unitB) + ")");

    const struct {
        int cnt;
        QStringList expected;
    } cases[] = {
        {7, {"K101|101|KOWALSKI JAN|KOMPANIA A", "K104|104|LIS EWA|KOMPANIA C"}},
        // nothing chosen: every unit; persons without a unit on the day (103, 105) or in a
        // unit without a name (106) are not listed
        {9,
         {"K101|101|KOWALSKI JAN|KOMPANIA A", "K102|102|NOWAK ADAM|KOMPANIA B",
          "K104|104|LIS EWA|KOMPANIA C"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rows(dm, QStringLiteral("select * from PKZM_EXPO_2(%1, %2) order by NR_OPER")
                               .arg(c.cnt)
                               .arg(plan::Lit(f.day))),
                  c.expected)
            << c.cnt;
}

TEST_F(ExportTest, DogRationDaysAreAddedOnceWithZero) {
    Exec(dm, "insert into KZM_PSY (DATA, ILOSC) values ('02.03.2025', 5)");
    for (const char* d : {"'01.03.2025'", "'02.03.2025'", "'03.03.2025'", "'03.03.2025'", "null"})
        Exec(dm, QStringLiteral("insert into KZM_TMP (DKOD) values (%1)").arg(QLatin1String(d)));
    const QStringList expected{"01.03.2025|0", "02.03.2025|5", "03.03.2025|0"};
    for (int run = 0; run < 2; ++run) {
        Exec(dm, "execute procedure PKZM_INIT_PSY");
        EXPECT_EQ(Rows(dm, "select DATA, ILOSC from KZM_PSY order by DATA"), expected) << run;
    }
}

} // namespace
