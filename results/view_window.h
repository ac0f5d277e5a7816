#pragma once
// The built-in viewer's rules without its widgets (TfrmView2): which file and line the current
// result row asks for, the grid grdView2 as designed, and how it is filled from the file.

#include <string>
#include <string_view>

#include "lib/string_grid.h"
#include "results/results_grid.h"

namespace vesk {

inline constexpr int kViewLineNumberWidth = 50;
inline constexpr int kViewTextWidth = 1050;

// ViewCurrentFile's view file name (column 2) and view line (column 0; 0 when not a number).
struct ViewTarget {
    std::string file;
    int line = 0;
    FoundLineMarks found = {}; // drawn marked on the line when it is unchanged
};
ViewTarget viewTargetOf(const StringGrid& results);

// "Courier New" 9 with cbxViewWindowCourier checked, else "Verdana" 8.
struct ViewFont {
    std::string_view family;
    int pointSize = 0;
    bool fixedPitch = false; // what to fall back on when the family is missing
};
ViewFont viewWindowFont(bool courier);

// grdView2 as designed: columns of 50 and 1050, one fixed header row left empty, rows of 16.
void setUpViewGrid(StringGrid& grid);

struct ViewFill {
    std::string caption; // the file name; on failure the file name and why it cannot be shown
    bool loaded = false;
};

// FormShow: the file's lines, numbered from 1, under the header row, and the target line current
// when the file has it. A file that is gone or unreadable leaves the header and one empty row, so
// the window never shows the rows of the file it showed before.
ViewFill fillViewGrid(StringGrid& grid, const ViewTarget& target);

// FormClose: the rows go with the window, so a large file is not held while nobody looks.
void releaseViewGrid(StringGrid& grid);

} // namespace vesk
