// The ranks window's list: the abbreviation checks and the refusal to delete a rank that
// persons hold.

#include "lists/ListsTest.h"
#include "lists/StopnieList.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using kzm::ListMode;
using kzm::ListResult;
using kzm::StopnieList;

class StopnieTest : public lists::ListsTest {
protected:
    void rank(const char* skrot, const char* nazwa) {
        Exec(QString("insert into kzm_stopnie (skrot,nazwa) values('%1','%2')").arg(skrot, nazwa));
    }
    int id(const char* skrot) {
        return Int(QString("select id from kzm_stopnie where skrot='%1'").arg(skrot));
    }
    QStringList stored() { return Rows("select skrot, nazwa from kzm_stopnie order by skrot"); }
    void person(int nrOper, const char* skrot) {
        Exec(QString("insert into kzm_kart (nr_oper,idstopien,nazwisko) values(%1,%2,'OSOBA')")
                 .arg(nrOper)
                 .arg(id(skrot)));
    }

    StopnieList list{dm, dmu};
};

TEST_F(StopnieTest, TheAbbreviationIsRequiredAndUnique) {
    rank("10", "SZEREGOWY");
    rank("20", "KAPRAL");
    ASSERT_TRUE(list.open());
    const struct {
        bool edit; // of rank 10, else a new rank
        const char* skrot;
        const char* text; // nothing: saved
    } cases[] = {
        {false, "", "Brak brak skrótu nazwy\r\n"},
        {false, "20", "Skrót nie może się powtarzać\r\n"},
        {true, "20", "Skrót nie może się powtarzać\r\n"}, // renamed to another rank's
        {true, "10", nullptr},                            // saved unchanged
        {false, "30", nullptr},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(list.locate(id("10")));
        ASSERT_TRUE(c.edit ? list.beginEdit() : list.beginInsert());
        list.fields().skrot = c.skrot;
        const ListResult r = list.save();
        if (c.text) {
            EXPECT_EQ(r.kind, ListResult::Kind::Invalid) << c.skrot;
            EXPECT_EQ(r.text, c.text);
            EXPECT_NE(list.mode(), ListMode::Browsing);
            list.cancel();
        } else {
            EXPECT_TRUE(r.ok()) << c.skrot;
        }
    }
    EXPECT_EQ(stored(), QStringList({"10|SZEREGOWY", "20|KAPRAL", "30|"}));
}

TEST_F(StopnieTest, ARankThatPersonsHoldIsNotDeleted) {
    rank("10", "SZEREGOWY");
    rank("20", "KAPRAL");
    rank("30", "PLUTONOWY");
    person(101, "10");
    person(102, "10");
    person(103, "10");
    person(104, "20");
    ASSERT_TRUE(list.open());
    const struct {
        const char* skrot;
        const char* text;
    } cases[] = {
        {"10", "Nie można usunąć stopnia, bo jest to stopień 3 osób."},
        {"20", "Nie można usunąć stopnia, bo jest to stopień 1 osoby."},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(list.locate(id(c.skrot)));
        const ListResult r = list.deleteCurrent();
        EXPECT_EQ(r.kind, ListResult::Kind::Refused) << c.skrot;
        EXPECT_EQ(r.text, c.text);
    }
    ASSERT_TRUE(list.locate(id("30")));
    ASSERT_TRUE(list.deleteCurrent().ok());
    EXPECT_EQ(stored(), QStringList({"10|SZEREGOWY", "20|KAPRAL"}));
    EXPECT_EQ(list.currentKey(), id("20")); // the deleted rank was the last
}

} // namespace
