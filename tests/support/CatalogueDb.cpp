#include "support/CatalogueDb.h"

#include "db/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

namespace testdb {

QString CatalogueTemplate() {
    static std::unique_ptr<QTemporaryDir> dir;
    static QString path;
    if (!path.isEmpty())
        return path;
    dir = std::make_unique<QTemporaryDir>();
    kzm::Session s;
    s.InitConfig(dir->path(), QDate(2026, 12, 8), dir->path());
    s.dbPath = dir->path() + QStringLiteral("/template.fdb");
    s.localServer = true;
    QStringList shown;
    s.ui.showMessage = [&](const QString& m) { shown << m; };
    {
        kzm::Tdm dm(s);
        kzm::Schema schema(dm);
        schema.ZakladanieBazy(1, nullptr);
        if (s.connectionStatus != kzm::Status::connected || schema.failedChunks() > 0)
            throw std::runtime_error("the catalogue does not build a database");
        schema.InneTestyAfter(); // the start-up conversions every started program has run
    }
    path = s.dbPath;
    return path;
}

CatalogueDbTest::CatalogueDbTest() = default;

void CatalogueDbTest::SetUp() {
    const QString copy = home.path() + QStringLiteral("/Baza/BazaOxle.GDB");
    QDir().mkpath(home.path() + QStringLiteral("/Baza"));
    ASSERT_TRUE(QFile::copy(CatalogueTemplate(), copy));
    s.dbPath = copy;
    s.localServer = true;
    dm.BazaConnect();
    ASSERT_EQ(s.connectionStatus, kzm::Status::connected);
}

} // namespace testdb
