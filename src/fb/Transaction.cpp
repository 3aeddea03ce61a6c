#include "fb/Transaction.h"

#include "core/Win1250.h"
#include "fb/Api.h"
#include "fb/Query.h"

#include <algorithm>
#include <vector>

namespace fb {

using namespace detail;

Transaction::Transaction(Database& db) : db_(db), d_(std::make_unique<Impl>()) {
    db_.attach(this);
}

Transaction::~Transaction() {
    rollbackQuietly();
    for (Query* q : std::vector<Query*>(queries_))
        q->transactionGone();
    db_.detach(this);
}

bool Transaction::inTransaction() const {
    return static_cast<bool>(d_->tra);
}

void Transaction::start() {
    if (d_->tra)
        return;
    if (!db_.connected())
        throw Error(0, QStringLiteral("Brak połączenia z bazą danych"));
    Status st;
    if (!options_.readCommitted && options_.wait) {
        // The server's default: a snapshot that waits for locks.
        call([&] { d_->tra.reset(db_.impl().att->startTransaction(&st, 0, nullptr)); });
        return;
    }
    std::vector<unsigned char> tpb{isc_tpb_version3, isc_tpb_write};
    if (options_.readCommitted) {
        tpb.push_back(isc_tpb_read_committed);
        tpb.push_back(isc_tpb_rec_version);
    } else {
        tpb.push_back(isc_tpb_concurrency);
    }
    tpb.push_back(options_.wait ? isc_tpb_wait : isc_tpb_nowait);
    call([&] {
        d_->tra.reset(
            db_.impl().att->startTransaction(&st, static_cast<unsigned>(tpb.size()), tpb.data()));
    });
}

void Transaction::commit() {
    if (!d_->tra)
        return;
    closeQueries();
    Status st;
    call([&] { d_->tra->commit(&st); });
    d_->tra.release(); // commit released the interface
}

void Transaction::rollback() {
    if (!d_->tra)
        return;
    closeQueries();
    Status st;
    call([&] { d_->tra->rollback(&st); });
    d_->tra.release();
}

void Transaction::rollbackQuietly() {
    try {
        rollback();
    } catch (const Error&) {
        d_->tra.reset();
    }
}

void Transaction::executeImmediate(const QString& sql) {
    start();
    const QByteArray text = kzm::ToWin1250(sql);
    Status st;
    call([&] {
        db_.impl().att->execute(&st, d_->tra.get(), static_cast<unsigned>(text.size()),
                                text.constData(), db_.params().dialect, nullptr, nullptr, nullptr,
                                nullptr);
    });
}

void Transaction::bind(Query* q) {
    queries_.push_back(q);
}

void Transaction::unbind(Query* q) {
    queries_.erase(std::remove(queries_.begin(), queries_.end(), q), queries_.end());
}

void Transaction::closeQueries() {
    for (Query* q : std::vector<Query*>(queries_))
        q->close();
}

void Transaction::forget() {
    for (Query* q : std::vector<Query*>(queries_))
        q->connectionGone();
    d_->tra.reset();
}

} // namespace fb
