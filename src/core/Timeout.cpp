#include "core/Timeout.h"

#include <chrono>
#include <utility>

namespace kzm {

namespace {

qint64 SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

Timeout& ProcessTimeout() {
    static Timeout timeout;
    return timeout;
}

} // namespace

Timeout::Timeout() : m_clock(SteadyMilliseconds) {}

Timeout::Timeout(Clock clock) : m_clock(std::move(clock)) {}

void Timeout::Start(int milliseconds) {
    m_start = m_clock();
    m_limit = milliseconds;
    m_running = true;
}

bool Timeout::TimedOut() {
    if (!m_running || m_clock() - m_start <= m_limit) {
        return false;
    }
    m_running = false;
    return true;
}

void StartTimeout(int milliseconds) {
    ProcessTimeout().Start(milliseconds);
}

bool TimedOut() {
    return ProcessTimeout().TimedOut();
}

} // namespace kzm
