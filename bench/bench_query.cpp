// Prepared inserts and a buffered fetch through the database wrapper, embedded and (when
// KZM_TEST_SERVER names one) through the server.

#include "fb/Database.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/TestDb.h"

#include <QElapsedTimer>
#include <cstdio>
#include <memory>

namespace {

constexpr int rows = 10000;

void run(const char* where, const QString& path) {
    fb::Database db;
    db.connect({path, testdb::user, testdb::password});
    fb::Transaction tr(db);
    tr.executeImmediate("create table B (ID integer not null primary key, NAZWA varchar(40), "
                        "KWOTA numeric(15,2), DATA date)");
    tr.commit();

    QElapsedTimer t;
    t.start();
    fb::Query ins(tr);
    ins.setSql("insert into B (ID, NAZWA, KWOTA, DATA) values (?, ?, ?, ?)");
    for (int i = 0; i < rows; ++i) {
        ins.setParam(0, i);
        ins.setParam(1, QStringLiteral("Żołnierz %1").arg(i));
        ins.setParam(2, fb::Decimal{i * 100 + 25, 2});
        ins.setParam(3, QDate(2026, 1, 1).addDays(i % 365));
        ins.execSql();
    }
    tr.commit();
    std::printf("insert_prepared_%s_10000 %.1f ms\n", where, t.nsecsElapsed() / 1e6);

    t.restart();
    fb::Query sel(tr);
    sel.setSql("select * from B");
    sel.open();
    double sum = 0;
    for (; !sel.eof(); sel.next())
        sum += sel.fieldByName("KWOTA").asDouble();
    std::printf("fetch_all_%s_10000 %.1f ms\n", where, t.nsecsElapsed() / 1e6);
    if (sum <= 0)
        std::printf("unexpected sum\n");
}

} // namespace

int main() {
    {
        testdb::EmbeddedDb db;
        run("embedded", db.path());
    }
    if (!testdb::serverHost().isEmpty()) {
        testdb::ServerDb db;
        run("server", db.path());
    }
}
