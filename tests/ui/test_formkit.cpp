#include "support/QtPrint.h"
#include "ui/FormKit.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace kzm;

namespace {

// What a field holds after the keys were typed into it, by each filter.
TEST(FormKit, FieldsTakeOnlyWhatTheirFilterAccepts) {
    const struct {
        KeyFilter filter;
        const char* typed;
        const char* held;
    } cases[] = {
        {KeyFilter::Digits, "12A", "12"},     {KeyFilter::Digits, "1-2.5", "1-2.5"},
        {KeyFilter::Digits, "x y", ""},       {KeyFilter::Digits, "1,5", "15"},
        {KeyFilter::Decimal, "12,5", "12.5"}, {KeyFilter::Decimal, "abc9", "9"},
    };
    for (const auto& c : cases) {
        QLineEdit edit;
        FilterKeys(&edit, c.filter);
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.held)) << c.typed;
    }
    // Editing keys are never filtered.
    QLineEdit edit;
    FilterKeys(&edit, KeyFilter::Digits);
    QTest::keyClicks(&edit, "123");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), "2");
}

TEST(FormKit, UpperCaseFieldsTurnPolishLettersToo) {
    QLineEdit edit;
    ForceCase(&edit, true);
    QTest::keyClicks(&edit, "kow");
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("ą"));
    QCoreApplication::sendEvent(&edit, &press);
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClicks(&edit, "x");
    EXPECT_EQ(edit.text(), "KOWXĄ");
    EXPECT_EQ(edit.cursorPosition(), 4) << "the cursor stays where it was";
}

} // namespace
