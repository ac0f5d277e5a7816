#include "replace/safe_save.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/unique_fd.h"

namespace vesk {

int SaveIo::openNew(const std::string& path, mode_t mode) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}
int SaveIo::openAppend(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}
ssize_t SaveIo::write(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
int SaveIo::fsync(int fd) {
    return ::fsync(fd);
}
int SaveIo::link(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str());
}
int SaveIo::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

SaveIo& systemSaveIo() {
    static SaveIo io;
    return io;
}

int writeAll(SaveIo& io, int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = io.write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

namespace {

constexpr int kMaxNameTries = 1000;

std::string systemText(int error) {
    return std::strerror(error);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Gives a new file the original's permission bits, and its owner when we are allowed to.
int copyOwnership(int fd, const FileIdentity& id) {
    if (::geteuid() == 0 && ::fchown(fd, id.owner, id.group) != 0) return errno;
    // After fchown, since changing the owner clears the set-id bits.
    if (::fchmod(fd, id.mode) != 0) return errno;
    return 0;
}

// Writes `bytes` to the already created `fd`, sets its ownership, flushes and closes it.
int completeFile(SaveIo& io, UniqueFd& fd, std::string_view bytes, const FileIdentity& id) {
    if (int e = writeAll(io, fd.get(), bytes)) return e;
    if (int e = copyOwnership(fd.get(), id)) return e;
    if (io.fsync(fd.get()) != 0) return errno;
    fd.reset();
    return 0;
}

class Saver {
public:
    Saver(const SafeSaveRequest& request, SaveIo& io)
        : r_(request), io_(io), original_(*request.original) {}

    SafeSaveResult run() {
        if (!unchanged()) return fail(changedText());
        if (!createNewFile()) return fail(error_);
        if (int e = completeFile(io_, newFd_, r_.newContent, original_.identity))
            return fail("Unable to write " + newName_ + ": " + systemText(e));
        if (r_.beforeReplace) {
            const std::string e = r_.beforeReplace();
            if (!e.empty()) return fail(e);
            undoNeeded_ = true;
        }
        if (!unchanged()) return fail(changedText());
        if (!makeBackup()) return fail(error_);
        if (io_.rename(newName_, original_.target) != 0) {
            const int e = errno;
            ::unlink(result_.backupName.c_str());
            result_.backupName.clear();
            return fail("Unable to rename " + newName_ + " to " + original_.target + ": " +
                        systemText(e));
        }
        newName_.clear();
        result_.saved = true;
        flushFolder();
        return result_;
    }

private:
    bool unchanged() const {
        FileIdentity now;
        char buffer[PATH_MAX];
        if (!::realpath(original_.path.c_str(), buffer) || original_.target != buffer) return false;
        return currentIdentity(original_.target, now) && now == original_.identity;
    }

    std::string changedText() const {
        return "The file " + original_.path +
               " has changed on disk since it was read (size, time or identity differ)";
    }

    bool createNewFile() {
        const std::string base =
            folderOf(original_.target) + "." + nameOf(original_.target) + "-VeskSearchReplace-new";
        for (int n = 0; n < kMaxNameTries; ++n) {
            const std::string name = n == 0 ? base : base + "-" + std::to_string(n);
            const int fd = io_.openNew(name, 0600);
            if (fd >= 0) {
                newFd_.reset(fd);
                newName_ = name;
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

    // A hard link keeps the very file that was read; a copy of what was read stands in where the
    // file system refuses links.
    bool makeBackup() {
        for (int n = 0; n < kMaxNameTries; ++n) {
            const std::string name = r_.backupName(n);
            if (io_.link(original_.target, name) == 0) {
                result_.backupName = name;
                return true;
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

    int copyBackup(const std::string& name) {
        UniqueFd fd(io_.openNew(name, 0600));
        if (!fd) return errno;
        const int e = completeFile(io_, fd, original_.bytes, original_.identity);
        if (e != 0) ::unlink(name.c_str());
        return e;
    }

    void flushFolder() {
        UniqueFd dir(
            ::open(folderOf(original_.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir && io_.fsync(dir.get()) == 0) return;
        const int e = errno;
        result_.error =
            "The folder of " + original_.target + " could not be flushed to disk: " + systemText(e);
    }

    SafeSaveResult fail(const std::string& error) {
        newFd_.reset();
        if (!newName_.empty()) ::unlink(newName_.c_str());
        if (undoNeeded_ && r_.undoBeforeReplace) r_.undoBeforeReplace();
        result_.saved = false;
        result_.backupName.clear();
        result_.error = error;
        return result_;
    }

    const SafeSaveRequest& r_;
    SaveIo& io_;
    const FileSnapshot& original_;
    UniqueFd newFd_;
    std::string newName_;
    std::string error_;
    bool undoNeeded_ = false;
    SafeSaveResult result_;
};

} // namespace

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
