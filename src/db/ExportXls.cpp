#include "core/Session.h"
#include "core/Text.h"
#include "db/Tdm.h"
#include "xls/Workbook.h"

namespace kzm {

namespace {

// Heading lines go into merged cells of these columns.
constexpr int headingLastColumn = 10;

void WriteCell(xls::Workbook& wb, int row, int column, const fb::Field& f) {
    if (f.isNull())
        return;
    switch (f.type()) {
    case fb::FieldType::SmallInt:
    case fb::FieldType::Integer:
    case fb::FieldType::BigInt:
        wb.setNumber(row, column, static_cast<double>(f.asInt64()));
        break;
    case fb::FieldType::Numeric:
    case fb::FieldType::Float:
    case fb::FieldType::Double:
        wb.setNumber(row, column, f.asDouble());
        break;
    case fb::FieldType::Date:
        wb.setDate(row, column, f.asDate());
        break;
    case fb::FieldType::Time:
        // A time of day is a date-time on the zero date.
        wb.setDateTime(row, column, QDateTime(QDate(1899, 12, 30), f.asTime()));
        break;
    case fb::FieldType::Timestamp:
        wb.setDateTime(row, column, f.asDateTime());
        break;
    default:
        wb.setText(row, column, FlatLineBreaks(f.asString()));
        break;
    }
}

} // namespace

void Tdm::ExportXls(fb::Query& q, const QString& fileName, ProgressGauge* gauge, bool closeAfter,
                    const QString& heading) {
    if (!q.isOpen() || q.isEmpty())
        return;
    xls::Workbook wb;
    int r = 0;
    if (!heading.isEmpty()) {
        for (const QString& line : TextLines(heading)) {
            wb.merge(r, r, 0, headingLastColumn);
            wb.setText(r, 0, line);
            ++r;
        }
    }
    ++r;
    for (int c = 0; c < q.fieldCount(); ++c) {
        wb.setText(r, c, q.field(c).name());
        wb.fitColumnToText(c, q.field(c).name());
    }
    ++r;

    if (gauge)
        gauge->start(IBReccount(q));
    for (; !q.eof(); q.next()) {
        for (int c = 0; c < q.fieldCount(); ++c)
            WriteCell(wb, r, c, q.field(c));
        ++r;
        if (gauge)
            gauge->step();
        s_.Repaint();
    }
    if (gauge)
        gauge->end();
    wb.save(fileName);
    if (closeAfter)
        CloseQ(q);
}

} // namespace kzm
