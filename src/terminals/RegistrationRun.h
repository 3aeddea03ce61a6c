#pragma once

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "terminals/RecordGate.h"
#include "terminals/SerialPort.h"
#include "terminals/TerminalProtocol.h"
#include "terminals/TerminalReply.h"
#include "terminals/WorkstationEnv.h"

#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kzm {

class Session;
class Tdm;
struct GlobalParams;
struct ReadingOutcome;

// The state the run shows on its lamps: stopped, running, or running and waiting for the
// database.
enum class RunLamp { Off, On, Waiting };

// The day's meals: planned and issued breakfasts, lunches and suppers.
struct DayCounts {
    QDate day;
    std::array<int, 3> planned{};
    std::array<int, 3> issued{};
    int difference(int meal) const {
        return planned[static_cast<size_t>(meal)] - issued[static_cast<size_t>(meal)];
    }
};

// What the run tells the window that shows it.
class RegistrationObserver {
public:
    virtual ~RegistrationObserver() = default;

    // The history list: emptied, a line added at the top, cut to its newest `keep` lines.
    virtual void historyCleared() = 0;
    virtual void historyAdded(const QString& line) = 0;
    virtual void historyTrimmed(int keep) = 0;
    virtual void lampChanged(RunLamp lamp) = 0;
    virtual void runningChanged(bool running) = 0;
    // The run's state line: the wait for the database, or nothing.
    virtual void stateChanged(const QString& text) = 0;
    virtual void countsChanged(const DayCounts& counts) = 0;
    // The terminal whose turn it is.
    virtual void currentChanged(int index) = 0;
    // The question after a reading that could not be stored; true to stop the run.
    virtual bool askStop(const QString& question) = 0;
    // A moment for the screen to repaint while the run waits or works.
    virtual void idle() = 0;
};

// The registration run: every second it polls the active terminals, stores each reading
// through the registration procedure, answers on the terminal's display and keeps the day's
// meal counts. A reading is acknowledged only once it arrived whole and its storing was
// committed; a line that fails and a terminal that does not answer are connected again by
// later cycles, and a lost database is waited for.
class RegistrationRun : public QObject {
public:
    RegistrationRun(Session& s, Tdm& dm, const GlobalParams& params, RegistrationObserver& observer,
                    WorkstationEnv env = WorkstationEnv::system());
    ~RegistrationRun() override;

    static constexpr int historyLimit = 50;
    static constexpr int timerInterval = 1000;

    struct Terminal {
        TComRecord rec;
        int portNumber = 0; // COMn of the definition
        std::unique_ptr<SerialPort> port;
        RecordGate gate;
        qint64 retryAtMs = 0; // when a later cycle may try to connect it again
        QString lastFailure;  // the last failure shown in the history, not repeated
    };
    // The active terminal definitions, each on its port (not yet opened).
    void loadTerminals();
    const std::vector<Terminal>& terminals() const { return terminals_; }
    int current() const { return current_; }
    void makeCurrent(int index);

    bool running() const { return running_; }
    bool databaseLost() const { return dbLost_; }
    const DayCounts& counts() const { return counts_; }
    QTimer& timer() { return timer_; }
    WorkstationEnv& env() { return env_; }

    // A registration workstation nobody watches: errors go to the log and the history list,
    // never to a question.
    bool unattended = false;
    // Each stored and skipped reading written to the history table.
    bool logReadings = true;
    // How often a failed line, a terminal that does not answer and a lost database are tried.
    int lineRetryMs = 5000;
    int databaseRetryMs = 5000;
    // The longest wait for a record reply; a terminal that answered late is given more.
    int maxReplyLimitMs = 400;
    // The protocol's fixed waits: before a reply is read, after the status request and in the
    // connection test.
    struct Pace {
        int replyDelayMs = 100;
        int statusDelayMs = 150;
        int testDelayMs = 500;
    } pace;

    // The start/stop button: starts a stopped run, stops a running one. A click while a cycle
    // runs is taken when the cycle ends; a second one takes it back.
    void click();
    void startStop();
    // Ends the run where it stands, as a workstation switched off does: nothing more is taken
    // or acknowledged, and the ports stay as they are.
    void interrupt();
    // One cycle of the timer.
    void cycle();
    // Closes the ports and forgets the terminals.
    void close();

    void PetlaOdczytow();
    void Odczyt();
    // The day's counts; an invalid date means today.
    void Statystyka(const QDate& date);
    bool TestConnection();

    // Where the terminals' turns spent their time: on the line (the protocol's exchanges and
    // waits) and in all, with the readings taken.
    struct RunTimes {
        int readings = 0;
        qint64 turnNs = 0;
        qint64 lineNs = 0;
    };
    const RunTimes& times() const { return times_; }

private:
    void startRun();
    void stopRun();
    void setRunning(bool on);
    bool simulation() const;
    qint64 nowMs() const { return env_.clockMs(); }
    void addHistory(const QString& line);
    void addHistoryOnce(Terminal& t, const QString& line);
    void closePorts();
    // Opens the terminal's port and checks that it answers; false, with the reason in the
    // history list once, when not.
    bool connectTerminal(Terminal& t);
    // Closes a port that failed, for a later cycle to open again.
    void lineFailed(Terminal& t, const std::optional<PortError>& error);
    // Sends the acknowledgement of the record just read; false when the line failed.
    bool acknowledge(Terminal& t);
    // Takes records until the terminal's backlog is done or a reply is not whole.
    void takeRecords(Terminal& t, int n, bool sim);
    // Takes one reading of the record loop; false when the turn is to end.
    bool takeReading(int i, int n, const QByteArray& raw, bool sim);
    // After a failure to store a reading: the database lost, the user's question, or in an
    // unattended run a line in the history. The reading stays on the terminal.
    void readingFailed(const std::exception& e, const QString& historyText);
    void loseDatabase(const QString& why);
    bool reconnectDatabase();
    // Statystyka within the run: a lost database is waited for instead of reported.
    void refreshCounts();
    void countIssued(const TRekReceive& rek);
    ReadingOutcome ZapiszOdczyt();
    RepaintHook idleHook();
    template <class Exchange> auto onLine(Exchange&& exchange) {
        QElapsedTimer t;
        t.start();
        auto result = exchange();
        times_.lineNs += t.nsecsElapsed();
        return result;
    }

    Session& s_;
    Tdm& dm_;
    const GlobalParams& params_;
    RegistrationObserver& observer_;
    WorkstationEnv env_;

    std::vector<Terminal> terminals_;
    int current_ = -1;
    bool running_ = false;
    bool stopRequest_ = false;
    bool skipCounts_ = false;            // the turn ends without refreshing the counts
    bool busy_ = false;                  // a cycle or the start is going on
    bool pendingClick_ = false;          // the start/stop button was clicked meanwhile
    std::optional<PortError> testError_; // the port error of the last connection test
    bool dbLost_ = false;
    qint64 dbRetryAtMs_ = 0;
    DayCounts counts_;
    TRekReceive rek_;
    RunTimes times_;
    QTimer timer_;

    fb::Transaction trProc_;
    fb::Query qProc_;
};

} // namespace kzm
