#pragma once

#include "terminals/RegistrationRun.h"
#include "ui/FunctionWindow.h"
#include "ui/WindowHost.h"

#include <QColor>
#include <array>

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

class StatusLamp;

// The terminal window: shows the registration run, its lamp, history and the day's meal counts,
// and starts and stops it. While the run is on, closing only hides the window.
class TfmTQ200 : public FunctionWindow, private RegistrationObserver {
    Q_OBJECT
public:
    explicit TfmTQ200(WindowHost& host);
    ~TfmTQ200() override;

    static constexpr int historyLimit = RegistrationRun::historyLimit;
    static inline const QColor lampOff{0, 128, 0};
    static inline const QColor lampOn{255, 0, 0};
    static inline const QColor lampWaiting{255, 160, 0}; // the run waits for the database
    static inline const QColor titleHighlight{242, 113, 116};

    RegistrationRun& run() { return run_; }
    const std::vector<RegistrationRun::Terminal>& terminals() const { return run_.terminals(); }
    bool running() const { return run_.running(); }
    QTimer& timer() { return run_.timer(); }
    const RegistrationRun::RunTimes& times() const { return run_.times(); }
    QColor lamp() const;

    // The start/stop button's action and the timer's.
    void btnRunClick();
    void TimerTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void historyCleared() override;
    void historyAdded(const QString& line) override;
    void historyTrimmed(int keep) override;
    void lampChanged(RunLamp lamp) override;
    void runningChanged(bool running) override;
    void stateChanged(const QString& text) override;
    void countsChanged(const DayCounts& counts) override;
    void currentChanged(int index) override;
    bool askStop(const QString& question) override;
    void idle() override;

    RegistrationRun run_;

    StatusLamp* lamp_ = nullptr;
    QLabel* lbData_ = nullptr;
    QLabel* lbStan_ = nullptr;
    QPushButton* btnRun_ = nullptr;
    QCheckBox* cbLog_ = nullptr;
    std::array<QLabel*, 3> mealTitles_{};
    std::array<QLineEdit*, 9> stats_{};
    QListWidget* lbHistory_ = nullptr;
    QComboBox* cbCzytnik_ = nullptr;
    QGroupBox* gbService_ = nullptr;
    QDateEdit* edDate_ = nullptr;
};

} // namespace kzm
