#include "app/cli_export.h"

#include <array>
#include <ostream>

#include "lib/program_folder.h"
#include "results/tab_export.h"
#include "results/text_listing.h"
#include "settings/advanced_lists.h"

namespace vesk::cli {

namespace {

// grdFound as designed: the file and position columns are hidden.
constexpr std::array<int, 4> kResultsGridWidths{44, 744, 0, 0};

} // namespace

bool isExportFormat(Format format) {
    return format == Format::Listing || format == Format::Tsv || format == Format::Csv;
}

ReportSource reportSourceFor(const SearchOptions& options, const SearchState& state,
                             const std::string& status) {
    ReportSource s;
    s.SearchStringsText = state.SearchStringsText;
    s.FoldersSearchedText = state.FoldersSearchedText;
    // The window's folder count label speaks only for an advanced folder list.
    if (options.FolderMode == kModeAdvanced)
        s.folderCountText =
            CountLabelText(static_cast<long long>(options.FolderList.size()), kNounFolder);
    s.fileSpecText = options.filespecBox; // the window lists its mask box
    s.statusText = status;
    s.stringsText = options.StringsText;
    return s;
}

void printExport(StringGrid& grid, const ReportSource& source, Format format, DateValue now,
                 std::ostream& out) {
    for (int c = 0; c < grid.colCount() && c < static_cast<int>(kResultsGridWidths.size()); ++c)
        grid.setColWidth(c, kResultsGridWidths[static_cast<std::size_t>(c)]);
    const TextReport report = PrepareTextReport(source, now, tempFolder());
    std::string bytes;
    if (format == Format::Listing) {
        bytes = gridListingText(grid, report.ReportText);
    } else {
        const TabExportOptions choices{format == Format::Csv, true};
        bytes = tabExportText(grid, report.ReportDateTime, report.StringsText, choices);
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace vesk::cli
