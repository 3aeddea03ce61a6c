// The count reports over a month of plan rows for 3000 persons in 20 units: a day by unit
// (PKZM_RP01_2), the month by day (PKZM_RP05_3, PKZM_RP05_2), the month alone and the year
// by month (PKZM_RP06_3, PKZM_RP06_2), against one grouped count of the month's rows; and
// the list of assignments (PKZM_RP12). Embedded.

#include "BenchDb.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/TestDb.h"

#include <QTemporaryDir>
#include <cstdio>
#include <string_view>

namespace {

using bench::first;
using bench::last;

// Units, ranks, persons with assignments (a third change unit mid-month), prices, event
// types, corrections and the parameters the counts read.
void seed(fb::Database& db) {
    bench::SeedPersons(db);
    fb::Transaction tr(db);
    tr.executeImmediate(R"(
execute block as
declare i integer;
begin
  i = 0;
  while (i < 16) do
  begin
    insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, WODA)
    values (:i + 1, 1 + mod(:i, 3), 'Z' || :i, 'ZDARZENIE ' || :i,
            decode(mod(:i, 3), 0, 100, 1, 60, 200), decode(mod(:i, 2), 0, 70, 150),
            1, 1, 1, mod(:i, 2));
    i = i + 1;
  end
  insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, WODA)
  values (30, 2, 'P20', 'P20', 60, 0, 0, 0, 0, 0);
  insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, WODA)
  values (31, 2, 'P40', 'P40', 60, 0, 0, 0, 0, 0);
  update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (1, 'S1', 0, 0);
  update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (2, 'S2', 1, 200);
  update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (5, 'S5', 0, 60);
  update or insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PINTEGER) values ('GLOBAL', 'PR_KZM', 'MAXKODOPER', 2500);
  update or insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PINTEGER) values ('GLOBAL', 'PR_KZM', 'IDSTAWKA020', 20);
  update or insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PINTEGER) values ('GLOBAL', 'PR_KZM', 'IDSTAWKA030', 30);
end)");
    tr.commit();

    // The month's plan, as the plan window generates it.
    bench::OpenPlanMonth(db);

    // Every row gets one of the event types; one row in ten a correction, correction 5
    // naming P20; a dog ration count for each day.
    tr.executeImmediate(R"(
execute block as
declare z0 integer;
declare p20 integer;
begin
  select min(ID) from KZM_ZDARZ where SKROT starting with 'Z' into :z0;
  select ID from KZM_ZDARZ where SKROT = 'P20' into :p20;
  update KZM_DANE D set D.IDZDARZ = :z0 + mod(D.NR_OPER + extract(day from D.DATA), 18);
  update KZM_DANE D set
    D.WODA = (select Z.WODA from KZM_ZDARZ Z where Z.ID = D.IDZDARZ),
    D.STAWKA_DW = (select Z.STAWKA_DW from KZM_ZDARZ Z where Z.ID = D.IDZDARZ),
    D.STAWKA_DW110 = (select Z.STAWKA_DW110 from KZM_ZDARZ Z where Z.ID = D.IDZDARZ);
  update KZM_DANE D set D.RWODA = D.WODA, D.RSTAWKA_DW = D.STAWKA_DW;
  update KZM_DANE D set D.POPRAWKA = decode(mod(D.NR_OPER, 3), 0, 1, 1, 2, 5),
    D.S5 = iif(mod(D.NR_OPER, 3) = 2, :p20, 0)
  where mod(D.NR_OPER + extract(day from D.DATA), 10) = 0;
end)");
    tr.commit();
    fb::Query q(tr);
    q.setSql("insert into KZM_PSY (DATA, ILOSC) values (:d, 3)");
    for (QDate d = first; d <= last; d = d.addDays(1)) {
        q.setParam("d", d);
        q.execSql();
    }
    tr.commit();
    bench::SetStatistics(db, {"KZM_DANE0", "KZM_DANE1", "KZM_DANE2", "KZM_DANE3", "KZM_DANE4",
                              "KZM_DANE5", "KZM_DANE6", "KZM_DANE7"});
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString path = bench::CopyTemplate(dir, "counts.fdb");
    if (path.isEmpty())
        return 1;
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    seed(db);

    int rows = 0;
    // One full read first, so that no measured run pays for collecting the old versions
    // that the seeding updates left.
    std::printf("first_full_read_3000 %.1f ms\n",
                bench::Timed(db, "select count(*) from KZM_DANE where IDZDARZ >= 0"));
    const double baseline = bench::Timed(db,
                                         "select IDZDARZ, count(*) from KZM_DANE where DATA >= "
                                         "'01.03.2025' and DATA <= '31.03.2025' group by IDZDARZ",
                                         &rows);
    std::printf("grouped_count_month_3000 %.1f ms\n", baseline);

    const struct {
        const char* name;
        const char* sql;
    } runs[] = {
        {"rp01_2_day_all_units_3000", "select * from PKZM_RP01_2('15.03.2025', -1)"},
        {"rp05_3_month_by_day_3000", "select * from PKZM_RP05_3('01.03.2025', '31.03.2025')"},
        {"rp05_2_month_by_day_3000", "select * from PKZM_RP05_2('01.03.2025', '31.03.2025')"},
        {"rp06_3_one_month_3000", "select * from PKZM_RP06_3('01.03.2025', 3)"},
        {"rp06_2_one_month_3000", "select * from PKZM_RP06_2('01.03.2025', 3)"},
        {"rp06_3_year_by_month_3000", "select * from PKZM_RP06_3('01.01.2025', -1)"},
        {"rp12_assignments_3000", "select * from PKZM_RP12('31.03.2025', 0)"},
        {"rp12_moved_only_3000", "select * from PKZM_RP12('31.03.2025', 1)"},
    };
    for (const auto& r : runs) {
        const double ms = bench::Timed(db, QString::fromLatin1(r.sql), &rows);
        std::printf("%s %.1f ms\n", r.name, ms);
        std::printf("%s_rows %d rows\n", r.name, rows);
        if (std::string_view(r.name).starts_with("rp0"))
            std::printf("%s_vs_grouped_count_ratio %.1f x\n", r.name, ms / baseline);
    }
}
