#pragma once

#include "fb/Value.h"
#include "report/DataSource.h"
#include "report/PageModel.h"

#include <QDateTime>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace kzm::report {

class Report;

// A text on a band. What it prints is, in this order of precedence: its expression's result,
// the current row's value of its bound field (through its format), or its text. Any of them,
// and its visibility, may be changed while the report prints.
struct Label {
    QString name;
    QRect box; // on the band, from the left margin and the band's top
    QString text;
    QString field;
    std::function<QString(const fb::Value&)> format;
    std::function<QString()> expression;
    QFont font;
    // With Qt::TextWordWrap the text breaks into lines within the box (a memo); without it
    // the text is one line.
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
};

// A horizontal strip of the report with its labels and lines, the rules run around its
// printing and the child strips printed after it.
class Band {
public:
    Band(Report& report, QString name);
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    Report& report() const { return report_; }
    const QString& name() const { return name_; }

    Tenths height = 50;
    bool newPageBefore = false; // starts a new page before the band unless the page is fresh
    // Before printing; false suppresses the band (its children are processed all the same).
    std::function<bool()> beforePrint;
    // After the band was processed, printed or not.
    std::function<void(bool printed)> afterPrint;

    Label& addLabel(const QString& name, const QRect& box, const QString& text = {});
    Label& addField(const QString& name, const QRect& box, const QString& field);
    Label& addExpression(const QString& name, const QRect& box, std::function<QString()> expr);
    // A line from the box's top-left corner to its bottom-right one.
    void addLine(const QRect& box) { lines_.push_back(box); }
    // The four sides of a box.
    void addFrame(const QRect& box);
    Label* label(const QString& name);
    const std::deque<Label>& labels() const { return labels_; }
    const std::vector<QRect>& lines() const { return lines_; }

    // A child strip, printed after this band has been processed.
    Band& addChild(const QString& name);
    const std::vector<std::unique_ptr<Band>>& children() const { return children_; }

private:
    Report& report_;
    QString name_;
    std::deque<Label> labels_;
    std::vector<QRect> lines_;
    std::vector<std::unique_ptr<Band>> children_;
};

// A running sum or count over the rows of the report, updated once for every row before its
// detail band. It is reset on demand, or after the band named by resetAfter has printed.
class Aggregate {
public:
    enum class Kind { Sum, Count };
    Aggregate(Kind kind, std::function<fb::Value()> expression)
        : kind_(kind), expression_(std::move(expression)) {}

    Band* resetAfter = nullptr;

    void add();
    void reset() { scaled_ = 0; }
    // The value times 10 000, exact for amounts with up to four decimals.
    std::int64_t scaled() const { return scaled_; }
    double value() const { return static_cast<double>(scaled_) / 10000.0; }
    std::int64_t count() const { return scaled_ / 10000; }

private:
    Kind kind_;
    std::function<fb::Value()> expression_;
    std::int64_t scaled_ = 0;
};

// A group of consecutive rows with the same key: its header before the first row, its footer
// after the last.
class Group {
public:
    Group(Report& report, const QString& name, std::function<fb::Value()> key);

    Band header;
    Band footer;
    bool repeatHeader = false; // the header is printed again at the top of every new page
    std::function<fb::Value()> key;
};

// A banded report over a data source, laid out into pages. A layout builds the bands, labels
// and rules; run() prints the rows: page header and column header on every page, groups,
// detail with its children, summary.
class Report {
public:
    Report();
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString title;
    QFont font; // of new labels
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    Tenths marginLeft = 100;
    Tenths marginTop = 100;
    Tenths marginBottom = 100;
    // The moment printed as the print date and time; the clock is replaceable.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    // Before the first row, once the page model is empty (layouts build run-time labels here).
    std::function<void()> beforeReport;

    Band& pageHeader() { return pageHeader_; }
    Band& columnHeader() { return columnHeader_; }
    Band& detail() { return detail_; }
    Band& summary() { return summary_; }

    // Groups nest in the order they are added, the first outermost.
    Group& addGroup(const QString& name, const QString& keyField);
    Group& addGroup(const QString& name, std::function<fb::Value()> key);
    Aggregate& sum(const QString& field, Band* resetAfter = nullptr);
    Aggregate& sum(std::function<fb::Value()> expression, Band* resetAfter = nullptr);
    Aggregate& count(Band* resetAfter = nullptr);

    // Lays out every row of the source.
    PageModel run(DataSource& source);

    // While printing.
    DataSource& source() const { return *source_; }
    fb::Value value(const QString& field) const { return source_->value(field); }
    int pageNumber() const { return static_cast<int>(model_.pages.size()); }
    QDateTime printTime() const { return printTime_; }
    Tenths position() const { return y_; }
    void setPosition(Tenths y) { y_ = y; } // past pageBottom(), the next band starts a new page
    Tenths pageLength() const { return paperHeight(); }
    Tenths pageBottom() const { return paperHeight() - marginBottom; }
    void newPage(); // nothing happens on a page that holds only its headers
    bool repeatingHeader() const { return repeating_; } // a group header printed again
    bool moreRows() const { return moreRows_; }         // rows follow the current one

    Tenths paperWidth() const;
    Tenths paperHeight() const;

private:
    void startPage();
    void printBand(Band& band, bool pageStart);
    void place(Band& band);
    std::vector<fb::Value> keys() const;

    Band pageHeader_;
    Band columnHeader_;
    Band detail_;
    Band summary_;
    std::vector<std::unique_ptr<Group>> groups_;
    std::vector<std::unique_ptr<Aggregate>> aggregates_;

    DataSource* source_ = nullptr;
    PageModel model_;
    QDateTime printTime_;
    Tenths y_ = 0;
    size_t openGroups_ = 0;
    bool pageHasContent_ = false;
    bool repeating_ = false;
    bool moreRows_ = false;
};

// The report font: Arial, or a font with the same Central European letters where it is missing.
QFont ReportFont(double pointSize, bool bold = false);

} // namespace kzm::report
