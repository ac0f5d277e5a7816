#pragma once
// Shows a StringGrid to Qt views. Grid changes are gathered and handed on in batches, when the
// event loop next runs or on flush(), so a run that appends a million rows costs one row insertion
// per batch; rows appended while the grid is hidden reach the views when it is shown again.

#include <QAbstractTableModel>

#include "lib/string_grid.h"

namespace vesk {

class GridModel final : public QAbstractTableModel, private GridObserver {
    Q_OBJECT
public:
    explicit GridModel(StringGrid& grid, QObject* parent = nullptr);
    ~GridModel() override;

    StringGrid& grid() { return grid_; }
    const StringGrid& grid() const { return grid_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Hands on every change gathered so far (rows first, then the display, then the current cell).
    void flush();

signals:
    // The grid's current cell moved; the row is one the views already know.
    void currentMoved(int row, int col);
    // Visibility, enabled state, column widths, row height, font or top row changed.
    void displayChanged();

private:
    void gridRowCountChanged(int oldCount, int newCount) override;
    void gridCellsChanged(int firstRow, int lastRow) override;
    void gridCurrentChanged(int row, int col) override;
    void gridDisplayChanged() override;
    void schedule();
    void resetToGrid();

    StringGrid& grid_;
    int shownRows_ = 0; // rows the views know about
    int shownCols_ = 0;
    int dirtyFirst_ = -1;
    int dirtyLast_ = -1;
    bool currentPending_ = false;
    bool displayPending_ = false;
    bool scheduled_ = false;
};

} // namespace vesk
