// Plan generation of a month for 3000 persons (PKZM_OPEN_PLAN_2 day by day in one
// transaction, as the plan window runs it) against inserting the same rows with one prepared
// statement; then generating the month again (nothing to add) and refreshing it. Embedded.

#include "BenchDb.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using bench::first;
using bench::last;
using bench::persons;

double insertPlanRows(const QString& path) {
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    fb::Transaction tr(db);
    QElapsedTimer t;
    t.start();
    fb::Query q(tr);
    q.setSql("insert into KZM_DANE (DATA, IDJEDN, GRUPA, NR_OPER, NR_IDENT, STOPIEN, NAZWISKO, "
             "STAWKA_110, IDSTAWKA, IDSTAWKAWODA, STAWKA, STAWKA_WODA, STAWKA_OBIAD, SN, OB, KO, "
             "WODA, IDZDARZ, IDPOPR, STAWKA_DW, POPRAWKA, PWODA, PSTAWKA_DW, S5, RWODA, "
             "RSTAWKA_DW, RSTAWKA_DW110, MIEJSCE) values (?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
             "0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)");
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        for (int p = 1; p <= persons; ++p) {
            q.setParam(0, d);
            q.setParam(1, 20 + p % 20);
            q.setParam(2, p);
            q.setParam(3, QStringLiteral("C%1").arg(p));
            q.setParam(4, QStringLiteral("st%1").arg(p % 12));
            q.setParam(5, QStringLiteral("NAZWISKO IMIE %1").arg(p));
            q.setParam(6, fb::Decimal{840, 2});
            q.setParam(7, p % 2 == 0 ? 30 : 20);
            q.setParam(8, 990 + p % 2);
            q.setParam(9, fb::Decimal{p % 2 == 0 ? 1640 : 1140, 2});
            q.setParam(10, fb::Decimal{p % 2 == 0 ? 330 : 310, 2});
            q.setParam(11, fb::Decimal{550, 2});
            q.execSql();
        }
    }
    tr.commit();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString seeded = bench::CopyTemplate(dir, "seeded.fdb");
    if (seeded.isEmpty())
        return 1;
    {
        fb::Database db;
        db.connect({seeded, testdb::user, testdb::password});
        bench::SeedPersons(db);
    }
    const QString byProcedure = dir.path() + "/plan.fdb";
    const QString byInsert = dir.path() + "/insert.fdb";
    if (!QFile::copy(seeded, byProcedure) || !QFile::copy(seeded, byInsert))
        return 1;

    fb::Database plan;
    plan.connect({byProcedure, testdb::user, testdb::password});
    const int days = static_cast<int>(first.daysTo(last)) + 1;
    const double open = bench::OpenPlanMonth(plan);
    const double insert = insertPlanRows(byInsert);
    std::printf("open_plan_month_3000 %.0f ms\n", open);
    std::printf("insert_plan_rows_prepared %.0f ms\n", insert);
    std::printf("open_plan_vs_insert_ratio %.2f x\n", open / insert);
    const QString countRows = QStringLiteral("select count(*) from KZM_DANE");
    fb::Database inserted;
    inserted.connect({byInsert, testdb::user, testdb::password});
    if (bench::Count(plan, countRows) != persons * days ||
        bench::Count(inserted, countRows) != persons * days)
        std::printf("plan_rows_wrong 1 flag\n");
    std::printf("open_plan_month_again_3000 %.0f ms\n", bench::OpenPlanMonth(plan));
    std::printf("refresh_plan_month_3000 %.0f ms\n", bench::OpenPlanMonth(plan, 1));
    if (bench::Count(plan, countRows) != persons * days)
        std::printf("plan_rows_wrong 1 flag\n");
}
