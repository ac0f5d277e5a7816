#include "search/find_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "lib/text.h"
#include "search/dir_listing.h"
#include "search/file_mask.h"

namespace vesk {

namespace {
bool isFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string withSlash(std::string s) {
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}
} // namespace

unsigned fileAttrFilter(const TFileAttr& attr) {
    unsigned f = 0;
    const std::pair<TFileAttrKind, unsigned> bits[] = {
        {TFileAttrKind::ffaReadOnly, faReadOnly},   {TFileAttrKind::ffaHidden, faHidden},
        {TFileAttrKind::ffaSysFile, faSysFile},     {TFileAttrKind::ffaVolumeID, faVolumeID},
        {TFileAttrKind::ffaDirectory, faDirectory}, {TFileAttrKind::ffaArchive, faArchive},
        {TFileAttrKind::ffaAnyFile, faAnyFile}};
    for (const auto& [kind, bit] : bits)
        if (attr.count(kind)) f += bit;
    return f;
}

TFindFile::TFindFile() {
    char buf[4096];
    if (getcwd(buf, sizeof buf)) setPath(buf);
}

void TFindFile::setPath(const std::string& value) {
    const bool folder = !trimView(value).empty() && isFolder(value);
    path_ = folder ? withSlash(value) : std::string();
}

const std::vector<std::string>& TFindFile::Scan() {
    list_.clear();
    ContinueScan = true;
    if (!path_.empty()) scanFolder(path_);
    return list_;
}

void TFindFile::scanFolder(const std::string& folder) {
    if (!ContinueScan) return;
    std::vector<DirEntry> entries;
    listFolder(folder, {true, false}, entries);
    const unsigned filter = fileAttrFilter(FileAttr);
    for (const DirEntry& e : entries)
        if (passesFilter(e, filter) && matchesListingPattern(FileMask, e.name))
            list_.push_back(folder + e.name);
    if (OnFolderListed) OnFolderListed();
    if (!InSubFolders) return;
    for (const DirEntry& e : entries) {
        if (!ContinueScan) return;
        if (!(e.attr & faDirectory) || !passesFilter(e, faDirectory) || e.name == "." ||
            e.name == "..")
            continue;
        scanFolder(folder + e.name + "/");
    }
}

} // namespace vesk
