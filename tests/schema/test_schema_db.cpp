#include "fb/Database.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "schema/Catalogue.h"
#include "support/ExpectedSchema.h"
#include "support/QtPrint.h"
#include "support/TestDb.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using kzm::schema::Catalogue;
using kzm::schema::Script;

namespace {

// The statements of one script as database creation sends them: table, trigger and procedure
// scripts are one statement; index and generator scripts one statement per line; a "#" ends
// a chunk and drops the rest of its line.
QStringList Statements(const QString& name) {
    const QStringList lines = Script(name);
    auto strip = [](QString s) {
        s = s.trimmed();
        if (s.endsWith(';'))
            s.chop(1);
        return s;
    };
    QStringList out;
    if (name.startsWith("G_") || name.endsWith("_IDX") || name == "GRANTY") {
        for (const QString& line : lines) {
            const QString s = strip(line.section('#', 0, 0));
            if (!s.isEmpty())
                out << s;
        }
    } else {
        out << strip(lines.join('\n'));
    }
    return out;
}

void Exec(fb::Database& db, const QString& sql) {
    fb::Transaction tr(db);
    tr.executeImmediate(sql);
    tr.commit();
}

// Runs every script of the catalogue, each in a transaction of its own; a failing script
// stops the run with its name and the server's text.
void CreateSchema(fb::Database& db) {
    // The connection procedure creates the administrators' role before any grant is made.
    Exec(db, "CREATE ROLE ADMIN_KZM");
    for (const QString& name : Catalogue()) {
        try {
            fb::Transaction tr(db);
            for (const QString& s : Statements(name))
                tr.executeImmediate(s);
            tr.commit();
        } catch (const fb::Error& e) {
            throw std::runtime_error((name + ": " + e.text()).toStdString());
        }
    }
}

QVariant Value(fb::Database& db, const QString& sql) {
    fb::Transaction tr(db);
    fb::Query q(tr);
    q.setSql(sql);
    q.open();
    if (q.eof())
        return {};
    const fb::Field& f = q.field(0);
    if (f.isNull())
        return {};
    if (f.type() == fb::FieldType::Timestamp)
        return f.asDateTime();
    return QVariant::fromValue<qint64>(f.asInt64());
}

qint64 Int(fb::Database& db, const QString& sql) {
    return Value(db, sql).toLongLong();
}

qint64 GeneratorValue(fb::Database& db, const QString& generator) {
    return Int(db, QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE").arg(generator));
}

// Procedures hold on to the columns they read; the fault cases change tables only, so they
// start from a copy without procedures. Callers go before what they call, round by round.
void DropProcedures(fb::Database& db) {
    for (int round = 0; round < 20; ++round) {
        QStringList names;
        {
            fb::Transaction tr(db);
            fb::Query q(tr);
            q.setSql("SELECT TRIM(RDB$PROCEDURE_NAME) FROM RDB$PROCEDURES WHERE "
                     "COALESCE(RDB$SYSTEM_FLAG, 0) = 0");
            for (q.open(); !q.eof(); q.next())
                names << q.field(0).asString();
        }
        if (names.isEmpty())
            return;
        for (const QString& name : names) {
            try {
                Exec(db, "DROP PROCEDURE " + name);
            } catch (const fb::Error&) {
                // still called by another one: next round
            }
        }
    }
}

// One database built from the catalogue for the whole suite; every test works on a copy.
class CreatedDbTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base_ = std::make_unique<testdb::EmbeddedDb>();
        try {
            fb::Database db;
            db.connect({base_->path(), testdb::user, testdb::password});
            CreateSchema(db);
            db.disconnect();
        } catch (const std::exception& e) {
            error_ = e.what();
        }
    }
    static void TearDownTestSuite() { base_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(error_.empty()) << error_;
        ASSERT_TRUE(Copy(dir_.path() + "/copy.fdb"));
        db.connect({dir_.path() + "/copy.fdb", testdb::user, testdb::password});
    }

    // A fresh copy of the database as the catalogue built it.
    static bool Copy(const QString& path) {
        QFile::remove(path);
        return QFile::copy(base_->path(), path);
    }

    QTemporaryDir dir_;
    fb::Database db;

private:
    static inline std::unique_ptr<testdb::EmbeddedDb> base_;
    static inline std::string error_;
};

TEST_F(CreatedDbTest, CatalogueBuildsExactlyTheExpectedSchema) {
    EXPECT_EQ(SchemaDifferences(db), QStringList{});
    for (const QString& g : expected::Generators())
        EXPECT_EQ(GeneratorValue(db, g), -1) << g.toStdString();
    EXPECT_EQ(Int(db, "SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = 'TEST'"), 1);
    EXPECT_EQ(Int(db, "SELECT COUNT(*) FROM RDB$USER_PRIVILEGES WHERE RDB$RELATION_NAME = "
                      "'PARAMETRY' AND RDB$USER = 'ADMIN_KZM' AND RDB$GRANT_OPTION = 1"),
              5); // select, insert, update, delete, references
}

// The comparison must see every kind of fault, and report each once.
TEST_F(CreatedDbTest, SchemaDifferencesNameEachFault) {
    struct Case {
        QStringList ddl;
        QStringList differences;
    };
    const std::vector<Case> cases = {
        {{"ALTER TABLE KZM_W11 DROP KWOTA60"}, {"missing column KZM_W11.KWOTA60"}},
        {{"ALTER TABLE KZM_GRW ADD X INTEGER"}, {"extra column KZM_GRW.X"}},
        {{"ALTER TABLE KZM_NAPOJE ALTER CENA TYPE NUMERIC(8,2)"},
         {"KZM_NAPOJE.CENA: type NUMERIC(6,2) expected, NUMERIC(8,2) found"}},
        {{"ALTER TABLE KZM_KART ALTER NR_IDENT TYPE VARCHAR(20)"},
         {"KZM_KART.NR_IDENT: type VARCHAR(14) expected, VARCHAR(20) found"}},
        {{"ALTER TABLE KZM_RP00 DROP ILE", "ALTER TABLE KZM_RP00 ADD ILE DOUBLE PRECISION"},
         {"KZM_RP00.ILE: type FLOAT expected, DOUBLE PRECISION found"}},
        {{"ALTER TABLE KZM_TMP ALTER ID SET NOT NULL"},
         {"KZM_TMP.ID: nullable expected, NOT NULL found"}},
        {{"ALTER TABLE KZM_GRW DROP NAZWA", "ALTER TABLE KZM_GRW ADD NAZWA VARCHAR(15)"},
         {"KZM_GRW.NAZWA: collation PXW_PLK expected, WIN1250 found"}},
        {{"ALTER TABLE KZM_IMP ALTER WYB DROP DEFAULT"},
         {"KZM_IMP.WYB: default 0 expected, none found"}},
        {{"ALTER TABLE KZM_PSY ALTER ILOSC POSITION 1"},
         {"KZM_PSY: column order DATA, ILOSC expected, ILOSC, DATA found"}},
        {{"ALTER TABLE KZM_HIST ADD TD VARCHAR(50)"}, {}},
        {{"ALTER TABLE KZM_HIST ADD TD VARCHAR(40)"},
         {"KZM_HIST.TD: type VARCHAR(50) expected, VARCHAR(40) found"}},
        {{"ALTER TABLE KZM_GRUPY DROP CONSTRAINT KZM_GRUPY"},
         {"KZM_GRUPY: missing primary key KZM_GRUPY (ID)"}},
        {{"ALTER TABLE KZM_POPR DROP CONSTRAINT KZM_POPR",
          "ALTER TABLE KZM_POPR ADD CONSTRAINT POPR_PK PRIMARY KEY (NR)"},
         {"KZM_POPR: primary key KZM_POPR (NR) expected, POPR_PK (NR) found"}},
        {{"ALTER TABLE KZM_PSY ALTER DATA SET NOT NULL",
          "ALTER TABLE KZM_PSY ADD CONSTRAINT PSY_PK PRIMARY KEY (DATA)"},
         {"KZM_PSY.DATA: nullable expected, NOT NULL found",
          "KZM_PSY: unexpected primary key PSY_PK (DATA)"}},
        {{"ALTER TABLE KZM_TMP ADD CONSTRAINT TMP_U UNIQUE (S10)"},
         {"KZM_TMP: unexpected UNIQUE constraint TMP_U"}},
        {{"DROP TABLE KZM_W11"}, {"missing table KZM_W11"}},
        {{"CREATE TABLE KZM_OSOBY (ID INTEGER)"}, {"extra table KZM_OSOBY"}},
        {{"CREATE VIEW V_KART AS SELECT NR_OPER FROM KZM_KART"}, {"extra view V_KART"}},
        {{"DROP INDEX KZM_DANE8"}, {"missing index KZM_DANE8 on KZM_DANE (MIEJSCE, DATA)"}},
        {{"DROP INDEX KZM_CENNIK2", "CREATE INDEX KZM_CENNIK2 ON KZM_CENNIK (OD_KIEDY, IDTR)"},
         {"descending index KZM_CENNIK2 on KZM_CENNIK (OD_KIEDY, IDTR) expected, "
          "index KZM_CENNIK2 on KZM_CENNIK (OD_KIEDY, IDTR) found"}},
        {{"DROP INDEX RWP_DATA_KARTA", "CREATE INDEX RWP_DATA_KARTA ON KZM_RWP (KARTA, DATA)"},
         {"index RWP_DATA_KARTA on KZM_RWP (DATA, KARTA) expected, "
          "index RWP_DATA_KARTA on KZM_RWP (KARTA, DATA) found"}},
        {{"DROP INDEX KZM_JEDN0", "CREATE UNIQUE INDEX KZM_JEDN0 ON KZM_JEDNOSTKI (NUMER)"},
         {"index KZM_JEDN0 on KZM_JEDNOSTKI (NUMER) expected, "
          "unique index KZM_JEDN0 on KZM_JEDNOSTKI (NUMER) found"}},
        {{"ALTER INDEX KZM_KART0 INACTIVE"}, {"index KZM_KART0 is inactive"}},
        {{"CREATE INDEX KZM_PSY1 ON KZM_PSY (ILOSC)"}, {"extra index KZM_PSY1 on KZM_PSY (ILOSC)"}},
        {{"DROP TRIGGER T_KZM_HIST_ID", "DROP GENERATOR G_ID_HIST"},
         {"missing generator G_ID_HIST", "missing trigger T_KZM_HIST_ID for KZM_HIST"}},
        {{"CREATE GENERATOR G_ID_X"}, {"extra generator G_ID_X"}},
        {{"ALTER TRIGGER T_KZM_KART INACTIVE"}, {"trigger T_KZM_KART is inactive"}},
        {{"ALTER TRIGGER T_KZM_KART POSITION 5"},
         {"trigger T_KZM_KART: position 0 expected, 5 found"}},
        {{"ALTER TRIGGER T_KZM_KART BEFORE UPDATE"}, {"trigger T_KZM_KART: type 3 found"}},
        {{"CREATE TRIGGER T_PSY FOR KZM_PSY BEFORE INSERT AS BEGIN END"},
         {"extra trigger T_PSY for KZM_PSY"}},
    };
    // Only what each change adds counts; the built schema itself is judged above.
    const QStringList baseline = SchemaDifferences(db);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ddl.join("; ").toStdString());
        fb::Database copy;
        const QString path = dir_.path() + "/case.fdb";
        ASSERT_TRUE(Copy(path));
        copy.connect({path, testdb::user, testdb::password});
        DropProcedures(copy);
        for (const QString& s : c.ddl)
            ASSERT_NO_THROW(Exec(copy, s)) << s.toStdString();
        QStringList found = SchemaDifferences(copy);
        found.removeIf([&](const QString& d) { return baseline.contains(d); });
        EXPECT_EQ(found, c.differences);
        copy.disconnect();
    }
}

TEST_F(CreatedDbTest, EveryGeneratorGivesZeroFirstAndSharedOnesNeverRepeat) {
    Exec(db, "INSERT INTO KZM_STOPNIE (SKROT) VALUES ('szer.')");
    Exec(db, "INSERT INTO KZM_ANALIZA (NAZWA) VALUES ('P20')");
    Exec(db, "INSERT INTO KZM_HIST (TEKST) VALUES ('Start')");
    Exec(db, "INSERT INTO KZM_RWP (NR_IDENT) VALUES ('0001')");
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_STOPNIE"), 0);
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_ANALIZA"), 0);
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_HIST"), 0);
    EXPECT_EQ(Int(db, "SELECT IDRWP FROM KZM_RWP"), 0);

    // A price row and a unit draw on the same generator as the rank.
    Exec(db, "INSERT INTO KZM_CENNIK (IDTR, KWOTA) VALUES (20, 12.5)");
    Exec(db, "INSERT INTO KZM_JEDNOSTKI (NUMER) VALUES (7)");
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_CENNIK"), 1);
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_JEDNOSTKI"), 2);

    // A drinks settlement opened between two readings takes a key from their sequence.
    Exec(db, "INSERT INTO KZM_RWODA (NR_OPER) VALUES (10)");
    Exec(db, "INSERT INTO KZM_RWP (NR_IDENT) VALUES ('0002')");
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_RWODA"), 1);
    EXPECT_EQ(Int(db, "SELECT IDRWP FROM KZM_RWP WHERE NR_IDENT = '0002'"), 2);
}

TEST_F(CreatedDbTest, TriggersReplaceSuppliedKeysAndTimestamps) {
    struct Case {
        const char* table;
        const char* key; // empty: the writer's key stays
        const char* generator;
        bool stamped;
    };
    const Case cases[] = {
        {"KZM_ANALIZA", "ID", "G_ID_INNE", false},  {"KZM_CENNIK", "ID", "G_ID_KZM", false},
        {"KZM_DANE", "ID", "G_ID_KZM", true},       {"KZM_HIST", "ID", "G_ID_HIST", true},
        {"KZM_JEDNOSTKI", "ID", "G_ID_KZM", false}, {"KZM_KART", "", "", true},
        {"KZM_NAPOJE", "ID", "G_ID_KZM", false},    {"KZM_PRZYDZIAL", "ID", "G_ID_KZM", false},
        {"KZM_RP04", "ID", "G_ID_INNE", false},     {"KZM_RWODA", "ID", "G_ID_RWP", false},
        {"KZM_STOPNIE", "ID", "G_ID_KZM", false},   {"KZM_ZDARZ", "ID", "G_ID_KZM", false},
        {"KZM_RWP", "IDRWP", "G_ID_RWP", false},
    };
    const QDateTime before = QDateTime::currentDateTime().addSecs(-60);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const QString table = c.table;
        const QString key = *c.key ? c.key : "NR_OPER";
        const qint64 supplied = *c.key ? 500 : 7;
        const qint64 generatorBefore = *c.generator ? GeneratorValue(db, c.generator) : 0;
        Exec(db, QStringLiteral("INSERT INTO %1 (%2%3) VALUES (%4%5)")
                     .arg(table, key, c.stamped ? ", DATAZAPISU" : "")
                     .arg(supplied)
                     .arg(c.stamped ? ", '01.01.2000 10:00'" : ""));
        const qint64 stored = Int(db, QStringLiteral("SELECT MAX(%1) FROM %2").arg(key, table));
        if (*c.generator) {
            const qint64 generatorAfter = GeneratorValue(db, c.generator);
            EXPECT_EQ(generatorAfter, generatorBefore + 1);
            EXPECT_EQ(stored, generatorAfter);
        } else {
            EXPECT_EQ(stored, supplied);
        }
        if (c.stamped) {
            const QDateTime stamp =
                Value(db, QStringLiteral("SELECT DATAZAPISU FROM %1").arg(table)).toDateTime();
            EXPECT_GE(stamp, before);
            EXPECT_LE(stamp, QDateTime::currentDateTime().addSecs(60));
        }
    }

    // Later updates keep the key and the moment of insertion.
    const qint64 id = Int(db, "SELECT ID FROM KZM_DANE");
    const QVariant stamp = Value(db, "SELECT DATAZAPISU FROM KZM_DANE");
    QThread::msleep(20);
    Exec(db, "UPDATE KZM_DANE SET NAZWISKO = 'Zięba Łukasz', SN = 1");
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_DANE"), id);
    EXPECT_EQ(Value(db, "SELECT DATAZAPISU FROM KZM_DANE"), stamp);
}

TEST_F(CreatedDbTest, TriggerScriptsReplayAsAlterTrigger) {
    // How the schema check refreshes a trigger that exists: the first line becomes ALTER.
    for (const QString& name : Catalogue()) {
        if (!name.startsWith("T_"))
            continue;
        SCOPED_TRACE(name.toStdString());
        QStringList lines = Script(name);
        lines[0] = "ALTER TRIGGER " + name;
        QString sql = lines.join('\n').trimmed();
        sql.chop(1);
        EXPECT_NO_THROW(Exec(db, sql));
    }
    EXPECT_EQ(SchemaDifferences(db), QStringList{});
    Exec(db, "INSERT INTO KZM_ZDARZ (ID, SKROT) VALUES (-1, 'SŁNBW')");
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_ZDARZ"), 0);
}

TEST_F(CreatedDbTest, ImportSelectionDefaultsToZero) {
    Exec(db, "INSERT INTO KZM_IMP (DATA, NR_OPER) VALUES ('03.02.2025', 12)");
    Exec(db, "INSERT INTO KZM_IMP (DATA, NR_OPER, WYB) VALUES ('03.02.2025', 13, 1)");
    EXPECT_EQ(Int(db, "SELECT WYB FROM KZM_IMP WHERE NR_OPER = 12"), 0);
    EXPECT_EQ(Int(db, "SELECT WYB FROM KZM_IMP WHERE NR_OPER = 13"), 1);
}

TEST_F(CreatedDbTest, DiagnosticProcedureComparesBothAssignmentLookups) {
    Exec(db, "INSERT INTO KZM_PRZYDZIAL (NR_OPER, IDJEDN, OD_KIEDY) VALUES (101, 5, '01.01.2025')");
    Exec(db, "INSERT INTO KZM_PRZYDZIAL (NR_OPER, IDJEDN, OD_KIEDY) VALUES (101, 6, '01.03.2025')");

    auto rows = [&] {
        QStringList out;
        fb::Transaction tr(db);
        fb::Query q(tr);
        q.setSql("SELECT nr, ID1, ID2 FROM Test('15.03.2025') ORDER BY nr, ID1");
        for (q.open(); !q.eof(); q.next())
            out << QStringLiteral("%1 %2 %3")
                       .arg(q.fieldByName("nr").asString(),
                            q.fieldByName("ID1").isNull() ? "-" : q.fieldByName("ID1").asString(),
                            q.fieldByName("ID2").isNull() ? "-" : q.fieldByName("ID2").asString());
        return out;
    };
    // The older lookup does not exist: its unit is null, the current one's is given.
    EXPECT_EQ(rows(), (QStringList{"101 - 6", "101 - 6"}));

    // An older lookup whose first result is the unit under another name.
    Exec(db, "CREATE PROCEDURE PKZM_PRZYDZIAL (N INTEGER, D DATE) "
             "RETURNS (JEDN INTEGER, STAWKA INTEGER) AS BEGIN "
             "SELECT FIRST 1 IDJEDN, 0 FROM KZM_PRZYDZIAL WHERE NR_OPER = :N "
             "ORDER BY OD_KIEDY INTO :JEDN, :STAWKA; SUSPEND; END");
    EXPECT_EQ(rows(), (QStringList{"101 5 6", "101 5 6"}));
}

TEST(ServerSchemaTest, CatalogueBuildsTheExpectedSchemaThroughTheServer) {
    REQUIRE_SERVER();
    testdb::ServerDb server;
    fb::Database db;
    db.connect({server.path(), testdb::user, testdb::password});
    ASSERT_NO_THROW(CreateSchema(db));
    EXPECT_EQ(SchemaDifferences(db), QStringList{});

    Exec(db, "INSERT INTO KZM_DANE (ID, NR_OPER, NAZWISKO) VALUES (33, 1, 'Żak Józef')");
    Exec(db, "INSERT INTO KZM_JEDNOSTKI (ID, NUMER, NAZWA) VALUES (33, 1, 'Kompania')");
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_DANE"), 0);
    EXPECT_EQ(Int(db, "SELECT ID FROM KZM_JEDNOSTKI"), 1);
    EXPECT_FALSE(Value(db, "SELECT DATAZAPISU FROM KZM_DANE").isNull());
    db.disconnect();
}

} // namespace
