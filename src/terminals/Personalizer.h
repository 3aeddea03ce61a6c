#pragma once

#include "core/IniFile.h"
#include "terminals/SerialPort.h"
#include "terminals/WorkstationEnv.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

namespace kzm {

// The card personalizer: a card reader on a serial port of the workstation whose readings
// become card numbers in the identity field being edited. Reading is a state of the running
// program: off at start, switched on and off by the persons window.
class Personalizer {
public:
    // Its switch files: Test.dat (no port is opened) and ident.dat (a card number waiting to
    // be taken).
    explicit Personalizer(const IniFile& ini, WorkstationEnv env = WorkstationEnv::system());
    ~Personalizer();
    Personalizer(const Personalizer&) = delete;
    Personalizer& operator=(const Personalizer&) = delete;

    static constexpr int interval = 250;
    // A reading must come whole within this time from its first byte, or it is dropped.
    static constexpr int frameLimitMs = 500;

    // Switches reading on for the personalizer on port COM<comp>; empty when it reads, else
    // the message for the user ("Nieustalone parametry portu personalizatora", "Nie można
    // otworzyć portu COMn").
    QString StartComP(int comp, bool cpakt);
    // Switches reading off and closes the port.
    void StopComP();
    bool reading() const { return reading_; }
    // What it takes from the workstation; a test points it at its own folder.
    WorkstationEnv& env() { return env_; }

    // Where card numbers go; while there is none the personalizer stops at its next tick.
    std::function<void(const QString& number)> target;
    // Whether the target can take a number now; a tick leaves what waits for a later one.
    std::function<bool()> targetVisible;

    // One tick of the timer: a number from ident.dat, or what the port has received, taken
    // without waiting; a reading that ends with CR gives its number.
    void TimerPTimer();
    QTimer& timer() { return timer_; }

    // The card number of a whole reading (up to and including its CR): the characters
    // between the first and the last two ("#12345;\r" gives "12345"); nothing when none are
    // left.
    static std::optional<QString> CardNumber(QByteArrayView reading);

private:
    void deliver(const QString& number);

    const IniFile& ini_;
    WorkstationEnv env_;
    std::unique_ptr<SerialPort> port_;
    bool reading_ = false;
    QByteArray pending_;   // bytes of a reading still without its CR
    qint64 pendingAt_ = 0; // when its first byte came
    QTimer timer_;
};

} // namespace kzm
