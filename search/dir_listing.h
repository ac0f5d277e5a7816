#pragma once
// One folder's entries the way the scanners see them: sorted by name (letters without case, then
// byte by byte), hidden = leading dot, only regular files (and links to them) are files, folders
// are real folders (links to folders are left out, so a link loop cannot trap a scan), and FIFOs,
// sockets and devices are never listed.

#include <string>
#include <vector>

#include "lib/clock.h"

namespace vesk {

enum FileAttrBits : unsigned {
    faReadOnly = 1,
    faHidden = 2,
    faSysFile = 4,
    faVolumeID = 8,
    faDirectory = 16,
    faArchive = 32,
    faAnyFile = 63,
};

struct DirEntry {
    std::string name;
    unsigned attr = 0;  // faHidden, faDirectory
    DateValue time = 0; // last-write time, only when asked for
};

struct ListingOptions {
    bool includeDots = false; // yield "." and ".." (folders) as the original listing does
    bool wantTimes = false;   // fill DirEntry::time (one stat per file)
};

// Lists `folder` (ending in "/") into `out`, files and folders together, read once; a folder that
// cannot be listed yields nothing.
void listFolder(const std::string& folder, const ListingOptions& options,
                std::vector<DirEntry>& out);

// Whether a listed entry passes an attribute filter: an entry holding an attribute among hidden,
// system and directory that is missing from the filter is left out; the other attributes never
// exclude an entry.
inline bool passesFilter(const DirEntry& entry, unsigned filter) {
    return (entry.attr & ~filter & (faHidden | faSysFile | faDirectory)) == 0;
}

// The listing order: a..z without case first, then byte by byte.
bool listingLess(const std::string& a, const std::string& b);

// The last-write time of a file as the scanners compare it: local time, rounded down to an even
// second.
DateValue listingTime(long long unixSeconds);

} // namespace vesk
