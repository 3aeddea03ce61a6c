#include "lists/OsobyList.h"

#include "core/Literals.h"
#include "core/Text.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"
#include "fb/Error.h"

namespace kzm {

const QString OsobyList::cywilBezStawki =
    QStringLiteral("Pracownicy cywilni nie mają stawki żywnościowej");
const QString OsobyList::brakNumeru = QStringLiteral("Brak numeru operacyjnego");
const QString OsobyList::brakNazwiska = QStringLiteral("Brak nazwiska");
const QString OsobyList::numerPowtorzony =
    QStringLiteral("Numer operacyjny nie może się powtarzać");
const QString OsobyList::identPowtorzony = QStringLiteral("Identyfikator nie może się powtarzać");
const QString OsobyList::osobaWPlanie = QStringLiteral("Nie można usuwać osoby ujętej w planie");

OsobyList::OsobyList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu, FilterSelect(-1, QString()), QStringLiteral("NR_OPER")),
      przydzialy_(dm, dmu) {}

QString OsobyList::FilterSelect(int idJedn, const QString& text) {
    const QString t = text.trimmed();
    QString where;
    if (!t.isEmpty()) {
        const QString like = SqlStr(u'%' + t + u'%');
        if (IsDigits(t) && t.size() <= 9)
            where = QStringLiteral(" where nr_oper=") + SqlInt(t.toInt()) +
                    QStringLiteral(" or nr_ident like ") + like;
        else if (StartsWithDigit(t))
            where = QStringLiteral(" where nr_ident like ") + like;
        else
            where = QStringLiteral(" where nazwisko like ") + like;
        idJedn = -1;
    }
    return QStringLiteral("select * from pkzm_view_kart_2(") + SqlInt(idJedn) + u')' + where +
           QStringLiteral(" order by nrjedn, nr_oper");
}

void OsobyList::FiltrJednostki(int idJedn) {
    setSelect(FilterSelect(idJedn, QString()));
    dm().CloseQ(query());
    open();
}

void OsobyList::Filtruj(const QString& text) {
    setSelect(FilterSelect(-1, text));
    dm().CloseQ(query());
    open();
}

int OsobyList::StawkaWodyOf(int nrOper) {
    return nrOper >= 5000 ? 991 : 990;
}

bool OsobyList::open() {
    const bool opened = ListController::open();
    if (!opened)
        przydzialy_.setOwner(0);
    return opened;
}

void OsobyList::close() {
    przydzialy_.close();
    ListController::close();
}

void OsobyList::afterScroll() {
    przydzialy_.setOwner(hasRows() ? currentKey() : 0);
}

QString OsobyList::currentName() const {
    return hasRows() ? query().fieldByName(QStringLiteral("NAZWISKO")).asString().trimmed()
                     : QString();
}

void OsobyList::clearFields() {
    // The rank and the rate keep their last choice.
    fields_.nrOper.clear();
    fields_.nrIdent.clear();
    fields_.nazwisko.clear();
    remembered_ = 0;
}

void OsobyList::loadFields() {
    const fb::Query& q = query();
    remembered_ = q.fieldByName(QStringLiteral("NR_OPER")).asInteger();
    fields_.nrOper = QString::number(remembered_);
    fields_.nrIdent = q.fieldByName(QStringLiteral("NR_IDENT")).asString().trimmed();
    fields_.nazwisko = q.fieldByName(QStringLiteral("NAZWISKO")).asString().trimmed();
    fields_.idStopien = q.fieldByName(QStringLiteral("IDSTOPIEN")).asInteger();
    const int stawka = q.fieldByName(QStringLiteral("IDSTAWKA")).asInteger();
    if (stawka == 0 || stawka == 20 || stawka == 30)
        fields_.idStawka = stawka;
}

QStringList OsobyList::check() {
    QStringList messages;
    numer_ = IntOrDefault(fields_.nrOper, 0);
    if (numer_ >= 5000 && fields_.idStawka != 0)
        messages << cywilBezStawki;
    if (numer_ == 0)
        messages << brakNumeru;
    if (fields_.nazwisko.trimmed().isEmpty())
        messages << brakNazwiska;
    const QString ident = fields_.nrIdent.trimmed();
    const bool adding = mode() == ListMode::Adding;
    if (numer_ != 0 && (adding || numer_ != remembered_) &&
        dm().Jest(QStringLiteral("select nr_oper from kzm_kart where nr_oper=") + SqlInt(numer_)))
        messages << numerPowtorzony;
    if (!ident.isEmpty() &&
        dm().Jest(QStringLiteral("select nr_ident from kzm_kart where nr_ident=") + SqlStr(ident) +
                  (adding ? QString() : QStringLiteral(" and nr_oper<>") + SqlInt(remembered_))))
        messages << identPowtorzony;
    if (messages.isEmpty())
        savedStawka_ = fields_.idStawka;
    return messages;
}

QString OsobyList::numberChangeQuestion() const {
    if (mode() != ListMode::Editing)
        return QString();
    const int n = IntOrDefault(fields_.nrOper, 0);
    if (n == 0 || n == remembered_)
        return QString();
    return QStringLiteral("Numer operacyjny %1 zmieni się na %2.\rPrzydziały do jednostek "
                          "przejdą na nowy numer; plan i odczyty kart zostaną pod numerem %1.\r"
                          "Czy zapisać zmianę?")
        .arg(remembered_)
        .arg(n);
}

QStringList OsobyList::saveStatements() const {
    const QString ident = SqlStr(fields_.nrIdent.trimmed(), false);
    const QString name = SqlStr(fields_.nazwisko.trimmed().toUpper());
    const int woda = StawkaWodyOf(numer_);
    if (mode() == ListMode::Adding)
        return {QStringLiteral("insert into Kzm_Kart (NR_OPER,NR_IDENT,IDSTOPIEN,IDSTAWKA,"
                               "IDSTAWKAW,NAZWISKO) values(") +
                SqlInt(numer_, false) + ident + SqlInt(fields_.idStopien, false) +
                SqlInt(fields_.idStawka, false) + SqlInt(woda, false) + name + u')'};
    QStringList script{QStringLiteral("update Kzm_Kart set NR_OPER = ") + SqlInt(numer_, false) +
                       QStringLiteral("NR_IDENT = ") + ident + QStringLiteral("IDSTOPIEN = ") +
                       SqlInt(fields_.idStopien, false) + QStringLiteral("IDSTAWKA =") +
                       SqlInt(fields_.idStawka, false) + QStringLiteral("IDSTAWKAW =") +
                       SqlInt(woda, false) + QStringLiteral("NAZWISKO = ") + name +
                       QStringLiteral(" where nr_oper = ") + SqlInt(remembered_)};
    // The assignments go with the person; plan rows and readings are history and keep theirs.
    if (numer_ != remembered_)
        script << QStringLiteral("update kzm_przydzial set nr_oper=") + SqlInt(numer_) +
                      QStringLiteral(" where nr_oper=") + SqlInt(remembered_);
    return script;
}

QStringList OsobyList::deleteStatements(int key) const {
    return {QStringLiteral("delete from kzm_Kart where nr_oper=") + SqlInt(key),
            QStringLiteral("delete from kzm_przydzial where nr_oper=") + SqlInt(key)};
}

QString OsobyList::refuseDelete(int key) {
    const QString plan = QStringLiteral("select data from kzm_dane where nr_oper=") + SqlInt(key);
    if (!dm().Jest(plan))
        return QString();
    const QDate first =
        dm().ReadDate(QStringLiteral("DATA"), plan + QStringLiteral(" order by data rows 1"));
    const QDate last =
        dm().ReadDate(QStringLiteral("DATA"), plan + QStringLiteral(" order by data desc rows 1"));
    return currentName() + QStringLiteral("\r\nwystępuje w przedziale czasowym ") +
           first.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" - ") +
           last.toString(QStringLiteral("dd.MM.yyyy"));
}

QString OsobyList::refusalTitle() const {
    return osobaWPlanie;
}

QString OsobyList::deleteQuestion() const {
    return currentName() + QStringLiteral(" Czy naprawdę usunąć ?");
}

IdentResult OsobyList::WpiszIdentyfikator(const QString& typed) {
    const QString ident = typed.trimmed();
    // An Enter in an empty field does not wipe the person's card.
    if (!hasRows() || ident.isEmpty())
        return {};
    const int person = currentKey();
    const QString holder =
        dm().MQReadString(QStringLiteral("NAZWISKO"),
                          QStringLiteral("select nazwisko from kzm_kart where nr_ident=") +
                              SqlStr(ident) + QStringLiteral(" and nr_oper<>") + SqlInt(person));
    if (!holder.isEmpty())
        return {false, QStringLiteral("Identyfikator ") + ident + QStringLiteral(" ma już ") +
                           holder.trimmed()};
    QString error;
    if (!write({QStringLiteral("update kzm_kart set nr_ident=") + SqlStr(ident) +
                QStringLiteral(" where nr_oper=") + SqlInt(person)},
               &error))
        return {false, error};
    reopen(person);
    // Cards are entered one person after another.
    const int row = query().currentRow();
    if (row + 1 < query().fetchedRows() || query().canFetchMore())
        moveTo(row + 1);
    return {true, QString()};
}

int OsobyList::AssignmentsForDate() {
    return dm().ReadInteger(
        QStringLiteral("N"),
        QStringLiteral("select (select count(*) from kzm_przydzial) + (select count(*) from "
                       "kzm_kart where not nr_oper in (select distinct nr_oper from "
                       "kzm_przydzial)) as n from rdb$database"),
        0);
}

bool OsobyList::WstawDate(const QDate& date, QString* error) {
    const QString day = SqlDate(date);
    const bool ok =
        write({QStringLiteral("insert into kzm_przydzial (nr_oper,idjedn,od_kiedy) select nr_oper, "
                              "idjedn, ") +
                   day +
                   QStringLiteral(" from kzm_kart where not nr_oper in (select distinct nr_oper "
                                  "from kzm_przydzial)"),
               QStringLiteral("update kzm_przydzial set od_kiedy=") + day},
              error);
    if (ok)
        reopen();
    return ok;
}

} // namespace kzm
