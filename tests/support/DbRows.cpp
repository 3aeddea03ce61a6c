#include "support/DbRows.h"

#include "fb/Value.h"

#include <gtest/gtest.h>

namespace testdb {

namespace {

QString text(const fb::Value& v) {
    if (v.isNull())
        return QStringLiteral("-");
    if (const auto* d = std::get_if<fb::Decimal>(&v.storage()))
        return d->toString();
    return v.toString();
}

} // namespace

void Exec(kzm::Tdm& dm, const QString& sql) {
    try {
        dm.IBTrans.rollback();
        dm.IBTrans.start();
        dm.IBQ.setSql(sql);
        dm.IBQ.execSql();
        dm.IBTrans.commit();
    } catch (const std::exception& e) {
        dm.IBTrans.rollbackQuietly();
        ADD_FAILURE() << sql.toStdString() << "\n" << e.what();
    }
}

QStringList Rows(kzm::Tdm& dm, const QString& sql) {
    QStringList rows;
    try {
        dm.IBTrans.rollback();
        dm.IBQ.setSql(sql);
        for (dm.IBQ.open(); !dm.IBQ.eof(); dm.IBQ.next()) {
            QStringList cells;
            for (int i = 0; i < dm.IBQ.fieldCount(); ++i)
                cells << text(dm.IBQ.field(i).value());
            rows << cells.join('|');
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << sql.toStdString() << "\n" << e.what();
    }
    dm.CloseQ(dm.IBQ);
    return rows;
}

QString Row(kzm::Tdm& dm, const QString& sql) {
    const QStringList rows = Rows(dm, sql);
    return rows.isEmpty() ? QString() : rows.first();
}

int Int(kzm::Tdm& dm, const QString& sql) {
    const QStringList rows = Rows(dm, sql);
    return rows.isEmpty() ? -1 : rows.first().section(u'|', 0, 0).toInt();
}

} // namespace testdb
