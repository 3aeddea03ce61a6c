// The protocol operations against the terminal simulator on a pseudo-terminal: what the program
// sends, what the simulated terminal makes of it and what the program reads back.

#include "terminals/SerialPort.h"
#include "terminals/TerminalLink.h"
#include "terminals/TerminalProtocol.h"
#include "terminals/TerminalReply.h"
#include "tqsim/SimLine.h"

#include <QTime>

#include <gtest/gtest.h>

#include <memory>

using namespace kzm;
using tqsim::Model;
using tqsim::Reading;
using tqsim::SimLine;

namespace {

struct Variant {
    bool tq700;
    bool rs485;
};

std::string Name(const Variant& v) {
    return std::string(v.tq700 ? "TQ700" : "TQ200") + (v.rs485 ? " RS-485" : " RS-232");
}

Reading At(const char* card, const char* time) {
    Reading reading;
    reading.card = QString::fromLatin1(card);
    reading.time = QDateTime::fromString(QString::fromLatin1(time), Qt::ISODate);
    return reading;
}

// One simulated line and the program's port on it.
class Simulated {
public:
    explicit Simulated(bool rs485) : line(rs485) {}
    // A line with one terminal of the variant.
    Simulated(const Variant& v, int numScan)
        : line(v.rs485), t(line.addTerminal(v.tq700 ? Model::TQ700 : Model::TQ200, numScan)) {}

    void Start() {
        QString error;
        ASSERT_TRUE(line.start({}, &error)) << error.toStdString();
        port = std::make_unique<SerialPort>(QStringLiteral("COM1"), line.portPath(), 9600,
                                            PortUse::Terminal);
        ASSERT_TRUE(port->OpenPort());
    }

    // A request and its reply, parsed by the layout.
    TRekReceive Ask(const TComRecord& terminal, const TerminalCommand& command, ReplyLayout layout,
                    ReplyResult* replyOut = nullptr) {
        EXPECT_TRUE(SendFrame(*port, terminal, command.bytes).ok());
        const ReplyResult reply = ReceiveReply(*port, terminal);
        TRekReceive rek;
        ParseReply(rek, reply.text, layout, terminal.tq700);
        if (replyOut)
            *replyOut = reply;
        return rek;
    }

    int StoredCount(const TComRecord& terminal) {
        return ReplyInt(
            Ask(terminal, StatusCommand(terminal.tq700), ReplyLayout::Status).storedCount);
    }

    // Waits until the simulator has taken `count` frames off the line.
    bool FramesSeen(size_t count) {
        return SimLine::WaitUntil([&] { return line.frames().size() >= count; }, 1000);
    }

    SimLine line;
    int t = 0;
    std::unique_ptr<SerialPort> port;
};

TComRecord Terminal(const Variant& v, int numScan = 1, int numInst = 41234) {
    return ComRecordFromDefinition(QStringLiteral("Wydawka"), v.tq700, numScan, numInst, v.rs485, 3,
                                   64);
}

tqsim::Faults Fault(void (*set)(tqsim::Faults&)) {
    tqsim::Faults faults;
    set(faults);
    return faults;
}

const Variant allVariants[] = {{false, false}, {false, true}, {true, false}, {true, true}};

} // namespace

TEST(Simulated, ReadingsAreOfferedUntilAcknowledged) {
    for (const Variant& v : allVariants) {
        SCOPED_TRACE(Name(v));
        Simulated sim(v, 1);
        const int t = sim.t;
        sim.line.addReading(t, At("000004711", "2026-12-08T12:31:05"));
        sim.line.addReading(t, At("0000123450", "2026-12-08T07:05:59"));
        sim.Start();
        const TComRecord terminal = Terminal(v);

        const TRekReceive status = sim.Ask(terminal, StatusCommand(v.tq700), ReplyLayout::Status);
        EXPECT_EQ(ReplyInt(status.storedCount), 2);
        EXPECT_EQ(status.thousands, QStringLiteral("000"));
        EXPECT_EQ(status.year.size(), 2);
        EXPECT_EQ(status.second.size(), 2);

        // The oldest comes again until it is acknowledged.
        for (int i = 0; i < 2; ++i) {
            const TRekReceive rek = sim.Ask(terminal, RecordCommand(v.tq700), ReplyLayout::Record);
            EXPECT_EQ(rek.cardNumber, QStringLiteral("000004711"));
            EXPECT_EQ(rek.month + rek.day, QStringLiteral("1208"));
            EXPECT_EQ(rek.hour + rek.minute + rek.second, QStringLiteral("123105"));
            EXPECT_EQ(rek.direction + rek.mode + rek.recordFlag, QStringLiteral("010"));
        }
        ASSERT_TRUE(SendFrame(*sim.port, terminal, AckCommand().bytes).ok());
        EXPECT_EQ(sim.StoredCount(terminal), 1);

        // Ten digits go out packed and come back as the same ten digits.
        TRekReceive rek = sim.Ask(terminal, RecordCommand(v.tq700), ReplyLayout::Record);
        EXPECT_EQ(rek.cardNumber, QStringLiteral("0000123450"));
        EXPECT_EQ(rek.hour + rek.minute + rek.second, QStringLiteral("070559"));
        ASSERT_TRUE(SendFrame(*sim.port, terminal, AckCommand().bytes).ok());
        EXPECT_EQ(sim.StoredCount(terminal), 0);

        // An empty memory answers with a record that has no card number; an ACK then removes
        // nothing.
        rek = sim.Ask(terminal, RecordCommand(v.tq700), ReplyLayout::Record);
        EXPECT_EQ(rek.cardNumber, QString());
        ASSERT_TRUE(SendFrame(*sim.port, terminal, AckCommand().bytes).ok());
        ASSERT_TRUE(sim.FramesSeen(9));
        EXPECT_EQ(sim.line.state(t).acknowledged, 2);

        for (const tqsim::LineFrame& frame : sim.line.frames())
            EXPECT_TRUE(frame.checkOk) << frame.raw.toHex(' ').toStdString();
    }
}

TEST(Simulated, ServiceCommandsAreConfirmed) {
    for (const Variant& v : allVariants) {
        SCOPED_TRACE(Name(v));
        Simulated sim(v, 1);
        const int t = sim.t;
        sim.line.addReading(t, At("000004711", "2026-12-08T12:31:05"));
        sim.Start();
        const TComRecord terminal = Terminal(v);
        SerialPort& port = *sim.port;

        EXPECT_EQ(SendCommand(port, terminal, WorkingModeCommand()).kind, LinkResult::Kind::Ok);
        TRekReceive rek = sim.Ask(terminal, StatusCommand(v.tq700), ReplyLayout::Status);
        EXPECT_EQ(rek.direction + rek.mode, QStringLiteral("00"));

        EXPECT_EQ(SendCommand(port, terminal, InitCommand()).kind, LinkResult::Kind::Ok);
        EXPECT_EQ(
            SendCommand(port, terminal, ClearCommand(v.tq700, QDate(2026, 12, 10), 41234)).kind,
            LinkResult::Kind::Ok);
        EXPECT_EQ(sim.StoredCount(terminal), 0);
        EXPECT_EQ(sim.line.state(t).lastClear, v.tq700 ? QByteArray() : QByteArray("1210234"));
        EXPECT_EQ(sim.line.state(t).initialisations, 1);

        // The clock is set to the minute and read back; seconds are not sent. The terminal's
        // seconds run on from the host's, so a set and a read that straddle a minute of the host
        // read the next minute: they are repeated until both fall within one.
        const QDate date(2027, 1, 2);
        for (int attempt = 0; attempt < 3; ++attempt) {
            const int minute = QTime::currentTime().minute();
            EXPECT_EQ(SendCommand(port, terminal, SetClockCommand(date, QTime(23, 59), true)).kind,
                      LinkResult::Kind::Ok);
            rek = sim.Ask(terminal, ReadClockCommand(), ReplyLayout::Date);
            if (QTime::currentTime().minute() == minute)
                break;
        }
        EXPECT_EQ(rek.year + rek.month + rek.day, QStringLiteral("270102"));
        EXPECT_EQ(rek.dayOfWeek, QStringLiteral("6"));
        EXPECT_EQ(rek.hour, QStringLiteral("23"));
        EXPECT_EQ(rek.second, QStringLiteral("00"));
        EXPECT_EQ(sim.line.state(t).lastClock, QByteArray("27010223596"));

        // The range, plain with 9 digits and packed with more.
        for (int maxDigits : {9, 10}) {
            const auto range = LoadRangeCommand(1000, 999999999, maxDigits);
            ASSERT_TRUE(range.has_value());
            ASSERT_TRUE(SendFrame(port, terminal, range->bytes).ok());
            ASSERT_TRUE(
                SimLine::WaitUntil([&] { return !sim.line.state(t).rangeTail.isEmpty(); }, 1000));
            const tqsim::TerminalState state = sim.line.state(t);
            EXPECT_EQ(DecodeCard(state.rangeFrom),
                      maxDigits == 9 ? QStringLiteral("000001000") : QStringLiteral("0000001000"));
            EXPECT_EQ(DecodeCard(state.rangeTo),
                      maxDigits == 9 ? QStringLiteral("999999999") : QStringLiteral("0999999999"));
            EXPECT_EQ(state.rangeTail, QByteArray("10"));
            sim.line.update(t, [](tqsim::TerminalState& s) { s.rangeTail.clear(); });
        }
    }
}

TEST(Simulated, DisplayTextsAndSignal) {
    for (const Variant& v : allVariants) {
        SCOPED_TRACE(Name(v));
        Simulated sim(v, 5);
        const int t = sim.t;
        sim.Start();
        const TComRecord terminal = Terminal(v, 5);

        EXPECT_TRUE(ShowText(*sim.port, terminal, u"WYDANIE").ok());
        EXPECT_EQ(ShowAlarm(*sim.port, terminal, u"KARTA NIEZNANA REPETA").kind,
                  LinkResult::Kind::Ok);
        ASSERT_TRUE(sim.FramesSeen(6));
        tqsim::TerminalState state = sim.line.state(t);
        EXPECT_EQ(state.texts, QStringList({QStringLiteral("WYDANIE         "),
                                            QStringLiteral("KARTA NIEZNANA R")}));
        // signal length 3 in seconds: "C", then on, off and blank
        EXPECT_EQ(state.signalControls, QByteArray("C10 "));

        EXPECT_EQ(ClearDisplay(*sim.port, terminal).kind, LinkResult::Kind::Ok);
        state = sim.line.state(t);
        EXPECT_EQ(state.display, QString(16, QLatin1Char(' ')));
        EXPECT_EQ(state.signalControls, QByteArray("C10  "));
    }
}

TEST(Simulated, TwoTerminalsOnOneRs485LineAnswerOnlyTheirOwnAddress) {
    Simulated sim(true);
    const int first = sim.line.addTerminal(Model::TQ700, 1);
    const int second = sim.line.addTerminal(Model::TQ200, 31);
    sim.line.addReading(first, At("000000001", "2026-12-08T08:00:00"));
    for (const char* card : {"000000031", "000000032", "000000033"})
        sim.line.addReading(second, At(card, "2026-12-08T08:00:00"));
    sim.Start();
    const TComRecord one = Terminal({true, true}, 1);
    const TComRecord thirtyOne = Terminal({false, true}, 31);

    EXPECT_EQ(sim.StoredCount(one), 1);
    EXPECT_EQ(sim.StoredCount(thirtyOne), 3);
    EXPECT_EQ(sim.Ask(thirtyOne, RecordCommand(false), ReplyLayout::Record).cardNumber,
              QStringLiteral("000000031"));
    EXPECT_EQ(sim.Ask(one, RecordCommand(true), ReplyLayout::Record).cardNumber,
              QStringLiteral("000000001"));

    // The acknowledgement goes to the second terminal only; the first still offers its reading.
    ASSERT_TRUE(SendFrame(*sim.port, thirtyOne, AckCommand().bytes).ok());
    EXPECT_TRUE(ShowText(*sim.port, one, u"Pierwszy").ok());
    EXPECT_EQ(sim.StoredCount(thirtyOne), 2);
    EXPECT_EQ(sim.StoredCount(one), 1);
    EXPECT_EQ(sim.line.state(first).texts, QStringList{QStringLiteral("Pierwszy        ")});
    EXPECT_TRUE(sim.line.state(second).texts.isEmpty());

    // An address nobody has: no answer at all.
    ReplyResult reply;
    const TRekReceive none =
        sim.Ask(Terminal({true, true}, 2), StatusCommand(true), ReplyLayout::Status, &reply);
    EXPECT_EQ(reply.kind, ReplyResult::Kind::Timeout);
    EXPECT_TRUE(reply.raw.isEmpty());
    EXPECT_EQ(ReplyInt(none.storedCount), 0);
    EXPECT_EQ(sim.line.state(first).commands.size() + sim.line.state(second).commands.size(),
              sim.line.frames().size() - 1);
}

TEST(Simulated, MisbehavingTerminals) {
    const Variant v{false, true};
    const TComRecord terminal = Terminal(v);

    {
        SCOPED_TRACE("slow: the reply misses the limit and is purged before the next exchange");
        Simulated sim(true);
        const int t = sim.line.addTerminal(Model::TQ200, 1);
        sim.line.addReading(t, At("000004711", "2026-12-08T12:31:05"));
        sim.line.setFaults(t, Fault([](tqsim::Faults& f) { f.replyDelayMs = 250; }));
        sim.Start();
        ReplyResult reply;
        sim.Ask(terminal, StatusCommand(false), ReplyLayout::Status, &reply);
        EXPECT_EQ(reply.kind, ReplyResult::Kind::Timeout);
        EXPECT_TRUE(reply.raw.isEmpty());
        sim.line.setFaults(t, {});
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const TRekReceive rek = sim.Ask(terminal, RecordCommand(false), ReplyLayout::Record);
        EXPECT_EQ(rek.cardNumber, QStringLiteral("000004711"));
    }
    {
        SCOPED_TRACE("silent: confirmations do not come, the sequence still goes out");
        Simulated sim(true);
        const int t = sim.line.addTerminal(Model::TQ200, 1);
        sim.line.setFaults(t, Fault([](tqsim::Faults& f) { f.silent = true; }));
        sim.Start();
        EXPECT_EQ(ShowAlarm(*sim.port, terminal, u"BLOKADA").kind, LinkResult::Kind::Unconfirmed);
        EXPECT_EQ(SendCommand(*sim.port, terminal, InitCommand()).kind,
                  LinkResult::Kind::Unconfirmed);
        EXPECT_EQ(sim.line.state(t).signalControls, QByteArray("C10 "));
        EXPECT_EQ(sim.StoredCount(terminal), 0);
    }
    {
        SCOPED_TRACE("truncated: parsed as far as it goes");
        Simulated sim(true);
        const int t = sim.line.addTerminal(Model::TQ200, 1);
        sim.line.addReading(t, At("000004711", "2026-12-08T12:31:05"));
        // SOH, address, DLE, "!", echo, then card, month, day and the first digit of the hour
        sim.line.setFaults(t, Fault([](tqsim::Faults& f) { f.truncateTo = 5 + 9 + 2 + 2 + 1; }));
        sim.Start();
        ReplyResult reply;
        const TRekReceive rek =
            sim.Ask(terminal, RecordCommand(false), ReplyLayout::Record, &reply);
        EXPECT_EQ(reply.kind, ReplyResult::Kind::Timeout);
        EXPECT_EQ(rek.cardNumber, QStringLiteral("000004711"));
        EXPECT_EQ(rek.month + rek.day, QStringLiteral("1208"));
        EXPECT_EQ(rek.hour, QString());
        EXPECT_EQ(rek.recordFlag, QString());
    }
    {
        SCOPED_TRACE("flagged records");
        Simulated sim(true);
        const int t = sim.line.addTerminal(Model::TQ200, 1);
        sim.line.addReading(t, At("000004711", "2026-12-08T12:31:05"));
        sim.Start();
        for (char flag : {'T', 'U'}) {
            sim.line.update(t, [flag](tqsim::TerminalState& s) { s.faults.recordFlag = flag; });
            const TRekReceive rek = sim.Ask(terminal, RecordCommand(false), ReplyLayout::Record);
            EXPECT_EQ(rek.recordFlag, QString(QLatin1Char(flag)));
            EXPECT_EQ(rek.cardNumber, QStringLiteral("000004711"));
        }
    }
    {
        SCOPED_TRACE("garbled: the parser copes; nothing is removed without an ACK");
        Simulated sim(false);
        const int t = sim.line.addTerminal(Model::TQ700, 1);
        sim.line.addReading(t, At("0000123450", "2026-12-08T12:31:05"));
        sim.line.setFaults(t, Fault([](tqsim::Faults& f) { f.garbleRate = 0.3; }));
        sim.line.setSeed(7);
        sim.Start();
        const TComRecord tq700 = Terminal({true, false});
        for (int i = 0; i < 12; ++i) {
            ReplyResult reply;
            const TRekReceive rek =
                sim.Ask(tq700, RecordCommand(true), ReplyLayout::Record, &reply);
            EXPECT_LE(rek.cardNumber.size(), 10);
        }
        EXPECT_EQ(sim.line.state(t).stored.size(), 1u);
    }
}
