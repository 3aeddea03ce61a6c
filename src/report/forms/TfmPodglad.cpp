#include "report/forms/TfmPodglad.h"

#include "app/AppContext.h"
#include "core/Session.h"
#include "report/Printing.h"

#include <QDateTime>
#include <QDir>
#include <QPrinter>

namespace kzm::report {

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
