#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

namespace kzm {

// The fields of the last reply parsed, plus the values the registration run derives from them.
// Log labels in brackets.
struct TRekReceive {
    // Reply fields, emptied by ParseReply.
    QString year;        // (Y) 2 digits; 4 once a record is completed
    QString month;       // (M)
    QString day;         // (D)
    QString hour;        // (H)
    QString minute;      // (M)
    QString second;      // (S) "00" when the reply has none
    QString dayOfWeek;   // (DoW) 1 = Monday .. 7 = Sunday; date reply only
    QString direction;   // (We) "0" = at entry, anything else = at exit
    QString storedCount; // (I) readings stored in the terminal; status reply
    QString thousands;   // (Tys) the terminal's reading counter in thousands; status reply
    QString cardNumber;  // (Krta) record reply
    QString mode;        // (Tr) "0" or "2" = private entries, anything else = official
    QString recordFlag;  // (WskB) replaced by the outcome code once stored

    // Derived by the registration run.
    QString yearMonth; // (RM)
    int person = 0;    // (NrO)
    int mealSlot = 0;  // (RPos) 1..3
    QString source;    // (SK)
    int repeatCount = 0;
    QDateTime readingTime;

    void ClearReplyFields();
};

enum class ReplyLayout { Status, Record, Date };

// The reply text of an RS-485 line: the first three bytes dropped, then every DLE removed.
QByteArray StripRs485Reply(QByteArrayView raw);
// The reply text as the layouts count it: stripped on RS-485, unchanged on RS-232.
QByteArray ReplyText(QByteArrayView raw, bool rs485);

// The card number of a 9-character card field. "A" + 8 bytes: each byte minus 28 gives two
// digits, and the last 10 of the 16 digits are the number; empty when the packed field is short
// or a byte is not a pair of digits. Otherwise the characters as they stand.
QString DecodeCard(QByteArrayView field);

// Empties the reply fields of rek and fills them from the reply text (see ReplyText) by the
// layout; the status layout differs between the models. The reply ends at its first CR. A field
// the reply does not reach to its last position stays empty.
void ParseReply(TRekReceive& rek, QByteArrayView reply, ReplyLayout layout, bool tq700);

// A number of a reply field (stored count, day of week): LeadingInt, with an empty, non-numeric
// or malformed field reading as 0.
int ReplyInt(const QString& field);

} // namespace kzm
