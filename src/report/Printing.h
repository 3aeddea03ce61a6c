#pragma once

#include "report/PageModel.h"

#include <QPageLayout>
#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace kzm::report {

// Draws one page on a painter whose device has `dotsPerInch`, from the paper's corner.
void PaintPage(QPainter& painter, const Page& page, double dotsPerInch);

// The paper of the pages: A4 in their orientation, drawn on from its corner.
QPageLayout PaperOf(const PageModel& model);

// Draws every page on a printer or a PDF writer, set to the model's paper first. False when
// the device cannot be painted on.
bool PrintPages(QPagedPaintDevice& device, const PageModel& model);

// Writes the pages to a PDF file; false when the file cannot be written.
bool WritePdf(const PageModel& model, const QString& fileName);

} // namespace kzm::report
