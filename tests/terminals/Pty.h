#pragma once

#include "core/IniFile.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace kzm::ptytest {

using Clock = std::chrono::steady_clock;

inline qint64 MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// A pty pair: the program opens the slave as port COM7 through the Porty section of a
// temporary KZM.ini, the test plays the device on the master.
class PtyPort : public ::testing::Test {
protected:
    void SetUp() override {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        slavePath = QString::fromLocal8Bit(::ptsname(master));
        ASSERT_TRUE(dir.isValid());
        ini.setPath(dir.filePath(QStringLiteral("KZM.ini")));
        ASSERT_TRUE(ini.writeString(QStringLiteral("Porty"), QStringLiteral("COM7"), slavePath));
    }
    void TearDown() override {
        if (master >= 0)
            ::close(master);
    }

    // The slave's line settings, as the master sees them.
    termios SlaveSettings() const {
        termios tio{};
        EXPECT_EQ(::tcgetattr(master, &tio), 0);
        return tio;
    }

    void Send(const QByteArray& bytes) {
        ASSERT_EQ(::write(master, bytes.constData(), size_t(bytes.size())), bytes.size());
        // Let the line discipline pass the bytes to the slave's input queue.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    // Reads from the master until `count` bytes came or a second has passed.
    QByteArray Receive(qsizetype count) {
        QByteArray got;
        const auto start = Clock::now();
        while (got.size() < count && MsSince(start) < 1000) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buf[512];
            // Never more than asked for, so frames sent back to back stay apart.
            const ssize_t n =
                ::read(master, buf, size_t(std::min<qsizetype>(count - got.size(), 512)));
            if (n > 0)
                got.append(buf, n);
        }
        return got;
    }

    int master = -1;
    QString slavePath;
    QTemporaryDir dir;
    IniFile ini;
};

} // namespace kzm::ptytest
