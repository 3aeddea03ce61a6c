// Registration of one card reading (PKZM_RWP_WRIT_ODCZYT_22) in a database of realistic size:
// a few thousand persons with a year of plan rows and five million stored readings (or as many
// as KZM_BENCH_READINGS says), then calls made the way the registration loop makes them, one
// reading per call and transaction, and the same readings offered a second time.

#include "BenchDb.h"
#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/CatalogueDb.h"
#include "support/TestDb.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int persons = 3000;
constexpr int units = 20;
constexpr int days = 365;
constexpr int calls = 5000;
const QDate firstDay(2026, 1, 1);
const QDate callDay = firstDay.addDays(days); // the days after the stored year

// The card of person i (operational numbers 1000 onwards).
QString card(int i) {
    return QStringLiteral("%1").arg(123000 + i, 10, 10, QLatin1Char('0'));
}

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

// The stored readings: five million, or the number in KZM_BENCH_READINGS.
int storedReadings() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("KZM_BENCH_READINGS", &ok);
    return ok && n > 0 ? n : 5000000;
}

void fill(fb::Database& db, int readings) {
    fb::Transaction tr(db);
    QElapsedTimer t;
    t.start();
    tr.executeImmediate(
        QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
                       "WHILE (I < %1) DO BEGIN "
                       "INSERT INTO KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) VALUES (:I + 1, 0, "
                       "'Jednostka ' || (:I + 1)); I = I + 1; END END")
            .arg(units));
    tr.executeImmediate(
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE I INTEGER = 0; DECLARE U INTEGER; BEGIN "
            "WHILE (I < %1) DO BEGIN "
            "INSERT INTO KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, IDJEDN, IDSTAWKA, "
            "IDSTAWKAW, NAZWISKO) VALUES (1000 + :I, :I, LPAD(123000 + :I, 10, '0'), 1, 0, 20, "
            "990, 'Osoba ' || :I); "
            "SELECT ID FROM KZM_JEDNOSTKI WHERE NUMER = MOD(:I, %2) + 1 INTO :U; "
            "INSERT INTO KZM_PRZYDZIAL (NR_OPER, IDJEDN, OD_KIEDY, IDSTAWKA) VALUES (1000 + :I, "
            ":U, '%3', 20); I = I + 1; END END")
            .arg(persons)
            .arg(units)
            .arg(firstDay.addDays(-30).toString(QStringLiteral("dd.MM.yyyy"))));
    tr.commit();
    // A plan row per person and day, the stored year and the two days of calls; about one day in
    // ten without breakfast, one in seven without lunch, one in five without supper.
    tr.executeImmediate(
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE D INTEGER = 0; DECLARE I INTEGER; BEGIN "
            "WHILE (D <= %1 + 1) DO BEGIN I = 0; "
            "WHILE (I < %2) DO BEGIN "
            "INSERT INTO KZM_DANE (DATA, IDJEDN, GRUPA, MIEJSCE, NR_OPER, NR_IDENT, IDZDARZ, SN, "
            "OB, KO, WODA, POPRAWKA, S5, IDPOPR) VALUES (DATEADD(:D DAY TO DATE '%3'), 0, 0, 0, "
            "1000 + :I, LPAD(123000 + :I, 10, '0'), 1, IIF(MOD(:I + :D, 10) = 0, 0, 1), "
            "IIF(MOD(:I + :D, 7) = 0, 0, 1), IIF(MOD(:I + :D, 5) = 0, 0, 1), 1, 0, 0, 0); "
            "I = I + 1; END D = D + 1; END END")
            .arg(days)
            .arg(persons)
            .arg(firstDay.toString(Qt::ISODate)));
    tr.commit();
    std::printf("registration_fill_plan %.0f ms\n", ms(t));

    // A year of readings: three meals a day, one reading in thirty an unknown card, one in
    // twelve a repeat of the reading before it.
    t.restart();
    tr.executeImmediate(
        QStringLiteral(
            "EXECUTE BLOCK AS DECLARE R INTEGER = 0; DECLARE P INTEGER; DECLARE M INTEGER; "
            "DECLARE D DATE; DECLARE C VARCHAR(14); DECLARE O INTEGER; DECLARE T TIME; "
            "BEGIN WHILE (R < %1) DO BEGIN "
            "D = DATEADD(MOD(R / %2, %3) DAY TO DATE '%4'); "
            "M = MOD(R / 977, 3) + 1; "
            "IF (MOD(R, 12) <> 0 OR R = 0) THEN P = MOD(R * 7919, %5); "
            "IF (MOD(R, 30) = 0) THEN BEGIN C = '99' || LPAD(R, 8, '0'); O = -1; END "
            "ELSE BEGIN C = LPAD(123000 + P, 10, '0'); O = 1000 + P; END "
            "T = DATEADD(MOD(R, 7200) SECOND TO "
            "IIF(M = 1, TIME '06:30:00', IIF(M = 2, TIME '11:30:00', TIME '17:00:00'))); "
            "INSERT INTO KZM_RWP (ROKMC, NR_OPER, NR_IDENT, DATA, CZAS, RDPOS, WSKW, SKAD) "
            "VALUES (EXTRACT(YEAR FROM :D) * 100 + EXTRACT(MONTH FROM :D), :O, :C, :D, :T, :M, "
            "IIF(:O = -1, 0, 1), '01' || LPAD(EXTRACT(DAY FROM :D), 6, '0')); "
            "R = R + 1; END END")
            .arg(readings)
            .arg((readings + days - 1) / days)
            .arg(days)
            .arg(firstDay.toString(Qt::ISODate))
            .arg(persons));
    tr.commit();
    std::printf("registration_fill_readings_%d %.0f ms\n", readings, ms(t));
}

struct Call {
    int slot;
    QString card;
    QTime time;
};

// A day at the terminals: breakfast, lunch and supper in turn, each reading a random person,
// one in twenty an unknown card and one in ten a card read again right away.
std::vector<Call> dayOfCalls() {
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> who(0, persons - 1);
    std::uniform_int_distribution<int> pct(0, 99);
    const QTime start[] = {QTime(6, 30), QTime(11, 30), QTime(17, 0)};
    std::vector<Call> out;
    out.reserve(calls);
    for (int k = 0; k < calls; ++k) {
        const int slot = k * 3 / calls + 1;
        const int inSlot = k - (slot - 1) * calls / 3;
        const QTime time = start[slot - 1].addSecs(inSlot * 7200 / (calls / 3 + 1));
        const int p = pct(rng);
        QString c;
        if (p < 5)
            c = QStringLiteral("77%1").arg(k, 8, 10, QLatin1Char('0'));
        else if (p < 15 && !out.empty())
            c = out.back().card;
        else
            c = card(who(rng));
        out.push_back({slot, c, time});
    }
    return out;
}

// Indexed and sequential record reads of the attachment so far, per table.
void printReads(fb::Database& db, const char* label, int perCalls) {
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(QStringLiteral(
        "SELECT TRIM(T.MON$TABLE_NAME) AS TNAME, R.MON$RECORD_IDX_READS AS IDX, "
        "R.MON$RECORD_SEQ_READS AS SEQ FROM MON$TABLE_STATS T JOIN MON$RECORD_STATS R ON "
        "R.MON$STAT_ID = T.MON$RECORD_STAT_ID WHERE T.MON$STAT_GROUP = 1 AND "
        "T.MON$TABLE_NAME IN ('KZM_KART', 'KZM_DANE', 'KZM_RWP') ORDER BY 1"));
    q.open();
    for (; !q.eof(); q.next())
        std::printf("%s_%s_reads_per_call %.2f indexed %.2f sequential\n", label,
                    q.fieldByName("TNAME").asString().toLatin1().constData(),
                    q.fieldByName("IDX").asDouble() / perCalls,
                    q.fieldByName("SEQ").asDouble() / perCalls);
    tr.commit();
}

void measure(const QString& path, const QDate& day, const char* label) {
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(QStringLiteral("select ret from PKZM_RWP_WRIT_ODCZYT_22(?, ?, ?, ?, ?, ?)"));
    q.prepare();
    tr.commit();

    const std::vector<Call> mix = dayOfCalls();
    std::vector<double> us, callUs, againUs;
    us.reserve(mix.size());
    callUs.reserve(mix.size());
    int issued = 0, blocked = 0, unknown = 0, repeats = 0;
    // One call with its commit, in microseconds; the answer in `ret`.
    auto timedCall = [&](const Call& c, QString& ret, double* withoutCommit) {
        const auto t0 = std::chrono::steady_clock::now();
        q.setParam(0, c.slot);
        q.setParam(1, day.toString(QStringLiteral("yyyyMM")));
        q.setParam(2, c.card);
        q.setParam(3, day);
        q.setParam(4, c.time);
        q.setParam(5, QStringLiteral("01") + day.toString(QStringLiteral("yyMMdd")));
        q.open();
        ret = q.fieldByName(QStringLiteral("RET")).asString();
        q.close();
        const auto t1 = std::chrono::steady_clock::now();
        tr.commit();
        const auto t2 = std::chrono::steady_clock::now();
        if (withoutCommit)
            *withoutCommit = std::chrono::duration<double, std::micro>(t1 - t0).count();
        return std::chrono::duration<double, std::micro>(t2 - t0).count();
    };
    std::vector<QString> answers;
    answers.reserve(mix.size());
    for (const Call& c : mix) {
        QString ret;
        double withoutCommit = 0;
        us.push_back(timedCall(c, ret, &withoutCommit));
        callUs.push_back(withoutCommit);
        answers.push_back(ret);
        const QStringList f = ret.split(':');
        if (f.value(0) == QLatin1String("-1"))
            ++unknown;
        else if (f.value(0) == QLatin1String("1"))
            ++blocked;
        else
            ++issued;
        if (f.value(1).toInt() > 1)
            ++repeats;
    }
    // Readings offered a second time, as after a lost acknowledgement: nothing is stored and
    // the first answer comes back.
    int sameAnswer = 0;
    for (size_t k = 0; k < mix.size(); k += 5) {
        QString ret;
        againUs.push_back(timedCall(mix[k], ret, nullptr));
        sameAnswer += ret == answers[k] ? 1 : 0;
    }
    std::printf("%s_p50 %.0f us\n", label, bench::Percentile(us, 0.50));
    std::printf("%s_p99 %.0f us\n", label, bench::Percentile(us, 0.99));
    std::printf("%s_without_commit_p50 %.0f us\n", label, bench::Percentile(callUs, 0.50));
    std::printf("%s_without_commit_p99 %.0f us\n", label, bench::Percentile(callUs, 0.99));
    std::printf("%s_answers %d issued %d blocked %d unknown %d repeats\n", label, issued, blocked,
                unknown, repeats);
    std::printf("%s_offered_again_p50 %.0f us\n", label, bench::Percentile(againUs, 0.50));
    std::printf("%s_offered_again_p99 %.0f us\n", label, bench::Percentile(againUs, 0.99));
    std::printf("%s_offered_again_same_answer %d of %zu\n", label, sameAnswer, againUs.size());
    printReads(db, label, static_cast<int>(mix.size() + againUs.size()));
}

} // namespace

// With a file name as its argument: a missing file is filled and kept there without measuring,
// an existing one is measured as it stands (so copies of one filled database can be measured
// with different procedures).
int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.path() + QStringLiteral("/bench.fdb");
    const bool filled = argc > 1 && QFile::exists(path);
    if (!filled) {
        if (!QFile::copy(testdb::CatalogueTemplate(), path)) {
            std::printf("registration_setup_failed 1 flag\n");
            return 1;
        }
        fb::Database db;
        db.connect({path, testdb::user, testdb::password});
        fill(db, storedReadings());
        if (argc > 1)
            return 0;
    }
    // Index statistics as a database that grew to this size has them (taken when the indexes
    // were created, on empty tables) ...
    measure(path, callDay, "registration_call");
    {
        // ... and as after a rebuild, which takes them anew.
        fb::Database db;
        db.connect({path, testdb::user, testdb::password});
        fb::Transaction tr(db);
        fb::Query names(tr);
        names.setSql(QStringLiteral("SELECT TRIM(RDB$INDEX_NAME) AS N FROM RDB$INDICES WHERE "
                                    "RDB$RELATION_NAME IN ('KZM_KART', 'KZM_DANE', 'KZM_RWP')"));
        names.open();
        QStringList list;
        for (; !names.eof(); names.next())
            list << names.fieldByName(QStringLiteral("N")).asString();
        names.close();
        for (const QString& n : list)
            tr.executeImmediate(QStringLiteral("SET STATISTICS INDEX ") + n);
        tr.commit();
    }
    measure(path, callDay.addDays(1), "registration_call_fresh_statistics");
}
