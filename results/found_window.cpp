#include "results/found_window.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "lib/datetime.h"
#include "lib/text.h"

namespace vesk {

namespace {
constexpr int kFoundWindowExtraHeight = 22;
} // namespace

void setUpFoundWindowGrid(StringGrid& grid) {
    grid.setColCount(2);
    grid.fixedRows = 0;
    grid.setRowCount(kFoundWindowRows);
    grid.setColWidth(0, kFoundNumberWidth);
    grid.setColWidth(1, kFoundTextWidth);
}

int foundLineOf(std::string_view column0) {
    int error = 0;
    std::string errorText;
    const std::int64_t n = xcParseNumber(column0, error, errorText);
    if (error != 0 || n < 0 || n > std::numeric_limits<int>::max()) return 0;
    return static_cast<int>(n);
}

int fillFoundWindow(StringGrid& grid, const FileLines& lines, int foundLine,
                    const FoundLineMarks& found) {
    const std::int64_t count = static_cast<std::int64_t>(lines.count());
    const std::int64_t first =
        std::max<std::int64_t>(1, std::int64_t{foundLine} - kLinesAroundFound);
    const std::int64_t last =
        std::min<std::int64_t>(count, std::int64_t{foundLine} + kLinesAroundFound);
    int foundRow = -1;
    std::string number;
    for (int i = 0; i < kFoundWindowRows; ++i) {
        grid.setMarks(i, {});
        const std::int64_t n = first + i;
        if (n > last) {
            grid.blankRow(i);
            continue;
        }
        number.clear();
        appendNumber(number, n);
        grid.setCell(0, i, number);
        grid.setCell(1, i, lines.line(static_cast<std::size_t>(n)));
        if (n == foundLine) foundRow = i;
    }
    if (foundRow >= 0) {
        grid.setRow(foundRow);
        markFoundLine(grid, foundRow, found);
    }
    return foundRow;
}

int foundWindowClientHeight(int rowHeight) {
    return kFoundWindowRows * rowHeight + kFoundWindowExtraHeight;
}

bool FoundWindowSource::hold(const std::string& file, std::string& message) {
    if (file == file_) return true;
    std::string error;
    if (!lines_.load(file, error)) {
        message = "Cannot open file \"" + file + "\". " + error;
        return false;
    }
    file_ = file;
    return true;
}

} // namespace vesk
