#include "app/Program.h"
#include "app/TfmMain.h"
#include "core/Literals.h"
#include "db/Params.h"
#include "support/MainWindowDb.h"
#include "support/QtPrint.h"
#include "support/TestDb.h"
#include "support/WhenModal.h"
#include "terminals/Registration.h"
#include "terminals/forms/TfmTQ200.h"
#include "tqsim/SimLine.h"
#include "tqsim/SimTerminal.h"
#include "ui/AppContext.h"
#include "ui/TfmUwaga.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

using namespace kzm;
using tqsim::Model;
using tqsim::Reading;
using tqsim::SimLine;

namespace {

// Readings are of today, so the day's counts on screen (always of today) count them.
const QDate day = QDate::currentDate();

QDateTime At(const char* time, const QDate& d = day) {
    return QDateTime(d, QTime::fromString(QString::fromLatin1(time), QStringLiteral("hh:mm:ss")));
}

// ---- the pieces of taking a reading

TEST(Registration, YearSourceStatementOutcomeAndLogLine) {
    EXPECT_EQ(ReadingYear(QDate(2027, 1, 2), 12), 2026) << "31 December fetched on 2 January";
    EXPECT_EQ(ReadingYear(QDate(2026, 12, 8), 12), 2026);
    EXPECT_EQ(ReadingYear(QDate(2026, 12, 8), 1), 2026);
    EXPECT_EQ(SourcePortText("COM1"), "01");
    EXPECT_EQ(SourcePortText("COM12"), "12");

    TRekReceive rek;
    rek.year = "2026";
    rek.month = "12";
    rek.day = "08";
    rek.hour = "12";
    rek.minute = "31";
    rek.second = "05";
    rek.cardNumber = "0000123450";
    rek.readingTime = ReadingTimeOf(rek);
    EXPECT_EQ(rek.readingTime, QDateTime(QDate(2026, 12, 8), QTime(12, 31, 5)));
    GlobalParams g;
    g.OBIAD_OD = QTime(11, 0);
    g.OBIAD_DO = QTime(15, 0);
    DeriveReadingFields(rek, "COM1", g);
    EXPECT_EQ(ZapiszOdczytStatement(rek), "select ret from PKZM_RWP_WRIT_ODCZYT_22(2,'202612',"
                                          "'0000123450','08.12.2026','12:31:05','01261208')");

    TRekReceive bad = rek;
    bad.day = "31";
    bad.month = "02";
    EXPECT_EQ(ReadingTimeOf(bad), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));

    const ReadingOutcome unknown = ParseOutcome("-1:-1:-1");
    EXPECT_EQ(unknown.code, "1");
    EXPECT_EQ(unknown.person, -1);
    const ReadingOutcome repeat = ParseOutcome("0:2:1234");
    EXPECT_EQ(repeat.code, "0");
    EXPECT_EQ(repeat.repeatCount, 2);
    EXPECT_EQ(repeat.person, 1234);

    rek.recordFlag = "0";
    rek.person = 1234;
    EXPECT_EQ(ReadingLogLine(0, 1, rek, "WYDANIE"),
              "TQ: 0/1  Y:2026  M:12  D:08  H:12  M:31  DoW:  S:05  We:  I:  Tys:  "
              "Krta:0000123450  NrO:1234  Tr:  WskB:0  RM:202612  RPos:2  SK:01261208   "
              "::WYDANIE");
    EXPECT_EQ(ReplyDetail("abc\r\n"), "abc");
}

TEST(Registration, WhatTheTerminalIsToldOfAReading) {
    GlobalParams g; // signals on, messages on
    const struct {
        const char* ret;
        int waiting;
        int sygnalWyd, sygnalBlok;
        bool wdn, blk;
        const char* text;
        bool alarm, shown;
    } cases[] = {
        {"0:1:1234", 1, 0, 0, false, false, "WYDANIE", true, true},
        {"0:1:1234", 1, 1, 0, false, false, "WYDANIE", false, true},
        {"1:1:1234", 1, 0, 1, false, false, "BLOKADA", false, true},
        {"1:1:1234", 1, 0, 0, false, false, "BLOKADA", true, true},
        {"-1:-1:-1", 1, 1, 1, false, false, "KARTA NIEZNANA", true, true},
        {"0:2:1234", 1, 1, 1, false, false, "WYDANIE REPETA", true, true},
        {"0:1:1234", 1, 1, 1, true, false, "WYDANIE", false, false},
        {"1:1:1234", 1, 1, 1, true, false, "BLOKADA", false, true},
        {"0:2:1234", 1, 1, 1, true, false, "WYDANIE REPETA", true, true},
        {"1:1:1234", 1, 1, 1, false, true, "BLOKADA", false, false},
        {"-1:-1:-1", 3, 1, 1, false, false, "KARTA NIEZNANA", true, false},
        {"0:1:1234", 2, 1, 1, false, false, "WYDANIE", false, true},
    };
    for (const auto& c : cases) {
        g.SYGNAL_WYD = c.sygnalWyd;
        g.SYGNAL_BLOK = c.sygnalBlok;
        g.WdnBzKmnkt = c.wdn;
        g.BlkWdnBzKmnkt = c.blk;
        const Announcement a = Announce(ParseOutcome(c.ret), c.waiting, g);
        EXPECT_EQ(a.text, c.text) << c.ret;
        EXPECT_EQ(a.alarm, c.alarm) << c.ret << " " << c.waiting;
        EXPECT_EQ(a.shown, c.shown) << c.ret << " " << c.waiting << c.wdn << c.blk;
    }
}

// ---- the window against simulated terminals

class TQ200Test : public testdb::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        previousDir = QDir::currentPath();
        QDir::setCurrent(home.path()); // BezRCP.dat and Test.dat are looked up here
        startMain();
        ParamStore store(dm); // the day's counts read the lunch period from the store
        store.WriteParT("OBIAD_OD", QTime(11, 0));
        store.WriteParT("OBIAD_DO", QTime(15, 0));
        ctx.params.OBIAD_OD = QTime(11, 0);
        ctx.params.OBIAD_DO = QTime(15, 0);
        ctx.params.SYGNAL_WYD = 1; // a plain issue is silent
        ctx.params.SYGNAL_BLOK = 0;
        main->setFactory(FunctionSlot::Rejestrator, [this](TfmMain& m) {
            auto* w = new TfmTQ200(m);
            w->today = [this] { return today; };
            return w;
        });
    }

    void TearDown() override {
        if (window)
            ctx.registrationRunning = false;
        MainWindowTest::TearDown();
        lines.clear();
        QDir::setCurrent(previousDir);
    }

    void exec(const QString& sql) { ASSERT_TRUE(dm.RunSQL(sql)) << sql.toStdString(); }

    void definition(int port, const QString& name, bool tq700 = false, bool rs485 = false,
                    int numScan = 1, int active = 1) {
        exec(QStringLiteral("insert into KZM_COMDEF (PORT, SPEED, NAZWA, AKTYWNY, TIMEOUT_R, "
                            "TIMEOUT_W, NUMINST, NUMSCAN, RS485, TQ700, NUMINST3ZN, ALARM, "
                            "BASE_ALARM) values (%1, 9600, %2, %3, 100, 200, 0, %4, %5, %6, 0, "
                            "5, 32)")
                 .arg(port)
                 .arg(SqlStr(name))
                 .arg(active)
                 .arg(numScan)
                 .arg(rs485 ? 1 : 0)
                 .arg(tq700 ? 1 : 0));
    }

    // A simulated line with its terminals (model and RS-485 address), named in KZM.ini as
    // COM<port>.
    SimLine& line(int port, std::vector<std::pair<Model, int>> terminals, bool rs485 = false) {
        lines.push_back(std::make_unique<SimLine>(rs485));
        SimLine& l = *lines.back();
        for (const auto& [model, numScan] : terminals)
            l.addTerminal(model, numScan);
        const QString link = home.path() + QStringLiteral("/com%1").arg(port);
        QString error;
        EXPECT_TRUE(l.start(link, &error)) << error.toStdString();
        s.ini.writeString("Porty", QStringLiteral("COM%1").arg(port), link);
        return l;
    }

    void person(int nrOper, const QString& card, const QString& name) {
        exec(QStringLiteral("insert into KZM_KART (NR_OPER, NR_IDENT, NAZWISKO, IDSTOPIEN, "
                            "IDSTAWKA, IDSTAWKAW) values (%1, '%2', '%3', 7, 20, 990)")
                 .arg(nrOper)
                 .arg(card, name));
    }
    void plan(int nrOper, const QDate& d, int sn, int ob, int ko) {
        exec(QStringLiteral("insert into KZM_DANE (NR_OPER, DATA, SN, OB, KO, IDZDARZ) values "
                            "(%1, '%2', %3, %4, %5, 1)")
                 .arg(nrOper)
                 .arg(d.toString("dd.MM.yyyy"))
                 .arg(sn)
                 .arg(ob)
                 .arg(ko));
    }

    TfmTQ200* open() {
        main->OpenFunction(FunctionSlot::Rejestrator);
        QCoreApplication::processEvents();
        window = qobject_cast<TfmTQ200*>(main->functionWindow(FunctionSlot::Rejestrator));
        return window;
    }

    // The stored readings as "card|date|time|meal|known card|source", in the order stored.
    QStringList stored() {
        QStringList out;
        EXPECT_TRUE(dm.OpenQ(dm.IBQ, "select NR_IDENT, DATA, CZAS, RDPOS, WSKW, SKAD from "
                                     "KZM_RWP order by IDRWP"));
        for (; dm.IBQ.isOpen() && !dm.IBQ.eof(); dm.IBQ.next()) {
            QStringList row;
            for (int c = 0; c < 6; ++c)
                row << dm.IBQ.field(c).asString();
            out << row.join('|');
        }
        dm.CloseQ(dm.IBQ);
        return out;
    }

    int histRows(const QString& like) {
        return dm.ReadInteger(
            "n", "select count(*) as n from kzm_hist where tekst like " + SqlStr(like), -1);
    }

    static QStringList historyLines(TfmTQ200* w) {
        QStringList out;
        for (int i = 0; i < w->history()->count(); ++i)
            out << w->history()->item(i)->text();
        return out;
    }

    QString previousDir;
    QDate today = day;
    std::vector<std::unique_ptr<SimLine>> lines;
    QPointer<TfmTQ200> window;
};

// The record of a reading as a terminal sends it.
Reading Card(const char* card, const QDateTime& at, char flag = '0') {
    Reading r;
    r.card = QString::fromLatin1(card);
    r.time = at;
    r.flag = flag;
    return r;
}

// The texts a terminal showed, without the filling blanks.
QStringList Texts(const tqsim::TerminalState& st) {
    QStringList out;
    for (const QString& t : st.texts)
        out << t.trimmed();
    return out;
}

TEST_F(TQ200Test, IssuesRepeatsBlocksAndUnknownCardsAreStoredAcknowledgedAndAnswered) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 0, 1, 0);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    TfmTQ200* w = open();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->terminals().size(), 1u);
    EXPECT_EQ(w->selector()->itemText(0), "3  Kuchnia 1");
    EXPECT_EQ(main->chCaption(), "Praca z czytnikami kart TQ-200");
    EXPECT_EQ(w->dateLabel()->text(), ' ' + day.toString("dd.MM.yyyy") + ' ');
    EXPECT_TRUE(w->cbLog()->isChecked());

    w->btnRunClick();
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(w->timer().isActive());
    w->timer().stop(); // the cycles are driven by the test
    EXPECT_EQ(historyLines(w), QStringList({"Połączenie z COM3"}));
    EXPECT_EQ(w->lamp(), QColor(255, 0, 0));
    EXPECT_EQ(main->lamp(), QColor(255, 0, 0));
    EXPECT_FALSE(w->servicePanels()->isEnabled());
    EXPECT_EQ(l.state(0).signalControls, QByteArray(" ")) << "the display cleared at start";
    EXPECT_EQ(w->statBox(0, 1)->text(), "1") << "one lunch planned";

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
        w->TimerTimer();
        w->timer().stop();
        const tqsim::TerminalState st = l.state(0);
        EXPECT_TRUE(st.stored.empty()) << step.text << ": acknowledged";
        EXPECT_EQ(Texts(st).value(Texts(st).size() - 1), step.text);
        if (step.alarm)
            controls += QByteArray("%10 "); // signal base 32 + length 5, on, off, blank
        EXPECT_EQ(st.signalControls, controls) << step.text;
        EXPECT_EQ(historyLines(w).value(0), "COM3  Karta " + QString::fromLatin1(step.card) +
                                                " data " + day.toString("dd.MM.yyyy") + ' ' +
                                                step.time + ' ' + step.text);
    }
    const QString d = day.toString("dd.MM.yyyy");
    const QString sk = "03" + day.toString("yyMMdd");
    EXPECT_EQ(stored(), QStringList({"0000123450|" + d + "|12:31:05|2|1|" + sk,
                                     "0000123450|" + d + "|12:33:00|2|1|" + sk,
                                     "0000123450|" + d + "|07:10:00|1|1|" + sk,
                                     "0000999999|" + d + "|12:40:00|2|0|" + sk}));
    EXPECT_EQ(l.state(0).acknowledged, 4);
    // Every reading of the day counts, by the meal period of its time.
    EXPECT_EQ(w->statBox(1, 0)->text(), "1");
    EXPECT_EQ(w->statBox(1, 1)->text(), "3");
    EXPECT_EQ(w->statBox(2, 1)->text(), "-2");
    EXPECT_EQ(w->statBox(2, 0)->text(), "-1");
    EXPECT_EQ(histRows("TQ: 0/1  Y:" + QString::number(day.year()) +
                       "%Krta:0000123450  "
                       "NrO:1234%WskB:0%RPos:2  SK:" +
                       sk + "   ::WYDANIE"),
              1);
    EXPECT_EQ(histRows("TQ: 0/1 %NrO:-1%::KARTA NIEZNANA"), 1);

    // Stopping clears the list before the disconnection lines.
    w->btnRunClick();
    EXPECT_FALSE(w->running());
    EXPECT_EQ(historyLines(w), QStringList({"Rozłączenie z Kuchnia 1"}));
    EXPECT_EQ(w->lamp(), QColor(0, 128, 0));
    EXPECT_EQ(main->lamp(), QColor(0, 128, 0));
    EXPECT_TRUE(w->servicePanels()->isEnabled());
    EXPECT_FALSE(w->terminals()[0].port->connected());
}

TEST_F(TQ200Test, ABacklogIsEmptiedWithoutDisplayTrafficAndMealsFollowTheLunchBounds) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    for (const char* t : {"10:59:59", "11:00:00", "15:00:00"})
        l.addReading(0, Card("0000999999", At(t)));
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();
    w->TimerTimer();
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
    EXPECT_EQ(historyLines(w).size(), 4);
}

TEST_F(TQ200Test, FlaggedAndEmptyRecordsAreAcknowledgedAndSkipped) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();
    l.addReading(0, Card("0000123450", At("12:00:00"), 'T'));
    w->TimerTimer();
    w->timer().stop();
    l.addReading(0, Card("-", At("12:01:00")));
    l.update(0, [](tqsim::TerminalState& st) { st.stored.back().card.clear(); });
    w->TimerTimer();
    w->timer().stop();
    EXPECT_EQ(l.state(0).acknowledged, 2);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(histRows("T,U: T  0/1"), 1);
    EXPECT_EQ(histRows("T,U: %  0/1"), 2);
    EXPECT_TRUE(Texts(l.state(0)).isEmpty());
}

TEST_F(TQ200Test, AReadingOfDecemberFetchedOnTheSecondOfJanuaryIsOfThePreviousYear) {
    today = QDate(2027, 1, 2);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", QDateTime(QDate(2026, 12, 31), QTime(18, 0))));
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();
    w->TimerTimer();
    w->timer().stop();
    EXPECT_EQ(stored(), QStringList({"0000999999|31.12.2026|18:00:00|3|0|03261231"}));
    EXPECT_EQ(dm.MQReadString("ROKMC", "select ROKMC from KZM_RWP"), "202612");
}

TEST_F(TQ200Test, TheMessageSwitchesSilenceTheDisplay) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 0, 1, 0);
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();
    auto cycle = [&](const char* card, const char* time) {
        l.addReading(0, Card(card, At(time)));
        w->TimerTimer();
        w->timer().stop();
    };
    ctx.params.WdnBzKmnkt = true;
    cycle("0000123450", "12:00:00"); // WYDANIE: not shown
    cycle("0000123450", "08:00:00"); // BLOKADA: shown
    EXPECT_EQ(Texts(l.state(0)), QStringList({"BLOKADA"}));
    ctx.params.BlkWdnBzKmnkt = true;
    cycle("0000123450", "18:00:00");
    cycle("0000999999", "18:01:00");
    EXPECT_EQ(Texts(l.state(0)), QStringList({"BLOKADA"})) << "nothing more at all";
    EXPECT_EQ(l.state(0).acknowledged, 4);
}

TEST_F(TQ200Test, EachReadingOfABatchDecidesItsOwnAlarm) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, day, 0, 1, 0);
    ctx.params.SYGNAL_BLOK = 1; // blocks are silent, unknown cards sound all the same
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(0, Card("0000123450", At("12:01:00")));
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();
    // One cycle takes both; a reply late on a busy machine leaves the second to the next one.
    for (int i = 0; i < 10 && (i == 0 || !l.state(0).stored.empty()); ++i) {
        w->TimerTimer();
        w->timer().stop();
    }
    const tqsim::TerminalState st = l.state(0);
    EXPECT_EQ(Texts(st), QStringList({"KARTA NIEZNANA", "WYDANIE"}));
    EXPECT_EQ(st.signalControls, QByteArray(" %10 ")) << "one alarm, for the unknown card";
}

TEST_F(TQ200Test, AMissingPortIsReportedAndTheOtherTerminalIsPolled) {
    definition(5, "Brama");
    s.ini.writeString("Porty", "COM5", home.path() + "/brak/tty");
    definition(6, "Kuchnia 2");
    SimLine& l = line(6, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    TfmTQ200* w = open();
    ASSERT_EQ(w->selector()->count(), 2);
    w->btnRunClick();
    w->timer().stop();
    EXPECT_EQ(historyLines(w),
              QStringList({"Połączenie z COM6", "Brak połączenia z Brama (brak urządzenia)"}));
    EXPECT_TRUE(w->running());
    w->TimerTimer();
    w->timer().stop();
    EXPECT_EQ(stored().size(), 1);
    EXPECT_EQ(stored()[0].section('|', 5, 5), "06" + day.toString("yyMMdd"));
    EXPECT_TRUE(w->running()) << "one port is still connected";
}

TEST_F(TQ200Test, TwoAddressedTerminalsOnOneLineAreBothPolled) {
    definition(4, "Wydawka A", true, true, 1);
    SimLine& l = line(4, {{Model::TQ700, 1}, {Model::TQ700, 2}}, true);
    // A second definition of the same line, the terminal at address 2.
    exec("insert into KZM_COMDEF (PORT, SPEED, NAZWA, AKTYWNY, NUMSCAN, RS485, TQ700, ALARM, "
         "BASE_ALARM, NUMINST) values (4, 9600, 'Wydawka B', 1, 2, 1, 1, 5, 32, 0)");
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(1, Card("0000888888", At("12:00:30")));
    TfmTQ200* w = open();
    ASSERT_EQ(w->terminals().size(), 2u);
    w->btnRunClick();
    w->timer().stop();
    w->TimerTimer();
    w->timer().stop();
    EXPECT_EQ(l.state(0).acknowledged, 1);
    EXPECT_EQ(l.state(1).acknowledged, 1);
    EXPECT_EQ(Texts(l.state(0)), QStringList({"KARTA NIEZNANA"}));
    EXPECT_EQ(Texts(l.state(1)), QStringList({"KARTA NIEZNANA"}));
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(TQ200Test, SimulationModeStoresTheFileOncePerTerminalAndEndsAfterOneCycle) {
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
    TfmTQ200* w = open();
    w->btnRunClick();
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(historyLines(w).isEmpty()) << "no port is opened";
    w->timer().stop();
    w->TimerTimer();
    EXPECT_FALSE(w->running()) << "no port connected: the run ends";
    EXPECT_FALSE(w->timer().isActive());
    EXPECT_EQ(w->lamp(), QColor(0, 128, 0));
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(historyLines(w).size(), 2);
}

TEST_F(TQ200Test, ATerminalThatDoesNotAnswerIsConnectedOnlyInTestMode) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    tqsim::Faults silent;
    silent.silent = true;
    l.setFaults(0, silent);
    TfmTQ200* w = open();
    w->btnRunClick();
    EXPECT_FALSE(w->running());
    EXPECT_EQ(historyLines(w), QStringList({"Brak połączenia z Kuchnia 1"}));
    EXPECT_FALSE(w->terminals()[0].port->connected());

    QFile test(home.path() + "/Test.dat");
    ASSERT_TRUE(test.open(QIODevice::WriteOnly));
    test.close();
    w->btnRunClick();
    EXPECT_TRUE(w->running());
    EXPECT_EQ(historyLines(w), QStringList({"Połączenie z COM3"}));
    w->timer().stop();
}

TEST_F(TQ200Test, AReadingTheProcedureRefusesIsNeverAcknowledged) {
    exec("create exception E_ODMOWA 'Odmowa zapisu'");
    exec("create trigger T_ODMOWA for KZM_RWP before insert as begin "
         "if (new.NR_IDENT = '0000555555') then exception E_ODMOWA; end");
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000555555", At("12:00:00")));
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();

    // An unattended workstation asks nothing: the history says it, once.
    w->unattended = true;
    for (int cycle = 0; cycle < 2; ++cycle) {
        testdb::WhenModal none([](QWidget* m) { QTest::keyClick(m, Qt::Key_Escape); }, 300);
        w->TimerTimer();
        w->timer().stop();
        EXPECT_FALSE(none.ran()) << "no question";
    }
    EXPECT_EQ(historyLines(w).filter("Wystąpił błąd przy odczycie danych"),
              QStringList({"COM3  Karta 0000555555 data " + day.toString("dd.MM.yyyy") +
                           " 12:00:00  Wystąpił błąd przy odczycie danych"}));
    w->unattended = false;

    for (const bool stop : {false, true}) {
        QString asked;
        testdb::WhenModal answer([&](QWidget* m) {
            asked = static_cast<TfmUwaga*>(m)->textArea()->toPlainText();
            QTest::keyClick(m, stop ? Qt::Key_Return : Qt::Key_Escape);
        });
        w->statBox(0, 0)->setText("x");
        w->TimerTimer();
        w->timer().stop();
        EXPECT_TRUE(answer.ran());
        EXPECT_EQ(asked, "Wystąpił błąd przy odczycie danych\nCzy przerwać pracę?");
        EXPECT_EQ(l.state(0).acknowledged, 0);
        EXPECT_EQ(l.state(0).stored.size(), 1u) << "offered again";
        EXPECT_EQ(w->running(), !stop);
        EXPECT_EQ(w->statBox(0, 0)->text() == "x", stop) << "after Tak the counts stay";
    }
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(log().contains("Odmowa zapisu"));
    EXPECT_EQ(historyLines(w), QStringList({"Rozłączenie z Kuchnia 1"}));
}

TEST_F(TQ200Test, StoppingInTheMiddleOfABatchLeavesTheReadingOnTheTerminal) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(0, Card("0000888888", At("12:00:10")));
    // The user stops the run while the first record is on its way.
    std::atomic<bool> posted{false};
    l.setObserver([&](int, const tqsim::LineFrame& frame) {
        if (frame.command.startsWith('R') && !posted.exchange(true))
            QMetaObject::invokeMethod(
                qApp, [this] { ctx.registrationRunning = false; }, Qt::QueuedConnection);
    });
    TfmTQ200* w = open();
    w->btnRunClick();
    w->timer().stop();
    w->TimerTimer();
    l.setObserver({});
    EXPECT_EQ(stored().size(), 1) << "the reading taken was stored";
    EXPECT_EQ(l.state(0).acknowledged, 0) << "but not acknowledged";
    EXPECT_EQ(l.state(0).stored.size(), 2u);
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
    EXPECT_EQ(ctx.keptWindowName, "fmTQ200");
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
    EXPECT_EQ(ctx.keptWindowName, "");
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
    EXPECT_EQ(w->mealTitle(1)->palette().color(QPalette::WindowText), QColor(242, 113, 116));
    EXPECT_NE(w->mealTitle(0)->palette().color(QPalette::WindowText), QColor(242, 113, 116));

    // A long history is cut to its newest lines as readings come.
    for (int i = 0; i < 60; ++i)
        w->history()->addItem(QStringLiteral("stara %1").arg(i));
    l.addReading(0, Card("0000999999", At("12:00:00")));
    EXPECT_TRUE(SimLine::WaitUntil(
        [&] {
            QCoreApplication::processEvents();
            return l.state(0).acknowledged == 1;
        },
        5000));
    EXPECT_EQ(w->history()->count(), TfmTQ200::historyLimit + 1);
    EXPECT_TRUE(w->history()->item(0)->text().endsWith("KARTA NIEZNANA"));
}

// ---- every reading stored exactly once, whatever the line and the workstation do

// A run against one terminal whose line misbehaves, until its memory is empty.
class FaultyLineTest : public TQ200Test {
protected:
    // Short fixed waits and immediate retries, so that a backlog of 200 takes seconds.
    TfmTQ200* openFast() {
        TfmTQ200* w = open();
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
    // Before each cycle: the cycle's number, the line, the window and the fixture's context.
    std::function<void(int, SimLine&, TfmTQ200*, AppContext&)> beforeCycle;
    bool live = false; // the readings come while the run goes on, two a cycle
    // The protocol's waits, and the pause between cycles (the timer's is a second).
    TfmTQ200::Pace pace{5, 5, 20};
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
    TfmTQ200* w = openFast();
    w->pace = f.pace;
    w->btnRunClick();
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
            f.beforeCycle(cycles, l, w, ctx);
        if (!w->running())
            w->btnRunClick(); // the program started again
        w->TimerTimer();
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

// Posts `step` to the window's thread when the line sees the n-th record request.
void AtRecordRequest(SimLine& l, int n, std::function<void()> step) {
    auto seen = std::make_shared<std::atomic<int>>(0);
    l.setObserver([seen, n, step](int, const tqsim::LineFrame& frame) {
        const char code = frame.command.isEmpty() ? 0 : frame.command[0];
        if ((code == 'R' || code == 'r') && ++*seen % n == 0)
            QMetaObject::invokeMethod(qApp, step, Qt::QueuedConnection);
    });
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
                  [](int cycle, SimLine& l, TfmTQ200*, AppContext&) {
                      if (cycle == 0)
                          AtRecordRequest(l, 50, [] {
                              std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                          });
                  }},
        LineFault{"StoppedBetweenStoringAndAcknowledging",
                  false,
                  200,
                  {},
                  [](int cycle, SimLine& l, TfmTQ200*, AppContext& ctx) {
                      if (cycle == 0)
                          AtRecordRequest(l, 40, [&ctx] { ctx.registrationRunning = false; });
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
                  [](int cycle, SimLine& l, TfmTQ200*, AppContext&) {
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
    TfmTQ200* w = openFast();
    w->btnRunClick();
    w->timer().stop();
    tqsim::Faults cut;
    cut.truncateTo = 18;
    l.setFaults(0, cut);
    for (int cycle = 1; cycle <= 5; ++cycle) {
        EXPECT_EQ(l.state(0).stored.size(), 2u) << "cycle " << cycle << ": offered again";
        w->TimerTimer();
        w->timer().stop();
    }
    // The fifth damaged reply: acknowledged, its bytes kept; the next record is offered.
    EXPECT_EQ(l.state(0).acknowledged, 1);
    EXPECT_EQ(histRows("COM3  Odczyt uszkodzony 5 razy, usunięty z czytnika Kuchnia 1: 01 52 "
                       "30 30 30 30 30 34 37 31 31 31 32 %"),
              1);
    EXPECT_TRUE(
        historyLines(w).contains("COM3  Odczyt uszkodzony 5 razy, usunięty z czytnika Kuchnia 1"));
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();

    l.setFaults(0, {});
    w->TimerTimer();
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
    TfmTQ200* w = openFast();
    w->btnRunClick();
    w->timer().stop();
    EXPECT_EQ(historyLines(w), QStringList({"Brak połączenia z Kuchnia 2", "Połączenie z COM3"}));

    // The second terminal is switched on: a later cycle connects it.
    two.setFaults(0, {});
    two.addReading(0, Card("000000002", At("12:00:02")));
    w->TimerTimer();
    w->timer().stop();
    EXPECT_EQ(historyLines(w).value(1), "Połączenie z COM4");
    EXPECT_EQ(two.state(0).acknowledged, 1);

    // The first line is unplugged: one line in the history, no question, and the run goes on.
    one.addReading(0, Card("000000001", At("12:00:01")));
    one.unplug();
    for (int i = 0; i < 3; ++i) {
        w->TimerTimer();
        w->timer().stop();
    }
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
    const QStringList lines = historyLines(w);
    EXPECT_EQ(lines.filter(QRegularExpression("^COM3  \\d : B")).size(), 1)
        << lines.join('\n').toStdString();
    EXPECT_EQ(lines.count("Brak połączenia z Kuchnia 1 (brak urządzenia)"), 1);

    // Plugged back in: connected again, the reading taken.
    QString error;
    ASSERT_TRUE(one.plugIn(&error)) << error.toStdString();
    w->TimerTimer();
    w->timer().stop();
    EXPECT_TRUE(historyLines(w).contains("Połączenie z COM3"));
    EXPECT_EQ(one.state(0).acknowledged, 1);
    EXPECT_EQ(stored().size(), 2);
}

TEST_F(FaultyLineTest, TheRunButtonShowsTheRunAndAClickDuringACycleIsTakenAtItsEnd) {
    definition(3, "Kuchnia 1");
    SimLine& l = line(3, {{Model::TQ200, 1}});
    l.addReading(0, Card("0000999999", At("12:00:00")));
    l.addReading(0, Card("0000999998", At("12:00:01")));
    TfmTQ200* w = openFast();
    EXPECT_TRUE(w->btnRun()->isCheckable());
    QTest::mouseClick(w->btnRun(), Qt::LeftButton);
    w->timer().stop();
    EXPECT_TRUE(w->running());
    EXPECT_TRUE(w->btnRun()->isChecked());

    // Clicked while the first record is read: the cycle finishes its backlog, then the run stops.
    bool enabled = false;
    int issued = -1;
    AtRecordRequest(l, 1, [&] {
        enabled = w->btnRun()->isEnabled();
        if (issued < 0)
            QTest::mouseClick(w->btnRun(), Qt::LeftButton);
        issued = w->statBox(1, 1)->text().toInt();
    });
    w->TimerTimer();
    l.setObserver({});
    EXPECT_TRUE(enabled) << "never disabled for a click to be lost";
    EXPECT_EQ(l.state(0).acknowledged, 2);
    EXPECT_EQ(issued, 1) << "the lunch counted as it was stored";
    EXPECT_EQ(w->statBox(1, 1)->text(), "2");
    EXPECT_FALSE(w->running());
    EXPECT_FALSE(w->btnRun()->isChecked());
    EXPECT_FALSE(w->timer().isActive());
    EXPECT_EQ(historyLines(w), QStringList({"Rozłączenie z Kuchnia 1"}));
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
    TfmTQ200* w = openFast();
    w->databaseRetryMs = 300;
    w->btnRunClick();
    w->timer().stop();
    ASSERT_TRUE(w->running());

    // The server goes down while the twentieth reading is being read.
    AtRecordRequest(l, 20, [] { server("stop"); });
    w->TimerTimer();
    w->timer().stop();
    l.setObserver({});
    EXPECT_TRUE(w->databaseLost());
    EXPECT_EQ(w->lamp(), TfmTQ200::lampWaiting);
    EXPECT_FALSE(w->stateLabel()->text().isEmpty());
    const int acknowledged = l.state(0).acknowledged;
    EXPECT_GE(acknowledged, 18);
    EXPECT_LT(acknowledged, readings) << "the rest waits on the terminal";

    // Cycles while it is down: nothing acknowledged, no further message.
    for (int i = 0; i < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        w->TimerTimer();
        w->timer().stop();
    }
    EXPECT_EQ(l.state(0).acknowledged, acknowledged);
    EXPECT_TRUE(w->running());
    EXPECT_EQ(shown.size(), 1) << shown.join('\n').toStdString();

    server("start");
    for (int i = 0; i < 20 && !l.state(0).stored.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(350));
        w->TimerTimer();
        w->timer().stop();
    }
    EXPECT_FALSE(w->databaseLost());
    EXPECT_EQ(w->lamp(), TfmTQ200::lampOn);
    EXPECT_TRUE(l.state(0).stored.empty());
    const Tally t = tally(readings);
    std::printf("server stopped mid-run: offered %d, lost %d, stored twice %d, garbage %d\n",
                readings, t.lost, t.doubled, t.garbage);
    EXPECT_EQ(t.lost, 0);
    EXPECT_EQ(t.doubled, 0);
    EXPECT_EQ(t.garbage, 0);
    const QStringList lines = historyLines(w);
    EXPECT_TRUE(lines.contains("Utracono połączenie z bazą danych"));
    EXPECT_TRUE(lines.contains("Przywrócono połączenie z bazą danych"));
    EXPECT_EQ(shown.size(), 1);
}

} // namespace

namespace {

// The picture of the README: KZM_SCREENSHOTS names the folder it is written to.
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
