#include "replace/archive.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "lib/datetime.h"
#include "lib/program_folder.h"
#include "lib/text.h"
#include "lib/unique_fd.h"

namespace vesk {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kAppendLineCut = 8000;
constexpr int kBars = 67;
constexpr int kSeparatorPairs = 33;

void addLine(std::string& out, std::string_view line) {
    out += line;
    out += kCrLf;
}

std::int64_t charactersAsCrLfLines(const std::vector<std::string_view>& lines) {
    std::int64_t n = 0;
    for (std::string_view l : lines)
        n += static_cast<std::int64_t>(l.size()) + 2;
    return n;
}

} // namespace

std::string archivePathIn(std::string_view programFolder) {
    return withTrailingSlash(programFolder) + std::string(kArchiveFileName);
}

std::string archiveBar() {
    return std::string(kBars, '|');
}

std::string archiveSeparator(int k) {
    std::string s;
    for (int i = 0; i < kSeparatorPairs; ++i)
        s += "<>";
    s += '<';
    s += static_cast<char>('0' + k);
    return s;
}

std::string archiveHeading() {
    std::string out;
    addLine(out, kArchiveTitle);
    addLine(out, archiveBar());
    return out;
}

ArchiveSource archiveSourceFrom(const FileSnapshot& snapshot, std::vector<std::string_view> lines) {
    ArchiveSource s;
    s.fileName = snapshot.path;
    s.lines = std::move(lines);
    s.mtimeSeconds = snapshot.identity.mtimeSeconds;
    s.hasTime = true;
    s.sizeOnDisk = snapshot.identity.size;
    return s;
}

std::string archiveInfoLine(const ArchiveSource& source, std::string_view note,
                            const Clock& clock) {
    const DateValue now = clock.now();
    std::string fileFacts =
        source.hasTime ? formatDate(fileTimeToDateValue(source.mtimeSeconds), kFormatDateHourMinute)
                       : std::string();
    fileFacts += " size=" + numberText(source.sizeOnDisk);
    std::string line = "Archived:" + formatDate(now, kFormatDate);
    line += " ~ " + formatDate(now, kFormatTime);
    line += " ~ Lines=" + numberText(static_cast<std::int64_t>(source.lines.size()));
    line += " ~  Size=" + numberText(charactersAsCrLfLines(source.lines));
    line += " ~ " + source.fileName;
    line += " ~ " + std::string(note);
    line += " ~ " + fileFacts;
    return line;
}

namespace {

constexpr std::size_t kPieceSize = 1 << 20;

// Hands the entry's bytes to `put` in pieces of about a megabyte; stops at the first error `put`
// returns (0 when all went).
template <typename Put>
int emitEntry(const ArchiveSource& source, std::string_view note, const Clock& clock, Put&& put) {
    const std::string info = archiveInfoLine(source, note, clock);
    std::string piece;
    piece.reserve(kPieceSize + 1024);
    addLine(piece, archiveSeparator(1));
    addLine(piece, info);
    addLine(piece, archiveSeparator(2));
    for (std::string_view l : source.lines) {
        if (piece.size() >= kPieceSize) {
            if (int e = put(std::string_view(piece))) return e;
            piece.clear();
        }
        addLine(piece, l);
    }
    addLine(piece, archiveSeparator(3));
    addLine(piece, info);
    addLine(piece, archiveSeparator(4));
    addLine(piece, archiveBar());
    return put(std::string_view(piece));
}

template <typename WriteBody>
ArchiveAppend appendPieces(const std::string& archivePath, SaveIo& io, WriteBody&& writeBody) {
    ArchiveAppend a;
    struct stat st {};
    a.created = ::stat(archivePath.c_str(), &st) != 0;
    UniqueFd fd(io.openAppend(archivePath, true));
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        const int e = fd ? EINVAL : errno;
        a.error = "Unable to open the archive " + archivePath + ": " + std::strerror(e);
        return a;
    }
    // A big entry goes out in several writes; the lock keeps another vesk's entry from landing
    // between them. The size is read under the lock, so only one of two first saves writes the
    // heading.
    (void)::flock(fd.get(), LOCK_EX);
    if (::fstat(fd.get(), &st) != 0) {
        a.error = "Unable to open the archive " + archivePath + ": " + std::strerror(errno);
        return a;
    }
    a.sizeBefore = static_cast<std::int64_t>(st.st_size);
    std::int64_t written = 0;
    const auto put = [&](std::string_view bytes) {
        written += static_cast<std::int64_t>(bytes.size());
        return writeAll(io, fd.get(), bytes);
    };
    int e = a.sizeBefore == 0 ? put(archiveHeading()) : 0;
    if (e == 0) e = writeBody(put);
    if (e == 0 && io.fsync(fd.get()) != 0) e = errno;
    if (e != 0) {
        if (a.created)
            ::unlink(archivePath.c_str());
        else if (::ftruncate(fd.get(), static_cast<off_t>(a.sizeBefore)) != 0) {
            // The partial entry stays; the message below still tells the user the save stopped.
        }
        a.error = "Unable to write the archive " + archivePath + ": " + std::strerror(e);
        return a;
    }
    a.sizeAfter = a.sizeBefore + written;
    a.ok = true;
    return a;
}

} // namespace

std::string archiveEntry(const ArchiveSource& source, std::string_view note, const Clock& clock) {
    std::string out;
    emitEntry(source, note, clock, [&out](std::string_view piece) {
        out += piece;
        return 0;
    });
    return out;
}

ArchiveAppend appendToArchive(const std::string& archivePath, std::string_view entry, SaveIo& io) {
    return appendPieces(archivePath, io, [entry](auto& put) { return put(entry); });
}

ArchiveAppend appendToArchive(const std::string& archivePath, const ArchiveSource& source,
                              std::string_view note, const Clock& clock, SaveIo& io) {
    return appendPieces(archivePath, io,
                        [&](auto& put) { return emitEntry(source, note, clock, put); });
}

void undoArchiveAppend(const std::string& archivePath, const ArchiveAppend& append) {
    if (!append.ok) return;
    struct stat st {};
    if (::stat(archivePath.c_str(), &st) != 0 || st.st_size != append.sizeAfter) return;
    if (append.created) {
        ::unlink(archivePath.c_str());
        return;
    }
    if (::truncate(archivePath.c_str(), static_cast<off_t>(append.sizeBefore)) != 0) {
        // Nothing more to do: an extra entry holds the file as it still is.
    }
}

bool xcArchiveFile(const std::string& archivePath, const std::string& fileName,
                   std::string_view changeNote, const Clock& clock, std::string* error) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0) return true;
    FileSnapshot snapshot;
    std::string readError;
    if (!readSnapshot(fileName, snapshot, readError)) {
        if (error) *error = "Unable to read " + fileName + ": " + readError;
        return false;
    }
    const ArchiveSource source = archiveSourceFrom(snapshot, lineViews(snapshot.bytes));
    const ArchiveAppend a = appendToArchive(archivePath, source, changeNote, clock);
    if (!a.ok && error) *error = a.error;
    return a.ok;
}

void xcAppendLine(const std::string& fileName, std::string_view text) {
    std::string bytes = std::string(text) + std::string(kCrLf);
    if (bytes.size() > kAppendLineCut) bytes.resize(kAppendLineCut);
    UniqueFd fd(systemSaveIo().openAppend(fileName, true));
    if (!fd) throw std::system_error(errno, std::generic_category(), fileName);
    if (int e = writeAll(systemSaveIo(), fd.get(), bytes))
        throw std::system_error(e, std::generic_category(), fileName);
}

} // namespace vesk
