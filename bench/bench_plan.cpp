// Plan generation of a month for 3000 persons (PKZM_OPEN_PLAN_2 day by day in one
// transaction, as the plan window runs it) against inserting the same rows with one prepared
// statement; then generating the month again (nothing to add) and refreshing it. Embedded.

#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/CatalogueDb.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

constexpr int persons = 3000;
const QDate first(2025, 3, 1);
const QDate last(2025, 3, 31);

// Units, ranks, persons, their assignments (a third change unit mid-month) and two years of
// monthly prices.
void seed(const QString& path) {
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    fb::Transaction tr(db);
    tr.executeImmediate(R"(
execute block as
declare i integer;
declare m integer;
declare u0 integer;
declare r0 integer;
begin
  m = 0;
  while (m < 24) do
  begin
    insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (20, 10 + :m * 0.1, dateadd(:m month to date '2024-01-01'));
    insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (30, 15 + :m * 0.1, dateadd(:m month to date '2024-01-01'));
    insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (40, 7 + :m * 0.1, dateadd(:m month to date '2024-01-01'));
    insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (990, 3.3, dateadd(:m month to date '2024-01-01'));
    insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (991, 3.1, dateadd(:m month to date '2024-01-01'));
    insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (992, 5.5, dateadd(:m month to date '2024-01-01'));
    m = m + 1;
  end
  u0 = gen_id(G_ID_KZM, 0) + 1;
  i = 0;
  while (i < 20) do
  begin
    insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (:i + 1, 0, 'JEDNOSTKA ' || :i);
    i = i + 1;
  end
  r0 = gen_id(G_ID_KZM, 0) + 1;
  i = 0;
  while (i < 12) do
  begin
    insert into KZM_STOPNIE (SKROT, NAZWA) values ('st' || :i, 'stopien ' || :i);
    i = i + 1;
  end
  i = 1;
  while (i <= 3000) do
  begin
    insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, IDJEDN, IDSTAWKA, IDSTAWKAW, NAZWISKO)
    values (:i, :i, 'C' || :i, :r0 + mod(:i, 12), 0, 20, 990 + mod(:i, 2), 'NAZWISKO IMIE ' || :i);
    insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY)
    values (:i, :u0 + mod(:i, 20), 20, date '2023-01-01');
    if (mod(:i, 2) = 0) then
      insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY)
      values (:i, :u0 + mod(:i + 1, 20), 30, date '2024-06-01');
    if (mod(:i, 3) = 0) then
      insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY)
      values (:i, :u0 + mod(:i + 2, 20), 20, date '2025-03-16');
    i = i + 1;
  end
end)");
    tr.commit();
    tr.executeImmediate("set statistics index KZM_PRZYDZIAL1");
    tr.executeImmediate("set statistics index KZM_DANE0");
    tr.commit();
}

double openPlanMonth(const QString& path, int modyfikacja) {
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    fb::Transaction tr(db);
    QElapsedTimer t;
    t.start();
    fb::Query q(tr);
    q.setSql("execute procedure PKZM_OPEN_PLAN_2(:dzien, :modyfikacja)");
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        q.setParam("dzien", d);
        q.setParam("modyfikacja", modyfikacja);
        q.execSql();
    }
    tr.commit();
    return t.nsecsElapsed() / 1e6;
}

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

int planRows(const QString& path) {
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql("select count(*) from KZM_DANE");
    q.open();
    return q.field(0).asInteger();
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString seeded = dir.path() + "/seeded.fdb";
    const QString byProcedure = dir.path() + "/plan.fdb";
    const QString byInsert = dir.path() + "/insert.fdb";
    if (!QFile::copy(testdb::CatalogueTemplate(), seeded))
        return 1;
    seed(seeded);
    if (!QFile::copy(seeded, byProcedure) || !QFile::copy(seeded, byInsert))
        return 1;

    const int days = static_cast<int>(first.daysTo(last)) + 1;
    const double open = openPlanMonth(byProcedure, 0);
    const double insert = insertPlanRows(byInsert);
    std::printf("open_plan_month_3000 %.0f ms\n", open);
    std::printf("insert_plan_rows_prepared %.0f ms\n", insert);
    std::printf("open_plan_vs_insert_ratio %.2f x\n", open / insert);
    if (planRows(byProcedure) != persons * days || planRows(byInsert) != persons * days)
        std::printf("plan_rows_wrong 1 flag\n");
    std::printf("open_plan_month_again_3000 %.0f ms\n", openPlanMonth(byProcedure, 0));
    std::printf("refresh_plan_month_3000 %.0f ms\n", openPlanMonth(byProcedure, 1));
    if (planRows(byProcedure) != persons * days)
        std::printf("plan_rows_wrong 1 flag\n");
}
