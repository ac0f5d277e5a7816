#pragma once
// The names of a reviewed file's temporary copy (the new content, for the differences viewer)
// and of its backup: folder, name without its last extension (trimmed), "-VeskSearchReplace-",
// the local time "yyyymmdd-hhnnss", "-temp" or "-bak", the extension with its dot.

#include <string>
#include <string_view>

#include "lib/clock.h"

namespace vesk {

inline constexpr std::string_view kReplaceFileMark = "-VeskSearchReplace-";

struct ReviewNames {
    std::string folder; // with its trailing "/", or empty
    std::string base;   // the name without its last extension, trimmed
    std::string stamp;  // "yyyymmdd-hhnnss"
    std::string ext;    // the last extension with its dot, or empty

    std::string temp() const;
    // Backup candidate n: n = 0 is the plain name; later ones insert "-2", "-3"... before "-bak",
    // so two saves in the same second never share a backup.
    std::string backup(int n = 0) const;
};

ReviewNames MakeTempAndBackupNames(std::string_view fileName, const Clock& clock);

} // namespace vesk
