#include "results/output_file.h"

#include <cerrno>
#include <sys/stat.h>
#include <system_error>

#include "lib/save_io.h"

namespace vesk {

namespace {

[[noreturn]] void fail(const std::string& name, int error) {
    throw std::system_error(error, std::generic_category(), name);
}

} // namespace

void saveOutputFile(const std::string& fileName, std::string_view bytes) {
    const WriteResult r = replaceWholeFile(fileName, bytes, LinkRule::Refuse);
    if (!r.ok) fail(fileName, r.code != 0 ? r.code : EIO);
}

std::string loadOutputFile(const std::string& fileName) {
    std::string text;
    if (int e = readRegularFile(fileName, text)) fail(fileName, e);
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
