#pragma once

#include "report/PageModel.h"

#include <QPrintPreviewDialog>
#include <QString>

namespace kzm {
class AppContext;
}

namespace kzm::report {

// The preview of a report's pages, with zoom, page navigation and printing, on the printer
// chosen in the main window. With the PDF entry chosen it prints to the PDF file in Tmp/.
class TfmPodglad : public QPrintPreviewDialog {
    Q_OBJECT
public:
    TfmPodglad(AppContext& ctx, PageModel model, QWidget* parent = nullptr);

    const PageModel& model() const { return model_; }
    // The PDF file the preview prints to, empty for a system printer.
    const QString& pdfFile() const { return pdfFile_; }

private:
    PageModel model_;
    QString pdfFile_;
};

// Shows a report: with the PDF entry chosen its PDF is written to Tmp/ first and the user is
// told where; then the preview opens. Gives the PDF file's path, or empty.
QString PokazRaport(AppContext& ctx, PageModel model, QWidget* parent = nullptr);

// The PDF file in the program folder's Tmp/ for a report printed now.
QString PdfFileName(const AppContext& ctx);

} // namespace kzm::report
