#pragma once

#include <QByteArray>
#include <QString>

namespace xls {

// An OLE2 compound file (version 3, 512-byte sectors) holding one stream under the root
// storage. The stream must be at least 4096 bytes long so that it lives in ordinary sectors
// and the file needs no mini stream; the FAT grows into DIFAT sectors when it passes the 109
// sectors the header can list.
QByteArray CompoundFile(const QString& streamName, const QByteArray& stream);

} // namespace xls
