#include "core/KeyFilters.h"

#include "support/QtPrint.h"

#include <vector>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

// The characters among codes 0..255 that a filter accepts, and checks that every rejected key
// was replaced by nothing.
QString Accepted(bool (*filter)(QChar&)) {
    QString accepted;
    for (char16_t code = 0; code < 256; ++code) {
        QChar key(code);
        if (filter(key)) {
            accepted.append(key);
        } else {
            EXPECT_TRUE(key.isNull()) << "code " << int(code);
        }
    }
    return accepted;
}

} // namespace

TEST(KeyFilters, DigitFilterAcceptsItsSet) {
    EXPECT_EQ(Accepted(DigitKeyFilter), QStringLiteral("\b\t\r\x1b#$%&'(-.0123456789"));
    QChar polish(u'ą');
    EXPECT_FALSE(DigitKeyFilter(polish));
    EXPECT_TRUE(polish.isNull());
}

TEST(KeyFilters, DecimalFilterTurnsCommaIntoPoint) {
    // The comma, code 44, shows up as the point it became.
    EXPECT_EQ(Accepted(DecimalKeyFilter), QStringLiteral("\b\t\r\x1b#$%&'(.-.0123456789"));
    QChar comma(u',');
    EXPECT_TRUE(DecimalKeyFilter(comma));
    EXPECT_EQ(comma, QChar(u'.'));
}

TEST(KeyFilters, DecimalFilterLimitsDecimals) {
    struct Case {
        QString text;
        int selectionStart;
        int selectionLength;
        char16_t key;
        int decimals;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("12.3"), 4, 0, u'4', 2, true},
        {QStringLiteral("12.34"), 5, 0, u'5', 2, false},
        {QStringLiteral("12.34"), 0, 0, u'9', 2, true},  // a digit before the point
        {QStringLiteral("12.34"), 4, 1, u'9', 2, true},  // replaces a selected decimal
        {QStringLiteral("12.34"), 2, 3, u'9', 2, true},  // replaces the point and decimals
        {QStringLiteral("12.34"), 5, 0, u'\b', 2, true}, // other keys are not measured
        {QStringLiteral("12"), 2, 0, u',', 2, true},
        {QStringLiteral("12"), 2, 0, u'.', 0, false},
        {QStringLiteral("12"), 2, 0, u',', 0, false},
        {QStringLiteral("12"), 2, 0, u'3', 0, true},
        {QStringLiteral("1.5.7"), 5, 0, u'1', 2, false}, // counted from the first point
        {QStringLiteral("12.3"), 99, 0, u'4', 2, true},  // a cursor past the end appends
        {QStringLiteral("12.3"), 4, 0, u'x', 2, false},
    };
    for (const auto& c : cases) {
        QChar key(c.key);
        const bool accepted =
            DecimalKeyFilterN(key, c.text, c.selectionStart, c.selectionLength, c.decimals);
        EXPECT_EQ(accepted, c.accepted) << c.text.toStdString() << " at " << c.selectionStart << "+"
                                        << c.selectionLength << " key " << int(c.key);
        if (accepted) {
            EXPECT_EQ(key, c.key == u',' ? QChar(u'.') : QChar(c.key));
        } else {
            EXPECT_TRUE(key.isNull());
        }
    }
}
