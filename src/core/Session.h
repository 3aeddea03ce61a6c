#pragma once

#include "core/IniFile.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>

namespace kzm {

// The fixed number and date formats of the program.
namespace Formats {
inline constexpr QChar decimalSeparator = u'.';
inline constexpr QChar dateSeparator = u'.';
inline constexpr QChar thousandSeparator = u' ';
inline constexpr QChar timeSeparator = u':';
inline const QString currency{};
inline const QString shortDate = QStringLiteral("dd.MM.yyyy");
} // namespace Formats

// A progress gauge that a window registers for the length of a long operation.
class ProgressGauge {
public:
    virtual ~ProgressGauge() = default;
    virtual void start(int maximum) = 0; // maximum set, position 0, shown
    virtual void step() = 0;             // position + 1
    virtual void setPosition(int position) = 0;
    virtual void end() = 0; // hidden
};

// What the windows lend to the layers below: the busy cursor, the main window's information
// label, a message box. Each is optional; without it the operation does nothing.
struct UiHooks {
    std::function<void(bool busy)> setBusyCursor;
    std::function<void(const QString& text)> showInfo; // the information label
    std::function<void(bool visible)> setInfoVisible;
    std::function<void(const QString& text)> showMessage;
    std::function<void()> repaint; // let the user interface repaint
};

struct ErrContext {
    QString form;
    QString operation;
    QString detail;
};

// The process-wide configuration and the operations on it that exist before any window:
// folders, KZM.ini, the working date, the daily log and the history table entries.
class Session {
public:
    // Set by InitConfig.
    QString designation; // installation designation
    QString programDir;  // with a trailing "/"
    QString helpDir;     // folder of help pages named by help context number
    QString backupDir;   // Kopie/
    QString histDir;     // Hist/
    QString tmpDir;      // Tmp/
    QString version;     // with its leading blank
    QString logFile;     // fixed at start
    bool timePrefix = false;
    IniFile ini; // KZM.ini in the program folder
    QString user;
    QString password;
    QString dbPath;
    QDate workDate;
    QStringList backupList; // filled by the backup window

    // Shared values set by the login and the connection.
    int connectionStatus = -1;
    bool localServer = false;
    bool terminate = false;

    ErrContext errContext;
    UiHooks ui;

    // Runs the statement that records a history row; errors are the runner's to swallow.
    std::function<void(const QString& sql)> historySink;

    // Sees every log line as it is written (the admin tool prints them).
    std::function<void(const QString& line)> onLogLine;

    // The clock of log lines; replaceable in tests.
    std::function<QTime()> timeOfDay = [] { return QTime::currentTime(); };

    // Start-up configuration. `today` fixes the log file name and the default working date;
    // DataPracy.txt and run.bat are looked up in `currentDir`.
    void InitConfig(const QString& programFolder, const QDate& today = QDate::currentDate(),
                    const QString& currentDir = QStringLiteral("."));

    void WriteHist(const QString& text);
    void WriteHistDB(const QString& text, const QString& detail);
    // The statement that WriteHistDB runs.
    QString HistStatement(const QString& text, const QString& detail) const;
    // The log line that WriteHist writes (without its line end).
    QString HistLine(const QString& text) const;

    void SetErrContext(const QString& form, const QString& operation, const QString& detail);
    ErrContext TakeErrContext(); // read and clear, as the error handler does

    void RegisterGauge(ProgressGauge* gauge) { gauge_ = gauge; }
    // The gauge of the main window, which shows the progress of long work when no window
    // registered a gauge of its own.
    void SetMainGauge(ProgressGauge* gauge) { mainGauge_ = gauge; }
    void UnregisterGauge(ProgressGauge* gauge) {
        if (gauge_ == gauge)
            gauge_ = nullptr;
    }
    void GaugeStart(int maximum);
    void GaugeStep();
    void GaugeEnd();
    ProgressGauge* gauge() const { return gauge_ ? gauge_ : mainGauge_; }
    void CursorBusy();
    void CursorNormal();
    void Repaint();
    void ShowMessage(const QString& text);

    // The help page of a help context, or empty when the help folder has none.
    QString HelpPage(int context) const;

private:
    ProgressGauge* gauge_ = nullptr;
    ProgressGauge* mainGauge_ = nullptr;
};

// The busy cursor for the length of a scope.
class BusyCursor {
public:
    explicit BusyCursor(Session& s) : s_(s) { s_.CursorBusy(); }
    ~BusyCursor() { s_.CursorNormal(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Session& s_;
};

// The program folder: `--home DIR` among the arguments, else $KZM_HOME, else the folder of
// the executable. Always with a trailing "/".
QString ProgramFolder(int argc, const char* const* argv);

// The working date held in a DataPracy.txt content: exactly one dd.MM.yyyy date with blanks
// around it allowed; anything else gives the zero date.
QDate WorkDateFromText(const QString& content);

// A string value of the user's settings (the default printer), read only; empty if absent.
QString ReadRegString(const QString& name);

} // namespace kzm
