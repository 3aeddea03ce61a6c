// Generating and refreshing plan rows: PKZM_OPEN_PLAN_2 and PKZM_ZMIEN_DANE_OS_2.

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
using PlanOpenTest = plan::PlanTest;

// What generation and refreshing copy from the person, the assignment and the price list.
const QString personColumns = QStringLiteral(
    "coalesce(IDJEDN, '-') || '|' || coalesce(IDSTAWKA, '-') || '|' || coalesce(STAWKA, '-') "
    "|| '|' || coalesce(IDSTAWKAWODA, '-') || '|' || coalesce(STAWKA_WODA, '-') || '|' || "
    "coalesce(STAWKA_OBIAD, '-') || '|' || coalesce(STAWKA_110, '-') || '|' || "
    "coalesce(STOPIEN, '-') || '|' || NAZWISKO || '|' || NR_IDENT || '|' || GRUPA");

// What an event type, a correction and the plan window put on a row.
const QString eventColumns = QStringLiteral(
    "IDZDARZ, SN, OB, KO, WODA, STAWKA_DW, STAWKA_DW110, POPRAWKA, PWODA, PSTAWKA_DW, RWODA, "
    "RSTAWKA_DW, RSTAWKA_DW110, S5, DATA_POPR, IDPOPR, MIEJSCE");

QString person(kzm::Tdm& dm, int nr, const QDate& day) {
    return Row(dm, "select " + personColumns + " from KZM_DANE where NR_OPER = " +
                       QString::number(nr) + " and DATA = " + Lit(day));
}

QString events(kzm::Tdm& dm, int id) {
    return Row(dm, "select " + eventColumns + " from KZM_DANE where ID = " + QString::number(id));
}

QString u(int unit) {
    return QString::number(unit);
}

TEST_F(PlanOpenTest, GeneratesOneRowPerPersonFromAssignmentRankAndPrices) {
    OpenPlan(dm, f.day, 0);
    const struct {
        int nr;
        QString expected;
    } cases[] = {
        // unit A at 020 (unit B starts later); the 020 price dated the day itself holds
        {101, u(f.unitA) + "|20|12.00|990|3.30|5.50|7.00|szer.|KOWALSKI JAN|K101|0"},
        {102, u(f.unitB) + "|30|15.00|991|3.10|5.50|7.00|kpr.|NOWAK ADAM|K102|0"},
        // first assignment after the day: no unit, no rate, food 0; unknown rank: empty;
        // no water rate: water 0
        {103, "-|-|0.00|0|0.00|5.50|7.00||ZIELINSKI OLEK|K103|0"},
        // two assignments from the same day: the one entered last
        {104, u(f.unitC) + "|30|15.00|990|3.30|5.50|7.00|szer.|LIS EWA|K104|0"},
        // never assigned
        {105, "-|-|0.00|991|3.10|5.50|7.00||WRONA PIOTR|K105|0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(person(dm, c.nr, f.day), c.expected) << c.nr;

    // Every new row: no event, no correction, no meals, no place; the columns the plan
    // procedures never fill stay null.
    EXPECT_EQ(Rows(dm, "select distinct " + eventColumns +
                           ", NR_KARTY, AKTYWNY, IDSTAWKA_110, DATA from KZM_DANE"),
              QStringList{"0|0|0|0|0|0.00|-|0|0|0.00|0|0.00|0.00|0|-|0|0|-|-|-|15.03.2025"});
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as N from KZM_DANE", -1), 5);
}

TEST_F(PlanOpenTest, GeneratingAgainOnlyAddsTheMissingPersons) {
    OpenPlan(dm, f.day, 0);
    const int id = PlanId(dm, 101, f.day);
    plan::EnterEvent(dm, id, f.evFull);
    plan::EnterCorrection(dm, id, 2, 0, Lit(f.day));
    Exec(dm, "update KZM_DANE set MIEJSCE = 1 where ID = " + QString::number(id));
    const QStringList before = Rows(dm, "select * from KZM_DANE order by ID");

    // Master data changes do not reach stored rows when generating.
    Exec(dm, "update KZM_KART set NAZWISKO = 'KOWALSKI JANUSZ', IDSTAWKAW = 991 "
             "where NR_OPER = 101");
    Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (20, 13.00, '15.03.2025')");
    Exec(dm, "insert into KZM_KART (NR_OPER, NR_IDENT, IDSTOPIEN, IDSTAWKAW, NAZWISKO) "
             "values (106, 'K106', " +
                 QString::number(f.rankKpr) + ", 990, 'SOWA JAN')");
    Exec(dm, "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (106, " +
                 u(f.unitB) + ", 20, '01.03.2025')");
    OpenPlan(dm, f.day, 0);

    EXPECT_EQ(Rows(dm, "select * from KZM_DANE where NR_OPER <> 106 order by ID"), before);
    EXPECT_EQ(person(dm, 106, f.day),
              u(f.unitB) + "|20|13.00|990|3.30|5.50|7.00|kpr.|SOWA JAN|K106|0");
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as N from KZM_DANE", -1), 6);
}

TEST_F(PlanOpenTest, RefreshTakesCurrentPersonDataAndKeepsEventCorrectionAndPlace) {
    OpenPlan(dm, f.day, 0);
    const int id = PlanId(dm, 101, f.day);
    plan::EnterEvent(dm, id, f.evFull);
    plan::EnterCorrection(dm, id, 5, f.evP60, Lit(f.day));
    Exec(dm, "update KZM_DANE set MIEJSCE = 1 where ID = " + QString::number(id));
    const QString kept = events(dm, id);
    ASSERT_EQ(kept, QString::number(f.evFull) + "|1|1|1|1|100.00|70.00|5|0|60.00|0|60.00|0.00|" +
                        QString::number(f.evP60) + "|15.03.2025|0|1");

    Exec(dm, "update KZM_KART set NAZWISKO = 'KOWALSKI JANUSZ', NR_IDENT = 'K101B', "
             "IDSTAWKAW = 991, IDSTOPIEN = " +
                 QString::number(f.rankKpr) + " where NR_OPER = 101");
    Exec(dm, "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, " +
                 u(f.unitC) + ", 30, '10.03.2025')");
    Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (40, 8.00, '15.03.2025')");
    const QString fresh = u(f.unitC) + "|30|15.00|991|3.10|5.50|8.00|kpr.|KOWALSKI JANUSZ|K101B|0";

    // Any value other than 1 leaves existing rows alone.
    const QStringList before = Rows(dm, "select * from KZM_DANE order by ID");
    OpenPlan(dm, f.day, 2);
    EXPECT_EQ(Rows(dm, "select * from KZM_DANE order by ID"), before);

    OpenPlan(dm, f.day, 1);
    EXPECT_EQ(person(dm, 101, f.day), fresh);
    EXPECT_EQ(events(dm, id), kept);
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as N from KZM_DANE", -1), 5);
}

// Rows stored before the result columns were kept have RWODA null; a refresh fills the results
// again from the row's event type and its carried-over correction IDPOPR (null ones meaning
// none). The plan refresh also resets RSTAWKA_DW110, the single-row refresh leaves it.
TEST_F(PlanOpenTest, RefreshFillsTheResultsOfRowsStoredWithoutThem) {
    const QDate next = f.day.addDays(1);
    OpenPlan(dm, f.day, 0);
    OpenPlan(dm, next, 0);
    const auto makeOld = [&](const QDate& day) {
        Exec(dm, "update KZM_DANE set RWODA = null, RSTAWKA_DW = null, RSTAWKA_DW110 = 150, "
                 "IDZDARZ = " +
                     QString::number(f.evFull) +
                     ", IDPOPR = 2 where NR_OPER = 101 and DATA = " + Lit(day));
        Exec(dm, "update KZM_DANE set RWODA = null, RSTAWKA_DW = null, RSTAWKA_DW110 = 150, "
                 "IDZDARZ = " +
                     QString::number(f.evP60) +
                     ", IDPOPR = 0 where NR_OPER = 102 and DATA = " + Lit(day));
        // no event type and no correction recorded at all: a day without either
        Exec(dm, "update KZM_DANE set RWODA = null, RSTAWKA_DW = null, IDZDARZ = null, "
                 "IDPOPR = null, S5 = null where NR_OPER = 105 and DATA = " +
                     Lit(day));
        // stale results that a refresh must not touch while RWODA is set
        Exec(dm, "update KZM_DANE set RWODA = 1, RSTAWKA_DW = 200, IDZDARZ = " +
                     QString::number(f.evP60) + " where NR_OPER = 104 and DATA = " + Lit(day));
    };
    makeOld(f.day);
    makeOld(next);

    OpenPlan(dm, f.day, 1);
    for (int nr : {101, 102, 104, 105})
        Exec(dm, "execute procedure PKZM_ZMIEN_DANE_OS_2(" + QString::number(PlanId(dm, nr, next)) +
                     ")");

    const QString full = QString::number(f.evFull) + "|1|1|1|1|100.00|70.00|";
    const QString p60 = QString::number(f.evP60) + "|0|0|0|0|60.00|150.00|";
    const struct {
        int nr;
        QDate day;
        QString expected;
    } cases[] = {
        {101, f.day, full + "2|1|200.00|1|200.00|0.00|0|15.03.2025|2|0"},
        {101, next, full + "2|1|200.00|1|200.00|150.00|0|16.03.2025|2|0"},
        {102, f.day, p60 + "0|0|0.00|0|60.00|0.00|0|-|0|0"},
        {102, next, p60 + "0|0|0.00|0|60.00|150.00|0|-|0|0"},
        {104, f.day, QString::number(f.evP60) + "|0|0|0|0|0.00|-|0|0|0.00|1|200.00|0.00|0|-|0|0"},
        {104, next, QString::number(f.evP60) + "|0|0|0|0|0.00|-|0|0|0.00|1|200.00|0.00|0|-|0|0"},
        {105, f.day, "0|0|0|0|0|0.00|0.00|0|0|0.00|0|0.00|0.00|0|-|-|0"},
        {105, next, "0|0|0|0|0|0.00|0.00|0|0|0.00|0|0.00|0.00|0|-|-|0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(events(dm, PlanId(dm, c.nr, c.day)), c.expected)
            << c.nr << " " << Lit(c.day).toStdString();
}

// The single-row refresh leaves food and water amounts and the rank null where the plan
// refresh writes 0 and empty text.
TEST_F(PlanOpenTest, SingleRowRefreshGivesNullsWhereThePlanRefreshGivesZeros) {
    OpenPlan(dm, f.day, 0);
    Exec(dm, "update KZM_KART set NAZWISKO = 'LIS EWELINA' where NR_OPER = 104");
    Exec(dm, "update KZM_DANE set STAWKA_OBIAD = 0, STAWKA_110 = 0");
    const struct {
        int nr;
        QString byRow;
        QString byPlan;
    } cases[] = {
        {101, u(f.unitA) + "|20|12.00|990|3.30|5.50|7.00|szer.|KOWALSKI JAN|K101|0",
         u(f.unitA) + "|20|12.00|990|3.30|5.50|7.00|szer.|KOWALSKI JAN|K101|0"},
        {103, "-|-|-|0|-|5.50|7.00|-|ZIELINSKI OLEK|K103|0",
         "-|-|0.00|0|0.00|5.50|7.00||ZIELINSKI OLEK|K103|0"},
        {104, u(f.unitC) + "|30|15.00|990|3.30|5.50|7.00|szer.|LIS EWELINA|K104|0",
         u(f.unitC) + "|30|15.00|990|3.30|5.50|7.00|szer.|LIS EWELINA|K104|0"},
        {105, "-|-|-|991|3.10|5.50|7.00|-|WRONA PIOTR|K105|0",
         "-|-|0.00|991|3.10|5.50|7.00||WRONA PIOTR|K105|0"},
    };
    for (const auto& c : cases) {
        Exec(dm, "execute procedure PKZM_ZMIEN_DANE_OS_2(" +
                     QString::number(PlanId(dm, c.nr, f.day)) + ")");
        EXPECT_EQ(person(dm, c.nr, f.day), c.byRow) << c.nr;
    }
    OpenPlan(dm, f.day, 1);
    for (const auto& c : cases)
        EXPECT_EQ(person(dm, c.nr, f.day), c.byPlan) << c.nr;
}

// A person removed from the list leaves nothing to refresh the name, card, rank and water rate
// from: the row keeps them, so the day still carries the name on the payout lists. Unit, rate
// and amounts still follow the assignment and the price list.
TEST_F(PlanOpenTest, SingleRowRefreshOfARemovedPersonKeepsTheStoredPersonData) {
    OpenPlan(dm, f.day, 0);
    const int id = PlanId(dm, 102, f.day);
    Exec(dm, "delete from KZM_KART where NR_OPER = 102");
    Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (30, 16.00, '15.03.2025')");
    Exec(dm, "execute procedure PKZM_ZMIEN_DANE_OS_2(" + QString::number(id) + ")");
    EXPECT_EQ(person(dm, 102, f.day),
              u(f.unitB) + "|30|16.00|991|3.10|5.50|7.00|kpr.|NOWAK ADAM|K102|0");
}

} // namespace
