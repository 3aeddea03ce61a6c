// The units window's list: the kinds settled on opening, the number checks, the number kept on
// editing, the refusal to delete a unit that assignments name, and the kind of marked units.

#include "lists/JednostkiList.h"
#include "lists/ListsTest.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using kzm::JednostkiList;
using kzm::ListMode;
using kzm::ListResult;

class JednostkiTest : public lists::ListsTest {
protected:
    void unit(int numer, const char* nazwa, const char* grupa = "1") {
        Exec(QString("insert into kzm_jednostki (numer,grupa,nazwa) values(%1,%2,'%3')")
                 .arg(numer)
                 .arg(grupa, nazwa));
    }
    int id(int numer) {
        return Int(QString("select id from kzm_jednostki where numer=%1").arg(numer));
    }
    QStringList stored() {
        return Rows("select numer, nazwa, grupa from kzm_jednostki order by numer");
    }
    void moveTo(int numer) { ASSERT_TRUE(list.locate(id(numer))) << numer; }
    void assign(int nrOper, int numer) {
        Exec(QString("insert into kzm_przydzial (nr_oper,idjedn,od_kiedy,idstawka) "
                     "values(%1,%2,'01.01.2026',20)")
                 .arg(nrOper)
                 .arg(id(numer)));
    }

    JednostkiList list{dm, dmu};
};

TEST_F(JednostkiTest, OpeningGivesAUnitWithoutAKindTheMilitaryOne) {
    unit(1, "BEZ RODZAJU", "null");
    unit(2, "CYWILNA", "1");
    ASSERT_TRUE(list.open());
    EXPECT_EQ(stored(), QStringList({"1|BEZ RODZAJU|0", "2|CYWILNA|1"}));
    // The list shows what the update left.
    ASSERT_TRUE(list.locate(id(1)));
    EXPECT_EQ(list.query().fieldByName("GRUPA").asString(), "0");
}

TEST_F(JednostkiTest, ANewUnitNeedsAFreeNumber) {
    unit(7, "SIÓDMA");
    ASSERT_TRUE(list.open());
    const struct {
        const char* numer;
        const char* text; // nothing: saved
    } cases[] = {
        {"", "Brak numeru jednostki\r\n"},
        {"12A", "Brak numeru jednostki\r\n"},
        {"0", "Brak numeru jednostki\r\n"},
        {"99999999999", "Brak numeru jednostki\r\n"}, // not an integer either
        {"7", "Numer jednostki nie może się powtarzać\r\n"},
        {" 15 ", nullptr},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(list.beginInsert());
        EXPECT_TRUE(list.numerEditable());
        EXPECT_TRUE(list.fields().cywile); // a new unit is civilian unless unticked
        list.fields().numer = c.numer;
        list.fields().nazwa = "O'NEIL";
        const ListResult r = list.save();
        if (c.text) {
            EXPECT_EQ(r.kind, ListResult::Kind::Invalid) << c.numer;
            EXPECT_EQ(r.text, c.text);
            EXPECT_EQ(list.mode(), ListMode::Adding);
        } else {
            EXPECT_TRUE(r.ok()) << c.numer << r.text.toStdString();
        }
    }
    // The number as the integer that passed the check; the apostrophe as the literal writes it.
    EXPECT_EQ(stored(), QStringList({"7|SIÓDMA|1", "15|O\"NEIL|1"}));
}

TEST_F(JednostkiTest, EditingKeepsTheNumberAndTheUnitsOwnNumberIsNoDuplicate) {
    unit(7, "SIÓDMA", "1");
    unit(8, "ÓSMA", "0");
    ASSERT_TRUE(list.open());
    moveTo(7);
    ASSERT_TRUE(list.beginEdit());
    EXPECT_FALSE(list.numerEditable());
    EXPECT_EQ(list.fields().numer, "7");
    EXPECT_EQ(list.fields().nazwa, "SIÓDMA");
    EXPECT_TRUE(list.fields().cywile);

    list.fields().numer = "8"; // taken, and not the unit's anyway
    list.fields().nazwa = "NOWA";
    list.fields().cywile = false;
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(stored(), QStringList({"7|NOWA|0", "8|ÓSMA|0"}));
    EXPECT_EQ(list.currentKey(), id(7));
}

TEST_F(JednostkiTest, AUnitThatAssignmentsNameIsNotDeleted) {
    unit(1, "DWIE OSOBY");
    unit(2, "JEDNA OSOBA");
    unit(3, "PUSTA");
    assign(101, 1);
    assign(101, 1); // a second assignment of the same person
    assign(102, 1);
    assign(103, 2);
    ASSERT_TRUE(list.open());
    const struct {
        int numer;
        const char* text;
    } cases[] = {
        {1, "Nie można usunąć jednostki, bo jest w przydziałach 2 osób."},
        {2, "Nie można usunąć jednostki, bo jest w przydziałach 1 osoby."},
    };
    for (const auto& c : cases) {
        moveTo(c.numer);
        EXPECT_EQ(list.deleteRefusal(), c.text);
        const ListResult r = list.deleteCurrent();
        EXPECT_EQ(r.kind, ListResult::Kind::Refused);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.title(), "Kasowanie pozycji");
        EXPECT_EQ(list.currentKey(), id(c.numer));
    }
    moveTo(3);
    EXPECT_EQ(list.deleteRefusal(), "");
    ASSERT_TRUE(list.deleteCurrent().ok());
    EXPECT_EQ(stored(), QStringList({"1|DWIE OSOBY|1", "2|JEDNA OSOBA|1"}));
    EXPECT_EQ(Int("select count(*) from kzm_przydzial"), 4);
}

TEST_F(JednostkiTest, TheKindGoesToEveryMarkedUnitOrToTheCurrentOne) {
    for (int n = 1; n <= 4; ++n)
        unit(n, "JEDNOSTKA", "1");
    ASSERT_TRUE(list.open());
    moveTo(2);

    lists::Marks three{0, 1, 3};
    EXPECT_TRUE(list.WpiszGrupe(three, 0));
    EXPECT_EQ(stored(),
              QStringList({"1|JEDNOSTKA|0", "2|JEDNOSTKA|0", "3|JEDNOSTKA|1", "4|JEDNOSTKA|0"}));
    EXPECT_EQ(list.currentKey(), id(2)); // re-opened on the current unit

    lists::Marks none;
    moveTo(1);
    EXPECT_TRUE(list.WpiszGrupe(none, 1));
    EXPECT_EQ(none.selectedRows(), std::vector<int>{list.query().currentRow()});
    EXPECT_EQ(stored(),
              QStringList({"1|JEDNOSTKA|1", "2|JEDNOSTKA|0", "3|JEDNOSTKA|1", "4|JEDNOSTKA|0"}));
}

TEST_F(JednostkiTest, AFailingKindChangeChangesNoUnitAndIsLogged) {
    for (int n = 1; n <= 3; ++n)
        unit(n, "JEDNOSTKA", "1");
    Exec("create exception e_jednostka 'Jednostki 3 nie wolno zmieniać'");
    Exec("create trigger t_jednostka_3 for kzm_jednostki before update as begin "
         "if (old.numer = 3) then exception e_jednostka; end");
    ASSERT_TRUE(list.open());
    lists::Marks all{0, 1, 2};
    EXPECT_FALSE(list.WpiszGrupe(all, 0));
    EXPECT_EQ(stored(), QStringList({"1|JEDNOSTKA|1", "2|JEDNOSTKA|1", "3|JEDNOSTKA|1"}));
    EXPECT_TRUE(log().contains("WpiszGrupe 0 ")) << log().toStdString();
    EXPECT_TRUE(log().contains("Jednostki 3 nie wolno zmieniać")) << log().toStdString();
    EXPECT_TRUE(shown.isEmpty()); // logged, no message box
}

} // namespace
