#include "db/Tdm.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"
#include "support/XlsReader.h"
#include "xls/Workbook.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

class ExportXlsTest : public testdb::CatalogueDbTest {
protected:
    void SetUp() override {
        CatalogueDbTest::SetUp();
        ASSERT_TRUE(dm.RunSQL("create table T_STAN (NR integer, NAZWISKO varchar(40) character "
                              "set WIN1250, KWOTA numeric(15,2), UDZIAL double precision, "
                              "DZIEN date, GODZ time, CHWILA timestamp, DUZO bigint)"));
        ASSERT_TRUE(dm.RunSQL(
            "insert into T_STAN values (1, 'Żółć ''Łęcka''' || ascii_char(13) || ascii_char(10) "
            "|| 'ciąg', 1234.56, 0.125, '2026-12-10', '14:30:00', '2026-12-10 06:15:00', "
            "9007199254740993)"));
        ASSERT_TRUE(dm.RunSQL("insert into T_STAN (NR, NAZWISKO) values (2, 'Nowak')"));
    }

    bool openStan() {
        return dm.OpenQ(dm.IBQ, "select NR, NAZWISKO, KWOTA, UDZIAL, DZIEN, GODZ, CHWILA, DUZO "
                                "from T_STAN order by NR");
    }

    QString file() const { return home.path() + QStringLiteral("/Tmp/Stan.xls"); }

    static QJsonObject at(const XlsRead& read, int r, int c) {
        const auto it = read.cells.find({r, c});
        return it == read.cells.end() ? QJsonObject() : it->second;
    }
};

TEST_F(ExportXlsTest, HeadingColumnNamesAndRowsReadBackAsTextNumbersAndDates) {
    ASSERT_TRUE(openStan());
    dm.ExportXls(dm.IBQ, file(), nullptr, true,
                 QStringLiteral("Stan na dzień 10.12.2026\r\nJednostka Wojskowa Żagań"));
    EXPECT_FALSE(dm.IBQ.isOpen()) << "closed after the export";

    const XlsRead read = ReadXls(file());
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_EQ(read.sheet.value(u"merged").toArray(),
              (QJsonArray{QJsonArray{0, 1, 0, 11}, QJsonArray{1, 2, 0, 11}}));
    EXPECT_EQ(at(read, 0, 0).value(u"value").toString(), "Stan na dzień 10.12.2026");
    EXPECT_EQ(at(read, 1, 0).value(u"value").toString(), "Jednostka Wojskowa Żagań");
    EXPECT_TRUE(at(read, 2, 0).isEmpty()) << "one empty row before the column names";

    const char* names[] = {"NR", "NAZWISKO", "KWOTA", "UDZIAL", "DZIEN", "GODZ", "CHWILA", "DUZO"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(at(read, 3, c).value(u"value").toString(), names[c]) << c;

    // The first data row is row 4.
    EXPECT_EQ(at(read, 4, 0).value(u"type").toString(), "number");
    EXPECT_EQ(ExactNumber(at(read, 4, 0)), 1.0);
    EXPECT_EQ(at(read, 4, 1).value(u"value").toString(), "Żółć 'Łęcka'CarriageReturnLineFeedciąg");
    EXPECT_EQ(ExactNumber(at(read, 4, 2)), 1234.56);
    EXPECT_EQ(ExactNumber(at(read, 4, 3)), 0.125);
    EXPECT_EQ(at(read, 4, 4).value(u"type").toString(), "date");
    EXPECT_EQ(at(read, 4, 4).value(u"date").toArray(), (QJsonArray{2026, 12, 10, 0, 0, 0}));
    EXPECT_EQ(at(read, 4, 4).value(u"format").toString(), "dd\\.mm\\.yyyy");
    EXPECT_EQ(at(read, 4, 5).value(u"type").toString(), "date") << "a time of day";
    EXPECT_EQ(at(read, 4, 5).value(u"date").toArray(), (QJsonArray{0, 0, 0, 14, 30, 0}));
    EXPECT_EQ(at(read, 4, 6).value(u"date").toArray(), (QJsonArray{2026, 12, 10, 6, 15, 0}));
    EXPECT_EQ(at(read, 4, 7).value(u"type").toString(), "number");

    // Nulls leave their cells empty.
    EXPECT_EQ(at(read, 5, 1).value(u"value").toString(), "Nowak");
    for (int c = 2; c < 8; ++c)
        EXPECT_TRUE(at(read, 5, c).isEmpty()) << c;
    EXPECT_EQ(read.sheet.value(u"nrows").toInt(), 6);
}

TEST_F(ExportXlsTest, WithoutAHeadingTheNamesAreInRowOneAndTheRowsStartAtTheCurrentOne) {
    ASSERT_TRUE(openStan());
    dm.IBQ.next(); // the second row is current
    dm.ExportXls(dm.IBQ, file(), nullptr, false, QString());
    EXPECT_TRUE(dm.IBQ.isOpen());
    const XlsRead read = ReadXls(file());
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_TRUE(read.sheet.value(u"merged").toArray().isEmpty());
    EXPECT_EQ(at(read, 1, 0).value(u"value").toString(), "NR");
    EXPECT_EQ(at(read, 2, 1).value(u"value").toString(), "Nowak");
    EXPECT_EQ(read.sheet.value(u"nrows").toInt(), 3);
}

TEST_F(ExportXlsTest, NothingIsWrittenForAnEmptyQueryOrAFileThatCannotBeWritten) {
    ASSERT_TRUE(dm.OpenQ(dm.IBQ, "select NR from T_STAN where NR < 0"));
    dm.ExportXls(dm.IBQ, file(), nullptr, true, QStringLiteral("Pusto"));
    EXPECT_FALSE(QFile::exists(file()));
    dm.CloseQ(dm.IBQ);
    dm.ExportXls(dm.IBQ, file(), nullptr, true, QStringLiteral("Zamknięte"));
    EXPECT_FALSE(QFile::exists(file()));

    // A folder that is not there: the writer's error reaches the caller, no file is left.
    ASSERT_TRUE(openStan());
    const QString missing = home.path() + QStringLiteral("/Brak/Stan.xls");
    EXPECT_THROW(dm.ExportXls(dm.IBQ, missing, nullptr, true, QString()), xls::Error);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_FALSE(QDir(home.path() + QStringLiteral("/Brak")).exists());
}

TEST_F(ExportXlsTest, TheGaugeRunsOverTheRows) {
    struct Gauge : ProgressGauge {
        int maximum = -1, steps = 0, ends = 0;
        void start(int m) override { maximum = m; }
        void step() override { ++steps; }
        void setPosition(int) override {}
        void end() override { ++ends; }
    } gauge;
    ASSERT_TRUE(openStan());
    dm.ExportXls(dm.IBQ, file(), &gauge, true, QString());
    EXPECT_EQ(gauge.maximum, 2);
    EXPECT_EQ(gauge.steps, 2);
    EXPECT_EQ(gauge.ends, 1);
}

} // namespace
