#pragma once
// What the folder, file-mask and string list windows do with their rows and lines, apart from the
// widgets: filling the rows from the saved slots, taking them back, adding and deleting masks, and
// turning the strings memo into the string slots. The windows in ui/ show and edit `CheckRow`s.

#include <string>
#include <string_view>
#include <vector>

#include "lib/string_slots.h"
#include "settings/advanced_lists.h"
#include "settings/settings.h"

namespace vesk {

struct CheckRow {
    std::string text;
    bool checked = false;
    bool operator==(const CheckRow&) const = default;
};

// Folder window: always the 11 slots, empty slots as empty rows.
std::vector<CheckRow> FillFolderRows(const SavedSettings& saved);
// Row i becomes slot i; FolderList := the checked rows' texts, untested (the memo shows them; the
// run's list is rebuilt with its tests when the window closes).
void TakeFolderRows(const std::vector<CheckRow>& rows, SavedSettings& saved, RunLists& lists);

// File-mask window: an empty first slot becomes "*.*"; the rows are the non-empty slots (trimmed)
// in slot order, each with its slot's check mark.
std::vector<CheckRow> FillFilespecRows(SavedSettings& saved);
// Row i becomes slot i and the slots after the last row are emptied, since the rows hold every
// mask. FilespecList/FilespecText := the checked masks ("*.*" alone in the list when it is one).
void TakeFilespecRows(const std::vector<CheckRow>& rows, SavedSettings& saved, RunLists& lists);

enum class AddRowResult { Added, Blank, Full };
// "Add": the trimmed mask goes into the first empty row, else into a new unchecked row; refused
// when blank, or when every one of the 11 slots already holds a mask.
AddRowResult AddFilespecRow(std::vector<CheckRow>& rows, std::string_view mask);
inline constexpr std::string_view kFilespecSlotsFull =
    "All 11 filespec slots are in use. Delete one (DEL) before adding another.";

// The Delete key: the row stays, empty and unchecked. Out of range: nothing.
void ClearRow(std::vector<CheckRow>& rows, std::size_t index);

// The strings memo's OK: every non-blank line, as written, into the next string slot from 0.
struct StringLinesTaken {
    std::string firstLine; // the memo's first line, for the string box; empty for an empty memo
    int dropped = 0;       // non-blank lines past the 200th, which have no slot
};
StringLinesTaken TakeStringLines(std::string_view memoText, StringSlots& slots);
std::string TooManyStringsMessage(int dropped);

// "Reset to Saved Defaults" of the strings window: the memo lines for the current string slots.
// With slot 0 empty, a non-blank string box becomes the first string.
std::vector<std::string> ResetStringLines(StringSlots& slots, std::string_view stringBox);

// The lines of a memo's text, split at CR, LF or CR LF.
std::vector<std::string> memoLines(std::string_view text);

} // namespace vesk
