// Drinks settlement: the price refresh PKZM_INIT_CENY_NAP, the conversion of a value into
// drinks PKZM_RZL_WODA_1, settling one row PKZM_INIT_WODA0_1 and opening a month
// PKZM_OPEN_WODA_1.

#include "procedures/PlanFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using plan::Exec;
using plan::Row;
using plan::Rows;

const QDate dstp(2025, 2, 28);
const QDate dtp(2025, 3, 1);
const QDate dtk(2025, 3, 31);

struct Drink {
    const char* kod;
    int woda;
    int rozlpc;
    const char* cena;    // CENA as stored before the procedure runs
    const char* procent; // PROCENT as stored before the procedure runs
    // price rows of the drink: (amount, first day)
    std::vector<std::pair<const char*, const char*>> prices;
};

class DrinksTest : public plan::PlanTest {
protected:
    void SetUp() override {
        plan::PlanTest::SetUp();
        if (HasFatalFailure())
            return;
        Exec(dm, "update or insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PINTEGER) values "
                 "('GLOBAL', 'PR_KZM', 'MAXKODOPER', 5000)");
        Exec(dm, "update or insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PFLOAT) values "
                 "('GLOBAL', 'PR_KZM', 'PROCENTRZLWODY', 20)");
        // Drinks and rates share the price list's item numbers and one generator: keys well
        // above the rate numbers keep a drink from reading a rate's prices.
        Row(dm, "select gen_id(G_ID_KZM, 1000) from RDB$DATABASE");
    }

    // Replaces the drinks (and their price rows) by the set given.
    void Drinks(const std::vector<Drink>& drinks) {
        Exec(dm, "delete from KZM_CENNIK where IDTR in (select ID from KZM_NAPOJE)");
        Exec(dm, "delete from KZM_NAPOJE");
        for (const Drink& d : drinks) {
            Exec(dm, QStringLiteral("insert into KZM_NAPOJE (KOD, NAZWA, POJEMNOSC, ROZLPC, WODA, "
                                    "CENA, PROCENT) values ('%1', '%1', 0.5, %2, %3, %4, %5)")
                         .arg(QLatin1String(d.kod))
                         .arg(d.rozlpc)
                         .arg(d.woda)
                         .arg(QLatin1String(d.cena))
                         .arg(QLatin1String(d.procent)));
            for (const auto& [kwota, od] : d.prices)
                Exec(dm, QStringLiteral("insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) select ID, "
                                        "%1, '%2' from KZM_NAPOJE where KOD = '%3'")
                             .arg(QLatin1String(kwota))
                             .arg(QLatin1String(od))
                             .arg(QLatin1String(d.kod)));
        }
    }

    // Drinks given out on the closing day as "person|drink|units|price|value".
    QStringList GivenOut() {
        return Rows(dm, "select R.NR_OPER, N.KOD, R.ILOSC, R.CENA, R.WARTOSC from KZM_RZLWODA R "
                        "left join KZM_NAPOJE N on N.ID = R.IDNAPOJ where R.DATA = " +
                            plan::Lit(dtk) + " order by R.NR_OPER, N.KOD");
    }

    // Settlement rows of the closing day as "person|unit|STP|STAWKA|DO_ROZL|STK".
    QStringList Settlement() {
        return Rows(dm, "select NR_OPER, IDJEDN, STP, STAWKA, DO_ROZL, STK from KZM_RWODA "
                        "where DATA = " +
                            plan::Lit(dtk) + " order by NR_OPER");
    }

    QString Rzl(int nr, int cywil, const char* kwota) {
        return Row(dm, QStringLiteral("execute procedure PKZM_RZL_WODA_1(%1, %2, 0, %3, %4, %5)")
                           .arg(nr)
                           .arg(cywil)
                           .arg(QLatin1String(kwota))
                           .arg(plan::Lit(dtp))
                           .arg(plan::Lit(dtk)));
    }

    void OpenMonth(int wskDel) {
        Exec(dm, QStringLiteral("execute procedure PKZM_OPEN_WODA_1(%1, %2, %3, %4)")
                     .arg(plan::Lit(dstp))
                     .arg(plan::Lit(dtp))
                     .arg(plan::Lit(dtk))
                     .arg(wskDel));
    }

    // Plan rows of a person: `days` rows from `from` on, with RWODA and the water amount given
    // (nullptr for a row without an amount).
    void PlanDays(int nr, const QDate& from, int days, int rwoda, const char* stawkaWoda) {
        for (int i = 0; i < days; ++i)
            Exec(dm, QStringLiteral("insert into KZM_DANE (DATA, NR_OPER, IDZDARZ, RWODA, "
                                    "STAWKA_WODA) values (%1, %2, 1, %3, %4)")
                         .arg(plan::Lit(from.addDays(i)))
                         .arg(nr)
                         .arg(rwoda)
                         .arg(stawkaWoda ? QLatin1String(stawkaWoda) : QLatin1String("null")));
    }
};

// The soldiers' drinks: water and two others, shares as the price refresh leaves them.
const std::vector<Drink> soldierDrinks = {
    {"A", 0, 1, "2.00", "40", {{"2.00", "01.01.2025"}}},
    {"B", 0, 1, "3.00", "60", {{"3.00", "01.01.2025"}}},
    {"W", 1, 0, "1.50", "20", {{"1.50", "01.01.2025"}}},
};

TEST_F(DrinksTest, PriceRefreshTakesPricesOfTheDayAndSplitsTheSharesByPrice) {
    const struct {
        const char* what;
        std::vector<Drink> drinks;
        QStringList expected; // KOD|CENA|PROCENT in KOD order
    } cases[] = {
        {"shares in proportion to the prices; a later price and an earlier one of the same day "
         "are not used",
         {{"A", 0, 1, "0", "0", {{"1.80", "01.01.2025"}, {"2.00", "01.01.2025"}}},
          {"B", 0, 1, "0", "0", {{"2.50", "01.02.2025"}, {"3.00", "31.03.2025"}}},
          {"W", 1, 0, "0", "0", {{"1.50", "01.01.2025"}, {"9.99", "01.04.2025"}}}},
         {"A|2.00|40.00", "B|3.00|60.00", "W|1.50|20.00"}},
        {"the first of the other drinks takes the rounding difference; a drink without any "
         "price costs 0",
         {{"A", 0, 1, "5", "5", {{"1.00", "01.01.2025"}}},
          {"B", 0, 1, "5", "5", {{"1.00", "01.01.2025"}}},
          {"C", 0, 1, "5", "5", {{"1.00", "01.01.2025"}}},
          {"D", 0, 1, "5", "5", {}},
          {"W", 1, 0, "5", "5", {{"1.00", "01.04.2025"}}}},
         {"A|1.00|33.34", "B|1.00|33.33", "C|1.00|33.33", "D|0.00|0.00", "W|0.00|20.00"}},
        {"other drinks all free: their shares stay and only the difference to 100 is added",
         {{"A", 0, 1, "9", "50", {}}, {"B", 0, 1, "9", "30", {}}, {"W", 1, 0, "9", "9", {}}},
         {"A|0.00|70.00", "B|0.00|30.00", "W|0.00|20.00"}},
    };
    for (const auto& c : cases) {
        Drinks(c.drinks);
        Exec(dm, "execute procedure PKZM_INIT_CENY_NAP(" + plan::Lit(dtk) + ")");
        EXPECT_EQ(Rows(dm, "select KOD, CENA, PROCENT from KZM_NAPOJE order by KOD"), c.expected)
            << c.what;
    }
}

TEST_F(DrinksTest, ValueIsConvertedIntoDrinksAndTheRestCarriedOver) {
    const struct {
        const char* what;
        int cywil;
        const char* kwota;
        std::vector<Drink> drinks;
        QString stk;
        QStringList given; // person|drink|units|price|value
    } cases[] = {
        {"soldier: water 6.00 of 6.00, drinks 9.60 and 14.40 buy 8.00 and 12.00",
         0,
         "30.00",
         soldierDrinks,
         "4.00",
         {"101|A|4|2.00|8.00", "101|B|4|3.00|12.00", "101|W|4|1.50|6.00"}},
        {"soldier: free water gives its whole share to the balance and no water row",
         0,
         "30.00",
         {soldierDrinks[0], soldierDrinks[1], {"W", 1, 0, "0", "20", {}}},
         "10.00",
         {"101|A|4|2.00|8.00", "101|B|4|3.00|12.00"}},
        {"soldier: halves of shares round up (8.05 into 4.03 twice), the rounding difference "
         "comes off the balance",
         0,
         "10.06",
         {{"A", 0, 0, "5.00", "50", {}}, {"B", 0, 0, "5.00", "50", {}}, soldierDrinks[2]},
         "8.56",
         {"101|W|1|1.50|1.50"}},
        {"soldier: without a water drink the whole value goes to the other drinks (4.40 and 6.60)",
         0,
         "11.00",
         {soldierDrinks[0], soldierDrinks[1]},
         "1.00",
         {"101|A|2|2.00|4.00", "101|B|2|3.00|6.00"}},
        {"civilian: 10.00 over three drinks at 1.00 is 3.33 each, 3 units each",
         1,
         "10.00",
         {{"A", 0, 1, "0", "0", {{"1.00", "01.01.2025"}}},
          {"B", 0, 1, "0", "0", {{"1.00", "01.03.2025"}}},
          {"C", 1, 1, "0", "0", {{"1.00", "01.02.2025"}}},
          // priced only after the first day of the month, not for civilians: no share
          {"D", 0, 1, "0", "0", {{"1.00", "02.03.2025"}}},
          {"E", 0, 0, "0", "0", {{"1.00", "01.01.2025"}}}},
         "1.00",
         {"101|A|3|1.00|3.00", "101|B|3|1.00|3.00", "101|C|3|1.00|3.00"}},
        {"civilian: a share too small for the price stays whole; the first day's price holds",
         1,
         "5.00",
         {{"A", 0, 1, "0", "0", {{"9.00", "01.01.2025"}, {"2.00", "01.03.2025"}}},
          {"B", 0, 1, "0", "0", {{"3.00", "01.01.2025"}}}},
         "3.00",
         {"101|A|1|2.00|2.00"}},
        {"civilian: a drink priced before but free on the first day keeps its share in the "
         "balance",
         1,
         "9.00",
         {{"A", 0, 1, "0", "0", {{"1.00", "01.01.2025"}, {"0.00", "01.02.2025"}}},
          {"B", 0, 1, "0", "0", {{"2.00", "01.01.2025"}}}},
         "5.00",
         {"101|B|2|2.00|4.00"}},
        {"civilian: no drink priced for civilians, nothing given out",
         1,
         "7.77",
         {{"A", 0, 1, "0", "0", {{"0.00", "01.01.2025"}}},
          {"B", 0, 0, "0", "0", {{"2.00", "01.01.2025"}}}},
         "7.77",
         {}},
    };
    for (const auto& c : cases) {
        Drinks(c.drinks);
        // what was given out before for the day goes, other days and persons stay
        Exec(dm, "insert into KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, WARTOSC) values "
                 "('31.03.2025', 101, -5, 9, 9, 81)");
        Exec(dm, "insert into KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, WARTOSC) values "
                 "('28.02.2025', 101, -5, 1, 1, 1)");
        EXPECT_EQ(Rzl(101, c.cywil, c.kwota), c.stk) << c.what;
        EXPECT_EQ(GivenOut(), c.given) << c.what;
        Exec(dm, "delete from KZM_RZLWODA");
    }
}

TEST_F(DrinksTest, OpeningSettlesEveryPersonFromTheMonthsWaterDays) {
    Drinks(soldierDrinks);
    Exec(dm, "insert into KZM_KART (NR_OPER, NR_IDENT, NAZWISKO) values (5001, 'C5001', 'CYWIL')");
    Exec(dm, "insert into KZM_KART (NR_OPER, NR_IDENT, NAZWISKO) values (6000, 'C6000', 'OBCY')");
    Exec(dm, "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (5001, " +
                 QString::number(f.unitA) + ", 20, '01.01.2025')");
    // Closing balances of February.
    Exec(dm, "insert into KZM_RWODA (DATA, NR_OPER, STP, STAWKA, DO_ROZL, STK) values "
             "('28.02.2025', 101, 0, 0, 0, 2.00)");
    Exec(dm, "insert into KZM_RWODA (DATA, NR_OPER, STP, STAWKA, DO_ROZL, STK) values "
             "('28.02.2025', 102, 0, 0, 0, 5.00)");
    // 101: 28.00 earned in March (days outside the month and days without water do not count)
    PlanDays(101, dtp, 8, 1, "3.50");
    PlanDays(101, dtp.addDays(8), 5, 0, "3.50");
    PlanDays(101, QDate(2025, 2, 27), 2, 1, "3.50");
    PlanDays(101, QDate(2025, 4, 1), 1, 1, "3.50");
    // 102: no water day in March; drinks left from an earlier settlement of the day go
    PlanDays(102, dtp, 10, 0, "3.10");
    Exec(dm, "insert into KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, WARTOSC) values "
             "('31.03.2025', 102, -5, 9, 9, 81)");
    // 103: a water day without an amount adds nothing, the others still count: 6.60
    PlanDays(103, dtp, 2, 1, "3.30");
    PlanDays(103, dtp.addDays(2), 1, 1, nullptr);
    // 5001, a civilian: 10.00 over A and B (2.00 and 3.00) is 5.00 each
    PlanDays(5001, dtp, 4, 1, "2.50");
    PlanDays(6000, dtp, 4, 1, "2.50");

    OpenMonth(0);

    const QString a = QString::number(f.unitA), b = QString::number(f.unitB),
                  c = QString::number(f.unitC);
    EXPECT_EQ(Settlement(), (QStringList{
                                // 2.00 + 28.00 = 30.00 gives 4.00 as in the conversion above
                                "101|" + a + "|2.00|0.00|28.00|4.00",
                                // February's balance is not used in a month without water
                                "102|" + b + "|0.00|0.00|0.00|0.00",
                                // water 1.32 buys none; 2.11 and 3.17 buy one of each
                                "103|" + c + "|0.00|0.00|6.60|1.60",
                                "104|" + c + "|0.00|0.00|0.00|0.00",
                                "105|-|0.00|0.00|0.00|0.00",
                                "5001|" + a + "|0.00|0.00|10.00|3.00",
                            }));
    EXPECT_EQ(GivenOut(),
              (QStringList{"101|A|4|2.00|8.00", "101|B|4|3.00|12.00", "101|W|4|1.50|6.00",
                           "103|A|1|2.00|2.00", "103|B|1|3.00|3.00", "5001|A|2|2.00|4.00",
                           "5001|B|1|3.00|3.00"}));
}

TEST_F(DrinksTest, OpeningAgainKeepsAmountsUntilCreatedAgain) {
    Drinks(soldierDrinks);
    PlanDays(101, dtp, 10, 1, "3.00");
    OpenMonth(0);
    const QString a = QString::number(f.unitA), c = QString::number(f.unitC);
    ASSERT_EQ(Row(dm, "select IDJEDN, STP, DO_ROZL, STK from KZM_RWODA where NR_OPER = 101"),
              a + "|0.00|30.00|4.00");

    // More water days, a new unit and a new person before the second opening.
    PlanDays(101, dtp.addDays(10), 2, 1, "3.00");
    Exec(dm, "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, " + c +
                 ", 20, '20.03.2025')");
    Exec(dm, "insert into KZM_KART (NR_OPER, NR_IDENT, NAZWISKO) values (106, 'K106', 'NOWY')");
    PlanDays(106, dtp, 1, 1, "3.00");
    const QStringList givenBefore = GivenOut();

    OpenMonth(0);
    EXPECT_EQ(Row(dm, "select IDJEDN, STP, DO_ROZL, STK from KZM_RWODA where NR_OPER = 101"),
              c + "|0.00|30.00|4.00");
    EXPECT_EQ(Row(dm, "select count(*) from KZM_RWODA where NR_OPER = 101"), "1");
    EXPECT_EQ(Row(dm, "select IDJEDN, STP, DO_ROZL, STK from KZM_RWODA where NR_OPER = 106"),
              "-|0.00|3.00|3.00");
    EXPECT_EQ(GivenOut(), givenBefore);

    // Created again: 36.00 gives water 7.20 (4 units, 1.20 left), 28.80 into 11.52 (5 units,
    // 1.52 left) and 17.28 (5 units, 2.28 left).
    OpenMonth(1);
    EXPECT_EQ(Row(dm, "select IDJEDN, STP, DO_ROZL, STK from KZM_RWODA where NR_OPER = 101"),
              c + "|0.00|36.00|5.00");
    EXPECT_EQ(Row(dm, "select count(*) from KZM_RWODA where DATA = '31.03.2025'"), "6");
    EXPECT_EQ(Rows(dm, "select N.KOD, R.ILOSC from KZM_RZLWODA R join KZM_NAPOJE N on N.ID = "
                       "R.IDNAPOJ where R.NR_OPER = 101 order by N.KOD"),
              (QStringList{"A|5", "B|5", "W|4"}));
}

TEST_F(DrinksTest, SettlingARowTakesTheBalanceTypedOrCarried) {
    Drinks(soldierDrinks);
    PlanDays(101, dtp, 8, 1, "3.50");
    Exec(dm, "insert into KZM_RWODA (DATA, NR_OPER, STP, STAWKA, DO_ROZL, STK) values "
             "('28.02.2025', 101, 0, 0, 0, 2.00)");
    OpenMonth(0);
    const QString id =
        Row(dm, "select ID from KZM_RWODA where NR_OPER = 101 and DATA = " + plan::Lit(dtk));
    const QString id102 =
        Row(dm, "select ID from KZM_RWODA where NR_OPER = 102 and DATA = " + plan::Lit(dtk));
    const auto settle = [&](int wska, const char* mStp, const QString& row, int nr) {
        Exec(dm, QStringLiteral("execute procedure PKZM_INIT_WODA0_1(%1, %2, %3, %4, %5, %6, %7)")
                     .arg(wska)
                     .arg(QLatin1String(mStp))
                     .arg(row)
                     .arg(nr)
                     .arg(plan::Lit(dstp))
                     .arg(plan::Lit(dtp))
                     .arg(plan::Lit(dtk)));
        return Row(dm, "select STP, DO_ROZL, STK from KZM_RWODA where ID = " + row);
    };
    const struct {
        const char* what;
        int wska;
        const char* mStp;
        bool own;
        QString expected;
    } cases[] = {
        // typed 10.00 + 28.00: water 7.60 (5 units, 0.10 left), 30.40 into 12.16 and 18.24
        // (6 units each, 0.16 and 0.24 left)
        {"typed opening balance", 1, "10.00", true, "10.00|28.00|0.50"},
        // the balance passed is ignored while February's closing balance exists
        {"carried balance of the month before", 0, "7.00", true, "2.00|28.00|4.00"},
        {"a month without water keeps the balance passed", 0, "7.25", false, "7.25|0.00|7.25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(settle(c.wska, c.mStp, c.own ? id : id102, c.own ? 101 : 102), c.expected)
            << c.what;

    // Without February's row the row's own opening balance is used.
    Exec(dm, "delete from KZM_RWODA where DATA = '28.02.2025'");
    Exec(dm, "update KZM_RWODA set STP = 10.00 where ID = " + id);
    EXPECT_EQ(settle(0, "0", id, 101), "10.00|28.00|0.50");
    EXPECT_EQ(Rows(dm, "select N.KOD, R.ILOSC from KZM_RZLWODA R join KZM_NAPOJE N on N.ID = "
                       "R.IDNAPOJ where R.NR_OPER = 101 order by N.KOD"),
              (QStringList{"A|6", "B|6", "W|5"}));
}

} // namespace
