// The event types window's list: print columns proposed, swapped, closed up on deletion and
// restored by "Rezygnacja"; the checks and statements; the meal flags; the groups of marked
// rows; the refusal to delete an event type that plan days use; the corrections beside it.

#include "lists/ListsTest.h"
#include "lists/ZdarzList.h"
#include "support/DbRows.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using kzm::ListResult;
using kzm::ZdarzList;

class ZdarzTest : public lists::ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        Exec("delete from kzm_zdarz");
    }
    void event(const char* skrot, int lpw, int grw = 1) {
        Exec(QString("insert into kzm_zdarz (skrot,nazwa,stawka_dw,stawka_dw110,sn,ob,ko,woda,"
                     "lpw,grw) values('%1','%1',0,0,1,1,1,1,%2,%3)")
                 .arg(skrot)
                 .arg(lpw)
                 .arg(grw));
    }
    int id(const char* skrot) {
        return Int(QString("select id from kzm_zdarz where skrot='%1'").arg(skrot));
    }
    QStringList columns() { return Rows("select skrot, lpw from kzm_zdarz order by lpw, skrot"); }

    ZdarzList list{dm, dmu};
};

TEST_F(ZdarzTest, PrintColumnsAreProposedSwappedClosedUpAndRestored) {
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.beginInsert());
    EXPECT_EQ(list.fields().lpw, "1") << "the first column of an empty table";
    EXPECT_EQ(list.fields().grupa, "Z KUCHNI") << "the first group";
    list.cancel();
    for (const char* s : {"A", "B", "C", "D"})
        event(s, id(s) < 0 ? columns().size() + 1 : 0);
    list.reopen();

    // Up on the first, down on the last: nothing.
    ASSERT_TRUE(list.locate(id("A")));
    EXPECT_EQ(list.Up().kind, ListResult::Kind::Nothing);
    ASSERT_TRUE(list.locate(id("D")));
    EXPECT_EQ(list.Down().kind, ListResult::Kind::Nothing);
    EXPECT_EQ(columns(), QStringList({"A|1", "B|2", "C|3", "D|4"}));

    // Moved while editing, then "Rezygnacja": every column back where it was.
    ASSERT_TRUE(list.locate(id("B")));
    ASSERT_TRUE(list.beginEdit());
    EXPECT_TRUE(list.Down().ok());
    EXPECT_EQ(list.currentKey(), id("B")) << "the moved row stays current";
    EXPECT_TRUE(list.Down().ok());
    ASSERT_TRUE(list.locate(id("A")));
    EXPECT_TRUE(list.Down().ok());
    EXPECT_EQ(columns(), QStringList({"C|1", "A|2", "D|3", "B|4"}));
    ASSERT_TRUE(list.cancel());
    EXPECT_EQ(columns(), QStringList({"A|1", "B|2", "C|3", "D|4"}));

    // Deleting column 2 closes the gap.
    ASSERT_TRUE(list.locate(id("B")));
    ASSERT_TRUE(list.deleteCurrent().ok());
    EXPECT_EQ(columns(), QStringList({"A|1", "C|2", "D|3"}));
    EXPECT_EQ(list.currentKey(), id("C"));
}

TEST_F(ZdarzTest, TheChecksAndWhatIsStored) {
    event("URL", 1);
    Exec("update kzm_zdarz set grw=7 where skrot='URL'");
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.beginInsert());
    EXPECT_EQ(list.save().text, "Brak kodu (skrótu nazwy)\r\n");
    list.fields().skrot = "url";
    EXPECT_EQ(list.save().text, "Skrót nazwy nie może się powtarzać\r\n");
    list.fields() = {"p20", "d'Artagnan", true, false, true, false, 60, 70, "POZA KUCHNIĄ", "5x"};
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(testdb::Row(dm, "select skrot,nazwa,stawka_dw,stawka_dw110,sn,ob,ko,woda,lpw,grw "
                              "from kzm_zdarz where skrot='P20'"),
              "P20|D\"ARTAGNAN|60.00|70.00|1|0|1|0|5|2");

    // A group outside the list: the first group is chosen, and saving stores it.
    ASSERT_TRUE(list.locate(id("URL")));
    EXPECT_EQ(ZdarzList::GrupaText(7), "");
    EXPECT_EQ(ZdarzList::GrupaText(2), "POZA KUCHNIĄ");
    ASSERT_TRUE(list.beginEdit());
    EXPECT_EQ(list.fields().grupa, "Z KUCHNI");
    EXPECT_EQ(list.fields().skrot, "URL") << "its own code is no duplicate";
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(Int("select grw from kzm_zdarz where skrot='URL'"), 1);
}

TEST_F(ZdarzTest, FlagsGroupsOfMarkedRowsAndNoDeletionOfAnEventInThePlan) {
    event("A", 1);
    event("B", 2);
    event("C", 3);
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.locate(id("B")));
    EXPECT_TRUE(list.FlipFlag("OB"));
    EXPECT_EQ(Int("select ob from kzm_zdarz where skrot='B'"), 0);
    EXPECT_TRUE(list.FlipFlag("ob"));
    EXPECT_EQ(Int("select ob from kzm_zdarz where skrot='B'"), 1);
    EXPECT_FALSE(list.FlipFlag("LPW")) << "only the meal flags";

    lists::Marks none;
    EXPECT_TRUE(list.WpiszGrupe(none, 3));
    EXPECT_EQ(Rows("select skrot, grw from kzm_zdarz order by lpw"),
              QStringList({"A|1", "B|3", "C|1"}))
        << "nothing marked: the current row";
    lists::Marks two{0, 2};
    EXPECT_TRUE(list.WpiszGrupe(two, 0));
    EXPECT_EQ(Rows("select skrot, grw from kzm_zdarz order by lpw"),
              QStringList({"A|0", "B|3", "C|0"}));

    Exec(QString("insert into kzm_dane (nr_oper,data,sn,ob,ko,idzdarz,s5) values(1,'05.01.2026',1,"
                 "1,1,%1,0)")
             .arg(id("A")));
    Exec(QString("insert into kzm_dane (nr_oper,data,sn,ob,ko,idzdarz,s5) values(1,'06.01.2026',1,"
                 "1,1,%1,%2)")
             .arg(id("B"))
             .arg(id("C")));
    for (const char* s : {"A", "C"}) {
        ASSERT_TRUE(list.locate(id(s)));
        const ListResult r = list.deleteCurrent();
        EXPECT_EQ(r.kind, ListResult::Kind::Refused) << s;
        EXPECT_EQ(r.text, "Nie można usunąć zdarzenia, bo jest w planie w 1 dniu.");
    }
    EXPECT_EQ(Int("select count(*) from kzm_zdarz"), 3);
}

TEST_F(ZdarzTest, CorrectionsChangeTheirWaterAndPayoutOnly) {
    kzm::SzkodyList szkody(dm, dmu);
    ASSERT_TRUE(szkody.open());
    ASSERT_TRUE(szkody.locate(5));
    EXPECT_TRUE(szkody.FlipWoda());
    EXPECT_TRUE(szkody.SetStawka(60));
    EXPECT_FALSE(szkody.SetStawka(60)) << "the same value writes nothing";
    EXPECT_EQ(testdb::Row(dm, "select skrot, woda, stawka_dw from kzm_szkody_2 where id=5"),
              "S5|1|60.00");
    EXPECT_TRUE(szkody.FlipWoda());
    EXPECT_EQ(Int("select woda from kzm_szkody_2 where id=5"), 0);
    EXPECT_EQ(szkody.currentKey(), 5);
}

} // namespace
