#pragma once

#include <QString>

namespace kzm {

// The product's title, as the window title and the about box show it.
QString ProductTitle();

} // namespace kzm
