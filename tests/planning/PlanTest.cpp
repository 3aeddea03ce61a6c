#include "PlanTest.h"

#include "planning/support/Canteen.h"
#include "support/DbRows.h"

namespace planning {

QDate D(const char* text) {
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd.MM.yyyy"));
}

void PlanTest::SetUp() {
    CatalogueDbTest::SetUp();
    if (HasFatalFailure())
        return;
    const Canteen c = SeedCanteen(dm);
    unit1 = c.unit1;
    unit2 = c.unit2;
    lunch = c.lunch;
    allDay = c.allDay;
    paidOut = c.paidOut;
    plan.loadCodes();
}

void PlanTest::Exec(const QString& sql) {
    testdb::Exec(dm, sql);
}

QStringList PlanTest::Rows(const QString& sql) {
    return testdb::Rows(dm, sql);
}

int PlanTest::Int(const QString& sql) {
    return testdb::Int(dm, sql);
}

QStringList PlanTest::Shown() {
    QStringList rows;
    fb::Query& q = plan.query();
    if (!q.isOpen())
        return rows;
    q.fetchAll();
    const int nr = q.fieldByName(QStringLiteral("NR_OPER")).index();
    const int data = q.fieldByName(QStringLiteral("DATA")).index();
    for (int r = 0; r < q.fetchedRows(); ++r)
        rows << QString::number(q.value(r, nr).toInt()) + u'|' +
                    q.value(r, data).toDate().toString(QStringLiteral("dd.MM"));
    return rows;
}

QStringList PlanTest::Log() const {
    QStringList lines;
    for (const QString& line : log().split(u'\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

} // namespace planning
