#pragma once
// The paged report of a text listing, and xcPrintFile, which makes it and opens it in the viewer
// named by "EditFile" in the shared settings file "Ostrel.INI".

#include <string>
#include <string_view>

#include "lib/clock.h"
#include "lib/commands.h"
#include "results/report_viewer.h"

namespace vesk {

inline constexpr int kReportPageLines = 56;

// "Ostrel " + the listing's full name + " Printed " + "dd-mmm-yy" + " " + "hh:nn:ss" + " Page " n.
std::string reportPageHeader(std::string_view listingName, DateValue printedAt, int page);

// The report's bytes: before the first line of `listing` and before every further 56 lines, the
// page header of the next page (from 1). Lines end with CR LF; an empty listing has no page.
std::string pagedReportText(std::string_view listing, std::string_view listingName,
                            DateValue printedAt);

// The report file for listing F: F itself when F's file name holds "Rep" (any case), so a report
// is never paged twice; otherwise "Report-" + F's file name in `folder` (ending in "/").
std::string reportFileNameFor(std::string_view listingName, std::string_view folder);

// The viewer as the message names it: without folder and extension when it holds "Notepad" (any
// case), else as it is.
std::string viewerDisplayName(std::string_view viewer);

struct PrintOptions {
    std::string reportFolder;                                      // ends in "/"
    std::string sharedSettings = std::string(kSharedSettingsName); // in the current folder
};

// xcPrintFile(F, K): makes the report R (unless F is one), reads the viewer V, writes
// "Printfile R K V" to the run log, tells the user where R is and starts V on R.
// Errors reading F or writing R are thrown as std::system_error before anything is started; a run
// log that cannot be written is shown and printing goes on. True when the viewer started.
bool xcPrintFile(const CommandContext& cx, const std::string& fileName, std::string_view kind,
                 const PrintOptions& options);

} // namespace vesk
