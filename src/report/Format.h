#pragma once

#include "fb/Value.h"

#include <QString>
#include <cstdint>

namespace kzm::report {

// A number through a display mask of the layouts: "0", "#0", "#0.00", "0.00", "# ### ##0.00".
// The digits after "." give the decimals (rounded half away from zero); a blank before it
// groups the thousands with blanks.
QString FormatScaled(std::int64_t scaled, const QString& mask);   // the value times 10 000
QString FormatValue(const fb::Value& value, const QString& mask); // null gives nothing

// A number value times 10 000 (null and text that is no number give 0).
std::int64_t ScaledValue(const fb::Value& value);

} // namespace kzm::report
