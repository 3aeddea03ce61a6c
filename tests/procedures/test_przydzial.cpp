#include "db/Tdm.h"
#include "support/CatalogueDb.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

namespace {

using PrzydzialTest = testdb::CatalogueDbTest;

// Unit and rate of person 101 on a day, as "unit/rate" ("-" for null).
QString onDay(kzm::Tdm& dm, const QString& day) {
    return dm.MQReadString("R", "select coalesce(idjedn, '-') || '/' || coalesce(idstawka, '-') "
                                "as r from PKZM_PRZYDZIAL_1(101, '" +
                                    day + "')");
}

TEST_F(PrzydzialTest, TheLastAssignmentNotAfterTheDayHolds) {
    dm.ClearListaScr();
    dm.ListaScr << "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, "
                   "1, 20, '01.01.2025')"
                << "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, "
                   "2, 30, '01.03.2025')"
                << "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (102, "
                   "9, 30, '01.01.2020')";
    ASSERT_TRUE(dm.RunScr("fixture", false));
    const struct {
        const char* day;
        const char* expected;
    } cases[] = {
        {"31.12.2024", "-/-"}, // before the first assignment
        {"01.01.2025", "1/20"}, {"28.02.2025", "1/20"},
        {"01.03.2025", "2/30"}, // a start day counts
        {"31.12.2030", "2/30"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(onDay(dm, c.day), c.expected) << c.day;
    EXPECT_EQ(dm.MQReadString("R", "select coalesce(idjedn, '-') as r from PKZM_PRZYDZIAL_1(555, "
                                   "'01.01.2025')"),
              "-"); // no assignment at all: still one row
}

TEST_F(PrzydzialTest, OfAssignmentsFromTheSameDayTheOneEnteredLastHolds) {
    dm.ClearListaScr();
    dm.ListaScr << "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, "
                   "1, 20, '01.01.2025')"
                << "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, "
                   "3, 30, '01.03.2025')"
                << "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, "
                   "2, 20, '01.03.2025')"
                << "insert into KZM_PRZYDZIAL (NR_OPER, IDJEDN, IDSTAWKA, OD_KIEDY) values (101, "
                   "4, 30, '01.01.2025')";
    ASSERT_TRUE(dm.RunScr("fixture", false));
    EXPECT_EQ(onDay(dm, "15.02.2025"), "4/30");
    EXPECT_EQ(onDay(dm, "15.03.2025"), "2/20");
}

} // namespace
