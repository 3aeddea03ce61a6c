#include "core/KeyFilters.h"

#include <algorithm>

namespace kzm {

namespace {

bool Accept(QChar& key, bool accepted) {
    if (!accepted) {
        key = QChar();
    }
    return accepted;
}

bool IsDigit(QChar key) {
    return key >= u'0' && key <= u'9';
}

// The field's text after `key` replaces the selection.
QString ResultingText(const QString& text, int selectionStart, int selectionLength, QChar key) {
    const qsizetype start = std::clamp<qsizetype>(selectionStart, 0, text.size());
    const qsizetype length = std::clamp<qsizetype>(selectionLength, 0, text.size() - start);
    QString result = text;
    result.replace(start, length, key);
    return result;
}

} // namespace

bool DigitKeyFilter(QChar& key) {
    const char16_t code = key.unicode();
    const bool accepted = IsDigit(key) || code == 8 || code == 9 || code == 13 || code == 27 ||
                          code == u'-' || code == u'.' || (code >= 35 && code <= 40);
    return Accept(key, accepted);
}

bool DecimalKeyFilter(QChar& key) {
    if (key == u',') {
        key = u'.';
    }
    return DigitKeyFilter(key);
}

bool DecimalKeyFilterN(QChar& key, const QString& text, int selectionStart, int selectionLength,
                       int decimals) {
    if (!DecimalKeyFilter(key)) {
        return false;
    }
    if (key == u'.') {
        return Accept(key, decimals > 0);
    }
    if (IsDigit(key)) {
        const QString result = ResultingText(text, selectionStart, selectionLength, key);
        const qsizetype point = result.indexOf(u'.');
        return Accept(key, point < 0 || result.size() - point - 1 <= decimals);
    }
    return true;
}

} // namespace kzm
