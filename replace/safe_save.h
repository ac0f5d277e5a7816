#pragma once
// Replacing a found file's content without ever losing it, nor anything another program saved.
// The new content goes to a new file in the same folder (created exclusively, flushed, given the
// original's owner, permission bits, ACLs and extended attributes); the original is hard-linked
// (or, where links are refused, copied) to a backup name that is never an existing file; then the
// new file and the original swap names in one step (renameat2 RENAME_EXCHANGE) and the file that
// was displaced is compared with the one that was read: when another program replaced or wrote
// the file in the meantime, the names swap back and the save is refused. A file system that cannot
// swap names refuses the save. Any failure leaves the original exactly as it was, removes what the
// save created and reports why.

#include <functional>
#include <string>

#include <sys/types.h>

#include "lib/save_io.h"
#include "replace/file_snapshot.h"

namespace vesk {

// The hidden name a save writes the new content under: "." + name + kNewContentMark (+ "-n").
inline constexpr std::string_view kNewContentMark = "-VeskSearchReplace-new";

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
    dev_t newDevice = 0;    // when saved: the file now under the original name
    ino_t newInode = 0;
};

SafeSaveResult safeSave(const SafeSaveRequest& request, SaveIo& io = systemSaveIo());

// Removes the hidden new-content files that saves killed before they finished left in `folder`
// (with its "/"). A file a running save still holds (it keeps a lock on it) is left alone.
// safeSave calls it at the first save in each folder.
void removeLeftoverNewFiles(const std::string& folder);

} // namespace vesk
