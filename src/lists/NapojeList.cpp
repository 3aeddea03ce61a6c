#include "lists/NapojeList.h"

#include "core/Literals.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Value.h"

namespace kzm {

const QString NapojeList::brakKodu = QStringLiteral("Brak kodu napoju");
const QString NapojeList::kodPowtorzony = QStringLiteral("Kod nie może się powtarzać");

NapojeList::NapojeList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu, QStringLiteral("select * from kzm_napoje order by kod"),
                     QStringLiteral("ID")),
      ceny_(dm, dmu) {}

void NapojeList::afterScroll() {
    ceny_.setOwner(currentKey());
}

void NapojeList::close() {
    ceny_.close();
    ListController::close();
}

void NapojeList::clearFields() {
    fields_ = NapojFields{};
}

void NapojeList::loadFields() {
    fields_.kod = query().fieldByName(QStringLiteral("KOD")).asString().trimmed();
    fields_.nazwa = query().fieldByName(QStringLiteral("NAZWA")).asString().trimmed();
    fields_.pojemnosc = Tdmu::getCena(query().fieldByName(QStringLiteral("POJEMNOSC")).value());
    fields_.woda = query().fieldByName(QStringLiteral("WODA")).asInteger() == 1;
}

QStringList NapojeList::check() {
    fields_.kod = fields_.kod.trimmed();
    if (fields_.kod.isEmpty())
        return {brakKodu};
    if (dmu().JestString(QStringLiteral("kzm_napoje"), QStringLiteral("kod"), key(),
                         fields_.kod.toUpper()))
        return {kodPowtorzony};
    // A capacity that is not a number is 0, as the field's filter lets little else through.
    const std::optional<std::int64_t> setne = CennikList::GroszeOf(fields_.pojemnosc);
    pojemnosc_ = fb::Decimal{setne && *setne >= 0 && *setne <= 99999 ? *setne : 0, 2}.toString();
    return {};
}

QStringList NapojeList::saveStatements() const {
    const QString kod = SqlStr(fields_.kod.toUpper(), false);
    const QString nazwa = SqlStr(fields_.nazwa.trimmed().toUpper(), false);
    const QString woda = SqlInt(fields_.woda ? 1 : 0, false);
    QStringList script;
    if (mode() == ListMode::Adding) {
        // The water is one drink: a new one taking it over frees every other.
        if (fields_.woda)
            script << QStringLiteral("update kzm_napoje set woda=0");
        script << QStringLiteral("insert into kzm_napoje (kod,nazwa,woda,pojemnosc,rozlpc) "
                                 "values(") +
                      kod + nazwa + woda + pojemnosc_ + QStringLiteral(",0)");
        return script;
    }
    if (fields_.woda)
        script << QStringLiteral("update kzm_napoje set woda=0 where id<>") + SqlInt(key());
    script << QStringLiteral("update kzm_napoje set kod=") + kod + QStringLiteral(" nazwa=") +
                  nazwa + QStringLiteral("woda=") + woda + QStringLiteral("pojemnosc=") +
                  pojemnosc_ + QStringLiteral(" where id=") + SqlInt(key());
    return script;
}

QStringList NapojeList::deleteStatements(int key) const {
    return {QStringLiteral("delete from kzm_cennik where idtr=") + SqlInt(key),
            QStringLiteral("delete from kzm_napoje where id=") + SqlInt(key)};
}

QString NapojeList::refuseDelete(int key) {
    const int rows = dm().ReadInteger(
        QStringLiteral("N"),
        QStringLiteral("select count(*) as n from kzm_rzlwoda where idnapoj=") + SqlInt(key), 0);
    if (rows == 0)
        return QString();
    return QStringLiteral("Nie można usunąć napoju, bo jest w rozliczeniach napojów (%1 poz.).")
        .arg(rows);
}

bool NapojeList::FlipFlag(const QString& column) {
    const QString c = column.toUpper();
    if ((c != QStringLiteral("ROZLPC") && c != QStringLiteral("WODA")) || !hasRows())
        return false;
    const int id = currentKey();
    const int now = query().fieldByName(c).asInteger() == 0 ? 1 : 0;
    QStringList script;
    // Both statements or neither: no moment without the water, nor with two of them.
    if (c == QStringLiteral("WODA") && now == 1)
        script << QStringLiteral("update kzm_napoje set woda=0 where id<>") + SqlInt(id);
    script << QStringLiteral("update kzm_napoje set ") + c + u'=' + SqlInt(now) +
                  QStringLiteral(" where id=") + SqlInt(id);
    const bool done = write(script);
    reopen(id);
    return done;
}

} // namespace kzm
