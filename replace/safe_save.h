#pragma once
// Replacing a file's content without ever losing it. The new content goes to a new file in the
// same folder (created exclusively, flushed, given the original's permission bits and, as root,
// its owner); the original is hard-linked (or, where links are refused, copied) to a backup name
// that is never an existing file; the new file is renamed over the original name and the folder
// flushed. The original name never goes missing nor holds partial content. Any failure before the
// rename leaves the original exactly as it was, removes the new file and reports the system's
// message.

#include <functional>
#include <string>

#include <sys/types.h>

#include "replace/file_snapshot.h"

namespace vesk {

// The system calls a save makes, so tests can make any of them fail (a full disk, a folder that
// refuses new files). Each returns what the system call returns and leaves errno set on failure.
class SaveIo {
public:
    virtual ~SaveIo() = default;
    // open(O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC).
    virtual int openNew(const std::string& path, mode_t mode);
    // open(O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC): files the program appends to (the archive).
    virtual int openAppend(const std::string& path);
    virtual ssize_t write(int fd, const char* data, std::size_t size);
    virtual int fsync(int fd);
    virtual int link(const std::string& from, const std::string& to);
    virtual int rename(const std::string& from, const std::string& to);
};

// The real system calls.
SaveIo& systemSaveIo();

// Writes all bytes (short writes and EINTR are taken care of): 0, or the errno of the failure.
int writeAll(SaveIo& io, int fd, std::string_view bytes);

struct SafeSaveRequest {
    const FileSnapshot* original = nullptr; // the content and identity the review read
    std::string newContent;
    // The n-th backup name to try (n from 0); each must be in the original's folder.
    std::function<std::string(int)> backupName;
    // Runs after the new file is complete and before the original is touched; a non-empty error
    // stops the save. `undoBeforeReplace` runs when a later step fails.
    std::function<std::string()> beforeReplace;
    std::function<void()> undoBeforeReplace;
};

struct SafeSaveResult {
    bool saved = false;     // the new content is in place under the original name
    std::string backupName; // the backup made (when saved)
    std::string error;      // why not saved; or, when saved, a warning (folder not flushed)
};

SafeSaveResult safeSave(const SafeSaveRequest& request, SaveIo& io = systemSaveIo());

} // namespace vesk
