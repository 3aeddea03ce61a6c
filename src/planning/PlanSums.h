#pragma once

#include "planning/Period.h"

#include <QString>
#include <QStringList>

namespace kzm {

class Tdm;

// "Sumy": the days of each event type in the period, per unit and in total, as lines of a
// fixed-pitch text. `nrOper` (-1: none) limits the units' blocks to one person; the totals
// always count every person.
QStringList PlanSums(Tdm& dm, const Period& p, int nrOper = -1);

// A line of the sums: the code right-aligned in 5, the name in 30 and the count in 8; a text
// longer than its width loses its leftmost characters.
QString SumsLine(const QString& code, const QString& name, int count);

} // namespace kzm
