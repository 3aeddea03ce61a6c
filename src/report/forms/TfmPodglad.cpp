#include "report/forms/TfmPodglad.h"

#include "core/Session.h"
#include "report/Printing.h"
#include "ui/AppContext.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QPrinter>

namespace kzm::report {

namespace {

// The preview's own buttons, named in Polish where the toolkit brings no translation.
void nazwijPrzyciski(QWidget& preview) {
    static const QHash<QString, QString> names = {
        {QStringLiteral("Next page"), QStringLiteral("Następna strona")},
        {QStringLiteral("Previous page"), QStringLiteral("Poprzednia strona")},
        {QStringLiteral("First page"), QStringLiteral("Pierwsza strona")},
        {QStringLiteral("Last page"), QStringLiteral("Ostatnia strona")},
        {QStringLiteral("Fit width"), QStringLiteral("Dopasuj do szerokości")},
        {QStringLiteral("Fit page"), QStringLiteral("Dopasuj do strony")},
        {QStringLiteral("Zoom in"), QStringLiteral("Powiększ")},
        {QStringLiteral("Zoom out"), QStringLiteral("Pomniejsz")},
        {QStringLiteral("Portrait"), QStringLiteral("Pionowo")},
        {QStringLiteral("Landscape"), QStringLiteral("Poziomo")},
        {QStringLiteral("Show single page"), QStringLiteral("Pojedyncza strona")},
        {QStringLiteral("Show facing pages"), QStringLiteral("Dwie strony obok siebie")},
        {QStringLiteral("Show overview of all pages"), QStringLiteral("Wszystkie strony")},
        {QStringLiteral("Print"), QStringLiteral("Drukuj")},
        {QStringLiteral("Page setup"), QStringLiteral("Ustawienia strony")},
    };
    for (QAction* action : preview.findChildren<QAction*>()) {
        const auto name = names.constFind(action->text());
        if (name != names.cend())
            action->setText(*name);
    }
}

} // namespace

TfmPodglad::TfmPodglad(AppContext& ctx, PageModel model, QWidget* parent)
    : QPrintPreviewDialog(parent), model_(std::move(model)) {
    setObjectName(QStringLiteral("fmPodglad"));
    setWindowTitle(QStringLiteral("Podgląd wydruku") +
                   (model_.title.isEmpty() ? QString() : QStringLiteral(" - ") + model_.title));
    QPrinter& p = *printer();
    if (ctx.pdfPrinterSelected()) {
        pdfFile_ = PdfFileName(ctx);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdfFile_);
    } else if (ctx.selectedPrinter >= 0 && ctx.selectedPrinter < ctx.printers.size()) {
        p.setPrinterName(ctx.printers[ctx.selectedPrinter]);
    }
    p.setDocName(model_.title);
    p.setPageLayout(PaperOf(model_));
    nazwijPrzyciski(*this);
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { PrintPages(*target, model_); });
}

QString PdfFileName(const AppContext& ctx) {
    QDir().mkpath(ctx.s.tmpDir);
    return ctx.s.tmpDir + QStringLiteral("Wydruk_") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmsszzz")) +
           QStringLiteral(".pdf");
}

QString PokazRaport(AppContext& ctx, PageModel model, QWidget* parent) {
    TfmPodglad preview(ctx, std::move(model), parent);
    if (!preview.pdfFile().isEmpty()) {
        if (WritePdf(preview.model(), preview.pdfFile()))
            ctx.s.ShowMessage(QStringLiteral("Wydruk zapisano w pliku ") +
                              QDir::toNativeSeparators(preview.pdfFile()));
        else
            ctx.s.ShowMessage(QStringLiteral("Nie można zapisać pliku ") +
                              QDir::toNativeSeparators(preview.pdfFile()));
    }
    preview.exec();
    return preview.pdfFile();
}

} // namespace kzm::report
