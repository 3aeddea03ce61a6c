// The detailed monthly list (PKZM_RP04_2) with its rate breakdown lines (PKZM_RP04P_2).

#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using plan::Exec;
using plan::Lit;
using plan::PlanId;
using plan::Rows;

// Unit B (number 20) over February 2025, 28 days, every day planned:
//   102 at 030: K on the 1st and 2nd, K with S2 (water, 200 %) on the 28th
//   103 at 020 (moved into unit B for February): K, P60, K
//   104 at 030: P60, K with S5 naming P60 (no water, 60 %), K
// K pays 100 % with water and 110 at 70 %, P60 60 % without water and 110 at 150 %.
// Dog rations: 4 on the 3rd, none on the 5th, 2 on the 28th. Unit A's 101 has plan rows but
// no event type, so unit A has no lines.
class DetailedListTest : public plan::PlanTest {
protected:
    void SetUp() override {
        plan::PlanTest::SetUp();
        if (HasFatalFailure())
            return;
        Exec(dm, QStringLiteral("insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) "
                                "values (103, %1, 20, '01.02.2025')")
                     .arg(f.unitB));
        for (int d = 1; d <= 28; ++d)
            plan::OpenPlan(dm, QDate(2025, 2, d), 0);
        const auto event = [&](int nr, int d, int ev) {
            plan::EnterEvent(dm, PlanId(dm, nr, QDate(2025, 2, d)), ev);
        };
        event(102, 1, f.evFull);
        event(103, 1, f.evFull);
        event(104, 1, f.evP60);
        event(102, 2, f.evFull);
        event(103, 2, f.evP60);
        event(104, 2, f.evFull);
        plan::EnterCorrection(dm, PlanId(dm, 104, QDate(2025, 2, 2)), 5, f.evP60,
                              Lit(QDate(2025, 2, 2)));
        event(102, 28, f.evFull);
        plan::EnterCorrection(dm, PlanId(dm, 102, QDate(2025, 2, 28)), 2, 0,
                              Lit(QDate(2025, 2, 28)));
        event(103, 28, f.evFull);
        event(104, 28, f.evFull);
        Exec(dm, "insert into KZM_PSY (DATA, ILOSC) values ('03.02.2025', 4)");
        Exec(dm, "insert into KZM_PSY (DATA, ILOSC) values ('05.02.2025', 0)");
        Exec(dm, "insert into KZM_PSY (DATA, ILOSC) values ('28.02.2025', 2)");
    }
};

// A result line: wsk|numer|nr_oper|stopien|nazwisko|d32..d36|d01..d31, every cell not given
// empty.
QString line(int wsk, int numer, int nr, const char* stopien, const char* nazwisko,
             const std::map<int, QString>& cells) {
    QStringList out{QString::number(wsk), QString::number(numer), QString::number(nr),
                    QLatin1String(stopien), QLatin1String(nazwisko)};
    const auto cell = [&](int d) {
        const auto it = cells.find(d);
        return it == cells.end() ? QString() : it->second;
    };
    for (int d = 32; d <= 36; ++d)
        out << cell(d);
    for (int d = 1; d <= 31; ++d)
        out << cell(d);
    return out.join('|');
}

QString sum(int wsk, const char* label, const std::map<int, QString>& cells) {
    return line(wsk, 20, 99999999, "", label, cells);
}

const QStringList unitB = {
    line(0, 20, 102, "kpr.", "NOWAK ADAM",
         {{1, "K"}, {2, "K"}, {28, "K  S2"}, {33, "2"}, {34, "3"}, {35, "3"}}),
    line(0, 20, 103, "", "ZIELINSKI OLEK",
         {{1, "K"}, {2, "P60"}, {28, "K"}, {32, "1"}, {33, "2"}, {34, "2"}, {35, "2"}, {36, "1"}}),
    line(0, 20, 104, "szer.", "LIS EWA",
         {{1, "P60"},
          {2, "K  S5  P60"},
          {28, "K"},
          {32, "2"},
          {33, "1"},
          {34, "1"},
          {35, "2"},
          {36, "1"}}),
    // Rate breakdown: each day's rows once, the 200 % day of 102 under no rate label.
    sum(1, "020 100%", {{1, "1"}, {28, "1"}, {33, "2"}, {34, "2"}}),
    sum(1, "020 60%", {{2, "1"}, {32, "1"}}),
    sum(1, "030 100%", {{1, "1"}, {2, "1"}, {28, "1"}, {33, "3"}, {34, "3"}}),
    sum(1, "030 60%", {{1, "1"}, {2, "1"}, {32, "2"}}),
    sum(1, "D110", {{1, "3"}, {2, "3"}, {28, "3"}, {35, "7"}, {36, "2"}}),
    // Event types; the S5 day of 104 also counts in P60's day cell, not in its totals.
    sum(1, "K", {{1, "2"}, {2, "2"}, {28, "3"}, {32, "1"}, {33, "5"}, {34, "6"}, {35, "7"}}),
    sum(1, "P60", {{1, "1"}, {2, "2"}, {32, "2"}, {36, "2"}}),
    sum(1, "Szkoda S2", {{28, "1"}}),
    sum(1, "Szkoda S5", {{2, "1"}}),
};

TEST_F(DetailedListTest, AUnitOverAShortMonth) {
    QStringList all = unitB;
    all << line(1, 99999999, 99999999, "", "PSY", {{3, "4"}, {28, "2"}});
    const struct {
        const char* what;
        QString args;
        QStringList expected;
    } cases[] = {
        {"all units, with the dog rations", "'01.02.2025', '28.02.2025', -1", all},
        {"one unit, no dog rations", QStringLiteral("'01.02.2025', '28.02.2025', %1").arg(f.unitB),
         unitB},
        {"a unit without event types",
         QStringLiteral("'01.02.2025', '28.02.2025', %1").arg(f.unitA),
         {}},
    };
    for (const auto& c : cases) {
        const QStringList got = Rows(dm, "select * from PKZM_RP04_2(" + c.args + ")");
        EXPECT_EQ(got, c.expected) << c.what;
    }
}

// A day counted twice stays counted once: the cells of a day are written by the first run.
TEST_F(DetailedListTest, TheRateBreakdownOfADayIsCountedOnce) {
    const QString call = QStringLiteral("execute procedure PKZM_RP04P_2(1, 99999999, %1, %2)");
    for (const char* d : {"01.02.2025", "01.02.2025", "02.02.2025", "15.02.2025", "02.02.2025"})
        Exec(dm, call.arg(QLatin1String("'") + d + "'").arg(f.unitB));
    EXPECT_EQ(Rows(dm, "select KOLUMNA0, DZIEN, D from KZM_RP04 order by KOLUMNA0, DZIEN"),
              QStringList({"020 100%|1|1", "020 100%|33|1", "020 100%|34|1", "020 60%|2|1",
                           "020 60%|32|1", "030 100%|1|1", "030 100%|2|1", "030 100%|33|2",
                           "030 100%|34|2", "030 60%|1|1", "030 60%|2|1", "030 60%|32|2",
                           "D110|1|3", "D110|2|3", "D110|35|4", "D110|36|2"}));
}

} // namespace
