#include "settings/multiple_searches.h"

#include <algorithm>
#include <charconv>

#include "lib/text.h"

namespace vesk {

std::vector<std::string> FindSetRows(const StringSlots& slots) {
    const int count = std::clamp(slots.FindCount, 0, kMaxStrings);
    std::vector<std::string> rows(slots.FindStrings.begin(), slots.FindStrings.begin() + count);
    if (rows.empty()) rows.emplace_back();
    return rows;
}

int TakeFindSetRows(const std::vector<std::string>& rows, StringSlots& slots) {
    for (std::string& s : slots.FindStrings)
        s.clear();
    slots.FindCount = 0;
    int dropped = 0;
    for (const std::string& row : rows) {
        if (trimView(row).empty()) continue;
        if (slots.FindCount < kMaxStrings)
            slots.FindStrings[static_cast<std::size_t>(slots.FindCount++)] = row;
        else
            ++dropped;
    }
    return dropped;
}

std::string FindSetText(const StringSlots& slots) {
    const int count = std::clamp(slots.FindCount, 0, kMaxStrings);
    if (count <= 1) return count == 1 ? slots.FindStrings[0] : std::string();
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += '<';
        text += slots.FindStrings[static_cast<std::size_t>(i)];
        text += '>';
    }
    return text;
}

int NumberLinesRows(std::string_view text) {
    const std::string_view t = trimView(text);
    long long value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || end != t.data() + t.size()) return 1;
    if (ec == std::errc::result_out_of_range) return t.front() == '-' ? 1 : kMaxStrings;
    if (ec != std::errc()) return 1;
    // A table has at least one row, and rows past the last slot could never be searched.
    return static_cast<int>(std::clamp<long long>(value, 1, kMaxStrings));
}

} // namespace vesk
