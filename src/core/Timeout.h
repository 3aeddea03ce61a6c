#pragma once

#include <QtGlobal>

#include <functional>

namespace kzm {

// A time limit measured on a monotonic clock, so that it holds across midnight and clock
// changes.
class Timeout {
public:
    // Milliseconds since an arbitrary fixed point; never goes back.
    using Clock = std::function<qint64()>;

    // Measures with the steady system clock.
    Timeout();
    explicit Timeout(Clock clock);

    // Remembers the limit and the current time; a running limit is replaced.
    void Start(int milliseconds);
    // True once more than the limit has passed since Start; reporting true clears the limit,
    // so that TimedOut is false again until the next Start. False when no limit is set.
    bool TimedOut();
    bool Running() const { return m_running; }

private:
    Clock m_clock;
    qint64 m_start = 0;
    qint64 m_limit = 0;
    bool m_running = false;
};

// The process-wide limit used by the terminal and personalizer code.
void StartTimeout(int milliseconds);
bool TimedOut();

} // namespace kzm
