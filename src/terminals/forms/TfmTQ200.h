#pragma once

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "terminals/RecordGate.h"
#include "terminals/SerialPort.h"
#include "terminals/TerminalProtocol.h"
#include "terminals/TerminalReply.h"
#include "ui/FunctionWindow.h"
#include "ui/WindowHost.h"

#include <QColor>
#include <QDate>
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimeEdit;

namespace kzm {

struct ReadingOutcome;
class StatusLamp;

// The terminal window: polls the active terminals every second, stores each reading through
// the registration procedure, answers on the terminal's display and keeps the day's meal
// counts on screen. While the run is on, closing only hides the window. A reading is
// acknowledged only once it arrived whole and its storing was committed; a line that fails and
// a terminal that does not answer are connected again by later cycles, and a lost database is
// waited for.
class TfmTQ200 : public FunctionWindow {
    Q_OBJECT
public:
    explicit TfmTQ200(WindowHost& host);
    ~TfmTQ200() override;

    static constexpr int historyLimit = 50;
    static constexpr int timerInterval = 1000;
    static inline const QColor lampOff{0, 128, 0};
    static inline const QColor lampOn{255, 0, 0};
    static inline const QColor lampWaiting{255, 160, 0}; // the run waits for the database
    static inline const QColor titleHighlight{242, 113, 116};

    struct Terminal {
        TComRecord rec;
        std::unique_ptr<SerialPort> port;
        RecordGate gate;
        qint64 retryAtMs = 0; // when a later cycle may try to connect it again
        QString lastFailure;  // the last failure shown in the history, not repeated
    };
    const std::vector<Terminal>& terminals() const { return terminals_; }
    int current() const { return current_; }
    bool running() const;

    // The workstation's calendar; replaceable in tests.
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // Milliseconds on a monotonic clock, for the retries; replaceable in tests.
    std::function<qint64()> clockMs;

    // A registration workstation nobody watches: errors go to the log and the history list,
    // never to a question.
    bool unattended = false;
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
    bool databaseLost() const { return dbLost_; }

    void btnRunClick();
    void TimerTimer();
    void PetlaOdczytow();
    void Odczyt();
    void Statystyka(const QDate& date);
    bool TestConnection();

    QPushButton* btnRun() const { return btnRun_; }
    QPushButton* btnWyjscie() const { return btnWyjscie_; }
    QCheckBox* cbLog() const { return cbLog_; }
    QListWidget* history() const { return lbHistory_; }
    QComboBox* selector() const { return cbCzytnik_; }
    QLabel* dateLabel() const { return lbData_; }
    QLabel* stateLabel() const { return lbStan_; }
    QLabel* mealTitle(int meal) const { return mealTitles_[static_cast<size_t>(meal)]; }
    // Row 0 planned, 1 issued, 2 the difference; column 0 breakfasts, 1 lunches, 2 suppers.
    QLineEdit* statBox(int row, int column) const {
        return stats_[static_cast<size_t>(row * 3 + column)];
    }
    QGroupBox* servicePanels() const { return gbService_; }
    QTimer& timer() { return timer_; }
    QColor lamp() const;

    // Where the terminals' turns spent their time: on the line (the protocol's exchanges and
    // waits) and in all, with the readings taken.
    struct RunTimes {
        int readings = 0;
        qint64 turnNs = 0;
        qint64 lineNs = 0;
    };
    const RunTimes& times() const { return times_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadTerminals();
    void makeCurrent(int index);
    void runButtonClicked();
    void startRun();
    void stopRun();
    void setRunning(bool on);
    void setLamps(const QColor& colour);
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
    void addHistory(const QString& line);
    void addHistoryOnce(Terminal& t, const QString& line);
    void closePorts();
    qint64 nowMs() const;
    bool simulation() const;
    void repaintNow();
    template <class Exchange> auto onLine(Exchange&& exchange) {
        QElapsedTimer t;
        t.start();
        auto result = exchange();
        times_.lineNs += t.nsecsElapsed();
        return result;
    }

    std::vector<Terminal> terminals_;
    int current_ = -1;
    bool stopRequest_ = false;
    bool skipCounts_ = false;            // the turn ends without refreshing the counts
    bool busy_ = false;                  // a cycle or the start is going on
    bool pendingClick_ = false;          // the start/stop button was clicked meanwhile
    std::optional<PortError> testError_; // the port error of the last connection test
    bool dbLost_ = false;
    qint64 dbRetryAtMs_ = 0;
    QDate countsDate_; // the day whose counts are shown
    TRekReceive rek_;
    RunTimes times_;
    QTimer timer_;

    fb::Transaction trProc_;
    fb::Query qProc_;

    StatusLamp* lamp_ = nullptr;
    QLabel* lbData_ = nullptr;
    QLabel* lbStan_ = nullptr;
    QPushButton* btnRun_ = nullptr;
    QPushButton* btnWyjscie_ = nullptr;
    QCheckBox* cbLog_ = nullptr;
    std::array<QLabel*, 3> mealTitles_{};
    std::array<QLineEdit*, 9> stats_{};
    QListWidget* lbHistory_ = nullptr;
    QComboBox* cbCzytnik_ = nullptr;
    QGroupBox* gbService_ = nullptr;
    QDateEdit* edDate_ = nullptr;
    QTimeEdit* edTime_ = nullptr;
};

} // namespace kzm
