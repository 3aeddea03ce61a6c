#pragma once

#include "terminals/TerminalReply.h"

#include <QDate>
#include <QDateTime>
#include <QString>

namespace fb {
class Error;
}

namespace kzm {

struct GlobalParams;

// The pieces of taking one reading that do not need a terminal or a window.

// The year of a reading: this year, or the one before when this month comes before the
// record's month (a reading of December fetched in January).
int ReadingYear(const QDate& today, int recordMonth);

// Day, month, year, hour, minute and second of a record as a date and time; text that is no
// valid date and time gives the zero date at midnight.
QDateTime ReadingTimeOf(const TRekReceive& rek);

// Characters 4 and 5 of the port's name as two digits: COM1 gives 01, COM12 gives 12.
QString SourcePortText(const QString& portName);

// Year-month, meal slot and source of a record whose year and reading time are set.
void DeriveReadingFields(TRekReceive& rek, const QString& portName, const GlobalParams& g);

// The statement that stores a reading and answers with its outcome.
QString ZapiszOdczytStatement(const TRekReceive& rek);

// The answer of the registration procedure: outcome code ("-1" read as "1"), repeat count and
// person.
struct ReadingOutcome {
    QString code;
    int repeatCount = 0;
    int person = 0;
};
ReadingOutcome ParseOutcome(const QString& ret);

// What the terminal is told of one reading.
struct Announcement {
    QString text;       // BLOKADA, WYDANIE, KARTA NIEZNANA, with " REPETA" for a repeat
    bool alarm = false; // with the sound signal
    bool shown = false; // sent to the display at all
};
// `waiting` is the number of readings the terminal held when its turn began.
Announcement Announce(const ReadingOutcome& outcome, int waiting, const GlobalParams& g);

// The history table's line of a stored reading, and of a skipped one.
QString ReadingLogLine(int i, int n, const TRekReceive& rek, const QString& outcomeText);
QString SkippedLogLine(int i, int n, const TRekReceive& rek);

// A raw reply as the history table's detail: without a final CR LF.
QString ReplyDetail(const QByteArray& raw);

// True when the error says the database connection is gone (the server stopped or cannot be
// reached), so that the run waits for it instead of reporting each reading.
bool ConnectionLost(const fb::Error& e);

} // namespace kzm
