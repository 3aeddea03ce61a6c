#pragma once

#include <QString>
#include <QStringList>

namespace kzm {

// Files. Folder and mask arguments may use "\" as well as "/" between names. Masks use "*"
// (any run of characters) and "?" (any one character), match names without regard to case,
// and "*.*" matches every name, as on the system where the data files come from.

// The whole content of the file decoded from Windows-1250, line ends included; empty when the
// file does not exist or cannot be read.
QString ReadWholeFile(const QString& name);
// Creates the folder and any missing parents; true when the folder exists afterwards.
bool ForceDir(const QString& folder);
// Files and folders the program creates from now on are open to their owner and group only:
// the program folder holds a password, the logs and full copies of the database.
void UsePrivateFileModes();
// Takes from an existing file or folder whatever right others than the owner and the group
// have; nothing happens when it does not exist.
void MakePrivate(const QString& path);
// Appends to `list` the full names (folder + "/" + name) of the folder's files (not
// sub-folders) whose names match `mask`, in the order the file system returns them. When
// given, `onlyExt` keeps only, and `exceptExt` drops, files whose extension (the text after the
// last ".", without the ".") matches one of the comma-separated masks, such as "txt,dat" or
// "x?s". Returns the list's count.
int FileList(QStringList& list, const QString& folder, const QString& mask,
             const QString& onlyExt = {}, const QString& exceptExt = {});
// The number of entries (files and folders) matching the last part of a path mask such as
// "/srv/kzm/Kopie/BazaOxle_20261208_*.fdb", "." and ".." excluded; a mask without a folder is
// looked up in the current directory.
int FileCount(const QString& pathMask);

} // namespace kzm
