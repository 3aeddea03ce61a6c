#pragma once

#include <QString>

namespace kzm {

// A configuration file of sections and keys, read and written directly: every read looks at
// the file as it is now, every write rewrites it at once (creating it if needed). Section
// and key names ignore letter case; values are Windows-1250 text, taken without the blanks
// around them and without one pair of enclosing quotes.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }
    void setPath(const QString& path) { path_ = path; }
    bool exists() const;

    QString readString(const QString& section, const QString& key, const QString& def) const;
    int readInteger(const QString& section, const QString& key, int def) const;
    bool hasKey(const QString& section, const QString& key) const;

    // False when the file cannot be written.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInteger(const QString& section, const QString& key, int value);

private:
    QString path_;
};

} // namespace kzm
