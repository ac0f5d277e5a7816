#pragma once
// A file as the replace review reads it: every byte, the facts that tell whether it changed on
// disk, and its lines, each with its own line break. A link is followed: the
// snapshot names the file it points to, which is the one a save rewrites.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace vesk {

// What a save compares with the disk before it replaces the file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeSeconds = 0;
    long mtimeNanoseconds = 0;
    // The status time: any write or attribute change moves it, even one that sets the
    // modification time back. Not part of ==, since making the backup link moves it too.
    std::int64_t ctimeSeconds = 0;
    long ctimeNanoseconds = 0;
    mode_t mode = 0; // permission bits (07777)
    uid_t owner = 0;
    gid_t group = 0;
    bool operator==(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               mtimeSeconds == o.mtimeSeconds && mtimeNanoseconds == o.mtimeNanoseconds;
    }
};

struct FileSnapshot {
    std::string path;   // as the caller named it
    std::string target; // the regular file read: `path` with every link resolved
    std::string bytes;
    FileIdentity identity;
};

// Reads the whole file. False with the system's message (or "not a regular file") in `error`.
bool readSnapshot(const std::string& path, FileSnapshot& out, std::string& error);

// The identity of the regular file at `target` (not following a final link). False when it is
// missing or not a regular file.
bool currentIdentity(const std::string& target, FileIdentity& out);

// Lines split at CR LF, CR or LF; a break at the very end does not start another line.
std::vector<std::string> splitLines(std::string_view bytes);
// The same lines as views into `bytes`, which must outlive them.
std::vector<std::string_view> lineViews(std::string_view bytes);
// The line break that follows `line` (a view into `bytes`): "\r\n", "\r", "\n" or empty.
std::string_view lineBreakAfter(std::string_view bytes, std::string_view line);

// Why the file must not be rewritten, or empty: a NUL byte (it is not a plain text file).
std::string rewriteRefusal(std::string_view bytes);

} // namespace vesk
