#pragma once
// The replace review of one file (the logic of "Vesk Replace Results"): reads the file, rewrites
// every line holding a find string, asks per line when told to, and shows the review window when
// a change was accepted. The window's four buttons call the handlers below; "Save this File"
// archives the old content, keeps a backup and replaces the file through safeSave, then appends
// the change log to the search/replace log. Every line keeps its own line break. A file is never
// rewritten when it holds a NUL byte, when it is one of the program's own files, or when a run
// already rewrote it under another name; the user is told why. A temp copy the user edited in the
// differences viewer is saved, or dropped, only as the user answers.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

#include "lib/string_grid.h"
#include "lib/string_slots.h"
#include "replace/file_snapshot.h"
#include "replace/replace_line.h"
#include "replace/review_names.h"
#include "replace/safe_save.h"
#include "search/search_host.h"

namespace vesk {

class ReplaceReview;
struct CommandContext; // lib/commands.h; kept out of this header, which windows include

// The review window as the review drives it: shown modally; its buttons call the review's
// handlers; it returns once the review closed it (windowOpen() false) or the user closed it by its
// title bar (then it calls FormClose()).
class ReviewWindow {
public:
    virtual ~ReviewWindow() = default;
    virtual void showReview(ReplaceReview& review) = 0;
};

struct ReviewSetup {
    std::string archivePath;  // the replace archive (archivePathIn(stateFolder()))
    std::string settingsPath; // read for the differences viewer; empty: the default viewer
    SaveIo* io = nullptr;     // null: the real system calls
};

struct ReviewResult {
    int savedChanges = 0;  // replacements saved in this file
    bool replaceOn = true; // false: the user answered Cancel; no further file is reviewed
    bool abortRun = false; // "Abort Find/Replace": the search run stops before its next file
};

inline constexpr std::string_view kReviewCaption = "Vesk Replace Results";
// The search/replace log's name; a file of this name is never a replace target, wherever it is.
inline constexpr std::string_view kReplaceLogName = "Vesk-SearchReplace.log";

// One line the review changed: its index in the file and its new text.
struct ChangedLine {
    std::size_t index = 0;
    std::string after;
};
inline constexpr int kReviewGridColumns = 2;

class ReplaceReview {
public:
    // `commands` must outlive the review.
    ReplaceReview(const CommandContext& commands, ReviewWindow& window, ReviewSetup setup);

    // Reviews one file with the pairs of `table`. Never reviewed: the file named
    // `findSetFileName`; files of earlier runs (names holding "VeskSearchReplace"); any file named
    // "Vesk-SearchReplace.log"; the search/replace log, the archive, the run log and the settings
    // file; a file this run already rewrote under another name (a link, a folder listed twice).
    ReviewResult ReviewFile(const ReviewRequest& request, const StringSlots& table,
                            std::string_view findSetFileName);

    // The window's handlers.
    void FormShow() { diffsShown_ = false; }
    void btnShowDiffClick();
    void btnSaveFileClick();
    void btnDoNotSaveFileClick();
    void btnAbortClick();
    void FormClose(); // closed by the title bar: the changes are dropped, the temp file stays

    // The save of "Save this File" without its question about the differences. True when saved.
    bool SaveFile();
    void FreeReviewLists();

    bool windowOpen() const { return windowOpen_; }
    const std::string& fileName() const { return fileName_; }
    const StringGrid& grdReplaceLog() const { return grid_; }
    StringGrid& grdReplaceLog() { return grid_; } // for the window's view
    // The file's lines as read (views into the bytes read, without their line breaks).
    const std::vector<std::string_view>& fileLines() const { return fileLines_; }
    // The accepted changes, in file order.
    const std::vector<ChangedLine>& changedLines() const { return changed_; }
    // The new content: every line with its own line break, changed lines replaced.
    std::string newContent() const;
    const std::vector<std::string>& changeLog() const { return changeLog_; }
    int changes() const { return changes_; }
    int savedChanges() const { return savedChanges_; }
    bool diffsShown() const { return diffsShown_; }
    const std::string& tempFileName() const { return tempFileName_; }
    const std::string& backupFileName() const { return backupFileName_; }
    const std::string& archivePath() const { return setup_.archivePath; }

private:
    void beginReview(const ReviewRequest& request);
    bool skipped(const ReviewRequest& request, std::string_view findSetFileName) const;
    bool readFile(const std::string& path);
    bool alreadyRewritten() const;
    void prepareReview();
    // Rewrites and confirms every line; false when the user cancelled the whole replace.
    bool reviewLines(const ReviewRequest& request, const StringSlots& table);
    void showWhenChanged();
    void startGrid();
    void addGridRow(std::string_view col0, std::string_view col1);
    void acceptLine(std::size_t i, const std::string& before, const std::string& after);
    std::string confirmationText(std::size_t i, const std::string& before, const std::string& after,
                                 int n) const;
    bool writeTempFile();
    void removeTempFile();
    // The user changed the temp copy after "Show Differences".
    bool tempFileEdited() const;
    // The content "Save this File" saves: the program's version, or the edited temp copy when the
    // user chooses it. Empty optional: nothing is to be saved.
    std::optional<std::string> contentToSave(bool& edited);
    void appendChangeLog();
    SaveIo& io() const { return setup_.io ? *setup_.io : systemSaveIo(); }

    const CommandContext& commands_;
    ReviewWindow& window_;
    ReviewSetup setup_;

    std::string fileName_;
    std::string logFile_;
    FileSnapshot snapshot_;
    ReviewNames names_;
    std::vector<std::string_view> fileLines_;
    std::vector<ChangedLine> changed_;
    std::vector<std::string> changeLog_;
    bool listsAllocated_ = false;
    int changes_ = 0;
    int savedChanges_ = 0;
    bool diffsShown_ = false;
    bool windowOpen_ = false;
    bool abortRun_ = false;
    bool tempCreated_ = false; // this review wrote the temp copy
    struct stat tempStat_ {};  // the temp copy as this review wrote it
    std::uint64_t run_ = 0;
    std::set<std::pair<dev_t, ino_t>> rewritten_; // files this run rewrote, before and after
    std::string tempFileName_, backupFileName_;
    StringGrid grid_{kReviewGridColumns, 2};
    int gridRow_ = 0;
};

} // namespace vesk
