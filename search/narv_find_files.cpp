#include "search/narv_find_files.h"

#include <algorithm>
#include <sys/stat.h>

#include "lib/text.h"
#include "search/dir_listing.h"

namespace vesk {

void TNarvFindFiles::setFileMask(const std::vector<std::string>& masks) {
    std::vector<vesk::FileMask> compiled;
    compiled.reserve(masks.size());
    for (const std::string& m : masks)
        compiled.emplace_back(m);
    maskTexts_ = masks;
    masks_ = std::move(compiled);
}

const std::vector<std::string>& TNarvFindFiles::Scan() {
    list_.clear();
    first_ = second_ = 0;
    nextProgress_ = clock_.now();
    ContinueScan = true;
    for (const std::string& p : Paths) {
        if (trimView(p).empty()) continue;
        struct stat st {};
        if (stat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        std::string root = p;
        if (root.back() != '/') root += '/';
        ++first_;
        scanFolder(root);
    }
    if (Sorted)
        std::stable_sort(
            list_.begin(), list_.end(),
            [](const std::string& a, const std::string& b) { return listingLess(a, b); });
    return list_;
}

void TNarvFindFiles::progress() {
    const DateValue now = clock_.now();
    if (now <= nextProgress_) return;
    if (OnScanProgress) OnScanProgress(first_, second_, list_.size());
    nextProgress_ = now + ProgressInterval;
    if (ProcessEvents) ProcessEvents();
}

void TNarvFindFiles::scanFolder(const std::string& folder) {
    if (!ContinueScan) return;
    const unsigned attr = fileAttrFilter(FileAttr);
    unsigned folderFilter = faDirectory | (attr & (faReadOnly | faHidden | faSysFile));
    if (attr == faAnyFile || FileAttr.count(TFileAttrKind::ffaAnyFile))
        folderFilter = faDirectory | faReadOnly | faHidden | faSysFile;
    if (FileAttr.count(TFileAttrKind::ffaDirectory))
        ++first_;
    else
        ++second_;

    std::vector<DirEntry> entries;
    listFolder(folder, {false, SelectOnDates}, entries);
    for (const DirEntry& e : entries) {
        if (!ContinueScan) break;
        if (!passesFilter(e, 0)) continue;
        if (MatchesFileMask(e.name)) {
            const bool inRange = !SelectOnDates || (SelectStartDate <= e.time &&
                                                    SelectEndDate > 0 && e.time <= SelectEndDate);
            if (inRange) list_.push_back(folder + e.name);
        }
        progress();
    }
    if (OnFolderListed) OnFolderListed();
    if (!InSubFolders) return;
    for (const DirEntry& e : entries) {
        if (!ContinueScan) return;
        if (!(e.attr & faDirectory) || !passesFilter(e, folderFilter)) continue;
        if ((e.attr & faHidden) && !SearchHistory) continue;
        scanFolder(folder + e.name + "/");
    }
}

} // namespace vesk
