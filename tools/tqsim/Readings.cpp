#include "tqsim/Readings.h"

#include <QRegularExpression>

namespace kzm::tqsim {

namespace {

std::optional<QDate> ReadDate(const QString& text) {
    for (const char* format : {"yyyy-MM-dd", "dd.MM.yyyy"}) {
        const QDate date = QDate::fromString(text, QLatin1String(format));
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

std::optional<QTime> ReadTime(const QString& text) {
    for (const char* format : {"HH:mm:ss", "HH:mm"}) {
        const QTime time = QTime::fromString(text, QLatin1String(format));
        if (time.isValid())
            return time;
    }
    return std::nullopt;
}

bool ReadChar(const QString& text, char& out) {
    if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() > 0x7E)
        return false;
    out = text[0].toLatin1();
    return true;
}

} // namespace

bool ParseReadings(const QString& text, const QDateTime& now, std::vector<AddressedReading>& out,
                   QString* error) {
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    static const QRegularExpression digits(QStringLiteral("^\\d{1,16}$"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        auto fail = [&](const QString& why) {
            if (error)
                *error = QStringLiteral("wiersz %1: %2").arg(n + 1).arg(why);
            return false;
        };
        QStringList fields = line.split(separators, Qt::SkipEmptyParts);
        AddressedReading entry;
        entry.reading.time = now;
        if (fields.front().startsWith(QLatin1Char('@'))) {
            bool ok = false;
            const int address = fields.front().mid(1).toInt(&ok);
            if (!ok || address < 1 || address > 31)
                return fail(QStringLiteral("adres spoza 1..31"));
            entry.numScan = address;
            fields.removeFirst();
        }
        if (fields.isEmpty())
            return fail(QStringLiteral("brak numeru karty"));
        // "-" stands for a record without a card number.
        const QString card = fields.takeFirst();
        if (card != QLatin1String("-")) {
            if (!digits.match(card).hasMatch())
                return fail(QStringLiteral("numer karty to od 1 do 16 cyfr"));
            entry.reading.card = card;
        }
        if (!fields.isEmpty() && ReadDate(fields.front())) {
            if (fields.size() < 2)
                return fail(QStringLiteral("po dacie brak godziny"));
            const auto date = ReadDate(fields[0]);
            const auto time = ReadTime(fields[1]);
            if (!time)
                return fail(QStringLiteral("błędna godzina"));
            entry.reading.time = QDateTime(*date, *time);
            fields.remove(0, 2);
        }
        char* chars[] = {&entry.reading.direction, &entry.reading.mode, &entry.reading.flag};
        if (fields.size() > 3)
            return fail(QStringLiteral("za dużo pól"));
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (!ReadChar(fields[i], *chars[i]))
                return fail(QStringLiteral("kierunek, tryb i znacznik to po jednym znaku"));
        }
        out.push_back(entry);
    }
    return true;
}

ReadingGenerator::ReadingGenerator(QStringList cards, double perMinute, int terminals, int limit)
    : m_cards(std::move(cards)), m_perMinute(perMinute), m_terminals(qMax(1, terminals)),
      m_limit(limit) {}

std::vector<std::pair<int, Reading>> ReadingGenerator::due(qint64 elapsedMs, const QDateTime& now) {
    std::vector<std::pair<int, Reading>> readings;
    if (m_cards.isEmpty() || m_perMinute <= 0)
        return readings;
    // The first reading comes at once, the next one every 60 / rate seconds.
    auto total = qint64(double(elapsedMs) * m_perMinute / 60000.0) + 1;
    if (m_limit >= 0)
        total = qMin<qint64>(total, m_limit);
    while (m_made < total) {
        Reading reading;
        reading.card = m_cards[m_made % m_cards.size()];
        reading.time = now;
        readings.emplace_back(m_made % m_terminals, reading);
        ++m_made;
    }
    return readings;
}

} // namespace kzm::tqsim
