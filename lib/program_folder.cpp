#include "lib/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
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

bool isFolder(std::string_view path) {
    if (path.empty()) return false;
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string homeFolder() {
    if (auto h = env("HOME"); h && !h->empty()) return std::string(*h);
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

} // namespace

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

std::string programFolderFrom(std::optional<std::string_view> veskHome, std::string_view exeFolder,
                              std::optional<std::string_view> xdgConfigHome,
                              std::string_view home) {
    if (veskHome && isFolder(*veskHome)) return withTrailingSlash(*veskHome);
    if (isFolder(exeFolder) && ::access(std::string(exeFolder).c_str(), W_OK) == 0)
        return withTrailingSlash(exeFolder);
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    std::string config;
    if (xdgConfigHome && !xdgConfigHome->empty() && xdgConfigHome->front() == '/')
        config = withTrailingSlash(*xdgConfigHome);
    else
        config = withTrailingSlash(home) + ".config/";
    std::string folder = config + "vesk/";
    std::error_code ec;
    fs::create_directories(folder, ec); // a failure shows later, when a file cannot be written
    return folder;
}

std::string programFolder() {
    const std::string exe = executablePath();
    const std::string exeFolder =
        exe.empty() ? std::string() : fs::path(exe).parent_path().string();
    return programFolderFrom(env("VESK_HOME"), exeFolder, env("XDG_CONFIG_HOME"), homeFolder());
}

std::string tempFolder() {
    if (auto t = env("TMPDIR"); t && !t->empty()) return withTrailingSlash(*t);
    return "/tmp/";
}

} // namespace vesk
