#pragma once

#include "lists/ListController.h"

#include <QString>

namespace kzm {

// A list of the rows of one owner (a rate's or a drink's prices, a person's assignments), shown
// beside the owners' list and set whenever that list's current row changes.
class OwnedList : public ListController {
public:
    using ListController::ListController;

    // Shows the rows of the owner; a key below 1 shows none. Another owner than the one shown
    // closes an open panel, as the row in it belongs to the list that is gone.
    void setOwner(int id);
    int owner() const { return owner_; }

protected:
    // The select of the owner's rows.
    virtual QString ownerSelect(int id) const = 0;

private:
    int owner_ = 0;
};

} // namespace kzm
