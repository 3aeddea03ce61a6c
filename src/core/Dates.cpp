#include "core/Dates.h"

#include "core/Text.h"

#include <array>

namespace kzm {

namespace {

QDate OrZero(const QDate& date) {
    return date.isValid() ? date : ZeroDate();
}

QString TwoDigits(int value) {
    return PadLeftInt(value, 2, QLatin1Char('0'));
}

// The value of `count` ASCII digits at `from`, or -1 when one of them is not a digit.
int DigitsAt(const QString& text, qsizetype from, int count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9') {
            return -1;
        }
        value = value * 10 + (ch - u'0');
    }
    return value;
}

} // namespace

QDate ZeroDate() {
    return QDate(1899, 12, 30);
}

QString DateKey(const QDate& date) {
    const QDate d = OrZero(date);
    return PadLeftInt(d.year(), 4, QLatin1Char('0')) + TwoDigits(d.month()) + TwoDigits(d.day());
}

QString YearMonthKey(const QDate& date) {
    return DateKey(date).left(6);
}

QString DateText(const QDate& date, int style) {
    const QDate d = OrZero(date);
    const QString day = TwoDigits(d.day());
    const QString month = TwoDigits(d.month());
    switch (style) {
    case 0:
        return day + u'.' + month + u'.' + PadLeftInt(d.year(), 4, QLatin1Char('0'));
    case 1:
        return day + u'.' + month + u'.' + TwoDigits(d.year() % 100);
    default:
        return PadLeftInt(d.year(), 4, QLatin1Char('0')) + u'-' + month + u'-' + day;
    }
}

QDate DateFromText(const QString& text) {
    if (text.size() != 10 || text[2] != u'.' || text[5] != u'.') {
        return ZeroDate();
    }
    const int day = DigitsAt(text, 0, 2);
    const int month = DigitsAt(text, 3, 2);
    const int year = DigitsAt(text, 6, 4);
    if (day < 0 || month < 0 || year < 0 || !QDate::isValid(year, month, day)) {
        return ZeroDate();
    }
    return QDate(year, month, day);
}

QDate FirstOfMonth(const QDate& date) {
    return date.isValid() ? QDate(date.year(), date.month(), 1) : QDate();
}

QString DayName(const QDate& date, int kind) {
    // Monday first, as QDate::dayOfWeek counts.
    static const std::array<QString, 7> kNames = {
        QStringLiteral("poniedziałek"), QStringLiteral("wtorek"), QStringLiteral("środa"),
        QStringLiteral("czwartek"),     QStringLiteral("piatek"), QStringLiteral("sobota"),
        QStringLiteral("niedziela")};
    static const std::array<QString, 7> kShortNames = {
        QStringLiteral("Pn"), QStringLiteral("Wt"), QStringLiteral("Śr"), QStringLiteral("Cz"),
        QStringLiteral("Pt"), QStringLiteral("So"), QStringLiteral("Nd")};
    if (!date.isValid()) {
        return {};
    }
    const auto index = static_cast<std::size_t>(date.dayOfWeek() - 1);
    switch (kind) {
    case 0:
        return kNames[index];
    case 1:
        return kShortNames[index];
    default:
        return {};
    }
}

QString MonthName(const QDate& date) {
    return date.isValid() ? MonthName(date.month()) : QString();
}

QString MonthName(int month) {
    static const std::array<QString, 12> kNames = {
        QStringLiteral("Styczeń"),     QStringLiteral("Luty"),     QStringLiteral("Marzec"),
        QStringLiteral("Kwiecień"),    QStringLiteral("Maj"),      QStringLiteral("Czerwiec"),
        QStringLiteral("Lipiec"),      QStringLiteral("Sierpień"), QStringLiteral("Wrzesień"),
        QStringLiteral("Październik"), QStringLiteral("Listopad"), QStringLiteral("Grudzień")};
    if (month < 1 || month > 12) {
        return {};
    }
    return kNames[static_cast<std::size_t>(month - 1)];
}

} // namespace kzm
