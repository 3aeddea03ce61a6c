#include "fb/Value.h"

#include <cmath>
#include <stdexcept>

namespace fb {

namespace {

std::int64_t pow10(int n) {
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

QString trimZeros(QString s) {
    if (!s.contains('.'))
        return s;
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith('.'))
        s.chop(1);
    return s;
}

[[noreturn]] void notConvertible(const QString& text, const char* what) {
    throw std::invalid_argument(
        QStringLiteral("'%1' nie jest poprawną wartością (%2)").arg(text, what).toStdString());
}

const QString dateFormat = QStringLiteral("dd.MM.yyyy");
const QString timeFormat = QStringLiteral("hh:mm:ss");
const QString dateTimeFormat = QStringLiteral("dd.MM.yyyy hh:mm:ss");

} // namespace

double Decimal::toDouble() const {
    return static_cast<double>(units) / static_cast<double>(pow10(scale));
}

QString Decimal::toString() const {
    if (scale <= 0)
        return QString::number(units);
    const std::int64_t p = pow10(scale);
    const bool negative = units < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(units) : std::uint64_t(units);
    QString frac = QString::number(magnitude % std::uint64_t(p)).rightJustified(scale, '0');
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / p) + '.' +
           frac;
}

bool operator==(const Decimal& a, const Decimal& b) {
    if (a.scale == b.scale)
        return a.units == b.units;
    // Compare at the larger scale; both come from the same database column in practice.
    const Decimal& lo = a.scale < b.scale ? a : b;
    const Decimal& hi = a.scale < b.scale ? b : a;
    return lo.units * pow10(hi.scale - lo.scale) == hi.units;
}

std::int64_t Value::toInt64() const {
    struct V {
        std::int64_t operator()(std::monostate) const { return 0; }
        std::int64_t operator()(std::int64_t v) const { return v; }
        std::int64_t operator()(const Decimal& d) const {
            return static_cast<std::int64_t>(std::llround(d.toDouble()));
        }
        std::int64_t operator()(double v) const {
            return static_cast<std::int64_t>(std::llround(v));
        }
        std::int64_t operator()(bool v) const { return v ? 1 : 0; }
        std::int64_t operator()(const QString& s) const {
            bool ok = false;
            const QString t = s.trimmed();
            if (t.isEmpty())
                return 0;
            const std::int64_t v = t.toLongLong(&ok);
            if (!ok)
                notConvertible(s, "liczba całkowita");
            return v;
        }
        std::int64_t operator()(const QDate& d) const {
            return d.isValid() ? QDate(1899, 12, 30).daysTo(d) : 0;
        }
        std::int64_t operator()(const QTime&) const { return 0; }
        std::int64_t operator()(const QDateTime& d) const {
            return d.isValid() ? QDate(1899, 12, 30).daysTo(d.date()) : 0;
        }
    };
    return std::visit(V{}, v_);
}

Decimal Value::toDecimal() const {
    if (const auto* d = std::get_if<Decimal>(&v_))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v_))
        return Decimal{*i, 0};
    if (std::holds_alternative<std::monostate>(v_))
        return Decimal{0, 2};
    return Decimal{static_cast<std::int64_t>(std::llround(toDouble() * 100.0)), 2};
}

double Value::toDouble() const {
    struct V {
        double operator()(std::monostate) const { return 0; }
        double operator()(std::int64_t v) const { return static_cast<double>(v); }
        double operator()(const Decimal& d) const { return d.toDouble(); }
        double operator()(double v) const { return v; }
        double operator()(bool v) const { return v ? 1 : 0; }
        double operator()(const QString& s) const {
            const QString t = s.trimmed();
            if (t.isEmpty())
                return 0;
            bool ok = false;
            const double v = QString(t).replace(',', '.').toDouble(&ok);
            if (!ok)
                notConvertible(s, "liczba");
            return v;
        }
        double operator()(const QDate& d) const {
            return d.isValid() ? static_cast<double>(QDate(1899, 12, 30).daysTo(d)) : 0;
        }
        double operator()(const QTime& t) const {
            return t.isValid() ? t.msecsSinceStartOfDay() / 86400000.0 : 0;
        }
        double operator()(const QDateTime& d) const {
            return d.isValid() ? QDate(1899, 12, 30).daysTo(d.date()) +
                                     d.time().msecsSinceStartOfDay() / 86400000.0
                               : 0;
        }
    };
    return std::visit(V{}, v_);
}

QString Value::toString() const {
    struct V {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(std::int64_t v) const { return QString::number(v); }
        QString operator()(const Decimal& d) const { return trimZeros(d.toString()); }
        QString operator()(double v) const { return QString::number(v, 'g', 15); }
        QString operator()(bool v) const { return v ? QStringLiteral("1") : QStringLiteral("0"); }
        QString operator()(const QString& s) const { return s; }
        QString operator()(const QDate& d) const { return d.toString(dateFormat); }
        QString operator()(const QTime& t) const { return t.toString(timeFormat); }
        QString operator()(const QDateTime& d) const {
            return d.time() == QTime(0, 0) ? d.date().toString(dateFormat)
                                           : d.toString(dateTimeFormat);
        }
    };
    return std::visit(V{}, v_);
}

QDate Value::toDate() const {
    if (const auto* d = std::get_if<QDate>(&v_))
        return *d;
    if (const auto* dt = std::get_if<QDateTime>(&v_))
        return dt->date();
    if (const auto* s = std::get_if<QString>(&v_)) {
        const QString t = s->trimmed();
        if (t.isEmpty())
            return {};
        const QDate d = QDate::fromString(t, dateFormat);
        if (!d.isValid())
            notConvertible(*s, "data");
        return d;
    }
    if (isNull())
        return {};
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(toDouble())));
}

QTime Value::toTime() const {
    if (const auto* t = std::get_if<QTime>(&v_))
        return *t;
    if (const auto* dt = std::get_if<QDateTime>(&v_))
        return dt->time();
    if (const auto* s = std::get_if<QString>(&v_)) {
        const QString t = s->trimmed();
        if (t.isEmpty())
            return {};
        QTime tm = QTime::fromString(t, timeFormat);
        if (!tm.isValid())
            tm = QTime::fromString(t, QStringLiteral("hh:mm"));
        if (!tm.isValid())
            notConvertible(*s, "czas");
        return tm;
    }
    return {};
}

QDateTime Value::toDateTime() const {
    if (const auto* dt = std::get_if<QDateTime>(&v_))
        return *dt;
    if (const auto* d = std::get_if<QDate>(&v_))
        return QDateTime(*d, QTime(0, 0));
    if (const auto* s = std::get_if<QString>(&v_)) {
        const QString t = s->trimmed();
        if (t.isEmpty())
            return {};
        QDateTime dt = QDateTime::fromString(t, dateTimeFormat);
        if (!dt.isValid())
            dt = QDateTime(QDate::fromString(t, dateFormat), QTime(0, 0));
        if (!dt.isValid())
            notConvertible(*s, "data i czas");
        return dt;
    }
    return {};
}

} // namespace fb
