#pragma once

#include "lists/CennikList.h"
#include "lists/ListController.h"

namespace kzm {

// The rates window's lists (TfmStawki): the fixed rates of KZM_STAWKI, which the window neither
// adds, changes nor removes, and the price list of the current rate, re-opened whenever the
// current rate changes.
class StawkiList : public ListController {
public:
    StawkiList(Tdm& dm, Tdmu& dmu);

    CennikList& ceny() { return ceny_; }
    const CennikList& ceny() const { return ceny_; }
    // "Popraw" and "Usuń" act on the price list only while the current rate has a price.
    bool canEditPrices() const { return ceny_.hasRows(); }

    void close() override;

protected:
    void afterScroll() override;

private:
    CennikList ceny_;
};

} // namespace kzm
