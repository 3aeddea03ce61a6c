#include "core/Win1250.h"
#include "terminals/TerminalProtocol.h"
#include "terminals/TerminalReply.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <random>

using namespace kzm;

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

TComRecord Terminal(bool tq700, bool rs485, int numScan = 1) {
    return ComRecordFromDefinition(QStringLiteral("T1"), tq700, numScan, 0, rs485, 3, 64);
}

// Wraps a reply text the way an RS-485 terminal sends it: SOH, address, DLE, "!", text, DLE,
// "-", CR.
QByteArray As485(const QByteArray& text, char address = 0x21) {
    return QByteArray{} + Ctl::SOH + address + Ctl::DLE + '!' + text + Ctl::DLE + '-' + Ctl::CR;
}

TRekReceive Parse(const QByteArray& reply, ReplyLayout layout, bool tq700) {
    TRekReceive rek;
    ParseReply(rek, reply, layout, tq700);
    return rek;
}

} // namespace

TEST(TerminalFrame, KnownFrames) {
    EXPECT_EQ(BuildFrame(Terminal(false, false), StatusCommand(false).bytes), Hex("0153720D"));
    EXPECT_EQ(BuildFrame(Terminal(true, true, 1), StatusCommand(true).bytes),
              Hex("01211021733062102D0D"));
    EXPECT_EQ(BuildFrame(Terminal(false, true, 3), AckCommand().bytes), Hex("012310210627102D0D"));
}

TEST(TerminalFrame, CheckCharacterIsTheSameOnBothLines) {
    const QDate day(2026, 12, 8);
    const std::vector<TerminalCommand> commands = {StatusCommand(false),
                                                   StatusCommand(true),
                                                   RecordCommand(false),
                                                   RecordCommand(true),
                                                   AckCommand(),
                                                   ClearCommand(false, day, 7),
                                                   ClearCommand(true, day, 7),
                                                   InitCommand(),
                                                   WorkingModeCommand(),
                                                   ReadClockCommand(),
                                                   SetClockCommand(day, QTime(12, 31), true),
                                                   *LoadRangeCommand(1, 1000, 10),
                                                   ShowTextCommand(u"WYDANIE"),
                                                   SignalCommand('C'),
                                                   ClearDisplayCommand()};
    for (const TerminalCommand& command : commands) {
        const QByteArray rs232 = BuildFrame(Terminal(false, false), command.bytes);
        const QByteArray rs485 = BuildFrame(Terminal(false, true, 5), command.bytes);
        SCOPED_TRACE(command.bytes.toHex(' ').toStdString());
        ASSERT_EQ(rs232.size(), command.bytes.size() + 3);
        ASSERT_EQ(rs485.size(), command.bytes.size() + 8);
        EXPECT_EQ(rs232.at(rs232.size() - 2), rs485.at(rs485.size() - 4));
        EXPECT_EQ(rs485.left(4), Hex("01251021"));
        EXPECT_EQ(rs485.right(3), Hex("102D0D"));
        EXPECT_EQ(rs232.mid(1, command.bytes.size()), command.bytes);
        EXPECT_EQ(rs485.mid(4, command.bytes.size()), command.bytes);
    }
}

TEST(TerminalFrame, CheckCharacterIsNeverAControlByte) {
    std::mt19937 random(4711);
    for (int n = 0; n < 2000; ++n) {
        QByteArray payload(1 + static_cast<int>(random() % 30), '\0');
        for (char& byte : payload)
            byte = static_cast<char>(random() % 256);
        const auto check = static_cast<unsigned char>(FrameCheck(payload));
        ASSERT_GE(check, 0x20);
        QByteArray withDle = payload;
        withDle.insert(static_cast<int>(random() % payload.size()), Ctl::DLE);
        ASSERT_EQ(FrameCheck(withDle), FrameCheck(payload));
    }
}

TEST(TerminalFrame, AddressAndSignalFromTheDefinition) {
    EXPECT_EQ(TerminalAddress(1), 0x21);
    EXPECT_EQ(TerminalAddress(31), 0x3F);
    EXPECT_EQ(TerminalAddress(13), 0x2D);

    TComRecord seconds = ComRecordFromDefinition(u"K"_qs, false, 2, 5, false, 3, 64);
    EXPECT_EQ(SignalChar(seconds), 'C');
    EXPECT_EQ(seconds.replyLimitMs, 50);
    TComRecord silent = ComRecordFromDefinition(u"K"_qs, false, 2, 5, false, 0, 64);
    EXPECT_EQ(silent.signalBase, 32);
    TComRecord tenths = ComRecordFromDefinition(u"K"_qs, false, 2, 5, false, 5, 32);
    EXPECT_EQ(SignalChar(tenths), '%');
}

TEST(TerminalCommands, BytesAndConfirmations) {
    const QDate day(2026, 12, 8); // a Tuesday
    struct Case {
        TerminalCommand command;
        QByteArray bytes;
        std::optional<char> confirmation;
        int ms;
    };
    const std::vector<Case> cases = {
        {StatusCommand(false), "S", {}, 0},
        {StatusCommand(true), "s0", {}, 0},
        {RecordCommand(false), "R", {}, 0},
        {RecordCommand(true), "r", {}, 0},
        {AckCommand(), "\x06", {}, 0},
        {ClearCommand(false, day, 7), "C1208007", Ctl::CR, 1000},
        {ClearCommand(false, QDate(2026, 3, 1), 1234), "C0301234", Ctl::CR, 1000},
        {ClearCommand(true, day, 7), "C", Ctl::CR, 1000},
        {InitCommand(), "I", Ctl::CR, 1000},
        {WorkingModeCommand(), "M00", Ctl::CR, 1000},
        {ReadClockCommand(), "X", {}, 0},
        {SetClockCommand(day, QTime(9, 5, 59), false), "T2612080905", Ctl::CR, 100},
        {SetClockCommand(day, QTime(9, 5, 59), true), "T26120809052", Ctl::CR, 100},
        {SetClockCommand(QDate(2000, 1, 2), QTime(0, 0), true), "T00010200007", Ctl::CR, 100},
        {SignalCommand('C'), "p0~               C", Ctl::ACK, 150},
        {ClearDisplayCommand(), "p0~                ", Ctl::ACK, 150},
        {ShowTextCommand(u"WYDANIE"), "p0WYDANIE         ", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        EXPECT_EQ(c.command.bytes, c.bytes);
        EXPECT_EQ(c.command.confirmation, c.confirmation);
        EXPECT_EQ(c.command.confirmationMs, c.ms);
    }
}

TEST(TerminalCommands, DisplayTextIsAlwaysSixteenBytes) {
    EXPECT_EQ(ShowTextCommand(u"").bytes, "p0" + QByteArray(16, ' '));
    EXPECT_EQ(ShowTextCommand(u"ZA WCZESNIE NA OBIAD").bytes, "p0ZA WCZESNIE NA O");
    EXPECT_EQ(ShowTextCommand(u"1234567890123456").bytes, "p01234567890123456");
    // Polish letters go out as single Windows-1250 bytes.
    EXPECT_EQ(ShowTextCommand(u"Żółć").bytes, "p0\xAF\xF3\xB3\xE6            ");
    // A CR or DLE in the text would end or corrupt the frame.
    EXPECT_EQ(ShowTextCommand(u"A\rB\x10"
                              "C")
                  .bytes,
              "p0A B C           ");
    // A character outside the basic plane still takes one display position.
    EXPECT_EQ(ShowTextCommand(QString::fromUtf8("\xF0\x9F\x98\x80"
                                                "abcdefghijklmnopq"))
                  .bytes,
              "p0?abcdefghijklmno");
}

TEST(TerminalCommands, ShowAlarmSequence) {
    const std::vector<TerminalCommand> commands = ShowAlarmCommands(u"WYDANIE", 'C');
    ASSERT_EQ(commands.size(), 5u);
    EXPECT_EQ(commands[0].bytes, SignalCommand('C').bytes);
    EXPECT_EQ(commands[1].bytes, SignalCommand('1').bytes);
    EXPECT_EQ(commands[2].bytes, ShowTextCommand(u"WYDANIE").bytes);
    EXPECT_EQ(commands[3].bytes, SignalCommand('0').bytes);
    EXPECT_EQ(commands[4].bytes, SignalCommand(' ').bytes);
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(commands[i].confirmation, Ctl::ACK);
        EXPECT_EQ(commands[i].confirmationMs, 150);
    }
    EXPECT_FALSE(commands[2].confirmation);
    EXPECT_FALSE(commands[4].confirmation);
}

TEST(CardRange, PlainAndPacked) {
    EXPECT_EQ(PackCardRange(1000, 10), Hex("411C1C1C1C1C1C261C"));
    EXPECT_EQ(PackCardRange(1000, 9), QByteArray("000001000"));
    EXPECT_EQ(PackCardRange(1, 6), QByteArray("000000001"));
    EXPECT_EQ(PackCardRange(999999999, 9), QByteArray("999999999"));
    EXPECT_EQ(PackCardRange(9999999999999999ULL, 16), "A" + QByteArray(8, '\x7F'));
    EXPECT_EQ(PackCardRange(123450, 12), Hex("411C1C1C1C1C283E4E"));
    // A number wider than the field is refused rather than cut to another card number.
    EXPECT_FALSE(PackCardRange(1000000000, 9));
    EXPECT_FALSE(PackCardRange(10000000000000000ULL, 10));

    EXPECT_EQ(LoadRangeCommand(1, 1000, 6)->bytes, "l000000001000001000"
                                                   "10");
    EXPECT_EQ(LoadRangeCommand(1, 1000, 10)->bytes,
              "l" + Hex("411C1C1C1C1C1C1C1D") + Hex("411C1C1C1C1C1C261C") + "10");
    EXPECT_FALSE(LoadRangeCommand(1, 1000000000, 9));
}

TEST(CardNumber, Decode) {
    EXPECT_EQ(DecodeCard(Hex("411C1C1C1C1C283E4E")), u"0000123450"_qs);
    EXPECT_EQ(DecodeCard("123456789"), u"123456789"_qs);
    // Non-zero leading pairs fall outside the last 10 digits.
    EXPECT_EQ(DecodeCard("A" + Hex("7F7F7F1C1C283E4E")), u"0000123450"_qs);
    // A packed byte that is no pair of digits, or a packed field cut short, gives no number.
    EXPECT_EQ(DecodeCard("A" + Hex("1C1C1C1C1C283E80")), QString());
    EXPECT_EQ(DecodeCard("A" + Hex("1B1C1C1C1C283E4E")), QString());
    EXPECT_EQ(DecodeCard("A" + Hex("1C1C1C1C1C28")), QString());
    EXPECT_EQ(DecodeCard(""), QString());
    for (quint64 number : {0ULL, 1ULL, 123450ULL, 9876543210ULL, 1234567890123456ULL}) {
        const QString digits = QString::number(number).rightJustified(16, u'0');
        EXPECT_EQ(DecodeCard(*PackCardRange(number, 16)), digits.right(10));
    }
}

TEST(TerminalReply, Rs485Stripping) {
    EXPECT_EQ(StripRs485Reply(As485("0A26")), QByteArray("!0A26-\r"));
    EXPECT_EQ(StripRs485Reply(Hex("0121")), QByteArray());
    EXPECT_EQ(StripRs485Reply(Hex("01211021101010")), QByteArray("!"));
    EXPECT_EQ(ReplyText("\x01S01\r", false), QByteArray("\x01S01\r"));
}

TEST(TerminalReply, StatusLayoutsOfBothModels) {
    const QByteArray reply = "\x01S012612081231123456789\r"; // 21 characters before the CR
    const TRekReceive tq200 = Parse(reply.left(22), ReplyLayout::Status, false);
    EXPECT_EQ(tq200.direction, u"0"_qs);
    EXPECT_EQ(tq200.mode, u"1"_qs);
    EXPECT_EQ(tq200.year, u"26"_qs);
    EXPECT_EQ(tq200.month, u"12"_qs);
    EXPECT_EQ(tq200.day, u"08"_qs);
    EXPECT_EQ(tq200.hour, u"12"_qs);
    EXPECT_EQ(tq200.minute, u"31"_qs);
    EXPECT_EQ(tq200.second, u"00"_qs);
    EXPECT_EQ(tq200.storedCount, u"1234"_qs);
    EXPECT_EQ(tq200.thousands, u"567"_qs);

    const TRekReceive tq700 = Parse(reply.left(22), ReplyLayout::Status, true);
    EXPECT_EQ(tq700.minute, u"31"_qs);
    EXPECT_EQ(tq700.second, u"12"_qs);
    EXPECT_EQ(tq700.storedCount, u"3456"_qs);
    EXPECT_EQ(tq700.thousands, QString()); // 21-23 runs past the reply

    const TRekReceive stripped =
        Parse(StripRs485Reply(As485("s012612081231450012005x")), ReplyLayout::Status, true);
    EXPECT_EQ(stripped.direction, u"0"_qs);
    EXPECT_EQ(stripped.second, u"45"_qs);
    EXPECT_EQ(stripped.storedCount, u"0012"_qs);
    EXPECT_EQ(stripped.thousands, u"005"_qs);
    EXPECT_EQ(ReplyInt(stripped.storedCount), 12);
}

TEST(TerminalReply, RecordAndDateLayouts) {
    const QByteArray packed = "\x01R" + Hex("411C1C1C1C1C283E4E") + "120812310510 Q\r";
    const TRekReceive record = Parse(packed, ReplyLayout::Record, false);
    EXPECT_EQ(record.cardNumber, u"0000123450"_qs);
    EXPECT_EQ(record.month, u"12"_qs);
    EXPECT_EQ(record.day, u"08"_qs);
    EXPECT_EQ(record.hour, u"12"_qs);
    EXPECT_EQ(record.minute, u"31"_qs);
    EXPECT_EQ(record.second, u"05"_qs);
    EXPECT_EQ(record.direction, u"1"_qs);
    EXPECT_EQ(record.mode, u"0"_qs);
    EXPECT_EQ(record.recordFlag, u" "_qs);
    EXPECT_EQ(record.year, QString());

    const QByteArray plain = StripRs485Reply(As485("r000004711120812310501T"));
    const TRekReceive plainRecord = Parse(plain, ReplyLayout::Record, true);
    EXPECT_EQ(plainRecord.cardNumber, u"000004711"_qs);
    EXPECT_EQ(plainRecord.recordFlag, u"T"_qs);

    const TRekReceive date = Parse("\x01X261208212315\r", ReplyLayout::Date, false);
    EXPECT_EQ(date.year, u"26"_qs);
    EXPECT_EQ(date.month, u"12"_qs);
    EXPECT_EQ(date.day, u"08"_qs);
    EXPECT_EQ(date.dayOfWeek, u"2"_qs);
    EXPECT_EQ(date.hour, u"12"_qs);
    EXPECT_EQ(date.minute, u"31"_qs);
    EXPECT_EQ(date.second, u"00"_qs);
}

TEST(TerminalReply, ParsingEmptiesReplyFieldsOnly) {
    TRekReceive rek;
    ParseReply(rek, "\x01R000004711120812310501T\r", ReplyLayout::Record, false);
    rek.person = 17;
    rek.yearMonth = u"202612"_qs;
    ParseReply(rek, "", ReplyLayout::Status, false);
    EXPECT_EQ(rek.cardNumber, QString());
    EXPECT_EQ(rek.month, QString());
    EXPECT_EQ(rek.recordFlag, QString());
    EXPECT_EQ(ReplyInt(rek.storedCount), 0);
    EXPECT_EQ(rek.person, 17);
    EXPECT_EQ(rek.yearMonth, u"202612"_qs);
}

TEST(TerminalReply, ShortReplyFillsOnlyWholeFields) {
    // Cut inside the minute and inside the card field.
    const TRekReceive status = Parse("\x01S01261208123", ReplyLayout::Status, true);
    EXPECT_EQ(status.hour, u"12"_qs);
    EXPECT_EQ(status.minute, QString());
    EXPECT_EQ(status.second, QString());
    const TRekReceive record = Parse("\x01R00000471", ReplyLayout::Record, false);
    EXPECT_EQ(record.cardNumber, QString());
    const TRekReceive packed = Parse("\x01R" + Hex("411C1C1C1C1C283E"), ReplyLayout::Record, false);
    EXPECT_EQ(packed.cardNumber, QString());
}

TEST(TerminalReply, ReplyIntNeverThrows) {
    EXPECT_EQ(ReplyInt(u"0012"_qs), 12);
    EXPECT_EQ(ReplyInt(u""_qs), 0);
    EXPECT_EQ(ReplyInt(u"ab"_qs), 0);
    EXPECT_EQ(ReplyInt(u"5-"_qs), 0);
    EXPECT_EQ(ReplyInt(u"-"_qs), 0);
    EXPECT_EQ(ReplyInt(u"99999999999"_qs), 0);
}

// Random bytes and replies cut or corrupted anywhere: the parser neither crashes nor produces a
// field that was not in the reply, and a card number only from a whole, valid card field.
TEST(TerminalReply, RandomAndDamagedReplies) {
    std::mt19937 random(20261208);
    const std::vector<QByteArray> valid = {
        "\x01R" + Hex("411C1C1C1C1C283E4E") + "120812310510 Q\r",
        "\x01R000004711120812310501T\r",
        "\x01S012612081231123456789\r",
        StripRs485Reply(As485("s012612081231450012005x")),
        "\x01X261208212315\r",
    };
    const ReplyLayout layouts[] = {ReplyLayout::Status, ReplyLayout::Record, ReplyLayout::Date};
    for (int n = 0; n < 5000; ++n) {
        QByteArray raw = valid[random() % valid.size()];
        switch (random() % 3) {
        case 0: // cut short
            raw.truncate(static_cast<int>(random() % (raw.size() + 1)));
            break;
        case 1: // bytes overwritten
            for (int k = 1 + static_cast<int>(random() % 4); k > 0; --k)
                raw[static_cast<int>(random() % raw.size())] = static_cast<char>(random() % 256);
            break;
        default: // noise
            raw = QByteArray(static_cast<int>(random() % 40), '\0');
            for (char& byte : raw)
                byte = static_cast<char>(random() % 256);
        }
        const bool rs485 = random() % 2 == 0;
        const QByteArray text = rs485 ? StripRs485Reply(raw) : ReplyText(raw, false);
        const ReplyLayout layout = layouts[random() % 3];
        const TRekReceive rek = Parse(text, layout, random() % 2 == 0);

        const QByteArray body =
            text.left(text.indexOf('\r') < 0 ? text.size() : text.indexOf('\r'));
        if (!rek.cardNumber.isEmpty()) {
            ASSERT_EQ(layout, ReplyLayout::Record);
            ASSERT_GE(body.size(), 11);
            const QByteArray field = body.mid(2, 9);
            ASSERT_EQ(rek.cardNumber, DecodeCard(field));
            if (field[0] == 'A') {
                ASSERT_EQ(rek.cardNumber.size(), 10);
                for (char byte : field.mid(1))
                    ASSERT_TRUE(byte >= 28 && byte <= 127);
            } else {
                ASSERT_EQ(rek.cardNumber, FromWin1250(field));
            }
        }
        for (const QString* field : {&rek.month, &rek.day, &rek.hour, &rek.minute})
            ASSERT_TRUE(field->isEmpty() || field->size() == 2);
        ASSERT_FALSE(rek.storedCount.contains(u'\r'));
        (void)ReplyInt(rek.storedCount);
        (void)ReplyInt(rek.dayOfWeek);
    }
}
