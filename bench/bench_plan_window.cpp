// The plan window's logic at the size of a canteen, through PlanList and PlanSums as the window
// calls them: making the plan of a month not yet planned and refreshing a planned month, each
// against the bare procedure calls of the same days in one transaction, on two copies of one
// database; opening a unit's month; re-sorting a search of 15 000 marked rows; the sums of a
// month. The database is made by kzm-seed with 5000 persons in 40 units and a year of plans
// (event types and corrections set, no readings), about three minutes; KZM_BENCH_DB names another
// made by it, which is only read: the runs that write go to copies. KZM_BENCH_ROUNDS sets how
// many months are made and refreshed (3). Embedded.

#include "BenchDb.h"
#include "Seed.h"
#include "core/Literals.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "fb/Value.h"
#include "planning/PlanList.h"
#include "planning/PlanSums.h"
#include "support/TestDb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using kzm::Period;
using kzm::SqlDate;

void print(const char* name, double value, const char* unit, int decimals = 1) {
    std::printf("%s %.*f %s\n", name, decimals, value, unit);
    std::fflush(stdout);
}

double ms(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

Period Month(const QDate& day) {
    return {QDate(day.year(), day.month(), 1), QDate(day.year(), day.month(), day.daysInMonth())};
}

// The n-th month of 31 days (from 0) after the month of `day`, or before it (step -1); the
// month of `day` itself counts when `inclusive`.
Period LongMonth(const QDate& day, int step, int n, bool inclusive) {
    QDate m(day.year(), day.month(), 1);
    if (!inclusive)
        m = m.addMonths(step);
    for (;; m = m.addMonths(step))
        if (m.daysInMonth() == 31 && n-- == 0)
            return Month(m);
}

QDate DateOf(fb::Database& db, const QString& sql) {
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(sql);
    q.open();
    const QDate d = q.isEmpty() ? QDate() : q.field(0).value().toDate();
    tr.commit();
    return d;
}

// The progress gauge of the window, counting its steps; a repaint lets queued events run.
class Gauge : public kzm::ProgressGauge {
public:
    void start(int) override {}
    void step() override { ++steps; }
    void setPosition(int) override {}
    void end() override {}
    int steps = 0;
};

// One workstation: its session and data module on a database, the plan's logic over them.
struct Workstation {
    kzm::Session s;
    kzm::Tdm dm{s};
    kzm::Tdmu dmu{dm};
    kzm::PlanList plan{dm, dmu};
    Gauge gauge;

    bool connect(const QTemporaryDir& dir, const QString& path) {
        if (!bench::Connect(s, dm, dir, path, QDate(2026, 12, 10)))
            return false;
        s.RegisterGauge(&gauge);
        s.ui.repaint = [] { QCoreApplication::processEvents(); };
        plan.loadCodes();
        return true;
    }
    ~Workstation() { s.UnregisterGauge(&gauge); }
};

// The window's "Dopisz dane" or "Aktualizuj dane osobowe w całym okresie": lock, gauge, the
// procedure, commit, log and the unit re-opened. The milliseconds taken; negative on failure.
double PlanWindow(Workstation& w, const Period& p, bool refresh, int unit) {
    QElapsedTimer t;
    t.start();
    const kzm::ListResult r = w.plan.makePlan(p, refresh, unit);
    const double took = ms(t);
    if (!r.ok() || w.plan.view() != kzm::PlanList::View::Unit) {
        std::printf("makePlan failed: %s\n", r.text.toUtf8().constData());
        return -1;
    }
    return took;
}

struct Pair {
    const char* name;
    std::vector<double> bare;
    std::vector<double> window;
};

void printPair(const Pair& p) {
    const std::string name(p.name);
    const double bare = bench::Percentile(p.bare, 0.5);
    const double window = bench::Percentile(p.window, 0.5);
    print((name + "_bare").c_str(), bare, "ms");
    print((name + "_window").c_str(), window, "ms");
    print((name + "_window_vs_bare_ratio").c_str(), window / std::max(bare, 0.01), "x", 2);
    if (p.bare.size() > 1) {
        print((name + "_bare_max").c_str(), bench::Percentile(p.bare, 1.0), "ms");
        print((name + "_window_max").c_str(), bench::Percentile(p.window, 1.0), "ms");
    }
}

// The plan's reads on the database: a unit's month, a search of three days re-sorted with
// every row marked, the sums of a month.
bool ReadFigures(const QTemporaryDir& dir, const QString& path, const Period& month, int unit) {
    Workstation w;
    if (!w.connect(dir, path))
        return false;
    kzm::PlanList& plan = w.plan;
    bool ok = true;
    const int runs = 20;

    ok &= bench::Measure(
        "plan_open_unit_month", runs, [&] { plan.closePlan(); },
        [&] { return plan.openUnit(unit, month) && plan.query().moveTo(255); });
    ok &= bench::Measure(
        "plan_open_unit_month_every_row", runs, [&] { plan.closePlan(); },
        [&] {
            if (!plan.openUnit(unit, month))
                return false;
            plan.query().fetchAll();
            return plan.query().fetchedRows() > 256;
        });
    print("plan_unit_month_rows", plan.query().fetchedRows(), "rows", 0);

    // Everybody over three days, every row marked but the first person's three, then re-sorted
    // by surname (ascending and descending in turn) with every row read and its mark checked
    // against its person: a mark that stayed with its place instead of its row shows.
    const Period three{month.od.addDays(9), month.od.addDays(11)};
    ok &= bench::Measure(
        "plan_search_three_days", runs, [&] { plan.closePlan(); },
        [&] { return plan.search(QString(), three) && plan.query().moveTo(255); });
    QElapsedTimer t;
    t.start();
    plan.markAll();
    print("plan_mark_all", ms(t), "ms");
    fb::Query& q = plan.query();
    const int rows = q.fetchedRows();
    const int nrOper = q.fieldByName(QStringLiteral("NR_OPER")).index();
    const int unmarked = q.value(0, nrOper).toInt();
    for (int row = 0; row < rows && q.value(row, nrOper).toInt() == unmarked; ++row)
        plan.setMarked(row, false);
    print("plan_search_rows", rows, "rows", 0);
    print("plan_search_marked", plan.markedCount(), "rows", 0);
    if (rows < 15000 || plan.markedCount() != rows - 3) {
        std::printf("plan_resort_15000_marks failed: %d rows, %d marked\n", rows,
                    plan.markedCount());
        return false;
    }
    ok &= bench::Measure(
        "plan_resort_15000_marks", 10, [] {},
        [&] {
            plan.sort(plan.sortRequest(QStringLiteral("NAZWISKO")));
            q.fetchAll();
            int wrong = 0;
            for (int row = 0; row < q.fetchedRows(); ++row)
                wrong += plan.isMarked(row) != (q.value(row, nrOper).toInt() != unmarked) ? 1 : 0;
            return q.fetchedRows() == rows && wrong == 0;
        });
    plan.closePlan();

    QStringList sums;
    ok &= bench::Measure(
        "plan_sums_month", 5, [] {},
        [&] {
            sums = kzm::PlanSums(w.dm, month);
            return sums.size() > 4;
        });
    print("plan_sums_month_lines", static_cast<double>(sums.size()), "lines", 0);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString path = qEnvironmentVariable("KZM_BENCH_DB");
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        path = bench::CopyTemplate(dir, QStringLiteral("year.fdb"));
        if (path.isEmpty())
            return 1;
        QElapsedTimer t;
        t.start();
        fb::Database db;
        fb::ConnectParams params{path, testdb::user, testdb::password};
        params.pageBuffers = 200000; // as kzm-seed fills
        db.connect(params);
        kzm::seed::Options o;
        o.persons = 5000;
        o.units = 40;
        o.days = 365;
        o.readingsPerDay = 0;
        kzm::seed::Seeder(db, o).Run();
        db.disconnect();
        print("plan_seed_year", ms(t) / 1000, "s", 0);
    }

    // The copies that the runs which write go to, made before anything is attached to the
    // database.
    const QString copyBare = dir.path() + QStringLiteral("/bare.fdb");
    const QString copyWindow = dir.path() + QStringLiteral("/window.fdb");
    if (!QFile::copy(path, copyBare) || !QFile::copy(path, copyWindow))
        return 1;

    // The months: the last planned whole month with event types (the busy one), and the months
    // after the planned period.
    QDate lastPlanned, lastWithEvents;
    int unit = -1;
    {
        fb::Database db;
        db.connect({copyBare, testdb::user, testdb::password});
        print("database_persons", bench::Count(db, "select count(*) from KZM_KART"), "rows", 0);
        print("database_plan_rows", bench::Count(db, "select count(*) from KZM_DANE"), "rows", 0);
        lastPlanned = DateOf(db, QStringLiteral("select max(DATA) from KZM_DANE"));
        lastWithEvents = DateOf(db, QStringLiteral("select max(DATA) from KZM_DANE where "
                                                   "IDZDARZ > 0"));
        if (!lastWithEvents.isValid()) {
            std::fprintf(stderr, "brak planu ze zdarzeniami w bazie\n");
            return 1;
        }
        if (lastWithEvents.addDays(1).month() == lastWithEvents.month())
            lastWithEvents = QDate(lastWithEvents.year(), lastWithEvents.month(), 1).addDays(-1);
        const Period busy = Month(lastWithEvents);
        print("plan_events_in_month",
              bench::Count(db, "select count(*) from KZM_DANE where IDZDARZ > 0 and DATA "
                               "between " +
                                   SqlDate(busy.od) + " and " + SqlDate(busy.dd)),
              "rows", 0);
        // The unit with most rows in the busy month.
        unit = bench::Count(db, "select first 1 IDJEDN from KZM_DANE where DATA between " +
                                    SqlDate(busy.od) + " and " + SqlDate(busy.dd) +
                                    " group by IDJEDN order by count(*) desc");
    }
    const Period busy = Month(lastWithEvents);
    std::printf("# busy month %s, unit %d\n",
                busy.od.toString(QStringLiteral("MM.yyyy")).toUtf8().constData(), unit);
    bool ok = ReadFigures(dir, path, busy, unit);

    // Making a month not yet planned and refreshing a planned one: the bare calls on one copy,
    // the window on the other, in turn first, over other months each round (KZM_BENCH_ROUNDS,
    // 3 by default).
    bool set = false;
    const int given = qEnvironmentVariableIntValue("KZM_BENCH_ROUNDS", &set);
    const int rounds = set ? std::max(1, given) : 3;
    Pair make{"plan_month", {}, {}};
    Pair refresh{"plan_month_refresh", {}, {}};
    {
        Workstation bare;
        Workstation window;
        if (!bare.connect(dir, copyBare) || !window.connect(dir, copyWindow))
            return 1;
        for (int r = 0; r < rounds && ok; ++r) {
            const Period fresh = LongMonth(lastPlanned, 1, r, false);
            const Period old = LongMonth(lastWithEvents, -1, r, true);
            const bool bareFirst = r % 2 == 0;
            for (int turn = 0; turn < 2 && ok; ++turn) {
                if ((turn == 0) == bareFirst) {
                    make.bare.push_back(
                        bench::OpenPlanMonth(bare.dm.IBBaza, 0, fresh.od, fresh.dd));
                    refresh.bare.push_back(bench::OpenPlanMonth(bare.dm.IBBaza, 1, old.od, old.dd));
                } else {
                    window.gauge.steps = 0;
                    make.window.push_back(PlanWindow(window, fresh, false, unit));
                    refresh.window.push_back(PlanWindow(window, old, true, unit));
                    ok &= make.window.back() >= 0 && refresh.window.back() >= 0 &&
                          window.gauge.steps == 62;
                }
            }
            // Both copies planned the month alike: a row a person a day.
            const QString count = QStringLiteral("select count(*) from KZM_DANE where DATA "
                                                 "between %1 and %2")
                                      .arg(SqlDate(fresh.od), SqlDate(fresh.dd));
            const int persons = bench::Count(bare.dm.IBBaza, "select count(*) from KZM_KART");
            ok &= bench::Count(bare.dm.IBBaza, count) == persons * 31 &&
                  bench::Count(window.dm.IBBaza, count) == persons * 31;
            std::printf("# round %d: %s made, %s refreshed\n", r + 1,
                        fresh.od.toString(QStringLiteral("MM.yyyy")).toUtf8().constData(),
                        old.od.toString(QStringLiteral("MM.yyyy")).toUtf8().constData());
        }
        if (ok) {
            printPair(make);
            printPair(refresh);
        } else {
            std::printf("plan_month failed\n");
        }
    }
    return ok ? 0 : 1;
}
