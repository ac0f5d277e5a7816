#include "replace/file_snapshot.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/unique_fd.h"

namespace vesk {

namespace {

FileIdentity identityOf(const struct stat& st) {
    FileIdentity id;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = static_cast<std::int64_t>(st.st_size);
    id.mtimeSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    id.mtimeNanoseconds = st.st_mtim.tv_nsec;
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
    out.bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (true) {
        if (got == out.bytes.size()) out.bytes.resize(got + 65536);
        const ssize_t n = ::read(fd.get(), out.bytes.data() + got, out.bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.bytes.resize(got);
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

TextLayout detectLayout(std::string_view bytes) {
    TextLayout layout;
    const std::size_t i = bytes.find_first_of("\r\n");
    if (i != std::string_view::npos) {
        if (bytes[i] == '\n')
            layout.lineEnd = LineEnd::Lf;
        else
            layout.lineEnd =
                i + 1 < bytes.size() && bytes[i + 1] == '\n' ? LineEnd::CrLf : LineEnd::Cr;
    }
    layout.finalBreak = !bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r');
    return layout;
}

std::string_view lineEndBytes(LineEnd e) {
    switch (e) {
    case LineEnd::CrLf:
        return "\r\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::Lf:
        break;
    }
    return "\n";
}

std::string joinLines(const std::vector<std::string>& lines, const TextLayout& layout) {
    const std::string_view eol = lineEndBytes(layout.lineEnd);
    std::string out;
    std::size_t size = 0;
    for (const std::string& l : lines)
        size += l.size() + eol.size();
    out.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || layout.finalBreak) out += eol;
    }
    return out;
}

std::string rewriteRefusal(std::string_view bytes, const std::vector<std::string>& lines,
                           const TextLayout& layout) {
    if (bytes.find('\0') != std::string_view::npos)
        return "it holds a NUL byte (it is not a plain text file)";
    if (joinLines(lines, layout) != bytes)
        return "its line ends are mixed (CR LF, LF or CR), so lines that are not changed would "
               "not be saved as they are";
    return {};
}

} // namespace vesk
