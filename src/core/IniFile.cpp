#include "core/IniFile.h"

#include "core/Win1250.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <optional>

namespace kzm {

namespace {

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = FromWin1250(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool isSection(const QString& line, QString* name = nullptr) {
    const QString t = line.trimmed();
    if (!t.startsWith('[') || !t.contains(']'))
        return false;
    if (name)
        *name = t.mid(1, t.indexOf(']') - 1).trimmed();
    return true;
}

// The key of a "key=value" line, or nothing for comments and other lines.
std::optional<QString> keyOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';'))
        return std::nullopt;
    const int eq = t.indexOf('=');
    if (eq <= 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

std::optional<QString> find(const QStringList& lines, const QString& section, const QString& key) {
    bool inSection = false;
    for (const QString& line : lines) {
        QString name;
        if (isSection(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const auto k = keyOf(line);
        if (k && k->compare(key, Qt::CaseInsensitive) == 0) {
            QString v = line.mid(line.indexOf('=') + 1).trimmed();
            if (v.size() >= 2 && ((v.startsWith('"') && v.endsWith('"')) ||
                                  (v.startsWith('\'') && v.endsWith('\''))))
                v = v.mid(1, v.size() - 2);
            return v;
        }
    }
    return std::nullopt;
}

} // namespace

bool IniFile::exists() const {
    return !path_.isEmpty() && QFile::exists(path_);
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    return find(readLines(path_), section, key).value_or(def);
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const {
    const auto v = find(readLines(path_), section, key);
    if (!v)
        return def;
    bool ok = false;
    const int n = v->startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)
                      ? v->mid(2).toInt(&ok, 16)
                      : v->toInt(&ok);
    return ok ? n : def;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    return find(readLines(path_), section, key).has_value();
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    QStringList lines = readLines(path_);
    const QString entry = key + '=' + value;
    int sectionAt = -1;
    int insertAt = -1;
    bool inSection = false;
    bool done = false;
    for (int i = 0; i < lines.size() && !done; ++i) {
        QString name;
        if (isSection(lines[i], &name)) {
            if (inSection)
                break;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                sectionAt = insertAt = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            insertAt = i;
        const auto k = keyOf(lines[i]);
        if (k && k->compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (sectionAt < 0) {
            if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
                lines << QString();
            lines << '[' + section + ']' << entry;
        } else {
            lines.insert(insertAt + 1, entry);
        }
    }
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(ToWin1250(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    return f.commit();
}

bool IniFile::writeInteger(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

} // namespace kzm
