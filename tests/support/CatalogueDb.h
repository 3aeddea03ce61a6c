#pragma once
// A database built from the whole script catalogue by the schema engine, made once per test
// program; every test gets a file copy of it, connected through its own data module.

#include "db/Tdm.h"
#include "support/TestSession.h"

#include <QString>

namespace testdb {

// The template database file (embedded), created on first use.
QString CatalogueTemplate();

class CatalogueDbTest : public SessionTest {
protected:
    CatalogueDbTest();
    void SetUp() override; // copies the template and connects; fails the test if it cannot

    kzm::Tdm dm{s};
};

} // namespace testdb
