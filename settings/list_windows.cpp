#include "settings/list_windows.h"

#include <algorithm>

#include "lib/text.h"

namespace vesk {

namespace {

void appendJoined(std::string& text, std::string_view entry) {
    if (!text.empty()) text += ',';
    text += entry;
}

} // namespace

std::vector<CheckRow> FillFolderRows(const SavedSettings& saved) {
    std::vector<CheckRow> rows;
    rows.reserve(kSavedSlots);
    for (int n = 0; n < kSavedSlots; ++n)
        rows.push_back({saved.SavedFolder[n], saved.SavedFolderSelected[n]});
    return rows;
}

void TakeFolderRows(const std::vector<CheckRow>& rows, SavedSettings& saved, RunLists& lists) {
    lists.FolderList.clear();
    const std::size_t n = std::min<std::size_t>(rows.size(), kSavedSlots);
    for (std::size_t i = 0; i < n; ++i) {
        saved.SavedFolder[i] = rows[i].text;
        saved.SavedFolderSelected[i] = rows[i].checked;
        if (rows[i].checked) lists.FolderList.push_back(rows[i].text);
    }
}

std::vector<CheckRow> FillFilespecRows(SavedSettings& saved) {
    if (saved.SavedFilespec[0].empty()) saved.SavedFilespec[0] = kAllFilesMask;
    std::vector<CheckRow> rows;
    for (int n = 0; n < kSavedSlots; ++n) {
        std::string mask = trim(saved.SavedFilespec[n]);
        if (!mask.empty()) rows.push_back({std::move(mask), saved.SavedFilespecSelected[n]});
    }
    return rows;
}

void TakeFilespecRows(const std::vector<CheckRow>& rows, SavedSettings& saved, RunLists& lists) {
    lists.FilespecList.clear();
    lists.FilespecText.clear();
    bool all = false;
    const std::size_t n = std::min<std::size_t>(rows.size(), kSavedSlots);
    for (std::size_t i = 0; i < n; ++i) {
        const CheckRow& row = rows[i];
        saved.SavedFilespec[i] = row.text;
        saved.SavedFilespecSelected[i] = row.checked;
        // A checked row left empty by DEL is no mask to search.
        if (!row.checked || trimView(row.text).empty()) continue;
        if (xcSameText(row.text, kAllFilesMask)) all = true;
        lists.FilespecList.push_back(row.text);
        appendJoined(lists.FilespecText, row.text);
    }
    // The rows were filled from every non-empty slot, packed together; a slot past the last row
    // still holding its old mask would now show that mask twice.
    for (std::size_t i = n; i < kSavedSlots; ++i) {
        saved.SavedFilespec[i].clear();
        saved.SavedFilespecSelected[i] = false;
    }
    if (all) lists.FilespecList.assign(1, std::string(kAllFilesMask));
}

AddRowResult AddFilespecRow(std::vector<CheckRow>& rows, std::string_view mask) {
    const std::string text = trim(mask);
    if (text.empty()) return AddRowResult::Blank;
    for (CheckRow& row : rows) {
        if (trimView(row.text).empty()) {
            row.text = text;
            return AddRowResult::Added;
        }
    }
    if (rows.size() >= static_cast<std::size_t>(kSavedSlots)) return AddRowResult::Full;
    rows.push_back({text, false});
    return AddRowResult::Added;
}

void ClearRow(std::vector<CheckRow>& rows, std::size_t index) {
    if (index < rows.size()) rows[index] = {};
}

std::vector<std::string> memoLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", start);
        if (brk == text.npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, brk - start));
        start = brk + (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

StringLinesTaken TakeStringLines(std::string_view memoText, StringSlots& slots) {
    const std::vector<std::string> lines = memoLines(memoText);
    StringLinesTaken taken;
    if (!lines.empty()) taken.firstLine = lines.front();
    for (std::string& s : slots.FindStrings)
        s.clear();
    slots.FindCount = 0;
    for (const std::string& line : lines) {
        if (trimView(line).empty()) continue;
        if (slots.FindCount < kMaxStrings)
            slots.FindStrings[slots.FindCount++] = line;
        else
            ++taken.dropped;
    }
    return taken;
}

std::string TooManyStringsMessage(int dropped) {
    return "Only " + numberText(kMaxStrings) + " strings can be searched; " + numberText(dropped) +
           " more lines were left out.";
}

std::vector<std::string> ResetStringLines(StringSlots& slots, std::string_view stringBox) {
    // The slots are filled without gaps, so an empty slot 0 means no strings at all: the string
    // box becomes the one string, counted, so the memo shows what the run will search.
    if (slots.FindStrings[0].empty() && !trimView(stringBox).empty()) {
        slots.FindStrings[0] = std::string(stringBox);
        slots.FindCount = std::max(slots.FindCount, 1);
    }
    const int count = std::clamp(slots.FindCount, 0, kMaxStrings);
    return {slots.FindStrings.begin(), slots.FindStrings.begin() + count};
}

} // namespace vesk
