#include "core/Timeout.h"

#include <chrono>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

// A clock the test moves by hand.
class ManualClock {
public:
    explicit ManualClock(qint64 now) : m_now(now) {}
    Timeout::Clock Function() {
        return [this] { return m_now; };
    }
    void Advance(qint64 ms) { m_now += ms; }

private:
    qint64 m_now;
};

constexpr qint64 kMillisecondsPerDay = 24 * 60 * 60 * 1000;

} // namespace

TEST(Timeout, ReportsOnceMoreThanTheLimitHasPassed) {
    ManualClock clock(1000);
    Timeout timeout(clock.Function());
    EXPECT_FALSE(timeout.TimedOut()); // no limit set yet

    timeout.Start(50);
    clock.Advance(50);
    EXPECT_FALSE(timeout.TimedOut()); // exactly the limit is not more than it
    clock.Advance(1);
    EXPECT_TRUE(timeout.TimedOut());
    EXPECT_FALSE(timeout.Running());
    clock.Advance(1000);
    EXPECT_FALSE(timeout.TimedOut()); // cleared by the report

    timeout.Start(10);
    clock.Advance(5);
    timeout.Start(10); // a new start replaces the running limit
    clock.Advance(8);
    EXPECT_FALSE(timeout.TimedOut());
    clock.Advance(3);
    EXPECT_TRUE(timeout.TimedOut());
}

TEST(Timeout, WaitAcrossMidnightEndsAtItsLimit) {
    // 23:59:59.980 of a day; 40 ms later the time of day has restarted at 00:00:00.020.
    ManualClock clock(10 * kMillisecondsPerDay - 20);
    Timeout timeout(clock.Function());
    timeout.Start(50);
    clock.Advance(40);
    EXPECT_FALSE(timeout.TimedOut());
    clock.Advance(11);
    EXPECT_TRUE(timeout.TimedOut());
}

TEST(Timeout, ProcessWideLimitUsesTheSteadyClock) {
    StartTimeout(60000);
    EXPECT_FALSE(TimedOut());

    StartTimeout(1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    bool reported = false;
    while (!reported && std::chrono::steady_clock::now() < deadline) {
        reported = TimedOut();
    }
    EXPECT_TRUE(reported);
    EXPECT_FALSE(TimedOut());
}
