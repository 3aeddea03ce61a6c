#include "lists/JednostkiList.h"

#include "core/Literals.h"
#include "core/Text.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"

namespace kzm {

const QString JednostkiList::brakNumeru = QStringLiteral("Brak numeru jednostki");
const QString JednostkiList::numerPowtorzony =
    QStringLiteral("Numer jednostki nie może się powtarzać");

JednostkiList::JednostkiList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu, QStringLiteral("select * from kzm_jednostki"), QStringLiteral("ID")) {
}

bool JednostkiList::open() {
    dm().RunSQL(QStringLiteral("update kzm_jednostki set grupa=0 where grupa is null"));
    return ListController::open();
}

void JednostkiList::clearFields() {
    fields_ = JednostkaFields{};
}

void JednostkiList::loadFields() {
    const fb::Query& q = query();
    storedNumer_ = q.fieldByName(QStringLiteral("NUMER")).asInteger();
    fields_.numer = QString::number(storedNumer_);
    fields_.nazwa = q.fieldByName(QStringLiteral("NAZWA")).asString();
    fields_.cywile = q.fieldByName(QStringLiteral("GRUPA")).asInteger() != 0;
}

QStringList JednostkiList::check() {
    numer_ = mode() == ListMode::Editing ? storedNumer_ : IntOrDefault(fields_.numer, 0);
    if (numer_ == 0)
        return {brakNumeru};
    if (dmu().JestInt(QStringLiteral("kzm_jednostki"), QStringLiteral("numer"), key(),
                      QStringLiteral("id"), numer_))
        return {numerPowtorzony};
    return {};
}

QStringList JednostkiList::saveStatements() const {
    const int grupa = fields_.cywile ? 1 : 0;
    if (mode() == ListMode::Adding)
        return {QStringLiteral("insert into kzm_jednostki (numer,grupa,nazwa) values(") +
                SqlInt(numer_, false) + SqlInt(grupa, false) + SqlStr(fields_.nazwa) + u')'};
    return {QStringLiteral("update kzm_jednostki set numer=") + SqlInt(numer_, false) +
            QStringLiteral(" nazwa=") + SqlStr(fields_.nazwa, false) + QStringLiteral("grupa=") +
            SqlInt(grupa) + QStringLiteral(" where id=") + SqlInt(key())};
}

QStringList JednostkiList::deleteStatements(int key) const {
    return {QStringLiteral("delete from kzm_jednostki where id=") + SqlInt(key)};
}

QString JednostkiList::refuseDelete(int key) {
    const int persons = dm().ReadInteger(
        QStringLiteral("N"),
        QStringLiteral("select count(distinct nr_oper) as n from kzm_przydzial where idjedn=") +
            SqlInt(key),
        0);
    if (persons == 0)
        return QString();
    return QStringLiteral("Nie można usunąć jednostki, bo jest w przydziałach ") +
           OsobGen(persons) + u'.';
}

bool JednostkiList::WpiszGrupe(RowSelection& marks, int grupa) {
    return updateMarked(marks, QStringLiteral("update KZM_JEDNOSTKI set grupa=:v where id=:id"),
                        grupa, QStringLiteral("WpiszGrupe"));
}

} // namespace kzm
