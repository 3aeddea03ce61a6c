// Creation of a database from the whole catalogue, and a check of a complete database,
// embedded and (when KZM_TEST_SERVER names one) through the server.

#include "core/Session.h"
#include "db/Schema.h"
#include "db/Tdm.h"
#include "support/TestDb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdio>

namespace {

void run(const char* where, const QString& path, bool local) {
    QTemporaryDir home;
    kzm::Session s;
    s.InitConfig(home.path());
    s.dbPath = path;
    s.localServer = local;
    kzm::Tdm dm(s);
    kzm::Schema schema(dm);

    QElapsedTimer t;
    t.start();
    schema.ZakladanieBazy(1, nullptr);
    std::printf("schema_create_%s %.0f ms\n", where, t.nsecsElapsed() / 1e6);
    if (s.connectionStatus != kzm::Status::connected || schema.failedChunks() > 0)
        std::printf("schema_create_%s_failed 1 flag\n", where);

    schema.TestBazy(nullptr, false); // the first check after creation re-sends everything too
    t.restart();
    schema.TestBazy(nullptr, false);
    std::printf("schema_second_check_%s %.0f ms\n", where, t.nsecsElapsed() / 1e6);
    if (!local)
        dm.IBBaza.dropDatabase();
}

} // namespace

int main() {
    {
        QTemporaryDir dir;
        run("embedded", dir.path() + "/bench.fdb", true);
    }
    if (!testdb::serverHost().isEmpty())
        run("server",
            testdb::serverHost() + ':' + testdb::serverFolder() + '/' +
                QUuid::createUuid().toString(QUuid::Id128) + ".fdb",
            false);
}
