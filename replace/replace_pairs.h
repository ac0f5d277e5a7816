#pragma once
// The replace dialog's moves between its two-column grid of pairs and the table, as rules
// without widgets. The pair count follows the rows of the grid, so a row left blank reaches the
// search run, which refuses it ("Search array contains blank elements - fix!").

#include <string>
#include <string_view>

#include "lib/dialogs.h"
#include "lib/string_grid.h"
#include "lib/string_slots.h"

namespace vesk {

// PairsToGrid: with no pairs, one row showing `currentSearch` in both columns (and that pair
// stored); otherwise one row per pair. Returns the pair count.
int PairsToGrid(StringSlots& table, StringGrid& grid, std::string_view currentSearch);

// GridToPairs (when the grid was edited): pair r := the grid's row r (find string as typed,
// replacement as typed), for every row; the count := the number of rows. More than 200 rows are
// refused with a message and change nothing. True when stored.
bool GridToPairs(const StringGrid& grid, StringSlots& table, Dialogs& dialogs);

// What the main window shows of the pairs after GridToPairs.
struct PairsDisplay {
    std::string searchText; // edtString: "Replace - Strings to find:" CR LF ",s1,s2..."
    std::string hint;       // edtString's hint: the find strings, one per line
    std::string countLabel; // lblStringsCount: "3 Strings", "1 String"
};
PairsDisplay pairsDisplay(const StringSlots& table);

// lblFindStrAmx: "Number strings to search for=" and the count.
std::string findStringsCountText(int count);

// edtNumStringsExit: the number typed, or 1 when it is not a number or below 1; above 200 the
// user is told and 200 is used.
int gridRowsFromText(std::string_view text, Dialogs& dialogs);

} // namespace vesk
