#include "core/Dates.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <vector>

using namespace kzm;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The data module and the utility module over a copy of the catalogue database.
class TdmuTest : public testdb::CatalogueDbTest {
protected:
    void run(const QString& sql) { ASSERT_TRUE(dm.RunSQL(sql)) << sql.toStdString(); }
    int id(const QString& sql) { return dm.ReadInteger("ID", sql, -1); }
    QString path(const QString& name) const { return home.path() + '/' + name; }

    Tdmu dmu{dm};
};

// ---- uniqueness checks

TEST_F(TdmuTest, JestIntLeavesOutTheEditedRowOnlyWithBothItsFieldAndValue) {
    run("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (701, 0, 'A')");
    run("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (702, 0, 'B')");
    const int a = id("select ID from KZM_JEDNOSTKI where NUMER=701");
    const int b = id("select ID from KZM_JEDNOSTKI where NUMER=702");
    ASSERT_GE(a, 0);

    struct Case {
        int excludedValue;
        const char* excludedField;
        int value;
        bool expected;
    };
    const std::vector<Case> cases = {
        {-1, "", 701, true},   // no exclusion
        {a, "ID", 701, false}, // the unit being edited holds the number itself
        {b, "ID", 701, true},  // another unit holds it
        {a, "", 701, true},    // without the field the value is not used
        {-1, "ID", 701, true}, // -1: a new unit
        {-1, "", 703, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dmu.JestInt("KZM_JEDNOSTKI", "NUMER", c.excludedValue, c.excludedField, c.value),
                  c.expected)
            << c.excludedValue << " " << c.excludedField << " " << c.value;
        EXPECT_FALSE(dmu.IBQ.isOpen());
        EXPECT_FALSE(dmu.IBTrans.inTransaction());
    }
}

TEST_F(TdmuTest, JestStringLooksForTheTextAsALiteralWouldStoreIt) {
    // Texts reach the database through the literal builders, so an apostrophe is stored as
    // a double-quote character.
    run("insert into KZM_STOPNIE (SKROT, NAZWA) values ('O\"Brien', 'x')");
    run("insert into KZM_STOPNIE (SKROT, NAZWA) values ('płk', 'pułkownik')");
    const int obrien = id("select ID from KZM_STOPNIE where SKROT='O\"Brien'");
    const int plk = id("select ID from KZM_STOPNIE where SKROT='płk'");

    EXPECT_TRUE(dmu.JestString("KZM_STOPNIE", "SKROT", -1, "O'Brien"));
    EXPECT_FALSE(dmu.JestString("KZM_STOPNIE", "SKROT", obrien, "O'Brien"));
    EXPECT_TRUE(dmu.JestString("KZM_STOPNIE", "SKROT", plk, "O'Brien"));
    EXPECT_TRUE(dmu.JestString("KZM_STOPNIE", "SKROT", -1, "płk"));
    EXPECT_FALSE(dmu.JestString("KZM_STOPNIE", "SKROT", plk, "płk"));
    EXPECT_FALSE(dmu.IBTrans.inTransaction());
}

TEST_F(TdmuTest, ChecksAndLookupsLetDatabaseErrorsThroughAndRecover) {
    EXPECT_THROW(dmu.JestInt("NIE_MA_TABELI", "NUMER", -1, "", 1), fb::Error);
    EXPECT_FALSE(dmu.IBTrans.inTransaction());
    EXPECT_THROW(dmu.JestString("KZM_STOPNIE", "NIE_MA_POLA", -1, "x"), fb::Error);
    EXPECT_FALSE(dmu.JestString("KZM_STOPNIE", "SKROT", -1, "nie ma"));

    EXPECT_EQ(dmu.DajNazweJedn(-5), "");

    dm.IBBaza.disconnect();
    EXPECT_THROW(dmu.DajNazweZdarz(1, 1), fb::Error);
    EXPECT_THROW(dmu.DajNazweJednNum(1), fb::Error);
    EXPECT_FALSE(dmu.IBTdmu.inTransaction());
}

// ---- row after a deletion

TEST_F(TdmuTest, NextIDGivesTheNextRowOrThePreviousOneAtTheEnd) {
    for (const char* s : {"nx1", "nx2", "nx3", "ny1"})
        run(QString("insert into KZM_STOPNIE (SKROT, NAZWA) values ('%1', 'x')").arg(s));
    std::vector<int> ids;
    fb::Transaction t(dm.IBBaza);
    fb::Query q(t);
    q.setSql("select ID, SKROT from KZM_STOPNIE where SKROT starting with 'nx' order by ID");
    q.open();
    for (; !q.eof(); q.next())
        ids.push_back(q.fieldByName("ID").asInteger());
    ASSERT_EQ(ids.size(), 3u);

    struct Case {
        int on;       // current row before
        int expected; // row whose key comes back, and where the query stands after
    };
    for (const Case c : {Case{0, 1}, Case{1, 2}, Case{2, 1}}) {
        q.close();
        q.open(); // only the first row is fetched: the next one comes on demand
        ASSERT_TRUE(q.moveTo(c.on));
        EXPECT_EQ(Tdmu::NextID(q, "ID"), ids[static_cast<size_t>(c.expected)]) << c.on;
        EXPECT_EQ(q.currentRow(), c.expected);
    }

    q.setSql("select ID from KZM_STOPNIE where SKROT='ny1'");
    q.open();
    const int only = q.fieldByName("ID").asInteger();
    EXPECT_EQ(Tdmu::NextID(q, "id"), only);
    EXPECT_EQ(q.currentRow(), 0);
}

// ---- names

TEST_F(TdmuTest, NamesOfUnitsGroupsAndEventTypes) {
    run("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (811, 0, 'Kompania Łączności')");
    run("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (812, 0, null)");
    const int unit = id("select ID from KZM_JEDNOSTKI where NUMER=811");
    const int noName = id("select ID from KZM_JEDNOSTKI where NUMER=812");
    run("insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA) values (97, 3, 'ŻYW', 'żywność')");

    EXPECT_EQ(dmu.DajNazweJedn(unit), "Kompania Łączności");
    EXPECT_EQ(dmu.DajNazweJedn(noName), "");
    EXPECT_EQ(dmu.DajNazweJedn(999999), "");
    EXPECT_EQ(dmu.DajNazweJednNum(811), "Kompania Łączności");
    EXPECT_EQ(dmu.DajNazweJednNum(999999), "");
    EXPECT_EQ(dmu.DajNazweZdarz(3, 97), "ŻYW");
    EXPECT_EQ(dmu.DajNazweZdarz(2, 97), "");
    EXPECT_EQ(dmu.DajNazweZdarz(3, 98), "");
    EXPECT_FALSE(dmu.IBQdmu.isOpen());
    EXPECT_FALSE(dmu.IBTdmu.inTransaction());

    const std::vector<std::pair<int, QString>> groups = {
        {0, ""}, {1, "Z KUCHNI"}, {2, "POZA KUCHNIĄ"}, {3, "RÓWNOWAŻNIK"}, {4, "INNE"},
        {5, ""}, {-1, ""}};
    for (const auto& [group, name] : groups)
        EXPECT_EQ(Tdmu::DajNazweGrw(group), name) << group;
}

// ---- display formatters

TEST(TdmuFormatters, CenaShowsHundredthsRoundedHalfAwayFromZero) {
    const std::vector<std::pair<fb::Value, QString>> cases = {
        {fb::Decimal{350, 2}, "3.50"},
        {fb::Decimal{35, 1}, "3.50"},
        {fb::Decimal{12, 0}, "12.00"},
        {fb::Decimal{12345, 3}, "12.35"},
        {fb::Decimal{-12345, 3}, "-12.35"},
        {fb::Decimal{12344, 3}, "12.34"},
        {fb::Decimal{50, 4}, "0.01"},
        {fb::Decimal{-49, 4}, "0.00"},
        {fb::Decimal{123456789012, 2}, "1234567890.12"},
        {std::int64_t{1234567}, "1234567.00"},
        {-7, "-7.00"},
        {2.675, "2.68"},
        {1.005, "1.01"},
        {-1.005, "-1.01"},
        {-0.001, "0.00"},
        {QString("12,5"), "12.50"},
        {QString("abc"), "abc"},
        {fb::Value(), ""},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(Tdmu::getCena(v), text) << v.toString().toStdString();
}

TEST(TdmuFormatters, WeekdaysShortAndInFull) {
    const QStringList shortNames = {"Pn", "Wt", "Śr", "Cz", "Pt", "So", "Nd"};
    const QStringList fullNames = {"Poniedziałek", "Wtorek", "Środa",    "Czwartek",
                                   "Piatek",       "Sobota", "Niedziela"};
    const QDate monday(2025, 1, 6);
    for (int i = 0; i < 7; ++i) {
        const QDate d = monday.addDays(i);
        EXPECT_EQ(Tdmu::getDzien(d), shortNames[i]);
        EXPECT_EQ(Tdmu::getDzienF(d), fullNames[i]);
        EXPECT_EQ(Tdmu::getDzienF(QDateTime(d, QTime(13, 30))), fullNames[i]);
    }
    EXPECT_EQ(Tdmu::getDzien(fb::Value()), "");
    EXPECT_EQ(Tdmu::getDzienF(fb::Value()), "");
    EXPECT_EQ(Tdmu::getDzien(QString("nie data")), "");
}

TEST(TdmuFormatters, GroupPlaceDateAndRate) {
    struct Case {
        fb::Value v;
        QString grupa, miejsce, stawka;
    };
    const std::vector<Case> cases = {
        {0, "Wojsko", "W", "brak"},
        {1, "Cywile", "G", "brak"},
        {-1, "Cywile", "G", "brak"},
        {20, "Cywile", "G", "020"},
        {30, "Cywile", "G", "030"},
        {fb::Decimal{2000, 2}, "Cywile", "G", "020"},
        {fb::Decimal{2050, 2}, "Cywile", "G", "brak"},
        {40, "Cywile", "G", "brak"},
        {fb::Value(), "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tdmu::getGrupa(c.v), c.grupa) << c.v.toString().toStdString();
        EXPECT_EQ(Tdmu::getMiejsce(c.v), c.miejsce) << c.v.toString().toStdString();
        EXPECT_EQ(Tdmu::getStawka(c.v), c.stawka) << c.v.toString().toStdString();
    }

    EXPECT_EQ(Tdmu::getData(QDate(2025, 1, 5)), "05.01.2025");
    EXPECT_EQ(Tdmu::getData(QDateTime(QDate(2025, 1, 5), QTime(23, 59))), "05.01.2025");
    EXPECT_EQ(Tdmu::getData(ZeroDate()), "");
    EXPECT_EQ(Tdmu::getData(QDateTime(ZeroDate(), QTime(8, 0))), "");
    EXPECT_EQ(Tdmu::getData(fb::Value()), "");
}

TEST_F(TdmuTest, JednShowsTheUnitNameOfEachCell) {
    run("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (821, 0, 'Bateria Ósma')");
    run("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (822, 1, 'Sztab')");
    fb::Transaction t(dm.IBBaza);
    fb::Query q(t);
    q.setSql("select ID as IDJEDN, NUMER from KZM_JEDNOSTKI where NUMER in (821, 822) union all "
             "select 999999, 0 from rdb$database union all select null, 0 from rdb$database "
             "order by 2 desc");
    const Formatter jedn = dmu.getJedn();
    q.open();
    q.fetchAll();
    ASSERT_EQ(q.fetchedRows(), 4);
    EXPECT_EQ(jedn(q.value(0, 0)), "Sztab");
    EXPECT_EQ(jedn(q.value(1, 0)), "Bateria Ósma");
    EXPECT_EQ(jedn(q.value(2, 0)), ""); // no such unit
    EXPECT_EQ(jedn(q.value(3, 0)), ""); // null
}

TEST(TdmuFormatters, CenaFieldsAreTheListedNamesOrTheAmountColumns) {
    const struct {
        const char* name;
        const char* list;
        bool cena;
    } cases[] = {
        {"STP", "stp;stawka", true},
        {"stawka", "stp;stawka", true},
        {"STAWKA_DW", "stp;stawka", false},
        {"KWOTA", "stp;stawka", false},
        {"STAWKA", "", true},
        {"STAWKA_DW", "", true},
        {"STAWKA_DW110", "", true},
        {"STAWKA_110", "", true},
        {"POJEMNOSC", "", true},
        {"KWOTA", "", true},
        {"STP", "", false},
        {"KWOTA2", "", false},
        {"STAWKA_DW", "STAWKA_D;TAWKA;kwota2", false},
        {"STAWKA", "STAWKA_D;TAWKA;kwota2", false},
        {"KWOTA2", "STAWKA_D;TAWKA;kwota2", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Tdmu::CenaField(c.name, c.list), c.cena) << c.name << " in " << c.list;
}

// ---- export

class TdmuExportTest : public TdmuTest {
protected:
    void SetUp() override {
        TdmuTest::SetUp();
        run("create table T_EXP (ID integer, NAZWA varchar(40), KWOTA numeric(15,2), "
            "ILE smallint, DUZA bigint, WAGA double precision, F float, DATA date, GODZ time, "
            "ZAPIS timestamp, OPIS blob sub_type text)");
        fb::Transaction t(dm.IBBaza);
        fb::Query ins(t);
        ins.setSql("insert into T_EXP values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        const auto row = [&](const std::vector<fb::Value>& values) {
            for (size_t i = 0; i < values.size(); ++i)
                ins.setParam(static_cast<int>(i), values[i]);
            ins.execSql();
        };
        const fb::Value null;
        row({1, null, fb::Decimal{350, 2}, -2, std::int64_t{9000000000}, 1.0 / 3, 0.1,
             QDate(2025, 1, 5), QTime(14, 3, 9), QDateTime(QDate(2025, 1, 5), QTime(14, 3, 9)),
             "a\r\nb"});
        row({2, "Żółć O'Brien", fb::Decimal{1200, 2}, 0, std::int64_t{0}, 12.0, 2.5, null, null,
             QDateTime(QDate(2025, 1, 6), QTime(0, 0)), null});
        row({3, "Łąka\nŚnieg", fb::Decimal{-5, 2}, null, std::int64_t{-1}, 1e20, 1.5e-7,
             QDate(2024, 2, 29), QTime(0, 0), null, "x\ry"});
        t.commit();
    }

    static QByteArray expected() {
        return QByteArray("ID\tNAZWA\tKWOTA\tILE\tDUZA\tWAGA\tF\tDATA\tGODZ\tZAPIS\tOPIS\t\r\n"
                          "1\tNull\t3,5\t-2\t9000000000\t0,333333333333333\t0,1\t'05.01.2025'\t"
                          "'30.12.1899'\t'05.01.2025 14:03:09'\t'aCarriageReturnLineFeedb'\t\r\n"
                          "2\t'\xAF\xF3\xB3\xE6 O\"Brien'\t12\t0\t0\t12\t2,5\tNull\tNull\t"
                          "'06.01.2025'\tNull\t\r\n"
                          "3\t'\xA3\xB9ka"
                          "LineFeed\x8Cnieg'\t-0,05\tNull\t-1\t1E20\t1,5E-7\t'29.02.2024'\t"
                          "'30.12.1899'\tNull\t'xCarriageReturny'\t\r\n");
    }

    void openSource() {
        dmu.IB.setSql("select * from T_EXP order by ID");
        dmu.IB.open();
    }
};

TEST_F(TdmuExportTest, WritesEveryValueByTheRuleOfItsColumn) {
    std::vector<bool> busy;
    s.ui.setBusyCursor = [&](bool on) { busy.push_back(on); };
    openSource();
    dmu.IB.next(); // the export starts from the first row wherever the query stands

    const QString file = path("eksport.txt");
    EXPECT_EQ(dmu.ExportCSV(file, false), 3);
    EXPECT_EQ(readBytes(file), expected());
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));

    // The query stays open, read through to its end.
    EXPECT_TRUE(dmu.IB.isOpen());
    EXPECT_TRUE(dmu.IB.eof());
    EXPECT_EQ(dmu.IB.fieldByName("ID").asInteger(), 3);
    EXPECT_TRUE(dmu.IBTExp.inTransaction());
}

TEST_F(TdmuExportTest, ReplacesAnExistingFileAndClosesTheSourceWhenAsked) {
    const QString file = path("eksport.txt");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4096, 'x'));
    }
    openSource();
    EXPECT_EQ(dmu.ExportCSV(file, true), 3);
    EXPECT_EQ(readBytes(file), expected());
    EXPECT_FALSE(dmu.IB.isOpen());
    EXPECT_FALSE(dmu.IBTExp.inTransaction());
}

TEST_F(TdmuExportTest, WritesNoFileForNoRowsOrAnUnwritablePath) {
    std::vector<bool> busy;
    s.ui.setBusyCursor = [&](bool on) { busy.push_back(on); };
    const QString file = path("pusty.txt");

    EXPECT_EQ(dmu.ExportCSV(file, true), 0); // never opened
    dmu.IB.setSql("select * from T_EXP where ID < 0");
    dmu.IB.open();
    EXPECT_EQ(dmu.ExportCSV(file, true), 0);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(dmu.IB.isOpen()); // nothing done, so nothing closed
    EXPECT_TRUE(busy.empty());

    openSource();
    const QString nowhere = path("nie_ma_folderu/eksport.txt");
    EXPECT_EQ(dmu.ExportCSV(nowhere, true), 0);
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(dmu.IB.isOpen());

    // A folder in the file's place.
    EXPECT_EQ(dmu.ExportCSV(home.path(), false), 0);
    EXPECT_TRUE(QFileInfo(home.path()).isDir());
}

TEST_F(TdmuTest, ExportsALargeResultInFetchedBatches) {
    constexpr int rows = 20000;
    run(QString("create table T_DUZA (ID integer, NAZWA varchar(30), KWOTA numeric(15,2))"));
    run(QString("execute block as declare i integer = 0; begin while (i < %1) do begin "
                "insert into T_DUZA values (:i, 'Żołnierz ' || :i, :i / 2.0); i = i + 1; end "
                "end")
            .arg(rows));
    QByteArray want("ID\tNAZWA\tKWOTA\t\r\n");
    for (int i = 0; i < rows; ++i) {
        const QByteArray amount =
            QByteArray::number(i / 2) + (i % 2 != 0 ? QByteArray(",5") : QByteArray());
        want += QByteArray::number(i) + "\t'\xAFo\xB3nierz " + QByteArray::number(i) + "'\t" +
                amount + "\t\r\n";
    }

    dmu.IB.setSql("select * from T_DUZA order by ID");
    dmu.IB.open();
    ASSERT_TRUE(dmu.IB.moveTo(100));
    const QString file = path("duzy.txt");
    EXPECT_EQ(dmu.ExportCSV(file, true), rows);
    const QByteArray got = readBytes(file);
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(got, want);
}

} // namespace
