#pragma once
// The string slots of a multiple-string search and the replacement table beside them: filled
// without gaps, shared by the search run, the replace dialog, the advanced lists and the history.

#include <array>
#include <string>

namespace vesk {

constexpr int kMaxStrings = 200;

struct StringSlots {
    std::array<std::string, kMaxStrings> FindStrings;
    std::array<std::string, kMaxStrings> ReplaceStrings;
    int FindCount = 0;
};

} // namespace vesk
