// Registration of card readings (PKZM_RWP_WRIT_ODCZYT_22), the day statistics
// (PKZM_INIT_STAT3, PKZM_INIT_STAT2), the daily issue counts (PKZM_RP07) and the readings and
// persons lists (PKZM_VIEW_RWP_2, PKZM_VIEW_KART_2).

#include "db/Tdm.h"
#include "fb/Error.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

class RegistrationTest : public testdb::CatalogueDbTest {
protected:
    // Runs the statements in one transaction; the test fails when one of them does.
    void exec(const QStringList& statements) {
        dm.ClearListaScr();
        dm.ListaScr << statements;
        ASSERT_TRUE(dm.RunScr("fixture", false)) << statements.join('\n').toStdString();
    }

    // The lunch period as the parameters form stores it; a null pointer leaves a bound unset.
    void setLunch(const char* from, const char* to) {
        QStringList sql{"delete from PARAMETRY where NAZWA in ('OBIAD_OD', 'OBIAD_DO')"};
        if (from)
            sql << QString("insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PTIME) values "
                           "('GLOBAL', 'PR_KZM', 'OBIAD_OD', '%1')")
                       .arg(from);
        if (to)
            sql << QString("insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PTIME) values "
                           "('GLOBAL', 'PR_KZM', 'OBIAD_DO', '%1')")
                       .arg(to);
        exec(sql);
    }

    void person(int nrOper, const QString& card, const QString& name, int rate = 20,
                int waterRate = 990) {
        exec({QString("insert into KZM_KART (NR_OPER, NR_IDENT, NAZWISKO, IDSTOPIEN, IDSTAWKA, "
                      "IDSTAWKAW) values (%1, '%2', '%3', 7, %4, %5)")
                  .arg(nrOper)
                  .arg(card, name)
                  .arg(rate)
                  .arg(waterRate)});
    }

    // A unit by its number; returns the key its trigger gave it.
    int unit(int number, const QString& name) {
        exec({QString("insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (%1, 0, '%2')")
                  .arg(number)
                  .arg(name)});
        return dm.ReadInteger(
            "ID", QString("select ID from KZM_JEDNOSTKI where NUMER = %1").arg(number), -1);
    }

    void assign(int nrOper, int unitId, const QString& from) {
        exec({QString("insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values "
                      "(%1, %2, 20, '%3')")
                  .arg(nrOper)
                  .arg(unitId)
                  .arg(from)});
    }

    void plan(int nrOper, const QString& day, int sn, int ob, int ko) {
        exec({QString("insert into KZM_DANE (NR_OPER, DATA, SN, OB, KO, IDZDARZ) values "
                      "(%1, '%2', %3, %4, %5, 1)")
                  .arg(nrOper)
                  .arg(day)
                  .arg(sn)
                  .arg(ob)
                  .arg(ko)});
    }

    // A reading stored directly, as the registration procedure would have stored it.
    void reading(int nrOper, const QString& card, const QString& day, const QString& time,
                 int rdpos, int wskw = 1, const QString& skad = "01261208") {
        exec({QString("insert into KZM_RWP (ROKMC, NR_OPER, NR_IDENT, DATA, CZAS, RDPOS, WSKW, "
                      "SKAD) values ('202612', %1, '%2', '%3', '%4', %5, %6, '%7')")
                  .arg(nrOper)
                  .arg(card, day, time)
                  .arg(rdpos)
                  .arg(wskw)
                  .arg(skad)});
    }

    // One reading through the registration procedure, called as the registration loop calls it.
    QString registration(int rdpos, const QString& card, const QString& day, const QString& time) {
        return dm.MQReadString(
            "RET", QString("select ret from PKZM_RWP_WRIT_ODCZYT_22(%1,'202612','%2','%3','%4',"
                           "'01261208')")
                       .arg(rdpos)
                       .arg(card, day, time));
    }

    // The rows of a query, each as its columns joined by "|", null shown as "null".
    QStringList rows(const QString& sql, const QStringList& columns) {
        QStringList out;
        EXPECT_TRUE(dm.OpenQ(dm.IBQ, sql)) << sql.toStdString();
        for (; dm.IBQ.isOpen() && !dm.IBQ.eof(); dm.IBQ.next()) {
            QStringList row;
            for (const QString& c : columns) {
                const fb::Field& f = dm.IBQ.fieldByName(c);
                row << (f.isNull() ? QStringLiteral("null") : f.asString());
            }
            out << row.join('|');
        }
        dm.CloseQ(dm.IBQ);
        return out;
    }

    // The six results of an executed statistics procedure.
    QString statistics(const char* procedure, const QString& day, int pp) {
        dm.IBQ.setSql(QString("execute procedure %1(:d, :p)").arg(procedure));
        dm.IBQ.setParam("d", QDate::fromString(day, "dd.MM.yyyy"));
        dm.IBQ.setParam("p", pp);
        dm.IBQ.execSql();
        QStringList out;
        for (const char* c : {"S1", "O1", "K1", "S2", "O2", "K2"}) {
            const fb::Field& f = dm.IBQ.fieldByName(c);
            out << (f.isNull() ? QStringLiteral("null") : f.asString());
        }
        dm.CloseQ(dm.IBQ);
        return out.join(' ');
    }
};

// ---- registration of one reading

TEST_F(RegistrationTest, AnswersFollowThePlanAndCountRepeatsPerCardMealAndDay) {
    person(1234, "0000123450", "Kowalski Jan");
    person(1300, "0000130000", "Wiśniewski Piotr"); // no plan row at all
    person(2100, "0000210000", "Zając Ewa");
    plan(1234, "08.12.2026", 0, 1, 1);
    plan(2100, "08.12.2026", 1, 1, 0);
    plan(2100, "09.12.2026", 1, 1, 1); // another day's row does not decide for 08.12

    const struct {
        int rdpos;
        const char* card;
        const char* day;
        const char* time;
        const char* answer;
    } cases[] = {
        {1, "0000123450", "08.12.2026", "07:10:00", "1:1:1234"}, // breakfast not planned
        {2, "0000123450", "08.12.2026", "12:31:05", "0:1:1234"}, // lunch planned
        {2, "0000123450", "08.12.2026", "12:33:00", "0:2:1234"}, // a repeat keeps the outcome
        {2, "0000123450", "08.12.2026", "12:40:00", "0:3:1234"},
        {3, "0000123450", "08.12.2026", "18:00:00", "0:1:1234"}, // another meal counts anew
        {4, "0000123450", "08.12.2026", "18:05:00", "0:1:1234"}, // meal 4: supper flag (1)
        {4, "0000210000", "08.12.2026", "18:05:00", "1:1:2100"}, // meal 4: supper flag (0)
        {1, "0000210000", "08.12.2026", "07:00:00", "0:1:2100"},
        {2, "0000123450", "09.12.2026", "12:31:00", "1:1:1234"}, // next day: no plan row
        {2, "0000130000", "08.12.2026", "12:00:00", "1:1:1300"}, // no plan row: block
        {2, "0000130000", "08.12.2026", "12:01:00", "1:2:1300"},
        {2, "9999999999", "08.12.2026", "12:02:00", "-1:-1:-1"}, // nobody's card
        {2, "9999999999", "08.12.2026", "12:03:00", "-1:-1:-1"}, // ... read again
    };
    for (const auto& c : cases)
        EXPECT_EQ(registration(c.rdpos, c.card, c.day, c.time), c.answer)
            << c.card << " meal " << c.rdpos << " at " << c.day << " " << c.time;

    // Every call stored exactly its reading, blocked meals and unknown cards included.
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as n from KZM_RWP", -1), int(std::size(cases)));
    EXPECT_EQ(
        rows("select * from KZM_RWP where NR_IDENT in ('9999999999', '0000130000') order by IDRWP",
             {"ROKMC", "NR_OPER", "KARTA", "NR_IDENT", "DATA", "CZAS", "RDPOS", "WSKW", "SKAD"}),
        (QStringList{
            "202612|1300|null|0000130000|08.12.2026|12:00:00|2|1|01261208",
            "202612|1300|null|0000130000|08.12.2026|12:01:00|2|1|01261208",
            "202612|-1|null|9999999999|08.12.2026|12:02:00|2|0|01261208",
            "202612|-1|null|9999999999|08.12.2026|12:03:00|2|0|01261208",
        }));
    // Keys come from the trigger, one per reading.
    EXPECT_EQ(dm.ReadInteger("N", "select count(distinct IDRWP) as n from KZM_RWP", -1),
              int(std::size(cases)));
}

// A reading offered again after it was stored (the terminal never got its acknowledgement) is
// stored once and gets the answer it got the first time, even after later readings of the card.
TEST_F(RegistrationTest, AReadingOfferedAgainIsStoredOnceAndGetsItsFirstAnswer) {
    person(1234, "0000123450", "Kowalski Jan");
    plan(1234, "08.12.2026", 0, 1, 0);
    auto call = [&](int rdpos, const QString& card, const QString& time, const QString& skad) {
        return dm.MQReadString(
            "RET", QString("select ret from PKZM_RWP_WRIT_ODCZYT_22(%1,'202612','%2','08.12.2026',"
                           "'%3','%4')")
                       .arg(rdpos)
                       .arg(card, time, skad));
    };
    const struct {
        const char* card;
        const char* time;
        const char* skad;
        const char* answer;
    } cases[] = {
        {"0000123450", "12:31:05", "01261208", "0:1:1234"},
        {"0000123450", "12:33:00", "01261208", "0:2:1234"},
        {"0000123450", "12:31:05", "01261208", "0:1:1234"}, // the first again: its own answer
        {"0000123450", "12:33:00", "01261208", "0:2:1234"},
        {"0000123450", "12:31:05", "02261208", "0:3:1234"}, // another line: another reading
        {"0000123450", "12:31:06", "01261208", "0:4:1234"}, // another second: another reading
        {"0000123450", "12:31:05", "02261208", "0:3:1234"},
        {"9999999999", "12:40:00", "01261208", "-1:-1:-1"},
        {"9999999999", "12:40:00", "01261208", "-1:-1:-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(call(2, c.card, c.time, c.skad), c.answer)
            << c.card << " at " << c.time << " from " << c.skad;
    EXPECT_EQ(rows("select NR_IDENT, CZAS, SKAD from KZM_RWP order by IDRWP",
                   {"NR_IDENT", "CZAS", "SKAD"}),
              (QStringList{"0000123450|12:31:05|01261208", "0000123450|12:33:00|01261208",
                           "0000123450|12:31:05|02261208", "0000123450|12:31:06|01261208",
                           "9999999999|12:40:00|01261208"}));
    // The plan changed since: a reading offered again still gets the first answer's count, and
    // its outcome is that of the plan now.
    exec({"update KZM_DANE set OB = 0 where NR_OPER = 1234"});
    EXPECT_EQ(call(2, "0000123450", "12:33:00", "01261208"), "1:2:1234");
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as n from KZM_RWP", -1), 5);
}

TEST_F(RegistrationTest, ACardOfSeveralPersonsIsAnsweredForOneOfThem) {
    person(1234, "0000123450", "Kowalski Jan");
    person(1235, "0000123450", "Kowalska Anna");
    plan(1234, "08.12.2026", 0, 1, 0);
    plan(1235, "08.12.2026", 0, 1, 0);
    const QString answer = registration(2, "0000123450", "08.12.2026", "12:00:00");
    EXPECT_TRUE(answer == "0:1:1234" || answer == "0:1:1235") << answer.toStdString();
    EXPECT_EQ(dm.ReadInteger("N", "select count(*) as n from KZM_RWP where WSKW = 1", -1), 1);
}

// ---- day statistics and daily issue counts

class CountsTest : public RegistrationTest {
protected:
    void SetUp() override {
        RegistrationTest::SetUp();
        setLunch("11:30:00", "14:00:00");
        plan(1, "08.12.2026", 1, 1, 1);
        plan(2, "08.12.2026", 1, 1, 0);
        plan(3, "08.12.2026", 1, 0, 0);
        plan(4, "08.12.2026", 0, 0, 0);
        plan(1, "09.12.2026", 1, 1, 1);
        // The meal position stored with a reading plays no part: only its time does.
        reading(1, "A", "08.12.2026", "07:00:00", 3);
        reading(1, "A", "08.12.2026", "11:29:59", 1);
        reading(2, "B", "08.12.2026", "11:30:00", 1); // lunch from its first second
        reading(-1, "X", "08.12.2026", "12:00:00", 2, 0);
        reading(2, "B", "08.12.2026", "13:59:59", 2); // a repeat counts too
        reading(3, "C", "08.12.2026", "14:00:00", 2); // ... to its last second
        reading(3, "C", "08.12.2026", "14:00:01", 3);
        reading(-1, "X", "08.12.2026", "20:00:00", 3, 0);
        reading(3, "C", "08.12.2026", "21:30:00", 3);
        reading(4, "D", "10.12.2026", "12:00:00", 2);
        reading(4, "D", "07.12.2026", "12:00:00", 2); // the day before
    }
};

TEST_F(CountsTest, DayStatisticsCountPlannedMealsAndReadingsByMealPeriod) {
    //                                         planned    read
    EXPECT_EQ(statistics("PKZM_INIT_STAT3", "08.12.2026", 0), "3 2 1 2 4 3");
    EXPECT_EQ(statistics("PKZM_INIT_STAT3", "08.12.2026", 1), "0 0 0 2 4 3");
    // The older variant counts only the readings of unknown cards.
    EXPECT_EQ(statistics("PKZM_INIT_STAT2", "08.12.2026", 0), "3 2 1 0 1 1");
    EXPECT_EQ(statistics("PKZM_INIT_STAT2", "08.12.2026", 1), "0 0 0 0 1 1");
    // A day with a plan and no readings, and a day with neither: sums over nothing are null.
    EXPECT_EQ(statistics("PKZM_INIT_STAT3", "09.12.2026", 0), "1 1 1 null null null");
    EXPECT_EQ(statistics("PKZM_INIT_STAT3", "11.12.2026", 0), "null null null null null null");
    EXPECT_EQ(statistics("PKZM_INIT_STAT3", "11.12.2026", 1), "0 0 0 null null null");
}

TEST_F(CountsTest, AMissingBoundEmptiesThePeriodsItBounds) {
    const struct {
        const char* from;
        const char* to;
        const char* stat;   // S2 O2 K2
        const char* report; // the day's row of PKZM_RP07
    } cases[] = {
        {nullptr, "14:00:00", "0 0 3", "08.12.2026|0|0|3"},
        {"11:30:00", nullptr, "2 0 0", "08.12.2026|2|0|0"},
        {nullptr, nullptr, "0 0 0", "08.12.2026|0|0|0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from ? c.from : "-") + " .. " + (c.to ? c.to : "-"));
        setLunch(c.from, c.to);
        EXPECT_EQ(statistics("PKZM_INIT_STAT3", "08.12.2026", 1), QString("0 0 0 ") + c.stat);
        EXPECT_EQ(
            rows("select * from PKZM_RP07('08.12.2026', '08.12.2026')", {"DATA", "SN", "OB", "KO"}),
            QStringList{c.report});
    }
}

TEST_F(CountsTest, TheLunchPeriodIsReadByItsNameWhateverItsScope) {
    exec({"update PARAMETRY set LOKALIZACJA = 'STANOWISKO', SEKCJA = 'INNA' where NAZWA in "
          "('OBIAD_OD', 'OBIAD_DO')"});
    EXPECT_EQ(statistics("PKZM_INIT_STAT3", "08.12.2026", 1), "0 0 0 2 4 3");
    // A second row of the same name makes the lookup ambiguous: the call fails.
    exec({"insert into PARAMETRY (LOKALIZACJA, SEKCJA, NAZWA, PTIME) values ('GLOBAL', "
          "'PR_KZM', 'OBIAD_OD', '10:00:00')"});
    EXPECT_THROW(statistics("PKZM_INIT_STAT3", "08.12.2026", 0), fb::Error);
    dm.IBQ.close();
    dm.IBTrans.rollbackQuietly();
    dm.IBQ.setSql("select * from PKZM_RP07('08.12.2026', '08.12.2026')");
    EXPECT_THROW(dm.IBQ.open(), fb::Error);
    dm.IBQ.close();
    dm.IBTrans.rollbackQuietly();
}

TEST_F(CountsTest, DailyIssueCountsListTheDaysWithReadingsInOrder) {
    EXPECT_EQ(
        rows("select * from PKZM_RP07('08.12.2026', '31.12.2026')", {"DATA", "SN", "OB", "KO"}),
        (QStringList{"08.12.2026|2|4|3", "10.12.2026|0|1|0"}));
    EXPECT_EQ(
        rows("select * from PKZM_RP07('01.12.2026', '07.12.2026')", {"DATA", "SN", "OB", "KO"}),
        QStringList{"07.12.2026|0|1|0"});
    EXPECT_TRUE(rows("select * from PKZM_RP07('11.12.2026', '31.12.2026')", {"DATA"}).isEmpty());
}

// ---- readings list

TEST_F(RegistrationTest, ReadingsListNamesPersonsUnitsAndMeals) {
    const int u11 = unit(11, "Kompania łączności");
    const int u12 = unit(12, "Pluton ochrony");
    person(1234, "0000123450", "Kowalski Jan");
    assign(1234, u11, "01.12.2026");
    assign(1234, u12, "10.12.2026");
    // Person 777 was deleted and its unit too; a reading of it must show neither the previous
    // reading's name nor its unit.
    assign(777, 99999, "01.01.2020");

    reading(1234, "0000123450", "08.12.2026", "07:10:00", 1, 1, "01261208");
    reading(777, "0000077700", "08.12.2026", "07:11:00", 2, 1, "03");
    reading(1234, "0000123450", "10.12.2026", "18:00:00", 3, 1, "12261210");
    reading(-1, "9999999999", "08.12.2026", "12:00:00", 4, 0, "01261208");
    reading(1234, "0000123450", "30.11.2026", "12:00:00", 2, 1, "01"); // before any assignment
    reading(0, "0000000000", "09.12.2026", "12:00:00", 2, 0, "02261209");
    exec({"insert into KZM_RWP (ROKMC, NR_IDENT, DATA, CZAS, RDPOS, WSKW) values ('202612', "
          "null, '09.12.2026', '12:30:00', 2, 0)"});          // nothing known of the reading at all
    reading(1234, "0000123450", "01.01.2027", "12:00:00", 2); // outside the period

    const QStringList columns{"KARTA", "NR_OPER", "NAZWISKO", "NAZWAJEDN", "DATA", "CZAS",
                              "RDPOS", "MJEDN",   "MRDPOS",   "MWSKW",     "WSKW", "SKAD"};
    const QString u11s = QString::number(u11), u12s = QString::number(u12);
    EXPECT_EQ(
        rows("select * from PKZM_VIEW_RWP_2('30.11.2026', '31.12.2026') order by IDRWP", columns),
        (QStringList{
            "0000123450|1234|Kowalski Jan|Kompania łączności|08.12.2026|07:10:00|Sniadanie|" +
                u11s + "|1|1||01",
            "0000077700|777|||08.12.2026|07:11:00|Obiad|99999|2|1||03",
            "0000123450|1234|Kowalski Jan|Pluton ochrony|10.12.2026|18:00:00|Kolacja|" + u12s +
                "|3|1||12",
            "9999999999|-1|Karta nieznana||08.12.2026|12:00:00||null|4|0||01",
            "0000123450|1234|Kowalski Jan||30.11.2026|12:00:00|Obiad|null|2|1||01",
            "0000000000|0|Karta nieznana||09.12.2026|12:00:00|Obiad|null|2|0||02",
            "|null|Karta nieznana||09.12.2026|12:30:00|Obiad|null|2|0||",
        }));

    // The viewer's filters on the result columns.
    const struct {
        QString where;
        int rows;
    } filters[] = {
        {" mJedn=" + u11s, 1},
        {" mrdpos=2", 3},
        {" mwskw=1", 3},
        {" ( nr_oper is null or nr_oper=-1 ) ", 2},
        {" mJedn=" + u12s + " and mrdpos=3", 1},
    };
    for (const auto& f : filters)
        EXPECT_EQ(rows("select * from PKZM_VIEW_RWP_2('01.12.2026','31.12.2026') where" + f.where,
                       {"IDRWP"})
                      .size(),
                  f.rows)
            << f.where.toStdString();
}

// ---- persons list

TEST_F(RegistrationTest, PersonsListShowsTodaysUnitAndFiltersByIt) {
    const QDate today = QDate::currentDate();
    auto day = [&](int offset) { return today.addDays(offset).toString("dd.MM.yyyy"); };
    const int u11 = unit(11, "Kompania łączności");
    const int u12 = unit(12, "Pluton ochrony");
    const int u13 = unit(13, "Sztab"); // nobody's unit

    person(1234, "0000123450", "Kowalski Jan", 20, 990);
    person(6001, "0000600100", "Nowak Anna", 30, 991);        // unit since deleted
    person(1240, "0000124000", "Żółkiewski Łukasz", 30, 991); // moved from 11 to 12 today
    person(4999, "0000499900", "Bez Przydziału", 20, 0);      // no assignment at all
    person(5000, "0000500000", "Przyszły Cywil", 30, 990);    // assigned only from tomorrow
    person(6002, "0000600200", "Lis Adam", 20, 990);
    assign(1234, u11, day(-100));
    assign(1240, u11, day(-100));
    assign(1240, u12, day(0));
    assign(5000, u11, day(1));
    assign(6001, 99999, day(-5));
    assign(6002, u12, day(-5));

    const QStringList columns{"NR_OPER", "NR_IDENT",  "NAZWISKO", "IDSTOPIEN", "NRJEDN",
                              "IDJEDN",  "IDSTAWKAW", "IDSTAWKA", "CYWIL"};
    const QString u11s = QString::number(u11), u12s = QString::number(u12);
    const QStringList all{
        "1234|0000123450|Kowalski Jan|7|11|" + u11s + "|990|20|0",
        "1240|0000124000|Żółkiewski Łukasz|7|12|" + u12s + "|991|30|0",
        "4999|0000499900|Bez Przydziału|7|null|null|0|20|0",
        "5000|0000500000|Przyszły Cywil|7|null|null|990|30|1",
        "6001|0000600100|Nowak Anna|7|null|99999|991|30|1",
        "6002|0000600200|Lis Adam|7|12|" + u12s + "|990|20|1",
    };
    EXPECT_EQ(rows("select * from PKZM_VIEW_KART_2(-1) order by nr_oper", columns), all);

    const struct {
        int jedn;
        QStringList expected;
    } cases[] = {
        {u11, {all[0]}},
        {u12, {all[1], all[5]}},
        {u13, {}},
        {99999, {all[4]}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rows(QString("select * from PKZM_VIEW_KART_2(%1) order by nr_oper").arg(c.jedn),
                       columns),
                  c.expected)
            << "unit " << c.jedn;

    // The persons window's text filters.
    EXPECT_EQ(rows("select * from pkzm_view_kart_2(-1) where nr_oper=4999 or nr_ident like "
                   "'%4999%'",
                   {"NR_OPER"}),
              QStringList{"4999"});
    EXPECT_EQ(rows("select * from pkzm_view_kart_2(-1) where nazwisko like '%Żół%'", {"NR_OPER"}),
              QStringList{"1240"});
}

} // namespace
