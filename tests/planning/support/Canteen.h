#pragma once
// A small canteen in a catalogue database: two units, four persons assigned from 01.01.2025, the
// prices of every rate, three event types and three corrections.

#include "db/Tdm.h"

namespace planning {

// Units "PIERWSZA" (number 1) and "DRUGA" (number 2); persons 101 KOWALSKI JAN and 102 NOWAK
// ANNA in the first, 123 KOWALEWSKA EWA and 104 O"BRIEN in the second. Event types: lunch only
// (TOB), the whole day with water (TCAL), paid out (TDW). Corrections S1 (no water, 0 %), S2
// (water, 60 %), S5 (no water, 100 %).
struct Canteen {
    int unit1 = -1;
    int unit2 = -1;
    int lunch = -1;
    int allDay = -1;
    int paidOut = -1;
};
Canteen SeedCanteen(kzm::Tdm& dm);

} // namespace planning
