#pragma once

#include "ui/HubWindow.h"

#include <array>

namespace kzm {

// The windows of the lists hub, in the order of its buttons.
enum class WykazySlot { Osoby, Jednostki, Stopnie, Stawki, Napoje, Zdarz, Param };
inline constexpr int wykazySlotCount = 7;

// One button of the lists hub and the rules of the window behind it.
using WykazyEntry = HubEntry;
const std::array<WykazyEntry, wykazySlotCount>& WykazyEntries();

// The lists hub: a column of buttons, each opening one list window (or the parameters window)
// in the area beside it, one at a time. For its windows it is their host: their captions go
// onto its own host's path caption, and the key handler, the kept window and the lamp are its
// host's.
class TfmWykazy : public HubWindowOf<WykazySlot> {
    Q_OBJECT
public:
    explicit TfmWykazy(WindowHost& host);

    // The open window of a button; null when there is none.
    FunctionWindow* listWindow(WykazySlot slot) const { return childWindow(slot); }
};

} // namespace kzm
