#pragma once
// The results grid grdFound without its widget: how a row is classed and drawn, moving between
// files, the font-size buttons, column fitting, the speed-display switch and the grid hints.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lib/string_grid.h"

namespace vesk {

// Told apart by column 0 after trimming: empty, exactly "-1", anything else (a line number).
enum class RowKind { Heading, Error, Match };
RowKind rowKindOf(std::string_view column0);
RowKind rowKind(const StringGrid& grid, int row);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kNavy{0, 0, 128};
inline constexpr Rgb kCurrentRowBackground{243, 223, 223};
inline constexpr Rgb kPurple{128, 0, 128};
inline constexpr Rgb kMaroon{128, 0, 0};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
// Behind the text a search found in a line.
inline constexpr Rgb kMatchMarkBackground{255, 230, 110};

// How one cell is painted: fill with background, then write text at the cell's top-left corner.
// text points into the grid and is valid until the grid next changes.
struct CellLook {
    bool drawNothing = false; // the grid is hidden
    Rgb background = kWhite;
    Rgb color = kNavy;
    bool bold = false;
    int fontSize = 9;
    std::string_view text;
    // Stretches of `text` drawn on kMatchMarkBackground: the found text of a match row's line.
    std::span<const TextMark> marks;
};

// The look of cell (col, row) of the results grid drawn at the window's grid font size.
CellLook resultCellLook(const StringGrid& grid, int col, int row, int fontSize);

// The found line of a result row as the row shows it, with its marks, for a window that shows
// the line again from its file.
struct FoundLineMarks {
    std::string text;
    std::vector<TextMark> marks;
};
FoundLineMarks foundLineMarksOf(const StringGrid& results, int row);
// Gives `row` of a window's grid the found line's marks when it shows that line as the result row
// had it (a file changed since shows no marks rather than wrong ones); otherwise none.
void markFoundLine(StringGrid& grid, int row, const FoundLineMarks& found);

// File names of two rows name the same file: equal after trimming, ignoring the case of a..z.
bool sameFileName(std::string_view a, std::string_view b);

// Ctrl+N: to the first following row of another file. Ctrl+P: to the last row of the preceding
// file. Both leave the current row alone when there is no other file that way; true when moved.
bool NextFile(StringGrid& grid);
bool PrevFile(StringGrid& grid);

// The grid font size of the "-" and "+" buttons.
inline constexpr int kMinGridFontSize = 4;
inline constexpr int kMaxGridFontSize = 20;
inline constexpr int kStartGridFontSize = 9;
// Steps the size by one towards step's sign within 4..20 and sets the grid's default row height to
// 2 x size - 2; returns the new size for lblFont.
int changeGridFontSize(StringGrid& grid, int fontSize, int step);

// grdFound as designed: line number, line text, and the file and position columns hidden.
inline constexpr std::array<int, 4> kResultsGridWidths{44, 744, 0, 0};
void setDesignColumnWidths(StringGrid& grid);

// The line-number column never needs more: wider screens give the room to the text column.
inline constexpr int kMaxNumberColumnWidth = 80;

// Keeps column 0 usable (below 30 it becomes 40), then fits all shown columns to the grid width;
// column 0 beyond kMaxNumberColumnWidth goes to column 1.
void FitResultColumns(StringGrid& grid);

// The grid and its column 1 as the window was designed, captured once at the first showing; each
// run widens or narrows column 1 by what the grid has gained or lost since (never below 1 pixel:
// a column of width 0 counts as hidden and fitting would never bring it back), and never so far
// that columns 0 and 1 no longer fit the grid, which would scroll the line numbers out of view.
struct DesignWidths {
    int grid = 0;
    int column1 = 0;
    void capture(const StringGrid& g);
    int runColumn1Width(const StringGrid& g) const;
};

// The items of cmbSpeedDisplay: how the grid is kept from repainting during a "Faster" run.
inline constexpr std::array<std::string_view, 3> kSpeedDisplayItems{
    "0 - Grid visible set to false", "1 - enable/disable", "2 - Beginupdate/endupdate"};
// Items 0 and 2 show or hide the grid, item 1 enables or disables it; other items do nothing.
void SetGridDisplay(StringGrid& grid, int speedDisplayItem, bool on);

// The hint before the grid is first clicked.
inline constexpr std::string_view kFirstClickHint =
    "CTRL+F=Find   F3=Find Next  SHIFT+F3=Find Prev CTRL+N=NextFile CTRL+P=Prev File";
// The hint after a click on a row of `file`; fileInfo is that file's date and size text
// (xcFileInfoText), empty when it does not exist.
std::string clickHint(std::string_view file, std::string_view fileInfo);

} // namespace vesk
