#pragma once
// The "Window around found line" without its widgets (TfrmFWindow): the found line with five
// lines before and after it in eleven rows, from the lines of a file held while the current
// result row stays in that file.

#include <string>
#include <string_view>

#include "lib/string_grid.h"
#include "results/file_lines.h"
#include "results/results_grid.h"

namespace vesk {

inline constexpr int kFoundWindowRows = 11;
inline constexpr int kLinesAroundFound = 5;
inline constexpr int kFoundNumberWidth = 47;
inline constexpr int kFoundTextWidth = 635;

// grdWindow as designed: columns of 47 and 635, eleven rows, none fixed.
void setUpFoundWindowGrid(StringGrid& grid);

// The found line of a result row's column 0 (xcParseNumber, no decimals): 0 on heading rows and
// for anything that is not a number.
int foundLineOf(std::string_view column0);

// Fills the eleven rows with lines L - 5 .. L + 5 (within 1..count), emptying the rest, and makes
// the row showing L current. Returns that row, or -1 when no row shows L (a heading row, or a
// file that has since become shorter). The found line gets the marks of `found`.
int fillFoundWindow(StringGrid& grid, const FileLines& lines, int foundLine,
                    const FoundLineMarks& found = {});

// The client height that shows the eleven rows exactly: 11 x row height + 22.
int foundWindowClientHeight(int rowHeight);

// The lines behind the window: loaded again only when the row's file differs from the held one.
class FoundWindowSource {
public:
    // Holds `file`'s lines. False with the message to show when the file cannot be read; the
    // lines and name held before then stay.
    bool hold(const std::string& file, std::string& message);

    const std::string& file() const { return file_; }
    const FileLines& lines() const { return lines_; }

private:
    std::string file_;
    FileLines lines_;
};

} // namespace vesk
