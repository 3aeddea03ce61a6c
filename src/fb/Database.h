#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace fb {

class Transaction;

// A connection string is "host:file" for a server, or a bare file path for the embedded
// engine. A one-letter prefix ("C:\...") is a drive, not a host; "\" separators are
// accepted and sent as "/".
struct DatabasePath {
    QString host; // empty for the embedded engine
    QString file;

    static DatabasePath parse(const QString& connectionString);
    QString connectionString() const; // what the client library attaches to
};

struct ConnectParams {
    ConnectParams() = default;
    ConnectParams(QString path_, QString user_, QString password_, QString role_ = {})
        : path(std::move(path_)), user(std::move(user_)), password(std::move(password_)),
          role(std::move(role_)) {}

    QString path; // connection string as the user gives it
    QString user;
    QString password;
    QString role;
    QString charset = QStringLiteral("WIN1250");
    int dialect = 3;
    int pageBuffers = 0; // pages this attachment caches; 0 leaves the database's own setting
};

// One attachment to a database. Transactions register themselves with it so that a
// disconnect can end them first.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Attaches with exactly these parameters; throws fb::Error. An open attachment is closed
    // first.
    void connect(const ConnectParams& params);
    // Rolls back every open transaction and detaches; never throws.
    void disconnect();
    bool connected() const;
    const ConnectParams& params() const { return params_; }

    // Drops the attached database (the attachment ends with it).
    void dropDatabase();

    // Runs a "CREATE DATABASE '...' ..." statement and detaches from the new database.
    static void createDatabase(const QString& createStatement, int dialect = 3);

    struct Impl;
    Impl& impl() const { return *d_; }

private:
    friend class Transaction;
    void attach(Transaction* t);
    void detach(Transaction* t);
    void endTransactions();

    std::unique_ptr<Impl> d_;
    ConnectParams params_;
    std::vector<Transaction*> transactions_;
};

} // namespace fb
