#include "lists/ZdarzList.h"

#include "core/Literals.h"
#include "core/Text.h"
#include "db/Tdm.h"
#include "db/Tdmu.h"

namespace kzm {

const QString ZdarzList::brakKodu = QStringLiteral("Brak kodu (skrótu nazwy)");
const QString ZdarzList::kodPowtorzony = QStringLiteral("Skrót nazwy nie może się powtarzać");

namespace {

int Flag(bool on) {
    return on ? 1 : 0;
}

} // namespace

// The group is read as the number it is: a group of two digits is no error.
ZdarzList::ZdarzList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu,
                     QStringLiteral("select ID,SKROT,NAZWA,STAWKA_DW,STAWKA_DW110,SN,OB,KO,WODA,"
                                    "LPW,GRW from kzm_zdarz order by lpw"),
                     QStringLiteral("ID")) {}

QString ZdarzList::GrupaText(int grw) {
    return grw >= 1 && grw <= 4 ? Tdmu::DajNazweGrw(grw) : QString();
}

int ZdarzList::LpwOf(const QString& text) {
    try {
        return LeadingInt(text);
    } catch (const ConversionError&) {
        return 0;
    }
}

bool ZdarzList::open() {
    grupy_.clear();
    if (dm().OpenQTmp(QStringLiteral("select nazwa from kzm_grw order by id"))) {
        for (; !dm().QTmp.eof(); dm().QTmp.next())
            grupy_ << dm().QTmp.field(0).asString().trimmed();
    }
    dm().CloseQTmp();
    return ListController::open();
}

void ZdarzList::takeSnapshot() {
    snapshot_.clear();
    if (dm().OpenQTmp(QStringLiteral("select id,lpw from kzm_zdarz"))) {
        for (; !dm().QTmp.eof(); dm().QTmp.next())
            snapshot_.append({dm().QTmp.field(0).asInteger(), dm().QTmp.field(1).asInteger()});
    }
    dm().CloseQTmp();
}

void ZdarzList::clearFields() {
    takeSnapshot();
    fields_ = ZdarzFields{};
    fields_.lpw = QString::number(
        dm().ReadInteger(QStringLiteral("LPW"),
                         QStringLiteral("select max(lpw) as lpw from kzm_zdarz "), 0) +
        1);
    fields_.grupa = grupy_.value(0);
}

void ZdarzList::loadFields() {
    takeSnapshot();
    const fb::Query& q = query();
    auto col = [&](const char* name) {
        return q.fieldByName(QString::fromLatin1(name)).asInteger();
    };
    fields_.skrot = q.fieldByName(QStringLiteral("SKROT")).asString().trimmed();
    fields_.nazwa = q.fieldByName(QStringLiteral("NAZWA")).asString().trimmed();
    fields_.sn = col("SN") == 1;
    fields_.ob = col("OB") == 1;
    fields_.ko = col("KO") == 1;
    fields_.woda = col("WODA") == 1;
    // A percentage that no option offers leaves the options as they were.
    if (const int dw = col("STAWKA_DW"); dw == 0 || dw == 60 || dw == 100 || dw == 200)
        fields_.stawkaDw = dw;
    if (const int dw = col("STAWKA_DW110"); dw == 0 || dw == 70 || dw == 150)
        fields_.stawkaDw110 = dw;
    fields_.lpw = QString::number(col("LPW"));
    const QString name = dm().MQReadString(QStringLiteral("NAZWA"),
                                           QStringLiteral("select nazwa from kzm_grw where id=") +
                                               SqlInt(col("GRW")));
    fields_.grupa = grupy_.contains(name.trimmed()) ? name.trimmed() : grupy_.value(0);
}

QStringList ZdarzList::check() {
    const QString skrot = fields_.skrot.trimmed().toUpper();
    if (skrot.isEmpty())
        return {brakKodu};
    if (dm().Jest(QStringLiteral("select skrot from kzm_zdarz where skrot=") + SqlStr(skrot) +
                  (mode() == ListMode::Editing ? QStringLiteral(" and id<>") + SqlInt(key())
                                               : QString())))
        return {kodPowtorzony};
    grw_ = dm().ReadInteger(
        QStringLiteral("ID"),
        QStringLiteral("select id from kzm_grw where nazwa=") + SqlStr(fields_.grupa), 0);
    return {};
}

QStringList ZdarzList::saveStatements() const {
    const QString skrot = SqlStr(fields_.skrot.trimmed().toUpper(), false);
    const QString nazwa = SqlStr(fields_.nazwa.trimmed().toUpper(), false);
    const QList<int> numbers = {
        fields_.stawkaDw, fields_.stawkaDw110, Flag(fields_.sn),   Flag(fields_.ob),
        Flag(fields_.ko), Flag(fields_.woda),  LpwOf(fields_.lpw), grw_};
    if (mode() == ListMode::Adding) {
        QString values = skrot + nazwa;
        for (int i = 0; i < numbers.size(); ++i)
            values += SqlInt(numbers[i], i == numbers.size() - 1);
        return {QStringLiteral("insert into kzm_zdarz(SKROT,NAZWA,STAWKA_DW,STAWKA_DW110,SN,OB,"
                               "KO,WODA,LPW,GRW) values(") +
                values + u')'};
    }
    static const char* columns[] = {"STAWKA_DW", "STAWKA_DW110", "SN",  "OB",
                                    "KO",        "WODA",         "LPW", "GRW"};
    QString set = QStringLiteral("SKROT=") + skrot + QStringLiteral("NAZWA=") + nazwa;
    for (int i = 0; i < numbers.size(); ++i)
        set += QString::fromLatin1(columns[i]) + u'=' + SqlInt(numbers[i], i == numbers.size() - 1);
    return {QStringLiteral("update kzm_zdarz set ") + set + QStringLiteral(" where id=") +
            SqlInt(key())};
}

bool ZdarzList::cancel() {
    if (!ListController::cancel())
        return false;
    QStringList restore;
    for (const auto& [id, lpw] : snapshot_)
        restore << QStringLiteral("update kzm_zdarz set lpw=") + SqlInt(lpw) +
                       QStringLiteral(" where id=") + SqlInt(id);
    snapshot_.clear();
    if (!restore.isEmpty())
        write(restore);
    reopen();
    return true;
}

QStringList ZdarzList::deleteStatements(int key) const {
    const int lpw = query().fieldByName(QStringLiteral("LPW")).asInteger();
    return {QStringLiteral("delete from kzm_zdarz where id=") + SqlInt(key),
            QStringLiteral("update kzm_zdarz set lpw=lpw-1 where lpw>") + SqlInt(lpw)};
}

QString ZdarzList::refuseDelete(int key) {
    const int days =
        dm().ReadInteger(QStringLiteral("N"),
                         QStringLiteral("select count(*) as n from kzm_dane where idzdarz=") +
                             SqlInt(key) + QStringLiteral(" or s5=") + SqlInt(key),
                         0);
    if (days == 0)
        return QString();
    return QStringLiteral("Nie można usunąć zdarzenia, bo jest w planie w %1 %2.")
        .arg(days)
        .arg(days == 1 ? QStringLiteral("dniu") : QStringLiteral("dniach"));
}

ListResult ZdarzList::move(int step) {
    if (!hasRows())
        return {ListResult::Kind::Nothing};
    const int id = currentKey();
    const int lpw = query().fieldByName(QStringLiteral("LPW")).asInteger();
    const int target = lpw + step;
    const int highest = dm().ReadInteger(
        QStringLiteral("LPW"), QStringLiteral("select max(lpw) as lpw from kzm_zdarz"), 0);
    if (target < 1 || target > highest)
        return {ListResult::Kind::Nothing};
    QString error;
    if (!write({QStringLiteral("update kzm_zdarz set lpw=") + SqlInt(target) +
                    QStringLiteral(" where id=") + SqlInt(id),
                QStringLiteral("update kzm_zdarz set lpw=") + SqlInt(lpw) +
                    QStringLiteral(" where lpw=") + SqlInt(target) + QStringLiteral(" and id<>") +
                    SqlInt(id)},
               &error))
        return {ListResult::Kind::Failed, error};
    reopen(id);
    return {};
}

ListResult ZdarzList::Up() {
    return move(-1);
}

ListResult ZdarzList::Down() {
    return move(1);
}

bool ZdarzList::FlipFlag(const QString& column) {
    static const QStringList flags = {QStringLiteral("SN"), QStringLiteral("OB"),
                                      QStringLiteral("KO"), QStringLiteral("WODA")};
    const QString c = column.toUpper();
    if (!flags.contains(c) || !hasRows())
        return false;
    const int id = currentKey();
    const int now = query().fieldByName(c).asInteger();
    const bool done = write({QStringLiteral("update kzm_zdarz set ") + c + u'=' +
                             SqlInt(now == 0 ? 1 : 0) + QStringLiteral(" where id=") + SqlInt(id)});
    reopen(id);
    return done;
}

bool ZdarzList::WpiszGrupe(RowSelection& marks, int grw) {
    if (mode() != ListMode::Browsing || grupy_.isEmpty())
        return false;
    return updateMarked(marks, QStringLiteral("update KZM_ZDARZ set grw=:v where id=:id"), grw,
                        QStringLiteral("WpiszGrupe"));
}

// ---- corrections

SzkodyList::SzkodyList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu, QStringLiteral("select * from kzm_szkody_2 order by skrot"),
                     QStringLiteral("ID"), 0) {}

bool SzkodyList::FlipWoda() {
    if (!hasRows())
        return false;
    const int id = currentKey();
    const int now = query().fieldByName(QStringLiteral("WODA")).asInteger();
    const bool done = write({QStringLiteral("update kzm_szkody_2 set WODA=") +
                             SqlInt(now != 0 ? 0 : 1) + QStringLiteral(" where id=") + SqlInt(id)});
    reopen(id);
    return done;
}

bool SzkodyList::SetStawka(int stawkaDw) {
    if (!hasRows() || query().fieldByName(QStringLiteral("STAWKA_DW")).asInteger() == stawkaDw)
        return false;
    const int id = currentKey();
    const bool done = write({QStringLiteral("update kzm_szkody_2 set stawka_dw=") +
                             SqlInt(stawkaDw) + QStringLiteral(" where id=") + SqlInt(id)});
    reopen(id);
    return done;
}

} // namespace kzm
