#include "core/Dates.h"
#include "core/Session.h"
#include "core/Win1250.h"
#include "db/RowSelection.h"
#include "db/Tdm.h"
#include "fb/Error.h"
#include "fb/Service.h"
#include "support/QtPrint.h"
#include "support/TestDb.h"
#include "support/TestSession.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

using namespace kzm;

namespace {

// A program folder, a session and a data module on a fresh embedded database.
class TdmTest : public testdb::SessionTest {
protected:
    void SetUp() override {
        s.dbPath = db.path();
        dm.BazaConnect();
        ASSERT_EQ(s.connectionStatus, Status::connected);
        dm.ClearListaScr();
        dm.ListaScr << "create table KZM_HIST (VRS varchar(20), TEKST varchar(200), TD "
                       "varchar(50))"
                    << "create table T (ID integer not null primary key, NAZWA varchar(30), "
                       "KWOTA numeric(15,2), DATA date)";
        ASSERT_TRUE(dm.RunScr("fixture", false));
    }

    int count(const QString& table) {
        return dm.ReadInteger("N", "select count(*) as n from " + table, -1);
    }

    testdb::EmbeddedDb db;
    Tdm dm{s};
};

TEST_F(TdmTest, RunScrIsAllOrNothingAndNamesTheFailingStatement) {
    dm.ClearListaScr();
    dm.ListaScr << "insert into T (ID) values (1);#"
                << "insert into NIE_MA (ID) values (2);"
                << "insert into T (ID) values (3)";
    EXPECT_FALSE(dm.RunScr("Test skryptu", false));
    EXPECT_EQ(count("T"), 0);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("insert into NIE_MA (ID) values (2)\r\nTest skryptu\r\n"))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("NIE_MA"));
    EXPECT_FALSE(shown[0].contains(QRegularExpression("[^\r]\n")));
    EXPECT_TRUE(log().contains("insert into NIE_MA (ID) values (2)"));

    shown.clear();
    EXPECT_FALSE(dm.RunScr("cicho", true));
    EXPECT_TRUE(shown.isEmpty()); // silent: written, not shown

    dm.ClearListaScr();
    dm.ListaScr << "  insert into T (ID) values (1);#  "
                << ""
                << "insert into T (ID, NAZWA) values (2, 'a;#')";
    EXPECT_TRUE(dm.RunScr("ok", false));
    EXPECT_EQ(count("T"), 2);
    EXPECT_TRUE(dm.ListaScr.size() == 3); // the list is kept

    dm.ClearListaScr();
    EXPECT_TRUE(dm.RunScr("pusty", false));
}

TEST_F(TdmTest, OpenQDiscardsUncommittedWorkOfItsTransaction) {
    dm.IBQ.setSql("insert into T (ID) values (1)");
    dm.IBQ.execSql(); // not committed
    ASSERT_TRUE(dm.OpenQ(dm.IBQ0, "select count(*) as n from T"));
    EXPECT_EQ(dm.IBQ0.fieldByName("n").asInteger(), 0);

    // An empty text only rolls back, leaving the query closed.
    EXPECT_TRUE(dm.OpenQ(dm.IBQ0, ""));
    EXPECT_FALSE(dm.IBQ0.isOpen());
    EXPECT_FALSE(dm.IBTrans.inTransaction());

    EXPECT_FALSE(dm.OpenQ(dm.IBQ, "select * from NIE_MA"));
    EXPECT_FALSE(dm.IBQ.isOpen());
    EXPECT_FALSE(dm.IBTrans.inTransaction()) << "nothing left open by a failed open";
    // Nor by a query whose text is accepted but whose reading fails.
    EXPECT_FALSE(dm.OpenQ(dm.IBQ, "select 1 / 0 from rdb$database"));
    EXPECT_FALSE(dm.IBTrans.inTransaction());
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(TdmTest, SingleValueReadersAndTheirDefaults) {
    ASSERT_TRUE(dm.RunSQL("insert into T (ID, NAZWA, KWOTA, DATA) values (1, 'Gdańsk', 12.34, "
                          "'05.01.2025')"));
    EXPECT_TRUE(dm.Jest("select ID from T where ID=1"));
    EXPECT_FALSE(dm.Jest("select ID from T where ID=2"));
    EXPECT_EQ(dm.ReadInteger("ID", "select ID from T", 7), 1);
    EXPECT_EQ(dm.ReadInteger("ID", "select ID from T where ID=2", 7), 7);
    EXPECT_EQ(dm.MQReadCurrency("KWOTA", "select KWOTA from T").toString(), "12.34");
    EXPECT_EQ(dm.MQReadCurrency("KWOTA", "select KWOTA from T where ID=2").toString(), "0.00");
    // Exact: a hundredth is not lost to a binary fraction.
    ASSERT_TRUE(dm.RunSQL("update T set KWOTA = 0.29"));
    EXPECT_EQ(dm.MQReadCurrency("KWOTA", "select KWOTA from T"), (fb::Decimal{29, 2}));
    // A reader that fails leaves no transaction open behind it.
    EXPECT_THROW(dm.ReadInteger("N", "select NIE_MA from T", 0), fb::Error);
    EXPECT_FALSE(dm.IBTdm.inTransaction());
    EXPECT_FALSE(dm.IBQdm.isOpen());
    EXPECT_THROW(dm.ReadInteger("BRAK", "select ID from T", 0), fb::Error) << "no such field";
    EXPECT_FALSE(dm.IBTdm.inTransaction());
    EXPECT_EQ(dm.ReadDate("DATA", "select DATA from T"), QDate(2025, 1, 5));
    EXPECT_EQ(dm.ReadDate("DATA", "select DATA from T where ID=2"), ZeroDate());
    EXPECT_EQ(dm.MQReadString("NAZWA", "select NAZWA from T"), QStringLiteral("Gdańsk"));
    EXPECT_EQ(dm.MQReadString("NAZWA", "select NAZWA from T where ID=2"), QString());
    EXPECT_FALSE(dm.IBTdm.inTransaction()); // each reader commits
    EXPECT_THROW(dm.ReadInteger("ID", "select ID from NIE_MA", 0), fb::Error);
    EXPECT_GT(dm.CurrConnection(), 0);
    EXPECT_GT(dm.CurrTrans(), 0);
}

TEST_F(TdmTest, ExecQAndRunSQLReportFailureByResult) {
    dm.IBQ.setSql("insert into T (ID) values (1)");
    EXPECT_TRUE(dm.ExecQ(dm.IBQ, "nie wpisano"));
    EXPECT_FALSE(dm.IBTrans.inTransaction());
    EXPECT_FALSE(dm.ExecQ(dm.IBQ, "nie wpisano")); // duplicate key
    EXPECT_TRUE(log().contains("nie wpisano"));
    EXPECT_FALSE(log().contains("PRIMARY")); // the log text, not the error
    EXPECT_FALSE(dm.RunSQL("insert into NIE_MA values (1)"));
    EXPECT_TRUE(dm.RunSQL("update T set NAZWA='12:30' where ID=1")); // a colon is no parameter
    EXPECT_EQ(dm.MQReadString("NAZWA", "select NAZWA from T"), "12:30");
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(TdmTest, BatchStatementsCommitTogether) {
    dm.StartSQLA();
    EXPECT_TRUE(dm.RunSQLA("insert into T (ID) values (1)"));
    EXPECT_FALSE(dm.RunSQLA("insert into T (ID) values (1)")); // leaves the batch open
    // A history row written in the middle goes in at once and leaves the batch alone.
    s.WriteHistDB(QStringLiteral("W trakcie"), QString());
    EXPECT_EQ(count("KZM_HIST"), 1);
    EXPECT_TRUE(dm.RunSQLA("insert into T (ID) values (2)"));
    EXPECT_EQ(count("T"), 0);
    EXPECT_TRUE(dm.EndSQLA());
    EXPECT_EQ(count("T"), 2);
    EXPECT_TRUE(dm.EndSQLA()); // nothing open
}

TEST_F(TdmTest, ReOpenQShowsTheChangedRow) {
    for (int i = 1; i <= 5; ++i)
        ASSERT_TRUE(dm.RunSQL(QString("insert into T (ID) values (%1)").arg(i * 10)));
    ASSERT_TRUE(dm.OpenQ(dm.IBQ, "select ID from T order by ID"));
    dm.ReOpenQ(dm.IBQ, "ID", 40);
    EXPECT_EQ(dm.IBQ.fieldByName("ID").asInteger(), 40);
    dm.IBQ.prior();
    dm.ReOpenQ(dm.IBQ, "ID", -1); // -1: the row that is current
    EXPECT_EQ(dm.IBQ.fieldByName("ID").asInteger(), 30);
    dm.ReOpenQ(dm.IBQ, "ID", 99);
    EXPECT_EQ(dm.IBQ.recNo(), 1);
    EXPECT_EQ(dm.IBReccount(dm.IBQ), 5);
    EXPECT_EQ(dm.IBQ.recNo(), 1); // back on the row that was current
}

struct FakeGrid : RowSelection {
    std::vector<int> rows;
    int updates = 0;
    std::vector<int> selectedRows() const override { return rows; }
    void setRowSelected(int row, bool on) override {
        std::erase(rows, row);
        if (on)
            rows.push_back(row);
    }
    void beginUpdate() override { ++updates; }
};

TEST_F(TdmTest, SelectionSurvivesAReopenWithNewRows) {
    for (int i = 1; i <= 4; ++i)
        ASSERT_TRUE(dm.RunSQL(QString("insert into T (ID) values (%1)").arg(i * 10)));
    ASSERT_TRUE(dm.OpenQ(dm.IBQ, "select ID from T order by ID"));
    FakeGrid grid;
    grid.rows = {1, 3}; // 20 and 40
    dm.SaveSelected(dm.IBQ, "ID", grid);
    EXPECT_EQ(dm.ListaSel, (QStringList{"20", "40"}));

    ASSERT_TRUE(dm.RunSQL("insert into T (ID) values (5)")); // shifts every row down by one
    ASSERT_TRUE(dm.OpenQ(dm.IBQ, "select ID from T order by ID"));
    grid.rows.clear();
    dm.IBQ.moveTo(2);
    dm.RestSelected(dm.IBQ, "ID", grid);
    std::sort(grid.rows.begin(), grid.rows.end());
    EXPECT_EQ(grid.rows, (std::vector<int>{2, 4}));
    EXPECT_EQ(dm.IBQ.currentRow(), 2);

    dm.CloseQ(dm.IBQ);
    dm.ListaSel.clear();
    dm.SaveSelected(dm.IBQ, "ID", grid); // closed: nothing happens
    EXPECT_TRUE(dm.ListaSel.isEmpty());
}

TEST_F(TdmTest, HistoryRowsGoThroughTheConnection) {
    s.WriteHist(QStringLiteral("O'Brien zażółć"));
    EXPECT_EQ(dm.MQReadString("TEKST", "select TEKST from KZM_HIST").mid(26),
              QStringLiteral("O\"Brien zażółć"));
    EXPECT_EQ(dm.MQReadString("VRS", "select VRS from KZM_HIST"), " 2.3 [24.129]");
}

TEST_F(TdmTest, SysdbaOnAnEmbeddedDatabaseCreatesTheRoleAndGrantsIt) {
    EXPECT_TRUE(dm.Jest("select * from rdb$roles where rdb$role_name='ADMIN_KZM'"));
    EXPECT_TRUE(dm.Jest("select * from rdb$user_privileges where rdb$user='USER_KZM' and "
                        "rdb$relation_name='ADMIN_KZM' and rdb$grant_option=2"));
    dm.BazaConnect(); // again: the role exists, nothing fails
    EXPECT_EQ(s.connectionStatus, Status::connected);
}

using TdmConnectTest = testdb::SessionTest;

TEST_F(TdmConnectTest, MissingDatabaseGivesStatus2WithTheServerText) {
    s.dbPath = home.path() + "/Baza/BazaOxle.GDB";
    Tdm dm(s);
    dm.BazaConnect();
    EXPECT_EQ(s.connectionStatus, Status::openFailed);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(
        QStringLiteral("Brak pliku bazy danych albo brak dostępu do niego\r\n")))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains("BazaOxle.GDB")) << shown[0].toStdString();
    EXPECT_TRUE(log().contains("BazaOxle.GDB"));
    EXPECT_FALSE(dm.IBBaza.connected());
    EXPECT_FALSE(dm.RunSQL("select 1 from rdb$database")); // no connection: just false

    // A file that is no database.
    QFile text(home.path() + "/notatki.txt");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(8192, 'x'));
    text.close();
    shown.clear();
    s.dbPath = text.fileName();
    dm.BazaConnect();
    EXPECT_EQ(s.connectionStatus, Status::openFailed);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Wskazany plik nie jest bazą danych\r\n")))
        << shown[0].toStdString();
}

TEST_F(TdmTest, CommonFailuresNameTheirCauseFirst) {
    // A repeated key, through a script.
    dm.ClearListaScr();
    dm.ListaScr << "insert into T (ID) values (1)"
                << "insert into T (ID) values (1)";
    EXPECT_FALSE(dm.RunScr("klucz", false));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(
        QStringLiteral("Taki wpis już jest w bazie (powtórzony klucz)\r\ninsert into T")))
        << shown[0].toStdString();

    // Causes found anywhere in the status, and none for the rest.
    const struct {
        std::vector<long> codes;
        const char* cause;
    } cases[] = {
        {{fb::isc::no_meta_update, fb::isc::obj_in_use},
         "Obiekt bazy danych jest w tej chwili używany na innym stanowisku"},
        {{fb::isc::network_error}, "Brak połączenia z serwerem bazy danych"},
        {{fb::isc::deadlock, fb::isc::update_conflict},
         "Te same dane zmienia w tej chwili inne stanowisko (konflikt blokad)"},
        {{fb::isc::login}, "Błędna nazwa użytkownika lub hasło"},
        {{fb::isc::dsql_error}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        const fb::Error e(c.codes.empty() ? 0 : c.codes.front(), "tekst serwera", c.codes);
        EXPECT_EQ(ErrorCause(e), QString::fromUtf8(c.cause));
        EXPECT_EQ(DbErrorMessage(e, "tekst"),
                  *c.cause ? QString::fromUtf8(c.cause) + "\r\ntekst" : QString("tekst"));
    }
}

// Through the loopback server.
class TdmServerTest : public testdb::SessionTest {
protected:
    void SetUp() override {
        REQUIRE_SERVER();
        sdb = std::make_unique<testdb::ServerDb>();
        s.dbPath = sdb->path();
        s.user = "SYSDBA";
        s.password = "pantrykey";
    }

    std::unique_ptr<testdb::ServerDb> sdb;
};

TEST_F(TdmServerTest, SysdbaSetsUpTheRoleAndTheAccount) {
    Tdm dm(s);
    dm.BazaConnect();
    ASSERT_EQ(s.connectionStatus, Status::connected);
    EXPECT_TRUE(dm.Jest("select * from rdb$roles where rdb$role_name='ADMIN_KZM'"));
    EXPECT_TRUE(dm.Jest("select * from rdb$user_privileges where rdb$user='USER_KZM' and "
                        "rdb$relation_name='ADMIN_KZM'"));
    fb::Service svc;
    svc.attach(testdb::serverHost(), "SYSDBA", "pantrykey");
    EXPECT_TRUE(svc.users().contains("USER_KZM"));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(TdmServerTest, WrongPasswordGivesStatus1) {
    s.password = "zle";
    Tdm dm(s);
    dm.BazaConnect();
    EXPECT_EQ(s.connectionStatus, Status::badLogin);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Błędna nazwa użytkownika lub hasło")});
    EXPECT_TRUE(log().contains(QStringLiteral("Błędna nazwa użytkownika lub hasło")));
    EXPECT_FALSE(dm.IBBaza.connected());
}

TEST_F(TdmServerTest, MissingDatabaseOnTheServerAndUnreachableHostGiveStatus2) {
    s.dbPath = testdb::serverHost() + ":" + testdb::serverFolder() + "/nie_ma.fdb";
    Tdm dm(s);
    dm.BazaConnect();
    EXPECT_EQ(s.connectionStatus, Status::openFailed);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("nie_ma.fdb"));
    EXPECT_TRUE(shown[0].startsWith(
        QStringLiteral("Brak pliku bazy danych albo brak dostępu do niego\r\n")))
        << shown[0].toStdString();

    shown.clear();
    s.dbPath = "127.0.0.1/3999:/srv/kzm/Baza.GDB"; // no server listens there
    dm.BazaConnect();
    EXPECT_EQ(s.connectionStatus, Status::openFailed);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Brak połączenia z serwerem bazy danych\r\n")))
        << shown[0].toStdString();
}

TEST_F(TdmServerTest, AnotherUserWorksInTheRole) {
    {
        Tdm admin(s);
        admin.BazaConnect(); // creates the role
        ASSERT_EQ(s.connectionStatus, Status::connected);
    }
    const QString name = "K_" + QUuid::createUuid().toString(QUuid::Id128).left(10).toUpper();
    fb::Service svc;
    svc.attach(testdb::serverHost(), "SYSDBA", "pantrykey");
    svc.addUser({name, "haslo123", {}, {}});
    {
        Tdm admin(s);
        admin.BazaConnect();
        ASSERT_TRUE(admin.RunSQL("grant ADMIN_KZM to " + name));
        ASSERT_TRUE(admin.RunSQL("create table T (ID integer)"));
        ASSERT_TRUE(admin.RunSQL("grant all on T to ADMIN_KZM"));
    }

    s.user = name;
    s.password = "haslo123";
    Tdm dm(s);
    dm.BazaConnect();
    EXPECT_EQ(s.connectionStatus, Status::connected);
    EXPECT_EQ(dm.MQReadString("R", "select current_role as r from rdb$database").trimmed(),
              "ADMIN_KZM");
    EXPECT_TRUE(dm.RunSQL("insert into T (ID) values (1)")); // allowed through the role only
    dm.IBBaza.disconnect();
    svc.deleteUser(name);
}

} // namespace
