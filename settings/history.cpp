#include "settings/history.h"

#include <algorithm>

#include "lib/text.h"
#include "settings/settings.h"

namespace vesk {

void AddToHistory(std::vector<std::string>& historyList, std::string_view text) {
    if (text.empty() || text.find_first_of("\r\n") != std::string_view::npos) return;
    const bool present = std::any_of(historyList.begin(), historyList.end(),
                                     [&](const std::string& s) { return equalsNoCase(s, text); });
    if (!present) historyList.emplace_back(text);
}

std::vector<std::string> HistoryNewestFirst(const std::vector<std::string>& historyList) {
    return {historyList.rbegin(), historyList.rend()};
}

void HistoryButtonAdds(SearchHistory& history, int stringsMode, std::string_view stringBox,
                       std::string_view lastSearchString) {
    if (stringsMode != kModeAdvanced) history.StringKind = kStringKindSingle;
    if (history.StringKind != kStringKindSingle) return;
    AddToHistory(history.HistoryList, stringBox);
    AddToHistory(history.HistoryList, lastSearchString);
}

} // namespace vesk
