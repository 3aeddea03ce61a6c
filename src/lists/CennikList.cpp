#include "lists/CennikList.h"

#include "core/Literals.h"
#include "db/Tdmu.h"
#include "fb/Value.h"

#include <QRegularExpression>

namespace kzm {

const QString CennikList::brakKwoty = QStringLiteral("Brak kwoty");
const QString CennikList::blednaKwota = QStringLiteral("Błędna kwota");
const QString CennikList::kwotaZakres = QStringLiteral("Kwota musi być od 0.00 do 9999.99");

CennikList::CennikList(Tdm& dm, Tdmu& dmu) : OwnedList(dm, dmu, QString(), QStringLiteral("ID")) {}

std::optional<std::int64_t> CennikList::GroszeOf(const QString& text) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    static const QRegularExpression amount(QStringLiteral("^(-?)(\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = amount.match(t);
    const QString whole = m.captured(2);
    const QString fraction = m.captured(3);
    if (!m.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    // Beyond the column's four digits the value only has to be known as too large.
    QString digits = whole;
    while (digits.size() > 1 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    if (digits.size() > 12)
        digits = QStringLiteral("999999999999");
    const QString cents = (fraction + QStringLiteral("000")).left(3);
    std::int64_t units = digits.toLongLong() * 100 + cents.left(2).toLongLong();
    if (cents.at(2) >= u'5')
        ++units;
    return m.captured(1).isEmpty() ? units : -units;
}

QString CennikList::ownerSelect(int id) const {
    return QStringLiteral("select * from kzm_cennik where idtr=") + SqlInt(id);
}

void CennikList::clearFields() {
    fields_.kwota.clear();
    fields_.odKiedy = today();
}

void CennikList::loadFields() {
    fields_.kwota = Tdmu::getCena(query().fieldByName(QStringLiteral("KWOTA")).value());
    fields_.odKiedy = query().fieldByName(QStringLiteral("OD_KIEDY")).asDate();
}

QStringList CennikList::check() {
    if (fields_.kwota.trimmed().isEmpty())
        return {brakKwoty};
    const std::optional<std::int64_t> grosze = GroszeOf(fields_.kwota);
    if (!grosze)
        return {blednaKwota};
    if (*grosze < 0 || *grosze > maxGrosze)
        return {kwotaZakres};
    grosze_ = *grosze;
    return {};
}

QStringList CennikList::saveStatements() const {
    const QString kwota = fb::Decimal{grosze_, 2}.toString();
    if (mode() == ListMode::Adding)
        return {QStringLiteral("insert into kzm_cennik (idtr,kwota,od_kiedy) values(") +
                SqlInt(owner(), false) + kwota + u',' + SqlDate(fields_.odKiedy) + u')'};
    return {QStringLiteral("update kzm_cennik set kwota=") + kwota + QStringLiteral(", od_kiedy=") +
            SqlDate(fields_.odKiedy) + QStringLiteral(" where id=") + SqlInt(key())};
}

QStringList CennikList::deleteStatements(int key) const {
    return {QStringLiteral("delete from kzm_cennik where id=") + SqlInt(key)};
}

} // namespace kzm
