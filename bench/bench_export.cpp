// Export of a month's plan of 3000 persons (about 93 000 rows of KZM_DANE) to a tab-separated
// file through Tdmu::ExportCSV, against reading the same rows and every value as text.
// Embedded.

#include "BenchDb.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QString planSql = QStringLiteral("select * from KZM_DANE order by DATA, NR_OPER");

// Opens the plan on IB and reads every value of every row as text; the milliseconds taken.
double readPlan(kzm::Tdmu& dmu, int* rows) {
    QElapsedTimer t;
    t.start();
    dmu.IB.setSql(planSql);
    dmu.IB.open();
    qsizetype chars = 0;
    for (int r = 0; r < dmu.IB.fetchedRows() || (dmu.IB.canFetchMore() && dmu.IB.fetchMore(512));
         ++r)
        for (int c = 0; c < dmu.IB.fieldCount(); ++c)
            chars += dmu.IB.value(r, c).toString().size();
    *rows = dmu.IB.fetchedRows();
    dmu.IB.close();
    dmu.IBTExp.commit();
    const double ms = t.nsecsElapsed() / 1e6;
    if (chars == 0)
        std::printf("read_plan_empty 1 flag\n");
    return ms;
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString path = bench::CopyTemplate(dir, "export.fdb");
    if (path.isEmpty())
        return 1;
    {
        fb::Database db;
        db.connect({path, testdb::user, testdb::password});
        bench::SeedPersons(db);
        bench::OpenPlanMonth(db);
    }

    kzm::Session s;
    kzm::Tdm dm(s);
    if (!bench::Connect(s, dm, dir, path, QDate(2025, 3, 31)))
        return 1;
    kzm::Tdmu dmu(dm);

    int rows = 0;
    readPlan(dmu, &rows); // warms the page cache for both runs
    const double read = readPlan(dmu, &rows);

    const QString file = dir.path() + QStringLiteral("/plan.txt");
    QElapsedTimer t;
    t.start();
    dmu.IB.setSql(planSql);
    dmu.IB.open();
    const int written = dmu.ExportCSV(file, true);
    const double exported = t.nsecsElapsed() / 1e6;

    if (written != rows || rows == 0)
        std::printf("export_rows_wrong 1 flag\n");
    std::printf("export_csv_plan_rows %d rows\n", written);
    std::printf("export_csv_plan_month %.0f ms\n", exported);
    std::printf("export_csv_rows_per_second %.0f rows/s\n", written / (exported / 1000.0));
    std::printf("export_csv_file_size %.1f MB\n", QFileInfo(file).size() / 1e6);
    std::printf("read_plan_month_as_text %.0f ms\n", read);
    std::printf("export_vs_read_ratio %.2f x\n", exported / read);
}
