#include "core/Dates.h"
#include "core/Session.h"
#include "core/Win1250.h"
#include "support/QtPrint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kzm;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SessionTest : public ::testing::Test {
protected:
    QTemporaryDir home, cwd;
    Session s;
    const QDate today{2026, 12, 8};

    void init() { s.InitConfig(home.path(), today, cwd.path()); }
};

TEST_F(SessionTest, FreshProgramFolderGivesDefaultsAndFolders) {
    init();
    const QString dir = home.path() + '/';
    EXPECT_EQ(s.programDir, dir);
    for (const char* sub : {"Kopie", "Hist", "Tmp"})
        EXPECT_TRUE(QDir(dir + QLatin1String(sub)).exists()) << sub;
    EXPECT_EQ(s.version, " 2.3 [24.129]");
    EXPECT_EQ(s.designation, "JW 1000");
    EXPECT_EQ(s.logFile, dir + "Hist/H_20261208.txt");
    EXPECT_EQ(s.user, "SYSDBA");
    EXPECT_EQ(s.password, "pantrykey");
    EXPECT_EQ(s.dbPath, dir + "Baza/BazaOxle.GDB");
    EXPECT_EQ(s.workDate, today);
    EXPECT_EQ(s.connectionStatus, -1);
    EXPECT_FALSE(QFile::exists(dir + "KZM.ini")); // created by the first write only
}

TEST_F(SessionTest, WhatTheProgramFolderHoldsIsPrivateToOwnerAndGroup) {
    const QString dir = home.path() + '/';
    // A folder of an older start, open to everyone.
    QDir().mkpath(dir + "Kopie");
    QFile::setPermissions(dir + "Kopie", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    init();
    s.ini.writeString("Main", "Pass", "tajne");
    s.WriteHist("wpis");
    writeFile(s.backupDir + "BazaOxle_20261208_120000.GDB", "kopia");
    writeFile(s.tmpDir + "Rp01.csv", "dane");
    const auto others = QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    for (const QString& path :
         {dir + "Kopie", dir + "Hist", dir + "Tmp", dir + "KZM.ini", s.logFile,
          s.backupDir + "BazaOxle_20261208_120000.GDB", s.tmpDir + "Rp01.csv"}) {
        ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        EXPECT_EQ(QFile::permissions(path) & others, 0) << path.toStdString();
        EXPECT_TRUE(QFile::permissions(path) & QFileDevice::ReadGroup) << path.toStdString();
    }
}

TEST_F(SessionTest, KzmIniValuesAreRead) {
    writeFile(home.path() + "/KZM.ini",
              ToWin1250(QStringLiteral("[Main]\r\nUser=KOWALSKI\r\nPass=tajne\r\n"
                                       "[IbPths]\r\nPth0=serwer:C:\\KZM\\Baza\\Łódź.GDB\r\n")));
    init();
    EXPECT_EQ(s.user, "KOWALSKI");
    EXPECT_EQ(s.password, "tajne");
    EXPECT_EQ(s.dbPath, QStringLiteral("serwer:C:\\KZM\\Baza\\Łódź.GDB"));
}

TEST_F(SessionTest, WorkingDateFromDataPracy) {
    struct Case {
        QByteArray content;
        QDate expected; // invalid: today
    } cases[] = {
        {"05.01.2025", QDate(2025, 1, 5)},
        {"  05.01.2025 ", QDate(2025, 1, 5)},
        {"05.01.2025\r\n", ZeroDate()},
        {"05.01.2025\n", ZeroDate()},
        {"31.02.2025", ZeroDate()},
        {"2025-01-05", ZeroDate()},
        {"   ", ZeroDate()},
        {"", QDate()},
    };
    for (const Case& c : cases) {
        writeFile(cwd.path() + "/DataPracy.txt", c.content);
        init();
        EXPECT_EQ(s.workDate, c.expected.isValid() ? c.expected : today)
            << "content: " << c.content.toStdString();
    }
    QFile::remove(cwd.path() + "/DataPracy.txt");
    init();
    EXPECT_EQ(s.workDate, today);
}

TEST_F(SessionTest, HistoryLineAndStatementForms) {
    init();
    s.timeOfDay = [] { return QTime(14, 5, 9); };
    QStringList statements;
    s.historySink = [&](const QString& sql) { statements << sql; };

    s.WriteHist(QStringLiteral("Dopisana tabela KZM_IMP"));
    s.WriteHist(QStringLiteral("O'Brien zażółć"));
    EXPECT_EQ(readFile(s.logFile),
              ToWin1250(QStringLiteral("[ 2.3 [24.129]] 14:05:09: Dopisana tabela KZM_IMP\r\n"
                                       "[ 2.3 [24.129]] 14:05:09: O'Brien zażółć\r\n")));
    ASSERT_EQ(statements.size(), 2);
    EXPECT_EQ(statements[1], QStringLiteral("insert into kzm_hist (vrs,tekst,td) values(' 2.3 "
                                            "[24.129]','[ 2.3 [24.129]] 14:05:09: O\"Brien "
                                            "zażółć','')"));

    statements.clear();
    s.WriteHistDB("Start", "");
    EXPECT_EQ(statements, QStringList{"insert into kzm_hist (vrs,tekst,td) values(' 2.3 "
                                      "[24.129]','Start','')"});
}

TEST_F(SessionTest, HistoryRowIsCutWhileTheLogKeepsTheWholeLine) {
    init();
    QString sql;
    s.historySink = [&](const QString& q) { sql = q; };
    s.version = QString(25, 'v');
    const QString text(250, 'x');
    const QString detail(60, 'd');
    s.WriteHistDB(text, detail);
    EXPECT_EQ(sql, "insert into kzm_hist (vrs,tekst,td) values('" + QString(20, 'v') + "','" +
                       QString(200, 'x') + "','" + QString(50, 'd') + "')");

    s.WriteHist(text);
    EXPECT_TRUE(readFile(s.logFile).contains(text.toLatin1() + "\r\n"));
}

TEST_F(SessionTest, LogFileStaysThatOfTheStartDay) {
    s.InitConfig(home.path(), QDate(2026, 12, 31), cwd.path());
    s.timeOfDay = [] { return QTime(23, 59, 59); };
    s.WriteHist("przed");
    s.timeOfDay = [] { return QTime(0, 0, 1); }; // past midnight
    s.WriteHist("po");
    EXPECT_EQ(QDir(home.path() + "/Hist").entryList(QDir::Files), QStringList{"H_20261231.txt"});
    EXPECT_TRUE(readFile(s.logFile).endsWith("00:00:01: po\r\n"));
}

TEST_F(SessionTest, UnwritableFoldersAreIgnoredAtStart) {
    // A file where the history folder should be: the start goes on, writing fails quietly.
    writeFile(home.path() + "/Hist", "x");
    init();
    EXPECT_FALSE(QDir(home.path() + "/Hist").exists());
    QStringList statements;
    s.historySink = [&](const QString& sql) { statements << sql; };
    s.WriteHist("linia");
    EXPECT_EQ(statements.size(), 1); // the history table still gets its row
}

TEST_F(SessionTest, ErrContextIsReplacedAndTakenOnce) {
    init();
    s.SetErrContext("dm", "WriteParI", "CPAKT");
    const ErrContext e = s.TakeErrContext();
    EXPECT_EQ(e.form, "dm");
    EXPECT_EQ(e.operation, "WriteParI");
    EXPECT_EQ(e.detail, "CPAKT");
    EXPECT_TRUE(s.TakeErrContext().form.isEmpty());
}

TEST_F(SessionTest, GaugeAndCursorHooksAreOptional) {
    init();
    s.GaugeStart(7); // no gauge registered: nothing happens
    s.CursorBusy();

    struct Gauge : ProgressGauge {
        QStringList calls;
        void start(int m) override { calls << "start " + QString::number(m); }
        void step() override { calls << "step"; }
        void setPosition(int p) override { calls << "at " + QString::number(p); }
        void end() override { calls << "end"; }
    } g;
    QStringList cursor;
    s.ui.setBusyCursor = [&](bool busy) { cursor << (busy ? "busy" : "normal"); };
    s.RegisterGauge(&g);
    s.GaugeStart(3);
    s.GaugeStep();
    s.GaugeEnd();
    s.UnregisterGauge(&g);
    s.GaugeStep();
    s.CursorBusy();
    s.CursorNormal();
    EXPECT_EQ(g.calls, (QStringList{"start 3", "step", "end"}));
    EXPECT_EQ(cursor, (QStringList{"busy", "normal"}));
}

TEST(ProgramFolderTest, HomeArgumentThenEnvironmentThenExecutable) {
    const char* withHome[] = {"pelto_kzm", "--home", "/srv/kzm"};
    EXPECT_EQ(ProgramFolder(3, withHome), "/srv/kzm/");
    qputenv("KZM_HOME", "/opt/kzm");
    const char* plain[] = {"pelto_kzm"};
    EXPECT_EQ(ProgramFolder(1, plain), "/opt/kzm/");
    qunsetenv("KZM_HOME");
    EXPECT_TRUE(ProgramFolder(1, plain).endsWith("/tests/core/"));
}

TEST(ReadRegStringTest, MissingValueIsEmptyAndNothingIsWritten) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    EXPECT_EQ(ReadRegString("DefaultPrinter"), QString());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    QDir(dir.path()).mkpath("Oxle_Soft");
    writeFile(dir.path() + "/Oxle_Soft/Pelto_KZM.conf", "[General]\nDefaultPrinter=HP LaserJet\n");
    EXPECT_EQ(ReadRegString("DefaultPrinter"), "HP LaserJet");
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace
