#pragma once
// A search run's counters and texts, kept by the main window between runs.

#include <cstdint>
#include <string>
#include <vector>

#include "lib/clock.h"

namespace vesk {

struct SearchState {
    bool Searching = false;
    std::string AbortedText;
    std::string SearchString;
    std::vector<std::string> Words;
    std::string CurrentFile;
    std::int32_t MatchedLines = 0;
    std::int32_t FileHits = 0;
    std::int32_t MatchedFiles = 0;
    std::int32_t MatchedFolders = 0;
    std::int64_t LinesSearched = 0;
    std::int64_t FilesDone = 0;
    std::int32_t ReplacedTotal = 0;
    std::int64_t FileTotal = 0;
    int FirstRow = -1;
    int LastRow = -1;
    std::string SearchStringsText, FoldersSearchedText, ElapsedText, ReplacedText;
    std::vector<std::string> NoMatchFiles;
    DateValue NextStatusTime = 0;
    DateValue FileDeadline = 0;
    std::string StatusText; // the last text written to the status label
};

} // namespace vesk
