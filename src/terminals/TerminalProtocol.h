#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>
#include <vector>

namespace kzm {

// Control bytes of the terminal line.
namespace Ctl {
inline constexpr char SOH = 0x01;
inline constexpr char ACK = 0x06;
inline constexpr char DLE = 0x10;
inline constexpr char CR = 0x0D;
inline constexpr char Excl = 0x21;  // "!", start mark after DLE on RS-485
inline constexpr char Minus = 0x2D; // "-", end mark after DLE on RS-485
} // namespace Ctl

// One active terminal as the terminal window loaded it from its definition. The port is held
// beside it by the terminal window.
struct TComRecord {
    QString name;               // NAZWA
    bool tq700 = false;         // TQ700 = 1; otherwise a TQ200
    char address = 0x21;        // NUMSCAN with bit 0x20 set
    int installationNumber = 0; // NUMINST
    bool rs485 = false;         // RS485 = 1
    int replyDelayMs = 100;     // the fixed wait between a request and reading its reply
    int replyLimitMs = 50;      // how long a reply may take, byte by byte
    int signalLength = 0;       // ALARM, 0..15
    int signalBase = 32;        // BASE_ALARM, 32 (tenths of a second) or 64 (seconds)
};

// The terminal address of a definition's NUMSCAN (1..31): the number with bit 0x20 set, so the
// address is never a control byte.
char TerminalAddress(int numScan);

// A record filled from the columns of a terminal definition; the signal base is 32 whenever the
// signal length is 0.
TComRecord ComRecordFromDefinition(const QString& name, bool tq700, int numScan, int numInst,
                                   bool rs485, int alarm, int baseAlarm);

// The signal character of the terminal: signal base + signal length.
char SignalChar(const TComRecord& terminal);

// Frame parts by line variant.

// Address prefix: nothing on RS-232, SOH + address on RS-485.
QByteArray pNumScan(const TComRecord& terminal);
// Start mark: SOH on RS-232, DLE "!" on RS-485.
QByteArray pSOH(const TComRecord& terminal);
// End mark: CR on RS-232, DLE "-" on RS-485.
QByteArray pCR(const TComRecord& terminal);

// The check character of a payload (start mark + command bytes): the XOR of every byte but DLE,
// with bit 0x20 set.
char FrameCheck(QByteArrayView payload);

// Address prefix + start mark + command + check character + end mark, and on RS-485 one more CR.
QByteArray BuildFrame(const TComRecord& terminal, QByteArrayView command);

// One command: the bytes that follow the start mark and what the sender waits for afterwards.
struct TerminalCommand {
    QByteArray bytes;
    std::optional<char> confirmation; // the byte awaited with WaitForByte, if any
    int confirmationMs = 0;           // the limit for it
};

// "S" (TQ200) or "s0" (TQ700); answered by a status reply.
TerminalCommand StatusCommand(bool tq700);
// "R" (TQ200) or "r" (TQ700): the oldest stored record; answered by a record reply.
TerminalCommand RecordCommand(bool tq700);
// ACK for the record just read; nothing is read after it.
TerminalCommand AckCommand();
// Clears the terminal's memory: "C" on a TQ700; "C" + MM + DD of today + the installation number
// in its last three digits on a TQ200.
TerminalCommand ClearCommand(bool tq700, QDate today, int installationNumber);
// "I".
TerminalCommand InitCommand();
// "M00": entry registration, private entries.
TerminalCommand WorkingModeCommand();
// "X"; answered by a date reply.
TerminalCommand ReadClockCommand();
// "T" + YY + MM + DD + hh + mm, and the day of the week (1 = Monday) when asked for.
TerminalCommand SetClockCommand(QDate date, QTime time, bool withDayOfWeek);

// One card number of the range command: 9 plain digits when maxDigits is below 10, otherwise
// "A" + 8 bytes, each a pair of the number's 16 digits plus 28. Empty when the number does not
// fit in that width, so a range is never sent with a different card number than asked for.
std::optional<QByteArray> PackCardRange(quint64 number, int maxDigits);
// "l" + from + to + "10"; empty when either number does not fit.
std::optional<TerminalCommand> LoadRangeCommand(quint64 from, quint64 to, int maxDigits);

// "p0" + the text in exactly 16 bytes: cut, or filled with blanks on the right. Control bytes
// become blanks, so the text cannot end the frame early.
TerminalCommand ShowTextCommand(QStringView text);
// "p0~" + 15 blanks + the control character: the signal character, '1', '0' or a blank.
TerminalCommand SignalCommand(char control);
// The text with a sound signal: signal character, '1', the text, '0', blank.
std::vector<TerminalCommand> ShowAlarmCommands(QStringView text, char signalChar);
// The signal control with a blank.
TerminalCommand ClearDisplayCommand();

} // namespace kzm
