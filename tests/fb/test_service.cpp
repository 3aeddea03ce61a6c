#include "fb/Database.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Service.h"
#include "fb/Transaction.h"
#include "support/TestDb.h"

#include <QUuid>
#include <gtest/gtest.h>

using namespace fb;

namespace {

QString uniqueUser() {
    return "T_" + QUuid::createUuid().toString(QUuid::Id128).left(12).toUpper();
}

// Accounts are not listed here: the security database is the server's while it runs.
TEST(ServiceTest, EmbeddedServicesAcceptAnyCredentials) {
    Service svc;
    svc.attach(QString(), "SYSDBA", "whatever");
    EXPECT_TRUE(svc.attached());
    svc.detach();
    EXPECT_FALSE(svc.attached());
}

TEST(ServiceTest, ServerChecksCredentials) {
    REQUIRE_SERVER();
    Service svc;
    svc.attach(testdb::serverHost(), testdb::user, testdb::password);
    EXPECT_TRUE(svc.attached());
    EXPECT_TRUE(svc.users().contains("SYSDBA"));
    try {
        Service bad;
        bad.attach(testdb::serverHost(), testdb::user, "wrong");
        FAIL() << "a wrong password was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), isc::login);
    }
}

TEST(ServiceTest, AddedAccountIsListedAndCanLogIn) {
    REQUIRE_SERVER();
    const QString name = uniqueUser();
    Service svc;
    svc.attach(testdb::serverHost(), testdb::user, testdb::password);
    svc.addUser({name, "abcdefgh", name, name});
    EXPECT_TRUE(svc.users().contains(name));
    EXPECT_THROW(svc.addUser({name, "abcdefgh", {}, {}}), Error);

    Service as;
    EXPECT_NO_THROW(as.attach(testdb::serverHost(), name, "abcdefgh"));
    as.detach();
    svc.deleteUser(name);
    EXPECT_FALSE(svc.users().contains(name));
}

TEST(ServerDatabaseTest, QueriesThroughTheServerKeepPolishText) {
    REQUIRE_SERVER();
    testdb::ServerDb sdb;
    Database db;
    db.connect({sdb.path(), testdb::user, testdb::password});
    Transaction tr(db);
    Query q(tr);
    q.setSql("select cast(:t as varchar(20)) as t, mon$remote_protocol as proto from "
             "mon$attachments where mon$attachment_id = current_connection");
    q.setParam("t", QStringLiteral("Gdańsk ŚŻŹ"));
    q.open();
    EXPECT_EQ(q.fieldByName("t").asString(), QStringLiteral("Gdańsk ŚŻŹ"));
    EXPECT_FALSE(q.fieldByName("proto").asString().trimmed().isEmpty()); // remote attachment
    tr.commit();
    db.disconnect();

    try {
        db.connect({sdb.path(), testdb::user, "wrong"});
        FAIL() << "a wrong password was accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), isc::login);
    }
}

} // namespace
