#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace kzm {

// Text that should hold a number but does not.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& message);
    QString Message() const;
};

// Padding and cutting.

// The last `width` characters of (fill repeated `width` times + text): right-aligned, cut from
// the left when longer.
QString PadLeft(const QString& text, int width, QChar fill = QLatin1Char(' '));
// PadLeft of the integer's decimal text: PadLeftInt(7, 2, '0') is "07", (123, 2, '0') is "23".
QString PadLeftInt(int value, int width, QChar fill = QLatin1Char(' '));
// The first `width` characters of (text + fill repeated `width` times): left-aligned, cut from
// the right when longer.
QString PadRight(const QString& text, int width, QChar fill = QLatin1Char(' '));
// n blanks (none for n <= 0).
QString Spaces(int n);
// The text after the first occurrence of the separator, or the whole text when it does not
// occur (an empty separator never occurs).
QString TextAfter(const QString& separator, const QString& text);
// The text before the first occurrence of the separator, or the whole text when it does not
// occur (an empty separator never occurs).
QString TextBefore(const QString& separator, const QString& text);
// The text without its last n characters.
QString DropRight(const QString& text, int n);
// The text from the 1-based position to the end; a position below 1 counts as 1.
QString TextFrom(const QString& text, int position);

// Splitting.

// The n-th field (1-based) of the text split at the separator, every run of separators counting
// as one; a leading separator gives an empty first field; empty beyond the last field.
QString Token(const QString& text, int n, QChar separator);
// The n-th field (1-based) where every character of `separators` ends a field; runs are not
// collapsed, so empty fields count; empty when there are fewer fields.
QString FieldAt(const QString& text, int n, const QString& separators);

// Tests and conversions.

// True when the text is not empty and all its characters are 0 to 9.
bool IsDigits(const QString& text);
// True when the first character is 0 to 9.
bool StartsWithDigit(const QString& text);
// The trimmed text as a decimal integer, or `def` when it is not one (as a field's number is
// read).
int IntOrDefault(const QString& text, int def);
// The trimmed text as a number with "." as the decimal separator, or `def` when it is not one.
double NumberOrDefault(const QString& text, double def);
// The integer formed by the leading run of digits and '-' of the text trimmed of blanks and
// control characters; 0 when there is no such run. Throws ConversionError when the run is not
// an integer ("5-", "-", "1-2") or does not fit in an int.
int LeadingInt(const QString& text);
// The number at the start of the trimmed text: the leading run of digits, ',', '.' and '-'
// (a '-' counts only as the first character and is dropped elsewhere), read with either ',' or
// '.' as the decimal separator. Empty text gives `def`; text with no readable number gives 0.
double ParseDecimal(const QString& text, double def);
// sign(value) * round(|value| * 10^places + 0.00001) / 10^places, rounding ties to even; the
// small addend makes exact halves round away from zero.
double RoundTo(double value, int places);
// The low 8 bits of the value as two upper-case hexadecimal digits.
QString HexByte(int value);

// The lines of a text separated by CR, CR LF or LF; a line break at the very end starts no
// further line.
QStringList TextLines(const QString& text);
// The text on one line, as files and cells of one line carry it: every CR written as the word
// "CarriageReturn", every LF as "LineFeed".
QString FlatLineBreaks(QString text);

} // namespace kzm
