#pragma once
// One search: reads the options, validates the strings, lists the files, searches each file and
// writes the rows and the summary. Driven on one thread through the SearchHost, which alone
// writes rows and texts; with SearchOptions::Workers above 1, worker threads open and search the
// files ahead (search/read_ahead.h) and the run writes their findings in list order, the same
// rows as alone. Stop acts by clearing `Searching`, tested at the next file, and ends the workers.

#include <memory>
#include <string>

#include "lib/string_slots.h"
#include "search/find_file.h"
#include "search/narv_find_files.h"
#include "search/read_ahead.h"
#include "search/search_host.h"
#include "search/search_state.h"
#include "search/text_file_reader.h"

namespace vesk {

enum class RunResult {
    Done,       // the file loop ran (maybe stopped); the summary is written
    EndedEarly, // an empty or blank string, or nothing to search: nothing was searched
    Busy,       // a run is already under way
    Failed,     // an invalid mask, date or expression: the user was told, the window is ready
};

class SearchRun {
public:
    SearchRun(SearchHost& host, StringSlots& slots);
    ~SearchRun();

    RunResult DoSearch();
    // Stop: " (aborted)" while searching, then clears Searching and the scanner's ContinueScan.
    void Stop();
    // What "Select" and the page tabs do: end the run at the next file without " (aborted)".
    void Cancel();

    const SearchState& state() const { return state_; }
    SearchState& state() { return state_; }
    int ScannerKind() const { return scannerKind_; }
    TFindFile& FindFile1() { return findFile_; }
    TNarvFindFiles& NarvFindFiles1() { return narv_; }
    // The message of the last failed run (an invalid mask, date or expression).
    const std::string& failure() const { return failure_; }
    // The search/replace log: "Vesk-SearchReplace.log" in the first folder searched.
    std::string logFile() const;
    // How far the workers may read ahead (tests make it small).
    ReadAheadLimits readAheadLimits;

private:
    class Impl;
    friend class Impl;

    SearchHost& host_;
    StringSlots& slots_;
    SearchState state_;
    TFindFile findFile_;
    TNarvFindFiles narv_;
    TextFileReader reader_;
    int scannerKind_ = 1;
    std::string failure_;
    ReadAhead* readAhead_ = nullptr; // the workers of the run under way
};

// The summary line of a finished run.
std::string summaryText(const SearchState& state);
// A status path: longer than 80 characters shows as its first 20, "..", its last 20.
std::string shortPathText(const std::string& path);

} // namespace vesk
