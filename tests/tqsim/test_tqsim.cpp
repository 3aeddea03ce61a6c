#include "core/IniFile.h"
#include "terminals/SerialPort.h"
#include "terminals/TerminalLink.h"
#include "terminals/TerminalReply.h"
#include "tqsim/Readings.h"
#include "tqsim/SimLine.h"
#include "tqsim/SimTerminal.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace kzm;
using namespace kzm::tqsim;

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

} // namespace

TEST(TakeFrame, SplitsTheLineIntoFrames) {
    const struct {
        const char* what;
        bool rs485;
        QByteArray line;
        int address;
        QByteArray command;
        bool checkOk;
        QByteArray rest; // left in the buffer
    } cases[] = {
        {"TQ200 status", false, Hex("0153720d"), -1, "S", true, {}},
        {"noise before SOH, next frame kept", false, Hex("4142015372 0d 01"), -1, "S", true,
         Hex("01")},
        {"wrong check", false, Hex("0153710d"), -1, "S", false, {}},
        {"TQ700 status at 1", true, Hex("012110217330621 02d0d"), 0x21, "s0", true, {}},
        {"ACK to 3", true, Hex("01231021062710 2d0d"), 0x23, "\x06", true, {}},
        {"CR left out, next frame follows", true, Hex("01231021062710 2d 01"), 0x23, "\x06", true,
         Hex("01")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray buffer = c.line;
        const auto frame = TakeFrame(buffer, c.rs485);
        ASSERT_TRUE(frame.has_value());
        EXPECT_EQ(frame->address, c.address);
        EXPECT_EQ(frame->command, c.command);
        EXPECT_EQ(frame->checkOk, c.checkOk);
        EXPECT_EQ(buffer, c.rest);
    }

    // Frames not yet whole stay in the buffer; flushing takes an RS-485 frame without its CR.
    QByteArray partial = Hex("0153");
    EXPECT_FALSE(TakeFrame(partial, false));
    EXPECT_EQ(partial, Hex("0153"));
    QByteArray noCr = Hex("01231021062710 2d");
    EXPECT_FALSE(TakeFrame(noCr, true));
    EXPECT_TRUE(TakeFrame(noCr, true, true).has_value());
    QByteArray noise = "garbage";
    EXPECT_FALSE(TakeFrame(noise, true));
    EXPECT_TRUE(noise.isEmpty());
}

TEST(CardField, PlainUpToNineDigitsPackedAbove) {
    EXPECT_EQ(CardField(QStringLiteral("123456789")), QByteArray("123456789"));
    EXPECT_EQ(CardField(QStringLiteral("4711")), QByteArray("000004711"));
    EXPECT_EQ(CardField(QStringLiteral("0000123450")), "A" + Hex("1c1c1c1c1c283e4e"));
    for (const char* card : {"0000123450", "9999999999", "1234567890123456"})
        EXPECT_EQ(DecodeCard(CardField(QString::fromLatin1(card))),
                  QString::fromLatin1(card).right(10));
}

TEST(SimTerminal, AnswersAsTheModelDoes) {
    QRandomGenerator random(1);
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 30, 45));

    SimTerminal tq200(Model::TQ200, 1);
    tq200.store({QStringLiteral("000004711"), now, '0', '1', '0'});
    // A TQ700's commands mean nothing to a TQ200.
    EXPECT_TRUE(tq200.handle("s0", false, now, random).bytes.isEmpty());
    EXPECT_TRUE(tq200.handle("r", false, now, random).bytes.isEmpty());
    const Answer status = tq200.handle("S", false, now, random);
    EXPECT_TRUE(status.isReply);
    EXPECT_EQ(status.bytes.left(status.bytes.size() - 2), "\x01S012612100930"
                                                          "0001000");
    EXPECT_EQ(status.bytes.back(), '\r');

    // An ACK without a record offered removes nothing.
    tq200.handle("\x06", false, now, random);
    EXPECT_EQ(tq200.state().stored.size(), 1u);
    tq200.handle("R", false, now, random);
    tq200.handle("\x06", false, now, random);
    EXPECT_EQ(tq200.state().stored.size(), 0u);

    // The TQ200 clears only with today's date and the installation number.
    EXPECT_TRUE(tq200.handle("C", false, now, random).bytes.isEmpty());
    EXPECT_EQ(tq200.handle("C1210234", false, now, random).bytes, QByteArray("\r"));

    SimTerminal tq700(Model::TQ700, 2);
    for (int i = 0; i < 1234; ++i)
        tq700.store({QStringLiteral("1"), now, '0', '1', '0'});
    const Answer rs485 = tq700.handle("s0", true, now, random);
    EXPECT_EQ(rs485.bytes.left(4), Hex("01221021"));
    EXPECT_EQ(rs485.bytes.right(3), Hex("102d0d"));
    TRekReceive rek;
    ParseReply(rek, ReplyText(rs485.bytes, true), ReplyLayout::Status, true);
    EXPECT_EQ(rek.second, QStringLiteral("45"));
    EXPECT_EQ(rek.storedCount, QStringLiteral("1234"));
    EXPECT_EQ(rek.thousands, QStringLiteral("001"));

    // A clock set to an impossible date is not confirmed and changes nothing.
    EXPECT_TRUE(tq700.handle("T2613320000", true, now, random).bytes.isEmpty());
    EXPECT_EQ(tq700.state().clockOffsetSecs, 0);
    EXPECT_EQ(tq700.handle("T2612100945", true, now, random).bytes, QByteArray("\r"));
    EXPECT_EQ(tq700.state().clock(now).time(), QTime(9, 45, 45));
}

TEST(SimTerminal, FaultsOfTheLine) {
    QRandomGenerator random(3);
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 30, 45));
    auto terminal = [&](void (*set)(Faults&)) {
        auto t = std::make_unique<SimTerminal>(Model::TQ200, 1);
        for (int i = 0; i < 6; ++i)
            t->store({QStringLiteral("000004711"), now, '0', '1', '0'});
        set(t->state().faults);
        return t;
    };
    const QByteArray whole = terminal([](Faults&) {})->handle("R", false, now, random).bytes;

    // Every second acknowledgement is lost: the reading stays and is offered again.
    auto lossy = terminal([](Faults& f) { f.loseAckEvery = 2; });
    for (int i = 0; i < 4; ++i) {
        lossy->handle("R", false, now, random);
        lossy->handle("\x06", false, now, random);
    }
    EXPECT_EQ(lossy->state().acknowledged, 2);
    EXPECT_EQ(lossy->state().acksLost, 2);
    EXPECT_EQ(lossy->state().stored.size(), 4u);

    // A garbled card field: one byte of the card changed, the rest as sent.
    auto garbled = terminal([](Faults& f) { f.garbleCardRate = 1; });
    const QByteArray reply = garbled->handle("R", false, now, random).bytes;
    ASSERT_EQ(reply.size(), whole.size());
    int changed = 0;
    for (qsizetype i = 0; i < reply.size(); ++i) {
        if (reply[i] != whole[i]) {
            ++changed;
            EXPECT_TRUE(i >= 2 && i <= 10) << "position " << i + 1;
        }
    }
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(garbled->handle("S", false, now, random).bytes.contains("0006")) << "status kept";

    // Every third reply cut after 18 bytes, without its CR.
    auto cut = terminal([](Faults& f) {
        f.truncateTo = 18;
        f.truncateEvery = 3;
    });
    QList<qsizetype> sizes;
    for (int i = 0; i < 6; ++i)
        sizes << cut->handle("R", false, now, random).bytes.size();
    EXPECT_EQ(sizes, QList<qsizetype>({26, 26, 18, 26, 26, 18}));
}

TEST(SimLine, ATerminalFreezesAndAnswersEverythingWhenItResumes) {
    SimLine line(false);
    line.addTerminal(Model::TQ200);
    line.addReading(0, {QStringLiteral("000004711"), QDateTime::currentDateTime(), '0', '1', '0'});
    Faults faults;
    faults.freezeAfterRecords = 1;
    faults.freezeMs = 400;
    line.setFaults(0, faults);
    ASSERT_TRUE(line.start());
    SerialPort port(QStringLiteral("COM1"), line.portPath(), 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort());
    const TComRecord terminal =
        ComRecordFromDefinition(QStringLiteral("Wydawka"), false, 1, 1, false, 0, 32);

    ASSERT_TRUE(SendFrame(port, terminal, RecordCommand(false).bytes).ok());
    EXPECT_EQ(ReceiveReply(port, terminal).kind, ReplyResult::Kind::Timeout) << "frozen";
    ASSERT_TRUE(SendFrame(port, terminal, AckCommand().bytes).ok());
    EXPECT_EQ(line.state(0).stored.size(), 1u) << "not yet taken off the line";
    ASSERT_TRUE(SimLine::WaitUntil([&] { return line.state(0).stored.empty(); }, 2000))
        << "taken when it resumes";
}

TEST(SimLine, ALineUnpluggedAndPluggedBackIn) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM1"));
    SimLine line(false);
    line.addTerminal(Model::TQ200);
    line.addReading(0, {QStringLiteral("000004711"), QDateTime::currentDateTime(), '0', '1', '0'});
    ASSERT_TRUE(line.start(link));
    SerialPort port(QStringLiteral("COM1"), link, 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort());
    const TComRecord terminal =
        ComRecordFromDefinition(QStringLiteral("Wydawka"), false, 1, 1, false, 0, 32);

    line.unplug();
    EXPECT_FALSE(QFileInfo(link).exists());
    EXPECT_EQ(SendFrame(port, terminal, StatusCommand(false).bytes).kind,
              LinkResult::Kind::PortFailure);
    port.ClosePort();
    EXPECT_FALSE(port.OpenPort());
    EXPECT_EQ(port.lastError().reason(), QStringLiteral("brak urządzenia"));

    ASSERT_TRUE(line.plugIn());
    ASSERT_TRUE(port.OpenPort()) << port.lastError().message().toStdString();
    ASSERT_TRUE(SendFrame(port, terminal, StatusCommand(false).bytes).ok());
    TRekReceive rek;
    ParseReply(rek, ReceiveReply(port, terminal).text, ReplyLayout::Status, false);
    EXPECT_EQ(rek.storedCount, QStringLiteral("0001")) << "the terminal kept its memory";
}

TEST(Readings, FileLines) {
    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
    std::vector<AddressedReading> readings;
    QString error;
    ASSERT_TRUE(ParseReadings(QStringLiteral("# karta data godzina\n"
                                             "0000123450 2026-12-08 12:31:05\n"
                                             "\n"
                                             "@2 123456789;08.12.2026;07:15\n"
                                             "555000111 2026-12-08 13:02:00 1 2 T\n"
                                             "4711\n"
                                             "- 0 1 U\r\n"),
                              now, readings, &error))
        << error.toStdString();
    ASSERT_EQ(readings.size(), 5u);
    EXPECT_FALSE(readings[0].numScan.has_value());
    EXPECT_EQ(readings[0].reading.time, QDateTime(QDate(2026, 12, 8), QTime(12, 31, 5)));
    EXPECT_EQ(readings[1].numScan, 2);
    EXPECT_EQ(readings[1].reading.time, QDateTime(QDate(2026, 12, 8), QTime(7, 15)));
    const Reading& flagged = readings[2].reading;
    EXPECT_EQ(QByteArray() + flagged.direction + flagged.mode + flagged.flag, "12T");
    EXPECT_EQ(readings[3].reading.time, now);
    EXPECT_EQ(readings[3].reading.card, QStringLiteral("4711"));
    EXPECT_TRUE(readings[4].reading.card.isEmpty());
    EXPECT_EQ(readings[4].reading.flag, 'U');

    for (const char* bad : {"12a4", "@40 4711", "4711 2026-12-08", "4711 2026-12-08 25:00",
                            "4711 0 1 T X", "12345678901234567", "4711 01"}) {
        SCOPED_TRACE(bad);
        std::vector<AddressedReading> none;
        EXPECT_FALSE(
            ParseReadings(QStringLiteral("4711\n") + QString::fromLatin1(bad), now, none, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("wiersz 2: "))) << error.toStdString();
    }
}

TEST(Readings, GeneratorKeepsItsRateAndLimit) {
    const QDateTime now = QDateTime::currentDateTime();
    ReadingGenerator generator({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}, 60,
                               2, 4);
    auto first = generator.due(0, now);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].first, 0);
    EXPECT_TRUE(generator.due(999, now).empty());
    const auto next = generator.due(2000, now);
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[0].second.card, QStringLiteral("2"));
    EXPECT_EQ(next[0].first, 1);
    EXPECT_EQ(next[1].second.card, QStringLiteral("3"));
    EXPECT_EQ(generator.due(60000, now).size(), 1u);
    EXPECT_EQ(generator.made(), 4);
}

TEST(SimLine, LinkIsReplacedAndRemoved) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("COM1"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent"), link));
    {
        SimLine line(false);
        line.addTerminal(Model::TQ200);
        EXPECT_THROW(line.addTerminal(Model::TQ700, 2), std::logic_error);
        QString error;
        ASSERT_TRUE(line.start(link, &error)) << error.toStdString();
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), line.devicePath());
        EXPECT_EQ(line.portPath(), link);
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    SimLine nowhere(false);
    QString error;
    EXPECT_FALSE(nowhere.start(QStringLiteral("/nonexistent/dir/COM1"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("symlink"))) << error.toStdString();
}

TEST(Program, HelpAndBadOptions) {
    QProcess help;
    help.start(QStringLiteral(TQSIM_EXE), {QStringLiteral("--help")});
    ASSERT_TRUE(help.waitForFinished());
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    for (const char* needle : {"[Porty]", "COM1=/tmp/kzm-com1", "--rs485", "--readings", "--cards",
                               "--garble", "--garble-card", "--lose-ack", "--truncate-every",
                               "--freeze", "--unplug", "Plik odczytów"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(needle))) << needle;

    const struct {
        QStringList args;
        const char* message;
    } bad[] = {
        {{}, "brak --link"},
        {{"--link", "/tmp/x", "--terminal", "tq900"}, "typ terminala"},
        {{"--link", "/tmp/x", "--terminal", "tq200@32"}, "adres terminala"},
        {{"--link", "/tmp/x", "--terminal", "tq200", "--terminal", "tq700@2"}, "--rs485"},
        {{"--link", "/tmp/x", "--rs485", "--terminal", "tq200", "--terminal", "tq700"},
         "tym samym adresie"},
        {{"--link", "/tmp/x", "--terminal", "tq200,delay=x"}, "błędna wartość usterki"},
        {{"--link", "/tmp/x", "--lose-ack", "0"}, "błędna wartość usterki lose-ack"},
        {{"--link", "/tmp/x", "--freeze", "5"}, "błędna wartość usterki freeze"},
        {{"--link", "/tmp/x", "--terminal", "tq200,garble-card=2"}, "usterki garble-card"},
        {{"--link", "/tmp/x", "--unplug", "x"}, "błędna wartość --unplug"},
        {{"--link", "/tmp/x", "--readings", "/nonexistent"}, "nie można otworzyć"},
        {{"--link", "/tmp/x", "--bogus"}, "nieznana opcja --bogus"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.message);
        QProcess process;
        process.start(QStringLiteral(TQSIM_EXE), c.args);
        ASSERT_TRUE(process.waitForFinished());
        EXPECT_EQ(process.exitCode(), 2);
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                        .contains(QString::fromUtf8(c.message)));
    }
}

// The program as a trainer would run it: two terminals on one RS-485 line named in KZM.ini,
// one with readings from a file, one with generated ones; polled through the port as the
// registration run does.
TEST(Program, TerminalsOnALinkNamedInTheConfiguration) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("kzm-com2"));
    const QString readings = dir.filePath(QStringLiteral("odczyty.txt"));
    {
        QFile file(readings);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# karta data godzina\n@1 0000123450 2026-12-08 12:31:05\n@1 4711\n");
    }
    QProcess sim;
    sim.start(QStringLiteral(TQSIM_EXE),
              {QStringLiteral("--link"), link, QStringLiteral("--rs485"),
               QStringLiteral("--terminal"), QStringLiteral("tq700@1"),
               QStringLiteral("--terminal"), QStringLiteral("tq200@2"),
               QStringLiteral("--readings"), readings, QStringLiteral("--cards"),
               QStringLiteral("000000777"), QStringLiteral("--count"), QStringLiteral("1")});
    ASSERT_TRUE(sim.waitForStarted());
    ASSERT_TRUE(SimLine::WaitUntil([&] { return QFileInfo(link).isSymLink(); }, 5000));

    IniFile ini;
    ini.setPath(dir.filePath(QStringLiteral("KZM.ini")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Porty"), QStringLiteral("COM2"), link));
    SerialPort port(ini, 2, 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort()) << port.lastError().message().toStdString();

    const TComRecord first =
        ComRecordFromDefinition(QStringLiteral("Wydawka 1"), true, 1, 1, true, 0, 32);
    const TComRecord second =
        ComRecordFromDefinition(QStringLiteral("Wydawka 2"), false, 2, 2, true, 0, 32);
    auto ask = [&](const TComRecord& terminal, const TerminalCommand& command, ReplyLayout layout) {
        EXPECT_TRUE(SendFrame(port, terminal, command.bytes).ok());
        TRekReceive rek;
        ParseReply(rek, ReceiveReply(port, terminal).text, layout, terminal.tq700);
        return rek;
    };

    EXPECT_EQ(ask(first, StatusCommand(true), ReplyLayout::Status).storedCount,
              QStringLiteral("0003"));
    // Two from the file, and the generated one: the cards go round the terminals in the order
    // given, starting with the first.
    EXPECT_EQ(ask(first, RecordCommand(true), ReplyLayout::Record).cardNumber,
              QStringLiteral("0000123450"));
    EXPECT_TRUE(SendFrame(port, first, AckCommand().bytes).ok());
    EXPECT_EQ(ask(first, RecordCommand(true), ReplyLayout::Record).cardNumber,
              QStringLiteral("000004711"));
    EXPECT_EQ(ask(second, StatusCommand(false), ReplyLayout::Status).storedCount,
              QStringLiteral("0000"));
    EXPECT_TRUE(ShowText(port, second, u"WYDANIE").ok());

    // The text needs no answer: give the simulator a moment to take it off the line before the
    // port is closed (closing abandons what has not gone out).
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    port.ClosePort();
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished());
    EXPECT_EQ(sim.exitCode(), 0);
    const QString out = QString::fromUtf8(sim.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("@2 wyświetla \"WYDANIE         \"")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("@1: potwierdzone 1, w pamięci 2, tekstów 0")))
        << out.toStdString();
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}
