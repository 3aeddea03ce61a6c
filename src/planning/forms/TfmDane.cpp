#include "planning/forms/TfmDane.h"

#include "planning/forms/TfmPlan.h"

namespace kzm {

const std::array<HubEntry, daneSlotCount>& DaneEntries() {
    using enum DaneSlot;
    static const std::array<HubEntry, daneSlotCount> entries{{
        {HubSlot(Plan), "aPlan", "btnPlan", "Plan", "Plan", true, HubColumn::Shown},
        {HubSlot(Woda), "aWoda", "btnWoda", "Rozliczenie napojów", "Rozliczenie napojów", true,
         HubColumn::Shown},
        {HubSlot(Psy), "aPsy", "btnPsy", "Psy", "Psy", true, HubColumn::Shown},
        {HubSlot(Analiza), "aAnaliza", "btnAnaliza", "Analiza finansowa", "Analiza finansowa", true,
         HubColumn::Shown},
        {HubSlot(ViewR), "aViewR", "btnViewR", "Rejestracje wydań",
         "Przeglądanie zarejestrowanych odczytów kart", true, HubColumn::Shown},
        {HubSlot(Import), "aImport", "btnImport", "Import", "Import", true, HubColumn::Hidden},
    }};
    return entries;
}

TfmDane::TfmDane(WindowHost& host)
    : HubWindowOf(host, QStringLiteral("fmDane"), QStringLiteral("Dane"), DaneEntries(),
                  {HubSlot(DaneSlot::Import), HubSlot(DaneSlot::ViewR), HubSlot(DaneSlot::Plan),
                   HubSlot(DaneSlot::Woda), HubSlot(DaneSlot::Psy), HubSlot(DaneSlot::Analiza)}) {
    setFactory(DaneSlot::Plan,
               [](WindowHost& h, const QString& caption) { return new TfmPlan(h, caption); });
}

} // namespace kzm
