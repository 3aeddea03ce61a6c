#include "core/Text.h"

#include <QRegularExpression>

#include <charconv>
#include <climits>
#include <cmath>

namespace kzm {

namespace {

bool IsAsciiDigit(QChar ch) {
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// Blanks and control characters are trimmed from both ends.
QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1].unicode() <= ' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

} // namespace

ConversionError::ConversionError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

QString ConversionError::Message() const {
    return QString::fromUtf8(what());
}

QString PadLeft(const QString& text, int width, QChar fill) {
    if (width <= 0) {
        return {};
    }
    if (text.size() >= width) {
        return text.right(width);
    }
    return QString(width - text.size(), fill) + text;
}

QString PadLeftInt(int value, int width, QChar fill) {
    return PadLeft(QString::number(value), width, fill);
}

QString PadRight(const QString& text, int width, QChar fill) {
    if (width <= 0) {
        return {};
    }
    if (text.size() >= width) {
        return text.left(width);
    }
    return text + QString(width - text.size(), fill);
}

QString Spaces(int n) {
    return n > 0 ? QString(n, QLatin1Char(' ')) : QString();
}

QString TextAfter(const QString& separator, const QString& text) {
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    return at < 0 ? text : text.mid(at + separator.size());
}

QString TextBefore(const QString& separator, const QString& text) {
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    return at < 0 ? text : text.left(at);
}

QString DropRight(const QString& text, int n) {
    if (n <= 0) {
        return text;
    }
    return n >= text.size() ? QString() : text.left(text.size() - n);
}

QString TextFrom(const QString& text, int position) {
    return text.mid(position < 1 ? 0 : position - 1);
}

QString FieldAt(const QString& text, int n, const QString& separators) {
    if (n < 1) {
        return {};
    }
    int field = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!separators.contains(text[i])) {
            continue;
        }
        if (field == n) {
            return text.mid(start, i - start);
        }
        ++field;
        start = i + 1;
    }
    return field == n ? text.mid(start) : QString();
}

QString Token(const QString& text, int n, QChar separator) {
    // Runs of the separator count as one; what remains splits like FieldAt.
    QString collapsed;
    collapsed.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == separator && i > 0 && text[i - 1] == separator) {
            continue;
        }
        collapsed += text[i];
    }
    return FieldAt(collapsed, n, QString(separator));
}

bool IsDigits(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (QChar ch : text) {
        if (!IsAsciiDigit(ch)) {
            return false;
        }
    }
    return true;
}

bool StartsWithDigit(const QString& text) {
    return !text.isEmpty() && IsAsciiDigit(text[0]);
}

int IntOrDefault(const QString& text, int def) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : def;
}

double NumberOrDefault(const QString& text, double def) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : def;
}

int LeadingInt(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    qsizetype length = 0;
    while (length < trimmed.size() &&
           (IsAsciiDigit(trimmed[length]) || trimmed[length] == QLatin1Char('-'))) {
        ++length;
    }
    if (length == 0) {
        return 0;
    }
    const QByteArray run = trimmed.left(length).toLatin1();
    int value = 0;
    const char* end = run.constData() + run.size();
    const auto [ptr, ec] = std::from_chars(run.constData(), end, value);
    if (ec != std::errc() || ptr != end) {
        throw ConversionError(
            QStringLiteral("'%1' nie jest poprawną liczbą całkowitą").arg(trimmed.left(length)));
    }
    return value;
}

double ParseDecimal(const QString& text, double def) {
    const QString trimmed = TrimBlanks(text);
    if (trimmed.isEmpty()) {
        return def;
    }
    std::string run;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar ch = trimmed[i];
        if (IsAsciiDigit(ch) || ch == QLatin1Char('.')) {
            run += static_cast<char>(ch.unicode());
        } else if (ch == QLatin1Char(',')) {
            run += '.';
        } else if (ch == QLatin1Char('-')) {
            if (i == 0) {
                run += '-';
            }
        } else {
            break;
        }
    }
    double value = 0;
    const char* end = run.data() + run.size();
    const auto [ptr, ec] = std::from_chars(run.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return 0;
    }
    // Adding zero turns a negative zero into zero.
    return value + 0.0;
}

double RoundTo(double value, int places) {
    const double scale = std::pow(10.0, places);
    const double rounded = std::nearbyint(std::fabs(value) * scale + 0.00001) / scale;
    // Adding zero turns a negative zero into zero.
    return std::copysign(rounded, value) + 0.0;
}

QString HexByte(int value) {
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QStringList TextLines(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString FlatLineBreaks(QString text) {
    text.replace(u'\r', QStringLiteral("CarriageReturn"));
    text.replace(u'\n', QStringLiteral("LineFeed"));
    return text;
}

} // namespace kzm
