#include "replace/replace_review.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "lib/channels.h"
#include "lib/commands.h"
#include "lib/datetime.h"
#include "lib/logs.h"
#include "lib/text.h"
#include "lib/unique_fd.h"
#include "replace/archive.h"
#include "replace/viewer_setting.h"

namespace vesk {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLogRule = "___________________________________"; // 35

// The same file on disk (one file may have several names: links, folders listed twice).
bool sameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::string lineIndex(std::size_t i) {
    return numberText(static_cast<std::int64_t>(i));
}

bool sameWrite(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

ReplaceReview::ReplaceReview(const CommandContext& commands, ReviewWindow& window,
                             ReviewSetup setup)
    : commands_(commands), window_(window), setup_(std::move(setup)) {
    grid_.fixedRows = 1;
}

bool ReplaceReview::skipped(const ReviewRequest& request, std::string_view findSetFileName) const {
    const std::string& path = request.path;
    if (containsNoCase(path, "VeskSearchReplace")) return true;
    if (equalsNoCase(namePart(path), kReplaceLogName)) return true;
    if (!findSetFileName.empty() && path == findSetFileName) return true;
    // The program's own records would be rewritten with the very text they keep.
    return sameFile(path, request.logFile) || sameFile(path, setup_.archivePath) ||
           sameFile(path, runLogPath(commands_.channels)) || sameFile(path, setup_.settingsPath);
}

bool ReplaceReview::readFile(const std::string& path) {
    std::string error;
    if (!readSnapshot(path, snapshot_, error)) {
        commands_.dialogs.showMessage("Unable to read " + path + ": " + error);
        return false;
    }
    const std::string refusal = rewriteRefusal(snapshot_.bytes);
    if (!refusal.empty()) {
        commands_.dialogs.showMessage("This file will not be changed:" + std::string(kCrLf) + path +
                                      std::string(kCrLf) + std::string(kCrLf) + "because " +
                                      refusal + ".");
        return false;
    }
    fileLines_ = lineViews(snapshot_.bytes);
    return true;
}

bool ReplaceReview::alreadyRewritten() const {
    return rewritten_.count({snapshot_.identity.device, snapshot_.identity.inode}) > 0;
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

void ReplaceReview::beginReview(const ReviewRequest& request) {
    FreeReviewLists();
    savedChanges_ = 0;
    abortRun_ = false;
    windowOpen_ = false;
    tempCreated_ = false;
    fileName_ = request.path;
    logFile_ = request.logFile;
    if (request.runNumber != run_) {
        run_ = request.runNumber;
        rewritten_.clear();
    }
}

void ReplaceReview::prepareReview() {
    // Copies are made beside the file that is actually rewritten (a link's target).
    names_ = MakeTempAndBackupNames(snapshot_.target, commands_.clock);
    tempFileName_ = names_.temp();
    backupFileName_ = names_.backup();
    listsAllocated_ = true;
    changes_ = 0;
    startGrid();
}

bool ReplaceReview::reviewLines(const ReviewRequest& request, const StringSlots& table) {
    const ReplaceOptions options{request.caseInsensitive, request.wholeWordsOnly,
                                 request.preserveSpaces, request.regularExpressions,
                                 request.expressions};
    bool ask = request.confirmEachLine;
    bool apply = true;
    for (std::size_t i = 0; i < fileLines_.size(); ++i) {
        const std::string line(fileLines_[i]);
        if (!LineHasFindString(line, table, options)) continue;
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
                return false;
            }
        }
        if (!apply) continue;
        changes_ += n;
        acceptLine(i, line, after);
        if (after != line) changed_.push_back({i, std::move(after)});
    }
    return true;
}

void ReplaceReview::showWhenChanged() {
    if (changes_ <= 0) return;
    windowOpen_ = true;
    FormShow();
    window_.showReview(*this);
    windowOpen_ = false;
}

ReviewResult ReplaceReview::ReviewFile(const ReviewRequest& request, const StringSlots& table,
                                       std::string_view findSetFileName) {
    ReviewResult result;
    beginReview(request);
    if (skipped(request, findSetFileName)) return result;
    if (!readFile(request.path)) {
        FreeReviewLists();
        return result;
    }
    if (alreadyRewritten()) {
        commands_.dialogs.showMessage(request.path +
                                      " was already replaced in this run (it is the same file as "
                                      "a name replaced before), so it is not changed again.");
        FreeReviewLists();
        return result;
    }
    prepareReview();
    if (!reviewLines(request, table)) {
        FreeReviewLists();
        result.replaceOn = false;
        return result;
    }
    showWhenChanged();
    result.savedChanges = savedChanges_;
    result.abortRun = abortRun_;
    FreeReviewLists();
    return result;
}

std::string ReplaceReview::newContent() const {
    const std::string_view bytes = snapshot_.bytes;
    std::size_t size = bytes.size();
    for (const ChangedLine& c : changed_)
        size = size - fileLines_[c.index].size() + c.after.size();
    std::string out;
    out.reserve(size);
    std::size_t from = 0; // bytes before `from` are copied
    for (const ChangedLine& c : changed_) {
        const std::string_view line = fileLines_[c.index];
        const std::size_t at = static_cast<std::size_t>(line.data() - bytes.data());
        out.append(bytes.substr(from, at - from));
        out += c.after;
        from = at + line.size();
    }
    out.append(bytes.substr(from));
    return out;
}

bool ReplaceReview::writeTempFile() {
    const std::string bytes = newContent();
    // The first write creates the copy, so a file of that name that is not ours is never
    // overwritten; later clicks rewrite our own copy.
    const int create = tempCreated_ ? O_TRUNC : O_EXCL;
    UniqueFd fd(::open(tempFileName_.c_str(),
                       O_WRONLY | O_CREAT | create | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
    int e = fd ? 0 : errno;
    if (fd) tempCreated_ = true;
    if (e == 0) e = writeAll(io(), fd.get(), bytes);
    if (e == 0 && io().fsync(fd.get()) != 0) e = errno;
    if (e == 0 && ::fstat(fd.get(), &tempStat_) != 0) e = errno;
    if (e == 0) return true;
    commands_.dialogs.showMessage("Unable to write " + tempFileName_ + ": " + std::strerror(e));
    return false;
}

void ReplaceReview::removeTempFile() {
    if (tempCreated_) ::unlink(tempFileName_.c_str());
    tempCreated_ = false;
}

bool ReplaceReview::tempFileEdited() const {
    if (!tempCreated_) return false;
    struct stat now {};
    return ::lstat(tempFileName_.c_str(), &now) == 0 && !sameWrite(now, tempStat_);
}

void ReplaceReview::btnShowDiffClick() {
    if (!listsAllocated_) return;
    if (tempFileEdited()) {
        // The user's edits in the viewer are not overwritten by the program's version.
        diffsShown_ = xcShowDifferences(commands_, fileName_, tempFileName_,
                                        differencesViewerSetting(setup_.settingsPath));
        return;
    }
    if (!writeTempFile()) return;
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

std::optional<std::string> ReplaceReview::contentToSave(bool& edited) {
    edited = false;
    if (!tempFileEdited()) return newContent();
    const std::string nl(kCrLf);
    if (!commands_.dialogs.askYesNo(
            kReviewCaption, "The temp file was changed after the differences were shown:" + nl +
                                tempFileName_ + nl + nl + "Yes: save the edited temp file as " +
                                fileName_ + nl +
                                "No: save the program's changes (the edited temp file is kept)"))
        return newContent();
    std::string bytes;
    if (int e = readRegularFile(tempFileName_, bytes)) {
        commands_.dialogs.showMessage("Unable to read " + tempFileName_ + ": " + std::strerror(e));
        return std::nullopt;
    }
    if (const std::string why = rewriteRefusal(bytes); !why.empty()) {
        commands_.dialogs.showMessage("The edited temp file " + tempFileName_ +
                                      " is not saved because " + why + ".");
        return std::nullopt;
    }
    edited = true;
    return bytes;
}

bool ReplaceReview::SaveFile() {
    if (!listsAllocated_ || changes_ <= 0) return false;
    bool edited = false;
    std::optional<std::string> content = contentToSave(edited);
    if (!content) return false;
    const ArchiveSource source = archiveSourceFrom(snapshot_, fileLines_);
    const std::string note = "Changes=" + numberText(changes_);
    ArchiveAppend archived;
    SafeSaveRequest request;
    request.original = &snapshot_;
    request.newContent = std::move(*content);
    request.backupName = [this](int n) { return names_.backup(n); };
    request.beforeReplace = [&]() {
        archived = appendToArchive(setup_.archivePath, source, note, commands_.clock, io());
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
    rewritten_.insert({snapshot_.identity.device, snapshot_.identity.inode});
    rewritten_.insert({saved.newDevice, saved.newInode});
    backupFileName_ = saved.backupName;
    // An edited temp copy the user chose not to save stays where it is.
    if (edited || !tempFileEdited()) removeTempFile();
    std::string message = "Changes saved to " + fileName_ + nl + nl +
                          "Backup file=" + backupFileName_ + nl + nl +
                          "Archive file=" + setup_.archivePath + nl + nl;
    if (!saved.error.empty()) message += saved.error + nl;
    commands_.dialogs.showMessage(message);
    if (edited) changeLog_.emplace_back("Saved as edited in the differences viewer");
    appendChangeLog();
    savedChanges_ = changes_;
    windowOpen_ = false;
    return true;
}

void ReplaceReview::appendChangeLog() {
    if (logFile_.empty() || changeLog_.empty()) return;
    std::string record;
    for (const std::string& line : changeLog_)
        record += channelLineBytes(line);
    // One write with O_APPEND: two programs logging at once never interleave or overwrite their
    // records. The log lies in the searched tree, so a link planted at its name is not followed.
    UniqueFd fd(io().openAppend(logFile_, false));
    struct stat st {};
    int e = 0;
    if (!fd || ::fstat(fd.get(), &st) != 0)
        e = errno;
    else if (!S_ISREG(st.st_mode))
        e = EINVAL;
    if (e == 0) e = writeAll(io(), fd.get(), record);
    if (e == 0) e = fd.close();
    if (e == 0) return;
    const std::string why = e == ELOOP    ? "it is a symbolic link, which is not followed"
                            : e == EINVAL ? "it is not a regular file"
                                          : std::strerror(e);
    commands_.dialogs.showMessage("The change log could not be written to " + logFile_ + ": " +
                                  why);
}

void ReplaceReview::btnDoNotSaveFileClick() {
    if (tempFileEdited())
        commands_.dialogs.showMessage("The edited temp file is kept: " + tempFileName_);
    else
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
    changed_.clear();
    changeLog_.clear();
    snapshot_ = FileSnapshot{};
    listsAllocated_ = false;
}

} // namespace vesk
