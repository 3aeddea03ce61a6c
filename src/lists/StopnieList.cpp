#include "lists/StopnieList.h"

#include "core/Literals.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"

namespace kzm {

const QString StopnieList::brakSkrotu = QStringLiteral("Brak brak skrótu nazwy");
const QString StopnieList::skrotPowtorzony = QStringLiteral("Skrót nie może się powtarzać");

StopnieList::StopnieList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu, QStringLiteral("select * from kzm_stopnie order by skrot"),
                     QStringLiteral("ID")) {}

void StopnieList::clearFields() {
    fields_ = StopienFields{};
}

void StopnieList::loadFields() {
    fields_.skrot = query().fieldByName(QStringLiteral("SKROT")).asString();
    fields_.nazwa = query().fieldByName(QStringLiteral("NAZWA")).asString();
}

QStringList StopnieList::check() {
    if (fields_.skrot.trimmed().isEmpty())
        return {brakSkrotu};
    if (dmu().JestString(QStringLiteral("kzm_stopnie"), QStringLiteral("skrot"), key(),
                         fields_.skrot))
        return {skrotPowtorzony};
    return {};
}

QStringList StopnieList::saveStatements() const {
    if (mode() == ListMode::Adding)
        return {QStringLiteral("insert into kzm_stopnie (skrot,nazwa) values(") +
                SqlStr(fields_.skrot, false) + SqlStr(fields_.nazwa) + u')'};
    return {QStringLiteral("update kzm_stopnie set skrot=") + SqlStr(fields_.skrot, false) +
            QStringLiteral(" nazwa=") + SqlStr(fields_.nazwa) + QStringLiteral(" where id=") +
            SqlInt(key())};
}

QStringList StopnieList::deleteStatements(int key) const {
    return {QStringLiteral("delete from kzm_stopnie where id=") + SqlInt(key)};
}

QString StopnieList::refuseDelete(int key) {
    const int persons = dm().ReadInteger(
        QStringLiteral("N"),
        QStringLiteral("select count(*) as n from kzm_kart where idstopien=") + SqlInt(key), 0);
    if (persons == 0)
        return QString();
    return QStringLiteral("Nie można usunąć stopnia, bo jest to stopień ") + OsobGen(persons) +
           u'.';
}

} // namespace kzm
