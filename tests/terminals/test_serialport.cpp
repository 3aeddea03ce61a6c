#include "core/IniFile.h"
#include "core/Win1250.h"
#include "terminals/Pty.h"
#include "terminals/SerialPort.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace kzm;
using namespace std::chrono_literals;
using ptytest::Clock;
using ptytest::MsSince;
using ptytest::PtyPort;

namespace {

int OpenFdCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

QByteArray AllBytes() {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

} // namespace

TEST(ComDevice, MappedThroughPortySectionElseTtyS) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    IniFile ini(dir.filePath(QStringLiteral("KZM.ini")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Porty"), QStringLiteral("COM1"),
                                QStringLiteral("/dev/ttyUSB0")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Porty"), QStringLiteral("com12"),
                                QStringLiteral("/dev/ttyACM1")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Inne"), QStringLiteral("COM2"),
                                QStringLiteral("/dev/wrong")));

    const struct {
        int number;
        const char* device;
    } cases[] = {
        {1, "/dev/ttyUSB0"}, {12, "/dev/ttyACM1"}, {2, "/dev/ttyS1"},
        {3, "/dev/ttyS2"},   {10, "/dev/ttyS9"},   {0, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComDevice(ini, c.number), QString::fromLatin1(c.device)) << "COM" << c.number;

    // No KZM.ini at all: every port takes its default.
    EXPECT_EQ(ComDevice(IniFile(dir.filePath(QStringLiteral("none.ini"))), 4),
              QStringLiteral("/dev/ttyS3"));

    const SerialPort port(ini, 2, 9600, PortUse::Terminal);
    EXPECT_EQ(port.name(), QStringLiteral("COM2"));
    EXPECT_EQ(port.device(), QStringLiteral("/dev/ttyS1"));
}

TEST(SerialPortErrors, CodesAndTexts) {
    const struct {
        int code;
        const char* message;
    } cases[] = {
        {1, "1 : Bład otwarcia portu szeregowego"},
        {2, "2 : Bład podczas zapisu do portu"},
        {3, "3 : Błąd odczytu z portu"},
        {5, "5 : Błąd podczas czyszczenia portu"},
        {4, "4 : Inny blad o numerze 4"},
        {0, "0 : Inny blad o numerze 0"},
        {87, "87 : Inny blad o numerze 87"},
    };
    for (const auto& c : cases)
        EXPECT_EQ((PortError{c.code, {}}).message(), QString::fromUtf8(c.message)) << c.code;
}

TEST(SerialPortErrors, DeviceThatCannotBeOpened) {
    SerialPort absent(QStringLiteral("COM9"), QStringLiteral("/nonexistent/ttyS8"), 9600,
                      PortUse::Terminal);
    EXPECT_FALSE(absent.OpenPort());
    EXPECT_FALSE(absent.connected());
    EXPECT_EQ(absent.lastError().code, PortErrorCode::Open);
    EXPECT_EQ(absent.lastError().message(), QStringLiteral("1 : Bład otwarcia portu szeregowego"));
    EXPECT_TRUE(absent.lastError().detail.contains(QStringLiteral("COM9")));
    EXPECT_EQ(absent.lastError().reason(), QStringLiteral("brak urządzenia"));

    // A regular file is no serial line: it opens but cannot take line settings.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("plain"));
    IniFile(file).writeString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    SerialPort notTty(QStringLiteral("COM1"), file, 9600, PortUse::Terminal);
    EXPECT_FALSE(notTty.OpenPort());
    EXPECT_FALSE(notTty.connected());
    EXPECT_EQ(notTty.lastError().code, PortErrorCode::LineSettings);
    EXPECT_EQ(notTty.lastError().reason(), QStringLiteral("to nie jest łącze szeregowe"));
    SerialPort folder(QStringLiteral("COM2"), dir.path(), 9600, PortUse::Terminal);
    EXPECT_FALSE(folder.OpenPort());
    EXPECT_EQ(folder.lastError().reason(), QStringLiteral("to nie jest łącze szeregowe"));

    // Without the right to open the device (the superuser has it anyway).
    const QString locked = dir.filePath(QStringLiteral("locked"));
    IniFile(locked).writeString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    QFile::setPermissions(locked, QFileDevice::ReadOwner);
    SerialPort denied(QStringLiteral("COM3"), locked, 9600, PortUse::Terminal);
    EXPECT_FALSE(denied.OpenPort());
    EXPECT_EQ(denied.lastError().reason(), ::geteuid() == 0
                                               ? QStringLiteral("to nie jest łącze szeregowe")
                                               : QStringLiteral("brak uprawnień"));
}

TEST(SerialPortErrors, OperationsOnAClosedPort) {
    SerialPort port(QStringLiteral("COM1"), QStringLiteral("/dev/null"), 9600, PortUse::Terminal);
    EXPECT_FALSE(port.Write("x").has_value());
    EXPECT_EQ(port.lastError().code, PortErrorCode::Write);
    EXPECT_FALSE(port.Read(1).has_value());
    EXPECT_EQ(port.lastError().code, PortErrorCode::Read);
    EXPECT_FALSE(port.Purge(true, true));
    EXPECT_EQ(port.lastError().code, PortErrorCode::Purge);

    const ByteWait wait = WaitForByte(port, '\r', 1000);
    EXPECT_FALSE(wait);
    ASSERT_TRUE(wait.error.has_value());
    EXPECT_EQ(wait.error->code, PortErrorCode::Read);
}

TEST(AcceptedBaudRate, OtherRatesGive9600) {
    for (int rate : {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600,
                     115200, 128000, 256000})
        EXPECT_EQ(AcceptedBaudRate(rate), rate);
    for (int rate : {0, -1, 4000, 9601, 230400, 28800})
        EXPECT_EQ(AcceptedBaudRate(rate), 9600) << rate;
}

TEST_F(PtyPort, LineSettingsAndSpeed) {
    const struct {
        int configured;
        speed_t expected;
    } cases[] = {{4000, B9600}, {19200, B19200}, {1200, B1200}, {115200, B115200}};
    for (const auto& c : cases) {
        SerialPort port(ini, 7, c.configured, PortUse::Terminal);
        ASSERT_TRUE(port.OpenPort()) << port.lastError().detail.toStdString();
        const termios tio = SlaveSettings();
        EXPECT_EQ(::cfgetospeed(&tio), c.expected) << c.configured;
        EXPECT_EQ(::cfgetispeed(&tio), c.expected) << c.configured;
        EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
        EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    }

    // A rate without a termios constant still opens.
    SerialPort odd(ini, 7, 14400, PortUse::Terminal);
    EXPECT_TRUE(odd.OpenPort()) << odd.lastError().detail.toStdString();
}

TEST_F(PtyPort, OpenTwiceAndCloseWhenClosed) {
    SerialPort port(ini, 7, 9600, PortUse::Terminal);
    port.ClosePort(); // not connected: nothing happens
    EXPECT_FALSE(port.connected());

    const int before = OpenFdCount();
    ASSERT_TRUE(port.OpenPort());
    EXPECT_EQ(OpenFdCount(), before + 1);
    EXPECT_TRUE(port.OpenPort());
    EXPECT_EQ(OpenFdCount(), before + 1);

    port.ClosePort();
    EXPECT_FALSE(port.connected());
    EXPECT_EQ(OpenFdCount(), before);
    port.ClosePort();
    EXPECT_EQ(OpenFdCount(), before);

    ASSERT_TRUE(port.OpenPort());
    EXPECT_TRUE(port.connected());
}

TEST_F(PtyPort, ReadOfNothingReturnsAtOnce) {
    SerialPort port(ini, 7, 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort());
    const auto start = Clock::now();
    const std::optional<QByteArray> got = port.Read(100);
    EXPECT_LT(MsSince(start), 20);
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(got->isEmpty());

    // What has arrived comes at once, at most as much as asked for.
    Send("ABCDE");
    EXPECT_EQ(port.Read(3), QByteArray("ABC"));
    EXPECT_EQ(port.Read(100), QByteArray("DE"));
    EXPECT_EQ(port.Read(100), QByteArray());
}

TEST_F(PtyPort, NulBytesDiscardedOnTerminalPortsDeliveredToPersonalizer) {
    const QByteArray sent("\0\0\0AB\0C\0", 8);
    {
        SerialPort port(ini, 7, 9600, PortUse::Terminal);
        ASSERT_TRUE(port.OpenPort());
        Send(sent);
        // Discarded NULs do not use up the count asked for.
        EXPECT_EQ(port.Read(2), QByteArray("AB"));
        EXPECT_EQ(port.Read(10), QByteArray("C"));
    }
    {
        SerialPort port(ini, 7, 9600, PortUse::Personalizer);
        ASSERT_TRUE(port.OpenPort());
        Send(sent);
        EXPECT_EQ(port.Read(100), sent);
    }
}

TEST_F(PtyPort, BytesPassUnchangedBothWays) {
    const QByteArray polish = ToWin1250(u"Zażółć gęślą jaźń ŻÓŁW\r\n\x11\x13");
    for (PortUse use : {PortUse::Terminal, PortUse::Personalizer}) {
        SerialPort port(ini, 7, 9600, use);
        ASSERT_TRUE(port.OpenPort());

        EXPECT_EQ(port.Write(polish), polish.size());
        EXPECT_EQ(Receive(polish.size()), polish);
        Send(polish);
        const std::optional<QByteArray> back = port.Read(1024);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(FromWin1250(*back), FromWin1250(polish));

        // Every byte value: nothing is translated, stripped or taken as flow control.
        const QByteArray all = AllBytes();
        EXPECT_EQ(port.Write(all), all.size());
        EXPECT_EQ(Receive(all.size()), all);
        Send(all);
        EXPECT_EQ(port.Read(1024), use == PortUse::Personalizer ? all : all.mid(1));
    }
}

TEST_F(PtyPort, PurgeDiscardsWhatWaits) {
    SerialPort port(ini, 7, 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort());
    Send("stale");
    EXPECT_TRUE(port.Purge(false, true)); // output only: the input stays
    EXPECT_EQ(port.Read(1), QByteArray("s"));
    EXPECT_TRUE(port.Purge(true, false));
    EXPECT_EQ(port.Read(100), QByteArray());
    EXPECT_TRUE(port.Purge(false, false));
}

TEST_F(PtyPort, WaitForByteReturnsOnTheByteAndPurges) {
    SerialPort port(ini, 7, 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort());
    int repaints = 0;
    const auto start = Clock::now();
    std::thread device([this] {
        std::this_thread::sleep_for(30ms);
        // Other bytes first; what follows the awaited byte is purged.
        const char reply[] = "xy\rREST";
        (void)::write(master, reply, sizeof reply - 1);
    });
    const ByteWait wait = WaitForByte(port, '\r', 1000, [&] { ++repaints; });
    const qint64 elapsed = MsSince(start);
    device.join();
    EXPECT_TRUE(wait);
    EXPECT_FALSE(wait.error.has_value());
    EXPECT_LT(elapsed, 400); // three reads 50 ms apart, far from the limit
    EXPECT_GT(repaints, 0);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(port.Read(100), QByteArray());
}

TEST_F(PtyPort, WaitForByteFailsAfterItsLimit) {
    SerialPort port(ini, 7, 9600, PortUse::Terminal);
    ASSERT_TRUE(port.OpenPort());
    Send("\x15\x15");
    const auto start = Clock::now();
    const ByteWait wait = WaitForByte(port, '\x06', 80);
    const qint64 elapsed = MsSince(start);
    EXPECT_FALSE(wait);
    EXPECT_FALSE(wait.error.has_value());
    EXPECT_GT(elapsed, 80);
    EXPECT_LT(elapsed, 80 + 150);
    EXPECT_EQ(port.Read(100), QByteArray()); // purged on failure as well
}

TEST(Delay, WaitsMoreThanTheGivenTimeAndRepaints) {
    int repaints = 0;
    const auto start = Clock::now();
    Delay(40, [&] { ++repaints; });
    const qint64 elapsed = MsSince(start);
    EXPECT_GE(elapsed, 40);
    EXPECT_LT(elapsed, 40 + 100);
    EXPECT_GE(repaints, 2);

    const auto zeroStart = Clock::now();
    Delay(0);
    EXPECT_LT(MsSince(zeroStart), 50);
}
