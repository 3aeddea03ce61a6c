#pragma once

#include "report/PageModel.h"

#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace kzm::report {

// Draws one page on a painter whose device has `dotsPerInch`, from the paper's corner.
void PaintPage(QPainter& painter, const Page& page, double dotsPerInch);

// Draws every page on a printer or a PDF writer, set to the model's paper first. A printer
// must print on the full page (QPrinter::setFullPage). False when the device cannot be
// painted on.
bool PrintPages(QPagedPaintDevice& device, const PageModel& model);

// Writes the pages to a PDF file; false when the file cannot be written.
bool WritePdf(const PageModel& model, const QString& fileName);

} // namespace kzm::report
