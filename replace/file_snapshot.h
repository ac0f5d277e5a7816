#pragma once
// A file as the replace review reads it: every byte, the facts that tell whether it changed on
// disk, and its lines with the line-end style they were written in. A link is followed: the
// snapshot names the file it points to, which is the one a save rewrites.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace vesk {

enum class LineEnd { CrLf, Lf, Cr };

// How a file's lines are joined: the first line break decides the style (LF when there is none);
// a file whose last line has no break keeps it that way.
struct TextLayout {
    LineEnd lineEnd = LineEnd::Lf;
    bool finalBreak = false;
    bool operator==(const TextLayout&) const = default;
};

// What a save compares with the disk before it replaces the file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeSeconds = 0;
    long mtimeNanoseconds = 0;
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
TextLayout detectLayout(std::string_view bytes);
std::string_view lineEndBytes(LineEnd e);
// The lines joined in the layout's style.
std::string joinLines(const std::vector<std::string>& lines, const TextLayout& layout);

// Why the file must not be rewritten, or empty: a NUL byte, or line ends that joining its own lines
// in one style would change (mixed CR LF / LF / CR).
std::string rewriteRefusal(std::string_view bytes, const std::vector<std::string>& lines,
                           const TextLayout& layout);

} // namespace vesk
