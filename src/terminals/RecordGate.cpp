#include "terminals/RecordGate.h"

#include "terminals/Registration.h"
#include "terminals/TerminalProtocol.h"

namespace kzm {

namespace {

// Positions 1..24 of the record layout, then the check character.
constexpr qsizetype layoutLength = 24;
// Start mark and the character after it, then the check character.
constexpr qsizetype cardLessLength = 2;

// Check character, end mark on RS-485 ("-" once DLE is gone) and CR.
qsizetype TailLength(bool rs485) {
    return rs485 ? 3 : 2;
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// The number at 1-based positions first, first + 1, or -1 when either is not a digit.
int TwoDigits(QByteArrayView text, qsizetype first) {
    const char high = text[first - 1];
    const char low = text[first];
    if (!Digit(high) || !Digit(low))
        return -1;
    return (high - '0') * 10 + (low - '0');
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

enum class Card { Number, Blank, Bad };

Card CardField(QByteArrayView field) {
    if (field[0] == 'A') {
        for (char byte : field.sliced(1)) {
            const int value = static_cast<unsigned char>(byte);
            if (value < 28 || value > 28 + 99)
                return Card::Bad;
        }
        return Card::Number;
    }
    bool blank = true;
    for (char c : field) {
        if (c != ' ' && !Digit(c))
            return Card::Bad;
        blank = blank && c == ' ';
    }
    return blank ? Card::Blank : Card::Number;
}

} // namespace

RecordForm RecordReplyForm(QByteArrayView text, bool rs485, const QDate& today) {
    if (text.isEmpty())
        return RecordForm::Missing;
    const qsizetype tail = TailLength(rs485);
    if (text.back() != Ctl::CR || text.indexOf(Ctl::CR) != text.size() - 1 ||
        (rs485 && (text.size() < tail || text[text.size() - 2] != Ctl::Minus)))
        return RecordForm::Cut;
    if (text.size() == cardLessLength + tail)
        return RecordForm::CardLess;
    if (text.size() != layoutLength + tail)
        return RecordForm::Cut;

    const char flag = text[23];
    if (flag == 'T' || flag == 'U' || flag == ',')
        return RecordForm::Flagged;
    const Card card = CardField(text.sliced(2, 9));
    if (card == Card::Bad)
        return RecordForm::Malformed;
    const int month = TwoDigits(text, 12);
    const int day = TwoDigits(text, 14);
    if (!InRange(month, 1, 12) || !InRange(day, 1, 31) || !InRange(TwoDigits(text, 16), 0, 23) ||
        !InRange(TwoDigits(text, 18), 0, 59) || !InRange(TwoDigits(text, 20), 0, 59) ||
        !QDate(ReadingYear(today, month), month, day).isValid())
        return RecordForm::Malformed;
    return card == Card::Blank ? RecordForm::CardLess : RecordForm::Reading;
}

bool ReplyCheckMatches(QByteArrayView text, bool rs485) {
    const qsizetype at = text.size() - TailLength(rs485);
    if (at < 1)
        return false;
    return FrameCheck(text.first(at)) == text[at];
}

RecordGate::Verdict RecordGate::judge(QByteArrayView text, bool rs485, const QDate& today) {
    const RecordForm form = RecordReplyForm(text, rs485, today);
    if (form == RecordForm::Missing)
        return Verdict::Retry;
    const bool whole =
        form == RecordForm::Reading || form == RecordForm::CardLess || form == RecordForm::Flagged;
    if (whole && (ReplyCheckMatches(text, rs485) || text == unconfirmed_)) {
        reset();
        return form == RecordForm::Reading ? Verdict::Store : Verdict::Skip;
    }
    unconfirmed_ = whole ? text.toByteArray() : QByteArray();
    if (++malformed_ < malformedLimit)
        return Verdict::Retry;
    reset();
    return Verdict::GiveUp;
}

void RecordGate::reset() {
    malformed_ = 0;
    unconfirmed_.clear();
}

} // namespace kzm
