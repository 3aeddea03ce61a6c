#pragma once

#include "planning/Period.h"

#include <QString>

namespace fb {
class Database;
class Transaction;
} // namespace fb

namespace kzm {

class Session;

// What a run of the plan procedure tells the one who started it.
class PlanRunObserver {
public:
    virtual ~PlanRunObserver() = default;
    // Another workstation is making or refreshing plan rows: the run waits for it to finish.
    // Called between tries, about every fifth of a second; false gives the run up.
    virtual bool waiting();
    // The day is about to be processed (index from 0 of count).
    virtual void day(const QDate& /*day*/, int /*index*/, int /*count*/) {}
};

// The lock that lets one workstation at a time make or refresh plan rows. The plan procedure
// adds a row only for a person who has none that day, but two runs at once do not see each
// other's uncommitted rows and would both add one, and the day would be paid twice. A run takes
// the lock before its transaction starts and gives it up after that transaction ended, so the
// next run starts after the rows of the last one are committed and sees them. The lock is a row
// of PARAMETRY (made when missing) updated in a transaction of its own that never waits: while
// another workstation holds it, the update is refused at once and the run tries again.
class PlanLock {
public:
    explicit PlanLock(fb::Database& db);
    ~PlanLock();
    PlanLock(const PlanLock&) = delete;
    PlanLock& operator=(const PlanLock&) = delete;

    // One try: true when the lock is now held; false while another workstation holds it.
    // Other database errors reach the caller.
    bool tryTake();
    // Waits for the lock, asking the observer between tries; false when it gave up.
    bool take(PlanRunObserver* observer);
    void release();
    bool held() const { return held_; }

private:
    struct Impl;
    Impl* d_;
    bool held_ = false;
};

// How a run of the plan procedure ended.
struct PlanRunResult {
    bool ok = true;
    QString error; // the server's text, or why the run did not start
    QDate day;     // the day at which it failed; null when it did not reach one
};

// Runs PKZM_OPEN_PLAN_2 for each day of the period, in order, in the transaction given, and
// commits after the last day: with `refresh` off every person without a row for the day gets
// one, with it on the existing rows also take the persons' current data. The rows of every
// person of every unit are made. The plan lock is held for the length of the run. Progress goes
// to the session's gauge and the observer, one step a day, with the user interface repainted
// between days. On an error the transaction is rolled back: no day of the run stays.
PlanRunResult RunPlanProcedure(Session& s, fb::Transaction& tr, const Period& days, bool refresh,
                               PlanRunObserver* observer = nullptr);

// The text that a run that could not wait for the lock reports.
QString PlanLockedText();

} // namespace kzm
