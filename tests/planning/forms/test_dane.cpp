// The data hub in the main window: its buttons, the windows it opens (standing in for the plan
// and settlement windows to come), the order in which it closes them, and its closing.

#include "app/Program.h"
#include "app/TfmMain.h"
#include "planning/forms/TfmDane.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "support/Widgets.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kzm;
using testdb::Child;

namespace {

// A window of the hub: its closing is written down, and while held it refuses to close, as a
// window with unsaved changes may, so that several can be open at once.
class StubWindow : public FunctionWindow {
public:
    StubWindow(WindowHost& host, const QString& caption, QStringList& closings)
        : FunctionWindow(host, QStringLiteral("fmStub"), caption), closings_(closings) {}

    bool held = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        if (held) {
            event->ignore();
            return;
        }
        FunctionWindow::closeEvent(event);
        closings_ << caption();
    }

private:
    QStringList& closings_;
};

class DaneTest : public testdb::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        startMain();
        SetFunctionWindows(*main);
    }

    // The hub, opened with the main window's button.
    TfmDane* openHub() {
        main->button(FunctionSlot::Dane)->click();
        settle();
        auto* hub = qobject_cast<TfmDane*>(main->functionWindow(FunctionSlot::Dane));
        EXPECT_TRUE(hub);
        return hub;
    }

    // A stub window behind every button of the hub.
    void setStubs(TfmDane* hub) {
        for (int i = 0; i < daneSlotCount; ++i)
            hub->setFactory(static_cast<DaneSlot>(i), [this](WindowHost& h, const QString& c) {
                auto* w = new StubWindow(h, c, closings);
                made << w;
                return w;
            });
    }

    // Presses a button of the hub; the window then open behind its slot.
    StubWindow* press(TfmDane* hub, DaneSlot slot, const char* button) {
        Child<QPushButton>(hub, button)->click();
        settle();
        return static_cast<StubWindow*>(hub->childWindow(slot));
    }

    QFrame* column(TfmDane* hub) const { return Child<QFrame>(hub, "pnButtons"); }

    QList<QPointer<StubWindow>> made;
    QStringList closings;
};

TEST_F(DaneTest, TheMainWindowsButtonOpensTheHubWithItsButtonsDisabledUntilTheirWindowsAreSet) {
    EXPECT_TRUE(main->button(FunctionSlot::Dane)->isEnabled());
    TfmDane* hub = openHub();
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->objectName(), "fmDane");
    EXPECT_EQ(hub->parentWidget(), Child<QWidget>(main.get(), "pnClient"));
    EXPECT_EQ(main->chCaption(), "Dane");
    EXPECT_EQ(s.errContext.form, "fmDane");

    const auto buttons = [&] {
        QStringList out;
        for (const QPushButton* b : column(hub)->findChildren<QPushButton*>())
            out << b->objectName() + " " + b->text() + (b->isEnabled() ? "" : " (-)");
        return out;
    };
    EXPECT_EQ(buttons(),
              QStringList({"btnExit Wyjście", "btnPlan Plan", "btnWoda Rozliczenie napojów (-)",
                           "btnPsy Psy (-)", "btnAnaliza Analiza finansowa (-)",
                           "btnViewR Rejestracje wydań (-)", "btnImport Import (-)"}));
    hub->Open(DaneSlot::Woda);
    settle();
    EXPECT_EQ(hub->childWindow(DaneSlot::Woda), nullptr) << "no window without its factory";
    EXPECT_EQ(main->chCaption(), "Dane");

    // A window set enables its button and its action alone (the plan's is set by the hub).
    hub->setFactory(DaneSlot::Psy, [this](WindowHost& h, const QString& c) {
        return new StubWindow(h, c, closings);
    });
    EXPECT_EQ(buttons(),
              QStringList({"btnExit Wyjście", "btnPlan Plan", "btnWoda Rozliczenie napojów (-)",
                           "btnPsy Psy", "btnAnaliza Analiza finansowa (-)",
                           "btnViewR Rejestracje wydań (-)", "btnImport Import (-)"}));
    for (const char* action : {"aPlan", "aWoda", "aPsy", "aAnaliza", "aViewR", "aImport"})
        EXPECT_EQ(Child<QAction>(hub, action)->isEnabled(),
                  action == std::string("aPsy") || action == std::string("aPlan"))
            << action;
}

TEST_F(DaneTest, EachButtonOpensItsWindowOnceAndClosesTheOthers) {
    TfmDane* hub = openHub();
    ASSERT_TRUE(hub);
    setStubs(hub);
    const struct {
        DaneSlot slot;
        const char* button;
        const char* action;
        const char* caption;
        bool columnShown; // while the window is open
    } cases[] = {
        {DaneSlot::Plan, "btnPlan", "aPlan", "Plan", true},
        {DaneSlot::Woda, "btnWoda", "aWoda", "Rozliczenie napojów", true},
        {DaneSlot::Psy, "btnPsy", "aPsy", "Psy", true},
        {DaneSlot::ViewR, "btnViewR", "aViewR", "Przeglądanie zarejestrowanych odczytów kart",
         true},
        {DaneSlot::Analiza, "btnAnaliza", "aAnaliza", "Analiza finansowa", true},
        {DaneSlot::Plan, "btnPlan", "aPlan", "Plan", true},
        {DaneSlot::Import, "btnImport", "aImport", "Import", false},
    };
    for (const auto& c : cases) {
        const QString path = QStringLiteral("Dane / ") + QString::fromUtf8(c.caption);
        QPointer<StubWindow> first = press(hub, c.slot, c.button);
        ASSERT_TRUE(first) << c.button;
        EXPECT_EQ(first->parentWidget(), Child<QWidget>(hub, "pnClient")) << c.button;
        EXPECT_EQ(first->caption(), c.caption);
        EXPECT_EQ(main->chCaption(), path) << c.button;
        for (const QPointer<StubWindow>& earlier : made)
            EXPECT_TRUE(earlier.isNull() || earlier == first) << c.button << " leaves one open";
        EXPECT_EQ(column(hub)->isVisible(), c.columnShown) << c.button;
        EXPECT_EQ(column(hub)->width(), hub->buttonColumnWidth()) << c.button;

        // Again, by its action (the import window hides the buttons): the same window.
        const qsizetype windows = made.size();
        Child<QAction>(hub, c.action)->trigger();
        settle();
        EXPECT_EQ(hub->childWindow(c.slot), first.data()) << c.button;
        EXPECT_EQ(made.size(), windows) << c.button;
        EXPECT_EQ(main->chCaption(), path) << c.button;
    }

    // Closed, the import window gives the column back.
    QPointer<StubWindow> import = static_cast<StubWindow*>(hub->childWindow(DaneSlot::Import));
    ASSERT_TRUE(import);
    import->close();
    settle();
    EXPECT_TRUE(import.isNull());
    EXPECT_TRUE(column(hub)->isVisible());
    EXPECT_EQ(main->chCaption(), "Dane");
}

TEST_F(DaneTest, CloseDaneClosesTheOpenWindowsInItsOrderAndAPressedOneComesForward) {
    TfmDane* hub = openHub();
    ASSERT_TRUE(hub);
    setStubs(hub);
    // Each window refuses to close, so that opening the next leaves it open.
    for (int i = 0; i < daneSlotCount; ++i) {
        hub->Open(static_cast<DaneSlot>(i));
        settle();
        ASSERT_EQ(made.size(), i + 1);
        made.last()->held = true;
    }
    for (int i = 0; i < daneSlotCount; ++i)
        EXPECT_EQ(hub->childWindow(static_cast<DaneSlot>(i)), made[i].data()) << i;

    // The plan's button brings the open plan window forward, over the import window.
    QWidget* client = Child<QWidget>(hub, "pnClient");
    ASSERT_FALSE(client->size().isEmpty());
    EXPECT_EQ(client->childAt(client->rect().center()), hub->childWindow(DaneSlot::Import));
    Child<QAction>(hub, "aPlan")->trigger();
    settle();
    EXPECT_EQ(made.size(), daneSlotCount);
    EXPECT_EQ(client->childAt(client->rect().center()), hub->childWindow(DaneSlot::Plan));

    for (auto& w : made)
        w->held = false;
    closings.clear();
    hub->CloseDane();
    settle();
    EXPECT_EQ(closings, QStringList({"Import", "Przeglądanie zarejestrowanych odczytów kart",
                                     "Plan", "Rozliczenie napojów", "Psy", "Analiza finansowa"}));
    for (const auto& w : made)
        EXPECT_TRUE(w.isNull());
    EXPECT_EQ(main->functionWindow(FunctionSlot::Dane), hub) << "the hub stays open";
    EXPECT_EQ(main->chCaption(), "Dane");
    EXPECT_TRUE(column(hub)->isVisible());
}

TEST_F(DaneTest, DaneAgainClosesTheHubsWindowsAndWyjscieTheHub) {
    QPointer<TfmDane> hub = openHub();
    ASSERT_TRUE(hub);
    setStubs(hub);
    QPointer<StubWindow> plan = press(hub, DaneSlot::Plan, "btnPlan");
    ASSERT_TRUE(plan);
    EXPECT_EQ(main->chCaption(), "Dane / Plan");

    main->button(FunctionSlot::Dane)->click();
    settle();
    EXPECT_TRUE(plan.isNull());
    EXPECT_EQ(main->functionWindow(FunctionSlot::Dane), hub.data());
    EXPECT_EQ(main->chCaption(), "Dane");

    QPointer<StubWindow> dogs = press(hub, DaneSlot::Psy, "btnPsy");
    ASSERT_TRUE(dogs);
    Child<QPushButton>(hub, "btnExit")->click();
    settle();
    EXPECT_TRUE(dogs.isNull());
    EXPECT_TRUE(hub.isNull());
    EXPECT_EQ(main->functionWindow(FunctionSlot::Dane), nullptr);
    EXPECT_EQ(main->chCaption(), "");
    EXPECT_EQ(main->focusWidget(), main->button(FunctionSlot::Dane));
}

} // namespace
