// The lists hub in the main window: its buttons, which windows it makes anew and which it
// keeps, what they do to its button column, the key handler, and its closing.

#include "ListsFormsTest.h"
#include "support/Widgets.h"

#include "terminals/forms/TfmParam.h"
#include "ui/AppContext.h"

#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <QPushButton>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

class WykazyTest : public listsforms::ListsFormsTest {
protected:
    QFrame* column() const { return listsforms::child<QFrame>(hub, "pnButtons"); }
};

TEST_F(WykazyTest, TheMainWindowsButtonOpensTheHubOnce) {
    QPushButton* wykazy = main->button(FunctionSlot::Wykazy);
    EXPECT_TRUE(wykazy->isEnabled());
    hub = openHub();
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->parentWidget(), testdb::Child<QWidget>(main.get(), "pnClient"));
    EXPECT_EQ(main->chCaption(), "Wykazy");
    EXPECT_EQ(s.errContext.form, "fmWykazy");
    EXPECT_EQ(focused(), listsforms::child<QPushButton>(hub, "btnExit"));
    EXPECT_EQ(column()->width(), TfmWykazy::columnWidth);

    QStringList buttons;
    for (const QPushButton* b : column()->findChildren<QPushButton*>())
        buttons << b->text() + (b->isEnabled() ? "" : " (-)");
    EXPECT_EQ(buttons, QStringList({"Wyjście", "Osoby", "Jednostki", "Stopnie", "Stawki ", "Napoje",
                                    "Zdarzenia", "Parametry"}));

    wykazy->click();
    settle();
    EXPECT_EQ(main->functionWindow(FunctionSlot::Wykazy), hub) << "an open hub stays as it is";
    EXPECT_EQ(main->chCaption(), "Wykazy");
}

TEST_F(WykazyTest, EachButtonOpensItsWindowByItsRulesAndClosesTheOthers) {
    hub = openHub();
    ASSERT_TRUE(hub);
    const struct {
        WykazySlot slot;
        const char* button;
        const char* caption;
        bool madeAnew; // when opened while open
        int width;     // of the button column while the window is open
        bool columnShown;
    } cases[] = {
        {WykazySlot::Jednostki, "btnJednostki", "Jednostki", true, 110, true},
        {WykazySlot::Osoby, "btnOsoby", "Osoby", false, 0, true},
        {WykazySlot::Stopnie, "btnStopnie", "Stopnie", true, 110, true},
        {WykazySlot::Napoje, "btnNapoje", "Napoje", true, 110, true},
        {WykazySlot::Zdarz, "btnZdarz", "Zdarzenia", false, 110, false},
        {WykazySlot::Stawki, "btnStawki", "Stawki żywnościowe", true, 110, true},
        {WykazySlot::Param, "btnParam", "Parametry", false, 110, true},
        {WykazySlot::Napoje, "btnNapoje", "Napoje", true, 110, true},
    };
    for (const auto& c : cases) {
        const QString path = QStringLiteral("Wykazy / ") + QString::fromUtf8(c.caption);
        QPointer<FunctionWindow> first = openList(hub, c.button);
        ASSERT_TRUE(first) << c.button;
        EXPECT_EQ(first->parentWidget(), hub->findChild<QWidget*>("pnClient")) << c.button;
        EXPECT_EQ(first->caption(), c.caption);
        EXPECT_EQ(main->chCaption(), path) << c.button;
        for (int i = 0; i < wykazySlotCount; ++i) {
            const auto other = static_cast<WykazySlot>(i);
            EXPECT_TRUE(other == c.slot || hub->listWindow(other) == nullptr)
                << c.button << " leaves the window of slot " << i << " open";
        }
        EXPECT_EQ(column()->width(), c.width) << c.button;
        EXPECT_EQ(!column()->isHidden(), c.columnShown) << c.button;

        QPointer<FunctionWindow> again = openList(hub, c.button);
        EXPECT_EQ(again != first, c.madeAnew) << c.button;
        EXPECT_EQ(first.isNull(), c.madeAnew) << c.button;
        EXPECT_EQ(main->chCaption(), path) << c.button;
    }

    // Closed by its own "Wyjście", the window gives the hub back as it was.
    for (const auto& c : cases) {
        ASSERT_TRUE(openInHub(c.button));
        w->close();
        settle();
        EXPECT_EQ(hub->listWindow(c.slot), nullptr) << c.button;
        EXPECT_EQ(main->chCaption(), "Wykazy") << c.button;
        EXPECT_EQ(column()->width(), TfmWykazy::columnWidth) << c.button;
        EXPECT_TRUE(column()->isVisible()) << c.button;
    }
}

TEST_F(WykazyTest, OpeningTheUnitsAgainGivesAFreshWindowAndTheKeyHandlerFollows) {
    unit(1, QStringLiteral("PIERWSZA"));
    unit(2, QStringLiteral("DRUGA"));
    hub = openHub();
    ASSERT_TRUE(hub);
    FunctionWindow* units = openList(hub, "btnJednostki");
    ASSERT_TRUE(units);
    EXPECT_EQ(main->keyHandler(), units);
    auto* grid = listsforms::child<DbGrid>(units, "dbg");
    clickRow(grid, "2");
    QTest::keyClick(grid, Qt::Key_Insert);
    ASSERT_TRUE(listsforms::child<QFrame>(units, "pnEdit")->isVisible());

    // The main window passes its keys on: Escape there closes the panel.
    testdb::Child<QPushButton>(main.get(), "btnWyjscie")->setFocus();
    QTest::keyClick(testdb::Child<QPushButton>(main.get(), "btnWyjscie"), Qt::Key_Escape);
    EXPECT_FALSE(listsforms::child<QFrame>(units, "pnEdit")->isVisible());
    QTest::keyClick(grid, Qt::Key_Insert);

    FunctionWindow* fresh = openList(hub, "btnJednostki");
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh, units);
    EXPECT_EQ(main->keyHandler(), fresh);
    EXPECT_FALSE(listsforms::child<QFrame>(fresh, "pnEdit")->isVisible());
    EXPECT_EQ(current(listsforms::child<DbGrid>(fresh, "dbg")), "1");

    const struct {
        const char* button;
        bool takesKeys;
    } cases[] = {{"btnStopnie", true},
                 {"btnStawki", true},
                 {"btnNapoje", true},
                 {"btnZdarz", false},
                 {"btnParam", false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(openInHub(c.button));
        EXPECT_EQ(main->keyHandler(), c.takesKeys ? w : nullptr) << c.button;
    }
    FunctionWindow* ranks = openList(hub, "btnStopnie");
    ranks->close();
    settle();
    EXPECT_EQ(main->keyHandler(), nullptr) << "given back on closing";
}

TEST_F(WykazyTest, ClosingTheHubClosesItsWindowsAndEmptiesThePathCaption) {
    hub = openHub();
    ASSERT_TRUE(hub);
    QPointer<FunctionWindow> units = openList(hub, "btnJednostki");
    ASSERT_TRUE(units);
    EXPECT_EQ(main->chCaption(), "Wykazy / Jednostki");
    listsforms::child<QPushButton>(hub, "btnExit")->click();
    settle();
    EXPECT_TRUE(units.isNull());
    EXPECT_EQ(main->functionWindow(FunctionSlot::Wykazy), nullptr);
    EXPECT_EQ(main->keyHandler(), nullptr);
    EXPECT_EQ(main->chCaption(), "");
    EXPECT_EQ(focused(), main->button(FunctionSlot::Wykazy));

    // The parameters window inside the hub goes with it and closes the shared query.
    hub = openHub();
    QPointer<FunctionWindow> param = openList(hub, "btnParam");
    ASSERT_TRUE(qobject_cast<TfmParam*>(param));
    EXPECT_EQ(main->chCaption(), "Wykazy / Parametry");
    EXPECT_TRUE(dm.QTmp.isOpen());
    main->CloseLastForm();
    settle();
    EXPECT_TRUE(param.isNull());
    EXPECT_FALSE(dm.QTmp.isOpen());
    EXPECT_EQ(main->chCaption(), "");
}

} // namespace
