#include "lib/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vesk {

namespace {

std::optional<std::string_view> env(const char* name) {
    const char* v = std::getenv(name);
    if (!v) return std::nullopt;
    return std::string_view(v);
}

std::string homeFolder() {
    if (auto h = env("HOME"); h && !h->empty()) return std::string(*h);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

} // namespace

PathKind pathKind(std::string_view path) {
    struct stat st {};
    if (path.empty() || ::stat(std::string(path).c_str(), &st) != 0) return PathKind::None;
    if (S_ISREG(st.st_mode)) return PathKind::File;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

bool isExistingFolder(std::string_view path) {
    return pathKind(path) == PathKind::Folder;
}

bool isExistingFile(std::string_view path) {
    return pathKind(path) == PathKind::File;
}

std::string withTrailingSlash(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && out.back() != '/') out += '/';
    return out;
}

std::string executablePath() {
    std::error_code ec;
    const fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

std::string executableFileName() {
    return fs::path(executablePath()).filename().string();
}

namespace {

// Creates each missing level of `folder` with mode 0700, as the XDG rules ask for.
void createFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700); // EEXIST for the levels already there
    }
    ::mkdir(folder.c_str(), 0700);
}

} // namespace

std::string xdgFolderFrom(std::optional<std::string_view> veskHome,
                          std::optional<std::string_view> xdgHome, std::string_view home,
                          std::string_view homeRelative) {
    if (veskHome && isExistingFolder(*veskHome)) return withTrailingSlash(*veskHome);
    // The XDG rules ignore a relative value.
    const std::string base = xdgHome && !xdgHome->empty() && xdgHome->front() == '/'
                                 ? withTrailingSlash(*xdgHome)
                                 : withTrailingSlash(home) + std::string(homeRelative) + "/";
    const std::string folder = base + "vesk/";
    createFolders(folder);
    return folder;
}

std::string settingsFolder() {
    return xdgFolderFrom(env("VESK_HOME"), env("XDG_CONFIG_HOME"), homeFolder(), ".config");
}

std::string stateFolder() {
    return xdgFolderFrom(env("VESK_HOME"), env("XDG_STATE_HOME"), homeFolder(), ".local/state");
}

std::string tempFolder() {
    if (auto t = env("TMPDIR"); t && !t->empty()) return withTrailingSlash(*t);
    return "/tmp/";
}

} // namespace vesk
