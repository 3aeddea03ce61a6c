// Monthly cost analysis: opening it from the month's counts (PKZM_OPEN_ANALIZA) and its
// report (PKZM_RP08).

#include "fb/Error.h"
#include "procedures/PlanFixture.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using plan::Exec;
using plan::Row;
using plan::Rows;

constexpr long multipleRows = 335544652; // multiple rows in singleton select

const QString dtp = QStringLiteral("'01.03.2025'");
const QString dtk = QStringLiteral("'31.03.2025'");

class AnalysisTest : public plan::PlanTest {
protected:
    void SetUp() override {
        plan::PlanTest::SetUp();
        if (HasFatalFailure())
            return;
        // Besides the fixture's K (1, 1) and P60 (3, 2): BN, one printed type without days in
        // the month and one that is not printed.
        for (const char* z :
             {"5, 2, 'BN', 'BEZ NALEZNOSCI'", "7, 2, 'Z', 'ZERO'", "9, 0, 'NP', 'NIEDRUKOWANY'"})
            Exec(dm, QStringLiteral("insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, "
                                    "STAWKA_DW110, SN, OB, KO, WODA) values (%1, 100, 0, 1, 1, 1, "
                                    "1)")
                         .arg(QLatin1String(z)));
        bn = Row(dm, "select ID from KZM_ZDARZ where SKROT = 'BN'");
        zero = Row(dm, "select ID from KZM_ZDARZ where SKROT = 'Z'");
        np = Row(dm, "select ID from KZM_ZDARZ where SKROT = 'NP'");
    }

    void Day(int nr, const char* day, const QString& zdarz) {
        Exec(dm, QStringLiteral("insert into KZM_DANE (DATA, NR_OPER, IDZDARZ, IDSTAWKA, RWODA, "
                                "RSTAWKA_DW, RSTAWKA_DW110, STAWKA_DW110, POPRAWKA, S5) values "
                                "('%1', %2, %3, 20, 0, 100, 0, 0, 0, 0)")
                     .arg(QLatin1String(day))
                     .arg(nr)
                     .arg(zdarz));
    }

    // The code of the server's error for a statement run in its own transaction; 0 when it
    // succeeds. Nothing of a failed statement stays.
    long ServerError(const QString& sql) {
        try {
            dm.IBTrans.rollback();
            dm.IBTrans.start();
            dm.IBQ.setSql(sql);
            dm.IBQ.execSql();
            dm.IBTrans.commit();
            return 0;
        } catch (const fb::Error& e) {
            dm.IBTrans.rollbackQuietly();
            return e.code();
        }
    }

    QStringList Opened() {
        return Rows(dm, "select DATA, WSK, NAZWA, GRW, LPW, ILOSC, STAWKA, NARZUT, WARTOSC, IDA "
                        "from KZM_ANALIZA order by DATA, GRW, LPW, NAZWA");
    }

    QString bn, zero, np;
};

TEST_F(AnalysisTest, OpeningWritesALinePerEventTypeColumnOfTheMonth) {
    const QString k = QString::number(f.evFull), p60 = QString::number(f.evP60);
    Day(101, "10.03.2025", k);
    Day(102, "10.03.2025", k);
    Day(101, "31.03.2025", k);
    Day(101, "28.02.2025", k); // other months do not count
    Day(101, "01.04.2025", k);
    Day(103, "01.03.2025", p60);
    Day(104, "15.03.2025", p60);
    for (const char* d : {"02.03.2025", "03.03.2025", "04.03.2025", "05.03.2025"})
        Day(105, d, bn);
    Day(102, "11.03.2025", np);
    // Lines kept from before: the window's own without a print group, another month's, and an
    // old opening of this month that is replaced.
    Exec(dm, "insert into KZM_ANALIZA (DATA, WSK, NAZWA, GRW, IDA) values (" + dtk +
                 ", 'X', 'WLASNA', null, 0)");
    Exec(dm, "insert into KZM_ANALIZA (DATA, WSK, NAZWA, GRW, LPW, ILOSC, IDA) values "
             "('28.02.2025', '', 'LUTY', 1, 1, 8, -1)");
    Exec(dm, "insert into KZM_ANALIZA (DATA, WSK, NAZWA, GRW, LPW, ILOSC, IDA) values (" + dtk +
                 ", '', 'STARA', 1, 1, 99, -1)");

    const QStringList expected{
        "28.02.2025||LUTY|1|1|8|-|-|-|-1",
        "31.03.2025|X|WLASNA|-|-|-|-|-|-|0",
        "31.03.2025||K|1|1|3|0.00|0.00|0.00|-1",
        // a printed event type without days still gets its line; BN and NP get none
        "31.03.2025||Z|2|7|0|0.00|0.00|0.00|-1",
        "31.03.2025||P60|3|2|2|0.00|0.00|0.00|-1",
        // the event type that the start-up conversions add to every database
        "31.03.2025||SŁNBW|3|20|0|0.00|0.00|0.00|-1",
    };
    Exec(dm, "execute procedure PKZM_OPEN_ANALIZA(" + dtp + ", " + dtk + ")");
    EXPECT_EQ(Opened(), expected);
    EXPECT_EQ(
        Row(dm, "select count(*) from KZM_ANALIZA where IDZDARZ = " + k + " and DATA = " + dtk),
        "1");
    // Opening again gives the same lines, not a second set.
    Exec(dm, "execute procedure PKZM_OPEN_ANALIZA(" + dtp + ", " + dtk + ")");
    EXPECT_EQ(Opened(), expected);

    // Without an event type BN its column is analysed like any other.
    Exec(dm, "update KZM_ZDARZ set SKROT = 'BX' where ID = " + bn);
    Exec(dm, "execute procedure PKZM_OPEN_ANALIZA(" + dtp + ", " + dtk + ")");
    EXPECT_EQ(Row(dm, "select IDZDARZ, NAZWA, GRW, LPW, ILOSC from KZM_ANALIZA where NAZWA = 'BX'"),
              bn + "|BX|2|5|4");
}

TEST_F(AnalysisTest, ReportLeavesOutBnAndPricesTheLines) {
    const QString k = QString::number(f.evFull), p60 = QString::number(f.evP60);
    const auto line = [&](const QString& date, const char* grw, const char* lpw, const char* wsk,
                          const QString& zdarz, const char* nazwa, const char* rest) {
        Exec(dm, QStringLiteral("insert into KZM_ANALIZA (DATA, GRW, LPW, WSK, IDZDARZ, NAZWA, "
                                "ILOSC, STAWKA, NARZUT, WARTOSC, IDA) values ('%1', %2, %3, '%4', "
                                "%5, '%6', %7, -1)")
                     .arg(date, QLatin1String(grw), QLatin1String(lpw), QLatin1String(wsk), zdarz,
                          QLatin1String(nazwa), QLatin1String(rest)));
    };
    line("31.03.2025", "1", "1", "A", k, "K DOD", "2, 0.25, 0, 0.50");
    line("31.03.2025", "1", "1", "", k, "K", "3, 12.50, 1.10, 41.00");
    line("15.03.2025", "null", "null", "X", "null", "INNE", "1, 5.00, 0, 5.00");
    line("31.03.2025", "2", "5", "", bn, "BN", "4, 1.00, 1.00, 8.00");
    line("01.03.2025", "3", "2", "", p60, "P60", "2, 7.33, 0.50, 15.66");
    line("28.02.2025", "1", "1", "", k, "K", "9, 1.00, 1.00, 9.00");
    line("01.04.2025", "1", "1", "", k, "K", "9, 1.00, 1.00, 9.00");

    const QString report = "select * from PKZM_RP08(" + dtp + ", " + dtk + ")";
    QStringList expected{
        "-|X|INNE|1|5.00|0.00|5.00|0.00|5.00",
        k + "||K|3|12.50|1.10|37.50|3.30|41.00",
        k + "|A|K DOD|2|0.25|0.00|0.50|0.00|0.50",
        p60 + "||P60|2|7.33|0.50|14.66|1.00|15.66",
    };
    EXPECT_EQ(Rows(dm, report), expected);

    Exec(dm, "update KZM_ZDARZ set SKROT = 'BX' where ID = " + bn);
    expected.insert(3, bn + "||BN|4|1.00|1.00|4.00|4.00|8.00");
    EXPECT_EQ(Rows(dm, report), expected);
}

TEST_F(AnalysisTest, AmbiguousEventTypesAreRefusedByTheServer) {
    Day(101, "10.03.2025", QString::number(f.evFull));
    const QString open = "execute procedure PKZM_OPEN_ANALIZA(" + dtp + ", " + dtk + ")";
    const QString report = "select * from PKZM_RP08(" + dtp + ", " + dtk + ")";

    // two event types BN
    Exec(dm, "insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA) values (6, 2, 'BN', 'DRUGI BN')");
    EXPECT_EQ(ServerError(open), multipleRows);
    EXPECT_EQ(ServerError(report), multipleRows);
    EXPECT_EQ(Row(dm, "select count(*) from KZM_ANALIZA"), "0");
    Exec(dm, "delete from KZM_ZDARZ where NAZWA = 'DRUGI BN'");

    // two event types in one print column
    Exec(dm, "insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA) values (1, 1, 'K2', 'KUCHNIA 2')");
    EXPECT_EQ(ServerError(open), multipleRows);
    EXPECT_EQ(Row(dm, "select count(*) from KZM_ANALIZA"), "0");
    EXPECT_EQ(ServerError(report), 0);
}

} // namespace
