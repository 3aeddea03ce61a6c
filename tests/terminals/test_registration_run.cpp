// The registration run against simulated terminals on pseudo-terminal lines and a real
// database, observed without a window.

#include "core/Files.h"
#include "db/Params.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"
#include "support/TestDb.h"
#include "terminals/RegistrationDb.h"
#include "terminals/RegistrationRun.h"
#include "tqsim/SimLine.h"
#include "tqsim/SimTerminal.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

using namespace kzm;
using namespace testreg;
using tqsim::Model;
using tqsim::Reading;
using tqsim::SimLine;

namespace {

// What a window would show of the run.
class Recorder : public RegistrationObserver {
public:
    QStringList history; // newest first
    RunLamp lamp = RunLamp::Off;
    bool running = false;
    QString state;
    DayCounts counts;
    int countsCalls = 0;
    QStringList questions;
    bool stopAnswer = false;

    void historyCleared() override { history.clear(); }
    void historyAdded(const QString& line) override { history.prepend(line); }
    void historyTrimmed(int keep) override {
        while (history.size() > keep)
            history.removeLast();
    }
    void lampChanged(RunLamp l) override { lamp = l; }
    void runningChanged(bool on) override { running = on; }
    void stateChanged(const QString& text) override { state = text; }
    void countsChanged(const DayCounts& c) override {
        counts = c;
        ++countsCalls;
    }
    void currentChanged(int) override {}
    bool askStop(const QString& question) override {
        questions << question;
        return stopAnswer;
    }
    void idle() override { QCoreApplication::processEvents(); }
};

class RunTest : public testdb::CatalogueDbTest, protected Registrations {
protected:
    RunTest() : Registrations(dm, s, home.path()) {}

    void SetUp() override {
        CatalogueDbTest::SetUp();
        canteen(params);
    }
    void TearDown() override {
        run.reset();
        lines.clear();
    }

    // The run over the active definitions; its switch files are looked up in the program
    // folder of the test.
    RegistrationRun* open() {
        WorkstationEnv env = WorkstationEnv::system();
        env.today = [this] { return today; };
        env.fileExists = [this](const QString& name) {
            return QFile::exists(home.path() + '/' + name);
        };
        env.readFile = [this](const QString& name) {
            return ReadWholeFile(home.path() + '/' + name);
        };
        run = std::make_unique<RegistrationRun>(s, dm, params, rec, std::move(env));
        run->loadTerminals();
        return run.get();
    }

    // Cycles until the terminal's memory is empty: one cycle takes what waits, but a reply late
    // on a busy machine leaves a record to the next one.
    void drain(SimLine& l) {
        for (int i = 0; i < 10 && (i == 0 || !l.state(0).stored.empty()); ++i) {
            run->cycle();
            run->timer().stop();
        }
    }

    // A count as the window shows it: row 0 planned, 1 issued, 2 the difference; column 0
    // breakfasts, 1 lunches, 2 suppers.
    QString Count(int row, int meal) const {
        const auto m = static_cast<size_t>(meal);
        const int v = row == 0   ? rec.counts.planned[m]
                      : row == 1 ? rec.counts.issued[m]
                                 : rec.counts.difference(meal);
        return QString::number(v);
    }

    GlobalParams params;
    Recorder rec;
    std::unique_ptr<RegistrationRun> run;
    QDate today = day;
};

TEST_F(RunTest, IssuesRepeatsBlocksAndUnknownCardsAreStoredAcknowledgedAndAnswered) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 0, 1, 0);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    RegistrationRun* w = open();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->terminals().size(), 1u);
    EXPECT_EQ(w->terminals()[0].rec.name, "Kuchnia 1");
    EXPECT_EQ(w->terminals()[0].portNumber, 3);

    w->startStop();
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(w->timer().isActive());
    w->timer().stop(); // the cycles are driven by the test
    EXPECT_EQ(rec.history, QStringList({"Połączenie z COM3"}));
    EXPECT_EQ(rec.lamp, RunLamp::On);
    EXPECT_TRUE(rec.running);
    EXPECT_EQ(l.state(0).signalControls, QByteArray(" ")) << "the display cleared at start";
    EXPECT_EQ(Count(0, 1), "1") << "one lunch planned";

    const struct {
        const char* card;
        const char* time;
        const char* text;
        bool alarm;
    } steps[] = {
        {"0000123450", "12:31:05", "WYDANIE", false},       // silent issue
        {"0000123450", "12:33:00", "WYDANIE REPETA", true}, // a repeat always sounds
        {"0000123450", "07:10:00", "BLOKADA", true},        // no breakfast planned
        {"0000999999", "12:40:00", "KARTA NIEZNANA", true}, // nobody's card
    };
    QByteArray controls = " ";
    for (const auto& step : steps) {
        l.addReading(0, Card(step.card, At(step.time)));
        w->cycle();
        w->timer().stop();
        const tqsim::TerminalState st = l.state(0);
        EXPECT_TRUE(st.stored.empty()) << step.text << ": acknowledged";
        EXPECT_EQ(Texts(st).value(Texts(st).size() - 1), step.text);
        if (step.alarm)
            controls += QByteArray("%10 "); // signal base 32 + length 5, on, off, blank
        EXPECT_EQ(st.signalControls, controls) << step.text;
        EXPECT_EQ(rec.history.value(0), "COM3  Karta " + QString::fromLatin1(step.card) + " data " +
                                            day.toString("dd.MM.yyyy") + ' ' + step.time + ' ' +
                                            step.text);
    }
    const QString d = day.toString("dd.MM.yyyy");
    const QString sk = "03" + day.toString("yyMMdd");
    EXPECT_EQ(stored(), QStringList({"0000123450|" + d + "|12:31:05|2|1|" + sk,
                                     "0000123450|" + d + "|12:33:00|2|1|" + sk,
                                     "0000123450|" + d + "|07:10:00|1|1|" + sk,
                                     "0000999999|" + d + "|12:40:00|2|0|" + sk}));
    EXPECT_EQ(l.state(0).acknowledged, 4);
    // Every reading of the day counts, by the meal period of its time.
    EXPECT_EQ(Count(1, 0), "1");
    EXPECT_EQ(Count(1, 1), "3");
    EXPECT_EQ(Count(2, 1), "-2");
    EXPECT_EQ(Count(2, 0), "-1");
    EXPECT_EQ(histRows("TQ: 0/1  Y:" + QString::number(day.year()) +
                       "%Krta:0000123450  "
                       "NrO:1234%WskB:0%RPos:2  SK:" +
                       sk + "   ::WYDANIE"),
              1);
    EXPECT_EQ(histRows("TQ: 0/1 %NrO:-1%::KARTA NIEZNANA"), 1);

    // Stopping clears the list before the disconnection lines.
    w->startStop();
    EXPECT_FALSE(w->running());
    EXPECT_EQ(rec.history, QStringList({"Rozłączenie z Kuchnia 1"}));
    EXPECT_EQ(rec.lamp, RunLamp::Off);
    EXPECT_FALSE(rec.running);
    EXPECT_FALSE(w->terminals()[0].port->connected());
}

TEST_F(RunTest, ABacklogIsEmptiedWithoutDisplayTrafficAndMealsFollowTheLunchBounds) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    for (const char* t : {"10:59:59", "11:00:00", "15:00:00"})
        l.addReading(0, Card("0000999999", At(t)));
    RegistrationRun* w = open();
    w->startStop();
    w->timer().stop();
    w->cycle();
    w->timer().stop();
    const tqsim::TerminalState st = l.state(0);
    EXPECT_EQ(st.acknowledged, 3);
    EXPECT_TRUE(st.texts.isEmpty()) << Texts(st).join(", ").toStdString();
    EXPECT_EQ(st.signalControls, QByteArray(" ")) << "only the clearing at start";
    const QStringList rows = stored();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].section('|', 3, 3), "1") << "before OBIAD_OD: breakfast";
    EXPECT_EQ(rows[1].section('|', 3, 3), "2") << "at OBIAD_OD: lunch";
    EXPECT_EQ(rows[2].section('|', 3, 3), "3") << "at OBIAD_DO: supper";
    EXPECT_EQ(rec.history.size(), 4);
}

TEST_F(RunTest, FlaggedAndEmptyRecordsAreAcknowledgedAndSkipped) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    RegistrationRun* w = open();
    w->startStop();
    w->timer().stop();
    l.addReading(0, Card("0000123450", At("12:00:00"), 'T'));
    drain(l);
    l.addReading(0, Card("-", At("12:01:00")));
    l.update(0, [](tqsim::TerminalState& st) { st.stored.back().card.clear(); });
    drain(l);
    EXPECT_EQ(l.state(0).acknowledged, 2);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(histRows("T,U: T  0/1"), 1);
    EXPECT_EQ(histRows("T,U: %  0/1"), 2);
    EXPECT_TRUE(Texts(l.state(0)).isEmpty());
}

TEST_F(RunTest, AReadingOfDecemberFetchedOnTheSecondOfJanuaryIsOfThePreviousYear) {
    today = QDate(2027, 1, 2);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", QDateTime(QDate(2026, 12, 31), QTime(18, 0))));
    RegistrationRun* w = open();
    w->startStop();
    w->timer().stop();
    w->cycle();
    w->timer().stop();
    EXPECT_EQ(stored(), QStringList({"0000999999|31.12.2026|18:00:00|3|0|03261231"}));
    EXPECT_EQ(dm.MQReadString("ROKMC", "select ROKMC from KZM_RWP"), "202612");
}

TEST_F(RunTest, TheMessageSwitchesSilenceTheDisplay) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 0, 1, 0);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    RegistrationRun* w = open();
    w->startStop();
    w->timer().stop();
    auto cycle = [&](const char* card, const char* time) {
        l.addReading(0, Card(card, At(time)));
        w->cycle();
        w->timer().stop();
    };
    params.WdnBzKmnkt = true;
    cycle("0000123450", "12:00:00"); // WYDANIE: not shown
    cycle("0000123450", "08:00:00"); // BLOKADA: shown
    EXPECT_EQ(Texts(l.state(0)), QStringList({"BLOKADA"}));
    params.BlkWdnBzKmnkt = true;
    cycle("0000123450", "18:00:00");
    cycle("0000999999", "18:01:00");
    EXPECT_EQ(Texts(l.state(0)), QStringList({"BLOKADA"})) << "nothing more at all";
    EXPECT_EQ(l.state(0).acknowledged, 4);
}

TEST_F(RunTest, EachReadingOfABatchDecidesItsOwnAlarm) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 0, 1, 0);
    params.SYGNAL_BLOK = 1; // blocks are silent, unknown cards sound all the same
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(0, Card("0000123450", At("12:01:00")));
    RegistrationRun* w = open();
    w->startStop();
    w->timer().stop();
    drain(l);
    const tqsim::TerminalState st = l.state(0);
    EXPECT_EQ(Texts(st), QStringList({"KARTA NIEZNANA", "WYDANIE"}));
    EXPECT_EQ(st.signalControls, QByteArray(" %10 ")) << "one alarm, for the unknown card";
}

TEST_F(RunTest, AMissingPortIsReportedAndTheOtherTerminalIsPolled) {
    definition(5, "Brama");
    s.ini.writeString("Porty", "COM5", home.path() + "/brak/tty");
    definition(6, "Kuchnia 2");
    SimLine& l = line(6, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    RegistrationRun* w = open();
    ASSERT_EQ(w->terminals().size(), 2u);
    w->startStop();
    w->timer().stop();
    EXPECT_EQ(rec.history,
              QStringList({"Połączenie z COM6", "Brak połączenia z Brama (brak urządzenia)"}));
    EXPECT_TRUE(w->running());
    w->cycle();
    w->timer().stop();
    EXPECT_EQ(stored().size(), 1);
    EXPECT_EQ(stored()[0].section('|', 5, 5), "06" + day.toString("yyMMdd"));
    EXPECT_TRUE(w->running()) << "one port is still connected";
}

TEST_F(RunTest, TwoAddressedTerminalsOnOneLineAreBothPolled) {
    definition(4, "Wydawka A", true, true, 1);
    SimLine& l = line(4, {{Model::TQ700, 1}, {Model::TQ700, 2}}, true);
    // A second definition of the same line, the terminal at address 2.
    exec("insert into KZM_COMDEF (PORT, SPEED, NAZWA, AKTYWNY, NUMSCAN, RS485, TQ700, ALARM, "
         "BASE_ALARM, NUMINST) values (4, 9600, 'Wydawka B', 1, 2, 1, 1, 5, 32, 0)");
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(1, Card("0000888888", At("12:00:30")));
    RegistrationRun* w = open();
    ASSERT_EQ(w->terminals().size(), 2u);
    w->startStop();
    w->timer().stop();
    w->cycle();
    w->timer().stop();
    EXPECT_EQ(l.state(0).acknowledged, 1);
    EXPECT_EQ(l.state(1).acknowledged, 1);
    EXPECT_EQ(Texts(l.state(0)), QStringList({"KARTA NIEZNANA"}));
    EXPECT_EQ(Texts(l.state(1)), QStringList({"KARTA NIEZNANA"}));
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(RunTest, SimulationModeStoresTheFileOncePerTerminalAndEndsAfterOneCycle) {
    // What a TQ200 sends for a stored reading, written to BezRCP.dat.
    tqsim::SimTerminal terminal(Model::TQ200, 1);
    terminal.store(Card("0000999999", At("12:30:00")));
    QRandomGenerator random(1);
    const tqsim::Answer record = terminal.handle("R", false, QDateTime::currentDateTime(), random);
    QFile file(home.path() + "/BezRCP.dat");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(record.bytes);
    file.close();

    definition(7, "Kuchnia 1");
    definition(8, "Kuchnia 2");
    RegistrationRun* w = open();
    w->startStop();
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(rec.history.isEmpty()) << "no port is opened";
    w->timer().stop();
    w->cycle();
    EXPECT_FALSE(w->running()) << "no port connected: the run ends";
    EXPECT_FALSE(w->timer().isActive());
    EXPECT_EQ(rec.lamp, RunLamp::Off);
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(rec.history.size(), 2);
}

TEST_F(RunTest, ATerminalThatDoesNotAnswerIsConnectedOnlyInTestMode) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    tqsim::Faults silent;
    silent.silent = true;
    l.setFaults(0, silent);
    RegistrationRun* w = open();
    w->startStop();
    EXPECT_FALSE(w->running());
    EXPECT_EQ(rec.history, QStringList({"Brak połączenia z Kuchnia 1"}));
    EXPECT_FALSE(w->terminals()[0].port->connected());

    QFile test(home.path() + "/Test.dat");
    ASSERT_TRUE(test.open(QIODevice::WriteOnly));
    test.close();
    w->startStop();
    EXPECT_TRUE(w->running());
    EXPECT_EQ(rec.history, QStringList({"Połączenie z COM3"}));
    w->timer().stop();
}

TEST_F(RunTest, AReadingTheProcedureRefusesIsNeverAcknowledged) {
    exec("create exception E_ODMOWA 'Odmowa zapisu'");
    exec("create trigger T_ODMOWA for KZM_RWP before insert as begin "
         "if (new.NR_IDENT = '0000555555') then exception E_ODMOWA; end");
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000555555", At("12:00:00")));
    RegistrationRun* w = open();
    w->startStop();
    w->timer().stop();

    // An unattended workstation asks nothing: the history says it, once.
    w->unattended = true;
    for (int cycle = 0; cycle < 2; ++cycle) {
        w->cycle();
        w->timer().stop();
    }
    EXPECT_TRUE(rec.questions.isEmpty()) << "no question";
    EXPECT_EQ(rec.history.filter("Wystąpił błąd przy odczycie danych"),
              QStringList({"COM3  Karta 0000555555 data " + day.toString("dd.MM.yyyy") +
                           " 12:00:00  Wystąpił błąd przy odczycie danych"}));
    w->unattended = false;

    for (const bool stop : {false, true}) {
        rec.questions.clear();
        rec.stopAnswer = stop;
        const int counted = rec.countsCalls;
        w->cycle();
        w->timer().stop();
        EXPECT_EQ(rec.questions,
                  QStringList({"Wystąpił błąd przy odczycie danych\rCzy przerwać pracę?"}));
        EXPECT_EQ(l.state(0).acknowledged, 0);
        EXPECT_EQ(l.state(0).stored.size(), 1u) << "offered again";
        EXPECT_EQ(w->running(), !stop);
        EXPECT_EQ(rec.countsCalls == counted, stop) << "after Tak the counts stay";
    }
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(log().contains("Odmowa zapisu"));
    EXPECT_EQ(rec.history, QStringList({"Rozłączenie z Kuchnia 1"}));
}

TEST_F(RunTest, StoppingInTheMiddleOfABatchLeavesTheReadingOnTheTerminal) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(0, Card("0000888888", At("12:00:10")));
    // The user stops the run while the first record is on its way.
    std::atomic<bool> posted{false};
    l.setObserver([&](int, const tqsim::LineFrame& frame) {
        if (frame.command.startsWith('R') && !posted.exchange(true))
            QMetaObject::invokeMethod(
                qApp, [this] { run->interrupt(); }, Qt::QueuedConnection);
    });
    RegistrationRun* w = open();
    w->startStop();
    w->timer().stop();
    w->cycle();
    l.setObserver({});
    EXPECT_EQ(stored().size(), 1) << "the reading taken was stored";
    EXPECT_EQ(l.state(0).acknowledged, 0) << "but not acknowledged";
    EXPECT_EQ(l.state(0).stored.size(), 2u);
}

// ---- every reading stored exactly once, whatever the line and the workstation do

// A run against one terminal whose line misbehaves, until its memory is empty.
class FaultyLineTest : public RunTest {
protected:
    // Short fixed waits and immediate retries, so that a backlog of 200 takes seconds.
    RegistrationRun* openFast() {
        RegistrationRun* w = open();
        w->pace = {5, 5, 20};
        w->lineRetryMs = 0;
        w->databaseRetryMs = 0;
        return w;
    }

    // Reading k: a plain card of nine digits or a packed one of ten, a second of today.
    static Reading Numbered(int k) {
        const QString card = k % 2 == 0 ? QStringLiteral("1%1").arg(k, 8, 10, QLatin1Char('0'))
                                        : QStringLiteral("2%1").arg(k, 9, 10, QLatin1Char('0'));
        return Card(card.toLatin1().constData(), QDateTime(day, QTime(6, 0).addSecs(k * 17)));
    }

    struct Tally {
        int lost = 0;
        int doubled = 0;
        int garbage = 0;
    };

    // The stored readings against the offered ones.
    Tally tally(int offered) {
        QMap<QString, int> rows;
        for (const QString& row : stored())
            ++rows[row.section('|', 0, 2)];
        Tally t;
        for (int k = 0; k < offered; ++k) {
            const Reading r = Numbered(k);
            const QString key = (r.card.size() == 9 ? r.card : r.card.right(10)) + '|' +
                                r.time.toString("dd.MM.yyyy|hh:mm:ss");
            const int n = rows.take(key);
            t.lost += n == 0 ? 1 : 0;
            t.doubled += n > 1 ? 1 : 0;
        }
        for (int n : rows)
            t.garbage += n;
        return t;
    }
};

struct LineFault {
    const char* name;
    bool rs485;
    int readings;
    std::function<void(tqsim::Faults&)> faults;
    // Before each cycle: the cycle's number, the line and the run.
    std::function<void(int, SimLine&, RegistrationRun&)> beforeCycle;
    bool live = false; // the readings come while the run goes on, two a cycle
    // The protocol's waits, and the pause between cycles (the timer's is a second).
    RegistrationRun::Pace pace{5, 5, 20};
    int pauseMs = 0;
};

void PrintTo(const LineFault& f, std::ostream* os) {
    *os << f.name;
}

class LineFaults : public FaultyLineTest, public ::testing::WithParamInterface<LineFault> {};

TEST_P(LineFaults, EveryReadingIsStoredExactlyOnce) {
    const LineFault& f = GetParam();
    if (f.rs485)
        definition(3, "Kuchnia 1", true, true, 1);
    else
        definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{f.rs485 ? Model::TQ700 : Model::TQ200, 1}}, f.rs485);
    l.setSeed(20261210);
    int added = 0;
    auto add = [&](int count) {
        for (; count > 0 && added < f.readings; --count)
            l.addReading(0, Numbered(added++));
    };
    if (!f.live)
        add(f.readings);
    RegistrationRun* w = openFast();
    w->pace = f.pace;
    w->startStop();
    w->timer().stop();
    ASSERT_TRUE(w->running());
    tqsim::Faults faults;
    if (f.faults)
        f.faults(faults);
    l.setFaults(0, faults);

    int cycles = 0;
    for (; cycles < 400; ++cycles) {
        if (f.live)
            add(2);
        if (f.beforeCycle)
            f.beforeCycle(cycles, l, *w);
        if (!w->running())
            w->startStop(); // the program started again
        w->cycle();
        w->timer().stop();
        if (added == f.readings && l.state(0).stored.empty())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(f.pauseMs));
    }
    l.setObserver({});
    const Tally t = tally(f.readings);
    std::printf("%s: offered %d, lost %d, stored twice %d, garbage %d, cycles %d\n", f.name,
                f.readings, t.lost, t.doubled, t.garbage, cycles + 1);
    EXPECT_TRUE(l.state(0).stored.empty()) << "readings left on the terminal";
    EXPECT_EQ(t.lost, 0);
    EXPECT_EQ(t.doubled, 0);
    EXPECT_EQ(t.garbage, 0);
    EXPECT_EQ(histRows("%uszkodzony%"), 0) << "no record given up";
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    TQ200, LineFaults,
    ::testing::Values(
        LineFault{"Garbled1Percent", false, 200, [](tqsim::Faults& f) { f.garbleRate = 0.01; }, {}},
        LineFault{
            "GarbledCardField", true, 200, [](tqsim::Faults& f) { f.garbleCardRate = 0.3; }, {}},
        LineFault{"SlowTerminalLiveTraffic",
                  false,
                  20,
                  [](tqsim::Faults& f) { f.replyDelayMs = 180; },
                  {},
                  true,
                  {},
                  300},
        LineFault{"TerminalFrozenAndResumed",
                  true,
                  200,
                  [](tqsim::Faults& f) {
                      f.freezeAfterRecords = 50;
                      f.freezeMs = 1500;
                  },
                  {}},
        LineFault{"WorkstationFrozen",
                  false,
                  200,
                  {},
                  [](int cycle, SimLine& l, RegistrationRun&) {
                      if (cycle == 0)
                          AtRecordRequest(l, 50, [] {
                              std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                          });
                  }},
        LineFault{"StoppedBetweenStoringAndAcknowledging",
                  false,
                  200,
                  {},
                  [](int cycle, SimLine& l, RegistrationRun& run) {
                      if (cycle == 0)
                          AtRecordRequest(l, 40, [&run] { run.interrupt(); });
                  }},
        LineFault{
            "AcknowledgementsLost", true, 200, [](tqsim::Faults& f) { f.loseAckEvery = 3; }, {}},
        LineFault{"RepliesCutAfter18Bytes",
                  false,
                  200,
                  [](tqsim::Faults& f) {
                      f.truncateTo = 18;
                      f.truncateEvery = 5;
                  },
                  {}},
        LineFault{"LineUnpluggedAndPluggedBack",
                  false,
                  200,
                  {},
                  [](int cycle, SimLine& l, RegistrationRun&) {
                      if (cycle == 0)
                          AtRecordRequest(l, 60, [&l] { l.unplug(); });
                      if (cycle == 4) {
                          l.setObserver({});
                          QString error;
                          ASSERT_TRUE(l.plugIn(&error)) << error.toStdString();
                      }
                  }}),
    [](const ::testing::TestParamInfo<LineFault>& info) { return info.param.name; });

TEST_F(FaultyLineTest, ARecordDamagedFiveTimesInARowIsAcknowledgedAndKeptInTheHistory) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("000004711", At("12:31:05")));
    l.addReading(0, Card("000004712", At("12:32:05")));
    RegistrationRun* w = openFast();
    w->startStop();
    w->timer().stop();
    tqsim::Faults cut;
    cut.truncateTo = 18;
    l.setFaults(0, cut);
    for (int cycle = 1; cycle <= 5; ++cycle) {
        EXPECT_EQ(l.state(0).stored.size(), 2u) << "cycle " << cycle << ": offered again";
        w->cycle();
        w->timer().stop();
    }
    // The fifth damaged reply: acknowledged, its bytes kept; the next record is offered.
    EXPECT_EQ(l.state(0).acknowledged, 1);
    EXPECT_EQ(histRows("COM3  Odczyt uszkodzony 5 razy, usunięty z czytnika Kuchnia 1: 01 52 "
                       "30 30 30 30 30 34 37 31 31 31 32 %"),
              1);
    EXPECT_TRUE(
        rec.history.contains("COM3  Odczyt uszkodzony 5 razy, usunięty z czytnika Kuchnia 1"));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();

    l.setFaults(0, {});
    w->cycle();
    w->timer().stop();
    EXPECT_EQ(l.state(0).acknowledged, 2);
    ASSERT_EQ(stored().size(), 1);
    EXPECT_TRUE(stored().value(0).startsWith("000004712|"));
}

TEST_F(FaultyLineTest, AFailedLineIsOpenedAgainAndATerminalSwitchedOnLaterIsConnected) {
    definition(3, "Kuchnia 1");
    definition(4, "Kuchnia 2");
    SimLine& one = line(3, {{Model::TQ200, 1}});
    SimLine& two = line(4, {{Model::TQ200, 1}});
    tqsim::Faults off;
    off.silent = true;
    two.setFaults(0, off);
    RegistrationRun* w = openFast();
    w->startStop();
    w->timer().stop();
    EXPECT_EQ(rec.history, QStringList({"Brak połączenia z Kuchnia 2", "Połączenie z COM3"}));

    // The second terminal is switched on: a later cycle connects it.
    two.setFaults(0, {});
    two.addReading(0, Card("000000002", At("12:00:02")));
    w->cycle();
    w->timer().stop();
    EXPECT_EQ(rec.history.value(1), "Połączenie z COM4");
    EXPECT_EQ(two.state(0).acknowledged, 1);

    // The first line is unplugged: one line in the history, no question, and the run goes on.
    one.addReading(0, Card("000000001", At("12:00:01")));
    one.unplug();
    for (int i = 0; i < 3; ++i) {
        w->cycle();
        w->timer().stop();
    }
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    const QStringList lines = rec.history;
    EXPECT_EQ(lines.filter(QRegularExpression("^COM3  \\d : B")).size(), 1)
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.count("Brak połączenia z Kuchnia 1 (brak urządzenia)"), 1);

    // Plugged back in: connected again, the reading taken.
    QString error;
    ASSERT_TRUE(one.plugIn(&error)) << error.toStdString();
    w->cycle();
    w->timer().stop();
    EXPECT_TRUE(rec.history.contains("Połączenie z COM3"));
    EXPECT_EQ(one.state(0).acknowledged, 1);
    EXPECT_EQ(stored().size(), 2);
}

// ---- the database server stops during a run

// The run on a database reached through the test server, which the test stops and starts again.
class DatabaseServer : public FaultyLineTest {
protected:
    void SetUp() override {
        FaultyLineTest::SetUp();
        if (testdb::serverHost().isEmpty())
            GTEST_SKIP() << "no Firebird server (KZM_TEST_SERVER unset)";
        file = testdb::serverFolder() + "/registration-" +
               QString::number(QCoreApplication::applicationPid()) + ".fdb";
        QFile::remove(file);
        ASSERT_TRUE(QFile::copy(testdb::CatalogueTemplate(), file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                        QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther);
        dm.IBBaza.connect({testdb::serverHost() + ':' + file, testdb::user, testdb::password});
    }
    void TearDown() override {
        if (!testdb::serverHost().isEmpty())
            server("start"); // whatever happened, the other tests find it running
        FaultyLineTest::TearDown();
        QFile::remove(file);
    }

    static void server(const char* what) {
        QProcess script;
        script.start(QStringLiteral(FBSERVER_SCRIPT),
                     {QString::fromLatin1(what), testdb::serverFolder()});
        ASSERT_TRUE(script.waitForFinished(60000));
        ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    }

    QString file;
};

TEST_F(DatabaseServer, StoppedAndStartedAgainMidRunNothingIsLostOrStoredTwice) {
    constexpr int readings = 60;
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    for (int k = 0; k < readings; ++k)
        l.addReading(0, Numbered(k));
    RegistrationRun* w = openFast();
    w->databaseRetryMs = 300;
    w->startStop();
    w->timer().stop();
    ASSERT_TRUE(w->running());

    // The server goes down while the twentieth reading is being read.
    AtRecordRequest(l, 20, [] { server("stop"); });
    w->cycle();
    w->timer().stop();
    l.setObserver({});
    EXPECT_TRUE(w->databaseLost());
    EXPECT_EQ(rec.lamp, RunLamp::Waiting);
    EXPECT_FALSE(rec.state.isEmpty());
    const int acknowledged = l.state(0).acknowledged;
    EXPECT_GE(acknowledged, 18);
    EXPECT_LT(acknowledged, readings) << "the rest waits on the terminal";

    // Cycles while it is down: nothing acknowledged, no further message.
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        w->cycle();
        w->timer().stop();
    }
    EXPECT_EQ(l.state(0).acknowledged, acknowledged);
    EXPECT_TRUE(w->running());
    EXPECT_EQ(shown.size(), 1) << shown.join('\n').toStdString();

    server("start");
    for (int i = 0; i < 20 && !l.state(0).stored.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        w->cycle();
        w->timer().stop();
    }
    EXPECT_FALSE(w->databaseLost());
    EXPECT_EQ(rec.lamp, RunLamp::On);
    EXPECT_TRUE(l.state(0).stored.empty());
    const Tally t = tally(readings);
    std::printf("server stopped mid-run: offered %d, lost %d, stored twice %d, garbage %d\n",
                readings, t.lost, t.doubled, t.garbage);
    EXPECT_EQ(t.lost, 0);
    EXPECT_EQ(t.doubled, 0);
    EXPECT_EQ(t.garbage, 0);
    const QStringList lines = rec.history;
    EXPECT_TRUE(lines.contains("Utracono połączenie z bazą danych"));
    EXPECT_TRUE(lines.contains("Przywrócono połączenie z bazą danych"));
    EXPECT_EQ(shown.size(), 1);
}

} // namespace
