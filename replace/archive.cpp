#include "replace/archive.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

std::int64_t charactersAsCrLfLines(const std::vector<std::string>& lines) {
    std::int64_t n = 0;
    for (const std::string& l : lines)
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

ArchiveSource archiveSourceFrom(const FileSnapshot& snapshot, std::vector<std::string> lines) {
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

std::string archiveEntry(const ArchiveSource& source, std::string_view note, const Clock& clock) {
    const std::string info = archiveInfoLine(source, note, clock);
    std::string out;
    out.reserve(static_cast<std::size_t>(charactersAsCrLfLines(source.lines)) + 1024);
    addLine(out, archiveSeparator(1));
    addLine(out, info);
    addLine(out, archiveSeparator(2));
    for (const std::string& l : source.lines)
        addLine(out, l);
    addLine(out, archiveSeparator(3));
    addLine(out, info);
    addLine(out, archiveSeparator(4));
    addLine(out, archiveBar());
    return out;
}

ArchiveAppend appendToArchive(const std::string& archivePath, std::string_view entry, SaveIo& io) {
    ArchiveAppend a;
    struct stat st {};
    a.created = ::stat(archivePath.c_str(), &st) != 0;
    UniqueFd fd(io.openAppend(archivePath));
    if (!fd) {
        const int e = errno;
        a.error = "Unable to open the archive " + archivePath + ": " + std::strerror(e);
        return a;
    }
    if (::fstat(fd.get(), &st) == 0) a.sizeBefore = static_cast<std::int64_t>(st.st_size);
    const std::string bytes = (a.created ? archiveHeading() : std::string()) + std::string(entry);
    int e = writeAll(io, fd.get(), bytes);
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
    a.sizeAfter = a.sizeBefore + static_cast<std::int64_t>(bytes.size());
    a.ok = true;
    return a;
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
    const ArchiveSource source = archiveSourceFrom(snapshot, splitLines(snapshot.bytes));
    const ArchiveAppend a = appendToArchive(archivePath, archiveEntry(source, changeNote, clock));
    if (!a.ok && error) *error = a.error;
    return a.ok;
}

void xcAppendLine(const std::string& fileName, std::string_view text) {
    std::string bytes = std::string(text) + std::string(kCrLf);
    if (bytes.size() > kAppendLineCut) bytes.resize(kAppendLineCut);
    UniqueFd fd(::open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (!fd) throw std::system_error(errno, std::generic_category(), fileName);
    int e = ::lseek(fd.get(), 0, SEEK_END) < 0 ? errno : 0;
    if (e == 0) e = writeAll(systemSaveIo(), fd.get(), bytes);
    if (e != 0) throw std::system_error(e, std::generic_category(), fileName);
}

} // namespace vesk
