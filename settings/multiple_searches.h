#pragma once
// The "Multiple Searches" table of the history window, apart from its widgets: the table rows
// shown for the string slots, the strings taken back into the slots, the "Number lines" box, the
// joined display text, and the help shown before a find-set file is chosen.

#include <string>
#include <string_view>
#include <vector>

#include "lib/string_slots.h"

namespace vesk {

// The column of the table: one row per filled slot, and at least one (empty) row.
std::vector<std::string> FindSetRows(const StringSlots& slots);

// "Use for Searches": every row that is not blank, as written, into the next slot from 0, after
// emptying all of them. Rows past the 200th non-blank one have no slot: their number is returned.
int TakeFindSetRows(const std::vector<std::string>& rows, StringSlots& slots);

// The taken strings for display: with more than one, each in "<" and ">" with nothing between;
// otherwise the single string, or empty.
std::string FindSetText(const StringSlots& slots);

// The table's row count for the text of "Number lines": its integer value, 1 when the text is not
// a number, and never more rows than there are string slots.
int NumberLinesRows(std::string_view text);

// Shown before either file dialog of the table.
inline constexpr std::string_view kFindSetHelp =
    "You can load strings for Search from a file\r\n"
    "First column has Find strings (cannot be blank)\r\n\r\n"
    "Other columns are ignored here\r\n"
    "(second column only used for Find/Replace)\r\n\r\n"
    "Columns in a line are separated by Tab character\r\n"
    "(strings cannot have Tab in them)";

} // namespace vesk
