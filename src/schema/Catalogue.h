#pragma once

#include <QString>
#include <QStringList>

namespace kzm::schema {

// The lines of the named script (exact name, case included); empty for an unknown name.
QStringList Script(const QString& name);

// Every script name, in the order of creation.
QStringList Catalogue();

} // namespace kzm::schema
