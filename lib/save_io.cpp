#include "lib/save_io.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "lib/unique_fd.h"

namespace vesk {

int SaveIo::openNew(const std::string& path, mode_t mode) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}
int SaveIo::openAppend(const std::string& path, bool followLinks) {
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC;
    return ::open(path.c_str(), followLinks ? flags : flags | O_NOFOLLOW, 0644);
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
int SaveIo::exchange(const std::string& a, const std::string& b) {
    return ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
}

SaveIo& systemSaveIo() {
    static SaveIo io;
    return io;
}

int writeAll(SaveIo& io, int fd, std::string_view bytes) {
    return writeAllWith([&io](int f, const char* d, std::size_t n) { return io.write(f, d, n); },
                        fd, bytes);
}

std::string writeRefusal(const struct stat& st) {
    const uid_t me = ::geteuid();
    if (me != 0 && st.st_uid != me) return "it belongs to another user";
    if ((st.st_mode & S_IWUSR) == 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        return std::string("it is write-protected (mode ") + mode + ")";
    }
    return {};
}

namespace {

std::vector<std::string> attributeNames(int fd, int& error) {
    error = 0;
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0) {
            if (errno != ENOTSUP) error = errno;
            return {};
        }
        std::string list(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::flistxattr(fd, list.data(), list.size());
        if (got < 0 && errno == ERANGE) continue; // grew meanwhile
        if (got < 0) {
            error = errno;
            return {};
        }
        std::vector<std::string> names;
        for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
            const std::size_t end = list.find('\0', at);
            names.emplace_back(list.substr(at, end - at));
            at = end + 1;
        }
        return names;
    }
}

bool attributeValue(int fd, const std::string& name, std::string& value) {
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return false;
        value.assign(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return false;
        value.resize(static_cast<std::size_t>(got));
        return true;
    }
}

// The new file ends up with exactly the original's attributes: its own ones (an ACL inherited
// from the folder's default ACL, a security label) are replaced or removed.
int copyExtendedAttributes(int from, int to) {
    int error = 0;
    const std::vector<std::string> names = attributeNames(from, error);
    if (error != 0) return error;
    std::string value, present;
    for (const std::string& name : names) {
        if (!attributeValue(from, name, value)) return errno;
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0) continue;
        const int e = errno;
        // Attributes the system sets itself (a security label) may be refused yet already equal.
        if (!attributeValue(to, name, present) || present != value) return e;
    }
    for (const std::string& name : attributeNames(to, error)) {
        bool kept = false;
        for (const std::string& n : names)
            kept = kept || n == name;
        if (!kept && ::fremovexattr(to, name.c_str()) != 0) return errno;
    }
    return error;
}

} // namespace

int copyFileAttributes(int from, const struct stat& fromStat, int to) {
    if (::geteuid() == 0) {
        if (::fchown(to, fromStat.st_uid, fromStat.st_gid) != 0) return errno;
    } else if (fromStat.st_gid != ::getegid()) {
        // A group we belong to can be kept; any other would change the file's group.
        if (::fchown(to, static_cast<uid_t>(-1), fromStat.st_gid) != 0) return errno;
    }
    // After fchown, since changing the owner clears the set-id bits.
    if (::fchmod(to, fromStat.st_mode & 07777) != 0) return errno;
    return copyExtendedAttributes(from, to);
}

int openRegularForRead(const std::string& path, bool followLinks) {
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    UniqueFd fd(::open(path.c_str(), followLinks ? flags : flags | O_NOFOLLOW));
    if (!fd) return -1;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    return fd.release();
}

int readRegularFile(const std::string& path, std::string& out) {
    UniqueFd fd(openRegularForRead(path));
    if (!fd) return errno;
    struct stat st {};
    const std::size_t size = ::fstat(fd.get(), &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
    return readAll(fd.get(), out, size);
}

std::string folderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int flushFolderOf(SaveIo& io, const std::string& path) {
    UniqueFd dir(::open(folderPart(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir) return errno;
    return io.fsync(dir.get()) == 0 ? 0 : errno;
}

namespace {

namespace fs = std::filesystem;

// A link to the settings file (kept with the user's dotfiles, say) must stay a link, so the file
// actually replaced is the link's final target.
std::string finalTarget(const std::string& path) {
    fs::path p = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p.string();
        std::error_code ec;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) return p.string();
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p.string();
}

WriteResult failure(std::string_view step, int error) {
    return {false, std::string(step) + ": " + std::strerror(error), error};
}

class WholeFileWriter {
public:
    WholeFileWriter(std::string target, SaveIo& io) : target_(std::move(target)), io_(io) {}
    ~WholeFileWriter() {
        fd_.reset();
        if (!newName_.empty()) ::unlink(newName_.c_str());
    }

    WriteResult write(std::string_view bytes) {
        struct stat st {};
        UniqueFd old;
        if (::lstat(target_.c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode)) return notRegular(st);
            old.reset(::open(target_.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
            if (!old || ::fstat(old.get(), &oldStat_) != 0) return failure("open", errno);
            if (!S_ISREG(oldStat_.st_mode)) return notRegular(oldStat_);
            if (const std::string why = writeRefusal(oldStat_); !why.empty())
                return {false, why, EACCES};
        } else if (errno != ENOENT) {
            return failure("open", errno);
        }
        if (!createNew()) return failure("create", errno);
        if (int e = writeAll(io_, fd_.get(), bytes)) return failure("write", e);
        if (old) {
            if (int e = copyFileAttributes(old.get(), oldStat_, fd_.get()))
                return failure("carry the file's permissions and attributes", e);
        }
        if (io_.fsync(fd_.get()) != 0) return failure("fsync", errno);
        if (int e = fd_.close()) return failure("close", e);
        if (io_.rename(newName_, target_) != 0) return failure("rename", errno);
        newName_.clear();
        // The rename has happened; a folder that cannot be flushed is not a failed save.
        flushFolderOf(io_, target_);
        return {true, {}, 0};
    }

private:
    // A folder, a link at a name others can predict, a FIFO or device: never written through.
    static WriteResult notRegular(const struct stat& st) {
        const int code = S_ISDIR(st.st_mode) ? EISDIR : S_ISLNK(st.st_mode) ? ELOOP : EINVAL;
        return {false, code == EINVAL ? "not a regular file" : std::strerror(code), code};
    }

    bool createNew() {
        static std::atomic<unsigned> counter{0};
        const std::string stem =
            folderPart(target_) + "." + namePart(target_) + ".new-" + std::to_string(::getpid());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = stem + "-" + std::to_string(counter++);
            const int fd = io_.openNew(name, 0666);
            if (fd >= 0) {
                fd_.reset(fd);
                newName_ = name;
                return true;
            }
            if (errno != EEXIST) return false;
        }
        errno = EEXIST;
        return false;
    }

    std::string target_;
    SaveIo& io_;
    struct stat oldStat_ {};
    UniqueFd fd_;
    std::string newName_;
};

} // namespace

WriteResult replaceWholeFile(const std::string& path, std::string_view bytes, LinkRule links,
                             SaveIo& io) {
    const std::string target = links == LinkRule::FollowToTarget ? finalTarget(path) : path;
    WholeFileWriter writer(target, io);
    return writer.write(bytes);
}

} // namespace vesk
