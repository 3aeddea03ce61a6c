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
    return testdb::Int(dm, sql);
}

} // namespace lists
