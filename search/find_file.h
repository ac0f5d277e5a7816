#pragma once
// TFindFile: lists one folder (and optionally its subfolders) with one listing pattern.

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace vesk {

enum class TFileAttrKind {
    ffaReadOnly,
    ffaHidden,
    ffaSysFile,
    ffaVolumeID,
    ffaDirectory,
    ffaArchive,
    ffaAnyFile
};
using TFileAttr = std::set<TFileAttrKind>;

// The listing filter a set of attribute kinds stands for (ffaAnyFile adds 63).
unsigned fileAttrFilter(const TFileAttr& attr);

class TFindFile {
public:
    // Path starts as the current folder with a trailing "/".
    TFindFile();

    TFileAttr FileAttr{TFileAttrKind::ffaAnyFile};
    bool InSubFolders = false;
    std::string FileMask = "*.*";
    // Cleared to end a scan under way; Scan sets it.
    bool ContinueScan = false;
    // Called after each folder's files are added to the list (the list only grows during a scan).
    std::function<void()> OnFolderListed;

    // Empty when the last value given named no folder.
    const std::string& Path() const { return path_; }
    // Takes a value that names an existing folder (with a trailing "/"). Any other value empties
    // Path, so Scan lists nothing: a missing folder is never searched as the folder before it.
    void setPath(const std::string& value);

    // Files pass with FileMask as the listing pattern, then subfolders depth first; nothing
    // without a Path.
    const std::vector<std::string>& Scan();
    const std::vector<std::string>& list() const { return list_; }

private:
    void scanFolder(const std::string& folder);

    std::string path_;
    std::vector<std::string> list_;
};

} // namespace vesk
