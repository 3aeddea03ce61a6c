#pragma once

#include "report/Report.h"

#include <QString>
#include <vector>

namespace kzm::report {

// A column of a list: a field, its caption, its width, and for numbers the display mask and
// whether the group and report totals sum it.
struct ListColumn {
    QString field;
    QString caption;
    Tenths width = 300;
    QString mask; // empty: the value as text
    bool summed = false;
};

// The list layout of any source: the common page header ("Strona nr ", "Druk dn.", the title),
// column captions on every page, an optional group with its header repeated on every page and
// a "Razem" footer, a running number per group, the report's "Ogółem" and, when an amount
// column is named, its total in words.
class ListLayout {
public:
    ListLayout(const QString& title, std::vector<ListColumn> columns,
               const QString& groupField = {}, const QString& amountField = {});

    // Columns for every field of the source but the group field: numbers right-aligned and
    // summed, widths shared out over the page.
    static std::vector<ListColumn> ColumnsOf(DataSource& source, const QString& groupField,
                                             Tenths width);

    Report report;

private:
    void build();

    std::vector<ListColumn> columns_;
    QString groupField_;
    QString amountField_;
};

// A query's rows in the list layout with columns made from its fields, grouped by a field and
// with an amount field's total in words where those are named; laid out into pages.
PageModel ListaZapytania(fb::Query& query, const QString& title, const QString& groupField = {},
                         const QString& amountField = {});

} // namespace kzm::report
