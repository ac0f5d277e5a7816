#pragma once
// What a search run reads from the main window. The run reads it at start and again for every
// file, so a change made while a run is under way applies to the files that follow.

#include <string>
#include <vector>

namespace vesk {

enum class LoadMethod { Standard = 0, InUse = 1, AsciiDisabled = 2 };

// The options the run reads again before every file: flags only, cheap to read per file.
struct FileOptions {
    int FilespecMode = 1; // 1 simple, 2 advanced
    int StringsMode = 1;  // 1 simple (the string box), 2 the string slots
    bool ReplaceOn = false;
    bool OmitBinBak = true;
    bool OmitVeskSR = true;
    bool SearchFilename = false;
    bool ListAllFilenames = false;
    bool Fast = true;
    LoadMethod loadMethod = LoadMethod::InUse;
    bool LinesWithNoMatchesOnly = false;
    bool FilesWithNoMatch = false;
    bool ConfirmEachLine = true;
    bool ConfirmEachFile = true;
    bool PreserveSpaces = false;
};

struct SearchOptions : FileOptions {
    int FolderMode = 1; // 1 simple (FolderText box), 2 advanced (FolderList)

    std::string folderBox;   // edtFolder
    std::string filespecBox; // edtFileSpec
    std::string stringBox;   // edtString

    // The advanced lists and their ","-joined texts, as the list windows last built them.
    std::vector<std::string> FolderList, FilespecList, StringsList;
    std::string FolderText, FilespecText, StringsText;

    bool GoogleFind = false;
    bool WholeWordsOnly = false;
    bool RegularExpressions = false; // every search string is a regular expression
    bool CaseInsensitive = true;
    bool SubFolders = false;
    bool TestInfo = false;
    bool AlwaysAdvancedScan = true;
    // Threads that open and search the files ahead of the current one, read at start; 0 and 1
    // mean none. Replace on reads nothing ahead whatever this says.
    unsigned Workers = 0;
};

} // namespace vesk
