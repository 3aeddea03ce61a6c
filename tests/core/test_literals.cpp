#include "core/Literals.h"

#include "core/Text.h"
#include "support/QtPrint.h"

#include <limits>
#include <vector>

#include <gtest/gtest.h>

using namespace kzm;

TEST(SqlStr, QuotesAndReplacesApostrophes) {
    EXPECT_EQ(SqlStr(QStringLiteral("O'Brien")), QStringLiteral("'O\"Brien'"));
    EXPECT_EQ(SqlStr(QStringLiteral("'a''b'")), QStringLiteral("'\"a\"\"b\"'"));
    EXPECT_EQ(SqlStr(QStringLiteral("Żółć")), QStringLiteral("'Żółć'"));
    EXPECT_EQ(SqlStr(QString()), QStringLiteral("''"));
    EXPECT_EQ(SqlStr(QString(), false), QStringLiteral("'',"));
}

TEST(SqlInt, DigitsAndSign) {
    EXPECT_EQ(SqlInt(7, false), QStringLiteral("7,"));
    EXPECT_EQ(SqlInt(-12), QStringLiteral("-12"));
    EXPECT_EQ(SqlInt(std::numeric_limits<int>::min()), QStringLiteral("-2147483648"));
    EXPECT_EQ(SqlInt(static_cast<qint16>(-32768), false), QStringLiteral("-32768,"));
}

TEST(SqlFloat, GeneralFormatWithFifteenDigits) {
    const std::vector<std::pair<double, QString>> cases = {
        {12.5, QStringLiteral("12.5")},
        {0.1, QStringLiteral("0.1")},
        {0.1 + 0.2, QStringLiteral("0.3")},
        {100, QStringLiteral("100")},
        {-7.25, QStringLiteral("-7.25")},
        {0.0001, QStringLiteral("0.0001")},
        {123456789012345, QStringLiteral("123456789012345")},
        {1234567890123456, QStringLiteral("1.23456789012346E15")},
        {1e20, QStringLiteral("1E20")},
        {0.00001, QStringLiteral("1E-5")},
        {-1.5e-7, QStringLiteral("-1.5E-7")},
        {1e-300, QStringLiteral("1E-300")},
        {0.0, QStringLiteral("0")},
        {-0.0, QStringLiteral("0")},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(SqlFloat(value), expected) << value;
    }
    EXPECT_EQ(SqlFloat(60, false), QStringLiteral("60,"));
}

TEST(SqlFloat, NonFiniteNumbersHaveNoLiteral) {
    EXPECT_THROW(SqlFloat(std::numeric_limits<double>::infinity()), ConversionError);
    EXPECT_THROW(SqlFloat(std::numeric_limits<double>::quiet_NaN()), ConversionError);
}

TEST(SqlDate, DateAndDateTime) {
    EXPECT_EQ(SqlDate(QDate(2025, 1, 5)), QStringLiteral("'05.01.2025'"));
    EXPECT_EQ(SqlDate(QDate(2025, 1, 5), false), QStringLiteral("'05.01.2025',"));
    EXPECT_EQ(SqlDate(QDate()), QStringLiteral("'30.12.1899'"));
    EXPECT_EQ(SqlDateTime(QDateTime(QDate(2025, 1, 5), QTime(14, 3, 9))),
              QStringLiteral("'05.01.2025 14:03:09'"));
    EXPECT_EQ(SqlDateTime(QDateTime(QDate(2025, 1, 5), QTime(0, 0)), false),
              QStringLiteral("'05.01.2025',"));
    EXPECT_EQ(SqlDateTime(QDateTime(QDate(2025, 1, 5), QTime(0, 0, 1))),
              QStringLiteral("'05.01.2025 00:00:01'"));
    EXPECT_EQ(SqlDateTime(QDateTime()), QStringLiteral("'30.12.1899'"));
}
