// The terminal window over the registration run: what it shows, its button, its life in the
// main window and a registration workstation's start.

#include "app/Program.h"
#include "app/TfmMain.h"
#include "db/Params.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "support/Widgets.h"
#include "terminals/RegistrationDb.h"
#include "terminals/forms/TfmTQ200.h"
#include "tqsim/SimLine.h"
#include "ui/AppContext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

using namespace kzm;
using namespace testreg;
using testdb::Child;
using tqsim::Model;
using tqsim::SimLine;

namespace {

QListWidget* history(TfmTQ200* w) {
    return Child<QListWidget>(w, "lbHistoria");
}

QStringList historyLines(TfmTQ200* w) {
    QStringList out;
    for (int i = 0; i < history(w)->count(); ++i)
        out << history(w)->item(i)->text();
    return out;
}

// A count box: row 0 planned, 1 issued, 2 the difference; column 0 breakfasts, 1 lunches,
// 2 suppers.
QString stat(TfmTQ200* w, int row, int meal) {
    return Child<QLineEdit>(w, QStringLiteral("edStat%1%2").arg(row).arg(meal).toLatin1())->text();
}

class TQ200Test : public testdb::MainWindowTest, protected Registrations {
protected:
    TQ200Test() : Registrations(dm, s, home.path()) {}

    void SetUp() override {
        MainWindowTest::SetUp();
        startMain();
        canteen(ctx.params);
        main->setFactory(FunctionSlot::Rejestrator, [this](TfmMain& m) {
            auto* w = new TfmTQ200(m);
            // The switch files of the test's program folder, not of the current directory.
            WorkstationEnv& env = w->run().env();
            env.fileExists = [this](const QString& name) {
                return QFile::exists(home.path() + '/' + name);
            };
            return w;
        });
    }

    void TearDown() override {
        if (window)
            ctx.registrationRunning = false;
        MainWindowTest::TearDown();
        lines.clear();
    }

    TfmTQ200* open() {
        main->OpenFunction(FunctionSlot::Rejestrator);
        QCoreApplication::processEvents();
        window = qobject_cast<TfmTQ200*>(main->functionWindow(FunctionSlot::Rejestrator));
        return window;
    }
    // Short fixed waits and immediate retries.
    TfmTQ200* openFast() {
        TfmTQ200* w = open();
        w->run().pace = {5, 5, 20};
        w->run().lineRetryMs = 0;
        return w;
    }

    QPointer<TfmTQ200> window;
};

TEST_F(TQ200Test, TheWindowShowsTheRunItsHistoryLampsAndCounts) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 0, 1, 0);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    TfmTQ200* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Child<QComboBox>(w, "cbCzytnik")->itemText(0), "3  Kuchnia 1");
    EXPECT_EQ(main->chCaption(), "Praca z czytnikami kart TQ-200");
    EXPECT_EQ(Child<QLabel>(w, "lbData")->text(), ' ' + day.toString("dd.MM.yyyy") + ' ');
    EXPECT_TRUE(Child<QCheckBox>(w, "cbLog")->isChecked());

    w->btnRunClick();
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(ctx.registrationRunning);
    EXPECT_TRUE(w->timer().isActive());
    w->timer().stop(); // the cycles are driven by the test
    EXPECT_EQ(historyLines(w), QStringList({"Połączenie z COM3"}));
    EXPECT_EQ(w->lamp(), QColor(255, 0, 0));
    EXPECT_EQ(main->lamp(), QColor(255, 0, 0));
    EXPECT_FALSE(Child<QGroupBox>(w, "pnSerwis")->isEnabled());
    EXPECT_EQ(stat(w, 0, 1), "1") << "one lunch planned";

    l.addReading(0, Card("0000123450", At("12:31:05")));
    l.addReading(0, Card("0000999999", At("12:40:00")));
    for (int i = 0; i < 10 && (i == 0 || !l.state(0).stored.empty()); ++i) {
        w->TimerTimer();
        w->timer().stop();
    }
    EXPECT_EQ(l.state(0).acknowledged, 2);
    EXPECT_EQ(historyLines(w).value(0), "COM3  Karta 0000999999 data " +
                                            day.toString("dd.MM.yyyy") +
                                            " 12:40:00 KARTA NIEZNANA");
    EXPECT_EQ(stat(w, 1, 1), "2");
    EXPECT_EQ(stat(w, 2, 1), "-1");

    // Without the history switch the readings are stored but not written to the history table.
    Child<QCheckBox>(w, "cbLog")->setChecked(false);
    l.addReading(0, Card("0000999999", At("12:41:00")));
    w->TimerTimer();
    w->timer().stop();
    EXPECT_EQ(stored().size(), 3);
    EXPECT_EQ(histRows("TQ: %::KARTA NIEZNANA"), 1);

    // Stopping clears the list before the disconnection lines.
    w->btnRunClick();
    EXPECT_FALSE(w->running());
    EXPECT_FALSE(ctx.registrationRunning);
    EXPECT_EQ(historyLines(w), QStringList({"Rozłączenie z Kuchnia 1"}));
    EXPECT_EQ(w->lamp(), QColor(0, 128, 0));
    EXPECT_EQ(main->lamp(), QColor(0, 128, 0));
    EXPECT_TRUE(Child<QGroupBox>(w, "pnSerwis")->isEnabled());
}

TEST_F(TQ200Test, WhileRunningTheWindowIsOnlyHiddenAndTheMainWindowKeepsIt) {
    definition(3, "Kuchnia 1");
    line(3, {{Model::TQ200, 1}});
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();
    ASSERT_TRUE(w->running());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window.isNull());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(main->keptWindow(), "fmTQ200");
    EXPECT_EQ(main->chCaption(), "");
    EXPECT_FALSE(main->close()) << "the main window refuses to close";
    EXPECT_TRUE(w->isVisible()) << "and brings the terminal window forward";

    main->button(FunctionSlot::Rejestrator)->click();
    EXPECT_EQ(main->functionWindow(FunctionSlot::Rejestrator), w);
    EXPECT_TRUE(w->running());

    w->btnRunClick();
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(main->keptWindow(), "");
}

TEST_F(TQ200Test, WithoutActiveTerminalsTheWindowSaysSoAndCloses) {
    definition(3, "Nieczynny", false, false, 1, 0);
    open();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shown, QStringList({"Brak aktywnych urządzeń"}));
    EXPECT_TRUE(window.isNull());
}

TEST_F(TQ200Test, ARegistrationStationStartsTheRunAfterItsLoginAndTheTimerPolls) {
    ParamStore(dm).WriteParD("FCntWork02", day);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    TfmTQ200* w = StartRegistrationStation(*main);
    window = w;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->running());
    EXPECT_EQ(Child<QLabel>(w, "lbPosilek2")->palette().color(QPalette::WindowText),
              QColor(242, 113, 116));
    EXPECT_NE(Child<QLabel>(w, "lbPosilek1")->palette().color(QPalette::WindowText),
              QColor(242, 113, 116));

    // A long history is cut to its newest lines as readings come.
    for (int i = 0; i < 60; ++i)
        history(w)->addItem(QStringLiteral("stara %1").arg(i));
    l.addReading(0, Card("0000999999", At("12:00:00")));
    EXPECT_TRUE(SimLine::WaitUntil(
        [&] {
            QCoreApplication::processEvents();
            return l.state(0).acknowledged == 1;
        },
        5000));
    EXPECT_EQ(history(w)->count(), TfmTQ200::historyLimit + 1);
    EXPECT_TRUE(history(w)->item(0)->text().endsWith("KARTA NIEZNANA"));
}

TEST_F(TQ200Test, TheRunButtonShowsTheRunAndAClickDuringACycleIsTakenAtItsEnd) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(0, Card("0000999998", At("12:00:01")));
    TfmTQ200* w = openFast();
    EXPECT_TRUE(Child<QPushButton>(w, "btnRun")->isCheckable());
    QTest::mouseClick(Child<QPushButton>(w, "btnRun"), Qt::LeftButton);
    w->timer().stop();
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(Child<QPushButton>(w, "btnRun")->isChecked());

    // Clicked while the first record is read: the cycle finishes its backlog, then the run stops.
    bool enabled = false;
    int issued = -1;
    AtRecordRequest(l, 1, [&] {
        enabled = Child<QPushButton>(w, "btnRun")->isEnabled();
        if (issued < 0)
            QTest::mouseClick(Child<QPushButton>(w, "btnRun"), Qt::LeftButton);
        issued = stat(w, 1, 1).toInt();
    });
    w->TimerTimer();
    l.setObserver({});
    EXPECT_TRUE(enabled) << "never disabled for a click to be lost";
    EXPECT_EQ(l.state(0).acknowledged, 2);
    EXPECT_EQ(issued, 1) << "the lunch counted as it was stored";
    EXPECT_EQ(stat(w, 1, 1), "2");
    EXPECT_FALSE(w->running());
    EXPECT_FALSE(Child<QPushButton>(w, "btnRun")->isChecked());
    EXPECT_FALSE(w->timer().isActive());
    EXPECT_EQ(historyLines(w), QStringList({"Rozłączenie z Kuchnia 1"}));
}

TEST_F(TQ200Test, ScreenshotOfTheTerminalWindowAtWork) {
    const QString folder = qEnvironmentVariable("KZM_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "KZM_SCREENSHOTS unset";
    QDir().mkpath(folder);
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 1, 1, 1);
    definition(3, "Wydawka A", true, true, 1);
    exec("insert into KZM_COMDEF (PORT, SPEED, NAZWA, AKTYWNY, NUMSCAN, RS485, TQ700, ALARM, "
         "BASE_ALARM, NUMINST) values (3, 9600, 'Wydawka B', 1, 2, 1, 1, 5, 32, 0)");
    SimLine& l = line(3, {{Model::TQ700, 1}, {Model::TQ700, 2}}, true);
    TfmTQ200* w = open();
    main->setWindowState(Qt::WindowNoState);
    main->resize(1000, 640);
    w->btnRunClick();
    w->timer().stop();
    for (const char* t : {"07:15:00", "12:31:05", "12:40:00"}) {
        l.addReading(0, Card("0000123450", At(t)));
        l.addReading(1, Card("0000999999", At(t)));
        w->TimerTimer();
        w->timer().stop();
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->grab().save(folder + QStringLiteral("/terminals.png")));
}

} // namespace
