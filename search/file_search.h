#pragma once
// The steps of searching one file that touch the file: its name rules, opening it with the text
// test, and searching its lines. The run calls them on the GUI thread or has a read-ahead worker
// call them, so both ways of running find the same thing by the same code.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lib/clock.h"
#include "search/line_search.h"
#include "search/text_file_reader.h"
#include "search/text_test.h"

namespace vesk {

// The options read for each file that decide what reading the file finds. A file read ahead under
// other rules than those in force at its turn is searched again.
struct FileRules {
    bool omitBinBak = true;
    bool omitVeskSR = true;
    int filespecMode = 1;
    bool invert = false;           // lines with no matches only
    bool countPartialHits = false; // all-words find with files with no match
    bool operator==(const FileRules&) const = default;
};

// The line query of a run in the four forms the rules ask for.
class QuerySet {
public:
    QuerySet() = default;
    explicit QuerySet(const LineQuery& base);
    const LineQuery& forRules(const FileRules& rules) const {
        return forms_[(rules.invert ? 2 : 0) + (rules.countPartialHits ? 1 : 0)];
    }

private:
    std::array<LineQuery, 4> forms_;
};

// The name rules fixed at the start of a run.
struct NameRules {
    bool mapInMask = false;      // the mask text holds ".map": such files are not excluded
    bool exactExtension = false; // a simple mask ending in a dot and three characters
    std::string specExt;
};

// Backup, binary and the program's own search/replace files, by a substring of the full path.
bool excludedByName(const std::string& path, const FileRules& rules, const NameRules& names);
// A simple mask such as *.htm takes only files with exactly that extension.
bool wrongExtension(const std::string& path, const FileRules& rules, const NameRules& names);

// What opening a file and testing its first bytes found.
struct FileCheck {
    bool exists = false;         // a regular file, or a link to one
    bool wrongExtension = false; // exists, but the mask's extension excludes it
    TextTestResult text;         // isText: the reader holds the file open for searching
    DateValue deadline = 0;      // two seconds after the first access
};

// Checks a file whose name passed `excludedByName`. With `wrongExt` the file is only looked up
// (its name heading may still be written); otherwise it is opened into `reader` and text-tested.
FileCheck checkFile(const std::string& path, bool wrongExt, TextFileReader& reader,
                    const Clock& clock);

// What searching a file's lines found besides the matches handed to the visitor.
struct FileTally {
    bool loaded = true;
    std::string loadError; // the system's text when reading failed midway
    std::uint64_t linesExamined = 0;
    std::uint64_t hitLines = 0;
    bool timedOut = false;  // the two-second budget struck
    bool cancelled = false; // given up between segments: the tally is incomplete
};

class Regex;
class RegexMatcher;

// The run's strings as regular expressions (in the query's order) and the searching thread's own
// matcher; without expressions the query's literal strings are searched.
struct ExpressionSearch {
    const std::vector<Regex>* expressions = nullptr;
    RegexMatcher* matcher = nullptr;
};

// Searches the text `reader` holds (after checkFile found it text) and closes it. `stopWhen`, when
// given, is asked between segments whether to give the file up.
FileTally searchText(TextFileReader& reader, const LineQuery& query, const Clock& clock,
                     DateValue deadline, LineVisitor& visitor,
                     const std::function<bool()>& stopWhen = {},
                     const ExpressionSearch& expressions = {});

} // namespace vesk
