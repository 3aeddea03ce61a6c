#include "lists/StawkiList.h"

namespace kzm {

StawkiList::StawkiList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu, QStringLiteral("select * from kzm_stawki order by id"),
                     QStringLiteral("ID"), 0),
      ceny_(dm, dmu) {}

void StawkiList::afterScroll() {
    ceny_.setOwner(currentKey());
}

void StawkiList::close() {
    ceny_.close();
    ListController::close();
}

} // namespace kzm
