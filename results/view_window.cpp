#include "results/view_window.h"

#include "lib/datetime.h"
#include "lib/text.h"
#include "results/file_lines.h"

namespace vesk {

namespace {
constexpr int kViewRowHeight = 16;
// The header row and, with nothing to show, one empty row below it to stand on.
constexpr int kEmptyViewRows = 2;
} // namespace

ViewTarget viewTargetOf(const StringGrid& results) {
    const int row = results.row();
    if (row < 0 || row >= results.rowCount() || results.colCount() < 3) return {};
    ViewTarget t;
    t.file = std::string(results.cell(2, row));
    if (!parsePlainInt(results.cell(0, row), t.line)) t.line = 0;
    t.found = foundLineMarksOf(results, row);
    return t;
}

ViewFont viewWindowFont(bool courier) {
    return courier ? ViewFont{"Courier New", 9, true} : ViewFont{"Verdana", 8, false};
}

void setUpViewGrid(StringGrid& grid) {
    grid.setColCount(2);
    grid.fixedRows = 1;
    grid.setRowCount(kEmptyViewRows);
    grid.setColWidth(0, kViewLineNumberWidth);
    grid.setColWidth(1, kViewTextWidth);
    grid.setDefaultRowHeight(kViewRowHeight);
}

ViewFill fillViewGrid(StringGrid& grid, const ViewTarget& target) {
    FileLines lines;
    std::string error;
    releaseViewGrid(grid);
    if (!lines.load(target.file, error)) return {target.file + " - " + error, false};

    const int n = static_cast<int>(lines.count());
    grid.setRowCount(n + 1 < kEmptyViewRows ? kEmptyViewRows : n + 1);
    std::string number;
    for (int i = 1; i <= n; ++i) {
        number.clear();
        appendNumber(number, i);
        grid.setCell(0, i, number);
        grid.setCell(1, i, lines.line(static_cast<std::size_t>(i)));
    }
    if (target.line >= 1 && target.line <= n) {
        grid.setRow(target.line);
        markFoundLine(grid, target.line, target.found);
    }
    return {target.file, true};
}

void releaseViewGrid(StringGrid& grid) {
    grid.setRowCount(0); // drops every cell, and the arena with them
    grid.setRowCount(kEmptyViewRows);
    grid.setTopRow(0);
    grid.setCurrent(grid.fixedRows, 0);
}

} // namespace vesk
