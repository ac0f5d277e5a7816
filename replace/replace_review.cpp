#include "replace/replace_review.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

#include "lib/channels.h"
#include "lib/commands.h"
#include "lib/datetime.h"
#include "lib/text.h"
#include "lib/unique_fd.h"
#include "replace/archive.h"
#include "replace/viewer_setting.h"

namespace vesk {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLogRule = "___________________________________"; // 35

bool samePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    char ra[PATH_MAX], rb[PATH_MAX];
    return ::realpath(a.c_str(), ra) && ::realpath(b.c_str(), rb) && std::strcmp(ra, rb) == 0;
}

std::string lineIndex(std::size_t i) {
    return numberText(static_cast<std::int64_t>(i));
}

} // namespace

ReplaceReview::ReplaceReview(const CommandContext& commands, ReviewWindow& window,
                             ReviewSetup setup)
    : commands_(commands), window_(window), setup_(std::move(setup)) {
    grid_.fixedRows = 1;
}

bool ReplaceReview::skipped(const ReviewRequest& request, std::string_view findSetFileName) const {
    if (containsNoCase(request.path, "VeskSearchReplace")) return true;
    if (!findSetFileName.empty() && request.path == findSetFileName) return true;
    // The program's own records would be rewritten with the very text they keep.
    return samePath(request.path, request.logFile) || samePath(request.path, setup_.archivePath);
}

bool ReplaceReview::readFile(const std::string& path) {
    std::string error;
    if (!readSnapshot(path, snapshot_, error)) {
        commands_.dialogs.showMessage("Unable to read " + path + ": " + error);
        return false;
    }
    fileLines_ = splitLines(snapshot_.bytes);
    layout_ = detectLayout(snapshot_.bytes);
    const std::string refusal = rewriteRefusal(snapshot_.bytes, fileLines_, layout_);
    if (!refusal.empty()) {
        commands_.dialogs.showMessage("This file will not be changed:" + std::string(kCrLf) + path +
                                      std::string(kCrLf) + std::string(kCrLf) + "because " +
                                      refusal + ".");
        return false;
    }
    return true;
}

void ReplaceReview::addGridRow(std::string_view col0, std::string_view col1) {
    xcGridNewRow(grid_, gridRow_);
    grid_.setCell(0, gridRow_, col0);
    grid_.setCell(1, gridRow_, col1);
}

void ReplaceReview::startGrid() {
    xcGridClear(grid_, 1);
    gridRow_ = 1;
    addGridRow("", "Filename: " + fileName_);
    addGridRow("", "Temp File: " + tempFileName_);
    addGridRow("", "Backup File: " + backupFileName_);
    addGridRow("", "Archive File: " + setup_.archivePath);
    addGridRow("", "");
    addGridRow("", "");
}

void ReplaceReview::acceptLine(std::size_t i, const std::string& before, const std::string& after) {
    if (changeLog_.empty()) {
        changeLog_.emplace_back(kLogRule);
        changeLog_.push_back(xcTodayText(commands_.clock) + " Search/Replace " + fileName_);
    }
    changeLog_.push_back(lineIndex(i) + ":" + before);
    changeLog_.push_back(lineIndex(i) + ":" + after);
    changeLog_.emplace_back();
    addGridRow(lineIndex(i), before);
    addGridRow(lineIndex(i) + "->", after);
    addGridRow("", "");
}

std::string ReplaceReview::confirmationText(std::size_t i, const std::string& before,
                                            const std::string& after, int n) const {
    const std::string nl(kCrLf);
    return "File:" + fileName_ + nl + nl +
           "Yes to all/No to all - buttons apply to current file only" + nl +
           "Cancel aborts Replace operations now" + nl + nl + "This line:" + lineIndex(i + 1) + nl +
           before + nl + nl + after + nl + nl + "Changes this line=" + numberText(n) +
           " - Save changes?" + nl + nl;
}

ReviewResult ReplaceReview::ReviewFile(const ReviewRequest& request, const StringSlots& table,
                                       std::string_view findSetFileName) {
    ReviewResult result;
    FreeReviewLists();
    savedChanges_ = 0;
    abortRun_ = false;
    windowOpen_ = false;
    tempCreated_ = false;
    fileName_ = request.path;
    logFile_ = request.logFile;
    if (skipped(request, findSetFileName)) return result;
    if (!readFile(request.path)) {
        FreeReviewLists();
        return result;
    }
    // Copies are made beside the file that is actually rewritten (a link's target).
    names_ = MakeTempAndBackupNames(snapshot_.target, commands_.clock);
    tempFileName_ = names_.temp();
    backupFileName_ = names_.backup();
    listsAllocated_ = true;
    changes_ = 0;
    startGrid();

    const ReplaceOptions options{request.caseInsensitive, request.wholeWordsOnly,
                                 request.preserveSpaces, request.regularExpressions,
                                 request.expressions};
    bool ask = request.confirmEachLine;
    bool apply = true;
    newLines_.reserve(fileLines_.size());
    for (std::size_t i = 0; i < fileLines_.size(); ++i) {
        const std::string& line = fileLines_[i];
        if (!LineHasFindString(line, table, options)) {
            newLines_.push_back(line);
            continue;
        }
        std::string after = line;
        const int n = ReplaceLine(after, table, options);
        if (ask && n > 0) {
            switch (commands_.dialogs.confirmLine(kReviewCaption,
                                                  confirmationText(i, line, after, n))) {
            case Answer::Yes:
                apply = true;
                break;
            case Answer::No:
                apply = false;
                break;
            case Answer::NoToAll:
                ask = false;
                apply = false;
                break;
            case Answer::YesToAll:
                ask = false;
                apply = true;
                break;
            case Answer::Cancel:
                FreeReviewLists();
                result.replaceOn = false;
                return result;
            }
        }
        if (apply) {
            changes_ += n;
            acceptLine(i, line, after);
            newLines_.push_back(std::move(after));
        } else {
            newLines_.push_back(line);
        }
    }
    if (changes_ > 0) {
        windowOpen_ = true;
        FormShow();
        window_.showReview(*this);
        windowOpen_ = false;
    }
    result.savedChanges = savedChanges_;
    result.abortRun = abortRun_;
    FreeReviewLists();
    return result;
}

bool ReplaceReview::writeTempFile() {
    const std::string bytes = joinLines(newLines_, layout_);
    // The first write creates the copy, so a file of that name that is not ours is never
    // overwritten; later clicks rewrite our own copy.
    const int create = tempCreated_ ? O_TRUNC : O_EXCL;
    UniqueFd fd(
        ::open(tempFileName_.c_str(), O_WRONLY | O_CREAT | create | O_NOFOLLOW | O_CLOEXEC, 0644));
    int e = fd ? 0 : errno;
    if (fd) tempCreated_ = true;
    if (e == 0) e = writeAll(io(), fd.get(), bytes);
    if (e == 0 && ::fsync(fd.get()) != 0) e = errno;
    if (e == 0) return true;
    commands_.dialogs.showMessage("Unable to write " + tempFileName_ + ": " + std::strerror(e));
    return false;
}

void ReplaceReview::removeTempFile() {
    if (tempCreated_) ::unlink(tempFileName_.c_str());
    tempCreated_ = false;
}

void ReplaceReview::btnShowDiffClick() {
    if (!listsAllocated_ || !writeTempFile()) return;
    diffsShown_ = xcShowDifferences(commands_, fileName_, tempFileName_,
                                    differencesViewerSetting(setup_.settingsPath));
}

void ReplaceReview::btnSaveFileClick() {
    if (!diffsShown_) {
        const std::string nl(kCrLf);
        if (!commands_.dialogs.askYesNo(kReviewCaption,
                                        "Diffs have NOT been shown for this file" + nl +
                                            "Check the logs and differences" + nl + nl +
                                            "Are you sure you want to save changes?"))
            return;
    }
    SaveFile();
}

bool ReplaceReview::SaveFile() {
    if (!listsAllocated_ || changes_ <= 0) return false;
    const ArchiveSource source = archiveSourceFrom(snapshot_, fileLines_);
    const std::string note = "Changes=" + numberText(changes_);
    ArchiveAppend archived;
    SafeSaveRequest request;
    request.original = &snapshot_;
    request.newContent = joinLines(newLines_, layout_);
    request.backupName = [this](int n) { return names_.backup(n); };
    request.beforeReplace = [&]() {
        archived =
            appendToArchive(setup_.archivePath, archiveEntry(source, note, commands_.clock), io());
        return archived.ok ? std::string() : archived.error;
    };
    request.undoBeforeReplace = [&]() { undoArchiveAppend(setup_.archivePath, archived); };
    const SafeSaveResult saved = safeSave(request, io());
    const std::string nl(kCrLf);
    if (!saved.saved) {
        commands_.dialogs.showMessage("Changes NOT saved to " + fileName_ + nl + nl + saved.error +
                                      nl + nl + "The file was not changed.");
        return false;
    }
    backupFileName_ = saved.backupName;
    removeTempFile();
    std::string message = "Changes saved to " + fileName_ + nl + nl +
                          "Backup file=" + backupFileName_ + nl + nl +
                          "Archive file=" + setup_.archivePath + nl + nl;
    if (!saved.error.empty()) message += saved.error + nl;
    commands_.dialogs.showMessage(message);
    appendChangeLog();
    savedChanges_ = changes_;
    windowOpen_ = false;
    return true;
}

void ReplaceReview::appendChangeLog() {
    if (logFile_.empty() || changeLog_.empty()) return;
    ChannelTable& channels = commands_.channels;
    try {
        if (!xcOpenChannel(channels, kLogChannel, "A", logFile_)) return;
        for (const std::string& line : changeLog_)
            xcWriteChannel(channels, kLogChannel, line);
        xcCloseChannel(channels, kLogChannel);
    } catch (const std::system_error& e) {
        xcCloseChannel(channels, kLogChannel);
        commands_.dialogs.showMessage("The change log could not be written to " + logFile_ + ": " +
                                      e.what());
    }
}

void ReplaceReview::btnDoNotSaveFileClick() {
    removeTempFile();
    windowOpen_ = false;
}

void ReplaceReview::btnAbortClick() {
    abortRun_ = true;
    windowOpen_ = false;
}

void ReplaceReview::FormClose() {
    windowOpen_ = false;
}

void ReplaceReview::FreeReviewLists() {
    fileLines_.clear();
    newLines_.clear();
    changeLog_.clear();
    snapshot_ = FileSnapshot{};
    listsAllocated_ = false;
}

} // namespace vesk
