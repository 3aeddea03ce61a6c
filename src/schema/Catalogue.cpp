#include "schema/Catalogue.h"

namespace kzm::schema {

QStringList Script(const QString&) {
    return {};
}

QStringList Catalogue() {
    return {};
}

} // namespace kzm::schema
