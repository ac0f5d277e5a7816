#include "lib/grid_routines.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "lib/text.h"

namespace vesk {

namespace {

constexpr int kMinRowHeight = 16;
constexpr int kNarrowColumn = 10; // narrow shown columns weigh as this much when sharing

// Searches rows first..last (stepping by step), each row from its first column, for a cell that
// holds the find text in any case.
bool findFrom(StringGrid& grid, GridFindState& state, int first, int last, int step) {
    state.found = false;
    if (state.findText.empty()) return false;
    const std::string_view needle = state.findText;
    for (int r = first; step > 0 ? r <= last : r >= last; r += step) {
        for (int c = 0; c < grid.colCount(); ++c) {
            if (xcPosIn(grid.cell(c, r), needle, true) > 0) {
                state.found = true;
                grid.setCurrent(r, c);
                return true;
            }
        }
    }
    return false;
}

} // namespace

void xcGridFit(StringGrid& grid, bool fitColumns) {
    if (grid.defaultRowHeight() < kMinRowHeight) grid.setDefaultRowHeight(kMinRowHeight);
    const int h = grid.defaultRowHeight();
    const int cap = h > kMinRowHeight ? h / 2 + 1 : h / 2;
    if (grid.fontSize() > cap) grid.setFontSize(cap);
    if (!fitColumns || grid.colCount() <= 1) return;

    const std::int64_t available = grid.width - kGridFitMargin;
    std::int64_t sum = 0;
    for (int c = 0; c < grid.colCount(); ++c) {
        const int w = grid.colWidth(c);
        if (w > 0) sum += std::max(w, kNarrowColumn);
    }
    // A grid narrower than its margin, or with every column hidden, has nothing to share; fitting
    // it anyway would shrink shown columns to nothing and they would never come back.
    if (available <= 0 || sum == 0) return;
    for (int c = 0; c < grid.colCount(); ++c) {
        const int w = grid.colWidth(c);
        if (w <= 0) continue;
        grid.setColWidth(c, static_cast<int>(std::max<std::int64_t>(1, available * w / sum)));
    }
}

void xcGridSearch(StringGrid& grid, GridFindState& state, Dialogs& dialogs) {
    const std::string proposed(grid.cell(grid.col(), grid.row()));
    std::optional<std::string> answer = dialogs.promptText("Find:", "Text to find:", proposed);
    state.findText = answer ? std::move(*answer) : proposed;
    xcGridSearchNext(grid, state);
}

void xcGridSearchNext(StringGrid& grid, GridFindState& state) {
    findFrom(grid, state, grid.row() + 1, grid.rowCount() - 1, 1);
}

void xcGridSearchPrev(StringGrid& grid, GridFindState& state) {
    findFrom(grid, state, grid.row() - 1, std::max(0, grid.fixedRows), -1);
}

} // namespace vesk
