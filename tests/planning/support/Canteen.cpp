#include "planning/support/Canteen.h"

#include "support/DbRows.h"

namespace planning {

namespace {

int Id(kzm::Tdm& dm, const char* sql) {
    return testdb::Row(dm, QString::fromLatin1(sql)).toInt();
}

} // namespace

Canteen SeedCanteen(kzm::Tdm& dm) {
    const char* statements[] = {
        "insert into KZM_STOPNIE (ID, SKROT, NAZWA) values (0, 'szer.', 'szeregowy')",
        "insert into KZM_STOPNIE (ID, SKROT, NAZWA) values (0, 'kpr.', 'kapral')",
        "insert into KZM_JEDNOSTKI (ID, NUMER, GRUPA, NAZWA) values (0, 1, 0, 'PIERWSZA')",
        "insert into KZM_JEDNOSTKI (ID, NUMER, GRUPA, NAZWA) values (0, 2, 0, 'DRUGA')",
        "insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, IDSTAWKAW, NAZWISKO) "
        "select 101, 5001, 'A101', ID, 990, 'KOWALSKI JAN' from KZM_STOPNIE where SKROT='szer.'",
        "insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, IDSTAWKAW, NAZWISKO) "
        "select 102, 5002, 'A102', ID, 990, 'NOWAK ANNA' from KZM_STOPNIE where SKROT='kpr.'",
        "insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, IDSTAWKAW, NAZWISKO) "
        "select 123, 5003, 'A123', ID, 991, 'KOWALEWSKA EWA' from KZM_STOPNIE where SKROT='szer.'",
        "insert into KZM_KART (NR_OPER, NR_KARTY, NR_IDENT, IDSTOPIEN, IDSTAWKAW, NAZWISKO) "
        "select 104, 5004, 'A104', ID, 991, 'O\"BRIEN' from KZM_STOPNIE where SKROT='kpr.'",
        "insert into KZM_PRZYDZIAL (ID, NR_OPER, IDJEDN, OD_KIEDY, IDSTAWKA) "
        "select 1, 101, ID, '01.01.2025', 20 from KZM_JEDNOSTKI where NUMER=1",
        "insert into KZM_PRZYDZIAL (ID, NR_OPER, IDJEDN, OD_KIEDY, IDSTAWKA) "
        "select 2, 102, ID, '01.01.2025', 30 from KZM_JEDNOSTKI where NUMER=1",
        "insert into KZM_PRZYDZIAL (ID, NR_OPER, IDJEDN, OD_KIEDY, IDSTAWKA) "
        "select 3, 123, ID, '01.01.2025', 20 from KZM_JEDNOSTKI where NUMER=2",
        "insert into KZM_PRZYDZIAL (ID, NR_OPER, IDJEDN, OD_KIEDY, IDSTAWKA) "
        "select 4, 104, ID, '01.01.2025', 20 from KZM_JEDNOSTKI where NUMER=2",
        "insert into KZM_CENNIK (ID, IDTR, KWOTA, OD_KIEDY) values (1, 20, 8.40, '01.01.2025')",
        "insert into KZM_CENNIK (ID, IDTR, KWOTA, OD_KIEDY) values (2, 30, 11.40, '01.01.2025')",
        "insert into KZM_CENNIK (ID, IDTR, KWOTA, OD_KIEDY) values (3, 40, 5.50, '01.01.2025')",
        "insert into KZM_CENNIK (ID, IDTR, KWOTA, OD_KIEDY) values (4, 990, 3.10, '01.01.2025')",
        "insert into KZM_CENNIK (ID, IDTR, KWOTA, OD_KIEDY) values (5, 991, 3.30, '01.01.2025')",
        "insert into KZM_CENNIK (ID, IDTR, KWOTA, OD_KIEDY) values (6, 992, 12.00, '01.01.2025')",
        "insert into KZM_CENNIK (ID, IDTR, KWOTA, OD_KIEDY) values (7, 20, 9.00, '01.04.2025')",
        "insert into KZM_ZDARZ (ID, LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, "
        "WODA) values (0, 1, 1, 'TOB', 'OBIAD', 0, 0, 0, 1, 0, 0)",
        "insert into KZM_ZDARZ (ID, LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, "
        "WODA) values (0, 2, 1, 'TCAL', 'CAŁY DZIEŃ', 0, 0, 1, 1, 1, 1)",
        "insert into KZM_ZDARZ (ID, LPW, GRW, SKROT, NAZWA, STAWKA_DW, STAWKA_DW110, SN, OB, KO, "
        "WODA) values (0, 3, 3, 'TDW', 'DO WYPŁATY', 100, 70, 0, 0, 0, 0)",
        "delete from KZM_SZKODY_2",
        "insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (1, 'S1', 0, 0)",
        "insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (2, 'S2', 1, 60)",
        "insert into KZM_SZKODY_2 (ID, SKROT, WODA, STAWKA_DW) values (5, 'S5', 0, 100)",
    };
    for (const char* sql : statements)
        testdb::Exec(dm, QString::fromUtf8(sql));
    Canteen c;
    c.unit1 = Id(dm, "select ID from KZM_JEDNOSTKI where NUMER=1");
    c.unit2 = Id(dm, "select ID from KZM_JEDNOSTKI where NUMER=2");
    c.lunch = Id(dm, "select ID from KZM_ZDARZ where SKROT='TOB'");
    c.allDay = Id(dm, "select ID from KZM_ZDARZ where SKROT='TCAL'");
    c.paidOut = Id(dm, "select ID from KZM_ZDARZ where SKROT='TDW'");
    return c;
}

} // namespace planning
