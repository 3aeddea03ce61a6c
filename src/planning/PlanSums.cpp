#include "planning/PlanSums.h"

#include "core/Dates.h"
#include "core/Literals.h"
#include "db/Tdm.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

namespace kzm {

namespace {

QString RightIn(const QString& text, int width) {
    return text.size() > width ? text.right(width) : text.rightJustified(width, u' ');
}

} // namespace

QString SumsLine(const QString& code, const QString& name, int count) {
    return RightIn(code, 5) + RightIn(name, 30) + RightIn(QString::number(count), 8);
}

QStringList PlanSums(Tdm& dm, const Period& p, int nrOper) {
    QStringList lines;
    lines << (p.od != p.dd ? QStringLiteral("Sumy za okres ") + DateText(p.od) +
                                 QStringLiteral(" - ") + DateText(p.dd)
                           : QStringLiteral("Sumy za dzień ") + DateText(p.od));
    lines << QString();
    const QString between = QStringLiteral(" where data between ") + SqlDate(p.od) +
                            QStringLiteral(" and ") + SqlDate(p.dd) +
                            QStringLiteral(" and not idzdarz is null and idzdarz<>0");

    fb::Transaction tr(dm.IBBaza);
    fb::Query q(tr);
    q.setSql(QStringLiteral("select distinct idjedn,skrot,z.nazwa,j.nazwa as jnazwa, count(*) as "
                            "ile from kzm_dane d  left join kzm_zdarz z on z.id=d.idzdarz  left "
                            "join kzm_jednostki j on j.id=d.idjedn ") +
             between +
             (nrOper >= 0 ? QStringLiteral(" and nr_oper=") + SqlInt(nrOper) : QString()) +
             QStringLiteral(" group by 1,2,3,4 order by 1,2,3"));
    q.open();
    bool first = true;
    int unit = 0;
    for (; !q.eof(); q.next()) {
        const int id = q.field(0).asInteger();
        if (first || id != unit) {
            if (!first)
                lines << QString();
            lines << q.field(3).asString().leftJustified(30, u' ', true) << QString(30, u'-');
            unit = id;
            first = false;
        }
        lines << SumsLine(q.field(1).asString(), q.field(2).asString(), q.field(4).asInteger());
    }
    if (!first)
        lines << QString();
    q.close();

    lines << QStringLiteral("Ogółem") << QString(30, u'=');
    q.setSql(QStringLiteral("select distinct skrot,nazwa, count(*) as ile from kzm_dane d  left "
                            "join kzm_zdarz z on z.id=d.idzdarz ") +
             between + QStringLiteral(" group by 1,2 "));
    q.open();
    for (; !q.eof(); q.next())
        lines << SumsLine(q.field(0).asString(), q.field(1).asString(), q.field(2).asInteger());
    q.close();
    tr.rollbackQuietly();
    return lines;
}

} // namespace kzm
