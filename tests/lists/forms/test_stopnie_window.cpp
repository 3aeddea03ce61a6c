// The ranks window: the abbreviation's key filter, its checks, and the ranks by abbreviation.

#include "ListsFormsTest.h"

#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

class StopnieWindowTest : public listsforms::ListsFormsTest {
protected:
    void SetUp() override {
        ListsFormsTest::SetUp();
        exec("insert into kzm_stopnie (skrot,nazwa) values('20','KAPRAL')");
        exec("insert into kzm_stopnie (skrot,nazwa) values('10','SZEREGOWY')");
        ASSERT_TRUE(openInHub("btnStopnie"));
        grid = find<DbGrid>("dbg");
        skrot = find<QLineEdit>("edSkrot");
        nazwa = find<QLineEdit>("edNazwa");
        ASSERT_TRUE(grid && skrot && nazwa);
    }
    void save() { find<QPushButton>("btnZapamietaj")->click(); }
    QString refusal() {
        const listsforms::Box box = answer(QMessageBox::Ok, [&] { save(); });
        EXPECT_EQ(box.title, "Błędne dane");
        EXPECT_TRUE(find<QFrame>("pnEdit")->isVisible());
        EXPECT_EQ(focused(), skrot);
        return box.text;
    }

    DbGrid* grid = nullptr;
    QLineEdit* skrot = nullptr;
    QLineEdit* nazwa = nullptr;
};

TEST_F(StopnieWindowTest, TheAbbreviationTakesNumberCharactersOnlyAndMustBeFree) {
    EXPECT_EQ(gridRows(grid), QStringList({"10|SZEREGOWY", "20|KAPRAL"}));
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), "Skrót");
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorSection(), 0);

    QTest::keyClick(grid, Qt::Key_Insert);
    const struct {
        const char* typed;
        const char* held;
    } keys[] = {{"10", "10"}, {"ab", ""}, {"1a-2", "1-2"}, {"#(.", "#(."}};
    for (const auto& k : keys) {
        skrot->clear();
        type(skrot, QString::fromLatin1(k.typed));
        EXPECT_EQ(skrot->text(), k.held) << k.typed;
    }

    skrot->clear();
    EXPECT_EQ(refusal(), "Brak brak skrótu nazwy");
    type(skrot, "20");
    EXPECT_EQ(refusal(), "Skrót nie może się powtarzać");
    skrot->clear();
    type(skrot, "30");
    type(nazwa, QStringLiteral("chorąży"));
    save();
    EXPECT_EQ(rows("select skrot, nazwa from kzm_stopnie order by skrot"),
              QStringList({"10|SZEREGOWY", "20|KAPRAL", "30|CHORĄŻY"}));

    // A rank saved unchanged keeps its own abbreviation; another rank's is refused.
    clickRow(grid, "20");
    QTest::keyClick(grid, Qt::Key_Return);
    save();
    EXPECT_FALSE(find<QFrame>("pnEdit")->isVisible());
    QTest::keyClick(grid, Qt::Key_Return);
    skrot->clear();
    type(skrot, "10");
    EXPECT_EQ(refusal(), "Skrót nie może się powtarzać");
}

} // namespace
