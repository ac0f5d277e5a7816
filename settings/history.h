#pragma once
// The search history: the strings searched since the program started, kept in memory only and
// never written to the settings file. Entries are unique without regard to case (a..z), oldest
// first; the history window lists them newest first.

#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// How the last search strings were chosen: one string, or the multiple-search table.
inline constexpr int kStringKindSingle = 1;
inline constexpr int kStringKindMultiple = 2;

struct SearchHistory {
    std::vector<std::string> HistoryList; // oldest first
    int StringKind = kStringKindSingle;
    // The strings last taken by "Use for Searches", joined for display (see FindSetText).
    std::string FindSetText;
};

// Appends the text unless it is empty, already present (compared without regard to case) or holds
// a line break: a search string is one line, and a text of several lines is a listing of strings
// (such as the replace dialog's "Replace - Strings to find:") that was never searched as such.
void AddToHistory(std::vector<std::string>& historyList, std::string_view text);

// The entries as the history window lists them: the most recent first.
std::vector<std::string> HistoryNewestFirst(const std::vector<std::string>& historyList);

// The history button, before its window shows: in simple strings mode the last choice becomes a
// single string; then, for a single string, the string box and the last run's search string join
// the history, so both can be picked again.
void HistoryButtonAdds(SearchHistory& history, int stringsMode, std::string_view stringBox,
                       std::string_view lastSearchString);

} // namespace vesk
