#pragma once

#include "ui/HubWindow.h"

#include <array>

namespace kzm {

// The windows of the data hub, in the order of its buttons.
enum class DaneSlot { Plan, Woda, Psy, Analiza, ViewR, Import };
inline constexpr int daneSlotCount = 6;

// The buttons of the data hub and the rules of the windows behind them.
const std::array<HubEntry, daneSlotCount>& DaneEntries();

// The data hub: a column of buttons opening the meal plan, the drinks settlement, the dogs'
// rations, the cost analysis, the viewer of the registered card readings and the import of plan
// data, one at a time in the area beside it. A window already open is brought forward, not made
// again; the import window hides the button column while it is open. A window's button stays
// disabled until its window is set.
class TfmDane : public HubWindowOf<DaneSlot> {
    Q_OBJECT
public:
    explicit TfmDane(WindowHost& host);

    // Closes the hub's open windows: the import, the registration viewer, the plan, the drinks,
    // the dogs, the cost analysis; the hub stays open. The main window's "Dane" does so when the
    // hub is open already.
    void CloseDane() { CloseChildren(); }
};

} // namespace kzm
