// The list windows' actions on lists of 5000 rows: the units, the ranks and the prices of one
// rate. Each action runs as the window runs it (checks, statement, re-open positioned on the
// row to show), on the last rows of the list, where positioning reads the whole list. Then the
// units window itself, in the lists hub of the main window drawn offscreen: each action through
// its buttons and fields, the window painted afterwards. Embedded.

#include "BenchDb.h"
#include "BenchMain.h"
#include "app/Program.h"
#include "core/Session.h"
#include "db/RowSelection.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Database.h"
#include "fb/Transaction.h"
#include "lists/JednostkiList.h"
#include "lists/StawkiList.h"
#include "lists/StopnieList.h"
#include "lists/forms/TfmWykazy.h"
#include "support/TestDb.h"
#include "ui/DbGrid.h"
#include "ui/KzmApplication.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int listRows = 5000;
constexpr int runs = 20;

// The persons of the benchmark database, and the three lists filled up to 5000 rows.
void seed(fb::Database& db) {
    bench::SeedPersons(db);
    fb::Transaction tr(db);
    tr.executeImmediate(QStringLiteral(R"(
execute block as
declare i integer;
begin
  i = (select count(*) from KZM_JEDNOSTKI);
  while (i < %1) do
  begin
    insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (:i + 100, 1, 'JEDNOSTKA ' || :i);
    i = i + 1;
  end
  i = (select count(*) from KZM_STOPNIE);
  while (i < %1) do
  begin
    insert into KZM_STOPNIE (SKROT, NAZWA) values (lpad(:i, 6, '0'), 'STOPIEN ' || :i);
    i = i + 1;
  end
  i = (select count(*) from KZM_CENNIK where IDTR = 20);
  while (i < %1) do
  begin
    insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (20, 10 + mod(:i, 100) * 0.01,
                                                          dateadd(:i day to date '2000-01-01'));
    i = i + 1;
  end
end)")
                            .arg(listRows));
    tr.commit();
    bench::SetStatistics(db, {"KZM_JEDN0", "KZM_CENNIK1", "KZM_CENNIK2"});
}

// The first rows of a grid marked.
class Marked : public kzm::RowSelection {
public:
    explicit Marked(int rows) {
        for (int r = 0; r < rows; ++r)
            rows_.push_back(r);
    }
    std::vector<int> selectedRows() const override { return rows_; }
    void setRowSelected(int, bool) override {}

private:
    std::vector<int> rows_;
};

// The list on its last row.
void toLast(kzm::ListController& list) {
    list.query().last();
    list.rowChanged();
}

// Answers every question box with its "Yes" as soon as it shows, so that a confirmed deletion
// is timed without a hand's delay.
class AnswerYes : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched))
                QMetaObject::invokeMethod(
                    box, [box] { box->button(QMessageBox::Yes)->click(); }, Qt::QueuedConnection);
        return false;
    }
};

// The units window in the hub: opened over the units, opened again while open, and a unit added,
// edited and deleted on the last row, each re-opening the list positioned on the row to show.
bool windowFigures(kzm::Session& s, kzm::Tdm& dm) {
    bench::MainWindow window(s, dm);
    if (!window.start())
        return false;
    kzm::TfmMain& main = window.main;
    kzm::SetFunctionWindows(main);
    main.OpenFunction(kzm::FunctionSlot::Wykazy);
    auto* hub = qobject_cast<kzm::TfmWykazy*>(main.functionWindow(kzm::FunctionSlot::Wykazy));
    if (!hub)
        return false;
    AnswerYes answer;
    qApp->installEventFilter(&answer);

    auto* jednostki = hub->findChild<QPushButton*>(QStringLiteral("btnJednostki"));
    QWidget* w = nullptr;
    const auto open = [&] {
        jednostki->click();
        bench::Settle();
        w = hub->listWindow(kzm::WykazySlot::Jednostki);
        return w != nullptr;
    };
    const auto click = [&](const char* button) {
        w->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        bench::Settle();
    };
    const auto field = [&](const char* name) {
        return w->findChild<QLineEdit*>(QString::fromLatin1(name));
    };
    const auto toLast = [&] {
        auto* grid = w->findChild<kzm::DbGrid*>(QStringLiteral("dbg"));
        QAbstractItemModel* m = grid->model();
        while (m->canFetchMore({}))
            m->fetchMore({});
        grid->setCurrentIndex(m->index(m->rowCount() - 1, 1));
        bench::Settle();
    };
    const auto panelClosed = [&] {
        return w->findChild<QWidget*>(QStringLiteral("pnEdit"))->isHidden();
    };

    bool ok = bench::Measure(
        "units_window_open", runs,
        [&] {
            if (w)
                w->close();
            bench::Settle();
        },
        open);
    std::printf("units_window_rows %d rows\n",
                dm.ReadInteger(QStringLiteral("N"),
                               QStringLiteral("select count(*) as n from kzm_jednostki"), 0));
    ok &= bench::Measure("units_window_open_again_from_the_last_row", runs, toLast, open);
    int numer = 95000;
    ok &= bench::Measure("units_window_insert", runs, toLast, [&] {
        click("btnDopisz");
        field("edNumer")->setText(QString::number(++numer));
        field("edNazwa")->setText(QStringLiteral("NOWA"));
        click("btnZapamietaj");
        return panelClosed();
    });
    ok &= bench::Measure("units_window_update_reopen_positioned", runs, toLast, [&] {
        click("btnPopraw");
        field("edNazwa")->setText(QStringLiteral("ZMIENIONA"));
        click("btnZapamietaj");
        return panelClosed();
    });
    ok &= bench::Measure("units_window_delete", runs, toLast, [&] {
        const int before = dm.ReadInteger(
            QStringLiteral("N"), QStringLiteral("select count(*) as n from kzm_jednostki"), 0);
        click("btnUsun");
        return dm.ReadInteger(QStringLiteral("N"),
                              QStringLiteral("select count(*) as n from kzm_jednostki"),
                              0) == before - 1;
    });
    qApp->removeEventFilter(&answer);
    hub->close();
    bench::Settle();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kzm::KzmApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = bench::CopyTemplate(dir, "lists.fdb");
    if (path.isEmpty())
        return 1;
    {
        fb::Database db;
        db.connect({path, testdb::user, testdb::password});
        seed(db);
    }

    kzm::Session s;
    kzm::Tdm dm(s);
    if (!bench::Connect(s, dm, dir, path, QDate(2026, 3, 10)))
        return 1;
    kzm::Tdmu dmu(dm);
    bool ok = true;
    const auto nothing = [] {};

    // Units.
    kzm::JednostkiList units(dm, dmu);
    int numer = 90000;
    ok &= bench::Measure("units_open", runs, nothing,
                         [&] { return units.open() && units.query().moveTo(255); });
    std::printf("units_rows %d rows\n", dm.IBReccount(units.query()));
    ok &= bench::Measure(
        "units_reopen_on_last", runs, [&] { toLast(units); },
        [&] {
            units.reopen(units.currentKey());
            return units.query().currentRow() == listRows - 1;
        });
    ok &= bench::Measure(
        "units_insert", runs, [&] { toLast(units); },
        [&] {
            units.beginInsert();
            units.fields().numer = QString::number(++numer);
            units.fields().nazwa = QStringLiteral("NOWA");
            return units.save().ok();
        });
    ok &= bench::Measure(
        "units_update", runs, [&] { toLast(units); },
        [&] {
            units.beginEdit();
            units.fields().nazwa = QStringLiteral("ZMIENIONA");
            return units.save().ok();
        });
    ok &= bench::Measure(
        "units_delete", runs, [&] { toLast(units); }, [&] { return units.deleteCurrent().ok(); });
    // The kind of 100 marked units and of every unit, each run turning it over, so that every
    // unit changes.
    int kind = 0;
    ok &= bench::Measure(
        "units_kind_of_100_marked", runs, [&] { toLast(units); },
        [&] {
            Marked some(100);
            return units.WpiszGrupe(some, kind ^= 1);
        });
    ok &= bench::Measure(
        "units_kind_of_every_unit", runs, [&] { toLast(units); },
        [&] {
            Marked all(dm.IBReccount(units.query()));
            return units.WpiszGrupe(all, kind ^= 1);
        });
    units.close();

    // Ranks, by abbreviation.
    kzm::StopnieList ranks(dm, dmu);
    int skrot = 0;
    ok &= bench::Measure("ranks_open", runs, nothing,
                         [&] { return ranks.open() && ranks.query().moveTo(255); });
    ok &= bench::Measure(
        "ranks_insert", runs, [&] { toLast(ranks); },
        [&] {
            ranks.beginInsert();
            ranks.fields().skrot = QStringLiteral("Z%1").arg(++skrot);
            return ranks.save().ok();
        });
    ok &= bench::Measure(
        "ranks_update", runs, [&] { toLast(ranks); },
        [&] {
            ranks.beginEdit();
            ranks.fields().nazwa = QStringLiteral("ZMIENIONY");
            return ranks.save().ok();
        });
    ok &= bench::Measure(
        "ranks_delete", runs, [&] { toLast(ranks); }, [&] { return ranks.deleteCurrent().ok(); });
    ranks.close();

    // The prices of rate 020, shown when the rates window moves to it.
    kzm::StawkiList rates(dm, dmu);
    kzm::CennikList& prices = rates.ceny();
    rates.open();
    ok &= bench::Measure(
        "prices_rate_change", runs, [&] { rates.locate(30); },
        [&] { return rates.locate(20) && prices.query().moveTo(255); });
    std::printf("prices_rows %d rows\n", dm.IBReccount(prices.query()));
    ok &= bench::Measure(
        "prices_insert", runs, [&] { toLast(prices); },
        [&] {
            prices.beginInsert();
            prices.fields().kwota = QStringLiteral("12,5");
            return prices.save().ok();
        });
    ok &= bench::Measure(
        "prices_update", runs, [&] { toLast(prices); },
        [&] {
            prices.beginEdit();
            prices.fields().kwota = QStringLiteral("13.25");
            return prices.save().ok();
        });
    ok &= bench::Measure(
        "prices_delete", runs, [&] { toLast(prices); },
        [&] { return prices.deleteCurrent().ok(); });
    rates.close();

    ok &= windowFigures(s, dm);
    return ok ? 0 : 1;
}
