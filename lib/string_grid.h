#pragma once
// A plain grid of byte-string cells with the display state the windows draw from. Cells live in a
// chunked arena so a run that appends a million rows stays compact; a cell equal to the one above
// it (the file column of one file's rows) is stored once.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lib/flat_array.h"

namespace vesk {

// Told about changes so a view can follow the grid; every call may be batched by the view.
class GridObserver {
public:
    virtual ~GridObserver() = default;
    virtual void gridRowCountChanged(int oldCount, int newCount) = 0;
    virtual void gridCellsChanged(int firstRow, int lastRow) = 0;
    virtual void gridCurrentChanged(int row, int col) = 0;
    virtual void gridDisplayChanged() = 0; // visibility, widths, font, top row
};

// A stretch of a row's column-1 text drawn marked (the text a search found in that line), in bytes
// from the start of the cell. Drawing only: no cell, export or listing sees it.
struct TextMark {
    std::uint32_t start = 0;
    std::uint32_t length = 0;
    friend bool operator==(const TextMark&, const TextMark&) = default;
};

class StringGrid {
public:
    explicit StringGrid(int colCount = 4, int rowCount = 1);
    StringGrid(const StringGrid&) = delete;
    StringGrid& operator=(const StringGrid&) = delete;

    int colCount() const { return colCount_; }
    int rowCount() const { return rowCount_; }
    void setColCount(int n);
    void setRowCount(int n);

    std::string_view cell(int col, int row) const;
    void setCell(int col, int row, std::string_view text);
    void blankRow(int row);
    // Moves rows [middle, end) with their marks before rows [first, middle), as std::rotate does.
    void rotateRows(int first, int middle, int end);

    int fixedRows = 0;
    int fixedCols = 0;

    int row() const { return row_; }
    int col() const { return col_; }
    void setCurrent(int row, int col);
    void setRow(int row) { setCurrent(row, col_); }

    int topRow() const { return topRow_; }
    void setTopRow(int row);

    bool visible() const { return visible_; }
    void setVisible(bool on);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    int colWidth(int col) const {
        return col < static_cast<int>(widths_.size()) ? widths_[col] : 0;
    }
    void setColWidth(int col, int width);
    int defaultRowHeight() const { return rowHeight_; }
    void setDefaultRowHeight(int h);
    int fontSize() const { return fontSize_; }
    void setFontSize(int size);
    // The grid's client width in pixels, kept by the view for fitting.
    int width = 800;

    void setObserver(GridObserver* observer) { observer_ = observer; }

    // The marks of a row's column 1; a row that is blanked or removed loses them. Rows with one
    // mark cost 8 bytes beside their cells once any row is marked; more marks go to a side table.
    void setMarks(int row, std::span<const TextMark> marks);
    std::span<const TextMark> marks(int row) const;

    // Bytes held by the cell arena (for benchmarks and the memory budget).
    std::size_t arenaBytes() const;

private:
    struct Cell {
        std::uint32_t chunk = 0;
        std::uint32_t offset = 0;
        std::uint64_t length = 0;
    };
    struct Chunk {
        std::unique_ptr<char[]> data;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };

    Cell& at(int col, int row) { return cells_[static_cast<std::size_t>(row) * colCount_ + col]; }
    const Cell& at(int col, int row) const {
        return cells_[static_cast<std::size_t>(row) * colCount_ + col];
    }
    std::string_view view(const Cell& c) const;
    Cell store(std::string_view text);
    void compactIfWasteful();

    int colCount_;
    int rowCount_ = 0;
    int row_ = 0;
    int col_ = 0;
    int topRow_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    int rowHeight_ = 16;
    int fontSize_ = 9;
    std::vector<int> widths_;
    // One entry per row once a row is marked: its only mark, or with kManyMarks as the length the
    // index of its marks in manyMarks_.
    static constexpr std::uint32_t kManyMarks = 0xFFFFFFFFu;
    std::vector<TextMark> marks_;
    std::vector<std::vector<TextMark>> manyMarks_;
    FlatArray<Cell> cells_;
    std::vector<Chunk> chunks_;
    int tail_ = -1; // chunk that small cells fill
    std::size_t liveBytes_ = 0;
    GridObserver* observer_ = nullptr;
};

// Clears rows n..last (at most up to row 1000); n <= 0 leaves one empty row, otherwise the grid
// gets n + 1 rows with rows 0..n-1 blanked and row n current.
void xcGridClear(StringGrid& grid, int n);

// Advances the caller's row index, growing the grid as needed, blanks that row and makes it
// current.
void xcGridNewRow(StringGrid& grid, int& rowIndex);

} // namespace vesk
