// A list report of 5 000 persons in 250 units, two lines a person (about 200 pages): laying it
// out, writing its PDF, and the preview from the start of the layout to its first page shown.
// Rows in memory, so those figures are the engine's alone; then the list of the 5500 unit
// assignments of the benchmark database's 3000 persons by unit, from opening its query to its
// pages (embedded).

#include "BenchDb.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "report/ListLayout.h"
#include "report/Printing.h"
#include "report/forms/TfmPodglad.h"
#include "support/TestDb.h"
#include "ui/AppContext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <cstdio>

using namespace kzm::report;

namespace {

MemorySource persons() {
    const QStringList names = {"Żółkiewski Łukasz", "Gęślarz Ździsław", "Ćwik Óla", "Śliwa Ńina"};
    std::vector<std::vector<fb::Value>> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({QStringLiteral("Jednostka %1").arg(i / 20, 3, 10, QLatin1Char('0')),
                        10000 + i, names[i % names.size()] + QStringLiteral(" %1").arg(i),
                        fb::Decimal{1234 + 97 * i % 50000, 2}, fb::Decimal{600 + i % 700, 2}});
    return MemorySource({"JEDNOSTKA", "NR_OPER", "NAZWISKO", "KWOTA", "STAWKA"}, std::move(rows));
}

// The list with two lines a person, as the payout lists print them.
std::unique_ptr<ListLayout> layout(MemorySource& source) {
    auto list = std::make_unique<ListLayout>(
        QStringLiteral("Wykaz należności do wypłaty"),
        ListLayout::ColumnsOf(source, QStringLiteral("JEDNOSTKA"), 1900),
        QStringLiteral("JEDNOSTKA"), QStringLiteral("KWOTA"));
    list->report.detail().height = 96;
    return list;
}

double msSince(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    MemorySource source = persons();

    QElapsedTimer t;
    t.start();
    PageModel model = layout(source)->report.run(source);
    std::printf("report_layout_ms %.1f ms\n", msSince(t));
    std::printf("report_pages %d pages\n", model.pageCount());

    const QString pdf = dir.path() + QStringLiteral("/wykaz.pdf");
    t.restart();
    if (!WritePdf(model, pdf))
        return 1;
    std::printf("report_pdf_ms %.1f ms\n", msSince(t));
    std::printf("report_pdf_kb %.0f kB\n", QFileInfo(pdf).size() / 1024.0);

    // The preview: layout, the window and its pages drawn, until the first page is on screen.
    kzm::Session s;
    s.InitConfig(dir.path(), QDate(2026, 12, 10), dir.path());
    kzm::Tdm dm(s);
    kzm::AppContext ctx(s, dm);
    t.restart();
    MemorySource again = persons();
    TfmPodglad preview(ctx, layout(again)->report.run(again));
    preview.resize(900, 700);
    preview.show();
    auto* widget = preview.findChild<QPrintPreviewWidget*>();
    while (widget && widget->pageCount() == 0)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::printf("report_preview_first_page_ms %.1f ms\n", msSince(t));

    const QString path = bench::CopyTemplate(dir, QStringLiteral("report.fdb"));
    if (path.isEmpty())
        return 1;
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    bench::SeedPersons(db);
    t.restart();
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(QStringLiteral("select j.NAZWA as JEDNOSTKA, k.NR_OPER, k.NAZWISKO, p.IDSTAWKA, "
                            "p.OD_KIEDY from KZM_PRZYDZIAL p "
                            "join KZM_KART k on k.NR_OPER = p.NR_OPER "
                            "join KZM_JEDNOSTKI j on j.ID = p.IDJEDN "
                            "order by j.NUMER, k.NAZWISKO, p.OD_KIEDY"));
    q.open();
    const PageModel persons =
        ListaZapytania(q, QStringLiteral("Przydziały osób"), QStringLiteral("JEDNOSTKA"));
    std::printf("report_query_layout_ms %.1f ms\n", msSince(t));
    std::printf("report_query_rows %d rows\n", q.fetchedRows());
    std::printf("report_query_pages %d pages\n", persons.pageCount());
    return 0;
}
