// Lookups the server procedures share: the amounts in force on a day (PKZM_STAWKI_2), the
// global parameter readers (PKZM_READPARx) and the event types of a period (PKZM_INIT_ZDARZ).

#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using plan::Exec;
using plan::Lit;
using plan::OpenPlan;
using plan::PlanId;
using plan::Row;
using plan::Rows;
using LookupTest = plan::PlanTest;

TEST_F(LookupTest, TheAmountsOfADayAreTheLatestPricesNotAfterIt) {
    // Two 030 prices from the same day: the one entered last holds.
    Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (30, 17.00, '01.02.2025')");
    Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (30, 16.00, '01.02.2025')");
    // Items other than the six do not disturb them.
    Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (21, 1.00, '01.01.2025')");
    const struct {
        const char* day;
        const char* expected; // 020, 030, water 166 %, water 160 %, lunch, 110
    } cases[] = {
        {"31.12.2024", "-|-|-|-|-|-"}, // before every price
        {"01.01.2025", "10.00|15.00|3.30|3.10|5.50|7.00"},
        {"01.02.2025", "10.00|16.00|3.30|3.10|5.50|7.00"},
        {"14.03.2025", "10.00|16.00|3.30|3.10|5.50|7.00"},
        {"15.03.2025", "12.00|16.00|3.30|3.10|5.50|7.00"}, // a price from the day itself
        {"20.06.2030", "99.00|16.00|3.30|3.10|5.50|7.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Row(dm, QStringLiteral("select * from PKZM_STAWKI_2('%1')").arg(c.day)),
                  QLatin1String(c.expected))
            << c.day;
    // Executed instead of selected, as the report procedures do, it gives the same row.
    EXPECT_EQ(Row(dm, "execute procedure PKZM_STAWKI_2('15.03.2025')"),
              "12.00|16.00|3.30|3.10|5.50|7.00");
}

TEST_F(LookupTest, ParameterReadersReadTheirOwnColumnOfAGlobalParameter) {
    dm.ClearListaScr();
    for (const char* row : {"'GLOBAL', 'PR_KZM', 'MAXKODOPER', null, 5000, null, null",
                            "'GLOBAL', 'PR_KZM', 'PROCENTRZLWODY', null, null, 12.5, null",
                            "'GLOBAL', 'PR_KZM', 'NAPIS', 'abc', null, null, null",
                            "'GLOBAL', 'PR_KZM', 'DZIEN', null, null, null, '01.02.2025'",
                            "'GLOBAL', 'PR_KZM', 'PUSTY', null, null, null, null",
                            "'INNY', 'PR_KZM', 'OBCY', 'x', 7, 7, '01.01.2020'",
                            "'GLOBAL', 'INNA', 'OBCY', 'x', 8, 8, '01.01.2020'"})
        dm.ListaScr << QStringLiteral(
                           "update or insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, "
                           "PSTRING, PINTEGER, PFLOAT, PDATA) values (%1)")
                           .arg(QLatin1String(row));
    ASSERT_TRUE(dm.RunScr("parametry", true));

    const struct {
        const char* reader;
        const char* name;
        const char* expected;
    } cases[] = {
        {"PKZM_READPARI", "MAXKODOPER", "5000"},
        {"PKZM_READPARI", "BRAK", "0"},       // not stored: the default
        {"PKZM_READPARI", "PUSTY", "-"},      // stored without a value
        {"PKZM_READPARI", "maxkodoper", "0"}, // names are compared exactly
        {"PKZM_READPARI", "OBCY", "0"},       // only GLOBAL / PR_KZM
        {"PKZM_READPARS", "MAXKODOPER", "-"}, // another kind's column is not read
        {"PKZM_READPARF", "PROCENTRZLWODY", "12.5000"},
        {"PKZM_READPARF", "BRAK", "0.0000"},
        {"PKZM_READPARF", "PUSTY", "-"},
        {"PKZM_READPARS", "NAPIS", "abc"},
        {"PKZM_READPARS", "BRAK", ""},
        {"PKZM_READPARS", "PUSTY", "-"},
        {"PKZM_READPARD", "DZIEN", "01.02.2025"},
        {"PKZM_READPARD", "BRAK", "30.12.1899"}, // the zero date
        {"PKZM_READPARD", "PUSTY", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rows(dm, QStringLiteral("select * from %1('%2')").arg(c.reader, c.name)),
                  QStringList{QLatin1String(c.expected)})
            << c.reader << " " << c.name;
    EXPECT_EQ(Row(dm, "execute procedure PKZM_READPARI('MAXKODOPER')"), "5000");
}

TEST_F(LookupTest, TheEventTypesOfAPeriodReplaceTheScratchList) {
    const QDate first = f.day.addDays(-1);
    const QDate last = f.day.addDays(1);
    for (QDate d = first.addDays(-1); d <= last.addDays(1); d = d.addDays(1))
        OpenPlan(dm, d, 0);
    const auto enter = [&](int nr, const QDate& day, int zdarz) {
        Exec(dm, QStringLiteral("execute procedure PKZM_ZMIEN_ZDARZ_2(%1, %2)")
                     .arg(PlanId(dm, nr, day))
                     .arg(zdarz));
    };
    enter(101, first.addDays(-1), 888888); // before the period
    enter(101, first, f.evP60);
    enter(102, f.day, f.evFull);
    enter(103, f.day, f.evP60);
    enter(101, last, 777777);            // entered although unknown: still listed
    enter(102, last.addDays(1), 666666); // after the period
    Exec(dm, "insert into KZM_TMP (ID, IKOD, DKOD) values (5, 1, '01.01.2025')");

    Exec(dm, "execute procedure PKZM_INIT_ZDARZ(" + Lit(first) + ", " + Lit(last) + ")");
    QStringList expected{QString::number(std::min(f.evFull, f.evP60)) + "|-",
                         QString::number(std::max(f.evFull, f.evP60)) + "|-", "777777|-"};
    EXPECT_EQ(Rows(dm, "select IKOD, ID from KZM_TMP order by RDB$DB_KEY"), expected);
}

} // namespace
