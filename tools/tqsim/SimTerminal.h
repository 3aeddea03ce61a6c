#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace kzm::tqsim {

enum class Model { TQ200, TQ700 };

// One reading stored in a terminal's memory.
struct Reading {
    QString card; // digits; up to 9 go out plain (filled with zeros to 9), more go out packed
    QDateTime time;
    char direction = '0'; // '0' = at entry
    char mode = '1';      // '0' or '2' = private entries
    char flag = '0';      // 'T', 'U' or ',' mark a record the program skips
};

// How a terminal misbehaves, for the tests and for training.
struct Faults {
    int replyDelayMs = 0;           // every answer goes out this much later
    bool silent = false;            // nothing is answered at all
    int truncateTo = -1;            // replies are cut to this many bytes, losing their CR
    int truncateEvery = 1;          // ... every this many replies (1: all of them)
    double garbleRate = 0;          // the chance of each byte after the start mark being replaced
    double garbleCardRate = 0;      // the chance of a record's card field losing one byte
    std::optional<char> recordFlag; // every record offered carries this flag ('T', 'U')
    int loseAckEvery = 0;           // every this many acknowledgements never arrive (0: none)
    int freezeAfterRecords = -1;    // after this many record replies the terminal freezes ...
    int freezeMs = 0;               // ... for this long, then answers everything it was sent
};

// The state of one simulated terminal: what it holds and a record of what it was told.
struct TerminalState {
    Model model = Model::TQ200;
    int numScan = 1; // 1..31; the address on the line is numScan | 0x20
    Faults faults;

    std::deque<Reading> stored;       // oldest first
    bool offered = false;             // the oldest was sent and waits for its ACK
    int acknowledged = 0;             // readings removed by ACK
    int acksReceived = 0;             // ACK frames, lost ones included
    int acksLost = 0;                 // acknowledgements lost on the line
    int replies = 0;                  // framed replies sent
    int recordReplies = 0;            // record replies sent
    int counter = 0;                  // every reading ever stored, for the thousands field
    char direction = '0';             // working mode of the status reply
    char mode = '1';                  //
    qint64 clockOffsetSecs = 0;       // the terminal's clock against the host's
    QByteArray lastClock;             // arguments of the last clock setting ("T" excluded)
    QByteArray lastClear;             // arguments of the last memory clearing ("C" excluded)
    int initialisations = 0;          // "I" commands
    QByteArray rangeFrom;             // the card range loaded, as it came
    QByteArray rangeTo;               //
    QByteArray rangeTail;             //
    QString display;                  // the 16 characters shown now
    QStringList texts;                // every text shown, in order
    QByteArray signalControls;        // every control character of the signal command, in order
    std::vector<QByteArray> commands; // every command addressed to this terminal, in order

    char address() const { return static_cast<char>(numScan | 0x20); }
    QDateTime clock(const QDateTime& hostNow) const { return hostNow.addSecs(clockOffsetSecs); }
};

// The answer to one command: bytes to send back, or nothing.
struct Answer {
    QByteArray bytes;
    bool isReply = false; // a framed reply (status, record, date), not a bare confirmation
};

// A terminal of either model behind either line variant. It is told each command (the bytes
// after the start mark, without the check character) and says what goes back on the line.
class SimTerminal {
public:
    SimTerminal(Model model, int numScan);

    TerminalState& state() { return m_state; }
    const TerminalState& state() const { return m_state; }

    void store(const Reading& reading);

    // Acts on the command and gives the answer; rs485 decides the reply's framing.
    Answer handle(QByteArrayView command, bool rs485, const QDateTime& hostNow,
                  QRandomGenerator& random);

private:
    QByteArray statusFields(const QDateTime& now) const;
    QByteArray recordFields();
    QByteArray frame(char echo, const QByteArray& fields, bool rs485) const;
    void spoil(QByteArray& reply, bool rs485, bool record, QRandomGenerator& random);
    void signalControl(char control);

    TerminalState m_state;
};

// The check character of a frame or reply: the XOR of its start mark and what follows up to the
// check, DLE left out, with bit 0x20 set.
char CheckCharacter(QByteArrayView bytes);

// The 9-character card field of a record: plain digits filled with zeros to 9, or "A" and the 16
// digits packed two by two into bytes of value pair + 28 when the card has more than 9 digits.
QByteArray CardField(const QString& card);

} // namespace kzm::tqsim
