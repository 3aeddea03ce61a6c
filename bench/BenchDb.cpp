#include "BenchDb.h"

#include "core/Session.h"
#include "db/Tdm.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/CatalogueDb.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

namespace bench {

bool Connect(kzm::Session& s, kzm::Tdm& dm, const QTemporaryDir& dir, const QString& path,
             const QDate& workingDate) {
    s.InitConfig(dir.path(), workingDate, dir.path());
    s.dbPath = path;
    s.user = QString::fromLatin1(testdb::user);
    s.password = QString::fromLatin1(testdb::password);
    s.localServer = true;
    dm.BazaConnect();
    return s.connectionStatus == kzm::Status::connected;
}

QString CopyTemplate(const QTemporaryDir& dir, const QString& name) {
    const QString path = dir.path() + '/' + name;
    return QFile::copy(testdb::CatalogueTemplate(), path) ? path : QString();
}

void SeedPersons(fb::Database& db) {
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
    SetStatistics(db, {"KZM_PRZYDZIAL1"});
}

double OpenPlanMonth(fb::Database& db, int modyfikacja, const QDate& from, const QDate& to) {
    fb::Transaction tr(db);
    QElapsedTimer t;
    t.start();
    fb::Query q(tr);
    q.setSql("execute procedure PKZM_OPEN_PLAN_2(:dzien, :modyfikacja)");
    for (QDate d = from; d <= to; d = d.addDays(1)) {
        q.setParam("dzien", d);
        q.setParam("modyfikacja", modyfikacja);
        q.execSql();
    }
    tr.commit();
    return t.nsecsElapsed() / 1e6;
}

void SetStatistics(fb::Database& db, std::initializer_list<const char*> indexes) {
    fb::Transaction tr(db);
    for (const char* index : indexes)
        tr.executeImmediate(QStringLiteral("set statistics index %1").arg(QLatin1String(index)));
    tr.commit();
}

double Timed(fb::Database& db, const QString& sql, int* rows) {
    fb::Transaction tr(db);
    QElapsedTimer t;
    t.start();
    fb::Query q(tr);
    q.setSql(sql);
    int n = 0;
    if (sql.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive)) {
        for (q.open(); !q.eof(); q.next())
            ++n;
    } else {
        q.execSql();
    }
    const double ms = t.nsecsElapsed() / 1e6;
    tr.commit();
    if (rows)
        *rows = n;
    return ms;
}

int Count(fb::Database& db, const QString& sql) {
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(sql);
    q.open();
    return q.field(0).asInteger();
}

double Percentile(std::vector<double> samples, double q) {
    std::sort(samples.begin(), samples.end());
    const auto i = static_cast<size_t>(q * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[i];
}

bool Measure(const char* name, int runs, const std::function<void()>& prepare,
             const std::function<bool()>& action) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        const bool ok = action();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (!ok) {
            std::printf("%s failed\n", name);
            return false;
        }
    }
    std::printf("%s_p50 %.1f ms\n", name, Percentile(ms, 0.5));
    std::printf("%s_max %.1f ms\n", name, Percentile(ms, 1.0));
    std::fflush(stdout);
    return true;
}

} // namespace bench
