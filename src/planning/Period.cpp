#include "planning/Period.h"

#include "core/Dates.h"

namespace kzm {

Period StepPeriod(const Period& p, int step, bool wholeMonths) {
    if (wholeMonths) {
        const QDate first = FirstOfMonth(p.od).addMonths(step);
        return {first, first.addMonths(1).addDays(-1)};
    }
    const QDate day = p.od.addDays(step);
    return {day, day};
}

Period WholeMonths(const Period& p) {
    return {FirstOfMonth(p.od), FirstOfMonth(p.dd).addMonths(1).addDays(-1)};
}

} // namespace kzm
