#include "core/Session.h"
#include "core/Text.h"
#include "core/Win1250.h"
#include "db/Exists.h"
#include "db/Schema.h"
#include "db/Tdm.h"
#include "fb/Error.h"
#include "schema/Catalogue.h"
#include "support/ExpectedSchema.h"
#include "support/QtPrint.h"
#include "support/TestDb.h"
#include "support/TestSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kzm;

namespace {

// A session and data module on a database path; the database itself is made by each test.
class SchemaTest : public testdb::SessionTest {
protected:
    void SetUp() override {
        s.dbPath = home.path() + "/Baza/BazaOxle.GDB";
        s.localServer = true;
        QDir().mkpath(home.path() + "/Baza");
    }

    void createFromCatalogue() {
        QStringList labels;
        schema.ZakladanieBazy(1, [&](const QString& name) { labels << name; });
        ASSERT_EQ(s.connectionStatus, Status::connected) << log().toStdString();
        EXPECT_EQ(labels, schema::Catalogue() << QStringLiteral("Dane startowe"));
        EXPECT_EQ(schema.failedChunks(), 0) << log().toStdString();
    }

    // A database with no tables at all, connected.
    void createEmpty() {
        testdb::create(s.dbPath);
        dm.BazaConnect();
        ASSERT_EQ(s.connectionStatus, Status::connected);
    }

    QStringList differences() { return SchemaDifferences(dm.IBBaza); }

    // An older database had neither the columns nor the procedures that read them: drops those
    // procedures, and the procedures that call them, so that the columns can be dropped.
    void dropReadersOf(const QString& table, const QStringList& columns) {
        QStringList readers;
        auto collect = [&](const QString& sql) {
            ASSERT_TRUE(dm.OpenQ(dm.IBQ, sql)) << sql.toStdString();
            for (; !dm.IBQ.eof(); dm.IBQ.next()) {
                const QString n = dm.IBQ.fieldByName("N").asString();
                if (!readers.contains(n))
                    readers << n;
            }
            dm.CloseQ(dm.IBQ);
        };
        for (const QString& c : columns)
            collect("select distinct trim(rdb$dependent_name) as n from rdb$dependencies where "
                    "rdb$dependent_type = 5 and rdb$depended_on_name = '" +
                    table + "' and rdb$field_name = '" + c + "'");
        for (int i = 0; i < readers.size(); ++i)
            collect("select distinct trim(rdb$dependent_name) as n from rdb$dependencies where "
                    "rdb$dependent_type = 5 and rdb$depended_on_type = 5 and "
                    "rdb$depended_on_name = '" +
                    readers[i] + "'");
        // Callers go before the procedures they call; a drop that fails waits for the next round.
        for (int round = 0; round <= readers.size() && !readers.isEmpty(); ++round)
            for (int i = int(readers.size()) - 1; i >= 0; --i)
                if (dm.RunSQL("DROP PROCEDURE " + readers[i]))
                    readers.removeAt(i);
        EXPECT_TRUE(readers.isEmpty()) << readers.join(' ').toStdString();
    }

    Tdm dm{s};
    Schema schema{dm};
};

TEST_F(SchemaTest, CreationBuildsTheWholeSchemaAndClearsTheCreationFlag) {
    s.ini.writeInteger("Main", "CreateBaza", 1);
    createFromCatalogue();
    EXPECT_EQ(differences(), QStringList());
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(s.ini.readInteger("Main", "CreateBaza", -1), 0);
    EXPECT_TRUE(log().contains(QStringLiteral("Zakładanie bazy ") + s.dbPath));
    // The database carries Polish text in WIN1250.
    EXPECT_EQ(
        dm.MQReadString("CS", "select rdb$character_set_name as cs from rdb$database").trimmed(),
        "WIN1250");
}

TEST_F(SchemaTest, AnApostropheInThePasswordOrPathStaysInsideItsLiteral) {
    s.password = "ha'slo";
    s.dbPath = home.path() + "/Baza/O'Hara.GDB";
    createFromCatalogue();
    EXPECT_TRUE(QFile::exists(s.dbPath));
}

TEST_F(SchemaTest, CreationReplacesAnOldDatabase) {
    createFromCatalogue();
    ASSERT_TRUE(dm.RunSQL("insert into KZM_GRUPY (ID, NAZWA) values (1, 'stara')"));
    createFromCatalogue();
    EXPECT_FALSE(dm.Jest("select * from KZM_GRUPY"));
}

TEST_F(SchemaTest, CheckOfAnEmptyDatabaseCreatesEverythingAndSeedsTheFixedRows) {
    createEmpty();
    schema.TestBazy(nullptr, false);
    EXPECT_EQ(differences(), QStringList());
    EXPECT_TRUE(shown.isEmpty()) << shown.join("\n").toStdString();

    EXPECT_EQ(dm.MQReadString("M", "select list(id || '=' || miejsce, ';') as m from "
                                   "(select * from KZM_MIEJSCA order by id)"),
              QStringLiteral("0=Warszawa;1=Gdańsk"));
    EXPECT_EQ(dm.MQReadString("K", "select list(id || '=' || skrot || ',' || woda || ',' || "
                                   "cast(stawka_dw as integer), ';') as k from (select * from "
                                   "KZM_SZKODY_2 order by id)"),
              "1=S1,0,0;2=S2,0,0;5=S5,0,0");
    EXPECT_EQ(dm.MQReadString("S", "select kod || '/' || nazwa as s from kzm_stawki where id=40"),
              QStringLiteral("110/DOPŁATA"));
    EXPECT_EQ(dm.MQReadString("Z", "select grw||','||ko||','||lpw||','||nazwa||','||ob||','||sn||"
                                   "','||cast(stawka_dw as integer)||','||"
                                   "cast(stawka_dw110 as integer)||','||woda as z from kzm_zdarz "
                                   "where skrot='SŁNBW'"),
              QStringLiteral("3,0,20,SŁ. NIEETATOWA BEZ WYŻYWIENIA,0,0,200,0,1"));
    EXPECT_GT(dm.ReadInteger("ID", "select id from kzm_zdarz where skrot='SŁNBW'", -1), 0);
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as n from kzm_stawki", -1), 6);
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as n from kzm_grw", -1), 4);

    // Rights for the role on every program table and on the parameters.
    for (const QString& name : schema::Catalogue()) {
        const QString table = ScrNazwaTabeli(name);
        if (table.isEmpty())
            continue;
        EXPECT_TRUE(dm.Jest("select * from rdb$user_privileges where rdb$user='ADMIN_KZM' and "
                            "rdb$relation_name='" +
                            table + "'"))
            << table.toStdString();
    }
    EXPECT_TRUE(dm.Jest("select * from rdb$user_privileges where rdb$user='ADMIN_KZM' and "
                        "rdb$relation_name='PARAMETRY'"));

    const QString text = log();
    EXPECT_TRUE(text.contains("Dopisana tabela KZM_DANE"));
    EXPECT_TRUE(text.contains("Stworzony generator G_ID_KZM"));
    EXPECT_TRUE(text.contains("Stworzony trigger T_KZM_DANE_ID"));
    EXPECT_TRUE(dm.Jest("select * from kzm_hist where tekst='Start'"));
}

TEST_F(SchemaTest, SecondCheckCreatesNothingAndResendsEveryTrigger) {
    createFromCatalogue();
    schema.TestBazy(nullptr, false);
    QFile::remove(s.logFile);
    const int places = dm.ReadInteger("N", "select count(*) as n from KZM_MIEJSCA", -1);

    struct Gauge : ProgressGauge {
        QStringList calls;
        void start(int m) override { calls << "start " + QString::number(m); }
        void step() override { calls << "step"; }
        void setPosition(int p) override { calls << QString::number(p); }
        void end() override { calls << "end"; }
    } gauge;
    QStringList info;
    s.ui.showInfo = [&](const QString& t) { info << t; };
    schema.TestBazy(&gauge, false);

    EXPECT_TRUE(shown.isEmpty()) << shown.join("\n").toStdString();
    const QString text = log();
    EXPECT_FALSE(text.contains("Dopisana tabela"));
    EXPECT_FALSE(text.contains("Stworzony"));
    // The conversions drop the analysis opening of older versions at every check, so it is
    // created again; everything else is altered in place.
    for (const QString& name : schema::Catalogue()) {
        if (name.startsWith("T_") || name.startsWith("PKZM_")) {
            const QString outcome = name == "PKZM_OPEN_ANALIZA" ? QStringLiteral("Dopisanie ")
                                                                : QStringLiteral("Wymiana ");
            EXPECT_TRUE(text.contains(outcome + name)) << name.toStdString();
        }
    }
    EXPECT_FALSE(text.contains(QStringLiteral("Błąd przy testowaniu")));
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as n from KZM_MIEJSCA", -1), places);
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as n from kzm_zdarz where skrot='SŁNBW'", -1),
              1);
    EXPECT_EQ(differences(), QStringList());
    EXPECT_EQ(gauge.calls, (QStringList{"start 7", "1", "2", "3", "4", "5", "6", "7", "end"}));
    for (const char* text : {"Testy początkowe...", "Struktury ...", "Generatory ...",
                             "Procedury ...", "Uprawnienia ...", "Testy końcowe..."})
        EXPECT_TRUE(info.contains(QString::fromUtf8(text))) << text;
}

// The rows a canteen starts with, one line per table.
QStringList seeded(Tdm& dm) {
    const char* queries[] = {
        "select list(id || '=' || miejsce, ';') as t from (select * from kzm_miejsca order by id)",
        "select list(id || '=' || skrot || ',' || woda || ',' || cast(stawka_dw as integer), ';') "
        "as t from (select * from kzm_szkody_2 order by id)",
        "select list(id || '=' || kod || ',' || nazwa, ';') as t from (select * from kzm_stawki "
        "order by id)",
        "select list(id || '=' || nazwa, ';') as t from (select * from kzm_grw order by id)",
        "select list(kod || ',' || nazwa || ',' || pojemnosc || ',' || rozlpc || ',' || woda, ';') "
        "as t from (select * from kzm_napoje order by id)",
        "select list(nazwa || '=' || coalesce(cast(pinteger as varchar(20)), cast(pfloat as "
        "varchar(20)), cast(ptime as varchar(20))), ';') as t from (select * "
        "from parametry where lokalizacja='GLOBAL' and sekcja='PR_KZM' order by nazwa)",
    };
    QStringList out;
    for (const char* q : queries)
        out << dm.MQReadString("T", QString::fromUtf8(q));
    return out;
}

TEST_F(SchemaTest, ANewDatabaseHoldsWhatACanteenNeedsAndTheCheckOnlyFillsGaps) {
    createFromCatalogue();
    const QStringList expected{
        QStringLiteral("0=Warszawa;1=Gdańsk"),
        "1=S1,0,0;2=S2,0,0;5=S5,0,0",
        QStringLiteral("20=020,STAWKA 020;30=030,STAWKA 030;40=110,DOPŁATA;"
                       "990=WODA166,WODA 166%;991=WODA160,WODA 160%;992=OBIAD,OBIAD"),
        QStringLiteral("1=Z KUCHNI;2=POZA KUCHNIĄ;3=RÓWNOWAŻNIK;4=INNE"),
        "WODA,WODA MINERALNA,1.50,1,1",
        "BLKWDNBZKMNKT=0;CLEARTIMEOUT=10000;COMP=1;CPAKT=0;IDOBIAD=992;IDSTAWKA020=20;"
        "IDSTAWKA030=30;IDSTAWKA110=40;IDWODA160=991;IDWODA166=990;LOADTIMEOUT=50;"
        "MAXKODKARTY=1000;MAXKODOPER=5000;NR_INSTALACJI=0;OBIAD_DO=15:00:00.0000;"
        "OBIAD_OD=11:00:00.0000;PROCENTRZLWODY=30.0000;SYGNAL_BLOK=1;SYGNAL_WYD=0;WDNBZKMNKT=0",
    };
    EXPECT_EQ(seeded(dm), expected);

    // No key of the shared generator is 0, which means "none": the event type made at the
    // first start is not taken for every plan row without one.
    schema.InneTestyAfter();
    EXPECT_GT(dm.ReadInteger("ID", "select id from kzm_zdarz where skrot='SŁNBW'", -1), 0);
    EXPECT_GT(dm.ReadInteger("ID", "select min(id) as id from kzm_napoje", -1), 0);
    // Nor does a generated key meet a rate's fixed key in the price list.
    EXPECT_GT(dm.ReadInteger("ID", "select min(id) as id from kzm_zdarz", -1), 992);
    EXPECT_GT(dm.ReadInteger("ID", "select min(id) as id from kzm_napoje", -1), 992);

    // The check changes nothing that is there and brings back what is missing.
    for (const char* sql : {"update kzm_stawki set nazwa='ŻYWIENIE' where id=20",
                            "delete from kzm_stawki where id=991", "delete from kzm_grw where id>2",
                            "update parametry set ptime='12:00' where nazwa='OBIAD_OD'",
                            "delete from parametry where nazwa='OBIAD_DO'",
                            "update kzm_miejsca set miejsce='Gdynia' where id=1",
                            "delete from kzm_szkody_2 where id=2"})
        ASSERT_TRUE(dm.RunSQL(QString::fromUtf8(sql))) << sql;
    const int generator =
        dm.ReadInteger("G", "select gen_id(G_ID_KZM,0) as g from rdb$database", -1);
    schema.TestBazy(nullptr, false);
    EXPECT_TRUE(shown.isEmpty()) << shown.join("\n").toStdString();
    QStringList after = expected;
    after[0].replace(QStringLiteral("Gdańsk"), QStringLiteral("Gdynia"));
    after[2].replace(QStringLiteral("STAWKA 020"), QStringLiteral("ŻYWIENIE"));
    after[5].replace("OBIAD_OD=11", "OBIAD_OD=12");
    EXPECT_EQ(seeded(dm), after);
    EXPECT_EQ(dm.ReadInteger("G", "select gen_id(G_ID_KZM,0) as g from rdb$database", -1),
              generator);

    // A drinks table that holds drinks keeps its set, water or not.
    ASSERT_TRUE(dm.RunSQL("delete from kzm_napoje"));
    ASSERT_TRUE(dm.RunSQL("insert into kzm_napoje (id,kod,nazwa,pojemnosc,rozlpc,woda) values "
                          "(-1,'SOK','SOK',0.33,0,0)"));
    schema.TestBazy(nullptr, false);
    EXPECT_EQ(seeded(dm).value(4), "SOK,SOK,0.33,0,0");
}

TEST_F(SchemaTest, MissingMiddleColumnsComeBackInOneStatement) {
    createFromCatalogue();
    const QStringList script = schema::Script("C_KZM_KART");
    ASSERT_GT(script.size(), 6);
    // Two neighbouring unindexed columns from the middle of the table.
    const QString second = Token(script[4].trimmed(), 1, ' ');
    const QString third = Token(script[5].trimmed(), 1, ' ');
    dropReadersOf("KZM_KART", {second, third});
    ASSERT_TRUE(dm.RunSQL("ALTER TABLE KZM_KART DROP " + second + ", DROP " + third));

    schema.DopiszPola("C_KZM_KART");
    QString lastAdd = "ADD " + script[5];
    while (lastAdd.endsWith(' ') || lastAdd.endsWith('\t'))
        lastAdd.chop(1);
    lastAdd.chop(1); // its comma
    EXPECT_EQ(dm.ListaScr, (QStringList{"ALTER TABLE KZM_KART", "ADD " + script[4], lastAdd, ";"}));
    EXPECT_TRUE(JestPole(dm, "KZM_KART", second));
    EXPECT_TRUE(JestPole(dm, "KZM_KART", third));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(SchemaTest, ColumnCheckOfParametersStopsAtItsKeyLine) {
    createFromCatalogue();
    schema.DopiszPola("C_PARAMETRY");
    EXPECT_TRUE(dm.ListaScr.isEmpty()); // complete: nothing to add, "Primary Key" not a column
    dropReadersOf("PARAMETRY", {"PTIME"});
    ASSERT_TRUE(dm.RunSQL("ALTER TABLE PARAMETRY DROP PTIME"));
    schema.DopiszPola("C_PARAMETRY");
    EXPECT_EQ(dm.ListaScr.size(), 3);
    EXPECT_TRUE(JestPole(dm, "PARAMETRY", "PTIME"));
    EXPECT_TRUE(shown.isEmpty()) << shown.join("\n").toStdString();
}

TEST_F(SchemaTest, RecreateDropsAndCreatesEveryIndexInOneRun) {
    createFromCatalogue();
    schema.DopiszIndeksy("C_KZM_DANE_IDX", false);
    EXPECT_TRUE(dm.ListaScr.isEmpty()); // all present, left alone

    QStringList info;
    s.ui.showInfo = [&](const QString& t) { info << t; };
    schema.DopiszIndeksy("C_KZM_DANE_IDX", true);
    int indexes = 0;
    for (const QString& line : schema::Script("C_KZM_DANE_IDX"))
        indexes += line.trimmed().isEmpty() ? 0 : 1;
    int drops = 0;
    for (const QString& line : dm.ListaScr)
        drops += line.startsWith("drop index ") ? 1 : 0;
    EXPECT_EQ(drops, indexes);
    EXPECT_EQ(dm.ListaScr.size(), 2 * indexes);
    EXPECT_EQ(info.size(), 1);
    EXPECT_TRUE(info[0].endsWith(" indeksowanie..."));
    EXPECT_EQ(differences(), QStringList());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(SchemaTest, OldRate993IsRenumberedTo40) {
    createFromCatalogue();
    ASSERT_TRUE(dm.RunSQL("delete from kzm_stawki"));
    ASSERT_TRUE(dm.RunSQL("insert into kzm_stawki (id,kod,nazwa) values (993,'110','stara')"));
    ASSERT_TRUE(dm.RunSQL("insert into kzm_cennik (idtr,kwota,od_kiedy) values (993, 4.5, "
                          "'01.01.2024')"));
    schema.InneTestyBefore();
    EXPECT_FALSE(dm.Jest("select id from kzm_stawki where id=993"));
    EXPECT_EQ(dm.MQReadString("N", "select nazwa as n from kzm_stawki where id=40"), "stara");
    EXPECT_EQ(dm.MQReadCurrency("K", "select kwota as k from kzm_cennik where idtr=40").toString(),
              "4.50");
}

TEST_F(SchemaTest, ConversionsAddOldMissingColumns) {
    createFromCatalogue();
    dropReadersOf("KZM_ZDARZ", {"STAWKA_DW110"});
    ASSERT_TRUE(dm.RunSQL("ALTER TABLE KZM_ZDARZ DROP STAWKA_DW110"));
    ASSERT_FALSE(JestPole(dm, "KZM_HIST", "TD"));                 // the table script has no TD
    ASSERT_TRUE(dm.RunSQL("delete from kzm_stawki where id=40")); // the seed runs beside them
    schema.InneTestyBefore();
    schema.InneTestyAfter();
    EXPECT_TRUE(JestPole(dm, "KZM_ZDARZ", "STAWKA_DW110"));
    EXPECT_TRUE(JestPole(dm, "KZM_HIST", "TD"));
    EXPECT_TRUE(dm.Jest("select id from kzm_stawki where id=40"));
}

TEST(RefreshFirstLineTest, TriggersAndProceduresBecomeAlterations) {
    struct Case {
        QString name, line, expected;
    } cases[] = {
        {"T_KZM_DANE_ID", "CREATE TRIGGER T_KZM_DANE_ID FOR KZM_DANE",
         "ALTER TRIGGER T_KZM_DANE_ID"},
        {"PKZM_X", "CREATE PROCEDURE PKZM_X (A INTEGER)", "ALTER PROCEDURE PKZM_X (A INTEGER)"},
        {"PKZM_X", "create procedure PKZM_X", "ALTER procedure PKZM_X"},
        {"PKZM_X", "CREATE OR ALTER PROCEDURE PKZM_X", "CREATE OR ALTER PROCEDURE PKZM_X"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RefreshFirstLine(c.name, c.line), c.expected);
}

TEST_F(SchemaTest, EveryTriggerScriptAltersToTheSameBody) {
    createFromCatalogue();
    for (const QString& name : schema::Catalogue()) {
        if (!name.startsWith("T_"))
            continue;
        EXPECT_EQ(schema.WymianaProc(name), 1) << name.toStdString();
    }
    EXPECT_TRUE(shown.isEmpty()) << shown.join("\n").toStdString();
    EXPECT_EQ(schema.WymianaProc("T_NIE_MA"), 2); // nothing to send is no failure
}

// The admin tool, as an administrator runs it.
int admin(const QStringList& args, QString* output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(KZM_ADMIN, args);
    p.waitForFinished(300000);
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

TEST(AdminToolTest, CatalogueAndScripts) {
    QString out;
    EXPECT_EQ(admin({"catalogue"}, &out), 0);
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts), schema::Catalogue());
    EXPECT_EQ(admin({"script", "G_ID_KZM"}, &out), 0);
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts), schema::Script("G_ID_KZM"));
    EXPECT_NE(admin({"script", "UDFS"}), 0);
    EXPECT_NE(admin({}), 0);
}

TEST(AdminToolTest, CreateThenCheckEmbedded) {
    QTemporaryDir home;
    const QString path = home.path() + "/Baza/nowa.fdb";
    QString out;
    ASSERT_EQ(admin({"create", path, "--home", home.path()}, &out), 0) << out.toStdString();
    ASSERT_EQ(admin({"check", path, "--home", home.path()}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("Wymiana T_KZM_DANE_ID"));
    EXPECT_NE(admin({"create", path, "--home", home.path()}, &out), 0); // not over a database
    EXPECT_TRUE(out.contains(QStringLiteral("Baza już istnieje")));
    EXPECT_EQ(admin({"create", path, "--force", "--home", home.path()}, &out), 0);
    EXPECT_NE(admin({"check", home.path() + "/nie_ma.fdb", "--home", home.path()}, &out), 0);
    EXPECT_NE(admin({"create", "/proc/nie/wolno.fdb", "--home", home.path()}, &out), 0);
}

TEST(AdminToolTest, CreateThenCheckThroughTheServer) {
    REQUIRE_SERVER();
    QTemporaryDir home;
    const QString path = testdb::serverHost() + ":" + testdb::serverFolder() + "/admin_" +
                         QString::number(QCoreApplication::applicationPid()) + ".fdb";
    QString out;
    ASSERT_EQ(admin({"create", path, "--home", home.path()}, &out), 0) << out.toStdString();
    ASSERT_EQ(admin({"check", path, "--reindex", "--home", home.path()}, &out), 0)
        << out.toStdString();
    {
        fb::Database db;
        db.connect({path, testdb::user, testdb::password});
        EXPECT_EQ(SchemaDifferences(db), QStringList());
        db.dropDatabase();
    }
    EXPECT_NE(admin({"check", path, "--password", "zle", "--home", home.path()}, &out), 0);
}

} // namespace
