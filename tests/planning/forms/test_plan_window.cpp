// The plan window in the data hub of the main window, against a real database: opening it,
// the period's navigation, making a month with the main window's gauge, a unit's plan with its
// codes and red rows, entering from the side lists into marked rows, deleting only after the
// question, the sums, and its picture.

#include "app/Program.h"
#include "app/TfmMain.h"
#include "planning/forms/TfmDane.h"
#include "planning/forms/TfmPlan.h"
#include "planning/support/Canteen.h"
#include "support/DbRows.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "support/WhenModal.h"
#include "support/Widgets.h"
#include "terminals/RegistrationDb.h"
#include "terminals/RegistrationRun.h"
#include "ui/DbGrid.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;
using testdb::Child;

namespace {

QDate D(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd.MM.yyyy"));
}

class PlanWindowTest : public testdb::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        canteen = planning::SeedCanteen(dm);
        s.workDate = D("10.03.2025");
        startMain();
        SetFunctionWindows(*main);
    }

    TfmPlan* open() {
        main->button(FunctionSlot::Dane)->click();
        settle();
        auto* hub = qobject_cast<TfmDane*>(main->functionWindow(FunctionSlot::Dane));
        if (!hub)
            return nullptr;
        Child<QPushButton>(hub, "btnPlan")->click();
        settle();
        return qobject_cast<TfmPlan*>(hub->childWindow(DaneSlot::Plan));
    }
    template <class W> W* find(TfmPlan* w, const char* name) { return Child<W>(w, name); }
    void click(TfmPlan* w, const char* button) {
        find<QAbstractButton>(w, button)->click();
        QCoreApplication::processEvents();
    }
    // The plan grid's rows: "NR_OPER DATA event-code" for each row, its text colour when red.
    QStringList gridRows(DbGrid* g) {
        QStringList rows;
        const QAbstractItemModel* m = g->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c : {1, 2, 6})
                if (!m->index(r, c).data().toString().isEmpty())
                    cells << m->index(r, c).data().toString();
            QString row = cells.join(u' ');
            if (m->index(r, 1).data(Qt::ForegroundRole).value<QColor>() == QColor(Qt::red))
                row += QStringLiteral(" (red)");
            rows << row.trimmed();
        }
        return rows;
    }
    void clickMark(DbGrid* g, int row) {
        const QRect cell = g->visualRect(g->model()->index(row, 0));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void chooseUnit(TfmPlan* w, int index) {
        auto* cb = find<QComboBox>(w, "cbJedn");
        cb->setCurrentIndex(index);
        emit cb->activated(index);
        QCoreApplication::processEvents();
    }
    QStringList Rows(const QString& sql) { return testdb::Rows(dm, sql); }

    planning::Canteen canteen;
};

TEST_F(PlanWindowTest, OpensOnTheWorkingDateWithTheUnitsAndAnEmptyPlan) {
    TfmPlan* w = open();
    ASSERT_TRUE(w);
    EXPECT_EQ(main->chCaption(), "Dane / Plan");
    EXPECT_EQ(w->period(), (Period{D("10.03.2025"), D("10.03.2025")}));
    auto* cb = find<QComboBox>(w, "cbJedn");
    ASSERT_EQ(cb->count(), 2);
    EXPECT_TRUE(cb->itemText(0).startsWith(" 1.PIERWSZA"));
    EXPECT_EQ(cb->itemText(1).mid(80).toInt(), canteen.unit2);
    EXPECT_EQ(find<QTabWidget>(w, "pcSide")->currentIndex(), 0);
    EXPECT_EQ(find<DbGrid>(w, "dbgPlan")->model()->rowCount(), 0);
    EXPECT_TRUE(find<DbGrid>(w, "dbgSzkody")->model()->rowCount() > 0);

    // The next and previous buttons, by month and by day.
    w->setPeriod({D("31.01.2025"), D("31.01.2025")});
    find<QCheckBox>(w, "chMiesiac")->setChecked(true);
    click(w, "btnNext");
    EXPECT_EQ(w->period(), (Period{D("01.02.2025"), D("28.02.2025")}));
    click(w, "btnPrev");
    EXPECT_EQ(w->period(), (Period{D("01.01.2025"), D("31.01.2025")}));
    find<QCheckBox>(w, "chMiesiac")->setChecked(false);
    w->setPeriod({D("31.01.2025"), D("31.01.2025")});
    click(w, "btnNext");
    EXPECT_EQ(w->period(), (Period{D("01.02.2025"), D("01.02.2025")}));
}

TEST_F(PlanWindowTest, AMonthIsMadeDayByDayOnTheGaugeAndEnteredIntoMarkedRows) {
    TfmPlan* w = open();
    ASSERT_TRUE(w);
    auto* gauge = Child<QProgressBar>(main.get(), "pbGauge");
    QList<int> steps;
    QObject::connect(gauge, &QProgressBar::valueChanged, [&](int v) { steps << v; });
    w->setPeriod({D("01.03.2025"), D("31.03.2025")});
    chooseUnit(w, 0);
    click(w, "btnOpen");
    EXPECT_EQ(gauge->maximum(), 31);
    EXPECT_EQ(steps.last(), 31);
    EXPECT_EQ(steps.size(), 32) << "0 and one step a day";
    EXPECT_FALSE(gauge->isVisible());
    EXPECT_EQ(Rows("select count(*) from KZM_DANE"), QStringList({"124"}));

    DbGrid* g = find<DbGrid>(w, "dbgPlan");
    QStringList rows = gridRows(g);
    ASSERT_EQ(rows.size(), 62) << "the unit's rows";
    EXPECT_EQ(rows.first(), "101 01.03.2025 (red)");

    // Two rows marked, the lunch double-clicked in the event list.
    clickMark(g, 0);
    clickMark(g, 2);
    DbGrid* events = find<DbGrid>(w, "dbgZdarz");
    ASSERT_TRUE(w->sideLists().events().locate("ID", canteen.lunch));
    events->refresh();
    emit events->rowActivated(events->currentIndex().row());
    QCoreApplication::processEvents();
    rows = gridRows(g);
    EXPECT_EQ(rows.mid(0, 3),
              QStringList({"101 01.03.2025 TOB", "101 02.03.2025 (red)", "101 03.03.2025 TOB"}));

    // "Wpisz" with a correction: only rows with an event take it.
    clickMark(g, 0);
    clickMark(g, 1);
    auto* szkoda = find<QCheckBox>(w, "chSzkoda");
    szkoda->setChecked(true);
    EXPECT_TRUE(szkoda->font().bold());
    w->sideLists().corrections().locate("ID", 2);
    click(w, "BitBtn8");
    EXPECT_FALSE(szkoda->isChecked());
    EXPECT_EQ(Rows("select DATA, POPRAWKA from KZM_DANE where NR_OPER=101 and POPRAWKA<>0"),
              QStringList({"01.03.2025|2"}));
    EXPECT_EQ(g->model()->index(0, 15).data().toString(), "S2");
}

TEST_F(PlanWindowTest, DeletesOnlyAfterTheQuestion) {
    TfmPlan* w = open();
    ASSERT_TRUE(w);
    w->setPeriod({D("01.03.2025"), D("02.03.2025")});
    chooseUnit(w, 1);
    click(w, "btnOpen");
    DbGrid* g = find<DbGrid>(w, "dbgPlan");
    ASSERT_EQ(g->model()->rowCount(), 4);

    // Without marks: refused.
    QString shown;
    {
        testdb::WhenModal box([&](QWidget* m) {
            shown = static_cast<QMessageBox*>(m)->text();
            static_cast<QMessageBox*>(m)->accept();
        });
        click(w, "btnDelete");
    }
    EXPECT_EQ(shown, "Nie zaznaczono pozycji do usunięcia");

    clickMark(g, 1);
    for (const bool yes : {false, true}) {
        testdb::WhenModal box([&](QWidget* m) {
            auto* b = static_cast<QMessageBox*>(m);
            shown = b->text();
            b->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        click(w, "btnDelete");
        EXPECT_EQ(shown, "Czy naprawdę skasować?");
        EXPECT_EQ(
            Rows("select count(*) from KZM_DANE where IDJEDN=" + QString::number(canteen.unit2)),
            QStringList({yes ? "3" : "4"}));
    }
    EXPECT_EQ(g->model()->rowCount(), 3);
}

TEST_F(PlanWindowTest, TheSumsOfASmallPlanLineByLine) {
    TfmPlan* w = open();
    ASSERT_TRUE(w);
    w->setPeriod({D("01.03.2025"), D("02.03.2025")});
    chooseUnit(w, 0);
    click(w, "btnOpen");
    const auto set = [&](int nr, const char* day, int event) {
        testdb::Exec(dm, QStringLiteral("update KZM_DANE set IDZDARZ=%1 where NR_OPER=%2 and "
                                        "DATA='%3'")
                             .arg(event)
                             .arg(nr)
                             .arg(QString::fromLatin1(day)));
    };
    set(101, "01.03.2025", canteen.lunch);
    set(101, "02.03.2025", canteen.lunch);
    set(102, "01.03.2025", canteen.allDay);
    set(123, "01.03.2025", canteen.allDay);
    click(w, "BitBtn9");
    const QStringList lines = find<QPlainTextEdit>(w, "mSumy")->toPlainText().split(u'\n');
    const QStringList expected = {
        "Sumy za okres 01.03.2025 - 02.03.2025",
        "",
        "PIERWSZA                      ",
        QString(30, u'-'),
        " TCAL                    CAŁY DZIEŃ       1",
        "  TOB                         OBIAD       2",
        "",
        "DRUGA                         ",
        QString(30, u'-'),
        " TCAL                    CAŁY DZIEŃ       1",
        "",
        "Ogółem",
        QString(30, u'='),
        " TCAL                    CAŁY DZIEŃ       2",
        "  TOB                         OBIAD       2",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(find<QWidget>(w, "pnSumy")->isVisible());
    click(w, "btnZamknij");
    EXPECT_FALSE(find<QWidget>(w, "pnSumy")->isVisible());
}

// From the window to the terminal: today's plan made, lunch entered for one person, and at the
// terminal that person gets the lunch and the other one is blocked.
TEST_F(PlanWindowTest, APersonPlannedForLunchGetsItAtTheTerminalAndOneWithoutIsBlocked) {
    testreg::Registrations terminals(dm, s, home.path());
    terminals.canteen(ctx.params);
    terminals.exec("update KZM_KART set NR_IDENT='0000510100' where NR_OPER=101");
    terminals.exec("update KZM_KART set NR_IDENT='0000510200' where NR_OPER=102");
    s.workDate = testreg::day;
    TfmPlan* w = open();
    ASSERT_TRUE(w);
    chooseUnit(w, 0);
    click(w, "btnOpen");
    DbGrid* g = find<DbGrid>(w, "dbgPlan");
    ASSERT_EQ(gridRows(g), QStringList({"101 " + testreg::day.toString("dd.MM.yyyy") + " (red)",
                                        "102 " + testreg::day.toString("dd.MM.yyyy") + " (red)"}));
    clickMark(g, 0);
    ASSERT_TRUE(w->sideLists().events().locate("ID", canteen.lunch));
    w->WpiszdoplanuClick(PlanSide::Events);
    EXPECT_EQ(gridRows(g).first(), "101 " + testreg::day.toString("dd.MM.yyyy") + " TOB");

    terminals.definition(3, QStringLiteral("Kuchnia 1"));
    tqsim::SimLine& line = terminals.line(3, {{tqsim::Model::TQ200, 1}});
    line.addReading(0, testreg::Card("0000510100", testreg::At("12:00:00")));
    line.addReading(0, testreg::Card("0000510200", testreg::At("12:01:00")));
    testreg::QuietRun quiet;
    RegistrationRun run(s, dm, ctx.params, quiet);
    run.loadTerminals();
    run.startStop();
    for (int i = 0; i < 5 && line.state(0).acknowledged < 2; ++i) {
        run.timer().stop();
        run.cycle();
    }
    run.timer().stop();
    EXPECT_EQ(line.state(0).acknowledged, 2);
    EXPECT_EQ(testreg::Texts(line.state(0)), QStringList({"WYDANIE", "BLOKADA"}));
    run.startStop();
}

// The picture of the README: KZM_SCREENSHOTS names the folder it is written to.
TEST_F(PlanWindowTest, ScreenshotOfAUnitsMonth) {
    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KZM_SCREENSHOTS unset";
    QDir().mkpath(folder);
    main->setWindowState(Qt::WindowNoState);
    main->resize(1280, 720);
    TfmPlan* w = open();
    ASSERT_TRUE(w);
    find<QCheckBox>(w, "chMiesiac")->setChecked(true);
    w->setPeriod({D("01.03.2025"), D("31.03.2025")});
    chooseUnit(w, 0);
    click(w, "btnOpen");
    testdb::Exec(dm, QStringLiteral("update KZM_DANE set IDZDARZ=%1, SN=1, OB=1, KO=1, WODA=1 "
                                    "where extract(weekday from DATA) between 1 and 5")
                         .arg(canteen.allDay));
    testdb::Exec(dm, QStringLiteral("update KZM_DANE set IDZDARZ=%1, OB=1 where extract(weekday "
                                    "from DATA)=6")
                         .arg(canteen.lunch));
    chooseUnit(w, 0);
    DbGrid* g = find<DbGrid>(w, "dbgPlan");
    for (int r : {3, 4, 5})
        clickMark(g, r);
    find<QCheckBox>(w, "chZdarzenie")->setChecked(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->grab().save(folder + QStringLiteral("/plan.png")));
}

} // namespace
