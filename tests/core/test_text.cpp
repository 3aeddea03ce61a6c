#include "core/Text.h"

#include "support/QtPrint.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

struct TextCase {
    QString input;
    int n;
    QString expected;
};

} // namespace

TEST(Padding, PadsAndCutsToWidth) {
    EXPECT_EQ(PadLeft(QStringLiteral("12345"), 3, u'0'), QStringLiteral("345"));
    EXPECT_EQ(PadLeft(QStringLiteral("7"), 3, u'0'), QStringLiteral("007"));
    EXPECT_EQ(PadLeft(QStringLiteral("ab"), 0, u'0'), QString());
    EXPECT_EQ(PadRight(QStringLiteral("12345"), 3, u'.'), QStringLiteral("123"));
    EXPECT_EQ(PadRight(QStringLiteral("ż"), 3, u'.'), QStringLiteral("ż.."));
    EXPECT_EQ(PadRight(QStringLiteral("ab"), -1, u'.'), QString());
    EXPECT_EQ(PadLeftInt(7, 2, u'0'), QStringLiteral("07"));
    EXPECT_EQ(PadLeftInt(123, 2, u'0'), QStringLiteral("23"));
    EXPECT_EQ(PadLeftInt(-7, 3, u'0'), QStringLiteral("0-7"));
    EXPECT_EQ(Spaces(3), QStringLiteral("   "));
    EXPECT_EQ(Spaces(-2), QString());
}

TEST(Cutting, SeparatorsAndPositions) {
    const QString text = QStringLiteral("klucz=wartość=2");
    EXPECT_EQ(TextAfter(QStringLiteral("="), text), QStringLiteral("wartość=2"));
    EXPECT_EQ(TextBefore(QStringLiteral("="), text), QStringLiteral("klucz"));
    EXPECT_EQ(TextAfter(QStringLiteral("=w"), text), QStringLiteral("artość=2"));
    EXPECT_EQ(TextAfter(QStringLiteral(";"), text), text);
    EXPECT_EQ(TextBefore(QStringLiteral(";"), text), text);
    EXPECT_EQ(TextAfter(QString(), text), text);
    EXPECT_EQ(TextBefore(QString(), text), text);

    EXPECT_EQ(DropRight(QStringLiteral("abc\r\n"), 2), QStringLiteral("abc"));
    EXPECT_EQ(DropRight(QStringLiteral("ab"), 5), QString());
    EXPECT_EQ(DropRight(QString(), 1), QString());
    EXPECT_EQ(DropRight(QStringLiteral("ab"), 0), QStringLiteral("ab"));

    EXPECT_EQ(TextFrom(QStringLiteral("abcd"), 1), QStringLiteral("abcd"));
    EXPECT_EQ(TextFrom(QStringLiteral("abcd"), 3), QStringLiteral("cd"));
    EXPECT_EQ(TextFrom(QStringLiteral("abcd"), 5), QString());
    EXPECT_EQ(TextFrom(QStringLiteral("abcd"), 0), QStringLiteral("abcd"));
}

TEST(Token, CollapsesRunsOfSeparators) {
    const QString column = QStringLiteral("ID   INTEGER NOT NULL,");
    const std::vector<TextCase> cases = {
        {column, 1, QStringLiteral("ID")},
        {column, 2, QStringLiteral("INTEGER")},
        {column, 4, QStringLiteral("NULL,")},
        {column, 5, QString()},
        {column, 0, QString()},
        {QStringLiteral("  ID INTEGER"), 1, QString()},
        {QStringLiteral("  ID INTEGER"), 2, QStringLiteral("ID")},
        {QStringLiteral("a b "), 3, QString()},
        {QString(), 1, QString()},
        {QStringLiteral("samo"), 1, QStringLiteral("samo")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Token(c.input, c.n, u' '), c.expected) << c.input.toStdString() << " n=" << c.n;
    }
}

TEST(FieldAt, CountsEmptyFields) {
    const std::vector<TextCase> cases = {
        {QStringLiteral("a;;b"), 1, QStringLiteral("a")},
        {QStringLiteral("a;;b"), 2, QString()},
        {QStringLiteral("a;;b"), 3, QStringLiteral("b")},
        {QStringLiteral("a;;b"), 4, QString()},
        {QStringLiteral(";x"), 1, QString()},
        {QStringLiteral(";x"), 2, QStringLiteral("x")},
        {QStringLiteral("01.02.2025;12,5;Kowalski;"), 3, QStringLiteral("Kowalski")},
        {QStringLiteral("a;b|c"), 3, QStringLiteral("c")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FieldAt(c.input, c.n, QStringLiteral(";|")), c.expected)
            << c.input.toStdString() << " n=" << c.n;
    }
}

TEST(DigitTests, AsciiDigitsOnly) {
    EXPECT_TRUE(IsDigits(QStringLiteral("0123456789")));
    EXPECT_FALSE(IsDigits(QString()));
    EXPECT_FALSE(IsDigits(QStringLiteral("12 ")));
    EXPECT_FALSE(IsDigits(QStringLiteral("-1")));
    EXPECT_FALSE(IsDigits(QStringLiteral("١٢"))); // Arabic-Indic digits are not 0 to 9.
    EXPECT_TRUE(StartsWithDigit(QStringLiteral("5 kg")));
    EXPECT_FALSE(StartsWithDigit(QStringLiteral(" 5")));
    EXPECT_FALSE(StartsWithDigit(QString()));
}

TEST(LeadingInt, ReadsLeadingRun) {
    const std::vector<std::pair<QString, int>> cases = {
        {QStringLiteral("  42 osób"), 42},
        {QStringLiteral("-17x"), -17},
        {QStringLiteral("0007"), 7},
        {QStringLiteral("\t12\r\n"), 12},
        {QString(), 0},
        {QStringLiteral("abc"), 0},
        {QStringLiteral("2147483647"), 2147483647},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(LeadingInt(text), expected) << text.toStdString();
    }
}

TEST(LeadingInt, RunThatIsNoIntegerThrows) {
    for (const QString& text : {QStringLiteral("5-"), QStringLiteral("-"), QStringLiteral("1-2"),
                                QStringLiteral("--3"), QStringLiteral("2147483648")}) {
        EXPECT_THROW(LeadingInt(text), ConversionError) << text.toStdString();
    }
    try {
        LeadingInt(QStringLiteral(" 5- "));
        FAIL() << "no exception";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'5-' nie jest poprawną liczbą całkowitą"));
    }
}

TEST(ParseDecimal, ReadsLeadingNumber) {
    const std::vector<std::pair<QString, double>> cases = {
        {QStringLiteral("12,5"), 12.5},     {QStringLiteral("12.5"), 12.5},
        {QStringLiteral(" 12.5 kg"), 12.5}, {QStringLiteral("-3,25"), -3.25},
        {QStringLiteral("1-2"), 12}, // a "-" after the first character is dropped
        {QStringLiteral(",5"), 0.5},        {QStringLiteral("7."), 7},
        {QStringLiteral("abc"), 0},         {QStringLiteral("-"), 0},
        {QStringLiteral("1.2.3"), 0},       {QStringLiteral("1 234,5"), 1},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(ParseDecimal(text, 99), expected) << text.toStdString();
    }
    EXPECT_EQ(ParseDecimal(QString(), 99), 99);
    EXPECT_EQ(ParseDecimal(QStringLiteral("  "), -1), -1);
    EXPECT_FALSE(std::signbit(ParseDecimal(QStringLiteral("-0"), 1)));
}

TEST(RoundTo, HalvesGoAwayFromZero) {
    struct Case {
        double value;
        int places;
        double expected;
    };
    const std::vector<Case> cases = {
        {0.125, 2, 0.13},
        {2.345, 2, 2.35},
        {-2.345, 2, -2.35},
        {1.005, 2, 1.01},
        {2.5, 0, 3},
        {3.5, 0, 4},
        {-0.5, 0, -1},
        {1.2344, 3, 1.234},
        {12.344999, 2, 12.34},
        {1250, -2, 1300},
        {0, 2, 0},
        // (rate + markup) * quantity as the analysis window computes it.
        {(4.15 + 0.2) * 3, 2, 13.05},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(RoundTo(c.value, c.places), c.expected)
            << c.value << " to " << c.places << " places";
    }
    EXPECT_FALSE(std::signbit(RoundTo(-0.001, 2)));
}

TEST(HexByte, LowEightBitsUpperCase) {
    EXPECT_EQ(HexByte(0), QStringLiteral("00"));
    EXPECT_EQ(HexByte(0x0D), QStringLiteral("0D"));
    EXPECT_EQ(HexByte(0xAB), QStringLiteral("AB"));
    EXPECT_EQ(HexByte(0x1FF), QStringLiteral("FF"));
    EXPECT_EQ(HexByte(-1), QStringLiteral("FF"));
}

TEST(TextLines, AnyLineBreakSeparatesAndAFinalOneStartsNoLine) {
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"", {}},         {"jedna", {"jedna"}},           {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}}, {"a\r\n\r\nb", {"a", "", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextLines(QString::fromUtf8(c.text)), c.lines) << c.text;
}

TEST(FlatLineBreaks, BreaksAreWrittenAsWords) {
    EXPECT_EQ(FlatLineBreaks(QStringLiteral("Łódź\r\nul. Długa\n")),
              QStringLiteral("ŁódźCarriageReturnLineFeedul. DługaLineFeed"));
    EXPECT_EQ(FlatLineBreaks(QStringLiteral("bez")), QStringLiteral("bez"));
}
