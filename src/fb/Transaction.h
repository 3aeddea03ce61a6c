#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace fb {

class Database;
class Query;

// How a transaction sees other transactions' work and meets their locks.
struct TransactionOptions {
    // Off: a snapshot of the database as it was when the transaction started. On: every
    // statement sees what other transactions committed before it ran.
    bool readCommitted = false;
    // Off: a row that another active transaction changed is refused at once (a lock conflict)
    // instead of waiting for that transaction to end.
    bool wait = true;
};

// One transaction on a database's attachment, started on demand. Ending it (commit or
// rollback) closes every query bound to it, as their cursors die with it. A transaction
// still active when destroyed is rolled back.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    Database& database() const { return db_; }

    // For the transactions started from now on; an active one keeps its own.
    void setOptions(const TransactionOptions& options) { options_ = options; }
    const TransactionOptions& options() const { return options_; }

    void start(); // throws fb::Error; an active transaction is kept
    void commit();
    void rollback();
    // Rolls back and swallows any error (used on connection loss and in destructors).
    void rollbackQuietly();
    bool inTransaction() const;

    // Runs one statement without parameters or results, starting the transaction if needed.
    void executeImmediate(const QString& sql);

    struct Impl;
    Impl& impl() const { return *d_; }

private:
    friend class Query;
    friend class Database;
    void bind(Query* q);
    void unbind(Query* q);
    void closeQueries();
    void forget(); // the attachment went away under us

    Database& db_;
    std::unique_ptr<Impl> d_;
    std::vector<Query*> queries_;
    TransactionOptions options_;
};

// Starts a transaction for a scope and rolls it back on leaving unless commit() ran.
class TransactionGuard {
public:
    explicit TransactionGuard(Transaction& t) : t_(t) { t_.start(); }
    ~TransactionGuard() {
        if (!committed_)
            t_.rollbackQuietly();
    }
    TransactionGuard(const TransactionGuard&) = delete;
    TransactionGuard& operator=(const TransactionGuard&) = delete;
    void commit() {
        t_.commit();
        committed_ = true;
    }

private:
    Transaction& t_;
    bool committed_ = false;
};

} // namespace fb
