#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace fb {

class Database;
class Query;

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
