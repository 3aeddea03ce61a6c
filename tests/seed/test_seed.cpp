// The generator of canteen databases on a small size: what it promises of the data it makes,
// and the same seed giving the same database.

#include "Seed.h"

#include "support/CatalogueDb.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kzm;

namespace {

class SeedTest : public testdb::CatalogueDbTest {
protected:
    static seed::Options small(std::uint64_t s = 7) {
        seed::Options o;
        o.persons = 60;
        o.units = 5;
        o.days = 9; // a weekend, and the end of January with its drinks settlement
        o.firstDay = QDate(2025, 1, 24);
        o.seed = s;
        return o;
    }

    int number(const QString& sql) { return dm.ReadInteger("N", sql, -1); }

    // A digest of what the generator made: persons, plan rows with their event types and
    // corrections, and every reading.
    QString digest() {
        return dm.MQReadString(
            "D",
            "select (select count(*) || '/' || sum(mod(hash(nr_oper || nazwisko || nr_ident || "
            "idjedn || idstawka), 1000003)) from kzm_kart) || ' ' || (select count(*) || '/' || "
            "sum(mod(hash(nr_oper || data || idzdarz || coalesce(poprawka, 0) || idjedn), "
            "1000003)) from kzm_dane) || ' ' || (select count(*) || '/' || "
            "sum(mod(hash(nr_ident || data || czas || rdpos || wskw || skad), 1000003)) from "
            "kzm_rwp) || ' ' || (select count(*) || '/' || sum(stk) from kzm_rwoda) as d "
            "from rdb$database");
    }
};

TEST_F(SeedTest, ASmallCanteenKeepsWhatTheGeneratorPromises) {
    QStringList steps;
    seed::Seeder seeder(dm.IBBaza, small(), [&](const QString& step, int, int) { steps << step; });
    seeder.Run();
    EXPECT_EQ(steps.first(), "Dane podstawowe");
    EXPECT_TRUE(steps.contains("Plan i odczyty 24.01.2025"));
    EXPECT_EQ(steps.last(), "Gotowe");

    const seed::Counts c = seeder.Count();
    EXPECT_EQ(c.units, 5);
    EXPECT_EQ(c.persons, 60);
    EXPECT_EQ(c.soldiers, seed::SoldierCount(60));
    EXPECT_GT(c.assignments, c.persons) << "some move during the year";
    EXPECT_EQ(c.planRows, 60 * 9);
    EXPECT_GT(c.readings, 60 * 9);
    // Soldiers below the civilian limit, civilians above it; cards plain and packed.
    EXPECT_EQ(number("select count(*) as n from kzm_kart where nr_oper >= 5000 and nr_oper < "
                     "5001"),
              0);
    EXPECT_GT(number("select count(*) as n from kzm_kart where char_length(nr_ident) = 9"), 0);
    EXPECT_GT(number("select count(*) as n from kzm_kart where char_length(nr_ident) = 10"), 0);
    for (const char* code : {"P20", "P40", "P80", "P150", "BN"})
        EXPECT_EQ(number(QStringLiteral("select count(*) as n from kzm_zdarz where skrot='%1'")
                             .arg(QLatin1String(code))),
                  1)
            << code;

    // Every planned person has a unit and an event type on every day, but for a rare gap.
    EXPECT_EQ(number("select count(*) as n from kzm_dane where idjedn is null or idjedn <= 0"), 0);
    EXPECT_LE(number("select count(*) as n from kzm_dane where idzdarz = 0"), 60 * 9 / 50);
    // Readings only on days with plan rows, with unknown cards, refused meals and repeats.
    EXPECT_EQ(number("select count(*) as n from kzm_rwp r where not exists (select 1 from "
                     "kzm_dane d where d.data = r.data)"),
              0);
    EXPECT_GT(number("select count(*) as n from kzm_rwp where wskw = 0"), 0) << "unknown cards";
    EXPECT_GT(number("select count(*) as n from kzm_rwp r join kzm_dane d on d.nr_ident = "
                     "r.nr_ident and d.data = r.data where r.rdpos = 2 and d.ob = 0"),
              0)
        << "lunches not planned";
    EXPECT_GT(number("select count(*) as n from (select 1 as x from kzm_rwp where wskw = 1 "
                     "group by nr_ident, data, rdpos having count(*) > 1)"),
              0)
        << "repeats";
    EXPECT_EQ(number("select count(*) as n from kzm_psy"), 9) << "dog rations every day";
    EXPECT_EQ(number("select count(*) as n from kzm_rwoda where data = '31.01.2025'"),
              number("select count(*) as n from kzm_kart where nr_oper < 6000"))
        << "the drinks settlement of January";

    // The day's statistics agree with the plan and the readings.
    for (QDate day(2025, 1, 24); day <= QDate(2025, 2, 1); day = day.addDays(1)) {
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        ASSERT_TRUE(dm.OpenQ(dm.IBQ, "execute procedure PKZM_INIT_STAT3('" +
                                         day.toString("dd.MM.yyyy") + "', 0)"));
        const QString d = "'" + day.toString("dd.MM.yyyy") + "'";
        const auto planned = [&](const char* meal) {
            return number(QStringLiteral("select sum(%1) as n from kzm_dane where data = ")
                              .arg(QLatin1String(meal)) +
                          d);
        };
        const auto read = [&](int slot) {
            return number("select count(*) as n from kzm_rwp where data = " + d +
                          " and rdpos = " + QString::number(slot));
        };
        EXPECT_EQ(dm.IBQ.fieldByName("S1").asInteger(), planned("sn"));
        EXPECT_EQ(dm.IBQ.fieldByName("O1").asInteger(), planned("ob"));
        EXPECT_EQ(dm.IBQ.fieldByName("K1").asInteger(), planned("ko"));
        EXPECT_EQ(dm.IBQ.fieldByName("S2").asInteger(), read(1));
        EXPECT_EQ(dm.IBQ.fieldByName("O2").asInteger(), read(2));
        EXPECT_EQ(dm.IBQ.fieldByName("K2").asInteger(), read(3));
        dm.CloseQ(dm.IBQ);
    }
}

TEST_F(SeedTest, TheSameSeedGivesTheSameDatabase) {
    seed::Seeder(dm.IBBaza, small(7)).Run();
    const QString first = digest();

    // Again from the start, the readings through a second attachment.
    const auto again = [this](std::uint64_t seedValue) {
        dm.IBBaza.disconnect();
        QFile::remove(s.dbPath);
        EXPECT_TRUE(QFile::copy(testdb::CatalogueTemplate(), s.dbPath));
        dm.BazaConnect();
        fb::Database readings;
        readings.connect({s.dbPath, s.user, s.password});
        seed::Seeder(dm.IBBaza, small(seedValue), {}, &readings).Run();
        return digest();
    };
    EXPECT_EQ(again(7), first);
    EXPECT_NE(again(8), first);
}

} // namespace
