#include "core/Files.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include "core/Win1250.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace kzm {

namespace {

QString Slashed(const QString& path) {
    QString result = path;
    result.replace(u'\\', u'/');
    return result;
}

bool SameLetter(QChar a, QChar b) {
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Wildcard match of the whole name, "*" and "?" as in file masks.
bool Matches(QStringView mask, QStringView name) {
    if (mask == u"*.*") {
        return true;
    }
    qsizetype m = 0;
    qsizetype n = 0;
    qsizetype starMask = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == u'?' || SameLetter(mask[m], name[n]))) {
            ++m;
            ++n;
        } else if (starMask >= 0) {
            // Let the last "*" take one more character and retry from there.
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*') {
        ++m;
    }
    return m == mask.size();
}

QStringList ExtensionMasks(const QString& list) {
    QStringList masks;
    for (const QString& part : list.split(u',', Qt::SkipEmptyParts)) {
        QString mask = part.trimmed();
        if (mask.startsWith(u'.')) {
            mask.remove(0, 1);
        }
        if (!mask.isEmpty()) {
            masks.append(mask);
        }
    }
    return masks;
}

bool AnyMatches(const QStringList& masks, const QString& name) {
    for (const QString& mask : masks) {
        if (Matches(mask, name)) {
            return true;
        }
    }
    return false;
}

QString Extension(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

QString Joined(const QString& folder, const QString& name) {
    if (folder.isEmpty() || folder.endsWith(u'/')) {
        return folder + name;
    }
    return folder + u'/' + name;
}

} // namespace

QString ReadWholeFile(const QString& name) {
    QFile file(Slashed(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return FromWin1250(file.readAll());
}

bool ForceDir(const QString& folder) {
    if (folder.isEmpty()) {
        return false;
    }
    const QString path = Slashed(folder);
    return QFileInfo(path).isDir() || QDir().mkpath(path);
}

void UsePrivateFileModes() {
#ifdef Q_OS_UNIX
    ::umask(S_IRWXO);
#endif
}

void MakePrivate(const QString& path) {
    const QString p = Slashed(path);
    if (!QFileInfo::exists(p))
        return;
    QFile::setPermissions(
        p, QFile::permissions(p) &
               ~(QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther));
}

int FileList(QStringList& list, const QString& folder, const QString& mask, const QString& onlyExt,
             const QString& exceptExt) {
    const QString dir = Slashed(folder);
    const QStringList only = ExtensionMasks(onlyExt);
    const QStringList except = ExtensionMasks(exceptExt);
    QDirIterator it(dir.isEmpty() ? QStringLiteral(".") : dir, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!Matches(mask, name)) {
            continue;
        }
        const QString ext = Extension(name);
        if ((!only.isEmpty() && !AnyMatches(only, ext)) ||
            (!except.isEmpty() && AnyMatches(except, ext))) {
            continue;
        }
        list.append(Joined(dir, name));
    }
    return static_cast<int>(list.size());
}

int FileCount(const QString& pathMask) {
    const QString path = Slashed(pathMask);
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString dir = slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
    const QString mask = path.mid(slash + 1);
    int count = 0;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (Matches(mask, it.fileName())) {
            ++count;
        }
    }
    return count;
}

} // namespace kzm
