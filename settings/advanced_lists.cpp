#include "settings/advanced_lists.h"

#include "lib/text.h"

namespace vesk {

namespace {

void appendJoined(std::string& text, std::string_view entry) {
    if (!text.empty()) text += ',';
    text += entry;
}

} // namespace

std::string CountLabelText(long long count, std::string_view noun) {
    std::string label = numberText(count);
    label += ' ';
    label += noun;
    if (count != 1) label += 's';
    return label;
}

void SetCountLabel(long long count, std::string_view noun, std::string& label) {
    label = CountLabelText(count, noun);
}

void RefreshFolderSet(const SavedSettings& saved, MainBoxes& boxes) {
    if (saved.FolderMode != kModeAdvanced) return;
    boxes.edtFolder.clear();
    int count = 0;
    std::string text;
    for (int n = 0; n < kSavedSlots; ++n) {
        const std::string folder = trim(saved.SavedFolder[n]);
        if (saved.SavedFolderSelected[n] && !folder.empty() && isExistingFolder(folder)) {
            ++count;
            appendJoined(text, folder);
        }
    }
    boxes.edtFolder = text;
    SetCountLabel(count, kNounFolder, boxes.lblFolderCount);
}

void BuildFolderList(const SavedSettings& saved, RunLists& lists, MainBoxes& boxes) {
    lists.FolderList.clear();
    lists.FolderText.clear();
    for (int n = 0; n < kSavedSlots; ++n) {
        const std::string& folder = saved.SavedFolder[n];
        if (!trimView(folder).empty() && isExistingFolder(folder) && saved.SavedFolderSelected[n]) {
            lists.FolderList.push_back(folder);
            appendJoined(lists.FolderText, folder);
        }
    }
    if (saved.FolderMode == kModeAdvanced)
        boxes.edtFolder = lists.FolderText;
    else if (!saved.SavedFolder[0].empty())
        boxes.edtFolder = saved.SavedFolder[0];
}

void RefreshFilespecSet(const SavedSettings& saved, const RunLists& lists, MainBoxes& boxes) {
    if (saved.FilespecMode != kModeAdvanced) return;
    boxes.edtFileSpec = lists.FilespecText;
    SetCountLabel(static_cast<long long>(lists.FilespecList.size()), kNounFilespec,
                  boxes.lblFilespecCount);
}

void BuildFilespecList(const SavedSettings& saved, RunLists& lists, MainBoxes& boxes) {
    if (saved.FilespecMode != kModeAdvanced) return;
    lists.FilespecList.clear();
    lists.FilespecText.clear();
    bool all = false;
    for (int n = 0; n < kSavedSlots; ++n) {
        const std::string& mask = saved.SavedFilespec[n];
        // A selected slot without a mask (hand-edited file) would hand the scanner an empty mask.
        if (!saved.SavedFilespecSelected[n] || trimView(mask).empty()) continue;
        if (xcSameText(mask, kAllFilesMask)) all = true;
        lists.FilespecList.push_back(mask);
        appendJoined(lists.FilespecText, mask);
    }
    if (all) {
        lists.FilespecList.assign(1, std::string(kAllFilesMask));
        lists.FilespecText = kAllFilesMask;
    }
    boxes.edtFileSpec = lists.FilespecText;
    SetCountLabel(static_cast<long long>(lists.FilespecList.size()), kNounFilespec,
                  boxes.lblFilespecCount);
}

void BuildStringList(const SavedSettings& saved, const StringSlots& slots, RunLists& lists,
                     MainBoxes& boxes) {
    if (saved.StringsMode != kModeAdvanced) return;
    lists.StringsList.clear();
    lists.StringsText.clear();
    std::string hint;
    for (const std::string& s : slots.FindStrings) {
        if (trimView(s).empty()) continue;
        lists.StringsList.push_back(s);
        appendJoined(lists.StringsText, s);
        if (!hint.empty()) hint += '\n';
        hint += s;
    }
    boxes.edtString = lists.StringsText;
    boxes.edtStringHint = hint;
    SetCountLabel(slots.FindCount, kNounString, boxes.lblStringsCount);
    boxes.SearchText = lists.StringsText;
}

} // namespace vesk
