// The drinks window's list: one water whichever way it is set, the code trimmed and unique, a
// drink added and removed only while no settlement gave it out, and each drink's own prices.

#include "lists/ListsTest.h"
#include "lists/NapojeList.h"
#include "support/DbRows.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using kzm::ListResult;
using kzm::NapojeList;

class NapojeTest : public lists::ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        Exec("delete from kzm_napoje");
        for (const char* kod : {"KAWA", "SOK", "WODA"})
            Exec(QString("insert into kzm_napoje (kod,nazwa,pojemnosc,rozlpc,woda) values('%1',"
                         "'%1',0.5,0,%2)")
                     .arg(kod)
                     .arg(QString(kod) == "WODA" ? 1 : 0));
    }
    int id(const char* kod) {
        return Int(QString("select id from kzm_napoje where kod='%1'").arg(kod));
    }
    QStringList water() { return Rows("select kod from kzm_napoje where woda=1 order by kod"); }

    NapojeList list{dm, dmu};
};

TEST_F(NapojeTest, OnlyOneDrinkIsTheWaterByAClickOrByTheBox) {
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.locate(id("SOK")));
    EXPECT_TRUE(list.FlipFlag("WODA"));
    EXPECT_EQ(water(), QStringList({"SOK"}));
    EXPECT_TRUE(list.FlipFlag("WODA"));
    EXPECT_TRUE(water().isEmpty()) << "unmarked: no water at all";
    EXPECT_TRUE(list.FlipFlag("ROZLPC"));
    EXPECT_EQ(Int("select rozlpc from kzm_napoje where kod='SOK'"), 1);

    ASSERT_TRUE(list.locate(id("KAWA")));
    ASSERT_TRUE(list.beginEdit());
    list.fields().woda = true;
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(water(), QStringList({"KAWA"}));
    ASSERT_TRUE(list.locate(id("WODA")));
    ASSERT_TRUE(list.beginEdit());
    list.fields().woda = false;
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(water(), QStringList({"KAWA"})) << "its own flag off, the others kept";

    // The pair of statements is one: a refused second statement leaves the water where it was.
    Exec("create exception E_NIE 'Nie'");
    Exec("create trigger T_NIE for KZM_NAPOJE before update as begin if (new.woda = 1 and "
         "new.kod = 'WODA') then exception E_NIE; end");
    ASSERT_TRUE(list.locate(id("WODA")));
    EXPECT_FALSE(list.FlipFlag("WODA"));
    EXPECT_EQ(water(), QStringList({"KAWA"}));
}

TEST_F(NapojeTest, CodesAreTrimmedAndUniqueAndADrinkInASettlementStays) {
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.beginInsert());
    list.fields() = {"  ", "PUSTY", "1", false};
    EXPECT_EQ(list.save().text, "Brak kodu napoju\r\n");
    list.fields().kod = " kawa ";
    EXPECT_EQ(list.save().text, "Kod nie może się powtarzać\r\n");
    list.fields() = {"  HERBATA ", "herbata z cytryną", "0,25", true};
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(testdb::Row(dm, "select kod, nazwa, pojemnosc, woda from kzm_napoje where "
                              "kod='HERBATA'"),
              "HERBATA|HERBATA Z CYTRYNĄ|0.25|1");
    EXPECT_EQ(water(), QStringList({"HERBATA"}));

    Exec(QString("insert into kzm_rzlwoda (data,nr_oper,idnapoj,ilosc,cena,wartosc) values("
                 "'31.01.2026',1,%1,2,1.5,3)")
             .arg(id("SOK")));
    ASSERT_TRUE(list.locate(id("SOK")));
    const ListResult r = list.deleteCurrent();
    EXPECT_EQ(r.kind, ListResult::Kind::Refused);
    EXPECT_EQ(r.text, "Nie można usunąć napoju, bo jest w rozliczeniach napojów (1 poz.).");
    ASSERT_TRUE(list.locate(id("KAWA")));
    ASSERT_TRUE(list.deleteCurrent().ok());
    EXPECT_EQ(Int("select count(*) from kzm_napoje"), 3);
}

TEST_F(NapojeTest, EachDrinkHasItsOwnPrices) {
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.locate(id("SOK")));
    kzm::CennikList& ceny = list.ceny();
    EXPECT_EQ(ceny.owner(), id("SOK"));
    ASSERT_TRUE(ceny.beginInsert());
    ceny.fields() = {"2,10", QDate(2026, 3, 1)};
    ASSERT_TRUE(ceny.save().ok());
    ASSERT_TRUE(ceny.beginInsert());
    ceny.fields().kwota = "";
    EXPECT_EQ(ceny.save().text, "Brak kwoty\r\n");
    ceny.cancel();
    EXPECT_EQ(Rows(QString("select kwota, od_kiedy from kzm_cennik where idtr=%1").arg(id("SOK"))),
              QStringList({"2.10|01.03.2026"}));
    ASSERT_TRUE(list.locate(id("KAWA")));
    EXPECT_EQ(ceny.owner(), id("KAWA"));
    EXPECT_FALSE(ceny.hasRows());
}

} // namespace
