#pragma once
// The one way the program writes files. `SaveIo` is the seam of the system calls a write makes, so
// tests can make any of them fail (a full disk, a folder that refuses new files, a rename held up
// by another program). On it sit the helpers every writer shares: the check that the user may
// write a file, the carrying of mode, owner, ACLs and extended attributes to a new file, and
// `replaceWholeFile`, which the settings save and the exports use; the replace save
// (replace/safe_save.h) builds on the same pieces.

#include <string>
#include <string_view>

#include <sys/stat.h>
#include <sys/types.h>

namespace vesk {

class SaveIo {
public:
    virtual ~SaveIo() = default;
    // open(O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC).
    virtual int openNew(const std::string& path, mode_t mode);
    // open(O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC), with O_NOFOLLOW unless
    // `followLinks`: files the program appends to (the archive, the change log).
    virtual int openAppend(const std::string& path, bool followLinks);
    virtual ssize_t write(int fd, const char* data, std::size_t size);
    virtual int fsync(int fd);
    virtual int link(const std::string& from, const std::string& to);
    virtual int rename(const std::string& from, const std::string& to);
    // renameat2(RENAME_EXCHANGE): the two names swap their files in one step.
    virtual int exchange(const std::string& a, const std::string& b);
};

// The real system calls.
SaveIo& systemSaveIo();

// Writes all bytes through the seam: 0, or the errno of the failure.
int writeAll(SaveIo& io, int fd, std::string_view bytes);

// The result of every write of the program: ok, or the reason in the system's words.
struct WriteResult {
    bool ok = false;
    std::string error;
    int code = 0; // the errno of the failure (EACCES for a refusal, EINVAL for a non-regular file)
};

// Why the running user must not rewrite the file `st` describes, or empty. Decided from the mode
// bits and the owner, not from access(2), which lets root write anything: a write-protected file
// (no owner write bit) is refused for root too, and another user's file is refused for anyone but
// root, since a new file in its place would belong to us.
std::string writeRefusal(const struct stat& st);

// Gives the new file `to` the owner (as far as we may set it), permission bits, ACLs and extended
// attributes of `from`, which `fromStat` describes: 0, or the errno of what could not be carried.
int copyFileAttributes(int from, const struct stat& fromStat, int to);

// Opens a regular file for reading without ever blocking (a FIFO or device at the name is
// refused, not opened for good): the descriptor, or -1 with errno set (EINVAL: not a regular file).
int openRegularForRead(const std::string& path, bool followLinks = true);

// Reads a whole regular file: 0, or the errno of the failure (ENOENT when missing, EINVAL when it
// is not a regular file).
int readRegularFile(const std::string& path, std::string& out);

// The folder part of `path` with its "/", or "./".
std::string folderPart(const std::string& path);
std::string namePart(const std::string& path);

// Flushes the folder of `path` so a rename in it is on disk: 0 or errno.
int flushFolderOf(SaveIo& io, const std::string& path);

enum class LinkRule {
    FollowToTarget, // a symbolic link stays a link: its final target is replaced
    Refuse,         // a symbolic link at the name is refused (names others can predict)
};

// Replaces the file at `path` with `bytes` all at once: a new file beside it (created
// exclusively, written, given the old file's attributes, flushed) is renamed over it, so a crash
// or a full disk leaves the old file or the new one, never half of either. A missing file is
// created (0666 less the umask). Refused: a name that is not a regular file, a file the user may
// not write (writeRefusal), attributes that cannot be carried.
WriteResult replaceWholeFile(const std::string& path, std::string_view bytes, LinkRule links,
                             SaveIo& io = systemSaveIo());

} // namespace vesk
