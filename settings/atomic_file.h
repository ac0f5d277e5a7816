#pragma once
// Replaces a file's content all at once: the new bytes go to a file created beside it, reach the
// disk, take the old file's permission bits and are renamed over it, so a crash or a full disk
// leaves either the old file or the new one, never half of either.

#include <string>
#include <string_view>

namespace vesk {

struct AtomicWriteResult {
    bool ok = false;
    std::string reason; // the system's text for the failing step; empty on success
};

// Writes `bytes` as the file at `path`. A symbolic link at `path` keeps being a link: its target
// is replaced. A new file gets the usual permissions (0666 less the umask).
AtomicWriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace vesk
