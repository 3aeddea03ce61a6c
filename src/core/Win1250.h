#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kzm {

// Windows-1250, the single-byte character set of everything that leaves the program:
// database text, files and terminal frames.

// Encodes text; a character without a Windows-1250 byte (or an unpaired surrogate, or a
// character outside the basic plane) becomes one '?'.
QByteArray ToWin1250(QStringView text);

// Decodes bytes; the five bytes that Windows-1250 leaves undefined (0x81, 0x83, 0x88, 0x90,
// 0x98) become U+FFFD.
QString FromWin1250(const char* data, qsizetype length);
QString FromWin1250(const QByteArray& bytes);

} // namespace kzm
