#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

namespace kzm::report {

// Lengths on paper in tenths of a millimetre.
using Tenths = int;

// One thing drawn on a page: a text in its box or a straight line from the box's top-left
// corner to its bottom-right one. Positions are from the paper's top-left corner.
struct PageItem {
    enum class Kind { Text, Line };
    Kind kind = Kind::Text;
    QRect box;
    QString text;
    QFont font;
    int alignment = 0; // Qt::Alignment
    QString name;      // the label's name, when it has one
};

// A band as it was printed on a page: where it went and what it drew.
struct PlacedBand {
    QString name;
    Tenths top = 0;
    Tenths height = 0;
    std::vector<PageItem> items;

    // The texts of the band's items, left to right as placed.
    QStringList texts() const;
    // The text of the named item, empty when the band has none.
    QString text(const QString& itemName) const;
};

struct Page {
    std::vector<PlacedBand> bands;

    QStringList bandNames() const;
    // The bands of that name, in the order they were printed.
    std::vector<const PlacedBand*> bandsNamed(const QString& name) const;
};

// The laid-out report that the preview, the printer, the PDF writer and the tests share.
struct PageModel {
    QString title;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    Tenths paperWidth = 2100;
    Tenths paperHeight = 2970;
    std::vector<Page> pages;

    int pageCount() const { return static_cast<int>(pages.size()); }
};

} // namespace kzm::report
