// The payout and detailed list procedures over one month of 3000 persons: the payout lists
// (PKZM_RP02_3, PKZM_RP011, PKZM_RP011_1, PKZM_RP02_2), the drinks given out (PKZM_RP03) and
// the detailed list of all units (PKZM_RP04_2 with PKZM_RP04P_2), each against one pass over
// the month's plan rows on the server. Embedded.

#include "BenchDb.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/TestDb.h"

#include <QTemporaryDir>
#include <cstdio>

namespace {

// The month's plan, then event types on every day (a fifth of the days at 60 %, one in ten
// under a correction, one in fifty under correction 5), and a drinks settlement with drinks
// given out for every person.
void planMonth(fb::Database& db) {
    bench::OpenPlanMonth(db);
    fb::Transaction tr(db);
    tr.executeImmediate(R"(
execute block as
declare k integer;
declare p integer;
declare i integer;
begin
  insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, WODA)
  values (1, 1, 'K', 'KUCHNIA', 100, 70, 1, 1, 1, 1) returning ID into :k;
  insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, WODA)
  values (2, 2, 'P60', 'POZA KUCHNIA', 60, 150, 0, 0, 0, 0) returning ID into :p;
  update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (1, 'S1', 0, 0);
  update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (5, 'S5', 0, 60);
  update KZM_DANE set IDZDARZ = :k, SN = 1, OB = 1, KO = 1, WODA = 1, STAWKA_DW = 100,
    STAWKA_DW110 = 70, RWODA = 1, RSTAWKA_DW = 100 where mod(NR_OPER + extract(day from DATA), 5) > 0;
  update KZM_DANE set IDZDARZ = :p, STAWKA_DW = 60, STAWKA_DW110 = 150, RSTAWKA_DW = 60
    where mod(NR_OPER + extract(day from DATA), 5) = 0;
  update KZM_DANE set POPRAWKA = 1, PWODA = 0, PSTAWKA_DW = 0, RWODA = 0, RSTAWKA_DW = 0
    where mod(NR_OPER + extract(day from DATA), 10) = 3;
  update KZM_DANE set POPRAWKA = 5, PWODA = 0, PSTAWKA_DW = 60, RWODA = 0, RSTAWKA_DW = 60, S5 = :p
    where mod(NR_OPER + extract(day from DATA), 50) = 7;
  i = 0;
  while (i < 5) do
  begin
    insert into KZM_NAPOJE (KOD, NAZWA, POJEMNOSC, ROZLPC, WODA, CENA, PROCENT)
    values ('N' || :i, 'NAPOJ ' || :i, 0.5, 1, 0, 1.5, 20);
    i = i + 1;
  end
  insert into KZM_RWODA (DATA, IDJEDN, NR_OPER, STP, STAWKA, DO_ROZL, STK)
  select date '2025-03-31', K.IDJEDN, K.NR_OPER, 0, 0, 0, 0 from KZM_KART K;
  insert into KZM_RZLWODA (DATA, NR_OPER, IDNAPOJ, ILOSC, CENA, WARTOSC)
  select date '2025-03-31', K.NR_OPER, N.ID, mod(K.NR_OPER, 4), 1.5, mod(K.NR_OPER, 4) * 1.5
  from KZM_KART K cross join KZM_NAPOJE N;
  i = 0;
  while (i < 31) do
  begin
    insert into KZM_PSY (DATA, ILOSC) values (dateadd(:i day to date '2025-03-01'), 3);
    i = i + 1;
  end
end)");
    tr.commit();
    bench::SetStatistics(db, {"KZM_DANE0", "KZM_DANE1", "KZM_DANE2", "KZM_DANE3", "KZM_DANE4",
                              "KZM_DANE5", "KZM_DANE6", "KZM_DANE7", "KZM_RZLWODA0"});
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString path = bench::CopyTemplate(dir, "payouts.fdb");
    if (path.isEmpty())
        return 1;
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    bench::SeedPersons(db);
    planMonth(db);

    int rows = 0;
    // The baseline: one pass over the month's plan rows on the server, after a first pass that
    // brings them into the cache.
    const QString scanSql = "select count(*), sum(D.STAWKA), sum(D.RWODA) from KZM_DANE D where "
                            "D.DATA between '01.03.2025' and '31.03.2025' and D.IDZDARZ <> 0";
    bench::Timed(db, scanSql, &rows);
    const double scan = bench::Timed(db, scanSql, &rows);
    std::printf("scan_month_plan_rows %.0f ms\n", scan);
    const struct {
        const char* name;
        const char* sql;
    } runs[] = {
        {"rp02_3", "select * from PKZM_RP02_3('01.03.2025', '31.03.2025', -1, 0)"},
        {"rp011", "select * from PKZM_RP011('01.01.2026', '01.03.2025', '31.03.2025', -1)"},
        {"rp011_1", "select * from PKZM_RP011_1('01.01.2026', '01.03.2025', '31.03.2025', -1)"},
        {"rp02_2", "select * from PKZM_RP02_2('01.03.2025', '31.03.2025', -1, 0)"},
        {"rp03", "select * from PKZM_RP03('31.03.2025', -1, 0)"},
        {"rp04_2", "select * from PKZM_RP04_2('01.03.2025', '31.03.2025', -1)"},
    };
    for (const auto& r : runs) {
        const double ms = bench::Timed(db, QLatin1String(r.sql), &rows);
        std::printf("%s_month_3000 %.0f ms\n", r.name, ms);
        std::printf("%s_month_3000_lines %d lines\n", r.name, rows);
        std::printf("%s_vs_scan_ratio %.2f x\n", r.name, ms / scan);
    }
}
