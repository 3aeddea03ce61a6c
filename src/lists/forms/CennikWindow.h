#pragma once

#include "lists/forms/ListWindow.h"

namespace kzm {

class CennikList;

// A list window whose rows each have a price list, the rates' and the drinks': the price grid
// "dbgCe" with "Od kiedy" and "Kwota", its actions aCeInsert … aCeCancel, and its panel
// "pnCena" where a price is typed from its amount on, the day beside it.
class CennikWindow : public ListWindow {
    Q_OBJECT
protected:
    using ListWindow::ListWindow;

    // The price list's pane with its grid and panel, to be placed by the window.
    ListPane& addCeny(CennikList& ceny);
};

} // namespace kzm
