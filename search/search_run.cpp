#include "search/search_run.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "lib/elapsed.h"
#include "lib/program_folder.h"
#include "lib/text.h"
#include "search/file_mask.h"
#include "search/file_search.h"
#include "search/find_pos.h"
#include "search/line_search.h"
#include "search/match_marks.h"
#include "search/read_ahead.h"
#include "search/regex_search.h"

namespace vesk {

namespace {

const char kSeparator[] = "_________________________________"; // 33 underscores

std::string timeOfDayText(DateValue t) {
    const double frac = t - static_cast<double>(static_cast<long long>(t));
    auto secs = static_cast<long long>(frac * 86400.0 + 1e-6);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", secs / 3600 % 24, secs / 60 % 60,
                  secs % 60);
    return buf;
}

} // namespace

std::string summaryText(const SearchState& s) {
    std::string t = "Matched Lines=";
    appendNumber(t, s.MatchedLines);
    t += " of ";
    appendNumber(t, s.LinesSearched);
    if (s.MatchedFolders > 0) {
        t += " - Folders=";
        appendNumber(t, s.MatchedFolders);
    }
    t += " - Files=";
    appendNumber(t, s.MatchedFiles);
    t += " of ";
    appendNumber(t, s.FileTotal);
    t += " - time=" + s.ElapsedText;
    return t;
}

std::string shortPathText(const std::string& path) {
    if (path.size() <= 80) return path;
    return path.substr(0, 20) + ".." + path.substr(path.size() - 20);
}

// One run's working data; lives for the duration of DoSearch.
class SearchRun::Impl final : public LineVisitor {
public:
    Impl(SearchRun& run) : run_(run), host_(run.host_), s_(run.state_), slots_(run.slots_) {}
    ~Impl() {
        run_.readAhead_ = nullptr;
        run_.findFile_.OnFolderListed = nullptr;
        run_.narv_.OnFolderListed = nullptr;
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    RunResult run();

    void onMatch(std::uint64_t lineNumber, std::string_view line, std::size_t position) override;

private:
    // A step that can fail with a message for the user.
    struct StepResult {
        bool ok = true;
        std::string error;
    };

    void addResultRow(std::int64_t lineNumber, std::string_view text, std::string_view file,
                      std::size_t position);
    void addTextRow(std::string_view text) { addResultRow(0, text, "", 0); }
    void addErrorRows(const std::string& file, std::string_view a, std::string_view b);
    void setStatus(std::string_view text);

    void readStartOptions();
    void noteMaskText();
    void clearGrid();
    bool validateStrings();
    void enterSearching();
    void resetCounters();
    void headingTexts();
    void buildQuery();
    bool compileExpressions();
    void markMatch(std::string_view line, std::size_t position);
    StepResult listFiles();
    StepResult prepareScanner();
    void buildSearchList();
    void startReadAhead();
    void onFolderListed();
    void searchReadyFiles();
    void endListing();
    void placeRowsAheadOfListing();
    RunResult failRun(const std::string& message);
    void announceFileLoop();
    void searchFiles();
    void finishRun();

    const std::vector<std::string>& searchList() const;
    void searchOneFile(std::size_t n);
    FileOptions beginFile(std::size_t n);
    std::unique_ptr<FileFindings> takeReadAhead(std::size_t n);
    bool passTextTest(const FileCheck& check);
    void showFileStatus();
    void settleLoadMethod();
    FileTally replay(const FileFindings& found);
    bool countTally(const FileTally& tally);
    void handOverToReview(const FileOptions& now);
    void showSearchProgress();
    void countMatchedPath(const std::string& name);

    SearchRun& run_;
    SearchHost& host_;
    SearchState& s_;
    StringSlots& slots_;
    SearchOptions o_; // read at start; fields read for each file are refreshed per file
    bool googleFind_ = false;
    bool wholeWords_ = false;
    bool caseInsensitive_ = true;
    bool multiFolder_ = false;
    NameRules names_;
    FileRules rules_; // the per-file options of the current file that decide what reading finds
    int headingMode_ = 1;
    LineQuery query_;
    QuerySet queries_;
    bool regex_ = false;
    std::vector<Regex> expressions_; // the query's strings as expressions, with regex_ on
    Regex nameRegex_;
    RegexMatcher matcher_;
    std::uint64_t runNumber_ = 0;
    Finder nameFinder_; // the string tested against file names, built once per run
    bool headingWritten_ = false;
    std::string path_;
    DateValue runStart_ = 0;
    std::unique_ptr<ReadAhead> readAhead_;
    bool listing_ = false;          // the folders are still being listed
    std::size_t searchedAhead_ = 0; // entries searched while listing
    int rowsAheadFrom_ = -1;        // their first row
    int listingRowsFrom_ = -1;      // the first row written once the listing ended
};

void SearchRun::Impl::addResultRow(std::int64_t lineNumber, std::string_view text,
                                   std::string_view file, std::size_t position) {
    StringGrid& g = host_.grid();
    xcGridNewRow(g, s_.LastRow);
    if (s_.FirstRow < 0) s_.FirstRow = s_.LastRow;
    if (lineNumber > 0 || lineNumber == -1) g.setCell(0, s_.LastRow, numberText(lineNumber));
    g.setCell(1, s_.LastRow, text);
    g.setCell(2, s_.LastRow, file);
    if (position > 0) g.setCell(3, s_.LastRow, numberText(static_cast<std::int64_t>(position)));
    host_.rowWritten(s_.LastRow);
}

void SearchRun::Impl::addErrorRows(const std::string& file, std::string_view a,
                                   std::string_view b) {
    addResultRow(-1, file, file, 0);
    addResultRow(-1, a, file, 0);
    addResultRow(-1, b, file, 0);
}

void SearchRun::Impl::setStatus(std::string_view text) {
    s_.StatusText = std::string(text);
    host_.setStatusText(text);
}

void SearchRun::Impl::readStartOptions() {
    host_.fitResultColumns();
    host_.resetSpeedDisplay();
    o_ = host_.readOptions();
    multiFolder_ = o_.FolderMode == 2 || o_.SubFolders;
    host_.markStatus(2);
    googleFind_ = o_.GoogleFind;
    wholeWords_ = o_.WholeWordsOnly;
    caseInsensitive_ = o_.CaseInsensitive;
    regex_ = o_.RegularExpressions;
}

void SearchRun::Impl::noteMaskText() {
    names_.mapInMask = containsNoCase(o_.filespecBox, ".map");
    run_.findFile_.FileMask = o_.filespecBox;
    names_.specExt = trim(fileExtension(o_.filespecBox));
    names_.exactExtension = names_.specExt.size() == 4 && names_.specExt.back() != '*';
}

void SearchRun::Impl::clearGrid() {
    xcGridClear(host_.grid(), 0);
    s_.FirstRow = s_.LastRow = -1;
    host_.setGridDisplay(!(!o_.ReplaceOn && o_.Fast));
}

bool SearchRun::Impl::validateStrings() {
    if (o_.StringsMode != 2) {
        s_.SearchString = o_.stringBox;
        slots_.FindStrings[0] = s_.SearchString;
        slots_.FindCount = 1;
        if (s_.SearchString.empty()) {
            s_.Searching = false;
            host_.focusStringBox();
            return false;
        }
        host_.addToHistory(s_.SearchString);
        return true;
    }
    if (slots_.FindCount < 1) {
        host_.dialogs().showMessage("Nothing to search for");
        s_.Searching = false;
        host_.focusStringBox();
        return false;
    }
    for (int i = 0; i < slots_.FindCount && i < kMaxStrings; ++i) {
        s_.SearchString = trim(slots_.FindStrings[static_cast<std::size_t>(i)]);
        if (s_.SearchString.empty()) {
            host_.dialogs().showMessage("Search array contains blank elements - fix!");
            s_.Searching = false;
            return false;
        }
    }
    return true;
}

void SearchRun::Impl::enterSearching() {
    s_.AbortedText.clear();
    s_.Searching = true;
    host_.showPhase(2);
    s_.Words.clear();
    if (!googleFind_) return;
    s_.Words = xcSplitSearchWords(s_.SearchString);
    if (s_.Words.size() < 2) googleFind_ = false;
    if (googleFind_ && (o_.ReplaceOn || (headingMode_ == 2 && slots_.FindCount > 1)))
        host_.dialogs().showMessage(
            "Warning - Google find cannot be used with either\r\n\r\n1 - Replace or\r\n"
            "2 - Multiple strings find\r\n\r\nReplace and Multiple strings will be turned off");
    o_.ReplaceOn = false;
    host_.setReplaceIndicator(1);
    headingMode_ = 1;
}

void SearchRun::Impl::resetCounters() {
    s_.MatchedLines = s_.MatchedFiles = s_.MatchedFolders = 0;
    s_.LinesSearched = s_.FilesDone = 0;
    s_.ReplacedTotal = 0;
    s_.NoMatchFiles.clear();
    s_.Searching = true;
    ++runNumber_;
    xcElapsedText(1, runStart_, s_.ElapsedText, host_.clock());
}

void SearchRun::Impl::buildQuery() {
    query_ = LineQuery{};
    query_.wholeWordsOnly = wholeWords_;
    if (googleFind_) {
        query_.mode = LineQuery::Mode::AllWords;
        for (const std::string& w : s_.Words)
            query_.finders.emplace_back(w, caseInsensitive_);
    } else if (o_.StringsMode != 2) {
        query_.mode = LineQuery::Mode::Single;
        query_.finders.emplace_back(s_.SearchString, caseInsensitive_);
    } else {
        query_.mode = LineQuery::Mode::Multiple;
        for (int i = 0; i < slots_.FindCount && i < kMaxStrings; ++i)
            query_.finders.emplace_back(slots_.FindStrings[static_cast<std::size_t>(i)],
                                        caseInsensitive_);
    }
    query_.prepare();
    queries_ = QuerySet(query_);
    nameFinder_ = Finder(s_.SearchString, caseInsensitive_);
}

// With the regular-expression option, every string of the query is compiled once per run; an
// invalid one, or a replacement naming a group its expression lacks, refuses the run.
bool SearchRun::Impl::compileExpressions() {
    expressions_.clear();
    nameRegex_ = Regex();
    if (!regex_) return true;
    std::vector<std::string> strings;
    if (googleFind_)
        strings = s_.Words;
    else if (o_.StringsMode != 2)
        strings = {s_.SearchString};
    else
        strings.assign(slots_.FindStrings.begin(),
                       slots_.FindStrings.begin() + std::clamp(slots_.FindCount, 0, kMaxStrings));
    std::string& error = run_.failure_;
    // The file-name test ("Search Filename too") uses the search string as an expression too.
    if (!vesk::compileExpressions(strings, caseInsensitive_, expressions_, error) ||
        !nameRegex_.compile(s_.SearchString, caseInsensitive_, error))
        return false;
    if (o_.ReplaceOn && !googleFind_)
        for (std::size_t i = 0; i < expressions_.size() && error.empty(); ++i)
            if (!expressions_[i].empty())
                error = replacementError(expressions_[i], slots_.ReplaceStrings[i]);
    return error.empty();
}

void SearchRun::Impl::headingTexts() {
    s_.FoldersSearchedText = "Folders Searched:\r\n";
    s_.SearchStringsText = "Search Strings: ";
    if (googleFind_) {
        s_.SearchStringsText += "(Google type find)\r\n";
        for (const std::string& w : s_.Words)
            s_.SearchStringsText += w + "\r\n";
    } else if (headingMode_ == 1) {
        s_.SearchStringsText += "(simple)\r\n" + s_.SearchString;
    } else {
        s_.SearchStringsText += "(Multiple)\r\n";
        for (int i = 0; i < slots_.FindCount && i < kMaxStrings; ++i)
            s_.SearchStringsText += slots_.FindStrings[static_cast<std::size_t>(i)] + "\r\n";
    }
}

SearchRun::Impl::StepResult SearchRun::Impl::prepareScanner() {
    run_.scannerKind_ =
        (o_.FolderMode == 2 || o_.FilespecMode == 2 || o_.AlwaysAdvancedScan) ? 2 : 1;
    std::string folderText = o_.FolderText, filespecText = o_.FilespecText,
                stringsText = o_.StringsText;
    if (o_.StringsMode != 2) {
        s_.SearchString = o_.stringBox;
        stringsText = o_.stringBox;
    }
    if (run_.scannerKind_ == 1) {
        folderText = o_.folderBox;
        filespecText = o_.filespecBox;
        stringsText = o_.stringBox;
        run_.findFile_.setPath(folderText);
        run_.findFile_.InSubFolders = o_.SubFolders;
        run_.findFile_.FileMask = filespecText;
    } else {
        TNarvFindFiles& n = run_.narv_;
        n.Paths = o_.FolderMode == 2 ? o_.FolderList : std::vector<std::string>{o_.folderBox};
        n.InSubFolders = o_.SubFolders;
        n.SearchHistory = !o_.OmitBinBak;
        n.OnScanProgress = [this](std::uint64_t a, std::uint64_t b, std::uint64_t c) {
            std::string t = "scanning - Folders=" + numberText(static_cast<std::int64_t>(a)) +
                            " Files=" + numberText(static_cast<std::int64_t>(b)) +
                            " Files to search=" + numberText(static_cast<std::int64_t>(c));
            setStatus(t);
        };
        n.ProcessEvents = [this] { host_.processEvents(); };
        try {
            n.setFileMask(o_.FilespecMode == 2 ? o_.FilespecList
                                               : std::vector<std::string>{o_.filespecBox});
        } catch (const InvalidMaskError& e) {
            return {false, e.what()};
        }
    }
    const std::string setup =
        "Folders=" + folderText + " Filespec=" + filespecText + "  String=" + stringsText;
    host_.setProgressText(setup);
    addTextRow(setup);
    host_.processEvents();
    return {};
}

void SearchRun::Impl::buildSearchList() {
    DateValue scanStart = 0;
    std::string scanTime;
    const Clock& clock = host_.clock();
    xcElapsedText(1, scanStart, scanTime, clock);
    std::string summary;
    const bool listing = o_.TestInfo && o_.ListAllFilenames;
    listing_ = true;
    if (run_.scannerKind_ == 1) {
        run_.findFile_.Scan();
        endListing();
        s_.FileTotal = static_cast<std::int64_t>(searchList().size());
        xcElapsedText(2, scanStart, scanTime, clock);
        summary = "Files=" + numberText(s_.FileTotal) + "  time=" + scanTime;
        if (listing) {
            addTextRow("Start of listing FIndFileSearchList");
            for (const std::string& f : searchList())
                addTextRow(f);
            addTextRow("End of listing FIndFileSearchList");
        }
    } else {
        TNarvFindFiles& n = run_.narv_;
        n.Scan();
        endListing();
        s_.FileTotal = static_cast<std::int64_t>(n.list().size());
        xcElapsedText(2, scanStart, scanTime, clock);
        const auto strings =
            o_.StringsMode == 2 ? static_cast<std::int64_t>(o_.StringsList.size()) : 1;
        summary = "NarvPaths=" + numberText(static_cast<std::int64_t>(n.Paths.size())) +
                  " NarvFileSpec=" + numberText(static_cast<std::int64_t>(n.FileMask().size())) +
                  "  Strings=" + numberText(strings) + " - Files=" + numberText(s_.FileTotal) +
                  " - folder scan time=" + scanTime;
        for (std::size_t i = 0; i < n.Paths.size(); ++i)
            addTextRow("Path" + numberText(static_cast<std::int64_t>(i)) + " = " + n.Paths[i]);
        for (std::size_t i = 0; i < n.FileMask().size(); ++i)
            addTextRow("Filemask" + numberText(static_cast<std::int64_t>(i)) + " = " +
                       n.FileMask()[i]);
        for (int i = 0; i < slots_.FindCount && i < kMaxStrings; ++i)
            addTextRow("String" + numberText(i + 1) + " = " +
                       slots_.FindStrings[static_cast<std::size_t>(i)]);
        if (listing) {
            addTextRow("Start of listing NarvFIndFileSearchList");
            for (const std::string& f : n.list())
                addTextRow(f);
            addTextRow("End of listing NarvFIndFileSearchList");
        }
    }
    host_.setProgressText(summary);
    addTextRow(summary);
    host_.processEvents();
}

// The date selection, then the scanner: an invalid date or mask ends the run before scanning.
SearchRun::Impl::StepResult SearchRun::Impl::listFiles() {
    // The host has told the user why a date selection ends the run.
    if (!host_.applyDateSelection(run_.narv_)) return {false, ""};
    host_.processEvents();
    const StepResult scanner = prepareScanner();
    if (!scanner.ok) return scanner;
    startReadAhead();
    buildSearchList();
    return {};
}

// The workers begin on the folders listed first while the scanner goes on with the others.
// Nothing is read ahead of a replace review, which may change the files that follow.
void SearchRun::Impl::startReadAhead() {
    run_.findFile_.OnFolderListed = [this] { onFolderListed(); };
    run_.narv_.OnFolderListed = [this] { onFolderListed(); };
    if (o_.Workers <= 1 || o_.ReplaceOn) return;
    rules_ = {o_.OmitBinBak, o_.OmitVeskSR, o_.FilespecMode, o_.LinesWithNoMatchesOnly,
              googleFind_ && o_.FilesWithNoMatch};
    readAhead_ = std::make_unique<ReadAhead>(o_.Workers, GrowingList{}, names_, queries_, rules_,
                                             host_.clock(), run_.readAheadLimits,
                                             regex_ ? &expressions_ : nullptr);
    run_.readAhead_ = readAhead_.get();
}

// Between folders the window handles its events, the workers get the files listed so far (a
// sorted listing is only in its final order at the end), and the files they have finished are
// written, so that rows come while the listing goes on.
void SearchRun::Impl::onFolderListed() {
    if (readAhead_ && (run_.scannerKind_ == 1 || !run_.narv_.Sorted)) {
        readAhead_->extendList(searchList(), false);
        searchReadyFiles();
    }
    host_.betweenFiles();
}

// Only files whose findings are ready: the run's thread lists the folders and reads nothing.
void SearchRun::Impl::searchReadyFiles() {
    // Replace switched on at a file ends the reading ahead (takeReadAhead) for those after it.
    while (s_.Searching && readAhead_ && readAhead_->isReady(searchedAhead_)) {
        if (rowsAheadFrom_ < 0) {
            rowsAheadFrom_ = s_.LastRow + 1;
            host_.rowsAheadOfListing(rowsAheadFrom_);
        }
        searchOneFile(searchedAhead_++);
        host_.betweenFiles();
    }
}

void SearchRun::Impl::endListing() {
    listing_ = false;
    listingRowsFrom_ = s_.LastRow + 1;
    if (readAhead_) readAhead_->extendList(searchList(), true);
}

// The rows written for the end of the listing and the start of the search go before those of
// the files searched meanwhile: the grid reads as if every file had been searched after them.
void SearchRun::Impl::placeRowsAheadOfListing() {
    if (rowsAheadFrom_ < 0) return;
    const int end = s_.LastRow + 1;
    host_.grid().rotateRows(rowsAheadFrom_, listingRowsFrom_, end);
    host_.rowsMoved(rowsAheadFrom_, listingRowsFrom_, end);
}

// Tells the user (unless the host already did) and leaves the window ready for the next run.
RunResult SearchRun::Impl::failRun(const std::string& message) {
    run_.failure_ = message;
    if (!run_.failure_.empty()) host_.dialogs().showMessage(run_.failure_);
    if (run_.failure_.empty()) run_.failure_ = "invalid date selection";
    addTextRow(run_.failure_);
    s_.Searching = false;
    host_.showPhase(3);
    host_.setGridDisplay(true);
    return RunResult::Failed;
}

void SearchRun::Impl::announceFileLoop() {
    setStatus("scanning - Folders=0 Files=0 Files to search=0");
    host_.setRunColumnWidth();
    setStatus("searching files in ...");
    host_.processEvents();
    addTextRow("Searching " + numberText(s_.FileTotal) + " files/folders starts " +
               timeOfDayText(host_.clock().now()));
    addTextRow(kSeparator);
    setStatus("Searching files..");
}

const std::vector<std::string>& SearchRun::Impl::searchList() const {
    return run_.scannerKind_ == 1 ? run_.findFile_.list() : run_.narv_.list();
}

void SearchRun::Impl::searchFiles() {
    const auto total = static_cast<std::size_t>(s_.FileTotal);
    for (std::size_t n = searchedAhead_; n < total && n < searchList().size(); ++n) {
        host_.betweenFiles();
        if (!s_.Searching) break;
        searchOneFile(n);
    }
    run_.readAhead_ = nullptr;
    readAhead_.reset();
}

void SearchRun::Impl::countMatchedPath(const std::string& name) {
    const PathKind kind = pathKind(name);
    if (kind == PathKind::Folder)
        ++s_.MatchedFolders;
    else if (kind == PathKind::File)
        ++s_.MatchedFiles;
}

void SearchRun::Impl::showSearchProgress() {
    std::string t = "Searching " + numberText(s_.FilesDone) + " of " + numberText(s_.FileTotal);
    if (s_.MatchedLines > 0) t += " Matches=" + numberText(s_.MatchedLines);
    setStatus(t);
    if (multiFolder_) host_.setProgressText(fileFolder(s_.CurrentFile));
    host_.processEvents();
}

void SearchRun::Impl::onMatch(std::uint64_t lineNumber, std::string_view line,
                              std::size_t position) {
    ++s_.FileHits;
    ++s_.MatchedLines;
    if (!headingWritten_) {
        countMatchedPath(path_);
        if (!o_.ListAllFilenames) addResultRow(0, path_, path_, 0);
        headingWritten_ = true;
    }
    addResultRow(static_cast<std::int64_t>(lineNumber), line, path_, position);
    if (position > 0) markMatch(line, position);
    if (s_.MatchedLines > 20) host_.grid().setTopRow(s_.LastRow - 20);
}

// What the row's line draws marked: for expressions the first one, in list order, that matches
// at the row's position, with its own length.
void SearchRun::Impl::markMatch(std::string_view line, std::size_t position) {
    if (!regex_) {
        host_.grid().setMarks(s_.LastRow, matchMarks(line, position, query_));
        return;
    }
    for (const Regex& re : expressions_) {
        if (re.empty()) continue;
        const LineMatch m = matcher_.find(line, position - 1, re, false);
        if (m && m.position == position) {
            const TextMark mark{static_cast<std::uint32_t>(position - 1),
                                static_cast<std::uint32_t>(m.length)};
            host_.grid().setMarks(s_.LastRow, std::span<const TextMark>(&mark, 1));
            return;
        }
    }
}

// Takes entry n and the options read for each file; returns them as read.
FileOptions SearchRun::Impl::beginFile(std::size_t n) {
    path_ = searchList()[n];
    s_.CurrentFile = path_;
    ++s_.FilesDone;
    s_.FileHits = 0;
    headingWritten_ = false;
    const FileOptions now = host_.readFileOptions();
    o_.FilespecMode = now.FilespecMode;
    o_.StringsMode = now.StringsMode;
    o_.ReplaceOn = now.ReplaceOn;
    o_.OmitBinBak = now.OmitBinBak;
    o_.OmitVeskSR = now.OmitVeskSR;
    o_.SearchFilename = now.SearchFilename;
    o_.ListAllFilenames = now.ListAllFilenames;
    o_.Fast = now.Fast;
    o_.loadMethod = now.loadMethod;
    o_.LinesWithNoMatchesOnly = now.LinesWithNoMatchesOnly;
    o_.FilesWithNoMatch = now.FilesWithNoMatch;
    rules_ = {o_.OmitBinBak, o_.OmitVeskSR, o_.FilespecMode, o_.LinesWithNoMatchesOnly,
              googleFind_ && o_.FilesWithNoMatch};
    return now;
}

// The findings of entry n read ahead, or null when the run must read the file itself.
std::unique_ptr<FileFindings> SearchRun::Impl::takeReadAhead(std::size_t n) {
    if (!readAhead_) return nullptr;
    if (o_.ReplaceOn) {
        // Replace switched on during the run: from here on nothing is read ahead.
        run_.readAhead_ = nullptr;
        readAhead_.reset();
        return nullptr;
    }
    readAhead_->setRules(rules_);
    auto found = readAhead_->take(n, [this] { host_.betweenFiles(); });
    if (!found || !found->examined || found->overflow || !(found->rules == rules_)) return nullptr;
    return found;
}

bool SearchRun::Impl::passTextTest(const FileCheck& check) {
    if (!check.text.error.empty())
        addErrorRows(path_, "xcIsTextFileAndLoadable: Error reading in file:- ", check.text.error);
    return check.text.isText;
}

void SearchRun::Impl::showFileStatus() {
    if (listing_) return; // the listing's progress is shown until the file total is known
    if (o_.Fast) {
        const DateValue t = host_.clock().now();
        if (t > s_.NextStatusTime) {
            showSearchProgress();
            s_.NextStatusTime = t + kOneSecond;
        }
        return;
    }
    setStatus(numberText(s_.FilesDone) + " of " + numberText(s_.FileTotal) + " " +
              shortPathText(path_));
    host_.processEvents();
}

void SearchRun::Impl::settleLoadMethod() {
    // Both load methods open the file plainly; the disabled one turns back to the standard one.
    if (o_.loadMethod == LoadMethod::AsciiDisabled) {
        o_.loadMethod = LoadMethod::Standard;
        host_.setLoadMethod(LoadMethod::Standard);
    }
}

FileTally SearchRun::Impl::replay(const FileFindings& found) {
    const std::string_view bytes(found.bytes);
    for (const FoundLine& l : found.lines)
        onMatch(l.lineNumber, bytes.substr(l.offset, l.length), l.position);
    return found.tally;
}

// Adds a searched file's lines to the counts; false when it could not be read to its end.
bool SearchRun::Impl::countTally(const FileTally& tally) {
    s_.LinesSearched += static_cast<std::int64_t>(tally.linesExamined);
    if (!tally.loaded) {
        host_.dialogs().showMessage("Error loading " + path_);
        addTextRow("Load File " + path_ + " error: " + tally.loadError);
        return false;
    }
    if (tally.timedOut) addErrorRows(path_, "Searching File too slow", "aborted after 2 seconds");
    // In the all-words find a line with only some of the words still counts as a hit of the file.
    if (query_.mode == LineQuery::Mode::AllWords)
        s_.FileHits = static_cast<std::int32_t>(tally.hitLines);
    return true;
}

void SearchRun::Impl::handOverToReview(const FileOptions& now) {
    if (!o_.ReplaceOn || s_.FileHits <= 0) return;
    host_.processEvents();
    ReviewRequest req;
    req.path = path_;
    req.logFile = run_.logFile();
    req.wholeWordsOnly = wholeWords_;
    req.preserveSpaces = now.PreserveSpaces;
    req.caseInsensitive = caseInsensitive_;
    req.regularExpressions = regex_;
    req.expressions = regex_ ? &expressions_ : nullptr;
    req.runNumber = runNumber_;
    req.confirmEachLine = now.ConfirmEachLine;
    req.confirmEachFile = now.ConfirmEachFile;
    const ReviewOutcome out = host_.reviewFile(req);
    s_.ReplacedTotal += out.replaced;
    if (!out.replaceOn) {
        o_.ReplaceOn = false;
        host_.setReplaceIndicator(1);
    }
}

// One entry of the search list. The name rules come before any access to the file but its
// existence test; a file read ahead under the rules now in force is not read again.
void SearchRun::Impl::searchOneFile(std::size_t n) {
    const FileOptions now = beginFile(n);
    const std::unique_ptr<FileFindings> ahead = takeReadAhead(n);
    if (trimView(path_).empty() || excludedByName(path_, rules_, names_)) return;
    const bool nameHit =
        o_.SearchFilename && (regex_ ? static_cast<bool>(matcher_.find(path_, nameRegex_, false))
                                     : findPos(path_, nameFinder_, false) > 0);
    const bool wrongExt = wrongExtension(path_, rules_, names_);
    if (wrongExt && !nameHit) return;

    const Clock& clock = host_.clock();
    const FileCheck check = ahead ? ahead->check : checkFile(path_, wrongExt, run_.reader_, clock);
    if (!check.exists) return;
    if (nameHit) {
        countMatchedPath(path_);
        addResultRow(0, path_, path_, 0);
        headingWritten_ = true;
    }
    if (check.wrongExtension || !passTextTest(check)) return;
    showFileStatus();
    if (o_.ListAllFilenames) addResultRow(0, path_, path_, 0);
    settleLoadMethod();
    s_.FileDeadline = check.deadline;
    const FileTally tally =
        ahead ? replay(*ahead)
              : searchText(run_.reader_, queries_.forRules(rules_), clock, check.deadline, *this,
                           {}, ExpressionSearch{regex_ ? &expressions_ : nullptr, &matcher_});
    if (!countTally(tally)) return;
    if (o_.FilesWithNoMatch && s_.FileHits == 0) s_.NoMatchFiles.push_back(path_);
    handOverToReview(now);
}

void SearchRun::Impl::finishRun() {
    run_.reader_.closeAll(); // neither a file skipped after opening nor its folder stays open
    s_.Words.clear();
    xcElapsedText(2, runStart_, s_.ElapsedText, host_.clock());
    const bool replaceStillOn = host_.readFileOptions().ReplaceOn && o_.ReplaceOn;
    s_.ReplacedText = replaceStillOn ? " Replaced=" + numberText(s_.ReplacedTotal) : "";
    // The simple scanner lists nothing for a folder box that names no folder: say why.
    if (run_.scannerKind_ == 1 && run_.findFile_.Path().empty())
        setStatus("Folder not found: " + o_.folderBox + " - nothing was searched");
    else
        setStatus(summaryText(s_));
    if (o_.FilesWithNoMatch) {
        addTextRow("No Matches");
        for (const std::string& f : s_.NoMatchFiles)
            addResultRow(0, f, f, 0);
        s_.NoMatchFiles.clear();
    }
    s_.Searching = false;
    host_.showPhase(3);
    host_.setProgressText(s_.ReplacedText + s_.AbortedText);
    if (s_.MatchedLines > 0) {
        host_.grid().setRow(s_.LastRow);
        host_.focusGrid();
    } else {
        addTextRow("(No Matches Found)");
    }
}

RunResult SearchRun::Impl::run() {
    readStartOptions();
    if (s_.Searching) return RunResult::Busy;
    noteMaskText();
    clearGrid();
    headingMode_ = o_.StringsMode == 2 ? 2 : 1;
    if (!validateStrings()) return RunResult::EndedEarly;
    enterSearching();
    resetCounters();
    headingTexts();
    buildQuery();
    if (!compileExpressions()) return failRun(run_.failure_);
    if (const StepResult listed = listFiles(); !listed.ok) return failRun(listed.error);
    announceFileLoop();
    placeRowsAheadOfListing();
    searchFiles();
    finishRun();
    return RunResult::Done;
}

SearchRun::SearchRun(SearchHost& host, StringSlots& slots)
    : host_(host), slots_(slots), narv_(host.clock()) {}

SearchRun::~SearchRun() = default;

std::string SearchRun::logFile() const {
    // The search/replace log lives in the start folder: the first folder searched.
    std::string folder;
    if (scannerKind_ == 1)
        folder = findFile_.Path();
    else if (!narv_.Paths.empty())
        folder = narv_.Paths.front();
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "Vesk-SearchReplace.log";
}

RunResult SearchRun::DoSearch() {
    failure_.clear();
    Impl impl(*this);
    return impl.run();
}

void SearchRun::Stop() {
    if (state_.Searching) state_.AbortedText = " (aborted)";
    state_.Searching = false;
    if (readAhead_) readAhead_->stop();
    if (scannerKind_ == 2) narv_.ContinueScan = false;
    findFile_.ContinueScan = false;
    host_.processEvents();
}

void SearchRun::Cancel() {
    state_.Searching = false;
    if (readAhead_) readAhead_->stop();
    narv_.ContinueScan = false;
    findFile_.ContinueScan = false;
}

} // namespace vesk
