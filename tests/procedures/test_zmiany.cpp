// Changes of single plan rows from the plan window: event types (PKZM_ZMIEN_ZDARZ_2),
// corrections (PKZM_ZMIEN_SZKODE) and food rates (PKZM_ZMIEN_STAWKE_2).

#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using plan::Exec;
using plan::Lit;
using plan::OpenPlan;
using plan::PlanId;
using plan::Row;
using ChangeTest = plan::PlanTest;

const QString resultColumns =
    QStringLiteral("IDZDARZ, SN, OB, KO, WODA, STAWKA_DW, STAWKA_DW110, POPRAWKA, PWODA, "
                   "PSTAWKA_DW, RWODA, RSTAWKA_DW, RSTAWKA_DW110, S5, DATA_POPR");

QString results(kzm::Tdm& dm, int id) {
    return Row(dm, "select " + resultColumns + " from KZM_DANE where ID = " + QString::number(id));
}

QString n(int v) {
    return QString::number(v);
}

TEST_F(ChangeTest, AnEventTypeGivesItsMealsAndPayoutsAndClearingZeroesTheDay) {
    OpenPlan(dm, f.day, 0);
    const int id = PlanId(dm, 101, f.day);

    plan::EnterEvent(dm, id, f.evFull);
    EXPECT_EQ(results(dm, id), n(f.evFull) + "|1|1|1|1|100.00|70.00|0|0|0.00|1|100.00|0.00|0|-");
    plan::EnterEvent(dm, id, f.evP60); // one event type replaces another
    EXPECT_EQ(results(dm, id), n(f.evP60) + "|0|0|0|0|60.00|150.00|0|0|0.00|0|60.00|0.00|0|-");

    // Clearing takes the correction with it; only the date the correction was given stays.
    plan::EnterCorrection(dm, id, 5, f.evFull, Lit(f.day));
    Exec(dm, "update KZM_DANE set RSTAWKA_DW110 = 70 where ID = " + n(id));
    plan::EnterEvent(dm, id, 0);
    EXPECT_EQ(results(dm, id), "0|0|0|0|0|0.00|0.00|0|0|0.00|0|0.00|0.00|0|15.03.2025");

    // An event type that does not exist leaves nothing to copy.
    plan::EnterEvent(dm, id, 999999);
    EXPECT_EQ(results(dm, id), "999999|-|-|-|-|-|-|0|0|0.00|-|-|0.00|0|15.03.2025");
}

// Entering an event type on a corrected row: the correction stays recorded, the results show
// the event type's values until the correction is entered again.
TEST_F(ChangeTest, AnEventTypeOverACorrectionSetsTheResultsBackToTheEventType) {
    OpenPlan(dm, f.day, 0);
    const int id = PlanId(dm, 101, f.day);
    plan::EnterEvent(dm, id, f.evP60);
    plan::EnterCorrection(dm, id, 5, f.evFull, Lit(f.day));
    Exec(dm, "update KZM_DANE set RSTAWKA_DW110 = 150 where ID = " + n(id));
    ASSERT_EQ(results(dm, id), n(f.evP60) + "|0|0|0|0|60.00|150.00|5|0|60.00|0|60.00|150.00|" +
                                   n(f.evFull) + "|15.03.2025");

    plan::EnterEvent(dm, id, f.evFull);
    EXPECT_EQ(results(dm, id), n(f.evFull) + "|1|1|1|1|100.00|70.00|5|0|60.00|1|100.00|150.00|" +
                                   n(f.evFull) + "|15.03.2025");
    plan::EnterCorrection(dm, id, 5, f.evFull, Lit(f.day));
    EXPECT_EQ(results(dm, id), n(f.evFull) + "|1|1|1|1|100.00|70.00|5|0|60.00|0|60.00|150.00|" +
                                   n(f.evFull) + "|15.03.2025");
}

TEST_F(ChangeTest, ACorrectionReplacesTheResultsAndClearingFallsBackToTheEventType) {
    OpenPlan(dm, f.day, 0);
    const QString full = n(f.evFull) + "|1|1|1|1|100.00|70.00|";
    const struct {
        int nr;
        int idp;
        int ids5;
        const char* datap;
        QString expected;
    } cases[] = {
        {101, 2, 0, "'15.03.2025'", full + "2|1|200.00|1|200.00|0.00|0|15.03.2025"},
        // correction 5 names the event type the day also counts under
        {102, 5, f.evP60, "'15.03.2025'",
         full + "5|0|60.00|0|60.00|0.00|" + n(f.evP60) + "|15.03.2025"},
        // any other correction stores what it is given
        {103, 1, f.evP60, "'14.03.2025'",
         full + "1|0|0.00|0|0.00|0.00|" + n(f.evP60) + "|14.03.2025"},
        // a correction code that does not exist leaves nothing to copy
        {104, 77, 0, "'15.03.2025'", full + "77|-|-|-|-|0.00|0|15.03.2025"},
        // clearing, as the plan window does it (with the zero date), on a corrected day of
        // an event type with water and 100 %
        {105, 0, 0, "'30.12.1899'", full + "0|0|0.00|1|100.00|0.00|0|-"},
    };
    for (const auto& c : cases) {
        const int id = PlanId(dm, c.nr, f.day);
        plan::EnterEvent(dm, id, f.evFull);
        if (c.idp == 0)
            plan::EnterCorrection(dm, id, 2, f.evP60, Lit(f.day));
        plan::EnterCorrection(dm, id, c.idp, c.ids5, QLatin1String(c.datap));
        EXPECT_EQ(results(dm, id), c.expected) << c.nr;
    }
}

// The amount follows the new rate and the prices of the row's own day.
TEST_F(ChangeTest, ARateChangeTakesTheAmountsOfTheRowsDay) {
    const QDate before = f.day.addDays(-1);
    OpenPlan(dm, before, 0);
    OpenPlan(dm, f.day, 0);
    Exec(dm, "update KZM_DANE set STAWKA_110 = 0");
    const struct {
        QDate day;
        int rate;
        const char* expected;
    } cases[] = {
        {f.day, 30, "30|15.00|7.00"},
        {before, 20, "20|10.00|7.00"}, // the day's 12.00 is not yet in force
        {f.day, 20, "20|12.00|7.00"},
        {f.day, 40, "40|-|7.00"}, // not a food rate: no amount
    };
    for (const auto& c : cases) {
        const int id = PlanId(dm, 102, c.day);
        Exec(dm,
             QStringLiteral("execute procedure PKZM_ZMIEN_STAWKE_2(%1, %2)").arg(id).arg(c.rate));
        EXPECT_EQ(Row(dm, "select IDSTAWKA, STAWKA, STAWKA_110 from KZM_DANE where ID = " + n(id)),
                  QLatin1String(c.expected))
            << Lit(c.day).toStdString() << " " << c.rate;
    }
}

} // namespace
