#include "lists/forms/TfmWykazy.h"

#include "lists/forms/TfmJednostki.h"
#include "lists/forms/TfmNapoje.h"
#include "lists/forms/TfmOsoby.h"
#include "lists/forms/TfmStawki.h"
#include "lists/forms/TfmStopnie.h"
#include "lists/forms/TfmZdarz.h"
#include "terminals/forms/TfmParam.h"

namespace kzm {

const std::array<WykazyEntry, wykazySlotCount>& WykazyEntries() {
    using enum WykazySlot;
    static const std::array<WykazyEntry, wykazySlotCount> entries{{
        {HubSlot(Osoby), "aOsoby", "btnOsoby", "Osoby", "Osoby", true, HubColumn::Narrowed},
        {HubSlot(Jednostki), "aJednostki", "btnJednostki", "Jednostki", "Jednostki", false,
         HubColumn::Shown},
        {HubSlot(Stopnie), "aStopnie", "btnStopnie", "Stopnie", "Stopnie", false, HubColumn::Shown},
        {HubSlot(Stawki), "aStawki", "btnStawki", "Stawki ", "Stawki żywnościowe", false,
         HubColumn::Shown},
        {HubSlot(Napoje), "aNapoje", "btnNapoje", "Napoje", "Napoje", false, HubColumn::Shown},
        {HubSlot(Zdarz), "aZdarz", "btnZdarz", "Zdarzenia", "Zdarzenia", true, HubColumn::Hidden},
        {HubSlot(Param), "aParam", "btnParam", "Parametry", "Parametry", true, HubColumn::Shown},
    }};
    return entries;
}

TfmWykazy::TfmWykazy(WindowHost& host)
    : HubWindowOf(host, QStringLiteral("fmWykazy"), QStringLiteral("Wykazy"), WykazyEntries()) {
    setFactory(WykazySlot::Osoby,
               [](WindowHost& h, const QString& caption) { return new TfmOsoby(h, caption); });
    setFactory(WykazySlot::Jednostki,
               [](WindowHost& h, const QString& caption) { return new TfmJednostki(h, caption); });
    setFactory(WykazySlot::Stopnie,
               [](WindowHost& h, const QString& caption) { return new TfmStopnie(h, caption); });
    setFactory(WykazySlot::Stawki,
               [](WindowHost& h, const QString& caption) { return new TfmStawki(h, caption); });
    setFactory(WykazySlot::Napoje,
               [](WindowHost& h, const QString& caption) { return new TfmNapoje(h, caption); });
    setFactory(WykazySlot::Zdarz,
               [](WindowHost& h, const QString& caption) { return new TfmZdarz(h, caption); });
    setFactory(WykazySlot::Param, [](WindowHost& h, const QString& caption) {
        auto* w = new TfmParam(h);
        w->setWindowTitle(caption);
        return w;
    });
}

} // namespace kzm
