// Payout lists of a period (PKZM_RP02_3, the older PKZM_RP02_2), what is still due at later amounts
// (PKZM_RP011, PKZM_RP011_1) and the drinks given out (PKZM_RP03).

#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using plan::Exec;
using plan::Lit;
using plan::PlanId;
using plan::Rows;

QString n(int v) {
    return QString::number(v);
}

// Three plan days, 10 to 12 March, priced 020 10.00, 030 15.00, 110 7.00, lunch 5.50:
//   101 unit A (10) at 020: K, K, P60; the last day's food amount changed to 11.00
//   102 unit B (20) at 030: K with S2 (200 %), K with S1 (0 %), no event type
//   103 no unit, no rate: an event type that pays nothing, so its line stays out
//   104 unit C (30) at 030: P60, K, no event type; its 110 amount is 7.15 on every day, so
//       70 % and 150 % of it end in a half (5.005 and 10.725)
// A later price list from 20 March: 030 16.00, 110 8.00, lunch 6.00 (020 is 99.00 by then).
class PayoutTest : public plan::PlanTest {
protected:
    void SetUp() override {
        plan::PlanTest::SetUp();
        if (HasFatalFailure())
            return;
        Exec(dm, "insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, "
                 "OB, KO, WODA) values (9, 4, 'BZ', 'BEZ ZAPLATY', 0, 0, 0, 0, 0, 0)");
        const int evNone = dm.ReadInteger("ID", "select ID from KZM_ZDARZ where SKROT = 'BZ'", -1);
        for (int d = 10; d <= 12; ++d)
            plan::OpenPlan(dm, QDate(2025, 3, d), 0);
        const auto event = [&](int nr, int d, int ev) {
            plan::EnterEvent(dm, PlanId(dm, nr, QDate(2025, 3, d)), ev);
        };
        const auto correction = [&](int nr, int d, int idp) {
            plan::EnterCorrection(dm, PlanId(dm, nr, QDate(2025, 3, d)), idp, 0,
                                  Lit(QDate(2025, 3, d)));
        };
        event(101, 10, f.evFull);
        event(101, 11, f.evFull);
        event(101, 12, f.evP60);
        Exec(dm, "update KZM_DANE set STAWKA = 11.00 where NR_OPER = 101 and DATA = '12.03.2025'");
        event(102, 10, f.evFull);
        correction(102, 10, 2);
        event(102, 11, f.evFull);
        correction(102, 11, 1);
        event(103, 10, evNone);
        event(104, 10, f.evP60);
        event(104, 11, f.evFull);
        Exec(dm, "update KZM_DANE set STAWKA_110 = 7.15 where NR_OPER = 104");
        Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (30, 16.00, '20.03.2025')");
        Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (40, 8.00, '20.03.2025')");
        Exec(dm, "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (992, 6.00, '20.03.2025')");
    }

    QStringList lines(const QString& call) {
        return Rows(dm, "select * from " + call + " order by NR_OPER, IDSTAWKA");
    }
};

// Columns: NUMER|STOPIEN|NAZWISKO|NR_OPER|IDSTAWKA|STAWKA|KWOTA|STAWKA200|I200|KWOTA200|
// STAWKA100|I100|KWOTA100|STAWKA60|I60|KWOTA60|DOPL_110|DOPL_D070|ID070|KWOTA_D070|DOPL_D150|
// ID150|KWOTA_D150
TEST_F(PayoutTest, PayoutListOfAPeriod) {
    const QString p101 = "10|szer.|KOWALSKI JAN|101|20|11.00|47.80|22.00|0.0|0.00|11.00|2.0|22.00|"
                         "5.50|1.0|5.50|7.00|4.90|2.0|9.80|10.50|1.0|10.50";
    const QString p102 = "20|kpr.|NOWAK ADAM|102|30|15.00|39.80|30.00|1.0|30.00|15.00|0.0|0.00|"
                         "9.50|0.0|0.00|7.00|4.90|2.0|9.80|10.50|0.0|0.00";
    const QString p104 = "30|szer.|LIS EWA|104|30|15.00|40.24|30.00|0.0|0.00|15.00|1.0|15.00|"
                         "9.50|1.0|9.50|7.15|5.01|1.0|5.01|10.73|1.0|10.73";
    const struct {
        const char* what;
        QString call;
        QStringList expected;
    } cases[] = {
        {"all units; zero plays no part",
         "PKZM_RP02_3('10.03.2025', '12.03.2025', -1, 1)",
         {p101, p102, p104}},
        {"one unit",
         QStringLiteral("PKZM_RP02_3('01.03.2025', '31.03.2025', %1, 0)").arg(f.unitB),
         {p102}},
        // 101's last day alone: the 60 % day at 11.00 less the lunch, 110 at 150 %
        {"one day",
         "PKZM_RP02_3('12.03.2025', '12.03.2025', -1, 0)",
         {"10|szer.|KOWALSKI JAN|101|20|11.00|16.00|22.00|0.0|0.00|11.00|0.0|0.00|5.50|1.0|5.50|"
          "7.00|4.90|0.0|0.00|10.50|1.0|10.50"}},
        {"a period without plan rows", "PKZM_RP02_3('01.04.2025', '30.04.2025', -1, 0)", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lines(c.call), c.expected) << c.what;
}

// What is still due at the amounts of 20 March: the differences to the amounts the days were
// paid at, a 60 % day as the difference less the lunch difference (PKZM_RP011) or as 60 % of
// it (PKZM_RP011_1). On 1 March every amount is at or below what was paid: nothing is due.
TEST_F(PayoutTest, WhatIsStillDueAtLaterAmounts) {
    const struct {
        const char* what;
        QString call;
        QStringList expected;
    } cases[] = {
        {"less the lunch",
         "PKZM_RP011('20.03.2025', '10.03.2025', '12.03.2025', -1)",
         {"10|szer.|KOWALSKI JAN|101|20|88.00|266.40|176.00|0.0|0.00|88.00|2.0|176.00|87.50|1.0|"
          "87.50|1.00|0.70|2.0|1.40|1.50|1.0|1.50",
          "20|kpr.|NOWAK ADAM|102|30|1.00|3.40|2.00|1.0|2.00|1.00|0.0|0.00|0.50|0.0|0.00|1.00|"
          "0.70|2.0|1.40|1.50|0.0|0.00",
          "30|szer.|LIS EWA|104|30|1.00|3.38|2.00|0.0|0.00|1.00|1.0|1.00|0.50|1.0|0.50|0.85|0.60|"
          "1.0|0.60|1.28|1.0|1.28"}},
        {"60 % of the difference",
         "PKZM_RP011_1('20.03.2025', '10.03.2025', '12.03.2025', -1)",
         {"10|szer.|KOWALSKI JAN|101|20|88.00|231.70|176.00|0.0|0.00|88.00|2.0|176.00|52.80|1.0|"
          "52.80|1.00|0.70|2.0|1.40|1.50|1.0|1.50",
          "20|kpr.|NOWAK ADAM|102|30|1.00|3.40|2.00|1.0|2.00|1.00|0.0|0.00|0.60|0.0|0.00|1.00|"
          "0.70|2.0|1.40|1.50|0.0|0.00",
          "30|szer.|LIS EWA|104|30|1.00|3.48|2.00|0.0|0.00|1.00|1.0|1.00|0.60|1.0|0.60|0.85|0.60|"
          "1.0|0.60|1.28|1.0|1.28"}},
        {"one unit",
         QStringLiteral("PKZM_RP011_1('20.03.2025', '10.03.2025', '12.03.2025', %1)").arg(f.unitC),
         {"30|szer.|LIS EWA|104|30|1.00|3.48|2.00|0.0|0.00|1.00|1.0|1.00|0.60|1.0|0.60|0.85|0.60|"
          "1.0|0.60|1.28|1.0|1.28"}},
        {"earlier amounts give nothing",
         "PKZM_RP011('01.03.2025', '10.03.2025', '12.03.2025', -1)",
         {}},
        {"earlier amounts give nothing",
         "PKZM_RP011_1('01.03.2025', '10.03.2025', '12.03.2025', -1)",
         {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lines(c.call), c.expected) << c.what;
}

// The older list: one line per set of amounts, each line counting only its own days (the
// 110 days included), no 200 % days; PZERO 1 also shows the lines that pay nothing.
// Columns: NUMER|STOPIEN|NAZWISKO|NR_OPER|ILOSC_DNI|IDSTAWKA|STAWKA|STAWKA100|STAWKA60|KWOTA|
// I100|KWOTA100|I60|KWOTA60|DOPL_110|ILOSC_DNI110|ID070|ID150|DOPL_D070|KWOTA_D070|DOPL_D150|
// KWOTA_D150
TEST_F(PayoutTest, OlderListByAmounts) {
    const QString p101a = "10|szer.|KOWALSKI JAN|101|2.0|20|10.00|10.00|4.50|29.80|2.0|20.00|0.0|"
                          "0.00|7.00|2.0|2.0|0.0|4.90|9.80|10.50|0.00";
    const QString p101b = "10|szer.|KOWALSKI JAN|101|1.0|20|11.00|11.00|5.50|16.00|0.0|0.00|1.0|"
                          "5.50|7.00|1.0|0.0|1.0|4.90|0.00|10.50|10.50";
    const QString p102 = "20|kpr.|NOWAK ADAM|102|2.0|30|15.00|15.00|9.50|9.80|0.0|0.00|0.0|0.00|"
                         "7.00|2.0|2.0|0.0|4.90|9.80|10.50|0.00";
    const QString p103 = "-||ZIELINSKI OLEK|103|1.0|-|0.00|0.00|-5.50|0.00|0.0|0.00|0.0|0.00|7.00|"
                         "0.0|0.0|0.0|4.90|0.00|10.50|0.00";
    const QString p104 = "30|szer.|LIS EWA|104|2.0|30|15.00|15.00|9.50|40.24|1.0|15.00|1.0|9.50|"
                         "7.15|2.0|1.0|1.0|5.01|5.01|10.73|10.73";
    const struct {
        const char* what;
        QString args;
        QStringList expected;
    } cases[] = {
        {"lines that pay", "'10.03.2025', '12.03.2025', -1, 0", {p101a, p101b, p102, p104}},
        {"every line", "'10.03.2025', '12.03.2025', -1, 1", {p101a, p101b, p102, p103, p104}},
        {"one unit",
         QStringLiteral("'10.03.2025', '12.03.2025', %1, 1").arg(f.unitA),
         {p101a, p101b}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Rows(dm, "select * from PKZM_RP02_2(" + c.args + ") order by NR_OPER, STAWKA"),
                  c.expected)
            << c.what;
}

// Drinks given out on the closing day, in five slots by drink key; six drinks, volumes 0.50,
// 1.00, 0.33, 1.50, 0.25 and 2.00. 101 got only the fifth drink, 102 only the sixth (not
// shown), 104 the first two.
class DrinksListTest : public plan::PlanTest {
protected:
    void SetUp() override {
        plan::PlanTest::SetUp();
        if (HasFatalFailure())
            return;
        const char* volumes[] = {"0.50", "1.00", "0.33", "1.50", "0.25", "2.00"};
        Exec(dm, "delete from KZM_NAPOJE"); // the water a new database starts with
        for (int i = 0; i < 6; ++i) {
            Exec(dm, QStringLiteral("insert into KZM_NAPOJE (KOD, NAZWA, POJEMNOSC, ROZLPC, WODA, "
                                    "CENA, PROCENT) values ('N%1', 'NAPOJ %1', %2, 1, 0, 1, 0)")
                         .arg(i + 1)
                         .arg(QLatin1String(volumes[i])));
            drink[i] = dm.ReadInteger(
                "ID", QStringLiteral("select ID from KZM_NAPOJE where KOD = 'N%1'").arg(i + 1), -1);
        }
        const auto settlement = [&](int nr, int unit) {
            Exec(dm, QStringLiteral("insert into KZM_RWODA (DATA, IDJEDN, NR_OPER, STP, STAWKA, "
                                    "DO_ROZL, STK) values ('31.03.2025', %1, %2, 0, 0, 0, 0)")
                         .arg(unit)
                         .arg(nr));
        };
        const auto given = [&](const char* date, int nr, int k, int units) {
            Exec(dm, QStringLiteral("insert into KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, "
                                    "WARTOSC) values ('%1', %2, %3, %4, 1, %4)")
                         .arg(QLatin1String(date))
                         .arg(nr)
                         .arg(drink[k - 1])
                         .arg(units));
        };
        settlement(101, f.unitA);
        settlement(102, f.unitB);
        settlement(104, f.unitC);
        given("31.03.2025", 101, 5, 2);
        given("28.02.2025", 101, 1, 7); // another month's drinks do not count
        given("31.03.2025", 102, 6, 3);
        given("31.03.2025", 104, 1, 4);
        given("31.03.2025", 104, 2, 1);
    }
    int drink[6] = {};

    QStringList lines(const QString& args) {
        return Rows(dm, "select * from PKZM_RP03(" + args + ") order by NR_OPER");
    }
};

// Columns: numer|nr_oper|stopien|nazwisko|idnapoj|ilosc01|ilosc_l01|...|ilosc05|ilosc_l05
TEST_F(DrinksListTest, FiveSlotsAndTheLinesShown) {
    const QString last = n(drink[5]);
    const QString p101 =
        "10|101|szer.|KOWALSKI JAN|" + last + "|0|0.00|0|0.00|0|0.00|0|0.00|2|0.50";
    const QString p102 = "20|102|kpr.|NOWAK ADAM|" + last + "|0|0.00|0|0.00|0|0.00|0|0.00|0|0.00";
    const QString p104 = "30|104|szer.|LIS EWA|" + last + "|4|2.00|1|1.00|0|0.00|0|0.00|0|0.00";
    const struct {
        const char* what;
        QString args;
        QStringList expected;
    } cases[] = {
        {"only drinks shown", "'31.03.2025', -1, 0", {p101, p104}},
        {"every settlement", "'31.03.2025', -1, 1", {p101, p102, p104}},
        {"one unit", QStringLiteral("'31.03.2025', %1, 0").arg(f.unitA), {p101}},
        {"another closing day", "'28.02.2025', -1, 1", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lines(c.args), c.expected) << c.what;
}

TEST_F(DrinksListTest, SlotsBeyondTheDrinksStayEmpty) {
    Exec(dm, "delete from KZM_NAPOJE where ID > " + n(drink[2]));
    EXPECT_EQ(
        lines("'31.03.2025', -1, 1"),
        QStringList({"10|101|szer.|KOWALSKI JAN|" + n(drink[2]) + "|0|0.00|0|0.00|0|0.00|-|-|-|-",
                     "20|102|kpr.|NOWAK ADAM|" + n(drink[2]) + "|0|0.00|0|0.00|0|0.00|-|-|-|-",
                     "30|104|szer.|LIS EWA|" + n(drink[2]) + "|4|2.00|1|1.00|0|0.00|-|-|-|-"}));
}

} // namespace
