#include "replace/safe_save.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/unique_fd.h"

namespace vesk {

namespace {

constexpr int kMaxNameTries = 1000;
// A save creates its new file and locks it a moment later; a file younger than this may be one
// in that moment, so it is never taken for a leftover.
constexpr time_t kLeftoverAge = 2;

std::string systemText(int error) {
    return std::strerror(error);
}

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The file `st` describes is the one `id` recorded: same file, same size, same last write.
bool isSnapshotFile(const struct stat& st, const FileIdentity& id) {
    return st.st_dev == id.device && st.st_ino == id.inode &&
           static_cast<std::int64_t>(st.st_size) == id.size &&
           static_cast<std::int64_t>(st.st_mtim.tv_sec) == id.mtimeSeconds &&
           st.st_mtim.tv_nsec == id.mtimeNanoseconds;
}

bool isLeftoverName(std::string_view name) {
    if (name.size() < 2 || name[0] != '.') return false;
    std::size_t mark = name.rfind(kNewContentMark);
    if (mark == std::string_view::npos || mark == 0) return false;
    std::string_view rest = name.substr(mark + kNewContentMark.size());
    if (rest.empty()) return true;
    if (rest[0] != '-' || rest.size() == 1) return false;
    for (char c : rest.substr(1))
        if (c < '0' || c > '9') return false;
    return true;
}

// A run saves many files in one folder; the folder is swept at its first save only.
void sweepFolderOnce(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!swept.insert(folder).second) return;
    }
    removeLeftoverNewFiles(folder);
}

class Saver {
public:
    Saver(const SafeSaveRequest& request, SaveIo& io)
        : r_(request), io_(io), original_(*request.original) {}

    SafeSaveResult run() {
        if (!holdOriginal()) return fail(error_);
        if (const std::string why = writeRefusal(originalStat_); !why.empty())
            return fail("The file " + original_.path + " is not saved: " + why);
        sweepFolderOnce(folderPart(original_.target));
        if (!createNewFile()) return fail(error_);
        if (!completeNewFile()) return fail(error_);
        if (r_.beforeReplace) {
            const std::string e = r_.beforeReplace();
            if (!e.empty()) return fail(e);
            undoNeeded_ = true;
        }
        if (!unchanged()) return fail(changedText());
        if (!makeBackup()) return fail(error_);
        if (!swapIn()) return fail(error_);
        finish();
        return result_;
    }

private:
    // Opens the file that was read and keeps it open (and locked against the leftover sweep of
    // other saves) until the end, so its identity can be checked at every step.
    bool holdOriginal() {
        original_fd_.reset(::open(original_.target.c_str(),
                                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!original_fd_ || ::fstat(original_fd_.get(), &originalStat_) != 0 ||
            !isSnapshotFile(originalStat_, original_.identity) ||
            originalStat_.st_ctim.tv_sec != original_.identity.ctimeSeconds ||
            originalStat_.st_ctim.tv_nsec != original_.identity.ctimeNanoseconds) {
            error_ = changedText();
            return false;
        }
        (void)::flock(original_fd_.get(), LOCK_SH | LOCK_NB);
        return true;
    }

    bool unchanged() const {
        char buffer[PATH_MAX];
        if (!::realpath(original_.path.c_str(), buffer) || original_.target != buffer) return false;
        struct stat st {};
        return ::lstat(original_.target.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
               isSnapshotFile(st, original_.identity);
    }

    std::string changedText() const {
        return "The file " + original_.path +
               " has changed on disk since it was read (size, time or identity differ)";
    }

    bool createNewFile() {
        const std::string base = folderPart(original_.target) + "." + namePart(original_.target) +
                                 std::string(kNewContentMark);
        for (int n = 0; n < kMaxNameTries; ++n) {
            const std::string name = n == 0 ? base : base + "-" + std::to_string(n);
            const int fd = io_.openNew(name, 0600);
            if (fd >= 0) {
                newFd_.reset(fd);
                newName_ = name;
                (void)::flock(fd, LOCK_SH | LOCK_NB);
                return true;
            }
            const int e = errno;
            if (e != EEXIST) {
                error_ = "Unable to create " + name + ": " + systemText(e);
                return false;
            }
        }
        error_ = "Unable to find a free name for the new content of " + original_.target;
        return false;
    }

    bool completeNewFile() {
        int e = writeAll(io_, newFd_.get(), r_.newContent);
        if (e == 0) e = copyFileAttributes(original_fd_.get(), originalStat_, newFd_.get());
        if (e == 0 && io_.fsync(newFd_.get()) != 0) e = errno;
        struct stat st {};
        if (e == 0 && ::fstat(newFd_.get(), &st) != 0) e = errno;
        if (e != 0) {
            error_ = "Unable to write " + newName_ + " (with the file's owner, permissions and " +
                     "attributes): " + systemText(e);
            return false;
        }
        newInode_ = st.st_ino;
        return true;
    }

    // A hard link keeps the very file that was read; a copy of what was read stands in where the
    // file system refuses links.
    bool makeBackup() {
        for (int n = 0; n < kMaxNameTries; ++n) {
            const std::string name = r_.backupName(n);
            if (io_.link(original_.target, name) == 0) {
                result_.backupName = name;
                return backupHoldsOriginal();
            }
            const int e = errno;
            if (e == EEXIST) continue;
            if (e != EPERM && e != ENOTSUP && e != EMLINK && e != EXDEV && e != ENOSYS) {
                error_ = "Unable to make the backup " + name + ": " + systemText(e);
                return false;
            }
            const int copied = copyBackup(name);
            if (copied == 0) {
                result_.backupName = name;
                expectedCtime_ = originalStat_.st_ctim;
                return true;
            }
            if (copied != EEXIST) {
                error_ = "Unable to make the backup " + name + ": " + systemText(copied);
                return false;
            }
        }
        error_ = "Unable to find a free backup name for " + original_.target;
        return false;
    }

    // The link names whatever was at the original name a moment ago: it must be the file read.
    // Linking changed that file's status time, which the swap check compares next.
    bool backupHoldsOriginal() {
        struct stat st {};
        if (::lstat(result_.backupName.c_str(), &st) != 0 ||
            !isSnapshotFile(st, original_.identity)) {
            error_ = changedText();
            return false;
        }
        expectedCtime_ = st.st_ctim;
        return true;
    }

    int copyBackup(const std::string& name) {
        UniqueFd fd(io_.openNew(name, 0600));
        if (!fd) return errno;
        int e = writeAll(io_, fd.get(), original_.bytes);
        if (e == 0) e = copyFileAttributes(original_fd_.get(), originalStat_, fd.get());
        if (e == 0 && io_.fsync(fd.get()) != 0) e = errno;
        if (e != 0) ::unlink(name.c_str());
        return e;
    }

    // Swaps the new file in, then checks that what came out is exactly the file that was read.
    // The status time is compared just before the swap (the swap itself sets it): it catches a
    // write that kept the size and set the modification time back.
    bool swapIn() {
        struct stat now {};
        if (::fstat(original_fd_.get(), &now) != 0 || !isSnapshotFile(now, original_.identity) ||
            !sameTime(now.st_ctim, expectedCtime_)) {
            error_ = changedText();
            return false;
        }
        if (io_.exchange(newName_, original_.target) != 0) {
            const int e = errno;
            if (e == EINVAL || e == ENOSYS || e == ENOTSUP)
                error_ = "The file system of " + original_.target +
                         " cannot swap two files in one step, so the file is not replaced (a "
                         "plain rename could discard a save another program makes meanwhile)";
            else
                error_ = "Unable to replace " + original_.target + ": " + systemText(e);
            return false;
        }
        struct stat displaced {};
        if (::lstat(newName_.c_str(), &displaced) == 0 &&
            isSnapshotFile(displaced, original_.identity))
            return true;
        swapBack();
        return false;
    }

    // Another program saved the file between the last check and the swap: its file goes back
    // under the original name. Should yet another change have come in meanwhile, what comes out
    // is kept under a backup name rather than removed.
    void swapBack() {
        error_ = "The file " + original_.path +
                 " was changed by another program while it was being saved; that program's "
                 "version is kept and this change is not saved";
        if (io_.exchange(newName_, original_.target) != 0) {
            const int e = errno;
            error_ = "The file " + original_.path +
                     " was changed by another program while it was being saved, and that "
                     "version could not be put back (" +
                     systemText(e) + "); it is kept as " + newName_;
            newName_.clear();
            result_.backupName.clear(); // the backup must stay: it holds what was read
            return;
        }
        struct stat out {};
        if (::lstat(newName_.c_str(), &out) == 0 && out.st_ino == newInode_) return;
        for (int n = 0; n < kMaxNameTries; ++n) {
            const std::string keep = r_.backupName(n);
            if (io_.link(newName_, keep) == 0) {
                ::unlink(newName_.c_str());
                error_ += "; a version saved meanwhile is kept as " + keep;
                newName_.clear();
                return;
            }
            if (errno != EEXIST) break;
        }
        error_ += "; a version saved meanwhile is kept as " + newName_;
        newName_.clear();
    }

    void finish() {
        // The displaced original lives on as the backup.
        ::unlink(newName_.c_str());
        newName_.clear();
        result_.saved = true;
        result_.newDevice = originalStat_.st_dev;
        result_.newInode = newInode_;
        if (int e = flushFolderOf(io_, original_.target))
            result_.error = "The folder of " + original_.target +
                            " could not be flushed to disk: " + systemText(e);
    }

    SafeSaveResult fail(const std::string& error) {
        newFd_.reset();
        if (!newName_.empty()) ::unlink(newName_.c_str());
        if (!result_.backupName.empty() && ::unlink(result_.backupName.c_str()) != 0)
            result_.error = error + " (the backup " + result_.backupName +
                            " could not be removed: " + systemText(errno) + ")";
        else
            result_.error = error;
        if (undoNeeded_ && r_.undoBeforeReplace) r_.undoBeforeReplace();
        result_.saved = false;
        result_.backupName.clear();
        return result_;
    }

    const SafeSaveRequest& r_;
    SaveIo& io_;
    const FileSnapshot& original_;
    UniqueFd original_fd_;
    struct stat originalStat_ {};
    struct timespec expectedCtime_ {};
    UniqueFd newFd_;
    ino_t newInode_ = 0;
    std::string newName_;
    std::string error_;
    bool undoNeeded_ = false;
    SafeSaveResult result_;
};

} // namespace

void removeLeftoverNewFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isLeftoverName(entry->d_name)) continue;
        const std::string path = folder + entry->d_name;
        UniqueFd fd(
            ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat st {};
        if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (now - st.st_mtim.tv_sec < kLeftoverAge) continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue; // a save still holds it
        struct stat named {};
        if (::lstat(path.c_str(), &named) == 0 && named.st_ino == st.st_ino) ::unlink(path.c_str());
    }
    ::closedir(dir);
}

SafeSaveResult safeSave(const SafeSaveRequest& request, SaveIo& io) {
    if (!request.original || !request.backupName) {
        SafeSaveResult r;
        r.error = "Nothing to save";
        return r;
    }
    Saver saver(request, io);
    return saver.run();
}

} // namespace vesk
