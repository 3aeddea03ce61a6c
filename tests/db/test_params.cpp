#include "core/Dates.h"
#include "core/Session.h"
#include "db/Params.h"
#include "db/Tdm.h"
#include "fb/Error.h"
#include "support/QtPrint.h"
#include "support/TestDb.h"
#include "support/TestSession.h"

#include <QMap>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace kzm;

namespace kzm {
static void PrintTo(const GlobalParams& g, std::ostream* os) {
    *os << "{" << g.SYGNAL_WYD << ' ' << g.SYGNAL_BLOK << ' ' << g.NR_INSTALACJI << ' '
        << g.CLEARTIMEOUT << ' ' << g.LOADTIMEOUT << ' ' << g.MAXKODKARTY << ' ' << g.COMP << ' '
        << g.CPAKT << g.WdnBzKmnkt << g.BlkWdnBzKmnkt << ' ' << g.ProcentRzlWody << ' '
        << g.MAXKODOPER << ' ' << g.OBIAD_OD.toString().toStdString() << '-'
        << g.OBIAD_DO.toString().toStdString() << ' ' << g.idStawka020 << ' ' << g.idSTawka030
        << ' ' << g.idStawka110 << ' ' << g.idWoda166 << ' ' << g.idWoda160 << ' ' << g.idObiad
        << "}";
}
} // namespace kzm

namespace {

const char* createParametry =
    "CREATE TABLE PARAMETRY (LOKALIZACJA VARCHAR(12) NOT NULL, SEKCJA VARCHAR(15) NOT NULL, "
    "NAZWA VARCHAR(25) NOT NULL, PSTRING VARCHAR(100), PINTEGER INTEGER, PFLOAT NUMERIC(15,4), "
    "PDATA DATE, PTIME TIME, Primary Key (LOKALIZACJA, SEKCJA, NAZWA))";

// A session and a data module on a fresh embedded database with an empty PARAMETRY.
class ParamsTest : public testdb::SessionTest {
protected:
    void SetUp() override {
        s.dbPath = db.path();
        dm.BazaConnect();
        ASSERT_EQ(s.connectionStatus, Status::connected);
        ASSERT_TRUE(dm.RunSQL(createParametry));
    }

    // Every row as "LOKALIZACJA/SEKCJA/NAZWA" -> the value columns as text ("-" for null,
    // PFLOAT with all its four places), read in a transaction of its own, so only committed
    // work shows.
    QMap<QString, QString> rows() {
        QMap<QString, QString> out;
        EXPECT_TRUE(dm.OpenQ(dm.IBQ, "select * from PARAMETRY"));
        for (; !dm.IBQ.eof(); dm.IBQ.next()) {
            QStringList values;
            for (const char* c : {"PSTRING", "PINTEGER", "PFLOAT", "PDATA", "PTIME"}) {
                const fb::Field* f = dm.IBQ.findField(c);
                if (!f)
                    continue;
                const fb::Value v = f->value();
                const auto* dec = std::get_if<fb::Decimal>(&v.storage());
                values << (v.isNull() ? QStringLiteral("-") : dec ? dec->toString() : v.toString());
            }
            out.insert(dm.IBQ.fieldByName("LOKALIZACJA").asString() + '/' +
                           dm.IBQ.fieldByName("SEKCJA").asString() + '/' +
                           dm.IBQ.fieldByName("NAZWA").asString(),
                       values.join('|'));
        }
        dm.OpenQ(dm.IBQ, "");
        return out;
    }

    void dropTable() {
        // No prepared statement may still refer to the table.
        dm.IBQdm.setSql(QString());
        dm.IBQ.setSql(QString());
        dm.IBTdm.rollbackQuietly();
        ASSERT_TRUE(dm.RunSQL("drop table PARAMETRY"));
    }

    testdb::EmbeddedDb db;
    Tdm dm{s};
    ParamStore p{dm};
};

QString key(const char* name) {
    return QStringLiteral("GLOBAL/PR_KZM/") + name;
}

TEST_F(ParamsTest, InitParamOnAFreshTableLoadsDefaultsAndWritesOnlyTheFixedRows) {
    GlobalParams g;
    EXPECT_EQ(g, GlobalParams{});
    EXPECT_EQ(g.OBIAD_OD, QTime(0, 0));
    InitParam(dm, g);

    const QMap<QString, QString> expected{
        {key("MAXKODOPER"), "-|5000|-|-|-"}, {key("IDSTAWKA020"), "-|20|-|-|-"},
        {key("IDSTAWKA030"), "-|30|-|-|-"},  {key("IDSTAWKA110"), "-|40|-|-|-"},
        {key("IDWODA166"), "-|990|-|-|-"},   {key("IDWODA160"), "-|991|-|-|-"},
        {key("IDOBIAD"), "-|992|-|-|-"},
    };
    EXPECT_EQ(rows(), expected);

    GlobalParams want;
    want.SYGNAL_WYD = 0;
    want.SYGNAL_BLOK = 1;
    want.NR_INSTALACJI = 0;
    want.CLEARTIMEOUT = 10000;
    want.LOADTIMEOUT = 50;
    want.MAXKODKARTY = 1000;
    want.COMP = 1;
    want.ProcentRzlWody = 30;
    want.MAXKODOPER = 5000;
    want.idStawka020 = 20;
    want.idSTawka030 = 30;
    want.idStawka110 = 40;
    want.idWoda166 = 990;
    want.idWoda160 = 991;
    want.idObiad = 992;
    EXPECT_EQ(g, want);
    EXPECT_FALSE(dm.IBTdm.inTransaction());

    // The fixed rows are rewritten at every load, whatever was stored in them.
    p.WriteParI("MAXKODOPER", 7);
    p.WriteParI("IDOBIAD", 1);
    InitParam(dm, g);
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(g, want);
}

TEST_F(ParamsTest, InitParamLoadsStoredValues) {
    p.WriteParI("SYGNAL_WYD", 1);
    p.WriteParI("SYGNAL_BLOK", 0);
    p.WriteParI("NR_INSTALACJI", 17);
    p.WriteParI("CLEARTIMEOUT", 2500);
    p.WriteParI("LOADTIMEOUT", 80);
    p.WriteParI("MAXKODKARTY", 65000);
    p.WriteParI("COMP", 3);
    p.WriteParF("ProcentRzlWody", 12.5);
    p.WriteParT("OBIAD_OD", QTime(11, 30));
    p.WriteParT("OBIAD_DO", QTime(14, 0));
    p.WriteParI("MAXKODOPER", 1); // fixed: rewritten by the load

    GlobalParams g;
    InitParam(dm, g);
    EXPECT_EQ(g.SYGNAL_WYD, 1);
    EXPECT_EQ(g.SYGNAL_BLOK, 0);
    EXPECT_EQ(g.NR_INSTALACJI, 17);
    EXPECT_EQ(g.CLEARTIMEOUT, 2500);
    EXPECT_EQ(g.LOADTIMEOUT, 80);
    EXPECT_EQ(g.MAXKODKARTY, 65000);
    EXPECT_EQ(g.COMP, 3);
    EXPECT_EQ(g.ProcentRzlWody, 12.5);
    EXPECT_EQ(g.OBIAD_OD, QTime(11, 30));
    EXPECT_EQ(g.OBIAD_DO, QTime(14, 0));
    EXPECT_EQ(g.MAXKODOPER, 5000);
}

TEST_F(ParamsTest, FlagsAreOnOnlyWhenStoredAsExactlyOne) {
    struct Case {
        int stored;
        bool on;
    };
    for (const Case c : {Case{1, true}, Case{2, false}, Case{0, false}, Case{-1, false}}) {
        p.WriteParI("CPAKT", c.stored);
        p.WriteParI("WdnBzKmnkt", c.stored);
        p.WriteParI("BlkWdnBzKmnkt", c.stored);
        GlobalParams g;
        g.CPAKT = g.WdnBzKmnkt = g.BlkWdnBzKmnkt = !c.on;
        InitParam(dm, g);
        EXPECT_EQ(g.CPAKT, c.on) << c.stored;
        EXPECT_EQ(g.WdnBzKmnkt, c.on) << c.stored;
        EXPECT_EQ(g.BlkWdnBzKmnkt, c.on) << c.stored;
    }

    // Absent rows mean off, even over a value that was on in memory.
    ASSERT_TRUE(dm.RunSQL("delete from PARAMETRY"));
    GlobalParams g;
    g.CPAKT = g.WdnBzKmnkt = g.BlkWdnBzKmnkt = true;
    InitParam(dm, g);
    EXPECT_FALSE(g.CPAKT);
    EXPECT_FALSE(g.WdnBzKmnkt);
    EXPECT_FALSE(g.BlkWdnBzKmnkt);
}

// Values the program could never have loaded, to see that nothing was touched.
GlobalParams sentinel() {
    GlobalParams g;
    g.SYGNAL_WYD = 5;
    g.SYGNAL_BLOK = 6;
    g.CLEARTIMEOUT = 7;
    g.CPAKT = true;
    g.BlkWdnBzKmnkt = true;
    g.ProcentRzlWody = 1.25;
    g.MAXKODOPER = 8;
    g.OBIAD_OD = QTime(10, 15);
    g.OBIAD_DO = QTime(12, 45);
    g.idObiad = 9;
    return g;
}

TEST_F(ParamsTest, InitParamWithoutTheTableChangesNothing) {
    dropTable();
    GlobalParams g = sentinel();
    InitParam(dm, g);
    EXPECT_EQ(g, sentinel());
    EXPECT_FALSE(dm.IBTdm.inTransaction());
}

TEST_F(ParamsTest, InitParamWithoutTheTimeColumnKeepsTheLunchHours) {
    ASSERT_TRUE(dm.RunSQL("alter table PARAMETRY drop PTIME"));
    p.WriteParI("CLEARTIMEOUT", 300);
    GlobalParams g = sentinel();
    InitParam(dm, g);
    EXPECT_EQ(g.OBIAD_OD, QTime(10, 15));
    EXPECT_EQ(g.OBIAD_DO, QTime(12, 45));
    EXPECT_EQ(g.CLEARTIMEOUT, 300);
    EXPECT_EQ(g.MAXKODOPER, 5000);
    EXPECT_EQ(g.idObiad, 992);
    EXPECT_EQ(rows().value(key("CLEARTIMEOUT")), "-|300|-|-");
}

TEST_F(ParamsTest, InitParamThatFailsToReadRaisesAndKeepsTheValuesInUse) {
    // The integer column is gone: the first read fails after the table was found.
    ASSERT_TRUE(dm.RunSQL("alter table PARAMETRY drop PINTEGER"));
    GlobalParams g = sentinel();
    EXPECT_THROW(InitParam(dm, g), fb::Error);
    EXPECT_EQ(g, sentinel());
}

TEST_F(ParamsTest, EachTypeRoundTripsInItsOwnColumnOfOneRow) {
    p.WriteParI("WARTOSC", -42);
    p.WriteParF("WARTOSC", 12.3456);
    p.WriteParD("WARTOSC", QDate(2026, 12, 8));
    p.WriteParT("WARTOSC", QTime(11, 30, 15));
    p.WriteParS("WARTOSC", QStringLiteral("Zażółć gęślą jaźń"));

    EXPECT_EQ(rows(), (QMap<QString, QString>{
                          {key("WARTOSC"), "Zażółć gęślą jaźń|-42|12.3456|08.12.2026|11:30:15"}}));
    EXPECT_EQ(p.ReadParI("WARTOSC", 0), -42);
    EXPECT_EQ(p.ReadParF("WARTOSC", 0), 12.3456); // exactly the double of the literal
    EXPECT_EQ(p.ReadParD("WARTOSC", QDate()), QDate(2026, 12, 8));
    EXPECT_EQ(p.ReadParT("WARTOSC", QTime()), QTime(11, 30, 15));
    QString text;
    p.ReadParS("WARTOSC", "brak", text);
    EXPECT_EQ(text, QStringLiteral("Zażółć gęślą jaźń"));
    EXPECT_TRUE(p.JestPar("WARTOSC"));
    EXPECT_FALSE(dm.IBTdm.inTransaction());

    // Writing again updates in place; the other columns keep their values.
    p.WriteParI("WARTOSC", 7);
    p.WriteParS("WARTOSC", QString());
    EXPECT_EQ(rows(), (QMap<QString, QString>{{key("WARTOSC"), "|7|12.3456|08.12.2026|11:30:15"}}));
}

TEST_F(ParamsTest, DecimalsAreRoundedToFourPlaces) {
    struct Case {
        double written;
        const char* stored;
        double read;
    };
    for (const Case c : {Case{0.1, "0.1000", 0.1}, Case{1.23456, "1.2346", 1.2346},
                         Case{-7.00004, "-7.0000", -7.0},
                         Case{99999999999.9999, "99999999999.9999", 99999999999.9999}}) {
        p.WriteParF("F", c.written);
        EXPECT_EQ(rows().value(key("F")), QStringLiteral("-|-|%1|-|-").arg(c.stored)) << c.written;
        EXPECT_EQ(p.ReadParF("F", 0), c.read) << c.written;
    }
}

TEST_F(ParamsTest, AnIntegerWrittenOverATextKeepsTheText) {
    p.WriteParS("FileImp", QStringLiteral("/srv/kzm/Dane/plan_grudzień.txt"));
    p.WriteParI("FileImp", 3);
    EXPECT_EQ(rows(), (QMap<QString, QString>{
                          {key("FILEIMP"), "/srv/kzm/Dane/plan_grudzień.txt|3|-|-|-"}}));
}

TEST_F(ParamsTest, KeysAreUpperCasedSoAnySpellingAddressesOneRow) {
    p.WriteParI("WdnBzKmnkt", 1);
    EXPECT_EQ(p.ReadParI("WDNBZKMNKT", 0), 1);
    EXPECT_EQ(p.ReadParI("wdnbzkmnkt", 0), 1);
    p.WriteParI("WDNBZKMNKT", 0);
    EXPECT_EQ(p.ReadParI("WdnBzKmnkt", 5), 0);
    EXPECT_EQ(rows().keys(), QStringList{key("WDNBZKMNKT")});

    // Location and section too, Polish letters included.
    p.WriteParS("źródło", "x", "Sekcja_Ł", "stanowisko");
    EXPECT_TRUE(rows().contains(QStringLiteral("STANOWISKO/SEKCJA_Ł/ŹRÓDŁO")));
    QString text;
    p.ReadParS("ŹRÓDŁO", "", text, "sekcja_ł", "Stanowisko");
    EXPECT_EQ(text, "x");
    EXPECT_TRUE(p.JestPar("Źródło", "STANOWISKO", "SEKCJA_Ł"));
    EXPECT_FALSE(p.JestPar("Źródło")); // not under GLOBAL / PR_KZM
}

TEST_F(ParamsTest, WritersTrimTheNameAndReadersDoNot) {
    p.WriteParI(" CPAKT ", 1);
    EXPECT_EQ(rows().keys(), QStringList{key("CPAKT")});
    EXPECT_EQ(p.ReadParI(" CPAKT ", 7), 7);
    EXPECT_EQ(p.ReadParI("CPAKT", 7), 1);
    EXPECT_FALSE(p.JestPar(" CPAKT "));
    p.WriteParI(" CPAKT", 2); // the same row
    EXPECT_EQ(p.ReadParI("CPAKT", 7), 2);
    EXPECT_EQ(rows().size(), 1);
}

TEST_F(ParamsTest, ReadersGiveTheDefaultWithoutARowAndZeroForANullColumn) {
    QString text;
    EXPECT_EQ(p.ReadParI("BRAK", 10000), 10000);
    EXPECT_EQ(p.ReadParF("BRAK", 30.5), 30.5);
    EXPECT_EQ(p.ReadParD("BRAK", QDate(2020, 2, 29)), QDate(2020, 2, 29));
    EXPECT_EQ(p.ReadParT("BRAK", QTime(7, 5)), QTime(7, 5));
    p.ReadParS("BRAK", "domyślny", text);
    EXPECT_EQ(text, QStringLiteral("domyślny"));

    ASSERT_TRUE(dm.RunSQL("insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA) values "
                          "('GLOBAL', 'PR_KZM', 'PUSTY')"));
    EXPECT_EQ(p.ReadParI("PUSTY", 10000), 0);
    EXPECT_EQ(p.ReadParF("PUSTY", 30.5), 0.0);
    EXPECT_EQ(p.ReadParD("PUSTY", QDate(2020, 2, 29)), ZeroDate());
    EXPECT_EQ(p.ReadParT("PUSTY", QTime(7, 5)), QTime(0, 0));
    text = "stary";
    p.ReadParS("PUSTY", "domyślny", text);
    EXPECT_EQ(text, QString());
    EXPECT_TRUE(p.JestPar("PUSTY"));
    EXPECT_FALSE(dm.IBTdm.inTransaction());
}

TEST_F(ParamsTest, ReadersRaiseDatabaseErrors) {
    dropTable();
    QString text;
    const std::vector<std::function<void()>> readers{
        [&] { p.ReadParI("X", 0); },        [&] { p.ReadParF("X", 0); },
        [&] { p.ReadParD("X", QDate()); },  [&] { p.ReadParT("X", QTime()); },
        [&] { p.ReadParS("X", "", text); }, [&] { p.JestPar("X"); },
    };
    for (size_t i = 0; i < readers.size(); ++i) {
        EXPECT_THROW(readers[i](), fb::Error) << i;
        EXPECT_FALSE(dm.IBTdm.inTransaction()) << i << ": nothing left open";
    }
}

TEST_F(ParamsTest, WritersSetTheErrorContextAndFailSilently) {
    struct Case {
        const char* writer;
        std::function<void(const QString&)> write;
    };
    const std::vector<Case> cases{
        {"WriteParI", [&](const QString& n) { p.WriteParI(n, 1); }},
        {"WriteParF", [&](const QString& n) { p.WriteParF(n, 1.5); }},
        {"WriteParD", [&](const QString& n) { p.WriteParD(n, QDate(2026, 1, 2)); }},
        {"WriteParT", [&](const QString& n) { p.WriteParT(n, QTime(3, 4)); }},
        {"WriteParS", [&](const QString& n) { p.WriteParS(n, "ą"); }},
    };
    for (const Case& c : cases) {
        s.TakeErrContext();
        c.write("  Nazwa ");
        EXPECT_EQ(s.errContext.form, "dm");
        EXPECT_EQ(s.errContext.operation, c.writer);
        EXPECT_EQ(s.errContext.detail, "Nazwa");
    }
    EXPECT_EQ(rows().value(key("NAZWA")), "ą|1|1.5000|02.01.2026|03:04:00");

    // A name too long for its column: the insert fails, nothing is stored, nothing raised.
    const QString tooLong(26, 'N');
    for (const Case& c : cases) {
        EXPECT_NO_THROW(c.write(tooLong)) << c.writer;
        EXPECT_FALSE(dm.IBTdm.inTransaction()) << c.writer;
    }
    // A text too long for PSTRING fails the update of an existing row: the row stays.
    p.WriteParS("NAZWA", QString(101, 'x'));
    EXPECT_EQ(rows().keys(), QStringList{key("NAZWA")});
    EXPECT_EQ(rows().value(key("NAZWA")), "ą|1|1.5000|02.01.2026|03:04:00");

    // Without the table every writer still returns quietly, and the store works again once
    // the table is back.
    dropTable();
    for (const Case& c : cases)
        EXPECT_NO_THROW(c.write("X")) << c.writer;
    EXPECT_FALSE(dm.IBTdm.inTransaction());
    ASSERT_TRUE(dm.RunSQL(createParametry));
    p.WriteParI("X", 4);
    EXPECT_EQ(p.ReadParI("X", 0), 4);
}

TEST(GlobalParamsLunchPeriod, ByTimeOfDayAgainstTheLunchHours) {
    GlobalParams g;
    g.OBIAD_OD = QTime(11, 30);
    g.OBIAD_DO = QTime(14, 0);
    struct Case {
        QTime at;
        int period;
    };
    for (const Case& c :
         {Case{QTime(0, 0), 1}, Case{QTime(11, 29, 59, 999), 1}, Case{QTime(11, 29), 1},
          Case{QTime(11, 30), 2}, Case{QTime(13, 59), 2}, Case{QTime(13, 59, 59, 999), 2},
          Case{QTime(14, 0), 3}, Case{QTime(23, 59, 59), 3}})
        EXPECT_EQ(LunchPeriod(c.at, g), c.period) << c.at.toString("hh:mm:ss.zzz").toStdString();

    // Without lunch hours every time is after lunch.
    const GlobalParams none;
    for (const QTime& t : {QTime(0, 0), QTime(11, 30), QTime(23, 59, 59, 999)})
        EXPECT_EQ(LunchPeriod(t, none), 3);
}

} // namespace
