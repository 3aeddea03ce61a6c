#pragma once

#include "lists/forms/CennikWindow.h"

namespace kzm {

class StawkiList;

// The rates window: the fixed rates, and the price list of the rate chosen, whose prices are
// added, changed and removed with the buttons, the keys and the menu of the price grid.
class TfmStawki : public CennikWindow {
    Q_OBJECT
public:
    explicit TfmStawki(WindowHost& host,
                       const QString& caption = QStringLiteral("Stawki żywnościowe"));

private:
    StawkiList& stawki_;
    ListPane& rates_;
    ListPane& prices_;
};

} // namespace kzm
