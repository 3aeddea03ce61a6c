#include "report/PageModel.h"

namespace kzm::report {

QStringList PlacedBand::texts() const {
    QStringList out;
    for (const PageItem& item : items) {
        if (item.kind == PageItem::Kind::Text)
            out << item.text;
    }
    return out;
}

QString PlacedBand::text(const QString& itemName) const {
    for (const PageItem& item : items) {
        if (item.kind == PageItem::Kind::Text && item.name == itemName)
            return item.text;
    }
    return {};
}

QStringList Page::bandNames() const {
    QStringList out;
    for (const PlacedBand& band : bands)
        out << band.name;
    return out;
}

std::vector<const PlacedBand*> Page::bandsNamed(const QString& name) const {
    std::vector<const PlacedBand*> out;
    for (const PlacedBand& band : bands) {
        if (band.name == name)
            out.push_back(&band);
    }
    return out;
}

} // namespace kzm::report
