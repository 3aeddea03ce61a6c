#include "planning/PlanList.h"

#include "core/Dates.h"
#include "core/Literals.h"
#include "core/Session.h"
#include "core/Text.h"
#include "db/Tdm.h"
#include "fb/Error.h"
#include "planning/PlanGeneration.h"

#include <algorithm>

namespace kzm {

namespace {

const QString unitColumns = QStringLiteral(
    "select ID,NR_OPER,DATA,Data as DZIEN,IDJEDN,IDZDARZ,IDPOPR,S5,STOPIEN,NAZWISKO,SN,OB,KO,"
    "WODA,STAWKA,STAWKA_DW,STAWKA_110,STAWKA_DW110,POPRAWKA,IDSTAWKA,DATA_POPR,MIEJSCE "
    "from kzm_Dane");
const QString searchColumns =
    QStringLiteral("ID,NR_OPER,DATA,Data as DZIEN,IDJEDN,GRUPA,IDZDARZ,IDPOPR,S5,STOPIEN,"
                   "NAZWISKO,STAWKA,SN,OB,KO,WODA,STAWKA_DW,POPRAWKA,IDSTAWKA,DATA_POPR,MIEJSCE");
const QString firstOrder = QStringLiteral("2,3");

QString PeriodWhere(const Period& p, const QString& alias = QString()) {
    return QStringLiteral(" where ") + alias + QStringLiteral("data between ") + SqlDate(p.od) +
           QStringLiteral(" and ") + SqlDate(p.dd);
}

// Reads every row of a select into `take`, in a transaction of its own.
template <class Take> void ReadRows(Tdm& dm, const QString& sql, Take&& take) {
    fb::Transaction tr(dm.IBBaza);
    fb::Query q(tr);
    q.setSql(sql);
    q.open();
    for (; !q.eof(); q.next())
        take(q);
    q.close();
    tr.rollbackQuietly();
}

} // namespace

PlanList::PlanList(Tdm& dm, Tdmu& dmu)
    : ListController(dm, dmu, QString(), QStringLiteral("ID"), 0) {}

// ---- the unit list

QString PlanList::UnitEntry(int numer, const QString& nazwa, int id) {
    const QString text = QString::number(numer).rightJustified(2, u' ') + u'.' + nazwa;
    return text.leftJustified(80, u' ', true) + QString::number(id);
}

int PlanList::UnitOfEntry(const QString& entry) {
    try {
        const QString tail = entry.mid(80, 10);
        return tail.trimmed().isEmpty() ? -1 : LeadingInt(tail);
    } catch (const ConversionError&) {
        return -1;
    }
}

QStringList PlanList::unitEntries(std::vector<int>* ids) {
    QStringList entries;
    if (ids)
        ids->clear();
    ReadRows(dm(), QStringLiteral("select id,numer,nazwa from kzm_jednostki order by numer"),
             [&](fb::Query& q) {
                 const int id = q.field(0).asInteger();
                 entries << UnitEntry(q.field(1).asInteger(), q.field(2).asString(), id);
                 if (ids)
                     ids->push_back(id);
             });
    return entries;
}

// ---- short codes

void PlanList::loadCodes() {
    eventCodes_.clear();
    correctionCodes_.clear();
    ReadRows(dm(), QStringLiteral("select id,skrot from kzm_zdarz"),
             [&](fb::Query& q) { eventCodes_[q.field(0).asInteger()] = q.field(1).asString(); });
    ReadRows(dm(), QStringLiteral("select id,skrot from kzm_szkody_2"), [&](fb::Query& q) {
        correctionCodes_[q.field(0).asInteger()] = q.field(1).asString();
    });
}

QString PlanList::eventCode(int id) const {
    const auto it = eventCodes_.find(id);
    return id == 0 || it == eventCodes_.end() ? QString() : it->second;
}

QString PlanList::correctionCode(int id) const {
    const auto it = correctionCodes_.find(id);
    return id == 0 || it == correctionCodes_.end() ? QString() : it->second;
}

// ---- views

QString PlanList::viewSelect() const {
    const QString order = QStringLiteral(" order by ") + order_;
    if (view_ == View::Unit)
        return unitColumns + PeriodWhere(period_) + QStringLiteral(" and idjedn=") + SqlInt(unit_) +
               order;
    if (filter_.startsWith(u'%')) {
        // A surname: the persons joined in, not a list of their numbers, which the server
        // refuses beyond a few thousand.
        QString columns = searchColumns;
        columns.replace(QStringLiteral("Data as DZIEN"), QStringLiteral("d.Data as DZIEN"));
        QStringList qualified;
        for (const QString& c : columns.split(u','))
            qualified << (c.startsWith(QStringLiteral("d.")) ? c : QStringLiteral("d.") + c);
        return QStringLiteral("select * from (select ") + qualified.join(u',') +
               QStringLiteral(" from kzm_Dane d join kzm_kart k on k.nr_oper=d.nr_oper") +
               PeriodWhere(period_, QStringLiteral("d.")) +
               QStringLiteral(" and k.nazwisko like ") + SqlStr(filter_) + u')' + order;
    }
    return QStringLiteral("select ") + searchColumns + QStringLiteral(" from kzm_Dane") +
           PeriodWhere(period_) + filter_ + order;
}

bool PlanList::openUnit(int idjedn, const Period& p) {
    view_ = View::Unit;
    unit_ = idjedn;
    period_ = p;
    filter_.clear();
    order_ = firstOrder;
    marks_.clear();
    setSelect(viewSelect());
    return open();
}

bool PlanList::search(const QString& text, const Period& p) {
    closePlan();
    const QString t = text.trimmed();
    period_ = p;
    order_ = firstOrder;
    if (t.isEmpty()) {
        filter_.clear();
    } else if (IsDigits(t)) {
        // The number read as an integer, so leading zeros drop; one too long for a number
        // finds nobody.
        bool ok = false;
        const int nr = t.toInt(&ok);
        if (!ok)
            return false;
        filter_ = QStringLiteral(" and nr_oper=") + SqlInt(nr);
    } else {
        filter_ = u'%' + t + u'%';
    }
    view_ = View::Search;
    setSelect(viewSelect());
    if (!open() || !hasRows()) {
        closePlan();
        return false;
    }
    return true;
}

int PlanList::firstRowUnit() const {
    if (!hasRows())
        return -1;
    return query().value(0, query().fieldByName(QStringLiteral("IDJEDN")).index()).toInt();
}

void PlanList::closePlan() {
    ListController::close();
    view_ = View::Closed;
    marks_.clear();
}

void PlanList::reopenView(int key) {
    if (view_ == View::Closed)
        return;
    if (key == -1)
        key = currentKey();
    marks_.clear();
    setSelect(viewSelect());
    reopen(key);
}

// ---- sorting

QString PlanList::SortOrder(const QString& request) {
    const QString r = request.toUpper();
    if (r.contains(QLatin1String("NR_OPER")))
        return r.contains(QLatin1String("DESC")) ? QStringLiteral("NR_OPER, DATA")
                                                 : QStringLiteral("NR_OPER DESC, DATA");
    return request;
}

QString PlanList::sortRequest(const QString& field) const {
    const QString f = field.toUpper();
    if (f == QLatin1String("NR_OPER"))
        return order_.startsWith(QLatin1String("NR_OPER DESC")) ? QStringLiteral("NR_OPER DESC")
                                                                : QStringLiteral("NR_OPER");
    return order_ == f ? f + QStringLiteral(" DESC") : f;
}

void PlanList::sort(const QString& request) {
    if (view_ == View::Closed)
        return;
    order_ = SortOrder(request);
    setSelect(viewSelect());
    reopen(currentKey());
}

QString PlanList::orderColumn(bool* descending) const {
    bool desc = false;
    QString column = QStringLiteral("DATA");
    if (order_ != firstOrder && !order_.startsWith(QLatin1String("NR_OPER"))) {
        column = order_;
        if (column.endsWith(QLatin1String(" DESC"))) {
            column.chop(5);
            desc = true;
        }
    }
    if (descending)
        *descending = desc;
    return column;
}

// ---- marks

int PlanList::rowKey(int row) const {
    const fb::Query& q = query();
    if (!q.isOpen() || row < 0 || row >= q.fetchedRows())
        return -1;
    return q.value(row, q.fieldByName(keyField()).index()).toInt();
}

bool PlanList::isMarked(int row) const {
    const int key = rowKey(row);
    return key >= 0 && marks_.count(key) > 0;
}

void PlanList::setMarked(int row, bool marked) {
    const int key = rowKey(row);
    if (key < 0)
        return;
    if (marked)
        marks_.insert(key);
    else
        marks_.erase(key);
}

void PlanList::markAll() {
    if (!hasRows())
        return;
    query().fetchAll();
    for (int row = 0; row < query().fetchedRows(); ++row)
        marks_.insert(rowKey(row));
}

void PlanList::unmarkAll() {
    marks_.clear();
}

void PlanList::invertMarks() {
    if (!hasRows())
        return;
    query().fetchAll();
    for (int row = 0; row < query().fetchedRows(); ++row) {
        const int key = rowKey(row);
        if (!marks_.erase(key))
            marks_.insert(key);
    }
}

std::vector<int> PlanList::targets() {
    if (marks_.empty() && hasRows())
        marks_.insert(currentKey());
    std::vector<int> ids(marks_.begin(), marks_.end());
    std::sort(ids.begin(), ids.end());
    return ids;
}

// ---- changes

QString PlanList::LogText(PlanChange kind) {
    switch (kind) {
    case PlanChange::Events:
        return QStringLiteral("wpisanie zdarzeń");
    case PlanChange::Corrections:
        return QStringLiteral("wpisanie szkód ");
    case PlanChange::PersonalData:
        return QStringLiteral("zmiana danych osobowych");
    case PlanChange::Delete:
        return QStringLiteral("kasowanie ");
    case PlanChange::ClearEvents:
        return QStringLiteral("zerowanie zdarzeń ");
    case PlanChange::ClearCorrections:
        return QStringLiteral("zerowanie szkód ");
    case PlanChange::Rates:
        return QStringLiteral("wpisywanie stawek ");
    case PlanChange::Places:
        return QStringLiteral("wpisywanie miejsc ");
    }
    return QString();
}

PlanChange PlanList::ChangeOf(PlanSide side) {
    switch (side) {
    case PlanSide::Events:
        break;
    case PlanSide::Corrections:
        return PlanChange::Corrections;
    case PlanSide::Rates:
        return PlanChange::Rates;
    case PlanSide::Places:
        return PlanChange::Places;
    }
    return PlanChange::Events;
}

QString PlanList::refusal(PlanChange kind) const {
    if (!marks_.empty())
        return QString();
    if (kind == PlanChange::PersonalData)
        return QStringLiteral("Nie zaznaczono pozycji do zmiany");
    if (kind == PlanChange::Delete)
        return QStringLiteral("Nie zaznaczono pozycji do usunięcia");
    return QString();
}

void PlanList::runChange(PlanChange kind, const PlanEntry& entry, const std::vector<int>& ids) {
    fb::Transaction& tr = writeTransaction();
    tr.rollback();
    fb::TransactionGuard guard(tr);
    fb::Query q(tr);
    fb::Query row(tr);
    int changed = 0;
    const auto each = [&](const QString& sql, auto&& bind) {
        q.setSql(sql);
        q.prepare();
        for (int id : ids) {
            if (!bind(id))
                continue;
            q.execSql();
            const bool counted =
                !sql.startsWith(QLatin1String("execute")) ? q.rowsAffected() > 0 : true;
            changed += counted ? 1 : 0;
        }
    };
    const QString zdarz =
        QStringLiteral("execute procedure PKZM_ZMIEN_ZDARZ_2 :id_dane, :id_zdarz");
    const QString szkoda =
        QStringLiteral("execute procedure PKZM_ZMIEN_SZKODE :id_dane, :idp, :idS5, :datap");
    switch (kind) {
    case PlanChange::Events:
    case PlanChange::ClearEvents:
        each(zdarz, [&](int id) {
            q.setParam(QStringLiteral("id_dane"), id);
            q.setParam(QStringLiteral("id_zdarz"), kind == PlanChange::Events ? entry.event : 0);
            return true;
        });
        break;
    case PlanChange::Corrections:
        // Only rows with an event type take a correction; what the row has now in the
        // database counts, an event entered by the same "Wpisz" included.
        row.setSql(QStringLiteral("select IDZDARZ, DATA from KZM_DANE where ID=:id"));
        each(szkoda, [&](int id) {
            row.close();
            row.setParam(QStringLiteral("id"), id);
            row.open();
            if (row.isEmpty() || row.field(0).asInteger() <= 0)
                return false;
            q.setParam(QStringLiteral("id_dane"), id);
            q.setParam(QStringLiteral("idp"), entry.correction);
            q.setParam(QStringLiteral("idS5"), entry.correction == 5 ? entry.event : 0);
            q.setParam(QStringLiteral("datap"), row.field(1).asDate());
            return true;
        });
        break;
    case PlanChange::PersonalData:
        each(QStringLiteral("execute procedure PKZM_ZMIEN_DANE_OS_2 :id_dane"), [&](int id) {
            q.setParam(QStringLiteral("id_dane"), id);
            return true;
        });
        break;
    case PlanChange::Delete:
        each(QStringLiteral("delete from KZM_DANE where id=:id"), [&](int id) {
            q.setParam(QStringLiteral("id"), id);
            return true;
        });
        break;
    case PlanChange::ClearCorrections:
        each(szkoda, [&](int id) {
            q.setParam(QStringLiteral("id_dane"), id);
            q.setParam(QStringLiteral("idp"), 0);
            q.setParam(QStringLiteral("idS5"), 0);
            q.setParam(QStringLiteral("datap"), ZeroDate());
            return true;
        });
        break;
    case PlanChange::Rates:
        each(QStringLiteral("execute procedure PKZM_ZMIEN_STAWKE_2 :id_dane, :id_stawka"),
             [&](int id) {
                 q.setParam(QStringLiteral("id_dane"), id);
                 q.setParam(QStringLiteral("id_stawka"), entry.rate);
                 return true;
             });
        break;
    case PlanChange::Places:
        each(QStringLiteral("update kzm_dane set miejsce=:miejsce where id=:id"), [&](int id) {
            q.setParam(QStringLiteral("miejsce"), entry.place);
            q.setParam(QStringLiteral("id"), id);
            return true;
        });
        break;
    }
    row.close();
    q.close();
    guard.commit();
    lastChanged_ = changed;
}

ListResult PlanList::modify(PlanChange kind, const PlanEntry& entry) {
    lastChanged_ = 0;
    if (!hasRows())
        return ListResult(ListResult::Kind::Nothing);
    const QString refused = refusal(kind);
    if (!refused.isEmpty())
        return ListResult(ListResult::Kind::Refused, refused, QStringLiteral("Plan"));
    // A change that enters a row of a side list needs one.
    if ((kind == PlanChange::Events && entry.event < 0) ||
        (kind == PlanChange::Corrections && entry.correction < 0) ||
        (kind == PlanChange::Rates && entry.rate < 0) ||
        (kind == PlanChange::Places && entry.place < 0))
        return ListResult(ListResult::Kind::Nothing);
    const std::vector<int> ids = targets();
    Session& s = dm().session();
    BusyCursor busy(s);
    try {
        runChange(kind, entry, ids);
    } catch (const fb::Error& e) {
        s.WriteHist(QStringLiteral("Modyfikacje ") + QString::number(static_cast<int>(kind)) +
                    u' ' + e.text());
        return ListResult(ListResult::Kind::Failed, RefusalMessage(e), QStringLiteral("Plan"));
    }
    if (lastChanged_ > 0)
        s.WriteHist(LogText(kind) + QString::number(lastChanged_) + QStringLiteral(".poz"));
    return ListResult(ListResult::Kind::Done);
}

ListResult PlanList::change(PlanChange kind, const PlanEntry& entry) {
    const int key = currentKey();
    ListResult r = modify(kind, entry);
    if (r.kind == ListResult::Kind::Done || r.kind == ListResult::Kind::Failed)
        reopenView(key);
    return r;
}

ListResult PlanList::enter(bool events, bool corrections, bool rates, bool places,
                           const PlanEntry& entry) {
    const int key = currentKey();
    const std::pair<bool, PlanChange> runs[] = {{events, PlanChange::Events},
                                                {corrections, PlanChange::Corrections},
                                                {rates, PlanChange::Rates},
                                                {places, PlanChange::Places}};
    ListResult last(ListResult::Kind::Nothing);
    for (const auto& [ticked, kind] : runs) {
        if (!ticked)
            continue;
        const ListResult r = modify(kind, entry);
        if (r.kind == ListResult::Kind::Done)
            last = r;
        else if (r.kind != ListResult::Kind::Nothing) {
            last = r;
            break;
        }
    }
    reopenView(key);
    return last;
}

// ---- the plan of a period

ListResult PlanList::makePlan(const Period& p, bool refresh, int reopenUnit,
                              PlanRunObserver* observer) {
    Session& s = dm().session();
    const Period days = refresh ? WholeMonths(p) : p;
    PlanRunResult r;
    {
        BusyCursor busy(s);
        r = RunPlanProcedure(s, writeTransaction(), days, refresh, observer);
    }
    if (!r.ok) {
        QString text = r.error;
        if (r.day.isValid())
            text = QStringLiteral("Błąd przy tworzeniu planu na dzień ") + DateText(r.day) +
                   QStringLiteral("\r\n") + CrLf(r.error);
        s.WriteHist(text);
        return ListResult(ListResult::Kind::Failed, text, QStringLiteral("Plan"));
    }
    s.WriteHist((refresh ? QStringLiteral(" Aktualizacja danych osobowych za okres: ")
                         : QStringLiteral(" Plan za okres: ")) +
                DateText(p.od) + QStringLiteral(" - ") + DateText(p.dd));
    if (reopenUnit >= 0)
        openUnit(reopenUnit, p);
    return ListResult(ListResult::Kind::Done);
}

// ---- the side lists

PlanSideLists::PlanSideLists(Tdm& dm)
    : dm_(dm), tr_(dm.IBBaza), zdarz_(tr_), miejsca_(tr_), szkody_(tr_), stawki_(tr_),
      jednostki_(tr_) {}

PlanSideLists::~PlanSideLists() {
    close();
}

bool PlanSideLists::open() {
    const std::pair<fb::Query*, const char*> lists[] = {
        {&zdarz_, "select id,skrot,nazwa from kzm_zdarz order by skrot"},
        {&miejsca_, "select id,miejsce from kzm_miejsca"},
        {&szkody_, "select id,skrot,iif(woda=0, cast('BEZ WODY ' as varchar(9)), cast('WODA ' as "
                   "varchar(9))) || "
                   "substring(cast(stawka_dw as varchar(20)) from 1 for 6) || '%' as nazwa "
                   "from kzm_szkody_2 order by id"},
        {&stawki_, "select id,kod from kzm_stawki where id<900"},
        {&jednostki_, "select id,numer,nazwa from kzm_jednostki order by numer"},
    };
    try {
        tr_.rollback();
        for (const auto& [q, sql] : lists) {
            q->setSql(QString::fromUtf8(sql));
            q->open();
        }
        return true;
    } catch (const fb::Error&) {
        close();
        return false;
    }
}

void PlanSideLists::close() {
    for (fb::Query* q : {&zdarz_, &miejsca_, &szkody_, &stawki_, &jednostki_})
        q->close();
    tr_.rollbackQuietly();
}

namespace {

int CurrentId(const fb::Query& q) {
    return q.isOpen() && !q.isEmpty() ? q.field(0).asInteger() : -1;
}

} // namespace

PlanEntry PlanSideLists::entry() const {
    return {CurrentId(zdarz_), CurrentId(szkody_), CurrentId(stawki_), CurrentId(miejsca_)};
}

bool PlanSideLists::locateUnit(int id) {
    return jednostki_.isOpen() && jednostki_.locate(QStringLiteral("ID"), id);
}

int PlanSideLists::currentUnit() const {
    return CurrentId(jednostki_);
}

} // namespace kzm
