#include "fb/Error.h"

#include <utility>

namespace fb {

Error::Error(long code, const QString& text, std::vector<long> codes)
    : std::runtime_error(text.toStdString()), code_(code), text_(text), codes_(std::move(codes)) {
    if (codes_.empty() && code_ != 0)
        codes_.push_back(code_);
}

bool Error::has(long code) const {
    for (long c : codes_)
        if (c == code)
            return true;
    return false;
}

} // namespace fb
