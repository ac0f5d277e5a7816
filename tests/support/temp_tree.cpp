#include "tests/support/temp_tree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/time.h>

namespace fs = std::filesystem;

namespace vesk::test {

TempTree::TempTree() {
    std::string tmpl = (fs::temp_directory_path() / "vesk-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    root_ = tmpl + "/";
}

TempTree::~TempTree() {
    std::error_code ec;
    // Give back write permission first so read-only folders made by a test can be removed.
    for (auto it = fs::recursive_directory_iterator(
             root_, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(root_, ec);
}

std::string TempTree::path(std::string_view relative) const {
    return root_ + std::string(relative);
}

std::string TempTree::write(std::string_view relative, std::string_view bytes) {
    const std::string full = path(relative);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full);
    return full;
}

std::string TempTree::mkdir(std::string_view relative) {
    const std::string full = path(relative);
    fs::create_directories(full);
    return full.back() == '/' ? full : full + "/";
}

std::string TempTree::read(std::string_view relative) const {
    return readFile(path(relative));
}

void TempTree::setMtime(std::string_view relative, long long unixSeconds) const {
    timeval times[2] = {{static_cast<time_t>(unixSeconds), 0},
                        {static_cast<time_t>(unixSeconds), 0}};
    if (utimes(path(relative).c_str(), times) != 0) throw std::runtime_error("utimes failed");
}

std::string readFile(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool holdsAnythingUnder(const std::string& path) {
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
        if (!ec && target.rfind(path, 0) == 0) return true;
    }
    return false;
}

} // namespace vesk::test
