#pragma once
// The values "Text/Print" prepares for the text listing and the exports: the report's date and
// time, its file name in the output folder and its header. They are made anew at every press, so
// every press gives new file names (to the second).

#include <string>
#include <string_view>

#include "lib/clock.h"

namespace vesk {

// What the main window shows when "Text/Print" is pressed.
struct ReportSource {
    std::string SearchStringsText;   // of the last run (SearchState)
    std::string FoldersSearchedText; // of the last run (SearchState)
    std::string folderCountText;     // lblFolderCount
    std::string fileSpecText;        // edtFileSpec
    std::string statusText;          // lblFile: the last run's summary
    std::string stringsText;         // the string box as shown: the Text field of the exports
};

struct TextReport {
    std::string ReportDateTime; // "yyyy-mm-dd hh:nn:ss"
    std::string ReportFileName; // folder + "Vesk-" + "yymmdd-hhnnss" + ".txt"
    std::string ReportText;     // the header of the listing, several CR LF-ended lines
    std::string StringsText;
};

// The header: "Vesk results for: ", the strings text, "Folder: ", the folders text, "Number
// Folders: ", the folder count, "Filespec: ", the mask, an empty line and the status text.
std::string ReportTextFor(const ReportSource& source);

// The values for the moment `now`; `folder` ends in "/".
TextReport PrepareTextReport(const ReportSource& source, DateValue now, std::string_view folder);

} // namespace vesk
