#pragma once
// The advanced folder, file-mask and string lists as a search run reads them: built from the saved
// slots and the string slots, with the texts and counts the main window shows in its three boxes.
// The main window copies `MainBoxes` to and from its controls; these functions never touch a
// widget.

#include <string>
#include <string_view>
#include <vector>

#include "lib/program_folder.h"
#include "lib/string_slots.h"
#include "settings/settings.h"

namespace vesk {

// The run's lists and their ","-joined texts (no blanks), rebuilt when a list window closes.
struct RunLists {
    std::vector<std::string> FolderList, FilespecList, StringsList;
    std::string FolderText, FilespecText, StringsText;
};

// The texts of the main-window controls that the list operations write; a field an operation
// leaves alone keeps whatever the caller put in it.
struct MainBoxes {
    std::string edtFolder, lblFolderCount;
    std::string edtFileSpec, lblFilespecCount;
    std::string edtString, edtStringHint, lblStringsCount;
    std::string SearchText;
};

inline constexpr std::string_view kNounFolder = "Folder";
inline constexpr std::string_view kNounFilespec = "Filespec";
inline constexpr std::string_view kNounString = "String";
inline constexpr std::string_view kAllFilesMask = "*.*";

// "1 Folder", "0 Folders", "3 Strings".
std::string CountLabelText(long long count, std::string_view noun);
void SetCountLabel(long long count, std::string_view noun, std::string& label);

// Advanced folder mode: the folder box shows the selected, existing saved folders and their count.
// Simple mode: nothing changes.
void RefreshFolderSet(const SavedSettings& saved, MainBoxes& boxes);
// FolderList/FolderText := the selected, existing saved folders. The folder box then shows
// FolderText (advanced) or the first saved folder when there is one (simple).
void BuildFolderList(const SavedSettings& saved, RunLists& lists, MainBoxes& boxes);
// Advanced file-mask mode: the mask box shows FilespecText and the count of FilespecList.
void RefreshFilespecSet(const SavedSettings& saved, const RunLists& lists, MainBoxes& boxes);
// Advanced file-mask mode only: FilespecList/FilespecText := the selected saved masks, or "*.*"
// alone when a selected mask is "*.*"; the mask box and its count follow.
void BuildFilespecList(const SavedSettings& saved, RunLists& lists, MainBoxes& boxes);
// Advanced string mode only: StringsList/StringsText := the non-blank string slots; the string box,
// its hint (one string per line), its count (FindCount) and SearchText follow.
void BuildStringList(const SavedSettings& saved, const StringSlots& slots, RunLists& lists,
                     MainBoxes& boxes);

} // namespace vesk
