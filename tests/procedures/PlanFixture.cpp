#include "procedures/PlanFixture.h"

#include <gtest/gtest.h>

namespace plan {

namespace {

int key(kzm::Tdm& dm, const QString& sql) {
    return dm.ReadInteger(QStringLiteral("ID"), sql, -1);
}

} // namespace

QString Lit(const QDate& d) {
    return '\'' + d.toString(QStringLiteral("dd.MM.yyyy")) + '\'';
}

int PlanId(kzm::Tdm& dm, int nrOper, const QDate& day) {
    return key(dm, QStringLiteral("select ID from KZM_DANE where NR_OPER = %1 and DATA = %2")
                       .arg(nrOper)
                       .arg(Lit(day)));
}

void OpenPlan(kzm::Tdm& dm, const QDate& day, int modyfikacja) {
    Exec(dm, QStringLiteral("execute procedure PKZM_OPEN_PLAN_2(%1, %2)")
                 .arg(Lit(day))
                 .arg(modyfikacja));
}

Fixture Load(kzm::Tdm& dm) {
    Fixture f;
    dm.ClearListaScr();
    // Prices first, so that the generator's key 0 goes to a price row and not to a unit, a rank
    // or an event type, where 0 means none.
    dm.ListaScr
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (20, 10.00, '01.01.2025')"
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (20, 12.00, '15.03.2025')"
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (20, 99.00, '16.03.2025')"
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (30, 15.00, '01.01.2025')"
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (40, 7.00, '01.01.2025')"
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (990, 3.30, '01.01.2025')"
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (991, 3.10, '01.01.2025')"
        << "insert into KZM_CENNIK (IDTR, KWOTA, OD_KIEDY) values (992, 5.50, '01.01.2025')"
        << "insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (10, 0, 'KOMPANIA A')"
        << "insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (20, 0, 'KOMPANIA B')"
        << "insert into KZM_JEDNOSTKI (NUMER, GRUPA, NAZWA) values (30, 0, 'KOMPANIA C')"
        << "insert into KZM_STOPNIE (SKROT, NAZWA) values ('szer.', 'szeregowy')"
        << "insert into KZM_STOPNIE (SKROT, NAZWA) values ('kpr.', 'kapral')"
        << "update or insert into KZM_STAWKI (ID, KOD, NAZWA) values (20, '020', 'STAWKA 020')"
        << "update or insert into KZM_STAWKI (ID, KOD, NAZWA) values (30, '030', 'STAWKA 030')"
        << "update or insert into KZM_STAWKI (ID, KOD, NAZWA) values (40, '110', 'DOPLATA')"
        << "update or insert into KZM_STAWKI (ID, KOD, NAZWA) values (990, '990', 'WODA 166%')"
        << "update or insert into KZM_STAWKI (ID, KOD, NAZWA) values (991, '991', 'WODA 160%')"
        << "update or insert into KZM_STAWKI (ID, KOD, NAZWA) values (992, '992', 'OBIAD')"
        << "insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, "
           "WODA) values (1, 1, 'K', 'KUCHNIA', 100, 70, 1, 1, 1, 1)"
        << "insert into KZM_ZDARZ (LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, "
           "WODA) values (2, 3, 'P60', 'POZA KUCHNIA 60', 60, 150, 0, 0, 0, 0)"
        << "update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (1, 'S1', 0, 0)"
        << "update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (2, 'S2', 1, "
           "200)"
        << "update or insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (5, 'S5', 0, "
           "60)";
    if (!dm.RunScr(QStringLiteral("fixture"), true)) {
        ADD_FAILURE() << "the fixture's master data did not load";
        return f;
    }
    f.unitA = key(dm, "select ID from KZM_JEDNOSTKI where NUMER = 10");
    f.unitB = key(dm, "select ID from KZM_JEDNOSTKI where NUMER = 20");
    f.unitC = key(dm, "select ID from KZM_JEDNOSTKI where NUMER = 30");
    f.rankSzer = key(dm, "select ID from KZM_STOPNIE where SKROT = 'szer.'");
    f.rankKpr = key(dm, "select ID from KZM_STOPNIE where SKROT = 'kpr.'");
    f.evFull = key(dm, "select ID from KZM_ZDARZ where SKROT = 'K'");
    f.evP60 = key(dm, "select ID from KZM_ZDARZ where SKROT = 'P60'");

    const auto person = [](int nr, const char* ident, int rank, int water, const char* name) {
        return QStringLiteral("insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, "
                              "IDJEDN, IDSTAWKA, IDSTAWKAW, NAZWISKO) values (%1, %1, '%2', %3, "
                              "0, 20, %4, '%5')")
            .arg(nr)
            .arg(QLatin1String(ident))
            .arg(rank)
            .arg(water)
            .arg(QLatin1String(name));
    };
    const auto assign = [](int nr, int unit, int rate, const char* from) {
        return QStringLiteral("insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) "
                              "values (%1, %2, %3, '%4')")
            .arg(nr)
            .arg(unit)
            .arg(rate)
            .arg(QLatin1String(from));
    };
    dm.ClearListaScr();
    dm.ListaScr << person(101, "K101", f.rankSzer, 990, "KOWALSKI JAN")
                << person(102, "K102", f.rankKpr, 991, "NOWAK ADAM")
                << person(103, "K103", 9999, 0, "ZIELINSKI OLEK")
                << person(104, "K104", f.rankSzer, 990, "LIS EWA")
                << person(105, "K105", 0, 991, "WRONA PIOTR")
                << assign(101, f.unitA, 20, "01.01.2025") << assign(101, f.unitB, 30, "01.04.2025")
                << assign(102, f.unitA, 20, "01.01.2024") << assign(102, f.unitB, 30, "01.02.2025")
                << assign(103, f.unitC, 20, "16.03.2025") << assign(104, f.unitB, 30, "01.06.2024")
                << assign(104, f.unitA, 20, "01.03.2025") << assign(104, f.unitC, 30, "01.03.2025");
    if (!dm.RunScr(QStringLiteral("fixture"), true))
        ADD_FAILURE() << "the fixture's persons did not load";
    return f;
}

void PlanTest::SetUp() {
    testdb::CatalogueDbTest::SetUp();
    if (HasFatalFailure())
        return;
    f = Load(dm);
}

void EnterEvent(kzm::Tdm& dm, int id, int zdarz) {
    Exec(dm, QStringLiteral("execute procedure PKZM_ZMIEN_ZDARZ_2(%1, %2)").arg(id).arg(zdarz));
}

void EnterCorrection(kzm::Tdm& dm, int id, int idp, int ids5, const QString& datap) {
    Exec(dm, QStringLiteral("execute procedure PKZM_ZMIEN_SZKODE(%1, %2, %3, %4)")
                 .arg(id)
                 .arg(idp)
                 .arg(ids5)
                 .arg(datap));
}

} // namespace plan
