#pragma once
// The general grid routines behind Ctrl+F, F3, Shift+F3 and column fitting. They work on any
// StringGrid (the results grid, the view window's grid, the replace review log).

#include <string>

#include "lib/dialogs.h"
#include "lib/string_grid.h"

namespace vesk {

// The last find of a grid. The find text outlives a single grid: the results grid and the view
// window's grid share one.
struct GridFindState {
    std::string findText;
    bool found = false; // the last find located a cell
};

// What fitting leaves of the grid's width for borders and the vertical scroll bar.
inline constexpr int kGridFitMargin = 35;

// Raises the default row height to at least 16, caps the grid's font size to suit the row height
// and, with fitColumns, shares the grid width (less 35 for borders and scroll bar) among the shown
// columns in proportion to their widths. Columns of width 0 stay hidden.
void xcGridFit(StringGrid& grid, bool fitColumns);

// Ctrl+F: prompts for the find text, proposing the current cell, then searches down from the row
// after the current one. Cancelling the prompt keeps the proposed text as the find text.
void xcGridSearch(StringGrid& grid, GridFindState& state, Dialogs& dialogs);

// F3: the next cell below the current row that contains the find text (any case, every column).
void xcGridSearchNext(StringGrid& grid, GridFindState& state);

// Shift+F3: the same upwards, down to the first non-fixed row. Neither search wraps around.
void xcGridSearchPrev(StringGrid& grid, GridFindState& state);

} // namespace vesk
