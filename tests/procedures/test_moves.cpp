// The list of unit assignments on a day: PKZM_RP12.

#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using plan::Exec;
using plan::Rows;
using MovesTest = plan::PlanTest;

// Besides the fixture's assignments: 101 in a unit of group 1 from 01.02.2025, 102 in the
// inactive unit 50 from 01.03.2025 without a rate, 103 in a unit that does not exist (rate
// 40) from 01.01.2025, 105 only ever in the inactive unit.
TEST_F(MovesTest, AssignmentsUpToTheDayOutsideGroupOneOptionallyOnlyOfMovedPersons) {
    Exec(dm, "insert into KZM_GRUPY (ID, NAZWA) values (1, 'DOWODZTWO')");
    Exec(dm, "insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (40, 1, 'SZTAB')");
    Exec(dm, "insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (50, 0, 'REZERWA')");
    const QString sztab = QStringLiteral("(select ID from KZM_JEDNOSTKI where NUMER = 40)");
    const QString rezerwa = QStringLiteral("(select ID from KZM_JEDNOSTKI where NUMER = 50)");
    const auto assign = [&](int nr, const QString& unit, const char* rate, const char* from) {
        Exec(dm, QStringLiteral("insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, "
                                "OD_KIEDY) values (%1, %2, %3, '%4')")
                     .arg(nr)
                     .arg(unit)
                     .arg(QLatin1String(rate))
                     .arg(QLatin1String(from)));
    };
    assign(101, sztab, "20", "01.02.2025");
    assign(102, rezerwa, "null", "01.03.2025");
    assign(103, QStringLiteral("99999"), "40", "01.01.2025");
    assign(105, rezerwa, "20", "01.01.2025");

    const QStringList all = {
        "101|KOWALSKI JAN|01.01.2025|KOMPANIA A|020", "102|NOWAK ADAM|01.01.2024|KOMPANIA A|020",
        "102|NOWAK ADAM|01.02.2025|KOMPANIA B|030",   "102|NOWAK ADAM|01.03.2025|NIEAKTYWNY|Brak",
        "103|ZIELINSKI OLEK|01.01.2025|-|Brak",       "104|LIS EWA|01.06.2024|KOMPANIA B|030",
        "104|LIS EWA|01.03.2025|KOMPANIA A|020",      "104|LIS EWA|01.03.2025|KOMPANIA C|030",
    };
    const struct {
        const char* args;
        QStringList expected;
    } cases[] = {
        {"'15.03.2025'", all},
        {"'15.03.2025', 0", all},
        // Only persons with more than one counted assignment; the inactive unit is listed
        // for 102 but does not count.
        {"'15.03.2025', 1", {all[1], all[2], all[3], all[5], all[6], all[7]}},
        {"'31.01.2025', 1", {}},
        {"'01.04.2025', 1",
         {"101|KOWALSKI JAN|01.01.2025|KOMPANIA A|020",
          "101|KOWALSKI JAN|01.04.2025|KOMPANIA B|030", all[1], all[2], all[3],
          "103|ZIELINSKI OLEK|01.01.2025|-|Brak", "103|ZIELINSKI OLEK|16.03.2025|KOMPANIA C|020",
          all[5], all[6], all[7]}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rows(dm, QStringLiteral("select NR_OPER, NAZWISKO, OD_KIEDY, NAZWA, STAWKA "
                                          "from PKZM_RP12(%1) order by NR_OPER, OD_KIEDY, NAZWA")
                               .arg(QLatin1String(c.args))),
                  c.expected)
            << c.args;
}

} // namespace
