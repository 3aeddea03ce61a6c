#include "report/Slownie.h"
#include "support/QtPrint.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using kzm::report::KwotaSlownie;

namespace {

// Amounts in the fixed point of the routine: times 10 000.
constexpr std::int64_t zl(double amount) {
    return static_cast<std::int64_t>(amount * 10000.0 + (amount < 0 ? -0.5 : 0.5));
}

struct Case {
    std::int64_t amount;
    int width;
    const char* currency;
    QStringList lines;
};

TEST(Slownie, WordsOfAmounts) {
    const QString pln = QStringLiteral("PLN");
    const std::vector<Case> cases = {
        // The worked examples, blanks as produced.
        {zl(1234.56),
         120,
         "PLN",
         {QStringLiteral(
             "  jeden tysiąc dwieście trzydzieści cztery złote pięćdziesiąt sześć groszy ")}},
        {zl(100.00), 120, "PLN", {QStringLiteral("sto   złotych")}},
        {zl(22.00), 120, "PLN", {QStringLiteral(" dwadzieścia dwa złote")}},
        {zl(21.01), 120, "PLN", {QStringLiteral(" dwadzieścia jeden złotych  jeden grosz ")}},
        {zl(1), 120, "PLN", {QStringLiteral("  jeden złoty")}},
        {zl(2), 120, "PLN", {QStringLiteral("  dwa złote")}},
        {zl(5), 120, "ZŁ", {QStringLiteral("  pięć złotych")}},
        {zl(1000), 120, "PLN", {QStringLiteral("  jeden tysiąc złotych")}},
        {zl(2000000), 120, "PLN", {QStringLiteral("  dwa miliony złotych")}},
        // Twelve is spelled right, alone and inside a group.
        {zl(12.00), 120, "PLN", {QStringLiteral(" dwanaście złotych")}},
        {zl(12345.67),
         120,
         "PLN",
         {QStringLiteral(" dwanaście tysięcy trzysta czterdzieści pięć złotych sześćdziesiąt "
                         "siedem groszy ")}},
        {zl(1000000.00), 120, "PLN", {QStringLiteral("  jeden milion złotych")}},
        // No złote: "zero" stands before the currency word.
        {zl(0.05), 120, "PLN", {QStringLiteral("zero złotych  pięć groszy ")}},
        {zl(0.50), 120, "PLN", {QStringLiteral("zero złotych pięćdziesiąt  groszy ")}},
        {0, 120, "PLN", {QStringLiteral("zero złotych")}},
        // The third decimal is cut after the thousandths are rounded.
        {123490, 120, "PLN", {QStringLiteral(" dwanaście złotych trzydzieści cztery grosze ")}},
        {123499, 120, "PLN", {QStringLiteral(" dwanaście złotych trzydzieści pięć groszy ")}},
        // The sign is dropped; another currency is written as it stands.
        {-zl(22.00), 120, "PLN", {QStringLiteral(" dwadzieścia dwa złote")}},
        {zl(22.05), 120, "EUR", {QStringLiteral(" dwadzieścia dwa EUR i 05/100 ")}},
        // A width below 60 is 60.
        {zl(987654321.98),
         40,
         "PLN",
         {QStringLiteral("dziewięćset osiemdziesiąt siedem milionów sześćset "),
          QStringLiteral("pięćdziesiąt cztery tysiące trzysta dwadzieścia jeden "),
          QStringLiteral("złotych dziewięćdziesiąt osiem groszy ")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.amount << " " << c.width << " " << c.currency);
        EXPECT_EQ(KwotaSlownie(c.amount, c.width, QString::fromUtf8(c.currency)), c.lines);
    }
}

// Every line keeps within the width, and the lines together say what one long line says.
TEST(Slownie, LinesKeepWithinTheWidth) {
    QRandomGenerator random(2112);
    for (int i = 0; i < 20000; ++i) {
        // Amounts of every magnitude below 10^8, with grosze.
        const int digits = 1 + i % 8;
        std::int64_t whole = 1;
        for (int d = 0; d < digits; ++d)
            whole *= 10;
        const std::int64_t amount =
            static_cast<std::int64_t>(random.bounded(static_cast<quint64>(whole))) * 10000 +
            random.bounded(100) * 100;
        const int width = 60 + random.bounded(61);
        const QStringList lines = KwotaSlownie(amount, width, QStringLiteral("PLN"));
        ASSERT_LE(lines.size(), 5);
        for (const QString& line : lines)
            ASSERT_LE(line.size(), width)
                << amount << " at " << width << ": " << line.toStdString();
        const QStringList single = KwotaSlownie(amount, 10000, QStringLiteral("PLN"));
        ASSERT_EQ(single.size(), 1);
        ASSERT_EQ(lines.join(u' ').simplified(), single[0].simplified()) << amount;
    }
}

} // namespace
