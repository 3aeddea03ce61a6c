#pragma once
// Databases for tests: an embedded one in a temporary folder, and, when the test command has
// started a server, one reached through it on loopback.

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testdb {

constexpr const char* user = "SYSDBA";
constexpr const char* password = "pantrykey";

// Creates an empty database file (WIN1250, dialect 3) at `path` (a connection string).
void create(const QString& path);

// The loopback server started by the test command, if any: its host and a folder the
// server's account may write to. Empty when no server was started.
QString serverHost();
QString serverFolder();

// A fresh embedded database under a temporary folder, removed with it.
class EmbeddedDb {
public:
    EmbeddedDb();
    const QString& path() const { return path_; }
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString path_;
};

// A fresh database on the server; removed again at the end of the test.
class ServerDb {
public:
    ServerDb(); // requires serverHost() to be set
    ~ServerDb();
    const QString& path() const { return path_; }
    const QString& file() const { return file_; }

private:
    QString file_;
    QString path_;
};

} // namespace testdb

// Skips a test that needs the loopback server when none was started.
#define REQUIRE_SERVER()                                                                           \
    do {                                                                                           \
        if (testdb::serverHost().isEmpty())                                                        \
            GTEST_SKIP() << "no Firebird server (KZM_TEST_SERVER unset)";                          \
    } while (0)
