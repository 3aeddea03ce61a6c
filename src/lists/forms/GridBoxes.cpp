#include "lists/forms/GridBoxes.h"

#include "ui/DbGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kzm {

namespace {

// The rows whose values the columns are fitted to, and the room beside a caption and a value.
constexpr int fittedRows = 500;
constexpr int captionMargin = 16;
constexpr int cellMargin = 12;

// A box in the middle of the cell, with a cross or a tick when `set`.
void DrawBox(QPainter* p, const QRect& cell, const QColor& colour, bool set, BoxMark mark) {
    const int side = std::max(7, std::min(cell.height() - 6, 13));
    const QRectF box(cell.center().x() - side / 2 + 0.5, cell.center().y() - side / 2 + 0.5, side,
                     side);
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(QPen(colour, 1));
    p->setBrush(Qt::NoBrush);
    p->drawRect(box);
    if (set) {
        p->setPen(QPen(colour, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QRectF in = box.adjusted(3, 3, -3, -3);
        if (mark == BoxMark::Cross) {
            p->drawLine(in.topLeft(), in.bottomRight());
            p->drawLine(in.topRight(), in.bottomLeft());
        } else {
            QPainterPath tick;
            tick.moveTo(in.left(), in.center().y());
            tick.lineTo(in.left() + in.width() * 0.4, in.bottom());
            tick.lineTo(in.right(), in.top());
            p->drawPath(tick);
        }
    }
    p->restore();
}

} // namespace

GridBoxes::GridBoxes(DbGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {
    grid_->setItemDelegate(this);
    grid_->viewport()->installEventFilter(this);
    connect(grid_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        const auto it = flags_.find(index.column());
        if (it != flags_.end() && it->second.flip && index.row() == grid_->currentIndex().row())
            it->second.flip();
    });
}

void GridBoxes::setMarkColumn(int column) {
    markColumn_ = column;
}

void GridBoxes::setMarkColumn(int column, std::function<bool(int row)> marked,
                              std::function<void(int row)> toggle) {
    markColumn_ = column;
    marked_ = std::move(marked);
    toggle_ = std::move(toggle);
}

void GridBoxes::setFlagColumn(int column, BoxMark mark, std::function<void()> flip) {
    flags_[column] = {mark, std::move(flip)};
}

void GridBoxes::paint(QPainter* painter, const QStyleOptionViewItem& option,
                      const QModelIndex& index) const {
    const bool marks = index.column() == markColumn_;
    const auto flag = flags_.find(index.column());
    if (!marks && flag == flags_.end()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background as any other cell's, the box instead of the value.
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    const QWidget* view = option.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, view);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QColor colour =
        option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (marks)
        DrawBox(painter, option.rect, colour, marked_ ? marked_(index.row()) : selected,
                BoxMark::Tick);
    else
        DrawBox(painter, option.rect, colour, index.data().toString().toInt() != 0,
                flag->second.mark);
}

bool GridBoxes::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != grid_->viewport() || markColumn_ < 0 ||
        (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
         type != QEvent::MouseButtonDblClick))
        return QStyledItemDelegate::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QModelIndex at = grid_->indexAt(mouse->position().toPoint());
    if (!at.isValid() || at.column() != markColumn_ || mouse->button() != Qt::LeftButton)
        return QStyledItemDelegate::eventFilter(watched, event);
    // The mark box marks or unmarks its row only; the row becomes the current one.
    if (type == QEvent::MouseButtonPress) {
        if (toggle_) {
            grid_->setCurrentIndex(at);
            toggle_(at.row());
            grid_->viewport()->update();
        } else {
            grid_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
            grid_->selectionModel()->select(at, QItemSelectionModel::Toggle |
                                                    QItemSelectionModel::Rows);
        }
    }
    return true;
}

void KeepColumnsFitted(DbGrid* grid) {
    const auto fit = [grid] {
        const QAbstractItemModel* m = grid->model();
        const QHeaderView* header = grid->horizontalHeader();
        const QFontMetrics cells = grid->fontMetrics();
        const QFontMetrics captions = header->fontMetrics();
        const int rows = std::min(m->rowCount(), fittedRows);
        for (int c = 0; c < m->columnCount(); ++c) {
            int width = captions.horizontalAdvance(m->headerData(c, Qt::Horizontal).toString()) +
                        captionMargin;
            if (header->isSortIndicatorShown() && header->sortIndicatorSection() == c)
                width += captions.height();
            for (int r = 0; r < rows; ++r)
                width = std::max(width, cells.horizontalAdvance(m->index(r, c).data().toString()) +
                                            cellMargin);
            grid->setColumnWidth(c, std::max(grid->columnWidth(c), width));
        }
    };
    QObject::connect(grid->model(), &QAbstractItemModel::modelReset, grid, fit);
    QObject::connect(grid->model(), &QAbstractItemModel::rowsInserted, grid, fit);
    fit();
}

} // namespace kzm
