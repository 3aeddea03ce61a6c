// The event types window: a new event type in the first free print column, print columns moved
// and restored, flags turned over with a click, the print group of the marked or the current
// event type, and the corrections beside; and the picture of the window in the main window.

#include "ListsFormsTest.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace kzm;

namespace {

// The columns of the event grid.
enum { colMark, colKod, colNazwa, colDw, colSn, colOb, colKo, colWoda, colD110, colLpw, colGrw };

class ZdarzWindowTest : public listsforms::ListsFormsTest {
protected:
    void SetUp() override {
        ListsFormsTest::SetUp();
        exec(QStringLiteral("delete from kzm_zdarz"));
    }
    // An event type; `meals` gives SN, OB, KO and WODA as four digits.
    void event(const char* skrot, const char* nazwa, int lpw, int grw = 1,
               const char* meals = "1111", int dw = 0, int dw110 = 0) {
        const QString m = QString::fromLatin1(meals);
        exec(QStringLiteral("insert into kzm_zdarz (skrot,nazwa,sn,ob,ko,woda,stawka_dw,"
                            "stawka_dw110,lpw,grw) values('%1','%2',%3,%4,%5,%6,%7,%8,%9,%10)")
                 .arg(QString::fromUtf8(skrot), QString::fromUtf8(nazwa), m.mid(0, 1), m.mid(1, 1),
                      m.mid(2, 1), m.mid(3, 1))
                 .arg(dw)
                 .arg(dw110)
                 .arg(lpw)
                 .arg(grw));
    }
    void open() {
        ASSERT_TRUE(openInHub("btnZdarz"));
        grid = find<DbGrid>("dbg");
        panel = find<QFrame>("pnEdit");
        ASSERT_TRUE(grid && panel);
    }
    // The event types by print column, as "SKROT lpw".
    QStringList columns() {
        return rows("select trim(skrot) || ' ' || lpw from kzm_zdarz order by lpw, skrot");
    }
    // A click on a cell of the event type of the code.
    static void clickCell(DbGrid* g, const QString& kod, int column) {
        ListsFormsTest::clickCell(g, kod, column, colKod);
    }
    void click(const char* button) { find<QAbstractButton>(button)->click(); }
    QString cell(const QString& kod, int column) const {
        const QAbstractItemModel* m = grid->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->data(m->index(r, colKod)).toString() == kod)
                return m->data(m->index(r, column)).toString();
        return QStringLiteral("?");
    }

    DbGrid* grid = nullptr;
    QFrame* panel = nullptr;
};

TEST_F(ZdarzWindowTest, ANewEventTypeInAnEmptyTableTakesPrintColumnOne) {
    open();
    EXPECT_TRUE(hub->findChild<QFrame*>("pnButtons")->isHidden());
    EXPECT_EQ(focused(), grid);
    click("btnDopisz");
    ASSERT_TRUE(panel->isVisible());
    auto* kod = find<QLineEdit>("edKod");
    EXPECT_EQ(focused(), kod);
    EXPECT_EQ(find<QSpinBox>("seLpw")->value(), 1);
    EXPECT_EQ(find<QComboBox>("cbGrupa")->currentText(), "Z KUCHNI");
    EXPECT_TRUE(find<QRadioButton>("rbDw0")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("rbDw110_0")->isChecked());

    type(kod, QStringLiteral("służb"));
    EXPECT_EQ(kod->text(), "SŁUŻB") << "upper case, at most 5 characters";
    type(find<QLineEdit>("edNazwa"), QStringLiteral("służba o'hara"));
    find<QCheckBox>("cbOb")->setChecked(true);
    find<QCheckBox>("cbWoda")->setChecked(true);
    find<QRadioButton>("rbDw60")->click();
    find<QRadioButton>("rbDw110_150")->click();
    find<QComboBox>("cbGrupa")->setCurrentIndex(1);
    click("btnZapamietaj");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(rows("select skrot,nazwa,sn,ob,ko,woda,stawka_dw,stawka_dw110,lpw,grw from "
                   "kzm_zdarz"),
              QStringList({"SŁUŻB|SŁUŻBA O\"HARA|0|1|0|1|60|150|1|2"}));
    EXPECT_EQ(gridRows(grid),
              QStringList({"|SŁUŻB|SŁUŻBA O\"HARA|60.00|0|1|0|1|150.00|1|POZA KUCHNIĄ"}));

    // The next one is proposed the column behind it.
    click("btnDopisz");
    EXPECT_EQ(find<QSpinBox>("seLpw")->value(), 2);
    click("btnRezygnacja");
}

TEST_F(ZdarzWindowTest, PrintColumnsMoveUpAndDownButNotPastTheEnds) {
    event("A", "A", 1);
    event("B", "B", 2);
    event("C", "C", 3);
    const struct {
        const char* row;
        const char* button;
        QStringList after;
    } cases[] = {
        {"A", "btnUp", {"A 1", "B 2", "C 3"}},   {"C", "btnDown", {"A 1", "B 2", "C 3"}},
        {"B", "btnUp", {"B 1", "A 2", "C 3"}},   {"B", "btnDown", {"A 1", "B 2", "C 3"}},
        {"A", "btnDown", {"B 1", "A 2", "C 3"}},
    };
    // Each case goes on from where the one before left the columns.
    open();
    for (const auto& c : cases) {
        clickCell(grid, QString::fromLatin1(c.row), colNazwa);
        click(c.button);
        EXPECT_EQ(columns(), c.after) << c.row << " " << c.button;
        EXPECT_EQ(current(grid, colKod), c.row) << c.row << " " << c.button;
        EXPECT_EQ(focused(), grid) << c.row << " " << c.button;
    }
}

TEST_F(ZdarzWindowTest, RezygnacjaPutsBackThePrintColumnsMovedSinceThePanelOpened) {
    event("A", "A", 1);
    event("B", "B", 2);
    event("C", "C", 3);
    open();
    for (const char* begin : {"btnPopraw", "btnDopisz"}) {
        clickCell(grid, QStringLiteral("C"), colNazwa);
        click(begin);
        ASSERT_TRUE(panel->isVisible()) << begin;
        click("btnUp");
        click("btnUp");
        EXPECT_EQ(columns(), QStringList({"C 1", "A 2", "B 3"})) << begin;
        EXPECT_EQ(focused(), grid) << begin;
        EXPECT_TRUE(panel->isVisible()) << begin;
        click("btnRezygnacja");
        EXPECT_FALSE(panel->isVisible()) << begin;
        EXPECT_EQ(columns(), QStringList({"A 1", "B 2", "C 3"})) << begin;
        EXPECT_EQ(gridRows(grid).size(), 3);
        EXPECT_EQ(cell("C", colLpw), "3") << begin;
    }
}

TEST_F(ZdarzWindowTest, AClickOnAMealOrWaterCellTurnsThatFlagOver) {
    event("A", "A", 1, 1, "1111");
    event("B", "B", 2, 1, "0000");
    open();
    const struct {
        const char* row;
        int column;
        const char* meals; // SN OB KO WODA of A and B afterwards
    } cases[] = {
        {"B", colOb, "1111 0100"}, {"A", colWoda, "1110 0100"}, {"B", colOb, "1110 0000"},
        {"A", colSn, "0110 0000"}, {"B", colKo, "0110 0010"},   {"B", colNazwa, "0110 0010"},
    };
    for (const auto& c : cases) {
        clickCell(grid, QString::fromLatin1(c.row), c.column);
        EXPECT_EQ(rows("select sn || ob || ko || woda from kzm_zdarz order by lpw").join(' '),
                  c.meals)
            << c.row << " " << c.column;
        EXPECT_EQ(current(grid, colKod), c.row);
    }
    EXPECT_EQ(cell("A", colSn), "0");
    EXPECT_EQ(cell("B", colKo), "1");
}

TEST_F(ZdarzWindowTest, APrintGroupGoesToTheMarkedEventTypesOrToTheCurrentOneAlone) {
    event("A", "A", 1);
    event("B", "B", 2);
    event("C", "C", 3);
    event("D", "D", 4, 7);
    open();
    auto* groups = find<DbGrid>("dbgGrw");
    EXPECT_EQ(gridRows(groups),
              QStringList({"1|Z KUCHNI", "2|POZA KUCHNIĄ", "3|RÓWNOWAŻNIK", "4|INNE"}));
    EXPECT_EQ(cell("D", colGrw), "") << "no name for a group beyond 4";

    // Nothing marked: the current event type alone.
    clickCell(grid, QStringLiteral("B"), colNazwa);
    grid->clearMarks();
    clickRow(groups, QStringLiteral("4"));
    click("btnWpiszG");
    EXPECT_EQ(rows("select skrot, grw from kzm_zdarz order by lpw"),
              QStringList({"A|1", "B|4", "C|1", "D|7"}));
    EXPECT_EQ(cell("B", colGrw), "INNE");
    EXPECT_EQ(current(grid, colKod), "B");
    EXPECT_EQ(focused(), grid);

    // The mark boxes mark and unmark rows one by one.
    for (const char* row : {"A", "C", "D", "D"})
        clickCell(grid, QString::fromLatin1(row), colMark);
    std::vector<int> marked;
    for (const QModelIndex& i : grid->selectionModel()->selectedRows())
        marked.push_back(i.row());
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, std::vector<int>({0, 2}));
    click("btnUsunG");
    EXPECT_EQ(rows("select skrot, grw from kzm_zdarz order by lpw"),
              QStringList({"A|0", "B|4", "C|0", "D|7"}));

    // Not while an event type is being edited.
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_FALSE(find<QToolButton>("btnWpiszG")->isEnabled());
    EXPECT_FALSE(find<QToolButton>("btnUsunG")->isEnabled());
}

TEST_F(ZdarzWindowTest, ACorrectionsWaterAndPayoutChangeByClickAndOption) {
    exec("update kzm_szkody_2 set stawka_dw=60 where id=2");
    exec("update kzm_szkody_2 set stawka_dw=50 where id=5");
    open();
    auto* szkody = find<DbGrid>("dbgSzkody");
    EXPECT_EQ(gridRows(szkody), QStringList({"S1|0|0.00", "S2|0|60.00", "S5|0|50.00"}));
    const auto chosen = [this] {
        QStringList on;
        for (const char* b : {"rbSzDw0", "rbSzDw60", "rbSzDw100"})
            if (find<QRadioButton>(b)->isChecked())
                on << QString::fromLatin1(b);
        return on.join(' ');
    };
    // Moving through the list shows each correction's option and writes nothing.
    const struct {
        const char* row;
        const char* option;
    } moves[] = {{"S2", "rbSzDw60"}, {"S5", ""}, {"S1", "rbSzDw0"}};
    for (const auto& m : moves) {
        clickRow(szkody, QString::fromLatin1(m.row));
        EXPECT_EQ(chosen(), m.option) << m.row;
    }
    EXPECT_EQ(rows("select skrot, woda, stawka_dw from kzm_szkody_2 order by id"),
              QStringList({"S1|0|0", "S2|0|60", "S5|0|50"}));

    // The water cell turns over; another option writes the payout.
    ListsFormsTest::clickCell(szkody, QStringLiteral("S5"), 1);
    find<QRadioButton>("rbSzDw100")->click();
    EXPECT_EQ(rows("select skrot, woda, stawka_dw from kzm_szkody_2 order by id"),
              QStringList({"S1|0|0", "S2|0|60", "S5|1|100"}));
    EXPECT_EQ(gridRows(szkody), QStringList({"S1|0|0.00", "S2|0|60.00", "S5|1|100.00"}));
    EXPECT_EQ(current(szkody), "S5");
    EXPECT_EQ(chosen(), "rbSzDw100");
    ListsFormsTest::clickCell(szkody, QStringLiteral("S5"), 1);
    EXPECT_EQ(rows("select woda from kzm_szkody_2 where id=5"), QStringList({"0"}));
}

// The picture of the README: KZM_SCREENSHOTS names the folder it is written to.
TEST_F(ZdarzWindowTest, ScreenshotOfTheEventTypesWindowWithOneBeingEdited) {
    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KZM_SCREENSHOTS unset";
    QDir().mkpath(folder);
    event("ST", "STAN ŻYWIONYCH", 1, 1, "1111");
    event("ŚN", "TYLKO ŚNIADANIE", 2, 1, "1001");
    event("OB", "TYLKO OBIAD", 3, 1, "0101");
    event("KOL", "TYLKO KOLACJA", 4, 1, "0011");
    event("URL", "URLOP WYPOCZYNKOWY", 5, 2, "0000", 100);
    event("DEL", "DELEGACJA SŁUŻBOWA", 6, 2, "0000", 60, 70);
    event("RÓW", "RÓWNOWAŻNIK PIENIĘŻNY", 7, 3, "0000", 100, 150);
    event("SŁNBW", "SŁ. NIEETATOWA BEZ WYŻYWIENIA", 8, 3, "0000", 200);
    event("ZL", "ZWOLNIENIE LEKARSKIE", 9, 4, "0001", 60);
    event("BN", "BEZ NALEŻNOŚCI", 10, 0, "0000");
    exec("update kzm_szkody_2 set woda=1, stawka_dw=60 where id=2");
    main->setWindowState(Qt::WindowNoState);
    main->resize(1100, 680);
    open();
    clickRow(find<DbGrid>("dbgSzkody"), QStringLiteral("S2"));
    clickCell(grid, QStringLiteral("URL"), colNazwa);
    for (const char* row : {"ZL", "DEL"})
        clickCell(grid, QString::fromUtf8(row), colMark);
    QTest::keyClick(grid, Qt::Key_Return);
    find<QRadioButton>("rbDw100")->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->grab().save(folder + QStringLiteral("/zdarzenia.png")));
}

} // namespace
