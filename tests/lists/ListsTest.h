#pragma once
// The list windows' logic over a copy of the catalogue database: its six rates, no units, ranks,
// persons or prices.

#include "db/RowSelection.h"
#include "db/Tdmu.h"
#include "support/CatalogueDb.h"

#include <QString>
#include <QStringList>
#include <set>

namespace lists {

class ListsTest : public testdb::CatalogueDbTest {
protected:
    // Runs one statement in a transaction of its own and commits it; a server error fails the
    // test with the server's text.
    void Exec(const QString& sql);
    // Every row of a select as "a|b|c": null as "-", decimals with their scale, dates as
    // dd.MM.yyyy.
    QStringList Rows(const QString& sql);
    // The first column of the first row as an integer; -1 without a row.
    int Int(const QString& sql);

    kzm::Tdmu dmu{dm};
};

// The marked rows of a grid.
class Marks : public kzm::RowSelection {
public:
    Marks(std::initializer_list<int> rows = {}) : rows_(rows) {}
    std::vector<int> selectedRows() const override { return {rows_.begin(), rows_.end()}; }
    void setRowSelected(int row, bool selected) override {
        if (selected)
            rows_.insert(row);
        else
            rows_.erase(row);
    }

private:
    std::set<int> rows_;
};

} // namespace lists
