// The plan window's logic against a real database: the unit list's entries, making and
// refreshing the plan of a period, the changes of the marked rows, the search, the sort that
// keeps the marks, and the side lists.

#include "PlanTest.h"

#include "core/Session.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <gtest/gtest.h>

using namespace kzm;
using planning::D;

namespace {

class PlanListTest : public planning::PlanTest {
protected:
    // The plan of March 2025 made for everybody and the first unit shown.
    void MakeMarch() {
        ASSERT_TRUE(plan.makePlan({D("01.03.2025"), D("31.03.2025")}, false, unit1).ok());
        ASSERT_EQ(plan.view(), PlanList::View::Unit);
    }
    // Marks the shown rows of the person on the days (dd.MM).
    void Mark(int nr, const QStringList& days) {
        const QStringList shown = Shown();
        for (const QString& day : days) {
            const int row = static_cast<int>(shown.indexOf(QString::number(nr) + u'|' + day));
            ASSERT_GE(row, 0) << nr << " " << day.toStdString();
            plan.setMarked(row, true);
        }
    }
    // A person's day: "event|SN|OB|KO|WODA|POPRAWKA|S5's event|RWODA|RSTAWKA_DW", the event
    // types by code, "-" for none.
    QString Day(int nr, const char* day) {
        return Rows(QStringLiteral("select coalesce(z.SKROT, '-'), d.SN, d.OB, d.KO, d.WODA, "
                                   "POPRAWKA, coalesce(s.SKROT, '-'), RWODA, RSTAWKA_DW from "
                                   "KZM_DANE d left join KZM_ZDARZ z on z.ID=d.IDZDARZ left join "
                                   "KZM_ZDARZ s on s.ID=d.S5 where NR_OPER=%1 and DATA='%2'")
                        .arg(nr)
                        .arg(QString::fromLatin1(day)))
            .join(u';');
    }
    PlanEntry Entry(int event = -1, int correction = 1, int rate = 20, int place = 1) {
        return {event < 0 ? lunch : event, correction, rate, place};
    }
};

TEST(PlanUnitEntry, KeepsTheIdOutOfViewFromCharacter81) {
    const QString e = PlanList::UnitEntry(7, QStringLiteral("KOMPANIA ŁĄCZNOŚCI"), 1234);
    EXPECT_EQ(e.left(22), QStringLiteral(" 7.KOMPANIA ŁĄCZNOŚCI "));
    EXPECT_EQ(e.size(), 84);
    EXPECT_EQ(e.mid(80), QStringLiteral("1234"));
    EXPECT_EQ(PlanList::UnitOfEntry(e), 1234);
    const QString longName = PlanList::UnitEntry(12, QString(100, u'X'), 5);
    EXPECT_EQ(longName.left(3), QStringLiteral("12."));
    EXPECT_EQ(PlanList::UnitOfEntry(longName), 5) << "a long name is cut at 80";
    EXPECT_EQ(PlanList::UnitOfEntry(QStringLiteral("short")), -1);
}

TEST(PlanSort, NumberOrdersKeepTheDaysInOrderAndTurnOver) {
    const struct {
        const char* request;
        const char* order;
    } cases[] = {
        {"NR_OPER", "NR_OPER DESC, DATA"},
        {"Nr_oper DESC", "NR_OPER, DATA"},
        {"NR_OPER, DATA", "NR_OPER DESC, DATA"},
        {"NAZWISKO", "NAZWISKO"},
        {"DATA DESC", "DATA DESC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlanList::SortOrder(QString::fromLatin1(c.request)), QString::fromLatin1(c.order))
            << c.request;
}

TEST_F(PlanListTest, UnitEntriesComeInTheOrderOfTheirNumbers) {
    std::vector<int> ids;
    const QStringList entries = plan.unitEntries(&ids);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0].startsWith(QStringLiteral(" 1.PIERWSZA ")));
    EXPECT_TRUE(entries[1].startsWith(QStringLiteral(" 2.DRUGA ")));
    EXPECT_EQ(ids, (std::vector<int>{unit1, unit2}));
    EXPECT_EQ(PlanList::UnitOfEntry(entries[1]), unit2);
}

TEST_F(PlanListTest, MakingThePlanAddsOnlyMissingRowsAndRefreshingCoversWholeMonths) {
    ASSERT_TRUE(plan.makePlan({D("10.03.2025"), D("11.03.2025")}, false, unit1).ok());
    EXPECT_EQ(Shown(), QStringList({"101|10.03", "101|11.03", "102|10.03", "102|11.03"}))
        << "the unit shown; every person of every unit gets rows";
    EXPECT_EQ(Int("select count(*) from KZM_DANE"), 8);
    EXPECT_TRUE(Log().last().endsWith(QStringLiteral(" Plan za okres: 10.03.2025 - 11.03.2025")));

    // An event on one row; a person joins; the period again adds only the newcomer's rows.
    Exec(QStringLiteral("update KZM_DANE set IDZDARZ=%1, OB=1 where NR_OPER=101 and "
                        "DATA='10.03.2025'")
             .arg(lunch));
    Exec("insert into KZM_KART (NR_OPER, NAZWISKO, IDSTAWKAW) values (105, 'NOWY', 990)");
    Exec("insert into KZM_PRZYDZIAL (ID, NR_OPER, IDJEDN, OD_KIEDY, IDSTAWKA) select 5, 105, ID, "
         "'01.03.2025', 20 from KZM_JEDNOSTKI where NUMER=1");
    Exec("update KZM_KART set NAZWISKO='KOWALSKI JANUSZ' where NR_OPER=101");
    ASSERT_TRUE(plan.makePlan({D("09.03.2025"), D("11.03.2025")}, false, unit1).ok());
    EXPECT_EQ(Int("select count(*) from KZM_DANE"), 15);
    EXPECT_EQ(Int("select count(*) from (select NR_OPER, DATA from KZM_DANE group by 1, 2 "
                  "having count(*) > 1)"),
              0);
    EXPECT_EQ(Rows("select NAZWISKO, OB from KZM_DANE where NR_OPER=101 and DATA='10.03.2025'"),
              QStringList({"KOWALSKI JAN|1"}))
        << "an existing row is left as it was";

    // Refreshing 15.03-10.04 refreshes 01.03-30.04; the log keeps the dates as set.
    ASSERT_TRUE(plan.makePlan({D("15.03.2025"), D("10.04.2025")}, true, unit2).ok());
    EXPECT_EQ(Rows("select min(DATA), max(DATA), count(*) from KZM_DANE"),
              QStringList({"01.03.2025|30.04.2025|305"}));
    EXPECT_EQ(Rows("select NAZWISKO, OB from KZM_DANE where NR_OPER=101 and DATA='10.03.2025'"),
              QStringList({"KOWALSKI JANUSZ|1"}))
        << "refreshed data, the event kept";
    EXPECT_EQ(Rows("select distinct STAWKA from KZM_DANE where NR_OPER=101 and DATA>='01.04.2025'"),
              QStringList({"9.00"}));
    EXPECT_TRUE(Log().last().endsWith(
        QStringLiteral(" Aktualizacja danych osobowych za okres: 15.03.2025 - 10.04.2025")));
    EXPECT_EQ(plan.unit(), unit2);
    EXPECT_EQ(plan.period(), (Period{D("15.03.2025"), D("10.04.2025")}));
}

TEST_F(PlanListTest, AFailingDayLeavesNothingOfTheRun) {
    Exec("create exception E_TEST 'dzień zamknięty'");
    Exec("create trigger T_TEST for KZM_DANE before insert as begin if (new.DATA = "
         "'12.03.2025') then exception E_TEST; end");
    const ListResult r = plan.makePlan({D("10.03.2025"), D("13.03.2025")}, false, unit1);
    EXPECT_EQ(r.kind, ListResult::Kind::Failed);
    EXPECT_TRUE(r.text.startsWith(QStringLiteral("Błąd przy tworzeniu planu na dzień 12.03.2025")))
        << r.text.toStdString();
    EXPECT_TRUE(r.text.contains(QStringLiteral("dzień zamknięty")));
    EXPECT_EQ(Int("select count(*) from KZM_DANE"), 0);
    EXPECT_EQ(plan.view(), PlanList::View::Closed) << "the grid is not re-opened";
}

TEST_F(PlanListTest, EventsAndCorrectionsGoToTheMarkedRows) {
    MakeMarch();
    Mark(101, {"01.03", "02.03"});
    ASSERT_TRUE(plan.change(PlanChange::Events, Entry(allDay)).ok());
    EXPECT_EQ(plan.lastChanged(), 2);
    EXPECT_EQ(Day(101, "01.03.2025"), "TCAL|1|1|1|1|0|-|1|0.00");
    EXPECT_EQ(Day(101, "03.03.2025"), "-|0|0|0|0|0|-|0|0.00") << "an unmarked row";
    EXPECT_EQ(plan.markedCount(), 0) << "the action re-opens the plan without marks";
    EXPECT_TRUE(Log().last().endsWith(QStringLiteral("wpisanie zdarzeń2.poz")));

    // Corrections over marked rows of which one has no event: only rows with an event change.
    Mark(101, {"01.03", "02.03", "03.03"});
    ASSERT_TRUE(plan.change(PlanChange::Corrections, Entry(lunch, 2)).ok());
    EXPECT_EQ(plan.lastChanged(), 2);
    EXPECT_EQ(Day(101, "02.03.2025"), "TCAL|1|1|1|1|2|-|1|60.00");
    EXPECT_EQ(Day(101, "03.03.2025"), "-|0|0|0|0|0|-|0|0.00");
    EXPECT_EQ(Rows("select DATA_POPR from KZM_DANE where NR_OPER=101 and DATA='02.03.2025'"),
              QStringList({"02.03.2025"}));
    EXPECT_TRUE(Log().last().endsWith(QStringLiteral("wpisanie szkód 2.poz")));

    // Correction 5 stands for the event type chosen in the event list; another code stores 0.
    Mark(101, {"01.03"});
    ASSERT_TRUE(plan.change(PlanChange::Corrections, Entry(paidOut, 5)).ok());
    EXPECT_EQ(Day(101, "01.03.2025"), "TCAL|1|1|1|1|5|TDW|0|100.00");
    Mark(101, {"01.03"});
    ASSERT_TRUE(plan.change(PlanChange::Corrections, Entry(paidOut, 1)).ok());
    EXPECT_EQ(Day(101, "01.03.2025"), "TCAL|1|1|1|1|1|-|0|0.00");

    // "Usuń szkodę" keeps the event; "Usuń zdarzenie" takes the correction with it.
    Mark(101, {"02.03"});
    ASSERT_TRUE(plan.change(PlanChange::ClearCorrections, Entry()).ok());
    EXPECT_EQ(Day(101, "02.03.2025"), "TCAL|1|1|1|1|0|-|1|0.00");
    Mark(101, {"01.03"});
    ASSERT_TRUE(plan.change(PlanChange::ClearEvents, Entry()).ok());
    EXPECT_EQ(Day(101, "01.03.2025"), "-|0|0|0|0|0|-|0|0.00");
}

TEST_F(PlanListTest, WithoutMarksTheCurrentRowIsTheTargetExceptForDataAndDeletion) {
    MakeMarch();
    ASSERT_TRUE(plan.moveTo(2)); // 101, 03.03
    const int key = plan.currentKey();
    for (const PlanChange kind : {PlanChange::PersonalData, PlanChange::Delete}) {
        const ListResult r = plan.change(kind, Entry());
        EXPECT_EQ(r.kind, ListResult::Kind::Refused);
        EXPECT_EQ(r.text, kind == PlanChange::Delete
                              ? QStringLiteral("Nie zaznaczono pozycji do usunięcia")
                              : QStringLiteral("Nie zaznaczono pozycji do zmiany"));
    }
    EXPECT_EQ(Int("select count(*) from KZM_DANE"), 124);

    ASSERT_TRUE(plan.change(PlanChange::Events, Entry(lunch)).ok());
    EXPECT_EQ(Rows("select ID from KZM_DANE where IDZDARZ<>0"),
              QStringList({QString::number(key)}));
    EXPECT_EQ(plan.currentKey(), key) << "re-opened on the row";
    ASSERT_TRUE(plan.change(PlanChange::Rates, Entry(lunch, 1, 30)).ok());
    EXPECT_EQ(Rows("select IDSTAWKA, STAWKA from KZM_DANE where ID=" + QString::number(key)),
              QStringList({"30|11.40"}));
    ASSERT_TRUE(plan.change(PlanChange::Places, Entry(lunch, 1, 30, 1)).ok());
    EXPECT_EQ(Int("select count(*) from KZM_DANE where MIEJSCE=1"), 1);

    // An empty plan does nothing.
    plan.closePlan();
    EXPECT_EQ(plan.change(PlanChange::Events, Entry()).kind, ListResult::Kind::Nothing);
}

TEST_F(PlanListTest, DeletionTakesTheMarkedRowsOnly) {
    MakeMarch();
    Mark(102, {"05.03", "06.03", "07.03"});
    ASSERT_TRUE(plan.change(PlanChange::Delete, Entry()).ok());
    EXPECT_EQ(plan.lastChanged(), 3);
    EXPECT_EQ(Rows("select count(*) from KZM_DANE where NR_OPER=102"), QStringList({"28"}));
    EXPECT_EQ(Shown().size(), 59);
    EXPECT_TRUE(Log().last().endsWith(QStringLiteral("kasowanie 3.poz")));
}

TEST_F(PlanListTest, PlacesRunInTheWindowsTransactionAndCountOnlyChangedRows) {
    MakeMarch();
    Mark(101, {"01.03", "02.03"});
    Mark(102, {"01.03"});
    // Another workstation deletes one of the marked rows meanwhile.
    Exec("delete from KZM_DANE where NR_OPER=102 and DATA='01.03.2025'");
    ASSERT_TRUE(plan.change(PlanChange::Places, Entry(lunch, 1, 20, 1)).ok());
    EXPECT_EQ(plan.lastChanged(), 2);
    EXPECT_TRUE(Log().last().endsWith(QStringLiteral("wpisywanie miejsc 2.poz")));

    // A refused row undoes the whole run.
    Exec("create exception E_TEST 'miejsce zablokowane'");
    Exec("create trigger T_TEST for KZM_DANE before update as begin if (new.NR_OPER = 102 and "
         "new.MIEJSCE = 0) then exception E_TEST; end");
    Mark(101, {"01.03"});
    Mark(102, {"02.03"});
    const ListResult r = plan.change(PlanChange::Places, Entry(lunch, 1, 20, 0));
    EXPECT_EQ(r.kind, ListResult::Kind::Failed);
    EXPECT_TRUE(r.text.contains(QStringLiteral("miejsce zablokowane")));
    EXPECT_EQ(Rows("select MIEJSCE from KZM_DANE where NR_OPER=101 and DATA='01.03.2025'"),
              QStringList({"1"}));
    const QString log = Log().join(u'\n');
    EXPECT_TRUE(log.contains(QStringLiteral("Modyfikacje 7 exception")));
    EXPECT_TRUE(log.contains(QStringLiteral("miejsce zablokowane")));
}

TEST_F(PlanListTest, EnterRunsTheTickedKindsOverTheSameMarks) {
    MakeMarch();
    Mark(101, {"01.03", "02.03"});
    // The correction pass sees the events the same press entered.
    ASSERT_TRUE(plan.enter(true, true, true, true, Entry(allDay, 2, 30, 1)).ok());
    for (const char* day : {"01.03.2025", "02.03.2025"})
        EXPECT_EQ(Rows(QStringLiteral("select IDZDARZ, POPRAWKA, IDSTAWKA, MIEJSCE from KZM_DANE "
                                      "where NR_OPER=101 and DATA='%1'")
                           .arg(QString::fromLatin1(day))),
                  QStringList({QString::number(allDay) + "|2|30|1"}));
    EXPECT_EQ(Int("select count(*) from KZM_DANE where IDZDARZ<>0 or MIEJSCE<>0"), 2);
    EXPECT_EQ(plan.markedCount(), 0);
}

TEST_F(PlanListTest, SearchFindsByNumberOrSurnameAcrossUnits) {
    MakeMarch();
    const Period day{D("02.03.2025"), D("02.03.2025")};
    const struct {
        const char* text;
        QStringList rows;
    } cases[] = {
        {"KOW", {"101|02.03", "123|02.03"}},
        {"0123", {"123|02.03"}},
        {"O'BRIEN", {"104|02.03"}},
        {"12' or '1'='1", {}},
        {"", {"101|02.03", "102|02.03", "104|02.03", "123|02.03"}},
        {"99999999999", {}},
        {"NIKT", {}},
    };
    for (const auto& c : cases) {
        const bool found = plan.search(QString::fromLatin1(c.text), day);
        EXPECT_EQ(found, !c.rows.isEmpty()) << c.text;
        EXPECT_EQ(Shown(), c.rows) << c.text;
        EXPECT_EQ(plan.view(), found ? PlanList::View::Search : PlanList::View::Closed);
    }
    ASSERT_TRUE(plan.search(QStringLiteral("KOWALEWSKA"), day));
    EXPECT_EQ(plan.firstRowUnit(), unit2);
}

TEST_F(PlanListTest, SearchOfACommonLetterOverThousandsOfPersons) {
    {
        fb::Transaction tr(dm.IBBaza);
        fb::Query q(tr);
        q.setSql("insert into KZM_KART (NR_OPER, NAZWISKO, IDSTAWKAW) values (?, ?, 990)");
        for (int n = 1000; n < 4000; ++n) {
            q.setParam(0, n);
            q.setParam(1, QStringLiteral("ADAMSKI %1").arg(n));
            q.execSql();
        }
        tr.commit();
    }
    ASSERT_TRUE(plan.makePlan({D("02.03.2025"), D("02.03.2025")}, false, unit1).ok());
    ASSERT_TRUE(plan.search(QStringLiteral("A"), {D("02.03.2025"), D("02.03.2025")}));
    EXPECT_EQ(Shown().size(), 3003) << "every ADAMSKI and the three others with an A";
}

TEST_F(PlanListTest, AReSortKeepsTheMarksAndAnActionDropsThem) {
    MakeMarch();
    Mark(101, {"01.03", "31.03"});
    Mark(102, {"15.03"});
    const auto marked = [&] {
        QStringList rows;
        const QStringList shown = Shown();
        for (int r = 0; r < shown.size(); ++r)
            if (plan.isMarked(r))
                rows << shown[r];
        return rows;
    };
    const QStringList before = marked();
    ASSERT_EQ(before, QStringList({"101|01.03", "101|31.03", "102|15.03"}));

    // A click on the number column turns the numbers over, the days stay in order.
    EXPECT_EQ(plan.sortRequest(QStringLiteral("Nr_oper")), QStringLiteral("NR_OPER"));
    plan.sort(plan.sortRequest(QStringLiteral("Nr_oper")));
    EXPECT_EQ(plan.order(), QStringLiteral("NR_OPER DESC, DATA"));
    EXPECT_EQ(Shown().first(), QStringLiteral("102|01.03"));
    EXPECT_EQ(marked(), QStringList({"102|15.03", "101|01.03", "101|31.03"}));
    bool desc = true;
    EXPECT_EQ(plan.orderColumn(&desc), QStringLiteral("DATA"));
    EXPECT_FALSE(desc);
    plan.sort(plan.sortRequest(QStringLiteral("NR_OPER")));
    EXPECT_EQ(plan.order(), QStringLiteral("NR_OPER, DATA"));

    // Another column: ascending, then descending.
    plan.sort(plan.sortRequest(QStringLiteral("DATA")));
    plan.sort(plan.sortRequest(QStringLiteral("DATA")));
    EXPECT_EQ(plan.order(), QStringLiteral("DATA DESC"));
    EXPECT_EQ(plan.orderColumn(&desc), QStringLiteral("DATA"));
    EXPECT_TRUE(desc);
    EXPECT_EQ(Shown().first().section(u'|', 1), QStringLiteral("31.03"));
    EXPECT_EQ(marked().size(), 3);

    plan.invertMarks();
    EXPECT_EQ(plan.markedCount(), 59);
    plan.markAll();
    EXPECT_EQ(plan.markedCount(), 62);
    plan.unmarkAll();
    EXPECT_EQ(plan.markedCount(), 0);
}

TEST_F(PlanListTest, CodesAndSideLists) {
    EXPECT_EQ(plan.eventCode(allDay), QStringLiteral("TCAL"));
    EXPECT_EQ(plan.eventCode(0), QString());
    EXPECT_EQ(plan.correctionCode(5), QStringLiteral("S5"));
    EXPECT_EQ(plan.correctionCode(0), QString());

    PlanSideLists lists(dm);
    ASSERT_TRUE(lists.open());
    QStringList corrections;
    for (fb::Query& q = lists.corrections(); !q.eof(); q.next())
        corrections << q.field(1).asString() + u'|' + q.field(2).asString();
    EXPECT_EQ(corrections,
              QStringList({"S1|BEZ WODY 0.00%", "S2|WODA 60.00%", "S5|BEZ WODY 100.00%"}));
    lists.corrections().first();
    ASSERT_TRUE(lists.events().locate(QStringLiteral("ID"), allDay));
    const PlanEntry e = lists.entry();
    EXPECT_EQ(e.event, allDay);
    EXPECT_EQ(e.correction, 1);
    EXPECT_TRUE(lists.locateUnit(unit2));
    EXPECT_EQ(lists.currentUnit(), unit2);
}

} // namespace
