#pragma once

#include <vector>

namespace kzm {

// The marked rows of a grid over a query, by 0-based row of the query.
class RowSelection {
public:
    virtual ~RowSelection() = default;
    virtual std::vector<int> selectedRows() const = 0;
    virtual void setRowSelected(int row, bool selected) = 0;
    // Display updates are suspended between these two.
    virtual void beginUpdate() {}
    virtual void endUpdate() {}
};

} // namespace kzm
