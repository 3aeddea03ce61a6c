// The drinks window: the flags turned over with a click, one water at most, a drink's panel,
// and the prices of the drink chosen entered through the price list the rates window has too,
// with the buttons under the active grid.

#include "ListsFormsTest.h"

#include "lists/forms/ListWindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

enum { colKod, colNazwa, colPojemnosc, colRozlpc, colWoda };

class NapojeWindowTest : public listsforms::ListsFormsTest {
protected:
    void SetUp() override {
        ListsFormsTest::SetUp();
        exec(QStringLiteral("delete from kzm_napoje"));
    }
    void drink(const char* kod, const char* nazwa, int woda, int rozlpc = 0) {
        exec(QStringLiteral("insert into kzm_napoje (kod,nazwa,pojemnosc,rozlpc,woda) "
                            "values('%1','%2',0.5,%3,%4)")
                 .arg(QString::fromUtf8(kod), QString::fromUtf8(nazwa))
                 .arg(rozlpc)
                 .arg(woda));
    }
    void open() {
        ASSERT_TRUE(openInHub("btnNapoje"));
        drinks = find<DbGrid>("dbg");
        prices = find<DbGrid>("dbgCe");
        ASSERT_TRUE(drinks && prices);
    }
    QStringList flags() { return rows("select kod, rozlpc, woda from kzm_napoje order by kod"); }

    DbGrid* drinks = nullptr;
    DbGrid* prices = nullptr;
};

TEST_F(NapojeWindowTest, AClickTurnsAFlagOverAndLeavesOneWaterAtMost) {
    drink("A", "WODA MINERALNA", 1);
    drink("B", "WODA ŹRÓDLANA", 0);
    drink("C", "SOK", 0);
    open();
    EXPECT_EQ(main->chCaption(), "Wykazy / Napoje");
    EXPECT_EQ(gridRows(drinks), QStringList({"A|WODA MINERALNA|0.50|0|1",
                                             "B|WODA ŹRÓDLANA|0.50|0|0", "C|SOK|0.50|0|0"}));
    const struct {
        const char* kod;
        int column;
        QStringList after; // kod|rozlpc|woda
    } cases[] = {
        {"B", colWoda, {"A|0|0", "B|0|1", "C|0|0"}},
        {"B", colWoda, {"A|0|0", "B|0|0", "C|0|0"}},
        {"C", colRozlpc, {"A|0|0", "B|0|0", "C|1|0"}},
        {"C", colWoda, {"A|0|0", "B|0|0", "C|1|1"}},
        {"A", colWoda, {"A|0|1", "B|0|0", "C|1|0"}},
        {"C", colRozlpc, {"A|0|1", "B|0|0", "C|0|0"}},
        {"B", colNazwa, {"A|0|1", "B|0|0", "C|0|0"}},
    };
    for (const auto& c : cases) {
        clickCell(drinks, QString::fromLatin1(c.kod), c.column);
        EXPECT_EQ(flags(), c.after) << c.kod << " " << c.column;
        EXPECT_EQ(current(drinks), c.kod) << c.kod << " " << c.column;
    }
    EXPECT_EQ(gridRows(drinks), QStringList({"A|WODA MINERALNA|0.50|0|1",
                                             "B|WODA ŹRÓDLANA|0.50|0|0", "C|SOK|0.50|0|0"}));
}

TEST_F(NapojeWindowTest, ADrinkEditedWithWodaBecomesTheOnlyWaterItsCodeTrimmed) {
    drink("A", "WODA MINERALNA", 1);
    drink("B", "SOK", 0);
    open();
    clickCell(drinks, QStringLiteral("B"), colNazwa);
    QTest::keyClick(drinks, Qt::Key_Return);
    auto* panel = find<QFrame>("pnEdit");
    ASSERT_TRUE(panel->isVisible());
    auto* kod = find<QLineEdit>("edKod");
    EXPECT_EQ(focused(), kod);
    kod->clear();
    type(kod, QStringLiteral(" źr "));
    EXPECT_EQ(kod->text(), " ŹR ");
    auto* pojemnosc = find<QLineEdit>("edPojemnosc");
    pojemnosc->clear();
    type(pojemnosc, QStringLiteral("1,5l"));
    EXPECT_EQ(pojemnosc->text(), "1.5");
    find<QCheckBox>("cbWoda")->setChecked(true);
    listsforms::child<QPushButton>(panel, "btnZapamietaj")->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(rows("select kod, pojemnosc, woda from kzm_napoje order by id"),
              QStringList({"A|0.5|0", "ŹR|1.5|1"}));
    EXPECT_EQ(current(drinks), "ŹR");
}

TEST_F(NapojeWindowTest, APriceIsEnteredWithItsDayUnderTheActivePriceGrid) {
    drink("A", "WODA MINERALNA", 1);
    drink("B", "SOK", 0);
    open();
    auto* buttons = find<QWidget>("pnButtons");
    EXPECT_EQ(buttons->x(), drinks->x()) << "under the drinks";
    EXPECT_TRUE(find<QPushButton>("btnDopisz")->isVisible());
    EXPECT_TRUE(find<QPushButton>("btnUsun")->isVisible());

    clickCell(drinks, QStringLiteral("B"), colNazwa);
    prices->setFocus();
    settle();
    EXPECT_EQ(buttons->x(), prices->x()) << "under the prices";
    EXPECT_EQ(prices->palette().color(QPalette::Base), ListWindow::activeGridColour);
    EXPECT_FALSE(find<QPushButton>("btnPopraw")->isEnabled()) << "no price yet";

    find<QPushButton>("btnDopisz")->click();
    auto* panel = find<QFrame>("pnCena");
    ASSERT_TRUE(panel->isVisible());
    EXPECT_FALSE(find<QFrame>("pnEdit")->isVisible());
    auto* kwota = find<QLineEdit>("edKwota");
    EXPECT_EQ(focused(), kwota);
    type(kwota, QStringLiteral("2,35"));
    find<QDateEdit>("deOdKiedy")->setDate(QDate(2026, 3, 1));
    listsforms::child<QPushButton>(panel, "btnZapamietaj")->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(rows("select n.kod, c.kwota, c.od_kiedy from kzm_cennik c join kzm_napoje n on "
                   "n.id = c.idtr"),
              QStringList({"B|2.35|01.03.2026"}));
    EXPECT_EQ(gridRows(prices), QStringList({"01.03.2026|2.35"}));
    EXPECT_EQ(focused(), prices);

    // The keys act on the active grid: Enter edits the price, Escape closes its panel.
    QTest::keyClick(prices, Qt::Key_Return);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(kwota->text(), "2.35");
    QTest::keyPress(kwota, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    QTest::keyRelease(kwota, Qt::Key_Escape);

    // Back on the drinks, the buttons follow and the other drink shows no prices.
    clickCell(drinks, QStringLiteral("A"), colNazwa);
    settle();
    EXPECT_EQ(buttons->x(), drinks->x());
    EXPECT_EQ(gridRows(prices), QStringList());
}

} // namespace
