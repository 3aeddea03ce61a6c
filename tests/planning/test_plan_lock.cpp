// Two workstations making the plan of the same days at once: the plan lock lets one run at a
// time, and the run that waited starts its transaction after the other committed, so nobody
// gets two rows for one day. Each workstation is an attachment of its own to the same file.

#include "PlanTest.h"

#include "core/Session.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "planning/PlanGeneration.h"

#include <QThread>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace kzm;
using planning::D;

namespace {

class PlanLockTest : public planning::PlanTest {
protected:
    // Another workstation's attachment to the same database.
    void Connect(fb::Database& db) { ASSERT_NO_THROW(db.connect({s.dbPath, s.user, s.password})); }
    // PKZM_OPEN_PLAN_2 for each day in the transaction, as a run does it; not committed.
    static void OpenDays(fb::Transaction& tr, const Period& days) {
        fb::Query q(tr);
        q.setSql(QStringLiteral("execute procedure PKZM_OPEN_PLAN_2 :dzien, 0"));
        for (QDate d = days.od; d <= days.dd; d = d.addDays(1)) {
            q.setParam(QStringLiteral("dzien"), d);
            q.execSql();
        }
    }
    // "NR_OPER|DATA|count" of every person's day that has more than one row.
    QStringList Duplicates() {
        return Rows(QStringLiteral(
            "select NR_OPER, DATA, count(*) from KZM_DANE group by 1, 2 having count(*) > 1"));
    }
    int Persons() { return Int(QStringLiteral("select count(*) from KZM_KART")); }
    int PlanRows() { return Int(QStringLiteral("select count(*) from KZM_DANE")); }
};

// An observer whose waiting() runs the action given and says whether to go on waiting.
class Waiter : public PlanRunObserver {
public:
    explicit Waiter(std::function<bool(int call)> onWait) : onWait_(std::move(onWait)) {}
    bool waiting() override { return onWait_(++calls); }
    int calls = 0;

private:
    std::function<bool(int)> onWait_;
};

TEST_F(PlanLockTest, ARunThatWaitedSeesTheRowsOfTheRunBeforeIt) {
    const Period days{D("01.03.2025"), D("10.03.2025")};
    fb::Database other;
    Connect(other);
    ASSERT_FALSE(HasFatalFailure());

    // Workstation A holds the lock and has its generation transaction open.
    PlanLock lockA(other);
    ASSERT_TRUE(lockA.tryTake());
    fb::Transaction trA(other);
    trA.start();

    // B's transaction already sees the database as it is now, before A's rows: the run must
    // not keep that view once it has waited.
    fb::Transaction trB(dm.IBBaza);
    {
        fb::Query q(trB);
        q.setSql(QStringLiteral("select count(*) from KZM_DANE"));
        q.open();
        ASSERT_EQ(q.field(0).asInteger(), 0);
    }
    ASSERT_TRUE(trB.inTransaction());

    // While B waits, A makes the days, commits and gives the lock up.
    Waiter waiter([&](int call) {
        if (call == 1) {
            OpenDays(trA, days);
            trA.commit();
            lockA.release();
        }
        return call < 50;
    });
    const PlanRunResult r = RunPlanProcedure(s, trB, days, false, &waiter);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(waiter.calls, 1) << "B waits once, while A holds the lock, and not after";
    EXPECT_EQ(Duplicates(), QStringList());
    EXPECT_EQ(PlanRows(), Persons() * 10);
}

TEST_F(PlanLockTest, ARunThatStopsWaitingWritesNothingAndTheLockStaysUsable) {
    const Period days{D("01.03.2025"), D("03.03.2025")};
    fb::Database other;
    Connect(other);
    ASSERT_FALSE(HasFatalFailure());
    PlanLock lockA(other);
    ASSERT_TRUE(lockA.tryTake());

    // The window's path: the run gives up at the first wait and the window reports it.
    Waiter giveUp([](int) { return false; });
    const ListResult r = plan.makePlan(days, false, unit1, &giveUp);
    EXPECT_EQ(r.kind, ListResult::Kind::Failed);
    EXPECT_EQ(r.text, PlanLockedText());
    EXPECT_EQ(giveUp.calls, 1);
    EXPECT_EQ(PlanRows(), 0);

    // A second lock on A's attachment is refused too: the row lock, not the attachment, counts.
    PlanLock second(other);
    EXPECT_FALSE(second.tryTake());

    // Once A lets go, the same window makes the plan without waiting.
    lockA.release();
    Waiter never([](int) {
        ADD_FAILURE() << "waited for a lock nobody holds";
        return false;
    });
    ASSERT_TRUE(plan.makePlan(days, false, unit1, &never).ok());
    EXPECT_EQ(PlanRows(), Persons() * 3);
    EXPECT_TRUE(second.tryTake()) << "the window's run gave the lock up when it ended";
}

TEST_F(PlanLockTest, TwoThreadsMakingTheSameDaysAtOnceGiveEachPersonOneRowADay) {
    // A few hundred more persons, so that a run takes long enough to be overlapped.
    fb::Transaction fill(dm.IBBaza);
    fill.executeImmediate(
        QStringLiteral(
            "execute block as declare n integer = 1000; begin while (n < 1300) do begin "
            "insert into KZM_KART (NR_OPER, NAZWISKO, IDSTAWKAW) values (:n, 'OSOBA ' || :n, 990); "
            "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, OD_KIEDY, IDSTAWKA) "
            "values (:n, %1, '01.01.2025', 20); n = n + 1; end end")
            .arg(unit1));
    fill.commit();
    const Period days{D("01.03.2025"), D("10.03.2025")};

    // Whichever thread gets the lock first holds its first day until the other has found the
    // lock taken, so the two runs surely meet; the other then waits its turn.
    std::atomic<int> waits{0};
    std::atomic<int> started{0};
    struct Observer : PlanRunObserver {
        std::atomic<int>* waits;
        bool waiting() override {
            ++*waits;
            QThread::msleep(10);
            return true;
        }
        void day(const QDate&, int index, int) override {
            if (index != 0)
                return;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (*waits == 0 && std::chrono::steady_clock::now() < until)
                QThread::msleep(1);
        }
    };
    PlanRunResult results[2];
    const auto run = [&](int i) {
        try {
            Session session;
            fb::Database db;
            db.connect({s.dbPath, s.user, s.password});
            fb::Transaction tr(db);
            Observer o;
            o.waits = &waits;
            ++started;
            while (started < 2)
                std::this_thread::yield();
            results[i] = RunPlanProcedure(session, tr, days, false, &o);
        } catch (const std::exception& e) {
            results[i].ok = false;
            results[i].error = QString::fromLocal8Bit(e.what());
        }
    };
    std::thread first(run, 0);
    std::thread second(run, 1);
    first.join();
    second.join();

    for (const PlanRunResult& r : results)
        EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_GT(waits.load(), 0) << "the runs did not meet";
    EXPECT_EQ(Duplicates(), QStringList());
    EXPECT_EQ(PlanRows(), Persons() * 10);
    EXPECT_EQ(Persons(), 304);
}

} // namespace
