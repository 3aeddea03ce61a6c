#include "core/Literals.h"

#include "core/Dates.h"
#include "core/Text.h"

#include <charconv>
#include <cmath>

namespace kzm {

namespace {

QString Listed(QString literal, bool last) {
    if (!last) {
        literal += u',';
    }
    return literal;
}

QString Quoted(const QString& text) {
    return u'\'' + text + u'\'';
}

QString TimeText(const QTime& time) {
    return PadLeftInt(time.hour(), 2, QLatin1Char('0')) + u':' +
           PadLeftInt(time.minute(), 2, QLatin1Char('0')) + u':' +
           PadLeftInt(time.second(), 2, QLatin1Char('0'));
}

} // namespace

QString SqlStr(const QString& text, bool last) {
    QString body = text;
    body.replace(u'\'', u'"');
    return Listed(Quoted(body), last);
}

QString SqlInt(int value, bool last) {
    return Listed(QString::number(value), last);
}

QString SqlInt(qint16 value, bool last) {
    return SqlInt(static_cast<int>(value), last);
}

QString SqlFloat(double value, bool last) {
    if (!std::isfinite(value)) {
        throw ConversionError(std::isnan(value)
                                  ? QStringLiteral("Wartość nieokreślona nie ma zapisu w SQL")
                                  : QStringLiteral("Liczba nieskończona nie ma zapisu w SQL"));
    }
    if (value == 0) {
        return Listed(QStringLiteral("0"), last);
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    const QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    const qsizetype e = text.indexOf(u'e');
    if (e < 0) {
        return Listed(text, last);
    }
    // The exponent loses its "+" and leading zeros: 1e+20 is 1E20, 1.5e-07 is 1.5E-7.
    const int exponent = text.mid(e + 1).toInt();
    return Listed(text.left(e) + u'E' + QString::number(exponent), last);
}

QString SqlDate(const QDate& date, bool last) {
    return Listed(Quoted(DateText(date, 0)), last);
}

QString SqlDateTime(const QDateTime& dateTime, bool last) {
    if (!dateTime.isValid()) {
        return SqlDate(QDate(), last);
    }
    const QTime time = dateTime.time();
    if (time.msecsSinceStartOfDay() == 0) {
        return SqlDate(dateTime.date(), last);
    }
    return Listed(Quoted(DateText(dateTime.date(), 0) + u' ' + TimeText(time)), last);
}

} // namespace kzm
