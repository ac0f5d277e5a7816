#include "results/results_grid.h"

#include <algorithm>

#include "lib/grid_routines.h"
#include "lib/text.h"

namespace vesk {

RowKind rowKindOf(std::string_view column0) {
    const std::string_view t = trimView(column0);
    if (t.empty()) return RowKind::Heading;
    return t == "-1" ? RowKind::Error : RowKind::Match;
}

RowKind rowKind(const StringGrid& grid, int row) {
    return rowKindOf(grid.cell(0, row));
}

namespace {

// Heading rows name their file's type by colour; the last extension found wins.
Rgb headingColor(std::string_view text) {
    Rgb color = kPurple;
    if (containsNoCase(text, ".pas")) color = kMaroon;
    if (containsNoCase(text, ".dfm")) color = kGreen;
    if (containsNoCase(text, ".txt")) color = kBlack;
    return color;
}

} // namespace

CellLook resultCellLook(const StringGrid& grid, int col, int row, int fontSize) {
    CellLook look;
    if (!grid.visible()) {
        look.drawNothing = true;
        return look;
    }
    look.fontSize = fontSize;
    if (row == grid.row()) look.background = kCurrentRowBackground;
    const RowKind kind = rowKind(grid, row);
    if (kind == RowKind::Heading) {
        look.bold = true;
        look.color = headingColor(grid.cell(1, row));
    } else if (kind == RowKind::Error) {
        look.color = kRed;
    }
    look.text = grid.cell(col, row);
    if (col == 0 && look.text == "-1") look.text = {};
    if (col == 1 && kind == RowKind::Match) look.marks = grid.marks(row);
    return look;
}

FoundLineMarks foundLineMarksOf(const StringGrid& results, int row) {
    FoundLineMarks found;
    if (row < 0 || row >= results.rowCount() || rowKind(results, row) != RowKind::Match)
        return found;
    found.text = std::string(results.cell(1, row));
    const std::span<const TextMark> marks = results.marks(row);
    found.marks.assign(marks.begin(), marks.end());
    return found;
}

void markFoundLine(StringGrid& grid, int row, const FoundLineMarks& found) {
    const bool same = !found.marks.empty() && grid.cell(1, row) == found.text;
    grid.setMarks(row, same ? std::span<const TextMark>(found.marks) : std::span<const TextMark>());
}

bool sameFileName(std::string_view a, std::string_view b) {
    return xcSameText(a, b);
}

bool NextFile(StringGrid& grid) {
    const int r = grid.row();
    const int last = grid.rowCount() - 1;
    if (r < 0 || r >= last) return false;
    const std::string_view file = grid.cell(2, r);
    for (int i = r + 1; i <= last; ++i) {
        if (!sameFileName(grid.cell(2, i), file)) {
            grid.setRow(i);
            return true;
        }
    }
    return false;
}

bool PrevFile(StringGrid& grid) {
    const int r = grid.row();
    const int last = grid.rowCount() - 1;
    if (r <= 0 || r > last) return false;
    const std::string_view file = grid.cell(2, r);
    for (int i = r; i >= 0; --i) {
        if (!sameFileName(grid.cell(2, i), file)) {
            grid.setRow(i);
            return true;
        }
    }
    return false;
}

int changeGridFontSize(StringGrid& grid, int fontSize, int step) {
    // Hidden while the row height changes so the grid is laid out once, at the new height.
    grid.setVisible(false);
    if (step < 0 && fontSize > kMinGridFontSize) --fontSize;
    if (step > 0 && fontSize < kMaxGridFontSize) ++fontSize;
    grid.setDefaultRowHeight(2 * fontSize - 2);
    grid.setVisible(true);
    return fontSize;
}

void setDesignColumnWidths(StringGrid& grid) {
    for (int c = 0; c < grid.colCount() && c < static_cast<int>(kResultsGridWidths.size()); ++c)
        grid.setColWidth(c, kResultsGridWidths[static_cast<std::size_t>(c)]);
}

void FitResultColumns(StringGrid& grid) {
    if (grid.colWidth(0) < 30) grid.setColWidth(0, 40);
    xcGridFit(grid, true);
    const int extra = grid.colWidth(0) - kMaxNumberColumnWidth;
    if (extra > 0 && grid.colWidth(1) > 0) {
        grid.setColWidth(0, kMaxNumberColumnWidth);
        grid.setColWidth(1, grid.colWidth(1) + extra);
    }
}

void DesignWidths::capture(const StringGrid& g) {
    if (grid >= 10) return;
    grid = g.width;
    column1 = g.colWidth(1);
}

int DesignWidths::runColumn1Width(const StringGrid& g) const {
    const int fitting = g.width - kGridFitMargin - std::max(0, g.colWidth(0));
    return std::max(1, std::min(g.width + column1 - grid, fitting));
}

void SetGridDisplay(StringGrid& grid, int speedDisplayItem, bool on) {
    switch (speedDisplayItem) {
    case 0:
    case 2:
        grid.setVisible(on);
        break;
    case 1:
        grid.setEnabled(on);
        break;
    default:
        break;
    }
}

std::string clickHint(std::string_view file, std::string_view fileInfo) {
    std::string hint(file);
    hint += "\r\n";
    hint += fileInfo;
    hint += "\r\nCTRL+F=Find  F3=Next Shift+F3=Prev\r\nCTRL+N=Next File   CTRL+P=Prev File";
    return hint;
}

} // namespace vesk
