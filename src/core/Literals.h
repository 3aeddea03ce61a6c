#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace kzm {

// Literals of values in SQL statements built as text. Each builder takes `last`: when it is
// false the literal is followed by a ",", so that value lists are built by concatenation.

// The text in apostrophes, each apostrophe of the text replaced by a double-quote character:
// O'Brien gives 'O"Brien'.
QString SqlStr(const QString& text, bool last = true);
// The decimal digits, with "-" for negatives.
QString SqlInt(int value, bool last = true);
QString SqlInt(qint16 value, bool last = true);
// The number in general format with up to 15 significant digits and "." as decimal separator:
// plain notation for 1E-4 <= |value| < 1E15 (12.5, 0.1, 100, 0.0001), otherwise a mantissa,
// "E", and the exponent without "+" or leading zeros (1E20, 1.5E-7). Zero is "0". Throws
// ConversionError for infinity and NaN, which have no literal.
QString SqlFloat(double value, bool last = true);
// The date in apostrophes as dd.MM.yyyy: '05.01.2025'. A null date gives the zero date.
QString SqlDate(const QDate& date, bool last = true);
// The date and time in apostrophes as dd.MM.yyyy hh:mm:ss, the time left out at midnight:
// '05.01.2025 14:03:09', '05.01.2025'. A null date and time gives the zero date.
QString SqlDateTime(const QDateTime& dateTime, bool last = true);

} // namespace kzm
