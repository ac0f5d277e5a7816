#include "results/output_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "lib/unique_fd.h"

namespace vesk {

namespace {

[[noreturn]] void fail(const std::string& name, int error) {
    throw std::system_error(error, std::generic_category(), name);
}

void writeAll(int fd, std::string_view bytes, const std::string& fileName) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(fileName, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

} // namespace

void saveOutputFile(const std::string& fileName, std::string_view bytes) {
    const int fd =
        ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) fail(fileName, errno);
    try {
        writeAll(fd, bytes, fileName);
    } catch (...) {
        ::close(fd);
        throw;
    }
    // A full disk may only show at close; the export must not be reported as saved then.
    if (::close(fd) != 0 && errno != EINTR) fail(fileName, errno);
}

std::string loadOutputFile(const std::string& fileName) {
    UniqueFd fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) fail(fileName, errno);
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(fileName, errno);
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

void ensureOutputFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return;
        fail(folder, ENOTDIR);
    }
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) fail(folder, errno);
}

std::vector<std::string_view> splitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

} // namespace vesk
