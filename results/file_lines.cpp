#include "results/file_lines.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "lib/unique_fd.h"
#include "search/lines.h"

namespace vesk {

namespace {

std::string systemText(int error) {
    return std::generic_category().message(error);
}

// The whole file; false with the error text. A FIFO or device named like a found file must not
// block the window, so only regular files are read.
bool readRegularFile(const std::string& path, std::string& out, std::string& error) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd) {
        error = systemText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = systemText(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode) || !S_ISREG(st.st_mode)) {
        error = systemText(S_ISDIR(st.st_mode) ? EISDIR : ENODEV);
        return false;
    }
    std::string data;
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    for (;;) {
        if (got == data.size()) data.resize(data.size() + 65536); // the file may have grown
        const ssize_t r = ::read(fd.get(), data.data() + got, data.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            error = systemText(errno);
            return false;
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    data.resize(got);
    out = std::move(data);
    return true;
}

} // namespace

bool FileLines::load(const std::string& path, std::string& error) {
    std::string text;
    if (!readRegularFile(path, text, error)) return false;
    text.resize(textBeforeNul(text).size());
    std::vector<std::string_view> views;
    splitLines(text, views);
    std::vector<Span> spans;
    spans.reserve(views.size());
    for (const std::string_view v : views)
        spans.push_back({static_cast<std::size_t>(v.data() - text.data()), v.size()});
    text_ = std::move(text);
    spans_ = std::move(spans);
    return true;
}

std::string_view FileLines::line(std::size_t n) const {
    if (n < 1 || n > spans_.size()) return {};
    const Span s = spans_[n - 1];
    return std::string_view(text_).substr(s.begin, s.size);
}

void FileLines::clear() {
    text_ = std::string();
    spans_ = std::vector<Span>();
}

} // namespace vesk
