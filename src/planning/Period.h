#pragma once

#include <QDate>

namespace kzm {

// The period a plan window works on: "Od" to "Do", both included.
struct Period {
    QDate od;
    QDate dd;

    friend bool operator==(const Period&, const Period&) = default;
};

// The next (step 1) or previous (step -1) period: with the month switch the whole month after
// (before) the month of "Od"; without it the day after (before) "Od", alone.
Period StepPeriod(const Period& p, int step, bool wholeMonths);

// The months the period touches: from the first day of the month of "Od" to the last day of the
// month of "Do".
Period WholeMonths(const Period& p);

} // namespace kzm
