#include "search/dir_listing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/text.h"

namespace vesk {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

enum class Kind { File, Folder, Other };

// Resolves what an entry is without following links to folders.
Kind entryKind(int dirFd, const dirent* e, struct stat& st, bool& haveStat) {
    haveStat = false;
    switch (e->d_type) {
    case DT_REG:
        return Kind::File;
    case DT_DIR:
        return Kind::Folder;
    case DT_LNK: {
        if (fstatat(dirFd, e->d_name, &st, 0) != 0) return Kind::Other; // dangling link
        haveStat = true;
        return S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
    }
    case DT_UNKNOWN: {
        if (fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return Kind::Other;
        if (S_ISDIR(st.st_mode)) return Kind::Folder;
        if (S_ISREG(st.st_mode)) {
            haveStat = true;
            return Kind::File;
        }
        if (S_ISLNK(st.st_mode) && fstatat(dirFd, e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode)) {
            haveStat = true;
            return Kind::File;
        }
        return Kind::Other;
    }
    default:
        return Kind::Other;
    }
}

} // namespace

bool listingLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ua = kUpper[static_cast<unsigned char>(a[i])];
        const auto ub = kUpper[static_cast<unsigned char>(b[i])];
        if (ua != ub) return ua < ub;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

DateValue listingTime(long long unixSeconds) {
    // Even seconds in local time, as a packed file date stores them.
    const DateValue t = localDateValue(unixSeconds);
    const double seconds = t * 86400.0;
    const double rounded = std::floor(std::floor(seconds + 1e-6) / 2.0) * 2.0;
    return rounded / 86400.0;
}

void listFolder(const std::string& folder, const ListingOptions& options,
                std::vector<DirEntry>& out) {
    out.clear();
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return;
    const int fd = dirfd(dir.get());
    while (const dirent* e = readdir(dir.get())) {
        const bool dot = std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0;
        if (dot && !options.includeDots) continue;
        struct stat st {};
        bool haveStat = false;
        const Kind kind = dot ? Kind::Folder : entryKind(fd, e, st, haveStat);
        if (kind == Kind::Other) continue;
        unsigned attr = kind == Kind::Folder ? static_cast<unsigned>(faDirectory) : 0u;
        if (!dot && e->d_name[0] == '.') attr |= faHidden;
        DirEntry entry{e->d_name, attr, 0};
        if (options.wantTimes && kind == Kind::File) {
            if (!haveStat && fstatat(fd, e->d_name, &st, 0) != 0) continue; // vanished
            entry.time = listingTime(static_cast<long long>(st.st_mtim.tv_sec));
        }
        out.push_back(std::move(entry));
    }
    std::sort(out.begin(), out.end(),
              [](const DirEntry& a, const DirEntry& b) { return listingLess(a.name, b.name); });
}

} // namespace vesk
