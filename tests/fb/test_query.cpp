#include "fb/Database.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/TestDb.h"

#include <gtest/gtest.h>

using namespace fb;

namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.connect({tmp.path(), testdb::user, testdb::password});
        Transaction ddl(db);
        ddl.executeImmediate(
            "create table T (ID integer not null primary key, S smallint, N numeric(15,2), "
            "P numeric(6,2), F float, D date, TM time, TS timestamp, "
            "V varchar(40) character set WIN1250 collate PXW_PLK, C char(5), B blob sub_type 1)");
        ddl.commit();
    }

    testdb::EmbeddedDb tmp;
    Database db;
};

TEST_F(QueryTest, ValuesOfEveryColumnTypeRoundTripThroughParameters) {
    Transaction tr(db);
    Query ins(tr);
    ins.setSql("insert into T (ID,S,N,P,F,D,TM,TS,V,C) values (:id,:s,:n,:p,:f,:d,:tm,:ts,:v,:c)");
    ins.setParam("id", 1);
    ins.setParam("S", 7);
    ins.setParam("n", Decimal{-123456, 2});
    ins.setParam("p", 12.5);
    ins.setParam("f", 0.25);
    ins.setParam("d", QDate(2025, 1, 5));
    ins.setParam("tm", QTime(11, 30, 15));
    ins.setParam("ts", QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
    ins.setParam("v", QStringLiteral("Zażółć gęślą jaźń"));
    ins.setParam("c", "ab");
    ins.execSql();
    EXPECT_EQ(ins.rowsAffected(), 1);
    tr.commit();

    Query q(tr);
    q.setSql("select * from T");
    q.open();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.fieldByName("id").type(), FieldType::Integer);
    EXPECT_EQ(q.fieldByName("s").type(), FieldType::SmallInt);
    EXPECT_EQ(q.fieldByName("n").type(), FieldType::Numeric);
    EXPECT_EQ(q.fieldByName("n").scale(), 2);
    EXPECT_EQ(q.fieldByName("p").type(), FieldType::Numeric);
    EXPECT_EQ(q.fieldByName("f").type(), FieldType::Float);
    EXPECT_EQ(q.fieldByName("d").type(), FieldType::Date);
    EXPECT_EQ(q.fieldByName("tm").type(), FieldType::Time);
    EXPECT_EQ(q.fieldByName("ts").type(), FieldType::Timestamp);
    EXPECT_EQ(q.fieldByName("V").type(), FieldType::Varchar);
    EXPECT_EQ(q.fieldByName("V").size(), 40);
    EXPECT_EQ(q.fieldByName("c").type(), FieldType::Char);

    EXPECT_EQ(q.fieldByName("ID").asInteger(), 1);
    EXPECT_EQ(q.fieldByName("S").asInteger(), 7);
    EXPECT_EQ(q.fieldByName("N").value(), Value(Decimal{-123456, 2}));
    EXPECT_EQ(q.fieldByName("N").asString(), "-1234.56");
    EXPECT_DOUBLE_EQ(q.fieldByName("P").asDouble(), 12.5);
    EXPECT_DOUBLE_EQ(q.fieldByName("F").asDouble(), 0.25);
    EXPECT_EQ(q.fieldByName("D").asDate(), QDate(2025, 1, 5));
    EXPECT_EQ(q.fieldByName("TM").asTime(), QTime(11, 30, 15));
    EXPECT_EQ(q.fieldByName("TS").asDateTime(), QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
    EXPECT_EQ(q.fieldByName("V").asString(), QStringLiteral("Zażółć gęślą jaźń"));
    EXPECT_EQ(q.fieldByName("C").asString(), "ab   "); // char columns keep their padding
    EXPECT_TRUE(q.fieldByName("B").isNull());
}

TEST_F(QueryTest, NullParametersAndNullColumns) {
    Transaction tr(db);
    Query ins(tr);
    ins.setSql("insert into T (ID,N,D,V) values (?,?,?,?)");
    ins.setParam(0, 2);
    ins.setParam(1, Value());
    ins.setParam(2, QDate()); // an empty date is stored as null
    ins.setParam(3, Value());
    ins.execSql();
    Query q(tr);
    q.setSql("select N, D, V from T where ID=2");
    q.open();
    EXPECT_TRUE(q.fieldByName("N").isNull());
    EXPECT_EQ(q.fieldByName("N").asDouble(), 0.0);
    EXPECT_TRUE(q.fieldByName("D").isNull());
    EXPECT_FALSE(q.fieldByName("D").asDate().isValid());
    EXPECT_EQ(q.fieldByName("V").asString(), QString());
}

TEST_F(QueryTest, RepeatedExecutionsTakeValuesOfOtherLengthsAndKinds) {
    Transaction tr(db);
    Query ins(tr);
    ins.setSql("insert into T (ID, V, N) values (?, ?, ?)");
    const QString longText(40, QChar(u'ż'));
    const struct {
        Value id, v, n;
    } rows[] = {
        {1, "a", Decimal{5, 2}},
        {2, longText, 7},      // a longer text and an integer where a decimal was
        {3, Value(), "12.75"}, // null, then text for a number
        {"4", "b", 1.5},       // text for the key
    };
    for (const auto& r : rows) {
        ins.setParam(0, r.id);
        ins.setParam(1, r.v);
        ins.setParam(2, r.n);
        ins.execSql();
    }
    Query q(tr);
    q.setSql("select ID, V, N from T order by ID");
    q.open();
    QStringList got;
    for (; !q.eof(); q.next())
        got << q.fieldByName("ID").asString() + "|" + q.fieldByName("V").asString() + "|" +
                   q.fieldByName("N").value().toString();
    EXPECT_EQ(got, (QStringList{"1|a|0.05", "2|" + longText + "|7", "3||12.75", "4|b|1.5"}));
}

TEST_F(QueryTest, ColonsInsideLiteralsAndCommentsAreNotParameters) {
    Transaction tr(db);
    Query q(tr);
    q.setSql("select ':x' as a, 'it''s :y' as b /* :z */, cast(:w as integer) as c "
             "from rdb$database -- :v\n");
    EXPECT_EQ(q.paramCount(), 1);
    EXPECT_EQ(q.paramNames(), QStringList{"W"});
    q.setParam("w", 5);
    q.open();
    EXPECT_EQ(q.fieldByName("a").asString(), ":x");
    EXPECT_EQ(q.fieldByName("b").asString(), "it's :y");
    EXPECT_EQ(q.fieldByName("c").asInteger(), 5);
    EXPECT_THROW(q.setParam("nope", 1), fb::Error);
}

TEST_F(QueryTest, RowsAreFetchedOnDemandAndNavigable) {
    Transaction tr(db);
    tr.executeImmediate("execute block as declare i integer = 0; begin "
                        "while (i < 500) do begin insert into T (ID) values (:i); i = i + 1; "
                        "end end");
    Query q(tr);
    q.setSql("select ID from T order by ID");
    q.open();
    EXPECT_EQ(q.fetchedRows(), 1);
    EXPECT_TRUE(q.canFetchMore());
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.recNo(), 1);

    int n = 0;
    for (q.first(); !q.eof(); q.next())
        EXPECT_EQ(q.fieldByName("ID").asInteger(), n++);
    EXPECT_EQ(n, 500);
    EXPECT_FALSE(q.canFetchMore());
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 499); // at the end the last row stays current

    q.open();
    EXPECT_TRUE(q.moveTo(250));
    EXPECT_EQ(q.fieldByName("ID").asInteger(), 250);
    q.prior();
    EXPECT_EQ(q.recNo(), 250);
    q.last();
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recNo(), 500);
    EXPECT_FALSE(q.moveTo(500));
    EXPECT_TRUE(q.locate("id", 42));
    EXPECT_EQ(q.currentRow(), 42);
    EXPECT_FALSE(q.locate("id", 9999));
    EXPECT_EQ(q.currentRow(), 42);
}

TEST_F(QueryTest, EmptyResultIsBothBofAndEof) {
    Transaction tr(db);
    Query q(tr);
    q.setSql("select ID from T");
    q.open();
    EXPECT_TRUE(q.isOpen());
    EXPECT_TRUE(q.isEmpty());
    EXPECT_TRUE(q.eof());
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.recNo(), 0);
    EXPECT_TRUE(q.fieldByName("ID").isNull());
}

TEST_F(QueryTest, EndingTheTransactionClosesItsQueriesAndRollbackDiscardsWork) {
    Transaction tr(db);
    Query q(tr);
    q.setSql("insert into T (ID) values (10)");
    q.execSql();
    Query sel(tr);
    sel.setSql("select count(*) as jest from T");
    sel.open();
    EXPECT_EQ(sel.fieldByName("jest").asInteger(), 1);
    const auto gen = sel.generation();
    tr.rollback();
    EXPECT_FALSE(sel.isOpen());
    EXPECT_GT(sel.generation(), gen);
    sel.open(); // starts the transaction again
    EXPECT_TRUE(tr.inTransaction());
    EXPECT_EQ(sel.fieldByName("jest").asInteger(), 0);
}

TEST_F(QueryTest, TwoTransactionsOnOneAttachmentAreIndependent) {
    Transaction a(db), b(db);
    Query ins(a);
    ins.setSql("insert into T (ID) values (1)");
    ins.execSql();
    Query other(b);
    other.setSql("select count(*) as jest from T");
    other.open();
    EXPECT_EQ(other.fieldByName("jest").asInteger(), 0); // not yet committed
    a.commit();
    b.commit();
    other.open();
    EXPECT_EQ(other.fieldByName("jest").asInteger(), 1);
}

TEST_F(QueryTest, ExecuteProcedureReturnsItsOutputsAsOneRow) {
    Transaction tr(db);
    tr.executeImmediate("create procedure P_ADD (A integer, B integer) returns (S integer, "
                        "T varchar(10)) as begin S = A + B; T = 'ąę'; end");
    tr.commit();
    Query q(tr);
    q.setSql("execute procedure P_ADD(:a, :b)");
    q.setParam("a", 2);
    q.setParam("b", 40);
    q.execSql();
    ASSERT_TRUE(q.isOpen());
    EXPECT_EQ(q.fieldByName("S").asInteger(), 42);
    EXPECT_EQ(q.fieldByName("T").asString(), QStringLiteral("ąę"));
}

TEST_F(QueryTest, ProcedureBodiesGoUnchangedWhenParameterCheckIsOff) {
    Transaction tr(db);
    Query q(tr);
    q.setParamCheck(false);
    q.setSql("create procedure P_ONE returns (X integer) as declare v integer; begin v = 1; "
             "x = :v; suspend; end");
    q.execSql();
    tr.commit();
    Query sel(tr);
    sel.setSql("select X from P_ONE");
    sel.open();
    EXPECT_EQ(sel.fieldByName("x").asInteger(), 1);
}

TEST_F(QueryTest, TextBlobIsReadAsText) {
    Transaction tr(db);
    tr.executeImmediate("insert into T (ID, B) values (1, 'Gdańsk')");
    Query q(tr);
    q.setSql("select B from T");
    q.open();
    EXPECT_EQ(q.fieldByName("B").type(), FieldType::Blob);
    EXPECT_EQ(q.fieldByName("B").asString(), QStringLiteral("Gdańsk"));
}

TEST_F(QueryTest, ServerErrorsCarryCodeAndText) {
    Transaction tr(db);
    Query q(tr);
    q.setSql("select * from NO_SUCH_TABLE");
    try {
        q.open();
        FAIL() << "open did not throw";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), isc::dsql_error);
        EXPECT_TRUE(e.text().contains("NO_SUCH_TABLE")) << e.text().toStdString();
    }
    EXPECT_FALSE(q.isOpen());

    tr.executeImmediate("insert into T (ID) values (1)");
    q.setSql("insert into T (ID) values (1)");
    try {
        q.execSql();
        FAIL() << "duplicate key accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), isc::unique_key);
    }
    EXPECT_THROW(q.fieldByName("X"), fb::Error);
}

TEST_F(QueryTest, PolishTextSortsAndUpperCasesByPolishRules) {
    Transaction tr(db);
    Query ins(tr);
    ins.setSql("insert into T (ID, V) values (?, ?)");
    const QStringList words = {QStringLiteral("żaba"), QStringLiteral("łąka"),
                               QStringLiteral("lis"), QStringLiteral("ćma"), QStringLiteral("cel")};
    for (int i = 0; i < words.size(); ++i) {
        ins.setParam(0, i);
        ins.setParam(1, words[i]);
        ins.execSql();
    }
    Query q(tr);
    q.setSql("select upper(V) as U from T order by V");
    q.open();
    QStringList got;
    for (; !q.eof(); q.next())
        got << q.fieldByName("U").asString();
    EXPECT_EQ(got, (QStringList{"CEL", QStringLiteral("ĆMA"), "LIS", QStringLiteral("ŁĄKA"),
                                QStringLiteral("ŻABA")}));
}

TEST(DatabasePathTest, HostFileAndDriveLetters) {
    struct Case {
        QString in, host, file;
    } cases[] = {
        {"127.0.0.1:/srv/kzm/Baza/BazaOxle.GDB", "127.0.0.1", "/srv/kzm/Baza/BazaOxle.GDB"},
        {"/srv/kzm/Baza/BazaOxle.GDB", "", "/srv/kzm/Baza/BazaOxle.GDB"},
        {"C:\\KZM\\Baza\\BazaOxle.GDB", "", "C:/KZM/Baza/BazaOxle.GDB"},
        {"serwer:C:\\KZM\\Baza.GDB", "serwer", "C:/KZM/Baza.GDB"},
        {"Baza/x.gdb", "", "Baza/x.gdb"},
    };
    for (const Case& c : cases) {
        const DatabasePath p = DatabasePath::parse(c.in);
        EXPECT_EQ(p.host, c.host) << c.in.toStdString();
        EXPECT_EQ(p.file, c.file) << c.in.toStdString();
    }
}

} // namespace
