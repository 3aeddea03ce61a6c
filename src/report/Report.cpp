#include "report/Report.h"

#include "report/Format.h"

#include <QPageSize>

namespace kzm::report {

// ---- bands

Band::Band(Report& report, QString name) : report_(report), name_(std::move(name)) {}

Label& Band::addLabel(const QString& name, const QRect& box, const QString& text) {
    Label& label = labels_.emplace_back();
    label.name = name;
    label.box = box;
    label.text = text;
    label.font = report_.font;
    return label;
}

Label& Band::addField(const QString& name, const QRect& box, const QString& field) {
    Label& label = addLabel(name, box);
    label.field = field;
    return label;
}

Label& Band::addExpression(const QString& name, const QRect& box, std::function<QString()> expr) {
    Label& label = addLabel(name, box);
    label.expression = std::move(expr);
    return label;
}

void Band::addFrame(const QRect& box) {
    const int right = box.x() + box.width();
    const int bottom = box.y() + box.height();
    addLine(QRect(box.x(), box.y(), box.width(), 0));
    addLine(QRect(box.x(), bottom, box.width(), 0));
    addLine(QRect(box.x(), box.y(), 0, box.height()));
    addLine(QRect(right, box.y(), 0, box.height()));
}

Label* Band::label(const QString& name) {
    for (Label& label : labels_) {
        if (label.name == name)
            return &label;
    }
    return nullptr;
}

Band& Band::addChild(const QString& name) {
    return *children_.emplace_back(std::make_unique<Band>(report_, name));
}

// ---- aggregates

void Aggregate::add() {
    if (kind_ == Kind::Count) {
        scaled_ += 10000;
        return;
    }
    scaled_ += ScaledValue(expression_());
}

Group::Group(Report& report, const QString& name, std::function<fb::Value()> keyOf)
    : header(report, name + QStringLiteral("Header")),
      footer(report, name + QStringLiteral("Footer")), key(std::move(keyOf)) {}

// ---- the report

Report::Report()
    : font(ReportFont(9)), pageHeader_(*this, QStringLiteral("pageHeader")),
      columnHeader_(*this, QStringLiteral("columnHeader")),
      detail_(*this, QStringLiteral("detail")), summary_(*this, QStringLiteral("summary")) {}

Report::~Report() = default;

Group& Report::addGroup(const QString& name, const QString& keyField) {
    return addGroup(name, [this, keyField] { return value(keyField); });
}

Group& Report::addGroup(const QString& name, std::function<fb::Value()> key) {
    return *groups_.emplace_back(std::make_unique<Group>(*this, name, std::move(key)));
}

Aggregate& Report::sum(const QString& field, Band* resetAfter) {
    return sum([this, field] { return value(field); }, resetAfter);
}

Aggregate& Report::sum(std::function<fb::Value()> expression, Band* resetAfter) {
    Aggregate& a = *aggregates_.emplace_back(
        std::make_unique<Aggregate>(Aggregate::Kind::Sum, std::move(expression)));
    a.resetAfter = resetAfter;
    return a;
}

Aggregate& Report::count(Band* resetAfter) {
    Aggregate& a =
        *aggregates_.emplace_back(std::make_unique<Aggregate>(Aggregate::Kind::Count, nullptr));
    a.resetAfter = resetAfter;
    return a;
}

Tenths Report::paperWidth() const {
    return orientation == QPageLayout::Portrait ? 2100 : 2970;
}

Tenths Report::paperHeight() const {
    return orientation == QPageLayout::Portrait ? 2970 : 2100;
}

std::vector<fb::Value> Report::keys() const {
    std::vector<fb::Value> out;
    out.reserve(groups_.size());
    for (const auto& g : groups_)
        out.push_back(g->key());
    return out;
}

// The first group whose key differs, or the number of groups when none does.
static size_t firstChange(const std::vector<fb::Value>& a, const std::vector<fb::Value>& b) {
    size_t i = 0;
    while (i < a.size() && a[i] == b[i])
        ++i;
    return i;
}

PageModel Report::run(DataSource& source) {
    source_ = &source;
    model_ = PageModel();
    model_.title = title;
    model_.orientation = orientation;
    model_.paperWidth = paperWidth();
    model_.paperHeight = paperHeight();
    printTime_ = clock();
    openGroups_ = 0;
    moreRows_ = false;
    for (auto& a : aggregates_)
        a->reset();
    if (beforeReport)
        beforeReport();
    startPage();

    std::vector<fb::Value> previous;
    bool more = source.moveTo(0);
    for (int row = 0; more; ++row) {
        const std::vector<fb::Value> current = keys();
        const size_t changed = row == 0 ? 0 : firstChange(previous, current);
        // The next row decides which groups end here; the bands see the row they belong to.
        more = source.moveTo(row + 1);
        const size_t ending = more ? firstChange(current, keys()) : 0;
        source.moveTo(row);
        moreRows_ = more;

        for (size_t g = changed; g < groups_.size(); ++g) {
            printBand(groups_[g]->header, false);
            openGroups_ = g + 1;
        }
        for (auto& a : aggregates_)
            a->add();
        printBand(detail_, false);
        for (size_t g = groups_.size(); g > ending; --g) {
            printBand(groups_[g - 1]->footer, false);
            openGroups_ = g - 1;
        }
        previous = current;
        if (more)
            source.moveTo(row + 1);
    }
    moreRows_ = false;
    printBand(summary_, false);
    source_ = nullptr;
    return std::move(model_);
}

void Report::newPage() {
    if (!pageHasContent_)
        return;
    startPage();
}

void Report::startPage() {
    model_.pages.emplace_back();
    y_ = marginTop;
    printBand(pageHeader_, true);
    printBand(columnHeader_, true);
    repeating_ = true;
    for (size_t g = 0; g < openGroups_; ++g) {
        if (groups_[g]->repeatHeader)
            printBand(groups_[g]->header, true);
    }
    repeating_ = false;
    pageHasContent_ = false;
}

void Report::printBand(Band& band, bool pageStart) {
    bool printed = false;
    if (!band.beforePrint || band.beforePrint()) {
        if (!pageStart && band.newPageBefore)
            newPage();
        if (!pageStart && y_ + band.height > pageBottom() && pageHasContent_)
            startPage();
        place(band);
        if (!pageStart)
            pageHasContent_ = true;
        printed = true;
    }
    if (band.afterPrint)
        band.afterPrint(printed);
    if (printed) {
        for (auto& a : aggregates_) {
            if (a->resetAfter == &band)
                a->reset();
        }
    }
    for (const auto& child : band.children())
        printBand(*child, pageStart);
}

void Report::place(Band& band) {
    PlacedBand& placed = model_.pages.back().bands.emplace_back();
    placed.name = band.name();
    placed.top = y_;
    placed.height = band.height;
    placed.items.reserve(band.labels().size() + band.lines().size());
    for (const Label& label : band.labels()) {
        if (!label.visible)
            continue;
        QString text;
        if (label.expression) {
            text = label.expression();
        } else if (!label.field.isEmpty()) {
            const fb::Value v = source_ ? source_->value(label.field) : fb::Value();
            text = label.format ? label.format(v) : v.toString();
        } else {
            text = label.text;
        }
        if (text.isEmpty())
            continue;
        PageItem& item = placed.items.emplace_back();
        item.box = label.box.translated(marginLeft, y_);
        item.text = std::move(text);
        item.font = label.font;
        item.alignment = label.alignment;
        item.name = label.name;
    }
    for (const QRect& line : band.lines()) {
        PageItem& item = placed.items.emplace_back();
        item.kind = PageItem::Kind::Line;
        item.box = line.translated(marginLeft, y_);
    }
    y_ += band.height;
}

QFont ReportFont(double pointSize, bool bold) {
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"),
                                                             QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace kzm::report
