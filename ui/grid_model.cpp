#include "ui/grid_model.h"

#include <algorithm>

#include <QTimer>

#include "ui/qt_text.h"

namespace vesk {

GridModel::GridModel(StringGrid& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), shownRows_(grid.rowCount()),
      shownCols_(grid.colCount()) {
    grid_.setObserver(this);
}

GridModel::~GridModel() {
    grid_.setObserver(nullptr);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownCols_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return toQt(grid_.cell(index.column(), index.row()));
}

QVariant GridModel::headerData(int, Qt::Orientation, int) const {
    return {};
}

void GridModel::gridRowCountChanged(int, int newCount) {
    // Views must never be asked about rows the grid no longer has, so shrinking cannot wait.
    if (newCount < shownRows_) {
        resetToGrid();
        return;
    }
    schedule();
}

void GridModel::gridCellsChanged(int firstRow, int lastRow) {
    // Rows the views do not know yet arrive whole with their insertion.
    lastRow = std::min(lastRow, shownRows_ - 1);
    if (firstRow <= lastRow) {
        dirtyFirst_ = dirtyFirst_ < 0 ? firstRow : std::min(dirtyFirst_, firstRow);
        dirtyLast_ = std::max(dirtyLast_, lastRow);
    }
    schedule();
}

void GridModel::gridCurrentChanged(int, int) {
    currentPending_ = true;
    schedule();
}

void GridModel::gridDisplayChanged() {
    displayPending_ = true;
    schedule();
}

void GridModel::schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, &GridModel::flush);
}

void GridModel::resetToGrid() {
    beginResetModel();
    shownRows_ = grid_.rowCount();
    shownCols_ = grid_.colCount();
    dirtyFirst_ = dirtyLast_ = -1;
    endResetModel();
    // A reset forgets the views' current cell; they pick it up again from the grid.
    currentPending_ = true;
    displayPending_ = true;
    schedule();
}

void GridModel::flush() {
    scheduled_ = false;
    if (grid_.colCount() != shownCols_) resetToGrid();
    const int rows = grid_.rowCount();
    if (grid_.visible() && rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
    if (dirtyFirst_ >= 0) {
        const int last = std::min(dirtyLast_, shownRows_ - 1);
        if (dirtyFirst_ <= last)
            emit dataChanged(index(dirtyFirst_, 0), index(last, shownCols_ - 1), {Qt::DisplayRole});
        dirtyFirst_ = dirtyLast_ = -1;
    }
    if (displayPending_) {
        displayPending_ = false;
        emit displayChanged();
    }
    if (currentPending_ && grid_.row() < shownRows_) {
        currentPending_ = false;
        emit currentMoved(grid_.row(), grid_.col());
    }
}

} // namespace vesk
