#pragma once
// The tab-delimited export of the results grid: one line per match row, seven fields separated by
// one TAB, lines ended by CR LF. Its CSV form starts with the spreadsheets' "sep=" TAB line, is
// named ".csv" and quotes fields as RFC 4180 does, so lines holding quotes or commas read back
// whole. Heading and error rows never appear.

#include <array>
#include <string>
#include <string_view>

#include "lib/string_grid.h"

namespace vesk {

// The check boxes of "Text Output Options".
struct TabExportOptions {
    bool WriteCSV = true;      // cbxWriteCSV "Write as CSV with tab delimited header"
    bool ColumnHeaders = true; // cbxColumnHeaders "Add Column Headers"
};

inline constexpr std::string_view kTabSeparatorLine = "sep=\t";
inline constexpr std::string_view kTabHeaderLine =
    "Date\tText\tFilename\tDateTime\tSize\tLine No.\tLine";

// Date, Text, Filename, DateTime, Size, Line No., Line.
using TabRecord = std::array<std::string, 7>;

// A row is written when column 0, trimmed, is neither empty, "0" nor "-1".
bool isExportedRow(std::string_view column0);

// The export's file name: the report file name without its last 4 characters + "-SS-Tab.txt", or
// with its extension changed to ".csv".
std::string tabExportFileName(std::string_view reportFileName, bool csv);

// A field of the CSV form: in double quotes, its quotes doubled, when it holds a TAB, comma,
// quote, CR or LF; otherwise unchanged.
std::string csvField(std::string_view field);
// A field of the plain form, which has no quoting: TAB, CR and LF become blanks so every line
// keeps its seven fields.
std::string tsvField(std::string_view field);

// The export's bytes. `date` (ReportDateTime) and `stringsText` fill the first two fields of
// every line; the file's date and size are read from the file system (an empty date and size 0
// for a file that no longer exists), once for each run of rows of one file.
std::string tabExportText(const StringGrid& grid, std::string_view date,
                          std::string_view stringsText, const TabExportOptions& options);

} // namespace vesk
