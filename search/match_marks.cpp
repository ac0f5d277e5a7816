#include "search/match_marks.h"

#include <algorithm>

#include "search/find_pos.h"

namespace vesk {

namespace {

TextMark markAt(std::size_t position, std::size_t length) {
    return {static_cast<std::uint32_t>(position - 1), static_cast<std::uint32_t>(length)};
}

} // namespace

std::vector<TextMark> matchMarks(std::string_view line, std::size_t position,
                                 const LineQuery& query) {
    std::vector<TextMark> marks;
    if (position == 0 || position > line.size() || query.invert) return marks;
    switch (query.mode) {
    case LineQuery::Mode::Single:
    case LineQuery::Mode::Multiple:
        for (const Finder& f : query.finders) {
            if (f.empty()) continue;
            if (findPos(line, f, query.wholeWordsOnly) == position) {
                marks.push_back(markAt(position, f.size()));
                break;
            }
        }
        break;
    case LineQuery::Mode::AllWords:
        for (const Finder& f : query.finders)
            if (const std::size_t p = findPos(line, f, query.wholeWordsOnly))
                marks.push_back(markAt(p, f.size()));
        std::sort(marks.begin(), marks.end(),
                  [](const TextMark& a, const TextMark& b) { return a.start < b.start; });
        break;
    }
    return marks;
}

} // namespace vesk
