#pragma once
// The plain text listing of a grid: the header as it is, an empty line, then one line per row
// (headings and errors included) with the shown columns lined up; lines end with CR LF.
//
// Shown columns are those wider than 1 pixel. Every shown column before the last one that holds
// text is padded with blanks to its longest cell (trailing blanks removed) + 1; the cells of that
// last column and of any shown column after it lose their trailing blanks.

#include <string>
#include <string_view>

#include "lib/string_grid.h"

namespace vesk {

// The listing's bytes.
std::string gridListingText(const StringGrid& grid, std::string_view header);

// xcGridToText: writes the listing to `fileName`, replacing it. Throws std::system_error.
void xcGridToText(const StringGrid& grid, const std::string& fileName, std::string_view header);

} // namespace vesk
