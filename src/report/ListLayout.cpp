#include "report/ListLayout.h"

#include "report/Format.h"
#include "report/Slownie.h"

namespace kzm::report {

namespace {

constexpr Tenths lineHeight = 45;
constexpr Tenths numberWidth = 100;

bool isNumber(fb::FieldType type) {
    using fb::FieldType;
    return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::BigInt ||
           type == FieldType::Numeric || type == FieldType::Float || type == FieldType::Double;
}

} // namespace

ListLayout::ListLayout(const QString& title, std::vector<ListColumn> columns,
                       const QString& groupField, const QString& amountField)
    : columns_(std::move(columns)), groupField_(groupField), amountField_(amountField) {
    report.title = title;
    build();
}

std::vector<ListColumn> ListLayout::ColumnsOf(DataSource& source, const QString& groupField,
                                              Tenths width) {
    std::vector<ListColumn> out;
    for (int c = 0; c < source.fieldCount(); ++c) {
        const QString name = source.fieldName(c);
        if (name.compare(groupField, Qt::CaseInsensitive) == 0)
            continue;
        ListColumn column;
        column.field = name;
        column.caption = name;
        const fb::FieldType type = source.fieldType(c);
        if (type == fb::FieldType::Numeric || type == fb::FieldType::Double ||
            type == fb::FieldType::Float) {
            column.mask = QStringLiteral("# ### ##0.00");
            column.summed = true;
        } else if (isNumber(type)) {
            column.mask = QStringLiteral("0");
        }
        out.push_back(column);
    }
    // Numbers take a fixed width; texts share what is left.
    constexpr Tenths numberColumn = 250;
    Tenths left = width - numberWidth;
    int texts = 0;
    for (const ListColumn& column : out) {
        if (column.mask.isEmpty())
            ++texts;
        else
            left -= numberColumn;
    }
    for (ListColumn& column : out)
        column.width = !column.mask.isEmpty() ? numberColumn : left / std::max(texts, 1);
    return out;
}

void ListLayout::build() {
    Report& r = report;
    const Tenths width = r.paperWidth() - 2 * r.marginLeft;

    Band& page = r.pageHeader();
    page.height = 2 * lineHeight + 20;
    page.addExpression(QStringLiteral("strona"), QRect(0, 0, 400, lineHeight), [&r] {
        return QStringLiteral("Strona nr ") + QString::number(r.pageNumber());
    });
    page.addExpression(QStringLiteral("druk"), QRect(width - 600, 0, 600, lineHeight),
                       [&r] {
                           return QStringLiteral("Druk dn. ") +
                                  r.printTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
                       })
        .alignment = Qt::AlignRight | Qt::AlignVCenter;
    page.addLabel(QStringLiteral("tytul"), QRect(0, lineHeight, width, lineHeight), r.title).font =
        ReportFont(11, true);

    // Captions, values and totals share the columns' places.
    std::vector<QRect> places;
    Tenths x = numberWidth;
    for (const ListColumn& column : columns_) {
        places.emplace_back(x, 0, column.width - 20, lineHeight);
        x += column.width;
    }
    const auto alignmentOf = [](const ListColumn& column) {
        return column.mask.isEmpty() ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                     : int(Qt::AlignRight | Qt::AlignVCenter);
    };

    Band& captions = r.columnHeader();
    captions.height = lineHeight + 10;
    captions.addLabel(QStringLiteral("lp"), QRect(0, 0, numberWidth - 20, lineHeight),
                      QStringLiteral("LP"));
    for (size_t c = 0; c < columns_.size(); ++c) {
        Label& caption = captions.addLabel(columns_[c].field, places[c], columns_[c].caption);
        caption.font = ReportFont(9, true);
        caption.alignment = alignmentOf(columns_[c]);
    }
    captions.addLine(QRect(0, lineHeight + 5, width, 0));

    Group* group = nullptr;
    if (!groupField_.isEmpty()) {
        group = &r.addGroup(QStringLiteral("grupa"), groupField_);
        group->repeatHeader = true;
        group->header.height = lineHeight + 10;
        group->header
            .addExpression(QStringLiteral("grupa"), QRect(0, 5, width, lineHeight),
                           [&r, field = groupField_] {
                               QString text = r.value(field).toString();
                               return r.repeatingHeader() ? text + QStringLiteral(" (cd.)") : text;
                           })
            .font = ReportFont(9, true);
    }

    Aggregate& lp = r.count();
    Band& detail = r.detail();
    detail.height = lineHeight;
    detail.addExpression(QStringLiteral("lp"), QRect(0, 0, numberWidth - 20, lineHeight),
                         [&lp] { return QString::number(lp.count()) + u'.'; });
    for (size_t c = 0; c < columns_.size(); ++c) {
        Label& value = detail.addField(columns_[c].field, places[c], columns_[c].field);
        value.alignment = alignmentOf(columns_[c]);
        if (!columns_[c].mask.isEmpty())
            value.format = [mask = columns_[c].mask](const fb::Value& v) {
                return FormatValue(v, mask);
            };
    }

    // Totals: the caption with the count of rows, and the sums under the summed columns.
    const auto totals = [&](Band& band, const QString& caption, Band* resetAfter) {
        band.height = lineHeight + 10;
        band.addLine(QRect(0, 2, width, 0));
        Aggregate& rows = r.count(resetAfter);
        band.addExpression(
                QStringLiteral("razem"), QRect(0, 5, 3 * numberWidth, lineHeight),
                [&rows, caption] { return caption + QStringLiteral(" (%1)").arg(rows.count()); })
            .font = ReportFont(9, true);
        for (size_t c = 0; c < columns_.size(); ++c) {
            if (!columns_[c].summed)
                continue;
            Aggregate& sum = r.sum(columns_[c].field, resetAfter);
            Label& label = band.addExpression(
                columns_[c].field, places[c].translated(0, 5),
                [&sum, mask = columns_[c].mask] { return FormatScaled(sum.scaled(), mask); });
            label.alignment = Qt::AlignRight | Qt::AlignVCenter;
            label.font = ReportFont(9, true);
        }
    };
    if (group) {
        totals(group->footer, QStringLiteral("Razem"), &group->footer);
        // The running number starts again with every group, not on its repeated header.
        group->header.afterPrint = [&r, &lp](bool printed) {
            if (printed && !r.repeatingHeader())
                lp.reset();
        };
    }
    totals(r.summary(), QStringLiteral("Ogółem"), nullptr);

    if (!amountField_.isEmpty()) {
        Aggregate& amount = r.sum(amountField_);
        Band& words = r.summary().addChild(QStringLiteral("slownie"));
        // One label for every line of the words, made when the report first needs it.
        words.beforePrint = [&words, &amount, width] {
            const QStringList lines = KwotaSlownie(amount.scaled(), 120, QStringLiteral("PLN"));
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const QString name = QStringLiteral("slownie%1").arg(i + 1);
                Label* label = words.label(name);
                if (!label)
                    label =
                        &words.addLabel(name, QRect(0, Tenths(i) * lineHeight, width, lineHeight));
                label->text = (i == 0 ? QStringLiteral("Kwota słownie: ") : QString()) + lines[i];
            }
            for (qsizetype i = lines.size();
                 Label* rest = words.label(QStringLiteral("slownie%1").arg(i + 1)); ++i)
                rest->text.clear();
            words.height = Tenths(lines.size()) * lineHeight + 10;
            return true;
        };
    }
}

PageModel ListaZapytania(fb::Query& query, const QString& title, const QString& groupField,
                         const QString& amountField) {
    QuerySource source(query);
    const Tenths width = 2100 - 2 * 100;
    ListLayout list(title, ListLayout::ColumnsOf(source, groupField, width), groupField,
                    amountField);
    return list.report.run(source);
}

} // namespace kzm::report
