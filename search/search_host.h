#pragma once
// What a search run needs of the main window. The window implements it with Qt; vesk-cli and the
// tests implement it with recorders. The hooks of later features default to doing nothing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/string_grid.h"
#include "search/search_options.h"

namespace vesk {

class TNarvFindFiles;
class Regex;

// A file with hits handed to the replace review.
struct ReviewRequest {
    std::string path;
    std::string logFile; // the search/replace log
    bool wholeWordsOnly = false;
    bool preserveSpaces = false;
    bool caseInsensitive = true;
    bool confirmEachLine = true;
    bool confirmEachFile = true;
    // With the regular-expression option the run's compiled find strings, pair i's at i; they
    // live as long as the run.
    bool regularExpressions = false;
    const std::vector<Regex>* expressions = nullptr;
    std::uint64_t runNumber = 0; // which run of the program asks; a run rewrites a file once
};

struct ReviewOutcome {
    int replaced = 0;
    bool replaceOn = true; // false: the review switched Replace off (or aborted the run)
};

class SearchHost {
public:
    virtual ~SearchHost() = default;

    virtual SearchOptions readOptions() = 0;
    // What the run reads before every file; a host whose full options are costly to build (its
    // lists of strings and folders) gives the flags alone.
    virtual FileOptions readFileOptions() { return readOptions(); }
    virtual StringGrid& grid() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual const Clock& clock() = 0;

    virtual void setStatusText(std::string_view text) = 0;   // lblFile
    virtual void setProgressText(std::string_view text) = 0; // lblProgress2
    virtual void markStatus(int mode) = 0;                   // status colour
    virtual void processEvents() = 0;
    // Called at every file boundary and while the run waits for a file read ahead. A window
    // handles its pending events here when it last did so long enough ago, so Stop and the page
    // tabs answer at once; the status texts keep their own throttles.
    virtual void betweenFiles() {}
    virtual void focusStringBox() = 0;
    virtual void focusGrid() = 0;

    virtual void fitResultColumns() = 0;
    virtual void resetSpeedDisplay() = 0;     // cmbSpeedDisplay back to its first entry
    virtual void setGridDisplay(bool on) = 0; // by the speed-display item
    virtual void setRunColumnWidth() = 0;     // column 1 width for the run
    virtual void setLoadMethod(LoadMethod m) = 0;

    // Window phases: 2 searching, 3 viewing (the run keeps `Searching` itself).
    virtual void showPhase(int phase) = 0;
    // 1 turns Replace off and hides its indicator.
    virtual void setReplaceIndicator(int mode) = 0;

    // Sets the scanner's date range; false (after telling the user) ends the run before scanning.
    virtual bool applyDateSelection(TNarvFindFiles& /*scanner*/) { return true; }
    virtual void addToHistory(const std::string& /*searchString*/) {}
    virtual ReviewOutcome reviewFile(const ReviewRequest& /*request*/) { return {}; }
    // The run has written `row` in full; a front end without a grid view prints it at once.
    virtual void rowWritten(int /*row*/) {}
    // Files searched while the folders are still listed have their rows from `row` on; when the
    // listing ends, its own rows are written after them and then moved before them with
    // rowsMoved. A front end that prints those rows keeps the ones from `row` until then.
    virtual void rowsAheadOfListing(int /*row*/) {}
    // Rows [middle, end) were moved before rows [first, middle) (as std::rotate moves them).
    virtual void rowsMoved(int /*first*/, int /*middle*/, int /*end*/) {}
};

} // namespace vesk
