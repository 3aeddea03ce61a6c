#include "report/Format.h"

#include <cmath>
#include <variant>

namespace kzm::report {

QString FormatScaled(std::int64_t scaled, const QString& mask) {
    const qsizetype point = mask.indexOf(u'.');
    const int decimals = point < 0 ? 0 : static_cast<int>(mask.size() - point - 1);
    const bool grouped = mask.left(point < 0 ? mask.size() : point).contains(u' ');

    std::int64_t divisor = 10000;
    for (int d = 0; d < decimals && divisor > 1; ++d)
        divisor /= 10;
    const bool negative = scaled < 0;
    std::uint64_t magnitude =
        negative ? std::uint64_t(0) - static_cast<std::uint64_t>(scaled) : scaled;
    magnitude = (magnitude + static_cast<std::uint64_t>(divisor) / 2) / divisor;

    std::uint64_t scale = 1;
    for (int d = 0; d < decimals; ++d)
        scale *= 10;
    QString whole = QString::number(magnitude / scale);
    if (grouped) {
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, u' ');
    }
    QString text = negative && magnitude != 0 ? QStringLiteral("-") + whole : whole;
    if (decimals > 0)
        text += u'.' + QStringLiteral("%1").arg(magnitude % scale, decimals, 10, QLatin1Char('0'));
    return text;
}

std::int64_t ScaledValue(const fb::Value& value) {
    const auto& s = value.storage();
    if (const auto* d = std::get_if<fb::Decimal>(&s)) {
        std::int64_t units = d->units;
        for (int scale = d->scale; scale < 4; ++scale)
            units *= 10;
        for (int scale = d->scale; scale > 4; --scale)
            units /= 10;
        return units;
    }
    if (std::holds_alternative<double>(s))
        return std::llround(std::get<double>(s) * 10000.0);
    return value.isNull() ? 0 : value.toInt64() * 10000;
}

QString FormatValue(const fb::Value& value, const QString& mask) {
    return value.isNull() ? QString() : FormatScaled(ScaledValue(value), mask);
}

} // namespace kzm::report
