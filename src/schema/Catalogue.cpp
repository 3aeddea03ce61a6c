#include "schema/Catalogue.h"

#include <QFile>
#include <QHash>

namespace kzm::schema {

namespace {

// The texts live in the program's resources: ":/schema/catalogue.txt" lists the names in
// creation order, ":/schema/sql/NAME.sql" holds each script (UTF-8, lines ended by LF).
constexpr const char* catalogueFile = ":/schema/catalogue.txt";
constexpr const char* scriptFolder = ":/schema/sql/";

// The lines of a resource file exactly as written; the end of the last line opens no line.
QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

struct Index {
    QStringList names;
    QHash<QString, QStringList> scripts;
};

// Read once, on first use; afterwards every lookup is a hash lookup and a shared copy.
const Index& TheIndex() {
    static const Index index = [] {
        Index built;
        for (const QString& line : ReadLines(QLatin1String(catalogueFile))) {
            const QString name = line.trimmed();
            if (name.isEmpty())
                continue;
            built.names.append(name);
            if (!built.scripts.contains(name))
                built.scripts.insert(
                    name, ReadLines(QLatin1String(scriptFolder) + name + QLatin1String(".sql")));
        }
        return built;
    }();
    return index;
}

} // namespace

QStringList Script(const QString& name) {
    return TheIndex().scripts.value(name);
}

QStringList Catalogue() {
    return TheIndex().names;
}

} // namespace kzm::schema
