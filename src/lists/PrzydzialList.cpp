#include "lists/PrzydzialList.h"

#include "core/Literals.h"
#include "db/Tdm.h"

namespace kzm {

const QString PrzydzialList::brakJednostki = QStringLiteral("Nie wybrano jednostki");
const QString PrzydzialList::brakDaty = QStringLiteral("Brak daty przydziału");
const QString PrzydzialList::dwaPrzydzialy =
    QStringLiteral("Nie może być dwóch różnych przydziałów w tym samym czasie");

PrzydzialList::PrzydzialList(Tdm& dm, Tdmu& dmu)
    : OwnedList(dm, dmu, QString(), QStringLiteral("ID")) {}

QString PrzydzialList::ownerSelect(int nrOper) const {
    return QStringLiteral("select p.ID,p.NR_OPER,p.IDJEDN,p.OD_KIEDY,j.numer,j.nazwa,p.idstawka "
                          "from kzm_Przydzial p left join kzm_Jednostki j on j.id=p.idjedn where "
                          "nr_oper=") +
           SqlInt(nrOper) + QStringLiteral(" order by p.OD_KIEDY, p.ID");
}

void PrzydzialList::clearFields() {
    fields_.odKiedy = today();
    fields_.idStawka = newStawka;
}

void PrzydzialList::loadFields() {
    fields_.odKiedy = query().fieldByName(QStringLiteral("OD_KIEDY")).asDate();
    fields_.idJedn = query().fieldByName(QStringLiteral("IDJEDN")).asInteger();
    fields_.idStawka = query().fieldByName(QStringLiteral("IDSTAWKA")).asInteger();
}

QStringList PrzydzialList::check() {
    QStringList messages;
    if (fields_.idJedn <= 0)
        messages << brakJednostki;
    if (!fields_.odKiedy.isValid())
        messages << brakDaty;
    // The unit and rate of a day are those of the assignment that starts last on or before it:
    // two assignments of one person starting on one day leave that day undecided.
    else if (owner() != 0 &&
             dm().Jest(QStringLiteral("select ID from kzm_przydzial where nr_oper=") +
                       SqlInt(owner()) + QStringLiteral(" and od_kiedy=") +
                       SqlDate(fields_.odKiedy) + QStringLiteral(" and id<>") + SqlInt(key())))
        messages << dwaPrzydzialy;
    return messages;
}

QStringList PrzydzialList::saveStatements() const {
    if (mode() == ListMode::Adding)
        return {QStringLiteral("insert into Kzm_Przydzial(NR_OPER,IDJEDN,OD_KIEDY,idstawka) "
                               "values(") +
                SqlInt(owner(), false) + SqlInt(fields_.idJedn, false) +
                SqlDate(fields_.odKiedy, false) + SqlInt(fields_.idStawka) + u')'};
    return {QStringLiteral("update KZM_Przydzial set IDJEDN = ") + SqlInt(fields_.idJedn, false) +
            QStringLiteral("OD_KIEDY = ") + SqlDate(fields_.odKiedy, false) +
            QStringLiteral("idstawka=") + SqlInt(fields_.idStawka) +
            QStringLiteral(" where id = ") + SqlInt(key())};
}

QStringList PrzydzialList::deleteStatements(int key) const {
    return {QStringLiteral("delete from kzm_Przydzial where id=") + SqlInt(key)};
}

} // namespace kzm
