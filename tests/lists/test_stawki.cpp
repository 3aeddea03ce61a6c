// The rates window's lists: the price list follows the current rate, the amount is checked and
// written with a decimal point, and a price's day decides which price holds.

#include "lists/ListsTest.h"
#include "lists/StawkiList.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using kzm::CennikList;
using kzm::ListMode;
using kzm::ListResult;
using kzm::StawkiList;

class StawkiTest : public lists::ListsTest {
protected:
    StawkiTest() {
        list.ceny().today = [] { return QDate(2026, 3, 10); };
    }

    void price(int idtr, const char* kwota, const char* odKiedy) {
        Exec(QString("insert into kzm_cennik (idtr,kwota,od_kiedy) values(%1,%2,'%3')")
                 .arg(idtr)
                 .arg(kwota, odKiedy));
    }
    QStringList prices(int idtr) {
        return Rows(
            QString("select kwota, od_kiedy from kzm_cennik where idtr=%1 order by id").arg(idtr));
    }
    QStringList shownPrices() {
        QStringList rows;
        fb::Query& q = list.ceny().query();
        for (int r = 0; q.moveTo(r); ++r)
            rows << kzm::Tdmu::getCena(q.fieldByName("KWOTA").value());
        return rows;
    }

    StawkiList list{dm, dmu};
    CennikList& ceny = list.ceny();
};

TEST_F(StawkiTest, ThePriceListFollowsTheCurrentRate) {
    price(20, "10.00", "01.01.2026");
    price(20, "11.50", "01.02.2026");
    price(991, "3.10", "01.01.2026");
    ASSERT_TRUE(list.open());
    EXPECT_EQ(list.currentKey(), 20); // the rates by ID
    EXPECT_FALSE(list.beginInsert()); // the rates themselves are fixed
    EXPECT_FALSE(list.beginEdit());
    EXPECT_EQ(ceny.owner(), 20);
    EXPECT_EQ(shownPrices(), QStringList({"10.00", "11.50"}));
    EXPECT_TRUE(list.canEditPrices());

    ASSERT_TRUE(list.locate(30));
    EXPECT_EQ(shownPrices(), QStringList{});
    EXPECT_FALSE(list.canEditPrices());
    EXPECT_FALSE(ceny.beginEdit());

    ASSERT_TRUE(list.moveTo(4)); // 991
    EXPECT_EQ(shownPrices(), QStringList{"3.10"});
    EXPECT_TRUE(list.canEditPrices());
}

TEST_F(StawkiTest, TheAmountIsANumberWrittenWithADecimalPoint) {
    ASSERT_TRUE(list.open());
    const struct {
        const char* kwota;
        const char* text; // nothing: saved
    } cases[] = {
        {"12,5", nullptr},
        {"7", nullptr},
        {"0.125", nullptr}, // to hundredths, the half away from zero
        {"9999.99", nullptr},
        {"", "Brak kwoty\r\n"},
        {"  ", "Brak kwoty\r\n"},
        {"abc", "Błędna kwota\r\n"},
        {"12A", "Błędna kwota\r\n"},
        {"1.2.3", "Błędna kwota\r\n"},
        {"-", "Błędna kwota\r\n"},
        {"-3", "Kwota musi być od 0.00 do 9999.99\r\n"},
        {"10000", "Kwota musi być od 0.00 do 9999.99\r\n"},
        {"9999.995", "Kwota musi być od 0.00 do 9999.99\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(ceny.beginInsert());
        EXPECT_EQ(ceny.fields().kwota, "");
        EXPECT_EQ(ceny.fields().odKiedy, QDate(2026, 3, 10));
        ceny.fields().kwota = c.kwota;
        const ListResult r = ceny.save();
        if (c.text) {
            EXPECT_EQ(r.kind, ListResult::Kind::Invalid) << c.kwota;
            EXPECT_EQ(r.text, c.text) << c.kwota;
            ceny.cancel();
        } else {
            EXPECT_TRUE(r.ok()) << c.kwota << r.text.toStdString();
        }
    }
    EXPECT_EQ(prices(20), QStringList({"12.50|10.03.2026", "7.00|10.03.2026", "0.13|10.03.2026",
                                       "9999.99|10.03.2026"}));
}

TEST_F(StawkiTest, MovingAPricesDayMovesWhereThePreviousPriceEnds) {
    price(20, "10.00", "01.01.2026");
    price(20, "12.00", "01.03.2026");
    ASSERT_TRUE(list.open());
    const auto on = [&](const char* day) {
        return Rows(QString("select stawka_020 from pkzm_stawki_2('%1')").arg(day)).value(0);
    };
    EXPECT_EQ(on("15.04.2026"), "12.00");

    ASSERT_TRUE(ceny.moveTo(1));
    ASSERT_TRUE(ceny.beginEdit());
    EXPECT_EQ(ceny.fields().kwota, "12.00");
    EXPECT_EQ(ceny.fields().odKiedy, QDate(2026, 3, 1));
    ceny.fields().odKiedy = QDate(2026, 5, 1);
    ASSERT_TRUE(ceny.save().ok());
    EXPECT_EQ(ceny.query().currentRow(), 1); // on the edited price
    EXPECT_EQ(on("15.04.2026"), "10.00");
    EXPECT_EQ(on("01.05.2026"), "12.00");
}

TEST_F(StawkiTest, AnotherRateClosesTheOpenPricePanel) {
    price(20, "10.00", "01.01.2026");
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(ceny.beginInsert());
    ASSERT_TRUE(list.locate(30));
    EXPECT_EQ(ceny.mode(), ListMode::Browsing);
    EXPECT_EQ(ceny.save().kind, ListResult::Kind::Nothing);

    // A price added now belongs to the rate shown.
    ASSERT_TRUE(ceny.beginInsert());
    ceny.fields().kwota = "15";
    ASSERT_TRUE(ceny.save().ok());
    EXPECT_EQ(prices(30), QStringList{"15.00|10.03.2026"});
    EXPECT_EQ(prices(20), QStringList{"10.00|01.01.2026"});
}

} // namespace
