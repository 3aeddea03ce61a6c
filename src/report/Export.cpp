#include "report/Export.h"

#include "db/Tdmu.h"

namespace kzm::report {

int ExportCsv(DataSource& source, const QString& fileName) {
    if (!source.moveTo(0))
        return 0;
    const int columns = source.fieldCount();
    QStringList names;
    std::vector<fb::FieldType> types;
    for (int c = 0; c < columns; ++c) {
        names << source.fieldName(c);
        types.push_back(source.fieldType(c));
    }
    int next = 0;
    return Tdmu::WriteCSV(fileName, names, types, [&](std::vector<fb::Value>& row) {
        if (!source.moveTo(next))
            return false;
        ++next;
        row.resize(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row[static_cast<size_t>(c)] = source.value(c);
        return true;
    });
}

} // namespace kzm::report
