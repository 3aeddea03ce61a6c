#include "planning/PlanGeneration.h"

#include "core/Session.h"
#include "fb/Database.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QThread>

namespace kzm {

namespace {

const QString lockWhere =
    QStringLiteral(" where LOKALIZACJA='GLOBAL' and SEKCJA='BLOKADY' and NAZWA='PLAN'");

bool IsLockConflict(const fb::Error& e) {
    return e.has(fb::isc::lock_conflict) || e.has(fb::isc::update_conflict) ||
           e.has(fb::isc::deadlock);
}

} // namespace

bool PlanRunObserver::waiting() {
    QThread::msleep(200);
    return true;
}

QString PlanLockedText() {
    return QStringLiteral("Plan tworzy teraz inne stanowisko. Spróbuj ponownie, gdy skończy.");
}

struct PlanLock::Impl {
    explicit Impl(fb::Database& db) : tr(db), make(db) {
        tr.setOptions({.readCommitted = true, .wait = false});
        make.setOptions({.readCommitted = true, .wait = false});
    }
    fb::Transaction tr;   // holds the lock row until released
    fb::Transaction make; // makes the row once
};

PlanLock::PlanLock(fb::Database& db) : d_(new Impl(db)) {}

PlanLock::~PlanLock() {
    release();
    delete d_;
}

bool PlanLock::tryTake() {
    if (held_)
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            fb::Query q(d_->tr);
            q.setSql(QStringLiteral("update PARAMETRY set PINTEGER=CURRENT_CONNECTION, "
                                    "PDATA=CURRENT_DATE, PTIME=CURRENT_TIME") +
                     lockWhere);
            q.execSql();
            if (q.rowsAffected() > 0) {
                held_ = true;
                return true;
            }
        } catch (const fb::Error& e) {
            d_->tr.rollbackQuietly();
            if (IsLockConflict(e))
                return false;
            throw;
        }
        d_->tr.rollbackQuietly();
        // The first run on this database makes the row; of two first runs one makes it.
        try {
            fb::TransactionGuard guard(d_->make);
            d_->make.executeImmediate(
                QStringLiteral("insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PINTEGER) "
                               "values ('GLOBAL', 'BLOKADY', 'PLAN', 0)"));
            guard.commit();
        } catch (const fb::Error& e) {
            if (!e.has(fb::isc::unique_key) && !e.has(fb::isc::no_dup) && !IsLockConflict(e))
                throw;
        }
    }
    return false;
}

bool PlanLock::take(PlanRunObserver* observer) {
    PlanRunObserver pause;
    while (!tryTake())
        if (!(observer ? observer : &pause)->waiting())
            return false;
    return true;
}

void PlanLock::release() {
    d_->tr.rollbackQuietly();
    held_ = false;
}

PlanRunResult RunPlanProcedure(Session& s, fb::Transaction& tr, const Period& days, bool refresh,
                               PlanRunObserver* observer) {
    PlanRunResult result;
    const int count = static_cast<int>(days.od.daysTo(days.dd)) + 1;
    if (count <= 0)
        return result;
    PlanLock lock(tr.database());
    QDate day;
    try {
        if (!lock.take(observer)) {
            result.ok = false;
            result.error = PlanLockedText();
            return result;
        }
        // The transaction starts once the lock is held, so it sees the rows of the run that
        // held it before.
        tr.rollback();
        fb::TransactionGuard guard(tr);
        fb::Query q(tr);
        q.setSql(QStringLiteral("execute procedure PKZM_OPEN_PLAN_2 :dzien, :modyfikacja"));
        q.prepare();
        s.GaugeStart(count);
        for (int i = 0; i < count; ++i) {
            day = days.od.addDays(i);
            if (observer)
                observer->day(day, i, count);
            q.setParam(QStringLiteral("dzien"), day);
            q.setParam(QStringLiteral("modyfikacja"), refresh ? 1 : 0);
            q.execSql();
            s.GaugeStep();
            s.Repaint();
        }
        q.close();
        guard.commit();
    } catch (const fb::Error& e) {
        result.ok = false;
        result.error = e.text();
        result.day = day;
    }
    s.GaugeEnd();
    return result;
}

} // namespace kzm
