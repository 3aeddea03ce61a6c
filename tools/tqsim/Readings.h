#pragma once

#include "tqsim/SimTerminal.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kzm::tqsim {

// A reading for the terminal with the given address (numScan), or for the first terminal.
struct AddressedReading {
    std::optional<int> numScan;
    Reading reading;
};

// Reads a readings file: one reading a line, fields separated by blanks or ";":
//   [@ADDRESS] CARD [DATE TIME] [DIRECTION [MODE [FLAG]]]
// DATE is yyyy-MM-dd or dd.MM.yyyy, TIME hh:mm or hh:mm:ss; without them the reading takes
// `now`. Empty lines and lines starting with "#" are skipped. False with `error` naming the line
// when a line does not read.
bool ParseReadings(const QString& text, const QDateTime& now, std::vector<AddressedReading>& out,
                   QString* error);

// Readings made up at a steady rate from a list of cards, taken in turn, spread over the
// terminals in turn; at most `limit` of them when it is not negative.
class ReadingGenerator {
public:
    ReadingGenerator(QStringList cards, double perMinute, int terminals, int limit = -1);

    // The readings due by `elapsedMs` since the start, with the terminal each goes to.
    std::vector<std::pair<int, Reading>> due(qint64 elapsedMs, const QDateTime& now);
    int made() const { return m_made; }

private:
    QStringList m_cards;
    double m_perMinute;
    int m_terminals;
    int m_limit;
    int m_made = 0;
};

} // namespace kzm::tqsim
