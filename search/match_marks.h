#pragma once
// What to draw marked in a found line: the text that made the line match. Worked out again from
// the line and the run's query when its row is written, so the line searcher reports only the
// position the row shows.

#include <cstddef>
#include <string_view>
#include <vector>

#include "lib/string_grid.h"
#include "search/line_search.h"

namespace vesk {

// `position` is the row's 1-based match position (0: nothing to mark, as for the lines listed
// because they do not match). One string: that string at the position. Several strings: the first
// string, in slot order, found at the position. All words: each word where it is first found.
// Marks are sorted by start.
std::vector<TextMark> matchMarks(std::string_view line, std::size_t position,
                                 const LineQuery& query);

} // namespace vesk
