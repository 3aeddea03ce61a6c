// The persons window's actions over 5000 persons, as the window runs them: opening the list
// (the first screenful of rows and every row), the filters, entering one identity in identity
// entry mode (store, re-open on the person, move to the next one) and loading a person's
// assignments. The database is made by kzm-seed (5000 persons in 40 units, a month of plans);
// KZM_BENCH_DB names another made by it (bench/run.sh's), changed only by identities written
// back unchanged. Embedded.

#include "BenchDb.h"
#include "BenchMain.h"
#include "Seed.h"
#include "app/Program.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Database.h"
#include "lists/OsobyList.h"
#include "lists/forms/TfmWykazy.h"
#include "support/TestDb.h"
#include "ui/DbGrid.h"
#include "ui/KzmApplication.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int runs = 20;

} // namespace

// The persons window in the lists hub over the same persons: opened, filtered by a typed name,
// and one identity entered in identity entry mode.
bool windowFigures(kzm::Session& s, kzm::Tdm& dm) {
    bench::MainWindow window(s, dm);
    if (!window.start())
        return false;
    kzm::SetFunctionWindows(window.main);
    window.main.OpenFunction(kzm::FunctionSlot::Wykazy);
    auto* hub =
        qobject_cast<kzm::TfmWykazy*>(window.main.functionWindow(kzm::FunctionSlot::Wykazy));
    if (!hub)
        return false;
    auto* osoby = hub->findChild<QPushButton*>(QStringLiteral("btnOsoby"));
    QWidget* w = nullptr;
    bool ok = bench::Measure(
        "persons_window_open", runs,
        [&] {
            if (w)
                w->close();
            bench::Settle();
        },
        [&] {
            osoby->click();
            bench::Settle();
            w = hub->listWindow(kzm::WykazySlot::Osoby);
            return w != nullptr;
        });
    auto* filtr = w->findChild<QLineEdit*>(QStringLiteral("lbeFiltr"));
    ok &= bench::Measure(
        "persons_window_filter_name", runs, [&] { filtr->clear(); },
        [&] {
            filtr->setText(QStringLiteral("KOW"));
            QTest::keyClick(filtr, Qt::Key_Return);
            bench::Settle();
            return true;
        });
    filtr->clear();
    QTest::keyClick(filtr, Qt::Key_Return);
    auto* grid = w->findChild<kzm::DbGrid*>(QStringLiteral("dbg"));
    w->findChild<QPushButton*>(QStringLiteral("btnIdent"))->click();
    auto* ident = w->findChild<QLineEdit*>(QStringLiteral("nr_ident2"));
    int row = 2500;
    ok &= bench::Measure(
        "persons_window_identity_entry", runs,
        [&] {
            QAbstractItemModel* m = grid->model();
            while (m->rowCount() <= row && m->canFetchMore({}))
                m->fetchMore({});
            grid->setCurrentIndex(m->index(row++, 1));
            bench::Settle();
            ident->setText(m->data(m->index(row - 1, 2)).toString());
        },
        [&] {
            QTest::keyClick(ident, Qt::Key_Return);
            bench::Settle();
            return ident->text().isEmpty();
        });
    w->close();
    bench::Settle();
    return ok;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kzm::KzmApplication app(argc, argv);
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
        "persons_assignments_load", runs, [&] { list.przydzialy().setOwner(0); },
        [&] {
            list.przydzialy().setOwner(list.currentKey());
            list.przydzialy().query().fetchAll();
            return list.przydzialy().query().isOpen();
        });
    list.close();
    ok &= windowFigures(s, dm);
    return ok ? 0 : 1;
}
