#pragma once
// The replace archive "VeskSearchReplaceArchive.jarc" in the program folder: it only grows, and
// every saved replacement leaves there the file as it was before, between delimiter lines, from
// which any earlier version can be restored by hand. Lines end with CR LF.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lib/clock.h"
#include "lib/save_io.h"
#include "replace/file_snapshot.h"

namespace vesk {

inline constexpr std::string_view kArchiveFileName = "VeskSearchReplaceArchive.jarc";
inline constexpr std::string_view kArchiveTitle = "-<<<< Vesk Archive >>>>-";

// The archive of a program folder (with or without its trailing "/").
std::string archivePathIn(std::string_view programFolder);

// 67 vertical bars.
std::string archiveBar();
// Separator k (1..4): "<>" 33 times, "<", the digit k.
std::string archiveSeparator(int k);
// The two heading lines of a new archive, each with its CR LF.
std::string archiveHeading();

// What an entry records of the archived file.
struct ArchiveSource {
    std::string fileName;
    std::vector<std::string_view> lines; // views into the file's bytes, which outlive the source
    std::int64_t mtimeSeconds = 0;       // Unix time of the last write
    bool hasTime = false;
    std::int64_t sizeOnDisk = 0;
};

ArchiveSource archiveSourceFrom(const FileSnapshot& snapshot, std::vector<std::string_view> lines);

// "Archived:dd-mmm-yy ~ hh:nn:ss ~ Lines=L ~  Size=S ~ name ~ note ~ dd-mmm-yy hh:nn size=N".
std::string archiveInfoLine(const ArchiveSource& source, std::string_view note, const Clock& clock);
// The entry's lines, each with its CR LF. The archived lines are written whole (a line is never
// cut), so the entry restores the file exactly.
std::string archiveEntry(const ArchiveSource& source, std::string_view note, const Clock& clock);

// One append to the archive: the heading first when the file does not exist yet, then `entry`,
// flushed to disk. A failure removes what this append wrote (or the archive it created).
struct ArchiveAppend {
    bool ok = false;
    std::string error; // the system's message
    bool created = false;
    std::int64_t sizeBefore = 0;
    std::int64_t sizeAfter = 0;
};
ArchiveAppend appendToArchive(const std::string& archivePath, std::string_view entry,
                              SaveIo& io = systemSaveIo());
// The same for the entry of `source`, written in pieces, so a big file is never held twice more.
ArchiveAppend appendToArchive(const std::string& archivePath, const ArchiveSource& source,
                              std::string_view note, const Clock& clock,
                              SaveIo& io = systemSaveIo());
// Takes back an append whose save did not go through, unless the archive grew since.
void undoArchiveAppend(const std::string& archivePath, const ArchiveAppend& append);

// xcArchiveFile: appends an entry for the file as it is on disk now. Nothing happens when the file
// does not exist. False with the system's message when the file cannot be read or the archive
// cannot be written.
bool xcArchiveFile(const std::string& archivePath, const std::string& fileName,
                   std::string_view changeNote, const Clock& clock, std::string* error = nullptr);

// xcAppendLine: appends the text and CR LF (together cut to 8000 characters), creating the file
// when missing. Throws std::system_error ("name: system text") on failure.
void xcAppendLine(const std::string& fileName, std::string_view text);

} // namespace vesk
