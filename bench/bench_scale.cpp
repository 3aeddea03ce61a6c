// Measurements on one realistic database made by kzm-seed (its path in KZM_BENCH_DB, as
// bench/run.sh passes it): the registration call at the database's size, the statistics of a
// busy day, the persons list, every report procedure for a month, the plan of a month against a
// raw insert of the same rows. Each timing with a natural baseline is also printed as a ratio
// to it, measured in the same run. The database is changed only after the seeded period (a
// month of plan rows, a day of readings), so each run wants a database of its own.

#include "BenchDb.h"
#include "core/Literals.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "fb/Value.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using kzm::SqlDate;

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

void print(const char* name, double value, const char* unit) {
    std::printf("%s %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// The first column of the first row of a select.
fb::Value single(fb::Database& db, const QString& sql) {
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(sql);
    q.open();
    const fb::Value v = q.isEmpty() ? fb::Value() : q.field(0).value();
    tr.commit();
    return v;
}

} // namespace

int main() {
    const char* path = std::getenv("KZM_BENCH_DB");
    if (!path || !QFileInfo::exists(QString::fromLocal8Bit(path))) {
        std::fprintf(stderr, "KZM_BENCH_DB: baza z kzm-seed (bench/run.sh ją zakłada)\n");
        return 2;
    }
    fb::Database db;
    db.connect(
        {QString::fromLocal8Bit(path), QStringLiteral("SYSDBA"), QStringLiteral("pantrykey")});

    const QDate last = single(db, "select max(DATA) from KZM_DANE").toDate();
    const int persons = bench::Count(db, "select count(*) from KZM_KART");
    print("database_readings", bench::Count(db, "select count(*) from KZM_RWP"), "rows");
    print("database_persons", persons, "rows");
    print("database_plan_rows", bench::Count(db, "select count(*) from KZM_DANE"), "rows");
    if (!last.isValid()) {
        std::fprintf(stderr, "brak planu w bazie\n");
        return 1;
    }
    // A busy month: the last whole one of the seeded period.
    const QDate monthEnd = QDate(last.year(), last.month(), 1).addDays(-1);
    const QDate monthStart(monthEnd.year(), monthEnd.month(), 1);
    const QDate busyDay = monthStart.addDays(14);

    // Statistics of a day against a bare fetch of the day's readings.
    {
        int rows = 0;
        const double bare = bench::Timed(
            db, "select DATA, CZAS from KZM_RWP where DATA = " + SqlDate(busyDay), &rows);
        const double stat =
            bench::Timed(db, "execute procedure PKZM_INIT_STAT3(" + SqlDate(busyDay) + ", 0)");
        print("day_statistics", stat, "ms");
        print("day_readings_bare_fetch", bare, "ms");
        print("day_statistics_vs_bare_fetch_ratio", stat / std::max(bare, 0.01), "x");
    }

    // The persons list of every unit against a bare fetch of the persons.
    {
        int rows = 0;
        const double bare = bench::Timed(db, "select * from KZM_KART", &rows);
        const double list = bench::Timed(db, "select * from PKZM_VIEW_KART_2(-1)", &rows);
        print("persons_list", list, "ms");
        print("persons_list_vs_bare_fetch_ratio", list / std::max(bare, 0.01), "x");
    }

    // Every report procedure for the month, against one pass over the month's plan rows.
    {
        int rows = 0;
        const QString p = SqlDate(monthStart), k = SqlDate(monthEnd);
        const double bare =
            bench::Timed(db,
                         "select IDJEDN, IDZDARZ, count(*) from KZM_DANE where DATA "
                         "between " +
                             p + " and " + k + " group by 1, 2",
                         &rows);
        print("month_grouped_count", bare, "ms");
        const struct {
            const char* name;
            QString sql;
        } reports[] = {
            {"rp01_2_day", "select * from PKZM_RP01_2(" + SqlDate(busyDay) + ", -1)"},
            {"rp02_2_month", "select * from PKZM_RP02_2(" + p + ", " + k + ", -1, 0)"},
            {"rp02_3_month", "select * from PKZM_RP02_3(" + p + ", " + k + ", -1, 0)"},
            {"rp011_month", "select * from PKZM_RP011(" + k + ", " + p + ", " + k + ", -1)"},
            {"rp011_1_month", "select * from PKZM_RP011_1(" + k + ", " + p + ", " + k + ", -1)"},
            {"rp03_month", "select * from PKZM_RP03(" + k + ", -1, 0)"},
            {"rp04_2_month", "select * from PKZM_RP04_2(" + p + ", " + k + ", -1)"},
            {"rp05_2_month", "select * from PKZM_RP05_2(" + p + ", " + k + ")"},
            {"rp05_3_month", "select * from PKZM_RP05_3(" + p + ", " + k + ")"},
            {"rp06_2_month", "select * from PKZM_RP06_2(" + p + ", 0)"},
            {"rp06_3_month", "select * from PKZM_RP06_3(" + p + ", 0)"},
            {"rp07_month", "select * from PKZM_RP07(" + p + ", " + k + ")"},
            {"rp08_month", "select * from PKZM_RP08(" + p + ", " + k + ")"},
            {"rp12_month", "select * from PKZM_RP12(" + k + ", 0)"},
            {"view_rwp_2_day",
             "select * from PKZM_VIEW_RWP_2(" + SqlDate(busyDay) + ", " + SqlDate(busyDay) + ")"},
        };
        for (const auto& r : reports) {
            const double took = bench::Timed(db, r.sql, &rows);
            const std::string name(r.name);
            print(name.c_str(), took, "ms");
            print((name + "_vs_grouped_count_ratio").c_str(), took / std::max(bare, 0.01), "x");
        }
    }

    // The plan of the month after the seeded period against a raw insert of as many rows.
    const QDate next = last.addDays(1);
    {
        fb::Transaction tr(db);
        QElapsedTimer t;
        t.start();
        fb::Query q(tr);
        q.setSql(QStringLiteral("execute procedure PKZM_OPEN_PLAN_2(:d, 0)"));
        for (int i = 0; i < 31; ++i) {
            q.setParam(QStringLiteral("d"), next.addDays(i));
            q.execSql();
        }
        tr.commit();
        const double plan = ms(t);
        t.restart();
        fb::Transaction raw(db);
        raw.executeImmediate(
            QStringLiteral(
                "execute block as declare i integer = 0; begin while (i < %1) do "
                "begin insert into KZM_DANE (DATA, NR_OPER, IDJEDN, SN, OB, KO) values "
                "(dateadd(400 day to cast(%2 as date)), :i, 0, 0, 0, 0); i = i + 1; end end")
                .arg(persons * 31)
                .arg(SqlDate(next)));
        raw.commit();
        const double insert = ms(t);
        fb::Transaction clean(db);
        clean.executeImmediate(
            QStringLiteral("delete from KZM_DANE where DATA = dateadd(400 day to "
                           "cast(%1 as date))")
                .arg(SqlDate(next)));
        clean.commit();
        print("plan_month", plan, "ms");
        print("plan_month_raw_insert", insert, "ms");
        print("plan_month_vs_raw_insert_ratio", plan / std::max(insert, 0.01), "x");
    }

    // The registration call as the loop makes it, one reading per call and commit, on the
    // first planned day after the seeded period.
    {
        std::vector<QString> cards;
        {
            fb::Transaction tr(db);
            fb::Query q(tr);
            q.setSql(QStringLiteral("select NR_IDENT from KZM_KART order by NR_OPER"));
            for (q.open(); !q.eof(); q.next())
                cards.push_back(q.field(0).asString());
            tr.commit();
        }
        const int calls = 3000;
        fb::Transaction tr(db);
        fb::Query q(tr);
        q.setSql(QStringLiteral("select RET from PKZM_RWP_WRIT_ODCZYT_22(:pos, :rm, :karta, "
                                ":data, :czas, :skad)"));
        // Call i: its card, meal and time; the answer it got.
        const auto call = [&](int i, QString* answer) {
            const int slot = 1 + i % 3;
            const QTime at = QTime(slot == 1 ? 7 : slot == 2 ? 12 : 18, 0).addSecs(i % 3000);
            QElapsedTimer t;
            t.start();
            q.setParam(QStringLiteral("pos"), slot);
            q.setParam(QStringLiteral("rm"), next.toString(QStringLiteral("yyyyMM")));
            q.setParam(QStringLiteral("karta"),
                       cards[static_cast<size_t>(i * 7919) % cards.size()]);
            q.setParam(QStringLiteral("data"), next);
            q.setParam(QStringLiteral("czas"), at);
            q.setParam(QStringLiteral("skad"),
                       QStringLiteral("01") + next.toString(QStringLiteral("yyMMdd")));
            q.open();
            *answer = q.isEmpty() ? QString() : q.field(0).asString();
            q.close();
            tr.commit();
            return ms(t);
        };
        std::vector<double> times;
        std::vector<QString> answers(calls);
        for (int i = 0; i < calls; ++i)
            times.push_back(call(i, &answers[static_cast<size_t>(i)]));
        print("registration_call_p50", bench::Percentile(times, 0.50), "ms");
        print("registration_call_p99", bench::Percentile(times, 0.99), "ms");

        // Every fifth reading offered again, as after a lost acknowledgement.
        std::vector<double> again;
        int same = 0;
        for (int i = 0; i < calls; i += 5) {
            QString answer;
            again.push_back(call(i, &answer));
            same += answer == answers[static_cast<size_t>(i)] ? 1 : 0;
        }
        print("registration_call_offered_again_p50", bench::Percentile(again, 0.50), "ms");
        print("registration_call_offered_again_p99", bench::Percentile(again, 0.99), "ms");
        print("registration_call_offered_again_same_answer", same, "of 600");
    }
    return 0;
}
