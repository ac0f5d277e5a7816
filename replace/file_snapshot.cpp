#include "replace/file_snapshot.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/unique_fd.h"
#include "search/lines.h"

namespace vesk {

namespace {

FileIdentity identityOf(const struct stat& st) {
    FileIdentity id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = static_cast<std::int64_t>(st.st_size);
    id.mtimeSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    id.mtimeNanoseconds = st.st_mtim.tv_nsec;
    id.ctimeSeconds = static_cast<std::int64_t>(st.st_ctim.tv_sec);
    id.ctimeNanoseconds = st.st_ctim.tv_nsec;
    id.mode = st.st_mode & 07777;
    id.owner = st.st_uid;
    id.group = st.st_gid;
    return id;
}

bool resolvedPath(const std::string& path, std::string& out, std::string& error) {
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer)) {
        error = std::strerror(errno);
        return false;
    }
    out = buffer;
    return true;
}

} // namespace

bool readSnapshot(const std::string& path, FileSnapshot& out, std::string& error) {
    out = FileSnapshot{};
    out.path = path;
    if (!resolvedPath(path, out.target, error)) return false;
    UniqueFd fd(::open(out.target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    if (int e = readAll(fd.get(), out.bytes, static_cast<std::size_t>(st.st_size))) {
        error = std::strerror(e);
        return false;
    }
    const std::size_t got = out.bytes.size();
    // The identity after reading, so a write that raced the read shows up as a change.
    if (::fstat(fd.get(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    out.identity = identityOf(st);
    if (out.identity.size != static_cast<std::int64_t>(got)) {
        error = "the file changed while it was read";
        return false;
    }
    return true;
}

bool currentIdentity(const std::string& target, FileIdentity& out) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    out = identityOf(st);
    return true;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::vector<std::string_view> lineViews(std::string_view bytes) {
    std::vector<std::string_view> lines;
    splitLines(bytes, lines);
    return lines;
}

std::string_view lineBreakAfter(std::string_view bytes, std::string_view line) {
    const std::size_t at = static_cast<std::size_t>(line.data() - bytes.data()) + line.size();
    if (at >= bytes.size()) return {};
    if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n')
        return bytes.substr(at, 2);
    if (bytes[at] == '\r' || bytes[at] == '\n') return bytes.substr(at, 1);
    return {};
}

std::string rewriteRefusal(std::string_view bytes) {
    if (bytes.find('\0') != std::string_view::npos)
        return "it holds a NUL byte (it is not a plain text file)";
    return {};
}

} // namespace vesk
