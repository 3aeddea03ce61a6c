#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>

namespace kzm {

// What a record reply is, judged by its bytes alone.
enum class RecordForm {
    Reading,   // complete and well formed: a reading to store
    CardLess,  // complete, without a card number: skipped after acknowledging
    Flagged,   // complete, flagged "T", "U" or ",": skipped after acknowledging
    Missing,   // nothing came
    Cut,       // came without its CR, or not of the record layout's length
    Malformed, // complete, but the card or a time field is not what the layout allows
};

// The form of a record reply's text (ReplyText). The length counts the layout's 24 positions,
// the check character and the end mark; a card field is 9 digits or blanks, or "A" and 8 bytes
// of packed pairs; month, day, hour, minute and second are digits in range and, with the year
// the record gets on `today`, a real date.
RecordForm RecordReplyForm(QByteArrayView text, bool rs485, const QDate& today);

// True when the check character of a complete reply is the XOR of what precedes it, as in the
// frames the program sends.
bool ReplyCheckMatches(QByteArrayView text, bool rs485);

// Decides, reply by reply, which records of one terminal are acknowledged. A terminal offers its
// oldest record until it is acknowledged, so the replies between two acknowledgements are all of
// the same record.
class RecordGate {
public:
    // Malformed replies of one record after which it is acknowledged all the same.
    static constexpr int malformedLimit = 5;

    enum class Verdict {
        Store,  // a whole reading: store it, then acknowledge
        Skip,   // a whole flagged or card-less record: acknowledge and skip
        Retry,  // not whole: do not acknowledge; the terminal offers it again
        GiveUp, // malformed for the fifth time in a row: acknowledge and keep its bytes
    };

    // A whole record is taken at once when its check character matches; otherwise only when the
    // next offer of it comes back byte for byte the same, which line noise does not repeat.
    Verdict judge(QByteArrayView text, bool rs485, const QDate& today);

    int malformedInARow() const { return malformed_; }
    void reset();

private:
    int malformed_ = 0;
    QByteArray unconfirmed_;
};

} // namespace kzm
