#include "terminals/Pty.h"
#include "terminals/SerialPort.h"
#include "terminals/TerminalLink.h"
#include "terminals/TerminalProtocol.h"
#include "terminals/TerminalReply.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace kzm;
using ptytest::Clock;
using ptytest::MsSince;

namespace {

// One exchange of the terminal played on the master: the frame it should receive and what it
// answers (nothing when empty).
struct Exchange {
    Exchange(QByteArray frame, QByteArray reply)
        : expected(std::move(frame)), answer(std::move(reply)) {}

    QByteArray expected;
    QByteArray answer;
    QByteArray received;
};

class Link : public ptytest::PtyPort {
protected:
    // Plays the terminal on its own thread: reads each frame, then answers it.
    std::thread Play(std::vector<Exchange>& script) {
        return std::thread([this, &script] {
            for (Exchange& step : script) {
                step.received = Receive(step.expected.size());
                if (!step.answer.isEmpty())
                    (void)::write(master, step.answer.constData(), size_t(step.answer.size()));
            }
        });
    }

    static void ExpectFramesAsScripted(const std::vector<Exchange>& script) {
        for (size_t i = 0; i < script.size(); ++i)
            EXPECT_EQ(script[i].received.toHex(' ').toStdString(),
                      script[i].expected.toHex(' ').toStdString())
                << "frame " << i;
    }
};

TComRecord Terminal(bool tq700, bool rs485, int numScan = 1) {
    return ComRecordFromDefinition(QStringLiteral("Wydawka"), tq700, numScan, 1234, rs485, 3, 64);
}

// A reply as the terminal sends it: `body` follows the start mark, then a check character and the
// end mark; on RS-485 with the address prefix and DLE marks.
QByteArray Reply(const TComRecord& terminal, const QByteArray& body) {
    if (!terminal.rs485)
        return Ctl::SOH + body + 'x' + Ctl::CR;
    return QByteArray() + Ctl::SOH + terminal.address + Ctl::DLE + Ctl::Excl + body + 'x' +
           Ctl::DLE + Ctl::Minus + Ctl::CR;
}

} // namespace

TEST_F(Link, StatusRequestAnsweredAndParsed) {
    const struct {
        bool tq700;
        bool rs485;
        QByteArray body; // after the start mark
        const char* second;
        const char* storedCount;
        const char* thousands;
    } cases[] = {
        {false, false, "S01261210093000120035", "00", "0012", "003"},
        {false, true, "S01261210093000120035", "00", "0012", "003"},
        {true, true, "s0126121009304500120035", "45", "0012", "003"},
        {true, false, "s0126121009304500120035", "45", "0012", "003"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "tq700=" << c.tq700 << " rs485=" << c.rs485);
        const TComRecord terminal = Terminal(c.tq700, c.rs485, 3);
        SerialPort port(ini, 7, 9600, PortUse::Terminal);
        ASSERT_TRUE(port.OpenPort());

        // What follows the CR is no part of the reply and is purged.
        std::vector<Exchange> script{
            {BuildFrame(terminal, StatusCommand(c.tq700).bytes), Reply(terminal, c.body) + "junk"}};
        std::thread far = Play(script);
        const LinkResult asked = AskStatus(port, terminal);
        const ReplyResult reply = ReceiveReply(port, terminal);
        far.join();

        ExpectFramesAsScripted(script);
        EXPECT_TRUE(asked.ok());
        ASSERT_EQ(reply.kind, ReplyResult::Kind::Ok);
        EXPECT_FALSE(reply.error.has_value());
        EXPECT_EQ(reply.raw, Reply(terminal, c.body));
        EXPECT_EQ(reply.text.left(2), QByteArray(c.rs485 ? "!" : "\x01") + c.body.left(1));
        EXPECT_FALSE(reply.text.contains(Ctl::DLE));

        TRekReceive rek;
        ParseReply(rek, reply.text, ReplyLayout::Status, c.tq700);
        EXPECT_EQ(rek.direction, QStringLiteral("0"));
        EXPECT_EQ(rek.mode, QStringLiteral("1"));
        EXPECT_EQ(rek.year + rek.month + rek.day, QStringLiteral("261210"));
        EXPECT_EQ(rek.hour + rek.minute, QStringLiteral("0930"));
        EXPECT_EQ(rek.second, QString::fromLatin1(c.second));
        EXPECT_EQ(rek.storedCount, QString::fromLatin1(c.storedCount));
        EXPECT_EQ(rek.thousands, QString::fromLatin1(c.thousands));

        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(port.Read(100), QByteArray());
    }
}

TEST_F(Link, RecordRequestAnsweredAndParsed) {
    const QByteArray packed = QByteArray("A") + QByteArray::fromHex("1c1c1c1c1c283e4e");
    const struct {
        bool tq700;
        bool rs485;
        QByteArray card;
        const char* cardNumber;
    } cases[] = {
        {false, false, "000004711", "000004711"},
        {true, true, packed, "0000123450"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "tq700=" << c.tq700 << " rs485=" << c.rs485);
        const TComRecord terminal = Terminal(c.tq700, c.rs485);
        SerialPort port(ini, 7, 9600, PortUse::Terminal);
        ASSERT_TRUE(port.OpenPort());

        const QByteArray body = (c.tq700 ? "r" : "R") + c.card + "1208123105" + "01T";
        std::vector<Exchange> script{
            {BuildFrame(terminal, RecordCommand(c.tq700).bytes), Reply(terminal, body)}};
        std::thread far = Play(script);
        EXPECT_TRUE(AskRecord(port, terminal).ok());
        const ReplyResult reply = ReceiveReply(port, terminal);
        far.join();

        ExpectFramesAsScripted(script);
        ASSERT_EQ(reply.kind, ReplyResult::Kind::Ok);
        TRekReceive rek;
        ParseReply(rek, reply.text, ReplyLayout::Record, c.tq700);
        EXPECT_EQ(rek.cardNumber, QString::fromLatin1(c.cardNumber));
        EXPECT_EQ(rek.month + rek.day, QStringLiteral("1208"));
        EXPECT_EQ(rek.hour + rek.minute + rek.second, QStringLiteral("123105"));
        EXPECT_EQ(rek.direction + rek.mode + rek.recordFlag, QStringLiteral("01T"));
    }
}

TEST_F(Link, MissingOrUnfinishedReplyTimesOutAfterTheLimit) {
    const TComRecord terminal = Terminal(false, false);
    const struct {
        const char* what;
        QByteArray answer;
    } cases[] = {
        {"no answer", {}},
        {"no CR", "\x01S0126"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SerialPort port(ini, 7, 9600, PortUse::Terminal);
        ASSERT_TRUE(port.OpenPort());
        std::vector<Exchange> script{{BuildFrame(terminal, StatusCommand(false).bytes), c.answer}};
        std::thread far = Play(script);
        ASSERT_TRUE(AskStatus(port, terminal).ok());
        int repaints = 0;
        const auto start = Clock::now();
        const ReplyResult reply = ReceiveReply(port, terminal, [&] { ++repaints; });
        const qint64 elapsed = MsSince(start);
        far.join();

        ExpectFramesAsScripted(script);
        EXPECT_EQ(reply.kind, ReplyResult::Kind::Timeout);
        EXPECT_FALSE(reply.error.has_value());
        EXPECT_EQ(reply.raw, c.answer);
        EXPECT_GT(elapsed, 100 + terminal.replyLimitMs);
        // ends at its limit, not later (with room for a loaded machine)
        EXPECT_LT(elapsed, 100 + terminal.replyLimitMs + 400);
        EXPECT_GT(repaints, 0);

        // What came is parsed as far as it goes; an empty status reads as nothing stored.
        TRekReceive rek;
        ParseReply(rek, reply.text, ReplyLayout::Status, false);
        EXPECT_EQ(rek.year, c.answer.isEmpty() ? QString() : QStringLiteral("26"));
        EXPECT_EQ(rek.minute, QString());
        EXPECT_EQ(ReplyInt(rek.storedCount), 0);
    }
}

TEST_F(Link, ShowAlarmSendsFiveCommandsAndAwaitsEachConfirmation) {
    const TComRecord terminal = Terminal(true, true, 2);
    const QString text = QStringLiteral("Smacznego");
    const std::vector<TerminalCommand> commands = ShowAlarmCommands(text, SignalChar(terminal));
    ASSERT_EQ(commands.size(), 5u);
    const QByteArray ack(1, Ctl::ACK);

    const struct {
        const char* what;
        int unanswered; // the command left without its confirmation, or -1
        LinkResult::Kind kind;
    } cases[] = {
        {"all confirmed", -1, LinkResult::Kind::Ok},
        {"signal on not confirmed", 1, LinkResult::Kind::Unconfirmed},
        {"signal off not confirmed", 3, LinkResult::Kind::Unconfirmed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Exchange> script;
        for (size_t i = 0; i < commands.size(); ++i) {
            const bool answered = commands[i].confirmation && int(i) != c.unanswered;
            script.push_back(
                {BuildFrame(terminal, commands[i].bytes), answered ? ack : QByteArray()});
        }
        // Not opened here: ShowAlarm opens the port itself.
        SerialPort port(ini, 7, 9600, PortUse::Terminal);
        std::thread far = Play(script);
        const auto start = Clock::now();
        const LinkResult result = ShowAlarm(port, terminal, text);
        const qint64 elapsed = MsSince(start);
        far.join();

        // Every frame is sent, even after a missing confirmation, so the signal is switched off.
        ExpectFramesAsScripted(script);
        EXPECT_EQ(result.kind, c.kind);
        EXPECT_FALSE(result.error.has_value());
        EXPECT_TRUE(port.connected());
        if (c.unanswered >= 0)
            EXPECT_GT(elapsed, commands[size_t(c.unanswered)].confirmationMs);
        else
            EXPECT_LT(elapsed, 3 * 150); // the answers end the waits early
    }
}

TEST_F(Link, ShowTextAndClearDisplay) {
    const TComRecord terminal = Terminal(false, false);
    SerialPort port(ini, 7, 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort());

    std::vector<Exchange> script{
        {BuildFrame(terminal, "p0Karta nieznana  "), {}},
        {BuildFrame(terminal, ClearDisplayCommand().bytes), QByteArray(1, Ctl::ACK)},
        {BuildFrame(terminal, ClearDisplayCommand().bytes), {}},
    };
    std::thread far = Play(script);
    EXPECT_TRUE(ShowText(port, terminal, u"Karta nieznana").ok());
    EXPECT_EQ(ClearDisplay(port, terminal).kind, LinkResult::Kind::Ok);
    EXPECT_EQ(ClearDisplay(port, terminal).kind, LinkResult::Kind::Unconfirmed);
    far.join();
    ExpectFramesAsScripted(script);
}

TEST(LinkPortFailure, ErrorsOfTheClosedOrMissingPortAreReturned) {
    const TComRecord terminal = Terminal(false, false);
    SerialPort closed(QStringLiteral("COM1"), QStringLiteral("/dev/null"), 9600, PortUse::Terminal);

    for (const LinkResult& sent : {AskStatus(closed, terminal), AskRecord(closed, terminal),
                                   ShowText(closed, terminal, u"x")}) {
        EXPECT_EQ(sent.kind, LinkResult::Kind::PortFailure);
        ASSERT_TRUE(sent.error.has_value());
        EXPECT_EQ(sent.error->code, PortErrorCode::Purge);
        EXPECT_EQ(sent.error->message(), QStringLiteral("5 : Błąd podczas czyszczenia portu"));
    }

    const auto start = Clock::now();
    const ReplyResult reply = ReceiveReply(closed, terminal);
    EXPECT_LT(MsSince(start), 100 + 50);
    EXPECT_EQ(reply.kind, ReplyResult::Kind::PortFailure);
    ASSERT_TRUE(reply.error.has_value());
    EXPECT_EQ(reply.error->code, PortErrorCode::Read);
    EXPECT_TRUE(reply.raw.isEmpty());

    SerialPort missing(QStringLiteral("COM9"), QStringLiteral("/nonexistent/ttyS8"), 9600,
                       PortUse::Terminal);
    for (const LinkResult& shown :
         {ShowAlarm(missing, terminal, u"x"), ClearDisplay(missing, terminal)}) {
        EXPECT_EQ(shown.kind, LinkResult::Kind::PortFailure);
        ASSERT_TRUE(shown.error.has_value());
        EXPECT_EQ(shown.error->code, PortErrorCode::Open);
        EXPECT_TRUE(shown.error->detail.contains(QStringLiteral("COM9")));
    }
}
