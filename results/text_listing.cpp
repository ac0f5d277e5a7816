#include "results/text_listing.h"

#include <algorithm>
#include <vector>

#include "lib/text.h"
#include "results/output_file.h"

namespace vesk {

namespace {

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlankByte(s.back()))
        s.remove_suffix(1);
    return s;
}

struct ListingLayout {
    std::vector<int> shown;           // column indexes wider than 1 pixel
    std::vector<std::size_t> longest; // per column, after trailing blanks are removed
    int last = -1;                    // highest shown column that held a non-empty cell
};

ListingLayout measure(const StringGrid& grid) {
    ListingLayout layout;
    layout.longest.assign(static_cast<std::size_t>(grid.colCount()), 0);
    for (int c = 0; c < grid.colCount(); ++c)
        if (grid.colWidth(c) > 1) layout.shown.push_back(c);
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c : layout.shown) {
            const std::string_view cell = grid.cell(c, r);
            std::size_t& longest = layout.longest[static_cast<std::size_t>(c)];
            longest = std::max(longest, trimRight(cell).size());
            if (!cell.empty()) layout.last = std::max(layout.last, c);
        }
    }
    return layout;
}

void appendRow(const StringGrid& grid, int row, const ListingLayout& layout, std::string& out) {
    for (int c : layout.shown) {
        const std::string_view cell = trimRight(grid.cell(c, row));
        out.append(cell);
        if (c < layout.last)
            out.append(layout.longest[static_cast<std::size_t>(c)] + 1 - cell.size(), ' ');
    }
    out.append("\r\n");
}

} // namespace

std::string gridListingText(const StringGrid& grid, std::string_view header) {
    const ListingLayout layout = measure(grid);
    std::string out(header);
    out.append("\r\n\r\n");
    for (int r = 0; r < grid.rowCount(); ++r)
        appendRow(grid, r, layout, out);
    return out;
}

void xcGridToText(const StringGrid& grid, const std::string& fileName, std::string_view header) {
    saveOutputFile(fileName, gridListingText(grid, header));
}

} // namespace vesk
