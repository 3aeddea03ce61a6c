#include "terminals/TerminalProtocol.h"

#include "core/Text.h"
#include "core/Win1250.h"

namespace kzm {

namespace {

QByteArray Ascii(const QString& text) {
    return text.toLatin1();
}

QByteArray Two(int value) {
    return Ascii(PadLeftInt(value, 2, QLatin1Char('0')));
}

TerminalCommand Command(QByteArray bytes) {
    return TerminalCommand{std::move(bytes), {}, 0};
}

TerminalCommand Confirmed(QByteArray bytes, char confirmation, int ms) {
    return TerminalCommand{std::move(bytes), confirmation, ms};
}

constexpr int signalConfirmationMs = 150;

} // namespace

char TerminalAddress(int numScan) {
    return static_cast<char>(static_cast<unsigned char>(numScan) | 0x20);
}

TComRecord ComRecordFromDefinition(const QString& name, bool tq700, int numScan, int numInst,
                                   bool rs485, int alarm, int baseAlarm) {
    TComRecord terminal;
    terminal.name = name;
    terminal.tq700 = tq700;
    terminal.address = TerminalAddress(numScan);
    terminal.installationNumber = numInst;
    terminal.rs485 = rs485;
    terminal.signalLength = alarm;
    terminal.signalBase = alarm == 0 ? 32 : baseAlarm;
    return terminal;
}

char SignalChar(const TComRecord& terminal) {
    return static_cast<char>(terminal.signalBase + terminal.signalLength);
}

QByteArray pNumScan(const TComRecord& terminal) {
    if (!terminal.rs485)
        return {};
    return QByteArray{} + Ctl::SOH + terminal.address;
}

QByteArray pSOH(const TComRecord& terminal) {
    if (!terminal.rs485)
        return QByteArray(1, Ctl::SOH);
    return QByteArray{} + Ctl::DLE + Ctl::Excl;
}

QByteArray pCR(const TComRecord& terminal) {
    if (!terminal.rs485)
        return QByteArray(1, Ctl::CR);
    return QByteArray{} + Ctl::DLE + Ctl::Minus;
}

char FrameCheck(QByteArrayView payload) {
    unsigned char check = 0;
    for (char byte : payload) {
        if (byte != Ctl::DLE)
            check ^= static_cast<unsigned char>(byte);
    }
    return static_cast<char>(check | 0x20);
}

QByteArray BuildFrame(const TComRecord& terminal, QByteArrayView command) {
    QByteArray payload = pSOH(terminal);
    payload.append(command);
    QByteArray frame = pNumScan(terminal);
    frame.append(payload);
    frame.append(FrameCheck(payload));
    frame.append(pCR(terminal));
    if (terminal.rs485)
        frame.append(Ctl::CR);
    return frame;
}

TerminalCommand StatusCommand(bool tq700) {
    return Command(tq700 ? "s0" : "S");
}

TerminalCommand RecordCommand(bool tq700) {
    return Command(tq700 ? "r" : "R");
}

TerminalCommand AckCommand() {
    return Command(QByteArray(1, Ctl::ACK));
}

TerminalCommand ClearCommand(bool tq700, QDate today, int installationNumber) {
    QByteArray bytes("C");
    if (!tq700) {
        bytes += Two(today.month());
        bytes += Two(today.day());
        bytes += Ascii(PadLeftInt(installationNumber, 3, QLatin1Char('0')));
    }
    return Confirmed(bytes, Ctl::CR, 1000);
}

TerminalCommand InitCommand() {
    return Confirmed("I", Ctl::CR, 1000);
}

TerminalCommand WorkingModeCommand() {
    return Confirmed("M00", Ctl::CR, 1000);
}

TerminalCommand ReadClockCommand() {
    return Command("X");
}

TerminalCommand SetClockCommand(QDate date, QTime time, bool withDayOfWeek) {
    QByteArray bytes("T");
    bytes += Two(date.year() % 100);
    bytes += Two(date.month());
    bytes += Two(date.day());
    bytes += Two(time.hour());
    bytes += Two(time.minute());
    if (withDayOfWeek)
        bytes += QByteArray::number(date.dayOfWeek());
    return Confirmed(bytes, Ctl::CR, 100);
}

std::optional<QByteArray> PackCardRange(quint64 number, int maxDigits) {
    const int width = maxDigits < 10 ? 9 : 16;
    const QByteArray digits = QByteArray::number(number);
    if (digits.size() > width)
        return std::nullopt;
    const QByteArray padded = QByteArray(width - digits.size(), '0') + digits;
    if (width == 9)
        return padded;
    QByteArray packed("A");
    for (int i = 0; i < width; i += 2) {
        const int pair = (padded[i] - '0') * 10 + (padded[i + 1] - '0');
        packed.append(static_cast<char>(pair + 28));
    }
    return packed;
}

std::optional<TerminalCommand> LoadRangeCommand(quint64 from, quint64 to, int maxDigits) {
    const auto packedFrom = PackCardRange(from, maxDigits);
    const auto packedTo = PackCardRange(to, maxDigits);
    if (!packedFrom || !packedTo)
        return std::nullopt;
    return Command("l" + *packedFrom + *packedTo + "10");
}

TerminalCommand ShowTextCommand(QStringView text) {
    constexpr int displayWidth = 16;
    QByteArray shown = ToWin1250(text).left(displayWidth);
    for (char& byte : shown) {
        if (static_cast<unsigned char>(byte) < 0x20)
            byte = ' ';
    }
    shown.append(QByteArray(displayWidth - shown.size(), ' '));
    return Command("p0" + shown);
}

TerminalCommand SignalCommand(char control) {
    return Confirmed("p0~" + QByteArray(15, ' ') + control, Ctl::ACK, signalConfirmationMs);
}

std::vector<TerminalCommand> ShowAlarmCommands(QStringView text, char signalChar) {
    TerminalCommand blank = SignalCommand(' ');
    blank.confirmation.reset();
    blank.confirmationMs = 0;
    return {SignalCommand(signalChar), SignalCommand('1'), ShowTextCommand(text),
            SignalCommand('0'), blank};
}

TerminalCommand ClearDisplayCommand() {
    return SignalCommand(' ');
}

} // namespace kzm
