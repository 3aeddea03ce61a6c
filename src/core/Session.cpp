#include "core/Session.h"

#include "core/Dates.h"
#include "core/Files.h"
#include "core/Literals.h"
#include "core/Win1250.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace kzm {

namespace {

QString withSlash(QString dir) {
    dir.replace('\\', '/');
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

} // namespace

QString ProgramFolder(int argc, const char* const* argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (QString::fromLocal8Bit(argv[i]) == QLatin1String("--home"))
            return withSlash(QDir(QString::fromLocal8Bit(argv[i + 1])).absolutePath());
    const QString env = qEnvironmentVariable("KZM_HOME");
    if (!env.isEmpty())
        return withSlash(QDir(env).absolutePath());
    // The executable's folder, before any application object exists.
    QFileInfo exe(QStringLiteral("/proc/self/exe"));
    if (exe.exists())
        return withSlash(QFileInfo(exe.canonicalFilePath()).absolutePath());
    if (argc > 0)
        return withSlash(QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath());
    return withSlash(QDir::currentPath());
}

QDate WorkDateFromText(const QString& content) {
    int from = 0;
    int to = static_cast<int>(content.size());
    while (from < to && content[from] == ' ')
        ++from;
    while (to > from && content[to - 1] == ' ')
        --to;
    return DateFromText(content.mid(from, to - from));
}

QString ReadRegString(const QString& name) {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                             QStringLiteral("Oxle_Soft"), QStringLiteral("Pelto_KZM"));
    return settings.value(name).toString();
}

void Session::InitConfig(const QString& programFolder, const QDate& today,
                         const QString& currentDir) {
    designation = QStringLiteral("JW 1000");
    programDir = withSlash(programFolder);
    helpDir = programDir + QStringLiteral("Pomoc/");
    backupDir = programDir + QStringLiteral("Kopie/");
    histDir = programDir + QStringLiteral("Hist/");
    tmpDir = programDir + QStringLiteral("Tmp/");
    // A folder that cannot be made is noticed where something is written into it.
    UsePrivateFileModes();
    for (const QString& folder : {backupDir, histDir, tmpDir}) {
        ForceDir(folder);
        MakePrivate(folder);
    }

    timePrefix = true;
    version = QStringLiteral(" 2.3 [24.129]");
    logFile = histDir + QStringLiteral("H_") + DateKey(today) + QStringLiteral(".txt");

    ini.setPath(programDir + QStringLiteral("KZM.ini"));
    MakePrivate(ini.path());
    user = ini.readString(QStringLiteral("Main"), QStringLiteral("User"), QStringLiteral("SYSDBA"));
    password =
        ini.readString(QStringLiteral("Main"), QStringLiteral("Pass"), QStringLiteral("pantrykey"));
    dbPath = ini.readString(QStringLiteral("IbPths"), QStringLiteral("Pth0"),
                            programDir + QStringLiteral("Baza/BazaOxle.GDB"));

    const QString workFile = QDir(currentDir).filePath(QStringLiteral("DataPracy.txt"));
    const QString content = ReadWholeFile(workFile);
    workDate = content.isEmpty() ? today : WorkDateFromText(content);

    backupList.clear();
    errContext = {};
    connectionStatus = -1;
    terminate = false;
}

QString Session::HistLine(const QString& text) const {
    QString line = text;
    if (timePrefix)
        line = timeOfDay().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(": ") + line;
    if (!version.isEmpty())
        line = '[' + version + QStringLiteral("] ") + line;
    return line;
}

void Session::WriteHist(const QString& text) {
    const QString line = HistLine(text);
    QFile f(logFile);
    if (f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        f.write(ToWin1250(line + QStringLiteral("\r\n")));
        f.flush();
        f.close();
    }
    if (onLogLine)
        onLogLine(line);
    WriteHistDB(line, QString());
}

QString Session::HistStatement(const QString& text, const QString& detail) const {
    return QStringLiteral("insert into kzm_hist (vrs,tekst,td) values(") +
           SqlStr(version.left(20), false) + SqlStr(text.left(200), false) +
           SqlStr(detail.left(50)) + QStringLiteral(")");
}

void Session::WriteHistDB(const QString& text, const QString& detail) {
    if (historySink)
        historySink(HistStatement(text, detail));
}

void Session::SetErrContext(const QString& form, const QString& operation, const QString& detail) {
    errContext = {form, operation, detail};
}

ErrContext Session::TakeErrContext() {
    return std::exchange(errContext, ErrContext{});
}

void Session::GaugeStart(int maximum) {
    if (ProgressGauge* g = gauge())
        g->start(maximum);
}

void Session::GaugeStep() {
    if (ProgressGauge* g = gauge())
        g->step();
}

void Session::GaugeEnd() {
    if (ProgressGauge* g = gauge()) {
        g->end();
        Repaint();
    }
}

void Session::CursorBusy() {
    if (ui.setBusyCursor)
        ui.setBusyCursor(true);
    Repaint();
}

void Session::CursorNormal() {
    if (ui.setBusyCursor)
        ui.setBusyCursor(false);
    Repaint();
}

void Session::Repaint() {
    if (ui.repaint)
        ui.repaint();
}

void Session::ShowMessage(const QString& text) {
    if (ui.showMessage)
        ui.showMessage(text);
}

QString Session::HelpPage(int context) const {
    const QString page = helpDir + QString::number(context) + QStringLiteral(".html");
    return QFile::exists(page) ? page : QString();
}

} // namespace kzm
