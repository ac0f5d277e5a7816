#pragma once
// TFindFile: lists one folder (and optionally its subfolders) with one listing pattern.

#include <set>
#include <string>
#include <vector>

namespace vesk {

enum class TFileAttrKind { ffaReadOnly, ffaHidden, ffaSysFile, ffaVolumeID, ffaDirectory, ffaArchive, ffaAnyFile };
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

    const std::string& Path() const { return path_; }
    // Takes the value only when it differs, is not empty and names an existing folder.
    void setPath(const std::string& value);

    // Files pass with FileMask as the listing pattern, then subfolders depth first.
    const std::vector<std::string>& Scan();
    const std::vector<std::string>& list() const { return list_; }

private:
    void scanFolder(const std::string& folder);

    std::string path_;
    std::vector<std::string> list_;
};

} // namespace vesk
