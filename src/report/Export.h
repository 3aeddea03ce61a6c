#pragma once

#include "report/DataSource.h"

#include <QString>

namespace kzm::report {

// Writes every row of a report's source to a tab-separated Windows-1250 text file with a
// heading line of the column names, as the program's text export does; gives the number of
// rows written (0 when the source is empty or the file cannot be written).
int ExportCsv(DataSource& source, const QString& fileName);

} // namespace kzm::report
