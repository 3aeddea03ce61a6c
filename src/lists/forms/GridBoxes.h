#pragma once

#include <QStyledItemDelegate>
#include <functional>
#include <map>

namespace kzm {

class DbGrid;

// How a box shows a flag that is set.
enum class BoxMark { Cross, Tick };

// The boxes of a list grid: columns of 0/1 flags drawn as boxes, crossed or ticked when the
// value is not 0, that a click turns over; and the mark column, a box on every row ticked while
// the row is marked, that a click marks or unmarks without touching the other marks.
class GridBoxes : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Draws the grid's cells from now on.
    explicit GridBoxes(DbGrid* grid);

    void setMarkColumn(int column);
    // The mark column over marks the window keeps itself: `marked` tells a row's mark, a
    // click calls `toggle` for the row.
    void setMarkColumn(int column, std::function<bool(int row)> marked,
                       std::function<void(int row)> toggle);
    // A click on a cell of the column runs `flip` once the clicked row is the current one.
    void setFlagColumn(int column, BoxMark mark, std::function<void()> flip);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Flag {
        BoxMark mark;
        std::function<void()> flip;
    };

    DbGrid* grid_;
    int markColumn_ = -1;
    std::function<bool(int row)> marked_;
    std::function<void(int row)> toggle_;
    std::map<int, Flag> flags_;
};

// Widens the grid's columns to their captions and the values shown, now and whenever the grid
// shows its list anew or fetches more of it; a column keeps the width it has when that is more.
void KeepColumnsFitted(DbGrid* grid);

} // namespace kzm
