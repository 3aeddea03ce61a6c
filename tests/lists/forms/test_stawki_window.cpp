// The rates window: the price list follows the rate, its buttons whether the rate has prices,
// amounts typed with a comma, the keys of the price grid and the active grid's colour.

#include "ListsFormsTest.h"

#include "lists/forms/ListWindow.h"

#include <QDateEdit>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

using namespace kzm;

namespace {

class StawkiWindowTest : public listsforms::ListsFormsTest {
protected:
    void open() {
        ASSERT_TRUE(openInHub("btnStawki"));
        rates = find<DbGrid>("dbg");
        prices = find<DbGrid>("dbgCe");
        panel = find<QFrame>("pnCena");
        kwota = find<QLineEdit>("edKwota");
        odKiedy = find<QDateEdit>("deOdKiedy");
        ASSERT_TRUE(rates && prices && panel && kwota && odKiedy);
    }
    void price(int rate, const char* day, const char* amount) {
        exec(QStringLiteral("insert into kzm_cennik (idtr,kwota,od_kiedy) values(%1,%2,'%3')")
                 .arg(rate)
                 .arg(QString::fromLatin1(amount), QString::fromLatin1(day)));
    }
    bool enabled(const char* button) const { return find<QPushButton>(button)->isEnabled(); }
    QColor background(const DbGrid* grid) const { return grid->palette().color(QPalette::Base); }

    DbGrid* rates = nullptr;
    DbGrid* prices = nullptr;
    QFrame* panel = nullptr;
    QLineEdit* kwota = nullptr;
    QDateEdit* odKiedy = nullptr;
};

TEST_F(StawkiWindowTest, ThePricesFollowTheRateAndPoprawAndUsunWhetherItHasAny) {
    price(20, "01.01.2025", "10.5");
    price(20, "01.07.2025", "11");
    price(992, "01.01.2025", "7.25");
    open();
    EXPECT_EQ(main->chCaption(), "Wykazy / Stawki żywnościowe");
    EXPECT_EQ(gridRows(rates),
              QStringList({"020|STAWKA 020", "030|STAWKA 030", "110|DOPŁATA", "WODA166|WODA 166%",
                           "WODA160|WODA 160%", "OBIAD|OBIAD"}));
    EXPECT_EQ(focused(), rates);
    EXPECT_EQ(background(rates), ListWindow::activeGridColour);
    EXPECT_NE(background(prices), ListWindow::activeGridColour);

    const struct {
        const char* rate;
        QStringList prices;
    } cases[] = {
        {"030", {}},
        {"020", {"01.01.2025|10.50", "01.07.2025|11.00"}},
        {"WODA160", {}},
        {"OBIAD", {"01.01.2025|7.25"}},
    };
    for (const auto& c : cases) {
        clickRow(rates, c.rate);
        EXPECT_EQ(gridRows(prices), c.prices) << c.rate;
        EXPECT_EQ(enabled("btnPopraw"), !c.prices.isEmpty()) << c.rate;
        EXPECT_EQ(enabled("btnUsun"), !c.prices.isEmpty()) << c.rate;
        EXPECT_TRUE(enabled("btnDopisz")) << c.rate;
    }
}

TEST_F(StawkiWindowTest, AnAmountTypedWithACommaIsStoredWithAPoint) {
    open();
    clickRow(rates, "030");
    prices->setFocus();
    EXPECT_EQ(background(prices), ListWindow::activeGridColour);
    EXPECT_NE(background(rates), ListWindow::activeGridColour);

    QTest::keyClick(prices, Qt::Key_Insert);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(focused(), kwota);
    EXPECT_EQ(odKiedy->date(), QDate::currentDate());
    type(kwota, "12,5");
    EXPECT_EQ(kwota->text(), "12.5");
    odKiedy->setDate(QDate(2026, 3, 1));
    listsforms::child<QPushButton>(panel, "btnZapamietaj")->click();
    EXPECT_EQ(rows("select idtr, kwota, od_kiedy from kzm_cennik"),
              QStringList({"30|12.5|01.03.2026"}));
    EXPECT_EQ(gridRows(prices), QStringList({"01.03.2026|12.50"}));
    EXPECT_EQ(focused(), prices);
    EXPECT_TRUE(enabled("btnPopraw"));

    QTest::keyClick(prices, Qt::Key_Return);
    EXPECT_EQ(kwota->text(), "12.50");
    EXPECT_EQ(odKiedy->date(), QDate(2026, 3, 1));

    // Escape closes the price panel when pressed, while the price grid is the active one.
    rates->setFocus();
    QTest::keyPress(kwota, Qt::Key_Escape);
    EXPECT_TRUE(panel->isVisible()) << "the rates grid is the active one";
    prices->setFocus();
    QTest::keyPress(kwota, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    QTest::keyRelease(kwota, Qt::Key_Escape);

    // Tab goes from the price grid to the rates grid, and the colour with it.
    prices->setFocus();
    QTest::keyClick(prices, Qt::Key_Tab);
    EXPECT_EQ(focused(), rates);
    EXPECT_EQ(background(rates), ListWindow::activeGridColour);
    EXPECT_NE(background(prices), ListWindow::activeGridColour);
}

// The picture of the README: the rates window with the price list of rate 020 and a new price
// being entered. KZM_SCREENSHOTS names the folder it is written to.
TEST_F(StawkiWindowTest, ScreenshotOfTheRatesWindowWithItsPriceList) {
    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KZM_SCREENSHOTS unset";
    QDir().mkpath(folder);
    for (const auto& [day, amount] : {std::pair{"01.01.2025", "18.40"},
                                      {"01.07.2025", "19.10"},
                                      {"01.01.2026", "20.25"},
                                      {"01.07.2026", "21.00"}})
        price(20, day, amount);
    price(30, "01.01.2026", "27.80");
    price(992, "01.01.2026", "9.50");
    main->setWindowState(Qt::WindowNoState);
    main->resize(1000, 640);
    open();
    clickRow(rates, "020");
    prices->setFocus();
    QTest::keyClick(prices, Qt::Key_Insert);
    type(kwota, QStringLiteral("22,35"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->grab().save(folder + QStringLiteral("/stawki.png")));
}

} // namespace
