#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace kzm::report {

// An amount spelled in Polish words, broken into lines of at most `width` characters (at least
// 60). The amount is fixed-point with four decimals (the amount times 10 000); its sign is
// dropped. "PLN" and "ZŁ" spell złote and grosze; any other currency code is written as it
// stands, with the hundredths as "i NN/100".
QStringList KwotaSlownie(std::int64_t amount, int width, const QString& currency);

// The grammatical form of a count: 0 for exactly 1, 1 for "dwa".."cztery" endings, 2 otherwise.
int FormaLiczby(std::int64_t n);

} // namespace kzm::report
