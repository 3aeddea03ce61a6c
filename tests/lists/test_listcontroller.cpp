// What every list window shares: the modes, the checks collected into one text, the saving and
// deleting by key with the list re-opened on the row to show, and refusals by the database.

#include "core/Literals.h"
#include "lists/ListController.h"
#include "lists/ListsTest.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using kzm::ListController;
using kzm::ListMode;
using kzm::ListResult;
using kzm::SqlInt;
using kzm::SqlStr;

// A list with two checks of its own, over the ranks by abbreviation.
class Probe : public ListController {
public:
    Probe(kzm::Tdm& dm, kzm::Tdmu& dmu)
        : ListController(dm, dmu, "select * from kzm_stopnie order by skrot", "ID") {}

    QString skrot;
    QString nazwa;
    QString currentSkrot() const {
        return hasRows() ? query().fieldByName("SKROT").asString() : QString("(none)");
    }

protected:
    void clearFields() override {
        skrot.clear();
        nazwa.clear();
    }
    void loadFields() override {
        skrot = query().fieldByName("SKROT").asString();
        nazwa = query().fieldByName("NAZWA").asString();
    }
    QStringList check() override {
        QStringList messages;
        if (skrot.isEmpty())
            messages << "Brak skrótu";
        if (nazwa.isEmpty())
            messages << "Brak nazwy";
        return messages;
    }
    QStringList saveStatements() const override {
        if (mode() == ListMode::Adding)
            return {"insert into kzm_stopnie (skrot,nazwa) values(" + SqlStr(skrot, false) +
                    SqlStr(nazwa) + ")"};
        return {"update kzm_stopnie set skrot=" + SqlStr(skrot, false) + " nazwa=" + SqlStr(nazwa) +
                " where id=" + SqlInt(key())};
    }
    QStringList deleteStatements(int key) const override {
        return {"delete from kzm_stopnie where id=" + SqlInt(key)};
    }
};

class ListControllerTest : public lists::ListsTest {
protected:
    void ranks(std::initializer_list<const char*> skroty) {
        for (const char* s : skroty)
            Exec(QString("insert into kzm_stopnie (skrot,nazwa) values('%1','STOPIEŃ %1')").arg(s));
    }
    int id(const char* skrot) {
        return Int(QString("select id from kzm_stopnie where skrot='%1'").arg(skrot));
    }
    QStringList stored() { return Rows("select skrot, nazwa from kzm_stopnie order by skrot"); }
    void moveTo(const char* skrot) { ASSERT_TRUE(list.locate(id(skrot))) << skrot; }

    Probe list{dm, dmu};
};

TEST_F(ListControllerTest, ThePanelsSetTheModeAndEditingTakesTheCurrentRow) {
    ranks({"A", "B"});
    ASSERT_TRUE(list.open());
    EXPECT_EQ(list.mode(), ListMode::Browsing);
    EXPECT_FALSE(list.cancel()); // Escape without a panel does nothing
    EXPECT_EQ(list.save().kind, ListResult::Kind::Nothing);

    list.skrot = "stale";
    ASSERT_TRUE(list.beginInsert());
    EXPECT_EQ(list.mode(), ListMode::Adding);
    EXPECT_EQ(list.key(), -1);
    EXPECT_EQ(list.skrot, "");
    EXPECT_TRUE(list.cancel());
    EXPECT_EQ(list.mode(), ListMode::Browsing);

    moveTo("B");
    ASSERT_TRUE(list.beginEdit());
    EXPECT_EQ(list.mode(), ListMode::Editing);
    EXPECT_EQ(list.key(), id("B"));
    EXPECT_EQ(list.skrot, "B");
    EXPECT_EQ(list.nazwa, "STOPIEŃ B");
    // The row being edited is the one the panel was filled from, wherever the grid goes.
    list.nazwa = "NOWY";
    moveTo("A");
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(list.mode(), ListMode::Browsing);
    EXPECT_EQ(stored(), QStringList({"A|STOPIEŃ A", "B|NOWY"}));
}

TEST_F(ListControllerTest, AnEmptyListHasNothingToEditOrDelete) {
    ASSERT_TRUE(list.open());
    EXPECT_FALSE(list.hasRows());
    EXPECT_EQ(list.currentKey(), -1);
    EXPECT_FALSE(list.beginEdit());
    EXPECT_EQ(list.mode(), ListMode::Browsing);
    EXPECT_EQ(list.deleteCurrent().kind, ListResult::Kind::Nothing);
    // Adding works on an empty list.
    ASSERT_TRUE(list.beginInsert());
    list.skrot = "A";
    list.nazwa = "PIERWSZY";
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(list.currentSkrot(), "A");
}

TEST_F(ListControllerTest, FailedChecksAreShownTogetherAndNothingIsWritten) {
    ranks({"A"});
    ASSERT_TRUE(list.open());
    const struct {
        const char* skrot;
        const char* nazwa;
        const char* text;
    } cases[] = {
        {"", "", "Brak skrótu\r\nBrak nazwy\r\n"},
        {"", "X", "Brak skrótu\r\n"},
        {"B", "", "Brak nazwy\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(list.beginInsert());
        list.skrot = c.skrot;
        list.nazwa = c.nazwa;
        const ListResult r = list.save();
        EXPECT_EQ(r.kind, ListResult::Kind::Invalid) << c.text;
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.title(), "Błędne dane");
        EXPECT_EQ(list.mode(), ListMode::Adding); // the panel stays open
    }
    EXPECT_EQ(stored(), QStringList{"A|STOPIEŃ A"});
}

TEST_F(ListControllerTest, SavingShowsTheEditedRowAndAfterAnInsertTheRowCurrentBefore) {
    ranks({"A", "C", "E"});
    ASSERT_TRUE(list.open());

    moveTo("C");
    ASSERT_TRUE(list.beginEdit());
    list.skrot = "Z"; // now the last row
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(list.currentSkrot(), "Z");
    EXPECT_EQ(list.query().currentRow(), 2);

    moveTo("A");
    ASSERT_TRUE(list.beginInsert());
    list.skrot = "B";
    list.nazwa = "NOWY";
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(list.currentSkrot(), "A");
    EXPECT_EQ(stored(), QStringList({"A|STOPIEŃ A", "B|NOWY", "E|STOPIEŃ E", "Z|STOPIEŃ C"}));
}

TEST_F(ListControllerTest, DeletingShowsTheNextRowOrThePreviousOneAtTheEnd) {
    const struct {
        std::initializer_list<const char*> rows;
        const char* deleted;
        const char* shown;
    } cases[] = {
        {{"A", "B", "C"}, "A", "B"},
        {{"A", "B", "C"}, "B", "C"},
        {{"A", "B", "C"}, "C", "B"}, // the last row: the new last row
        {{"A"}, "A", "(none)"},      // the only row: an empty list
    };
    for (const auto& c : cases) {
        Exec("delete from kzm_stopnie");
        ranks(c.rows);
        ASSERT_TRUE(list.open());
        moveTo(c.deleted);
        ASSERT_TRUE(list.deleteCurrent().ok()) << c.deleted;
        EXPECT_EQ(list.mode(), ListMode::Browsing);
        EXPECT_EQ(list.currentSkrot(), c.shown) << c.deleted;
        EXPECT_EQ(id(c.deleted), -1);
    }
}

TEST_F(ListControllerTest, AStatementTheDatabaseRefusesKeepsThePanelOpenWithItsText) {
    ranks({"A"});
    Exec("create unique index kzm_stopnie_skrot on kzm_stopnie (skrot)");
    ASSERT_TRUE(list.open());
    const struct {
        const char* skrot;
        const char* nazwa;
        const char* firstLine;
        const char* server; // a part of the server's text
    } cases[] = {
        // NAZWA holds 30 characters.
        {"B", "NAZWA DŁUŻSZA NIŻ TRZYDZIEŚCI ZNAKÓW", "Baza danych odrzuciła polecenie",
         "truncation"},
        {"A", "POWTÓRZONY", "Taki wpis już jest w bazie (powtórzony klucz)", "KZM_STOPNIE_SKROT"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(list.beginInsert());
        list.skrot = c.skrot;
        list.nazwa = c.nazwa;
        const ListResult r = list.save();
        EXPECT_EQ(r.kind, ListResult::Kind::Failed) << c.nazwa;
        EXPECT_EQ(r.text.section("\r\n", 0, 0), c.firstLine);
        EXPECT_TRUE(r.text.contains(c.server, Qt::CaseInsensitive)) << r.text.toStdString();
        EXPECT_EQ(list.mode(), ListMode::Adding);
        EXPECT_TRUE(log().contains("insert into kzm_stopnie")) << log().toStdString();
    }
    EXPECT_EQ(stored(), QStringList{"A|STOPIEŃ A"});
    // With the abbreviation put right, the same panel saves.
    list.skrot = "B";
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(stored(), QStringList({"A|STOPIEŃ A", "B|POWTÓRZONY"}));
}

TEST_F(ListControllerTest, ADeletionTheDatabaseRefusesLeavesTheRowCurrent) {
    ranks({"A", "B", "C"});
    Exec("create exception e_stopien 'Stopnia B nie wolno usuwać'");
    Exec("create trigger t_stopien_b for kzm_stopnie before delete as begin "
         "if (old.skrot = 'B') then exception e_stopien; end");
    ASSERT_TRUE(list.open());
    moveTo("B");
    const ListResult r = list.deleteCurrent();
    EXPECT_EQ(r.kind, ListResult::Kind::Failed);
    EXPECT_TRUE(r.text.contains("Stopnia B nie wolno usuwać")) << r.text.toStdString();
    EXPECT_EQ(list.mode(), ListMode::Browsing);
    EXPECT_EQ(list.currentSkrot(), "B");
    EXPECT_EQ(stored().size(), 3);
}

} // namespace
