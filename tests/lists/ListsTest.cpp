#include "lists/ListsTest.h"

#include "support/DbRows.h"

#include <gtest/gtest.h>

namespace lists {

void ListsTest::Exec(const QString& sql) {
    testdb::Exec(dm, sql);
}

QStringList ListsTest::Rows(const QString& sql) {
    return testdb::Rows(dm, sql);
}

int ListsTest::Int(const QString& sql) {
    const QStringList rows = Rows(sql);
    return rows.isEmpty() ? -1 : rows.first().section(u'|', 0, 0).toInt();
}

} // namespace lists
