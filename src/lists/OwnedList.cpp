#include "lists/OwnedList.h"

namespace kzm {

void OwnedList::setOwner(int id) {
    if (id < 1)
        id = 0;
    if (id == owner_ && (id == 0 || query().isOpen()))
        return;
    if (id != owner_)
        cancel();
    owner_ = id;
    if (id == 0) {
        close();
        return;
    }
    setSelect(ownerSelect(id));
    open();
}

} // namespace kzm
