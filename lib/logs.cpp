#include "lib/logs.h"

#include <sys/stat.h>

#include "lib/datetime.h"
#include "lib/program_folder.h"
#include "lib/text.h"

namespace vesk {

namespace {

constexpr std::size_t kWholeLineFrom = 5000; // longer lines are written whole

bool isFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Size of a regular file, -1 when there is none.
long long regularFileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<long long>(st.st_size);
}

// Copy(s, from, count) with 1-based `from`, as short as the text allows.
std::string_view part(std::string_view s, std::size_t from, std::size_t count) {
    if (from < 1 || from > s.size()) return {};
    return s.substr(from - 1, count);
}

std::string logLine(const ChannelTable& channels, DateValue now, std::string_view message) {
    std::string line = formatDate(now, kFormatDate);
    line += ' ';
    line += formatDate(now, kFormatTime);
    line += ' ';
    line += nameWithoutExtension(logExecutableName(channels));
    line += ' ';
    line += message;
    return line;
}

} // namespace

std::string logFolder(const ChannelTable& channels) {
    if (isFolder(channels.logFolder)) return withTrailingSlash(channels.logFolder);
    if (!channels.programFolderOverride.empty())
        return withTrailingSlash(channels.programFolderOverride);
    return stateFolder();
}

std::string logExecutableName(const ChannelTable& channels) {
    if (!channels.executableNameOverride.empty()) return channels.executableNameOverride;
    return executableFileName();
}

std::string nameWithoutExtension(std::string_view name) {
    if (name.size() > 4 && name[name.size() - 4] == '.') name.remove_suffix(4);
    return std::string(name);
}

std::string runLogPath(const ChannelTable& channels) {
    return logFolder(channels) + std::string(kRunLogName);
}

std::string namedLogPath(const ChannelTable& channels, std::string_view logName) {
    if (trimView(logName).empty()) {
        // The executable's name with its extension changed to ".Log".
        const std::string exe = logExecutableName(channels);
        const std::string_view ext = fileExtension(exe);
        return logFolder(channels) + exe.substr(0, exe.size() - ext.size()) + ".Log";
    }
    const std::string_view folder = fileFolder(logName);
    if (!folder.empty() && isFolder(std::string(folder))) return std::string(logName);
    return logFolder(channels) + std::string(logName);
}

std::string xcReadFirstLine(ChannelTable& channels, std::string_view fileName) {
    const std::string name(fileName);
    if (regularFileSize(name) <= 0) return {};
    if (!channels.open(kLogChannel, "I", name)) return {};
    std::string line;
    bool endOfFile = false;
    try {
        channels.readLine(kLogChannel, line, endOfFile);
    } catch (...) {
        channels.close(kLogChannel);
        throw;
    }
    channels.close(kLogChannel);
    const auto end = line.find_first_of("\r\n");
    if (end != std::string::npos) line.resize(end);
    return line;
}

void xcRunLog(ChannelTable& channels, const Clock& clock, std::string_view message) {
    const std::string file = runLogPath(channels);
    const DateValue now = clock.now();
    const std::string today = formatDate(now, kFormatDate);
    const std::string first = xcReadFirstLine(channels, file);
    const bool sameDay = part(first, 1, 9) == today;
    xcAppendLogLine(sameDay ? "A" : "O", file, logLine(channels, now, message));
}

bool samePeriod(int period, std::string_view newLine, std::string_view firstLine) {
    std::size_t from = 0, count = 0;
    switch (period) {
    case kLogPerDay:
        from = 1, count = 9;
        break;
    case kLogPerMonth:
        from = 4, count = 6;
        break;
    case kLogPerYear:
        from = 8, count = 2;
        break;
    case kLogPerHour:
        from = 1, count = 12;
        break;
    case kLogPerMinute:
        from = 1, count = 15;
        break;
    default:
        return false;
    }
    return part(newLine, from, count) == part(firstLine, from, count);
}

void xcNamedLog(ChannelTable& channels, const Clock& clock, std::string_view logName, int period,
                std::string_view message) {
    const std::string file = namedLogPath(channels, logName);
    const std::string line = logLine(channels, clock.now(), message); // "dd-mmm-yy hh:nn:ss ..."
    const std::string first = xcReadFirstLine(channels, file);
    xcAppendLogLine(samePeriod(period, line, first) ? "A" : "O", file, line);
}

void xcAppendLogLine(std::string_view mode, std::string_view fileName, std::string_view line) {
    const std::string name(fileName);
    const bool append = regularFileSize(name) > 0 && upperCase(trimView(mode)) != "O";
    const std::string bytes =
        line.size() > kWholeLineFrom ? std::string(line) + "\r\n" : channelLineBytes(line);
    ChannelFile file = ChannelFile::open(name, append ? 'A' : 'O');
    file.write(bytes);
    file.close();
}

} // namespace vesk
