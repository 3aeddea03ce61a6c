#include "core/Dates.h"

#include "support/QtPrint.h"

#include <vector>

#include <gtest/gtest.h>

using namespace kzm;

TEST(Dates, KeysAndTexts) {
    const QDate date(2026, 12, 8);
    EXPECT_EQ(DateKey(date), QStringLiteral("20261208"));
    EXPECT_EQ(YearMonthKey(date), QStringLiteral("202612"));
    EXPECT_EQ(DateText(QDate(2025, 1, 5), 0), QStringLiteral("05.01.2025"));
    EXPECT_EQ(DateText(QDate(2005, 1, 5), 1), QStringLiteral("05.01.05"));
    EXPECT_EQ(DateText(QDate(2025, 1, 5), 2), QStringLiteral("2025-01-05"));
    EXPECT_EQ(DateText(QDate(2025, 1, 5), -1), QStringLiteral("2025-01-05"));
    EXPECT_EQ(DateText(QDate(999, 3, 4), 0), QStringLiteral("04.03.0999"));
}

TEST(Dates, NullDateIsWrittenAsZeroDate) {
    EXPECT_EQ(ZeroDate(), QDate(1899, 12, 30));
    EXPECT_EQ(DateText(QDate(), 0), QStringLiteral("30.12.1899"));
    EXPECT_EQ(DateKey(QDate()), QStringLiteral("18991230"));
}

TEST(DateFromText, ReadsOnlyExactForm) {
    const std::vector<std::pair<QString, QDate>> cases = {
        {QStringLiteral("05.01.2025"), QDate(2025, 1, 5)},
        {QStringLiteral("29.02.2024"), QDate(2024, 2, 29)},
        {QStringLiteral("31.12.9999"), QDate(9999, 12, 31)},
        {QStringLiteral("31.02.2025"), ZeroDate()},
        {QStringLiteral("29.02.2025"), ZeroDate()},
        {QStringLiteral("00.01.2025"), ZeroDate()},
        {QStringLiteral("01.13.2025"), ZeroDate()},
        {QStringLiteral("05.01.2025\r\n"), ZeroDate()},
        {QStringLiteral(" 05.01.2025"), ZeroDate()},
        {QStringLiteral("5.1.2025"), ZeroDate()},
        {QStringLiteral("05-01-2025"), ZeroDate()},
        {QStringLiteral("2025-01-05"), ZeroDate()},
        {QStringLiteral("05.01.25"), ZeroDate()},
        {QStringLiteral("+5.01.2025"), ZeroDate()},
        {QStringLiteral("05.01.0000"), ZeroDate()},
        {QString(), ZeroDate()},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(DateFromText(text), expected) << text.toStdString();
    }
}

TEST(Dates, FirstOfMonth) {
    EXPECT_EQ(FirstOfMonth(QDate(2024, 2, 29)), QDate(2024, 2, 1));
    EXPECT_EQ(FirstOfMonth(QDate(2025, 12, 1)), QDate(2025, 12, 1));
    EXPECT_FALSE(FirstOfMonth(QDate()).isValid());
}

TEST(Dates, DayNamesOfAWeek) {
    // 6 January 2025 is a Monday.
    const QStringList full = {QStringLiteral("poniedziałek"), QStringLiteral("wtorek"),
                              QStringLiteral("środa"),        QStringLiteral("czwartek"),
                              QStringLiteral("piatek"),       QStringLiteral("sobota"),
                              QStringLiteral("niedziela")};
    const QStringList abbreviated = {
        QStringLiteral("Pn"), QStringLiteral("Wt"), QStringLiteral("Śr"), QStringLiteral("Cz"),
        QStringLiteral("Pt"), QStringLiteral("So"), QStringLiteral("Nd")};
    for (int i = 0; i < 7; ++i) {
        const QDate day = QDate(2025, 1, 6).addDays(i);
        EXPECT_EQ(DayName(day, 0), full[i]);
        EXPECT_EQ(DayName(day, 1), abbreviated[i]);
    }
    EXPECT_EQ(DayName(QDate(2025, 1, 6), 2), QString());
    EXPECT_EQ(DayName(QDate(), 0), QString());
}

TEST(Dates, MonthNames) {
    const QStringList names = {
        QStringLiteral("Styczeń"),     QStringLiteral("Luty"),     QStringLiteral("Marzec"),
        QStringLiteral("Kwiecień"),    QStringLiteral("Maj"),      QStringLiteral("Czerwiec"),
        QStringLiteral("Lipiec"),      QStringLiteral("Sierpień"), QStringLiteral("Wrzesień"),
        QStringLiteral("Październik"), QStringLiteral("Listopad"), QStringLiteral("Grudzień")};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(MonthName(month), names[month - 1]);
        EXPECT_EQ(MonthName(QDate(2025, month, 15)), names[month - 1]);
    }
    EXPECT_EQ(MonthName(0), QString());
    EXPECT_EQ(MonthName(13), QString());
    EXPECT_EQ(MonthName(QDate()), QString());
}
