#pragma once
// --format listing|tsv|csv: the text listing and the tab-delimited and CSV exports of a finished
// run, byte for byte as "Text Output Options" writes them to its files (tsv: without the "sep="
// line; csv: with it; both with the column headers, as the window's check boxes start).

#include <iosfwd>
#include <string>

#include "app/cli_options.h"
#include "lib/clock.h"
#include "lib/string_grid.h"
#include "results/text_report.h"
#include "search/search_state.h"

namespace vesk::cli {

bool isExportFormat(Format format);

// What the main window would show after this run: the run's heading texts, the folder count, the
// mask and strings boxes, and the summary in `status`.
ReportSource reportSourceFor(const SearchOptions& options, const SearchState& state,
                             const std::string& status);

// Writes the export of the run's grid. The grid first takes the results grid's design widths, so
// the listing holds the same columns as the window's.
void printExport(StringGrid& grid, const ReportSource& source, Format format, DateValue now,
                 std::ostream& out);

} // namespace vesk::cli
