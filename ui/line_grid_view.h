#pragma once
// A read-only table over a StringGrid for the built-in viewer and the window around a found line:
// whole rows selected, the selection and the grid's current row kept in step both ways, and the
// grid's fixed rows drawn as an empty header that the current row never lands on.

#include <QTableView>

#include "lib/string_grid.h"

namespace vesk {

class GridModel;

class LineGridView final : public QTableView {
    Q_OBJECT
public:
    // The grid must outlive the view.
    LineGridView(StringGrid& grid, QWidget* parent = nullptr);
    ~LineGridView() override;

    StringGrid& grid() { return grid_; }
    GridModel& gridModel() { return *model_; }

    // Hands every change of the grid to the view now: rows, widths, row height, current row.
    void sync();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void applyDisplay();
    void applyCurrent(int row, int col);

    StringGrid& grid_;
    GridModel* model_;
};

} // namespace vesk
