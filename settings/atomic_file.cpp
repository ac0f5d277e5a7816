#include "settings/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vesk {

namespace {

// Owns one file descriptor.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now so that a failing close (a delayed write error) can be reported.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

AtomicWriteResult failure(std::string_view step, int error) {
    return {false, std::string(step) + ": " + std::strerror(error)};
}

// A link to the settings file (kept with the user's dotfiles, say) must stay a link, so the file
// actually replaced is the link's final target.
fs::path finalTarget(const fs::path& path) {
    fs::path p = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::error_code ec;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) return p;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Creates a fresh file beside `target`; never opens one that already exists.
Fd createBeside(const fs::path& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = (folder / ("." + target.filename().string() + ".new-" + std::to_string(::getpid()) +
                          "-" + std::to_string(counter++)))
                   .string();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return Fd(fd);
    }
    errno = EEXIST;
    return Fd(-1);
}

void syncFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // The rename has already happened; a folder that cannot be synced is not a failed save.
    if (dir.valid()) ::fsync(dir.get());
}

AtomicWriteResult writeAndRename(Fd& fd, const std::string& tempName, const fs::path& target,
                                 std::string_view bytes) {
    if (!writeAll(fd.get(), bytes)) return failure("write", errno);
    if (::fsync(fd.get()) != 0) return failure("fsync", errno);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        if (::fchmod(fd.get(), old.st_mode & 07777) != 0) return failure("chmod", errno);
        // Only possible with privileges; a file saved by root keeps its user's ownership.
        if (::geteuid() == 0) (void)!::fchown(fd.get(), old.st_uid, old.st_gid);
    }
    if (!fd.close()) return failure("close", errno);
    if (::rename(tempName.c_str(), target.c_str()) != 0) return failure("rename", errno);
    syncFolder(target);
    return {true, {}};
}

} // namespace

AtomicWriteResult writeFileAtomically(const std::string& path, std::string_view bytes) {
    const fs::path target = finalTarget(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return {false, "not a regular file"};
    std::string tempName;
    Fd fd = createBeside(target, tempName);
    if (!fd.valid()) return failure("create", errno);
    AtomicWriteResult result = writeAndRename(fd, tempName, target, bytes);
    if (!result.ok) ::unlink(tempName.c_str());
    return result;
}

} // namespace vesk
