#pragma once

#include <QChar>
#include <QString>

namespace kzm {

// Filters for characters typed into edit fields. Each returns whether the key is accepted and
// replaces a rejected key by QChar() (nothing to insert).

// Accepts 0 to 9, backspace (8), tab (9), Enter (13), Escape (27), "-", "." and the characters
// with codes 35 to 40.
bool DigitKeyFilter(QChar& key);
// As DigitKeyFilter, after turning a typed "," into ".".
bool DecimalKeyFilter(QChar& key);
// As DecimalKeyFilter for a field holding `text` with the selection [selectionStart,
// selectionStart + selectionLength) (the cursor when the length is 0), which the key replaces:
// a digit is rejected when the resulting text has more than `decimals` characters after its
// first ".", and a "." is rejected when `decimals` is 0.
bool DecimalKeyFilterN(QChar& key, const QString& text, int selectionStart, int selectionLength,
                       int decimals);

} // namespace kzm
