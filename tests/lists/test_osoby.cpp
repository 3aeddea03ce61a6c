// The persons window's list: the filters, the person's checks and statements, the number change
// that takes the assignments along, the refusal to delete a person in the plan, identity entry,
// the date for everybody and the assignments of the current person.

#include "core/Literals.h"
#include "lists/ListsTest.h"
#include "lists/OsobyList.h"
#include "support/DbRows.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using kzm::IdentResult;
using kzm::ListMode;
using kzm::ListResult;
using kzm::OsobyList;

class OsobyTest : public lists::ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        Exec("insert into kzm_stopnie (skrot,nazwa) values('1','SZEREGOWY')");
        Exec("insert into kzm_jednostki (numer,grupa,nazwa) values(10,0,'PIERWSZA')");
        Exec("insert into kzm_jednostki (numer,grupa,nazwa) values(20,1,'DRUGA')");
    }
    int unit(int numer) {
        return Int(QString("select id from kzm_jednostki where numer=%1").arg(numer));
    }
    void person(int nr, const char* ident, const char* name, int numer = 10,
                const char* od = "01.01.2026") {
        Exec(QString("insert into kzm_kart (nr_oper,nr_ident,idstopien,idstawka,idstawkaw,"
                     "nazwisko) values(%1,'%2',1,20,990,%3)")
                 .arg(nr)
                 .arg(ident, kzm::SqlStr(QString::fromUtf8(name))));
        if (numer)
            Exec(QString("insert into kzm_przydzial (nr_oper,idjedn,od_kiedy,idstawka) "
                         "values(%1,%2,'%3',20)")
                     .arg(nr)
                     .arg(unit(numer))
                     .arg(od));
    }
    QStringList numbers() {
        QStringList out;
        fb::Query& q = list.query();
        q.fetchAll();
        for (int r = 0; r < q.fetchedRows(); ++r)
            out << q.value(r, q.fieldByName("NR_OPER").index()).toString();
        return out;
    }
    void edit(int nr) {
        ASSERT_TRUE(list.locate(nr)) << nr;
        ASSERT_TRUE(list.beginEdit());
    }

    OsobyList list{dm, dmu};
};

TEST_F(OsobyTest, FiltersFindNumbersIdentitiesAndNamesAndTextStaysText) {
    person(12, "0000900", "NOWAK JAN");
    person(120, "0000120", "KOWALSKI PIOTR");
    person(5012, "7712777", "KOWALCZYK ANNA", 20);
    person(33, "", "O'BRIEN");
    ASSERT_TRUE(list.open());
    EXPECT_EQ(numbers(), QStringList({"12", "33", "120", "5012"})) << "by unit, then number";
    const struct {
        const char* text;
        QStringList found;
    } cases[] = {
        {"12", {"12", "120", "5012"}}, // the number 12 and identities holding 12
        {"KOW", {"120", "5012"}},
        {"12' or '1'='1", {}}, // text, not a statement
        {"12A", {}},           // an identity search, not a number
        {"0000120", {"120"}},
        {"99999999999", {}}, // too long for a number: identities only
        {"O'BRIEN", {"33"}},
        {"", {"12", "33", "120", "5012"}},
    };
    for (const auto& c : cases) {
        list.Filtruj(QString::fromUtf8(c.text));
        EXPECT_TRUE(list.query().isOpen()) << c.text;
        EXPECT_EQ(numbers(), c.found) << c.text;
    }
    list.FiltrJednostki(unit(20));
    EXPECT_EQ(numbers(), QStringList({"5012"}));
    list.FiltrJednostki(-1);
    EXPECT_EQ(numbers().size(), 4);
}

TEST_F(OsobyTest, APersonsChecksAreCollectedAndTheWaterRateFollowsTheNumber) {
    person(1, "111", "ISTNIEJĄCY");
    ASSERT_TRUE(list.open());
    const struct {
        const char* nr;
        const char* ident;
        const char* name;
        int stawka;
        const char* text; // empty: saved
        const char* row;  // the stored row when saved
    } cases[] = {
        {"5000", "", "CYWIL", 20, "Pracownicy cywilni nie mają stawki żywnościowej\r\n", ""},
        {"4999", "", "ŻOŁNIERZ", 20, "", "4999||20|990|ŻOŁNIERZ"},
        {"5001", "501", "cywilna", 0, "", "5001|501|0|991|CYWILNA"},
        {"", "", "BEZ NUMERU", 0, "Brak numeru operacyjnego\r\n", ""},
        {"7", "", "", 0, "Brak nazwiska\r\n", ""},
        {"1", "111", "DRUGI", 0,
         "Numer operacyjny nie może się powtarzać\r\nIdentyfikator nie może się powtarzać\r\n", ""},
        {"12A", "", "", 30, "Brak numeru operacyjnego\r\nBrak nazwiska\r\n", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(list.beginInsert());
        list.fields() = {c.nr, c.ident, QString::fromUtf8(c.name), 1, c.stawka};
        const ListResult r = list.save();
        EXPECT_EQ(r.text, QString::fromUtf8(c.text)) << c.nr << " " << c.name;
        if (r.ok()) {
            EXPECT_EQ(
                testdb::Row(dm, QString("select nr_oper, nr_ident, idstawka, idstawkaw, nazwisko "
                                        "from kzm_kart where nr_oper=%1")
                                    .arg(c.nr)),
                QString::fromUtf8(c.row));
            EXPECT_EQ(list.currentKey(), QString(c.nr).toInt()) << "the new person is current";
            EXPECT_EQ(list.savedStawka(), c.stawka);
        } else {
            EXPECT_EQ(list.mode(), ListMode::Adding) << "the panel stays";
            list.cancel();
        }
    }
}

TEST_F(OsobyTest, ANewNumberTakesTheAssignmentsAlongAndLeavesThePlanAndReadings) {
    person(120, "0000120", "KOWALSKI");
    Exec("insert into kzm_przydzial (nr_oper,idjedn,od_kiedy,idstawka) values(120," +
         QString::number(unit(20)) + ",'01.03.2026',30)");
    Exec("insert into kzm_dane (nr_oper,data,sn,ob,ko,idzdarz) values(120,'05.01.2026',1,1,1,1)");
    person(7, "", "INNY");
    ASSERT_TRUE(list.open());
    edit(120);
    EXPECT_TRUE(list.numberChangeQuestion().isEmpty()) << "nothing asked while it stays";
    list.fields().nrOper = "7";
    EXPECT_EQ(list.save().text, "Numer operacyjny nie może się powtarzać\r\n");
    list.fields().nrOper = "121";
    EXPECT_EQ(list.numberChangeQuestion(),
              "Numer operacyjny 120 zmieni się na 121.\rPrzydziały do jednostek przejdą na nowy "
              "numer; plan i odczyty kart zostaną pod numerem 120.\rCzy zapisać zmianę?");
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(Rows("select nr_oper from kzm_kart order by nr_oper"), QStringList({"7", "121"}));
    EXPECT_EQ(Int("select count(*) from kzm_przydzial where nr_oper=121"), 2);
    EXPECT_EQ(Int("select count(*) from kzm_przydzial where nr_oper=120"), 0);
    EXPECT_EQ(Int("select count(*) from kzm_dane where nr_oper=120"), 1);
    EXPECT_EQ(list.currentKey(), 121);
    EXPECT_EQ(list.przydzialy().owner(), 121);
    list.przydzialy().query().fetchAll();
    EXPECT_EQ(list.przydzialy().query().fetchedRows(), 2) << "its assignments shown";

    // Its own identity is no duplicate; an edit keeps the number.
    edit(121);
    list.fields().nazwisko = "KOWALSKI JAN";
    ASSERT_TRUE(list.save().ok());
    EXPECT_EQ(testdb::Row(dm, "select nr_ident, nazwisko from kzm_kart where nr_oper=121"),
              "0000120|KOWALSKI JAN");
}

TEST_F(OsobyTest, APersonInThePlanIsNotDeletedAndTheMessageGivesThePeriodInOrder) {
    person(1, "", "PLANOWANY");
    person(2, "", "WOLNY");
    for (const char* d : {"28.02.2026", "03.01.2026", "15.01.2026"})
        Exec(QString("insert into kzm_dane (nr_oper,data,sn,ob,ko,idzdarz) values(1,'%1',1,1,1,1)")
                 .arg(d));
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.locate(1));
    const ListResult refused = list.deleteCurrent();
    EXPECT_EQ(refused.kind, ListResult::Kind::Refused);
    EXPECT_EQ(refused.title(), "Nie można usuwać osoby ujętej w planie");
    EXPECT_EQ(refused.text, "PLANOWANY\r\nwystępuje w przedziale czasowym 03.01.2026 - 28.02.2026");
    EXPECT_EQ(Int("select count(*) from kzm_kart"), 2);

    ASSERT_TRUE(list.locate(2));
    EXPECT_EQ(list.deleteQuestion(), "WOLNY Czy naprawdę usunąć ?");
    ASSERT_TRUE(list.deleteCurrent().ok());
    EXPECT_EQ(Rows("select nr_oper from kzm_kart"), QStringList({"1"}));
    EXPECT_EQ(Int("select count(*) from kzm_przydzial where nr_oper=2"), 0)
        << "its assignments go with it";
    EXPECT_EQ(list.currentKey(), 1);
}

TEST_F(OsobyTest, IdentityEntryStoresAndMovesOnUnlessTheCardIsSomeoneElses) {
    person(1, "", "PIERWSZY");
    person(2, "555", "DRUGI");
    person(3, "", "TRZECI");
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.locate(1));
    IdentResult r = list.WpiszIdentyfikator("555");
    EXPECT_FALSE(r.stored);
    EXPECT_EQ(r.message, "Identyfikator 555 ma już DRUGI");
    EXPECT_EQ(testdb::Row(dm, "select nr_ident from kzm_kart where nr_oper=1"), "");
    EXPECT_EQ(list.currentKey(), 1);

    r = list.WpiszIdentyfikator("  ");
    EXPECT_FALSE(r.stored);
    EXPECT_TRUE(r.message.isEmpty());
    EXPECT_EQ(list.currentKey(), 1) << "an empty entry neither stores nor moves";

    r = list.WpiszIdentyfikator("0001");
    EXPECT_TRUE(r.stored);
    EXPECT_EQ(testdb::Row(dm, "select nr_ident from kzm_kart where nr_oper=1"), "0001");
    EXPECT_EQ(list.currentKey(), 2) << "on to the next person";
    EXPECT_TRUE(list.WpiszIdentyfikator("555").stored) << "a person's own card again";
    EXPECT_EQ(list.currentKey(), 3);
    EXPECT_TRUE(list.WpiszIdentyfikator("0003").stored);
    EXPECT_EQ(list.currentKey(), 3) << "the last person stays";
}

TEST_F(OsobyTest, TheDateForEverybodyStartsEveryAssignmentAndGivesTheRestOne) {
    person(1, "", "STARY", 10, "01.03.2026");
    Exec("insert into kzm_przydzial (nr_oper,idjedn,od_kiedy,idstawka) values(1," +
         QString::number(unit(20)) + ",'01.06.2026',20)");
    person(2, "", "BEZ PRZYDZIAŁU", 0);
    Exec("update kzm_kart set idjedn=" + QString::number(unit(10)) + " where nr_oper=2");
    ASSERT_TRUE(list.open());
    EXPECT_EQ(list.AssignmentsForDate(), 3);
    ASSERT_TRUE(list.WstawDate(QDate(2026, 1, 1)));
    EXPECT_EQ(Rows("select nr_oper, od_kiedy from kzm_przydzial order by nr_oper, id"),
              QStringList({"1|01.01.2026", "1|01.01.2026", "2|01.01.2026"}));
}

TEST_F(OsobyTest, AssignmentsFollowThePersonAndTwoMayNotStartOnOneDay) {
    person(1, "", "PIERWSZY");
    person(2, "", "DRUGI", 0);
    ASSERT_TRUE(list.open());
    ASSERT_TRUE(list.locate(2));
    kzm::PrzydzialList& p = list.przydzialy();
    EXPECT_EQ(p.owner(), 2);
    EXPECT_FALSE(p.hasRows());
    p.today = [] { return QDate(2026, 12, 10); };
    p.newStawka = 30;
    ASSERT_TRUE(p.beginInsert());
    EXPECT_EQ(p.fields().odKiedy, QDate(2026, 12, 10));
    EXPECT_EQ(p.fields().idStawka, 30) << "the person's rate for a first assignment";
    EXPECT_EQ(p.save().text, "Nie wybrano jednostki\r\n");
    p.fields().idJedn = unit(20);
    ASSERT_TRUE(p.save().ok());
    EXPECT_EQ(Rows("select od_kiedy, idstawka from kzm_przydzial where nr_oper=2"),
              QStringList({"10.12.2026|30"}));
    ASSERT_TRUE(p.beginInsert());
    p.fields().idJedn = unit(10);
    EXPECT_EQ(p.save().text, "Nie może być dwóch różnych przydziałów w tym samym czasie\r\n");
    p.fields().odKiedy = QDate(2027, 1, 1);
    ASSERT_TRUE(p.save().ok());
    // Editing one keeps its own day.
    ASSERT_TRUE(p.beginEdit());
    p.fields().idStawka = 20;
    ASSERT_TRUE(p.save().ok());

    ASSERT_TRUE(list.locate(1));
    EXPECT_EQ(p.owner(), 1);
    p.query().fetchAll();
    EXPECT_EQ(p.query().fetchedRows(), 1);
}

} // namespace
