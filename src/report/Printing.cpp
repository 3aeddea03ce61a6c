#include "report/Printing.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace kzm::report {

void PaintPage(QPainter& painter, const Page& page, double dotsPerInch) {
    const double k = dotsPerInch / 254.0;
    const auto scaled = [k](const QRect& box) {
        return QRectF(box.x() * k, box.y() * k, box.width() * k, box.height() * k);
    };
    QPen pen(Qt::black);
    pen.setWidthF(2.0 * k); // 0.2 mm
    painter.setPen(pen);
    for (const PlacedBand& band : page.bands) {
        for (const PageItem& item : band.items) {
            const QRectF box = scaled(item.box);
            if (item.kind == PageItem::Kind::Line) {
                painter.drawLine(box.topLeft(), box.bottomRight());
                continue;
            }
            if (painter.font() != item.font)
                painter.setFont(item.font);
            painter.drawText(box, item.alignment | Qt::TextDontClip | Qt::TextSingleLine,
                             item.text);
        }
    }
}

QPageLayout PaperOf(const PageModel& model) {
    QPageLayout paper(QPageSize(QPageSize::A4), model.orientation, QMarginsF());
    paper.setMode(QPageLayout::FullPageMode);
    return paper;
}

bool PrintPages(QPagedPaintDevice& device, const PageModel& model) {
    device.setPageLayout(PaperOf(model));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double dpi = device.logicalDpiY();
    for (int i = 0; i < model.pageCount(); ++i) {
        if (i > 0)
            device.newPage();
        PaintPage(painter, model.pages[static_cast<size_t>(i)], dpi);
    }
    return painter.end();
}

bool WritePdf(const PageModel& model, const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool ok = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setTitle(model.title);
        writer.setCreator(QStringLiteral("Pelto KZM"));
        ok = PrintPages(writer, model);
    }
    file.close();
    if (!ok || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    return true;
}

} // namespace kzm::report
