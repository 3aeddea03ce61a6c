#include "support/TestDb.h"

#include "fb/Database.h"

#include <QFile>
#include <QUuid>

namespace testdb {

void create(const QString& path) {
    fb::Database::createDatabase(QStringLiteral("CREATE DATABASE '%1' USER '%2' PASSWORD '%3' "
                                                "DEFAULT CHARACTER SET WIN1250")
                                     .arg(path, user, password));
}

QString serverHost() {
    return qEnvironmentVariable("KZM_TEST_SERVER");
}
QString serverFolder() {
    return qEnvironmentVariable("KZM_TEST_SERVER_DIR");
}

EmbeddedDb::EmbeddedDb() : path_(dir_.path() + QStringLiteral("/test.fdb")) {
    create(path_);
}

ServerDb::ServerDb()
    : file_(serverFolder() + '/' + QUuid::createUuid().toString(QUuid::Id128) + ".fdb"),
      path_(serverHost() + ':' + file_) {
    create(path_);
}

ServerDb::~ServerDb() {
    try {
        fb::Database db;
        db.connect({path_, user, password});
        db.dropDatabase();
    } catch (...) {
        QFile::remove(file_);
    }
}

} // namespace testdb
