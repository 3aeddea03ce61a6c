// What every list window does, through the units window inside the hub: the keys and the
// panel, saving and its boxes, the confirmed deletion positioned on the next row, a statement
// the database refuses.

#include "ListsFormsTest.h"

#include "db/Tdm.h"
#include "lists/ListController.h"
#include "lists/forms/ListWindow.h"
#include "support/TestHost.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

class ListWindowTest : public listsforms::ListsFormsTest {
protected:
    void SetUp() override {
        ListsFormsTest::SetUp();
        unit(1, QStringLiteral("PIERWSZA"));
        unit(2, QStringLiteral("DRUGA"), "0");
        unit(3, QStringLiteral("TRZECIA"));
    }

    // The units window in the hub, with its widgets.
    void open() {
        ASSERT_TRUE(openInHub("btnJednostki"));
        grid = find<DbGrid>("dbg");
        panel = find<QFrame>("pnEdit");
        numer = find<QLineEdit>("edNumer");
        nazwa = find<QLineEdit>("edNazwa");
        cywile = find<QCheckBox>("cbCywile");
        ASSERT_TRUE(grid && panel && numer && nazwa && cywile);
    }
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QStringList stored() {
        return rows("select numer, nazwa, grupa from kzm_jednostki order by id");
    }

    DbGrid* grid = nullptr;
    QFrame* panel = nullptr;
    QLineEdit* numer = nullptr;
    QLineEdit* nazwa = nullptr;
    QCheckBox* cywile = nullptr;
};

TEST_F(ListWindowTest, GridKeysOpenThePanelAndEscapeOnReleaseClosesIt) {
    open();
    EXPECT_EQ(focused(), grid);
    EXPECT_EQ(grid->palette().color(QPalette::Base), ListWindow::activeGridColour);
    EXPECT_EQ(gridRows(grid),
              QStringList({"1|PIERWSZA|Cywile", "2|DRUGA|Wojsko", "3|TRZECIA|Cywile"}));
    clickRow(grid, "2");

    // Insert: an empty panel for a new unit, civilian unless unticked, its number first.
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(numer->text(), "");
    EXPECT_TRUE(numer->isEnabled());
    EXPECT_TRUE(cywile->isChecked());
    EXPECT_EQ(focused(), numer);
    EXPECT_FALSE(button("btnDopisz")->isEnabled()) << "no second action while the panel is open";

    // Escape acts when released: the press alone leaves the panel open.
    QTest::keyPress(numer, Qt::Key_Escape);
    EXPECT_TRUE(panel->isVisible());
    QTest::keyRelease(numer, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(focused(), grid);
    EXPECT_EQ(current(grid), "2");

    // Enter and a double click edit the current unit: its number stays as it is.
    const struct {
        const char* how;
        std::function<void()> act;
    } edits[] = {
        {"Enter", [&] { QTest::keyClick(grid, Qt::Key_Return); }},
        {"double click",
         [&] {
             const QRect r = grid->visualRect(grid->currentIndex());
             QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
         }},
        {"menu", [&] { find<QAction>("aEdit")->trigger(); }},
    };
    for (const auto& e : edits) {
        e.act();
        EXPECT_TRUE(panel->isVisible()) << e.how;
        EXPECT_EQ(numer->text(), "2") << e.how;
        EXPECT_FALSE(numer->isEnabled()) << e.how;
        EXPECT_EQ(nazwa->text(), "DRUGA") << e.how;
        EXPECT_FALSE(cywile->isChecked()) << e.how;
        EXPECT_EQ(focused(), nazwa) << e.how;
        button("btnRezygnacja")->click();
        EXPECT_FALSE(panel->isVisible()) << e.how;
    }

    // Without a panel Escape does nothing: the window stays, and so does the row.
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(hub->listWindow(WykazySlot::Jednostki), w);
    EXPECT_EQ(main->chCaption(), "Wykazy / Jednostki");
    EXPECT_EQ(current(grid), "2");

    // The grid's menu holds the three actions; the units add their kinds.
    QStringList menu;
    for (const QAction* a : grid->actions())
        menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(menu, QStringList({"Dopisz", "Popraw", "Usuń", "-", "Cywile", "Wojsko"}));
    EXPECT_EQ(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
}

TEST_F(ListWindowTest, SavingWritesTheRowAndShowsItOrTheRowCurrentBeforeAnInsert) {
    open();
    clickRow(grid, "2");
    button("btnDopisz")->click();
    type(numer, "40");
    type(nazwa, QStringLiteral("łączności"));
    EXPECT_EQ(nazwa->text(), "ŁĄCZNOŚCI");
    cywile->setChecked(false);
    button("btnZapamietaj")->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(stored().last(), "40|ŁĄCZNOŚCI|0");
    EXPECT_TRUE(gridRows(grid).contains("40|ŁĄCZNOŚCI|Wojsko"));
    EXPECT_EQ(current(grid), "2") << "after an insert, on the row current before";
    EXPECT_EQ(focused(), grid);

    clickRow(grid, "40");
    button("btnPopraw")->click();
    nazwa->clear();
    type(nazwa, "o'hara");
    cywile->setChecked(true);
    button("btnZapamietaj")->click();
    EXPECT_EQ(stored().last(), "40|O\"HARA|1");
    EXPECT_EQ(current(grid, 1), "O\"HARA") << "after an edit, on the edited row";

    // A failed check: one box titled "Błędne dane", the panel open, the focus on its field.
    button("btnDopisz")->click();
    type(numer, "12A");
    const listsforms::Box box = answer(QMessageBox::Ok, [&] { button("btnZapamietaj")->click(); });
    EXPECT_EQ(box.title, "Błędne dane");
    EXPECT_EQ(box.text, "Brak numeru jednostki");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(focused(), numer);
    EXPECT_EQ(stored().size(), 4);
}

TEST_F(ListWindowTest, DeletionIsConfirmedAndShowsTheNextRowOrTheOneBefore) {
    open();
    clickRow(grid, "2");
    listsforms::Box box = answer(QMessageBox::No, [&] { QTest::keyClick(grid, Qt::Key_Delete); });
    EXPECT_EQ(box.title, "Kasowanie pozycji");
    EXPECT_EQ(box.text, "Czy naprawdę skasować?");
    EXPECT_EQ(stored().size(), 3);

    const struct {
        const char* row;  // deleted
        const char* next; // current afterwards, "" for an empty list
    } steps[] = {{"2", "3"}, {"3", "1"}, {"1", ""}};
    for (const auto& s : steps) {
        clickRow(grid, s.row);
        box = answer(QMessageBox::Yes, [&] { button("btnUsun")->click(); });
        EXPECT_TRUE(box.shown) << s.row;
        EXPECT_EQ(current(grid), s.next) << s.row;
        EXPECT_EQ(focused(), grid);
    }
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(gridRows(grid).isEmpty());
    EXPECT_FALSE(button("btnPopraw")->isEnabled());
    EXPECT_FALSE(button("btnUsun")->isEnabled());
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible()) << "nothing to edit in an empty list";

    // A unit that assignments name is refused in a box of the deletion's title.
    unit(5, QStringLiteral("PIĄTA"));
    exec("insert into kzm_przydzial (nr_oper,idjedn,od_kiedy,idstawka) select 7, id, "
         "'01.01.2026', 20 from kzm_jednostki where numer=5");
    w->close();
    w = openList(hub, "btnJednostki");
    grid = find<DbGrid>("dbg");
    box = answer(QMessageBox::Ok, [&] { QTest::keyClick(grid, Qt::Key_Delete); });
    EXPECT_EQ(box.title, "Kasowanie pozycji");
    EXPECT_EQ(box.text, "Nie można usunąć jednostki, bo jest w przydziałach 1 osoby.");
    EXPECT_EQ(stored(), QStringList({"5|PIĄTA|1"}));
}

TEST_F(ListWindowTest, AStatementTheDatabaseRefusesKeepsThePanelWithTheServersText) {
    exec("create exception e_jednostka 'Jednostki 3 nie wolno zmieniać'");
    exec("create trigger t_jednostka_3 for kzm_jednostki before update as begin "
         "if (old.numer = 3) then exception e_jednostka; end");
    open();
    clickRow(grid, "3");
    QTest::keyClick(grid, Qt::Key_Return);
    type(nazwa, "X");
    button("btnZapamietaj")->click();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("Jednostki 3 nie wolno zmieniać")) << shown[0].toStdString();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(nazwa->text(), "X") << "the field's text was selected when it took the focus";
    EXPECT_EQ(focused(), numer->isEnabled() ? numer : nazwa);
    EXPECT_EQ(stored()[2], "3|TRZECIA|1");

    // Given up, the row is as it was.
    QTest::keyClick(nazwa, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(current(grid, 1), "TRZECIA");
}

// A list whose two checks always fail, shown by a window of one field.
class TwoChecks : public ListController {
public:
    TwoChecks(Tdm& dm, Tdmu& dmu)
        : ListController(dm, dmu, QStringLiteral("select * from kzm_stopnie"),
                         QStringLiteral("ID")) {}

protected:
    QStringList check() override { return {QStringLiteral("Brak skrótu"), "Brak nazwy"}; }
    QStringList saveStatements() const override {
        return {QStringLiteral("insert into kzm_stopnie (skrot) values('X')")};
    }
};

class TwoChecksWindow : public ListWindow {
public:
    explicit TwoChecksWindow(WindowHost& host)
        : ListWindow(host, QStringLiteral("fmProba"), QStringLiteral("Próba")) {
        ListPane& pane = addList(makeList<TwoChecks>(ctx().dm, *ctx().dmu), "dbg");
        addPanel(pane, QStringLiteral("pnEdit"));
        addEdit(pane, QStringLiteral("Skrót"), QStringLiteral("edSkrot"), 5, true, skrot_);
        placeList(pane, body());
    }

private:
    QString skrot_;
};

TEST_F(ListWindowTest, EveryFailedCheckIsALineOfOneBox) {
    testdb::TestHost host(ctx);
    auto* window = new TwoChecksWindow(host);
    window->show();
    EXPECT_EQ(host.captions, QStringList({"Próba"}));
    EXPECT_TRUE(host.keyHandler.isNull()) << "a list window keeps the host's keys unless it says";
    listsforms::child<QPushButton>(window, "btnDopisz")->click();
    const listsforms::Box box = answer(
        QMessageBox::Ok, [&] { listsforms::child<QPushButton>(window, "btnZapamietaj")->click(); });
    EXPECT_EQ(box.title, "Błędne dane");
    EXPECT_EQ(box.text, "Brak skrótu\nBrak nazwy");
    EXPECT_TRUE(listsforms::child<QFrame>(window, "pnEdit")->isVisible());
    EXPECT_EQ(window->focusWidget(), listsforms::child<QLineEdit>(window, "edSkrot"));
    EXPECT_EQ(number("select count(*) from kzm_stopnie"), 0);
    window->close();
    settle();
    EXPECT_TRUE(host.captions.isEmpty());
}

} // namespace
