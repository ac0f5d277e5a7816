#pragma once
// Find/replace set files and the moves between the table of pairs and a two-column grid.
//
// Set file format: one pair per line (lines end at CR LF, CR or LF); fields are split on TAB:
// field 1 the find string, field 2 the replacement, further fields ignored; no TAB: an empty
// replacement. Lines that are blank, or whose find string is blank, are skipped. Fields are kept
// as they stand (blanks at their ends included). The n-th accepted line becomes pair n-1.
// At most 200 pairs are held: a larger set is refused whole, with a message, leaving the table as
// it was.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/dialogs.h"
#include "lib/string_grid.h"
#include "lib/string_slots.h"

namespace vesk {

struct FindPair {
    std::string find;
    std::string replacement;
    bool operator==(const FindPair&) const = default;
};

// The accepted pairs of a set file's text, in order.
std::vector<FindPair> parseFindSet(std::string_view text);

// The message for a set or grid holding more pairs than the table takes.
std::string tooManyPairsText(std::string_view what, std::size_t count);

// ImportFindSet: `columns` 1 loads find strings only (the replacements stay as they were), 2 loads
// both. Nothing happens when the file does not exist. True when the table was loaded; a file that
// cannot be read or holds more than 200 pairs leaves the table unchanged and tells the user.
bool ImportFindSet(int columns, const std::string& fileName, StringSlots& table, Dialogs& dialogs);

// FindSetToGrid: the grid gets one row per pair (at least one row) with the find string in column
// 0 and, with 2 columns, the replacement in column 1. Nothing without a grid.
void FindSetToGrid(int columns, const StringSlots& table, StringGrid* grid);

// GridToFindSet: the table rebuilt from the grid's rows whose column 0 is not blank, without gaps
// (with 2 columns, column 1 is the replacement). Returns FindSetText: "<s1><s2>..." for more than
// one pair, else the first find string alone; the caller shows it in its edit box. More than 200
// such rows: the table is left unchanged, the user is told, and nothing is returned.
std::optional<std::string> GridToFindSet(int columns, const StringGrid& grid, StringSlots& table,
                                         Dialogs& dialogs);

} // namespace vesk
