#include "fb/Error.h"

namespace fb {

Error::Error(long code, const QString& text)
    : std::runtime_error(text.toStdString()), code_(code), text_(text) {}

} // namespace fb
