#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace kzm {

class Tdm;
class ProgressGauge;
class Session;

// A database path the program opens as the administrator without asking: one on this machine's
// server ("127.0." anywhere in it) or one without a host, which the embedded engine opens.
bool IsLocalDatabase(const QString& path);
// Whether a database is at the session's path: the file for a local path, an attachment
// through the server otherwise.
bool DatabaseExists(const Session& s);
// Copies a local database file into the copies folder as NAME_yyyyMMdd_hhmmss.EXT before it
// is replaced; the copy's path, or empty when it could not be made.
QString KeepDatabaseCopy(const QString& file, const QString& backupDir, const QDateTime& at);

// The first line of a trigger or procedure script as it is sent to refresh an existing
// object: "ALTER TRIGGER name" for a trigger; for a procedure the first "CREATE" becomes
// "ALTER" unless the line already says ALTER ("CREATE OR ALTER" goes unchanged).
QString RefreshFirstLine(const QString& name, const QString& firstLine);

// The schema engine: creates a database from the script catalogue, checks and completes an
// existing one, and runs the data conversions of older versions.
class Schema {
public:
    explicit Schema(Tdm& dm);

    // Reloads the global parameters at the end of a check.
    std::function<void()> reloadParams;

    // Runs ListaScr chunk by chunk, each chunk in a transaction of its own; a failing chunk
    // is reported and the run goes on. False if any chunk failed.
    bool RunScript(const QString& name, bool silent);
    // Loads the named script into ListaScr.
    void LoadScript(const QString& name);

    int WymianaProc(const QString& name);   // 0 failed, 1 altered, 2 created
    int DopiszTabele(const QString& table); // 1 exists, 0 created, 255 failed
    void DopiszPola(const QString& scriptName);
    void DopiszIndeksy(const QString& scriptName, bool recreate);

    // Creates a new database at the session's path (mode 1, the only one); `label` shows the
    // name of each script as it runs.
    void ZakladanieBazy(int mode, const std::function<void(const QString&)>& label);

    void TestBazy(ProgressGauge* gauge, bool recreateIndexes);
    void TestStru(bool recreateIndexes);
    void TestGen();
    void TestUdf();
    void TestTrig();
    void TestProc();
    void TestGranty();
    void InneTestyBefore();
    void InneTestyAfter();
    // The rows a canteen needs before its first day: places, correction codes, rates, print
    // groups, the water drink and the global parameters. Each row goes in only when its key is
    // missing, all in one transaction, so an existing database keeps what it has. The shared
    // key generator is moved past 0, which means "none" wherever such a key is referred to.
    bool DaneStartowe(bool silent);

    static QString TestProcText(int result);

    // Chunks that failed since this engine was made (creation reports them only in the log).
    int failedChunks() const { return failedChunks_; }

private:
    Tdm& dm_;
    int failedChunks_ = 0;
};

} // namespace kzm
