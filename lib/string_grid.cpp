#include "lib/string_grid.h"

#include <algorithm>
#include <cstring>

namespace vesk {

namespace {
constexpr std::size_t kChunkSize = 1 << 20;
constexpr std::size_t kOwnChunkFrom = kChunkSize / 4;
} // namespace

StringGrid::StringGrid(int colCount, int rowCount) : colCount_(std::max(1, colCount)) {
    widths_.assign(static_cast<std::size_t>(colCount_), 64);
    setRowCount(rowCount);
}

void StringGrid::setColCount(int n) {
    n = std::max(1, n);
    if (n == colCount_) return;
    FlatArray<Cell> next(static_cast<std::size_t>(rowCount_) * n);
    for (int r = 0; r < rowCount_; ++r)
        for (int c = 0; c < std::min(n, colCount_); ++c)
            next[static_cast<std::size_t>(r) * n + c] = at(c, r);
    cells_ = std::move(next);
    colCount_ = n;
    widths_.resize(static_cast<std::size_t>(n), 64);
    if (col_ >= n) col_ = n - 1;
    if (observer_) observer_->gridDisplayChanged();
}

void StringGrid::setRowCount(int n) {
    n = std::max(0, n);
    const int old = rowCount_;
    if (n == old) return;
    if (n < old) {
        for (int r = n; r < old; ++r)
            for (int c = 0; c < colCount_; ++c)
                liveBytes_ -= at(c, r).length;
    }
    cells_.resize(static_cast<std::size_t>(n) * colCount_);
    if (!marks_.empty()) marks_.resize(static_cast<std::size_t>(n));
    if (n <= fixedRows + 1 && !manyMarks_.empty()) {
        // A cleared grid: the side table goes, with the few rows left that referred to it.
        for (TextMark& m : marks_)
            if (m.length == kManyMarks) m = {};
        manyMarks_.clear();
    }
    rowCount_ = n;
    if (row_ >= n) row_ = std::max(0, n - 1);
    if (topRow_ >= n) topRow_ = std::max(0, n - 1);
    if (n < old) compactIfWasteful();
    if (observer_) observer_->gridRowCountChanged(old, n);
}

std::string_view StringGrid::view(const Cell& c) const {
    if (c.length == 0) return {};
    return {chunks_[c.chunk].data.get() + c.offset, static_cast<std::size_t>(c.length)};
}

std::string_view StringGrid::cell(int col, int row) const {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return {};
    return view(at(col, row));
}

StringGrid::Cell StringGrid::store(std::string_view text) {
    Cell c;
    c.length = text.size();
    if (text.empty()) return c;
    if (text.size() >= kOwnChunkFrom) {
        // Long lines get a chunk of their own so the shared chunk keeps filling.
        Chunk big{std::make_unique<char[]>(text.size()), text.size(), text.size()};
        std::memcpy(big.data.get(), text.data(), text.size());
        chunks_.push_back(std::move(big));
        c.chunk = static_cast<std::uint32_t>(chunks_.size() - 1);
        return c;
    }
    if (tail_ < 0 || chunks_[tail_].capacity - chunks_[tail_].used < text.size()) {
        chunks_.push_back(Chunk{std::make_unique<char[]>(kChunkSize), kChunkSize, 0});
        tail_ = static_cast<int>(chunks_.size() - 1);
    }
    Chunk& tail = chunks_[tail_];
    std::memcpy(tail.data.get() + tail.used, text.data(), text.size());
    c.chunk = static_cast<std::uint32_t>(tail_);
    c.offset = static_cast<std::uint32_t>(tail.used);
    tail.used += text.size();
    return c;
}

void StringGrid::setCell(int col, int row, std::string_view text) {
    if (col < 0 || col >= colCount_ || row < 0 || row >= rowCount_) return;
    Cell& target = at(col, row);
    liveBytes_ -= target.length;
    // Rows of one file share their file cell: reuse the bytes of the cell above when equal.
    if (row > 0 && !text.empty()) {
        const Cell& above = at(col, row - 1);
        if (above.length == text.size() &&
            std::memcmp(view(above).data(), text.data(), text.size()) == 0) {
            target = above;
            liveBytes_ += target.length;
            if (observer_) observer_->gridCellsChanged(row, row);
            return;
        }
    }
    target = store(text);
    liveBytes_ += target.length;
    if (observer_) observer_->gridCellsChanged(row, row);
}

void StringGrid::blankRow(int row) {
    if (row < 0 || row >= rowCount_) return;
    for (int c = 0; c < colCount_; ++c) {
        liveBytes_ -= at(c, row).length;
        at(c, row) = Cell{};
    }
    if (static_cast<std::size_t>(row) < marks_.size()) marks_[static_cast<std::size_t>(row)] = {};
    if (observer_) observer_->gridCellsChanged(row, row);
}

void StringGrid::rotateRows(int first, int middle, int end) {
    if (first < 0 || first > middle || middle > end || end > rowCount_) return;
    if (first == middle || middle == end) return;
    const auto cellAt = [this](int row) { return cells_.begin() + std::size_t(row) * colCount_; };
    std::rotate(cellAt(first), cellAt(middle), cellAt(end));
    if (!marks_.empty())
        std::rotate(marks_.begin() + first, marks_.begin() + middle, marks_.begin() + end);
    if (observer_) observer_->gridCellsChanged(first, end - 1);
}

void StringGrid::setMarks(int row, std::span<const TextMark> marks) {
    if (row < 0 || row >= rowCount_) return;
    if (marks.empty() && marks_.empty()) return;
    if (marks_.empty()) marks_.resize(static_cast<std::size_t>(rowCount_));
    TextMark& entry = marks_[static_cast<std::size_t>(row)];
    if (marks.size() <= 1) {
        entry = marks.empty() ? TextMark{} : marks.front();
        if (entry.length == kManyMarks) entry = {}; // no single mark spans 4 GB of one line
    } else {
        entry = {static_cast<std::uint32_t>(manyMarks_.size()), kManyMarks};
        manyMarks_.emplace_back(marks.begin(), marks.end());
    }
    if (observer_) observer_->gridCellsChanged(row, row);
}

std::span<const TextMark> StringGrid::marks(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= marks_.size()) return {};
    const TextMark& entry = marks_[static_cast<std::size_t>(row)];
    if (entry.length == 0) return {};
    if (entry.length != kManyMarks) return {&entry, 1};
    if (entry.start >= manyMarks_.size()) return {};
    return manyMarks_[entry.start];
}

void StringGrid::compactIfWasteful() {
    std::size_t held = 0;
    for (const Chunk& ch : chunks_)
        held += ch.used;
    if (held <= 2 * liveBytes_ + kChunkSize) return;
    // Rebuild the arena from the surviving cells; shared cells stay shared.
    std::vector<Chunk> old = std::move(chunks_);
    chunks_.clear();
    tail_ = -1;
    const FlatArray<Cell> oldCells = cells_;
    for (int r = 0; r < rowCount_; ++r) {
        for (int c = 0; c < colCount_; ++c) {
            const Cell src = oldCells[static_cast<std::size_t>(r) * colCount_ + c];
            if (!src.length) continue;
            if (r > 0) {
                const Cell up = oldCells[static_cast<std::size_t>(r - 1) * colCount_ + c];
                if (up.chunk == src.chunk && up.offset == src.offset && up.length == src.length) {
                    at(c, r) = at(c, r - 1);
                    continue;
                }
            }
            at(c, r) = store(
                {old[src.chunk].data.get() + src.offset, static_cast<std::size_t>(src.length)});
        }
    }
}

std::size_t StringGrid::arenaBytes() const {
    std::size_t n = 0;
    for (const Chunk& ch : chunks_)
        n += ch.capacity;
    return n + cells_.capacity() * sizeof(Cell);
}

void StringGrid::setCurrent(int row, int col) {
    row = std::clamp(row, 0, std::max(0, rowCount_ - 1));
    col = std::clamp(col, 0, colCount_ - 1);
    if (row == row_ && col == col_) return;
    row_ = row;
    col_ = col;
    if (observer_) observer_->gridCurrentChanged(row_, col_);
}

void StringGrid::setTopRow(int row) {
    topRow_ = std::clamp(row, 0, std::max(0, rowCount_ - 1));
    if (observer_) observer_->gridDisplayChanged();
}

void StringGrid::setVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    if (observer_) observer_->gridDisplayChanged();
}

void StringGrid::setEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    if (observer_) observer_->gridDisplayChanged();
}

void StringGrid::setColWidth(int col, int w) {
    if (col < 0 || col >= colCount_) return;
    widths_[static_cast<std::size_t>(col)] = w;
    if (observer_) observer_->gridDisplayChanged();
}

void StringGrid::setDefaultRowHeight(int h) {
    rowHeight_ = h;
    if (observer_) observer_->gridDisplayChanged();
}

void StringGrid::setFontSize(int size) {
    fontSize_ = size;
    if (observer_) observer_->gridDisplayChanged();
}

void xcGridClear(StringGrid& grid, int n) {
    const int last = std::min(grid.rowCount() - 1, 1000);
    for (int r = std::max(n, 0); r <= last; ++r)
        grid.blankRow(r);
    if (n <= 0) {
        grid.setRowCount(std::max(1, grid.fixedRows + 1));
        return;
    }
    grid.setRowCount(n + 1);
    for (int r = 0; r < n; ++r)
        grid.blankRow(r);
    grid.setRow(n);
}

void xcGridNewRow(StringGrid& grid, int& rowIndex) {
    ++rowIndex;
    if (rowIndex >= grid.rowCount()) grid.setRowCount(rowIndex + 1);
    if (grid.fixedRows == 1 && rowIndex == 0) {
        grid.setRowCount(2);
        rowIndex = 1;
    }
    grid.blankRow(rowIndex);
    grid.setRow(rowIndex);
}

} // namespace vesk
