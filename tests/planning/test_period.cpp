// The plan window's period: stepping by days and by months, and the months a period touches.

#include "planning/Period.h"

#include <gtest/gtest.h>

using namespace kzm;

namespace {

QDate D(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd.MM.yyyy"));
}

TEST(Period, StepsByMonthOrByDay) {
    const struct {
        const char* od;
        const char* dd;
        int step;
        bool months;
        const char* newOd;
        const char* newDo;
    } cases[] = {
        {"31.01.2025", "31.01.2025", 1, true, "01.02.2025", "28.02.2025"},
        {"31.01.2024", "05.03.2024", 1, true, "01.02.2024", "29.02.2024"},
        {"15.01.2025", "20.01.2025", -1, true, "01.12.2024", "31.12.2024"},
        {"31.01.2025", "31.01.2025", 1, false, "01.02.2025", "01.02.2025"},
        {"01.03.2025", "31.03.2025", -1, false, "28.02.2025", "28.02.2025"},
        {"31.12.2025", "31.12.2025", 1, false, "01.01.2026", "01.01.2026"},
    };
    for (const auto& c : cases) {
        const Period p = StepPeriod({D(c.od), D(c.dd)}, c.step, c.months);
        EXPECT_EQ(p, (Period{D(c.newOd), D(c.newDo)})) << c.od << " " << c.step << " " << c.months;
    }
}

TEST(Period, WholeMonthsWidenBothEnds) {
    EXPECT_EQ(WholeMonths({D("15.03.2025"), D("10.04.2025")}),
              (Period{D("01.03.2025"), D("30.04.2025")}));
    EXPECT_EQ(WholeMonths({D("01.02.2024"), D("01.02.2024")}),
              (Period{D("01.02.2024"), D("29.02.2024")}));
}

} // namespace
