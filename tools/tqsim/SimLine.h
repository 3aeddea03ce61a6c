#pragma once

#include "tqsim/SimTerminal.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kzm::tqsim {

// One frame as it came over the line.
struct LineFrame {
    QByteArray raw;     // every byte of the frame, end mark and final CR included
    int address = -1;   // the address byte on RS-485; -1 on RS-232
    QByteArray command; // the bytes after the start mark, without the check character
    bool checkOk = false;
    std::chrono::steady_clock::time_point at;
};

// Takes the first whole frame out of `buffer`, dropping what comes before its SOH. With `flush`
// a frame that lacks only the final CR of RS-485 is taken as well. Nothing while no whole frame
// is there.
std::optional<LineFrame> TakeFrame(QByteArray& buffer, bool rs485, bool flush = false);

// A serial line played on a pseudo-terminal: the program opens its other side as a COM port.
// On RS-232 one terminal answers every frame; on RS-485 each terminal answers the frames with
// its own address and keeps quiet otherwise. The line runs on a thread of its own; every method
// may be called while it runs.
class SimLine {
public:
    explicit SimLine(bool rs485);
    ~SimLine();

    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    bool rs485() const { return m_rs485; }

    // Adds a terminal and gives its index. An RS-232 line takes one terminal.
    int addTerminal(Model model, int numScan = 1);
    int terminalCount() const;

    // Creates the pseudo-terminal and, when `linkPath` is given, a symbolic link to its device
    // there (an existing link is replaced), then starts answering. False with `error` set when
    // it cannot.
    bool start(const QString& linkPath = {}, QString* error = nullptr);
    // Stops answering, closes the pseudo-terminal and removes the link.
    void stop();

    // The line vanishes as an unplugged adapter does: the pseudo-terminal closes and the link
    // goes, while the terminals keep their memory.
    void unplug();
    // The line comes back under the same link, on a new pseudo-terminal.
    bool plugIn(QString* error = nullptr);

    // The device the program opens: the link when there is one, else the pseudo-terminal's.
    QString portPath() const;
    QString devicePath() const { return m_devicePath; }

    void addReading(int terminal, const Reading& reading);
    void setFaults(int terminal, const Faults& faults);
    // Lets a test or the command line change a terminal's state directly.
    void update(int terminal, const std::function<void(TerminalState&)>& change);

    TerminalState state(int terminal) const;
    std::vector<LineFrame> frames() const; // every frame seen, whichever its address

    // Calls `condition` every few milliseconds until it holds or `timeoutMs` has passed.
    static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs);

    // Told, on the line's thread, about every frame received and what it did to the terminal it
    // was for (-1: no terminal has its address).
    using Observer = std::function<void(int terminal, const LineFrame& frame)>;
    void setObserver(Observer observer);

    // Seeds the generator behind garbled replies, for repeatable runs.
    void setSeed(quint32 seed);

private:
    struct Pending {
        std::chrono::steady_clock::time_point due;
        QByteArray bytes;
    };

    void run();
    void dispatch(const LineFrame& frame);
    int terminalFor(const LineFrame& frame) const;

    const bool m_rs485;
    mutable std::mutex m_mutex;
    std::vector<std::unique_ptr<SimTerminal>> m_terminals;
    std::vector<LineFrame> m_frames;
    std::vector<Pending> m_pending;
    Observer m_observer;
    QRandomGenerator m_random{20261210};

    int m_master = -1;
    int m_slave = -1; // held open so the line stays up while the program has it closed
    QString m_devicePath;
    QString m_linkPath;
    QString m_unpluggedLink;
    std::chrono::steady_clock::time_point m_frozenUntil{};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace kzm::tqsim
