#include "db/Params.h"

#include "core/Dates.h"
#include "core/Session.h"
#include "db/Exists.h"
#include "db/Tdm.h"

#include <cmath>
#include <exception>

namespace kzm {

// A value column as the lookup, the update and the insert spell it.
struct ParamColumn {
    const char* select;
    const char* update;
    const char* insert;
};

namespace {

const ParamColumn colInteger{"pInteger", "pInteger", "pINTEGER"};
const ParamColumn colFloat{"pFLOAT", "pFLOAT", "pFLOAT"};
const ParamColumn colDate{"pDATA", "pDATA", "pDATA"};
const ParamColumn colTime{"pTime", "pTIME", "pTIME"};
const ParamColumn colString{"pString", "pString", "pSTRING"};

const QString keyCondition = QStringLiteral(" where LOKALIZACJA=:l and Sekcja=:s and NAZWA=:n");

void bindKey(fb::Query& q, const QString& name, const QString& section, const QString& location) {
    q.setParam(QStringLiteral("l"), location.toUpper());
    q.setParam(QStringLiteral("s"), section.toUpper());
    q.setParam(QStringLiteral("n"), name.toUpper());
}

// PFLOAT holds four decimals: the value goes as an exact decimal rounded to them, so that
// 12.3456 is stored as 12.3456 and not as the binary fraction next to it.
fb::Value fourDecimals(double v) {
    const double units = std::round(v * 10000.0);
    if (std::isfinite(units) && std::fabs(units) < 9.0e18)
        return fb::Decimal{static_cast<std::int64_t>(units), 4};
    return v; // beyond any NUMERIC: the server refuses it
}

} // namespace

// ---- reading

std::optional<fb::Value> ParamStore::read(const ParamColumn& column, const QString& name,
                                          const QString& section, const QString& location) {
    return dm_.ReadSingle(
        QStringLiteral("select ") + QLatin1StringView(column.select) +
            QStringLiteral(" from PARAMETRY") + keyCondition,
        [&](fb::Query& q) { bindKey(q, name, section, location); },
        [&]() -> std::optional<fb::Value> {
            if (dm_.IBQdm.isEmpty())
                return std::nullopt;
            return dm_.IBQdm.field(0).value();
        });
}

int ParamStore::ReadParI(const QString& name, int def, const QString& section,
                         const QString& location) {
    const auto v = read(colInteger, name, section, location);
    return v ? v->toInt() : def;
}

double ParamStore::ReadParF(const QString& name, const QString& location, const QString& section,
                            double def) {
    const auto v = read(colFloat, name, section, location);
    return v ? v->toDouble() : def;
}

QDate ParamStore::ReadParD(const QString& name, const QString& location, const QString& section,
                           const QDate& def) {
    const auto v = read(colDate, name, section, location);
    if (!v)
        return def;
    return v->isNull() ? ZeroDate() : v->toDate();
}

QTime ParamStore::ReadParT(const QString& name, const QString& location, const QString& section,
                           const QTime& def) {
    const auto v = read(colTime, name, section, location);
    if (!v)
        return def;
    return v->isNull() ? QTime(0, 0) : v->toTime();
}

void ParamStore::ReadParS(const QString& name, const QString& def, QString& out,
                          const QString& section, const QString& location) {
    const auto v = read(colString, name, section, location);
    out = v ? v->toString() : def;
}

bool ParamStore::JestPar(const QString& name, const QString& location, const QString& section) {
    return dm_.ReadSingle(
        QStringLiteral("select * from PARAMETRY") + keyCondition,
        [&](fb::Query& q) { bindKey(q, name, section, location); },
        [&] { return !dm_.IBQdm.isEmpty(); });
}

// ---- writing

void ParamStore::write(const char* writer, const ParamColumn& column, const QString& name,
                       const QString& section, const QString& location, const fb::Value& value) {
    const QString n = name.trimmed();
    dm_.session().SetErrContext(QStringLiteral("dm"), QLatin1StringView(writer), n);
    fb::Query& q = dm_.IBQdm;
    try {
        if (JestPar(n, location, section))
            q.setSql(QStringLiteral("update PARAMETRY set ") + QLatin1StringView(column.update) +
                     QStringLiteral("=:p") + keyCondition);
        else
            q.setSql(QStringLiteral("insert into PARAMETRY (") + QLatin1StringView(column.insert) +
                     QStringLiteral(",LOKALIZACJA,SEKCJA,NAZWA) Values( :p, :l, :s, :n) "));
        q.setParam(QStringLiteral("p"), value);
        bindKey(q, n, section, location);
        fb::TransactionGuard guard(dm_.IBTdm);
        q.execSql();
        guard.commit();
    } catch (const std::exception&) {
        // The caller is not told: the stored value simply stays what it was.
        q.close();
        dm_.IBTdm.rollbackQuietly();
    }
}

void ParamStore::WriteParI(const QString& name, int value, const QString& section,
                           const QString& location) {
    write("WriteParI", colInteger, name, section, location, value);
}

void ParamStore::WriteParF(const QString& name, const QString& location, const QString& section,
                           double value) {
    write("WriteParF", colFloat, name, section, location, fourDecimals(value));
}

void ParamStore::WriteParD(const QString& name, const QString& location, const QString& section,
                           const QDate& value) {
    write("WriteParD", colDate, name, section, location, value);
}

void ParamStore::WriteParT(const QString& name, const QString& location, const QString& section,
                           const QTime& value) {
    write("WriteParT", colTime, name, section, location, value);
}

void ParamStore::WriteParS(const QString& name, const QString& value, const QString& section,
                           const QString& location) {
    write("WriteParS", colString, name, section, location, value);
}

// ---- global parameters

void InitParam(Tdm& dm, GlobalParams& g) {
    const QString table = QStringLiteral("PARAMETRY");
    if (!JestTabela(dm, table))
        return;
    ParamStore p(dm);
    // Loaded into a copy, so that a failing read leaves the values in use as they were.
    GlobalParams n = g;
    n.SYGNAL_WYD = p.ReadParI(QStringLiteral("SYGNAL_WYD"), 0);
    n.SYGNAL_BLOK = p.ReadParI(QStringLiteral("SYGNAL_BLOK"), 1);
    n.NR_INSTALACJI = p.ReadParI(QStringLiteral("NR_INSTALACJI"), 0);
    n.CLEARTIMEOUT = p.ReadParI(QStringLiteral("CLEARTIMEOUT"), 10000);
    n.LOADTIMEOUT = p.ReadParI(QStringLiteral("LOADTIMEOUT"), 50);
    n.MAXKODKARTY = p.ReadParI(QStringLiteral("MAXKODKARTY"), 1000);
    n.COMP = p.ReadParI(QStringLiteral("COMP"), 1);
    n.CPAKT = p.ReadParI(QStringLiteral("CPAKT"), 0) == 1;
    n.WdnBzKmnkt = p.ReadParI(QStringLiteral("WdnBzKmnkt"), 0) == 1;
    // The parameters form saves this flag with the others, so it is loaded with them: a
    // saved setting must not go back to off at every start.
    n.BlkWdnBzKmnkt = p.ReadParI(QStringLiteral("BlkWdnBzKmnkt"), 0) == 1;
    n.ProcentRzlWody = p.ReadParF(QStringLiteral("ProcentRzlWody"), 30.0);

    n.MAXKODOPER = 5000;
    p.WriteParI(QStringLiteral("MAXKODOPER"), n.MAXKODOPER);

    // Older databases have no time column; their lunch hours stay as they are.
    if (JestPole(dm, table, QStringLiteral("PTIME"))) {
        n.OBIAD_OD = p.ReadParT(QStringLiteral("OBIAD_OD"), QTime(0, 0));
        n.OBIAD_DO = p.ReadParT(QStringLiteral("OBIAD_DO"), QTime(0, 0));
    }

    // Fixed identifiers, written at every load so that the server procedures always find them.
    n.idStawka020 = 20;
    n.idSTawka030 = 30;
    n.idStawka110 = 40;
    n.idWoda166 = 990;
    n.idWoda160 = 991;
    n.idObiad = 992;
    p.WriteParI(QStringLiteral("idStawka020"), n.idStawka020);
    p.WriteParI(QStringLiteral("idSTawka030"), n.idSTawka030);
    p.WriteParI(QStringLiteral("idStawka110"), n.idStawka110);
    p.WriteParI(QStringLiteral("idWoda166"), n.idWoda166);
    p.WriteParI(QStringLiteral("idWoda160"), n.idWoda160);
    p.WriteParI(QStringLiteral("idObiad"), n.idObiad);

    g = n;
}

int LunchPeriod(const QTime& t, const GlobalParams& g) {
    const int at = t.msecsSinceStartOfDay();
    if (at < g.OBIAD_OD.msecsSinceStartOfDay())
        return 1;
    if (at < g.OBIAD_DO.msecsSinceStartOfDay())
        return 2;
    return 3;
}

} // namespace kzm
