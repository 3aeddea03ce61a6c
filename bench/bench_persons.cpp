// The persons window's actions over 5000 persons, as the window runs them: opening the list
// (the first screenful of rows and every row), the filters, entering one identity in identity
// entry mode (store, re-open on the person, move to the next one) and loading a person's
// assignments. The database is made by kzm-seed (5000 persons in 40 units, a month of plans);
// KZM_BENCH_DB names another made by it (bench/run.sh's), changed only by identities written
// back unchanged. Embedded.

#include "BenchDb.h"
#include "Seed.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Database.h"
#include "lists/OsobyList.h"
#include "support/TestDb.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int runs = 20;

} // namespace

int main() {
    QTemporaryDir dir;
    QString path = qEnvironmentVariable("KZM_BENCH_DB");
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        path = bench::CopyTemplate(dir, "persons.fdb");
        if (path.isEmpty())
            return 1;
        fb::Database db;
        db.connect({path, testdb::user, testdb::password});
        kzm::seed::Options o;
        o.persons = 5000;
        o.days = 31;
        o.readingsPerDay = 0;
        kzm::seed::Seeder(db, o).Run();
    }

    kzm::Session s;
    kzm::Tdm dm(s);
    if (!bench::Connect(s, dm, dir, path, QDate(2026, 3, 10)))
        return 1;
    kzm::Tdmu dmu(dm);
    kzm::OsobyList list(dm, dmu);
    bool ok = true;
    const auto nothing = [] {};

    ok &= bench::Measure(
        "persons_open", runs, [&] { list.close(); },
        [&] { return list.open() && list.query().moveTo(255); });
    std::printf("persons_rows %d rows\n", dm.IBReccount(list.query()));
    ok &= bench::Measure(
        "persons_open_every_row", runs, [&] { list.close(); },
        [&] {
            if (!list.open())
                return false;
            list.query().fetchAll();
            return list.query().fetchedRows() >= 5000;
        });
    const struct {
        const char* name;
        const char* text;
    } filters[] = {{"persons_filter_name", "KOW"}, {"persons_filter_number", "12"}};
    for (const auto& f : filters)
        ok &= bench::Measure(f.name, runs, nothing, [&] {
            list.Filtruj(QString::fromLatin1(f.text));
            list.query().fetchAll();
            return list.query().isOpen();
        });
    ok &= bench::Measure("persons_filter_unit", runs, nothing, [&] {
        list.FiltrJednostki(dm.ReadInteger("ID", "select min(id) as id from kzm_jednostki", -1));
        list.query().fetchAll();
        return list.query().isOpen();
    });

    // Identity entry in the middle of the list: each person's own identity written back.
    list.Filtruj(QString());
    int row = 2500;
    QString ident;
    ok &= bench::Measure(
        "persons_identity_entry", runs,
        [&] {
            list.moveTo(row++);
            ident = list.query().fieldByName("NR_IDENT").asString().trimmed();
        },
        [&] { return list.WpiszIdentyfikator(ident).stored; });

    ok &= bench::Measure(
        "persons_assignments_load", runs, [&] { list.przydzialy().setPerson(0); },
        [&] {
            list.przydzialy().setPerson(list.currentKey());
            list.przydzialy().query().fetchAll();
            return list.przydzialy().query().isOpen();
        });
    list.close();
    return ok ? 0 : 1;
}
