// Count reports: PKZM_RP01_2 (a day by unit), PKZM_RP05_2 and PKZM_RP05_3 (a period by day),
// PKZM_RP06_2 and PKZM_RP06_3 (a year, or one month, by month).

#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using plan::Exec;
using plan::Lit;
using plan::PlanId;
using plan::Rows;

QString n(int v) {
    return QString::number(v);
}

// The fixture's canteen with more to count. Unit A (number 10) gets three more persons;
// MAXKODOPER 202 makes 202 and 203 civilians. Event types, in column order:
//   K   (1, 1)  100 %, 110 at 70 %, water       (fixture)
//   Q   (1, 6)  100 %, no 110, water            same column number as P40, another group
//   P20 (2, 5)  the column that also totals P40
//   P40 (2, 6)  60 %, 110 at 150 %, no water
//   P60 (3, 2)  60 %, 110 at 150 %, no water     (fixture)
//   X   (0, 9)  not printed: 100 %, 110 at 70 %, water
// 15.03.2025: 101 K; 201 P40; 202 K with correction 2 (water, 200 %); 203 (rate 030) P60
// with correction 5 naming P20; 102 (unit B, 030) Q; 105 (no unit) X; 103 and 104 no event.
// 16.03.2025: 101 P40, nobody else has an event.
// Dog rations: 15.03 3 and 4, 16.03 0, 17.03 2.
class CountTest : public plan::PlanTest {
protected:
    void SetUp() override {
        plan::PlanTest::SetUp();
        if (HasFatalFailure())
            return;
        const auto param = [](const char* name, int v) {
            return QStringLiteral("update or insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, "
                                  "PINTEGER) values ('GLOBAL', 'PR_KZM', '%1', %2)")
                .arg(QLatin1String(name))
                .arg(v);
        };
        Exec(dm, param("MAXKODOPER", 202));
        Exec(dm, param("IDSTAWKA020", 20));
        Exec(dm, param("IDSTAWKA030", 30));
        const auto event = [&](const char* skrot, int grw, int lpw, int dw, int dw110, int woda) {
            Exec(dm, QStringLiteral("insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, "
                                    "STAWKA_DW110, SN, OB, KO, WODA) values (%1, %2, '%3', '%3', "
                                    "%4, %5, 0, 0, 0, %6)")
                         .arg(lpw)
                         .arg(grw)
                         .arg(QLatin1String(skrot))
                         .arg(dw)
                         .arg(dw110)
                         .arg(woda));
            return dm.ReadInteger(QStringLiteral("ID"),
                                  QStringLiteral("select ID from KZM_ZDARZ where SKROT = '%1'")
                                      .arg(QLatin1String(skrot)),
                                  -1);
        };
        evQ = event("Q", 1, 6, 100, 0, 1);
        evP20 = event("P20", 2, 5, 60, 150, 0);
        evP40 = event("P40", 2, 6, 60, 150, 0);
        evX = event("X", 0, 9, 100, 70, 1);
        for (const auto& [nr, rate] : {std::pair{201, 20}, {202, 20}, {203, 30}}) {
            Exec(dm, QStringLiteral("insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, "
                                    "IDJEDN, IDSTAWKA, IDSTAWKAW, NAZWISKO) values (%1, %1, "
                                    "'K%1', %2, 0, %3, 990, 'OSOBA %1')")
                         .arg(nr)
                         .arg(f.rankSzer)
                         .arg(rate));
            Exec(dm, QStringLiteral("insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, "
                                    "OD_KIEDY) values (%1, %2, %3, '01.01.2025')")
                         .arg(nr)
                         .arg(f.unitA)
                         .arg(rate));
        }
        const QDate d15 = f.day, d16 = f.day.addDays(1);
        plan::OpenPlan(dm, d15, 0);
        plan::OpenPlan(dm, d16, 0);
        plan::EnterEvent(dm, PlanId(dm, 101, d15), f.evFull);
        plan::EnterEvent(dm, PlanId(dm, 201, d15), evP40);
        plan::EnterEvent(dm, PlanId(dm, 202, d15), f.evFull);
        plan::EnterCorrection(dm, PlanId(dm, 202, d15), 2, 0, Lit(d15));
        plan::EnterEvent(dm, PlanId(dm, 203, d15), f.evP60);
        plan::EnterCorrection(dm, PlanId(dm, 203, d15), 5, evP20, Lit(d15));
        plan::EnterEvent(dm, PlanId(dm, 102, d15), evQ);
        plan::EnterEvent(dm, PlanId(dm, 105, d15), evX);
        plan::EnterEvent(dm, PlanId(dm, 101, d16), evP40);
        for (const auto& [day, ile] :
             {std::pair{"15.03.2025", 3}, {"15.03.2025", 4}, {"16.03.2025", 0}, {"17.03.2025", 2}})
            Exec(dm, QStringLiteral("insert into KZM_PSY (DATA, ILOSC) values ('%1', %2)")
                         .arg(QLatin1String(day))
                         .arg(ile));
    }

    QStringList cells(const QString& call) {
        return Rows(dm, "select NR, GRW, LPW, ILE from " + call);
    }
    // What the procedure left in the work table, summed by cell as the layout reads it.
    QStringList workTable() {
        return Rows(dm, "select NR, GRW, LPW, sum(ILE) from KZM_RP00 group by NR, GRW, LPW "
                        "order by NR, GRW, LPW");
    }

    int evQ = -1, evP20 = -1, evP40 = -1, evX = -1;
};

// One line of cells: the event type columns (K, Q, P20, P40, P60, then the seeded one), the seven
// or six rate breakdown columns, the corrections 1, 2 and 5 under group 3 and the two water
// columns.
QStringList line(int nr, std::initializer_list<int> events, std::initializer_list<int> rates,
                 std::initializer_list<int> corrections, int waterSoldiers, int waterCivilians) {
    static const std::pair<int, int> eventColumns[] = {{1, 1}, {1, 6}, {2, 5},
                                                       {2, 6}, {3, 2}, {3, 20}};
    QStringList out;
    int i = 0;
    // The event type that the start-up seeds ("SŁNBW", group 3, column 20) holds the key 0 in
    // a new database; rows without an event type must not count under it.
    std::vector<int> all(events);
    all.push_back(0);
    for (int v : all) {
        out << QStringLiteral("%1|%2|%3|%4")
                   .arg(nr)
                   .arg(eventColumns[i].first)
                   .arg(eventColumns[i].second)
                   .arg(v);
        ++i;
    }
    i = 101;
    for (int v : rates)
        out << QStringLiteral("%1|3|%2|%3").arg(nr).arg(i++).arg(v);
    static const int codes[] = {1, 2, 5};
    i = 0;
    for (int v : corrections)
        out << QStringLiteral("%1|3|%2|%3").arg(nr).arg(300 + codes[i++]).arg(v);
    out << QStringLiteral("%1|200|201|%2").arg(nr).arg(waterSoldiers)
        << QStringLiteral("%1|200|202|%2").arg(nr).arg(waterCivilians);
    return out;
}

QStringList dogs(int nr, int ile) {
    return {QStringLiteral("%1|999|999|%2").arg(nr).arg(ile)};
}

TEST_F(CountTest, ADayByUnitCountsEveryColumnOfEachUnit) {
    // Unit A: P20 holds P40's day and the day that correction 5 adds; Q shares P40's column
    // number in another group and stays out of P20. 202's 200 % day counts in 103.
    const QStringList unitA = line(10, {2, 0, 2, 1, 1}, {1, 1, 1, 1, 0, 2, 2}, {0, 1, 1}, 1, 1);
    const QStringList unitB = line(20, {0, 1, 0, 0, 0}, {0, 0, 0, 0, 1, 0, 0}, {0, 0, 0}, 1, 0);
    const QStringList unitC = line(30, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}, 0, 0);

    const QStringList all = unitA + unitB + unitC + dogs(999, 7);
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP01_2('15.03.2025', -1)")), all);
    EXPECT_EQ(workTable(), all);

    // One unit still gets the day's dog cell; a day without dog rows gives it empty.
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP01_2('15.03.2025', %1)").arg(f.unitB)),
              unitB + dogs(999, 7));
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP01_2('14.03.2025', %1)").arg(f.unitB)),
              line(20, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}, 0, 0) +
                  QStringList{"999|999|999|-"});
    // Each run starts from an empty work table.
    EXPECT_EQ(workTable().size(), 19);
}

// Without an event type "P20" no total column is written; a day under correction 5 that names
// an event type without a printed column adds to no column, though its correction counts.
TEST_F(CountTest, ADayByUnitWritesNoColumnThatHasNoPlace) {
    Exec(dm, "update KZM_ZDARZ set SKROT = 'P20X' where ID = " + n(evP20));
    plan::EnterCorrection(dm, PlanId(dm, 101, f.day), 5, evX, Lit(f.day));
    // 101 is now paid at 60 % without water; 203's correction still adds to the old P20.
    const QStringList unitA = line(10, {2, 0, 1, 1, 1}, {2, 0, 1, 1, 0, 2, 2}, {0, 1, 2}, 0, 1);
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP01_2('15.03.2025', %1)").arg(f.unitA)),
              unitA + dogs(999, 7));
}

// A period by day: every row of the day counts, with or without a unit. The not printed
// event type X has no column, but its 110 and water figures count.
TEST_F(CountTest, APeriodByDayInBothNumberings) {
    const QStringList day15 = line(15, {2, 1, 2, 1, 1}, {1, 1, 1, 1, 1, 3, 2}, {0, 1, 1}, 3, 1);
    const QStringList day16 = line(16, {0, 0, 1, 1, 0}, {1, 0, 0, 0, 0, 0, 1}, {0, 0, 0}, 0, 0);
    // Day 16's dog row holds 0 and gives no cell; day 17 has dogs but no plan rows.
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP05_3('15.03.2025', '17.03.2025')")),
              day15 + dogs(15, 7) + day16 + dogs(17, 2));
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP05_3('16.03.2025', '16.03.2025')")), day16);

    // The older numbering has no 020 200 % column: 202's day is counted nowhere in group 3.
    const QStringList old15 = line(15, {2, 1, 2, 1, 1}, {1, 1, 1, 1, 3, 2}, {0, 1, 1}, 3, 1);
    const QStringList old16 = line(16, {0, 0, 1, 1, 0}, {1, 0, 0, 0, 0, 1}, {0, 0, 0}, 0, 0);
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP05_2('15.03.2025', '17.03.2025')")),
              old15 + dogs(15, 7) + old16 + dogs(17, 2));
    EXPECT_EQ(workTable(), old15 + dogs(15, 7) + old16 + dogs(17, 2));
}

// A year by month, or one month. The first month runs from the first day given, each
// further one over its whole calendar month; every month has its dog cell, 0 when empty.
TEST_F(CountTest, MonthsCountFromTheStartingNumberWhateverTheMonth) {
    const QStringList march =
        line(3, {2, 1, 3, 2, 1}, {2, 1, 1, 1, 1, 3, 3}, {0, 1, 1}, 3, 1) + dogs(3, 9);
    const auto empty = [](int nr) {
        return line(nr, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}, 0, 0) + dogs(nr, 0);
    };

    QStringList year;
    for (int m = 1; m <= 12; ++m)
        year += m == 3 ? march : empty(m);
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP06_3('01.01.2025', -1)")), year);

    EXPECT_EQ(cells(QStringLiteral("PKZM_RP06_3('01.03.2025', 3)")), march);
    EXPECT_EQ(workTable(), march);

    // Starting in mid-February: line 1 is the rest of February, line 2 is March.
    const QStringList fromFeb = cells(QStringLiteral("PKZM_RP06_3('15.02.2025', -1)"));
    ASSERT_EQ(fromFeb.size(), 12 * march.size());
    EXPECT_EQ(fromFeb.mid(march.size(), march.size()),
              line(2, {2, 1, 3, 2, 1}, {2, 1, 1, 1, 1, 3, 3}, {0, 1, 1}, 3, 1) + dogs(2, 9));

    // A first month that starts on the 16th leaves the 15th out, dogs included.
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP06_3('16.03.2025', 3)")),
              line(3, {0, 0, 1, 1, 0}, {1, 0, 0, 0, 0, 0, 1}, {0, 0, 0}, 0, 0) + dogs(3, 2));

    // The older numbering over the same month.
    EXPECT_EQ(cells(QStringLiteral("PKZM_RP06_2('01.03.2025', 3)")),
              line(3, {2, 1, 3, 2, 1}, {2, 1, 1, 1, 3, 3}, {0, 1, 1}, 3, 1) + dogs(3, 9));
}

} // namespace
