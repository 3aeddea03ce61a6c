// A list report of 5 000 persons in 250 units, two lines a person (about 200 pages): laying it
// out, writing its PDF, and the preview from the start of the layout to its first page shown.
// Rows in memory, so the figures are the engine's alone.

#include "app/AppContext.h"
#include "core/Session.h"
#include "db/Tdm.h"
#include "report/ListLayout.h"
#include "report/Printing.h"
#include "report/forms/TfmPodglad.h"

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
    return 0;
}
