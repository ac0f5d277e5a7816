#pragma once
// The numbered file channels 0..40. A channel is a file opened in one of four modes
// ("I" input, "U" update, "O" output, "A" append), written and read line by line with CR LF line
// ends. The table owns the open files (RAII); callers name a channel by its number only:
//
//     channels.open(kLogChannel, "A", logName);   // or xcOpenChannel(channels, 21, "A", logName)
//     channels.write(kLogChannel, line);
//     channels.close(kLogChannel);
//
// Failures:
// - an invalid open (blank name, channel outside 0..40, "I"/"U" on a missing file, a name that is
//   a folder, FIFO or device, a mode letter other than I, U, O, A) shows "Ostrel: Invalid open for
//   file :..." through Dialogs, opens nothing, leaves a channel that was open untouched, and
//   returns false; it never throws;
// - errors of the file system while creating, opening, reading or writing (a read-only file, a
//   missing folder, a full disk) are thrown as std::system_error whose what() is the file name,
//   ": " and the system's text; only errors while closing are swallowed.
// A write or read on a channel that is not open does nothing (a read gives an empty line and
// end-of-file): callers should not try it, and a desktop tool must not crash on it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/dialogs.h"

namespace vesk {

constexpr int kMaxChannel = 40;
constexpr int kLogChannel = 21;     // the search/replace log; xcReadFirstLine
constexpr int kArchiveChannel = 22; // the replace archive

constexpr std::size_t kWriteCut = 8000;       // xcWriteChannel keeps this many characters
constexpr std::size_t kOpenSniffBytes = 5000; // bytes examined for the first CR LF on open
constexpr std::size_t kReadBlock = 5120;      // bytes read by xcReadChannelLine

// One open file: an owned descriptor with the stream position that writes use.
// Files are opened plainly (no sharing modes, docs/architecture.md) and close on exec.
class ChannelFile {
public:
    ChannelFile() = default;
    ~ChannelFile();
    ChannelFile(ChannelFile&& other) noexcept;
    ChannelFile& operator=(ChannelFile&& other) noexcept;
    ChannelFile(const ChannelFile&) = delete;
    ChannelFile& operator=(const ChannelFile&) = delete;

    // Opens `name` as the upper-case mode letter says: 'I' read only; 'U' read and write, existing;
    // 'O' created or emptied; 'A' read and write, created when missing, every write at the end
    // (O_APPEND). Never blocks; anything but a regular file fails with EINVAL.
    // Throws std::system_error on failure.
    static ChannelFile open(const std::string& name, char mode);

    bool isOpen() const { return fd_ >= 0; }
    // The file's current size in bytes.
    std::int64_t size() const;
    // Reads up to `n` bytes at `offset` without moving the write position; returns the count.
    std::size_t readAt(std::int64_t offset, char* buffer, std::size_t n) const;
    // Writes all of `bytes` at the stream position and moves it past them.
    void write(std::string_view bytes);
    // Closes the file; throws std::system_error when the system reports an error on closing.
    void close();

private:
    [[noreturn]] void fail(int error) const;
    int fd_ = -1;
    std::string name_;
};

// The table entry of one channel.
struct ChannelEntry {
    bool open = false;
    char mode = ' ';
    std::string fileName;  // as opened, after the path tokens are expanded
    std::string shortName; // with a base folder replaced by its token
    std::int64_t lineLength = 0;
    std::int64_t recordLength = 0;
    std::int64_t recordCount = 0;
    std::int64_t position = 0; // read position of readLine; "A": the size at opening
};

// Diagnostic counters of the layer.
struct ChannelCounters {
    std::array<std::int64_t, kMaxChannel + 1> writes{}; // per channel 1..40
    std::int64_t opens = 0;
    std::int64_t reads = 0;
    std::int64_t writesTotal = 0;
    std::int64_t closes = 0;
};

// The texts of the two path tokens.
inline constexpr std::string_view kPathToken1 = "{1}";
inline constexpr std::string_view kPathToken2 = "{2}";

// The channel layer: channels 0..40, the path tokens, the diagnostic switch and the log-folder
// setting read by the log routines (lib/logs.h). One table lives as long as the program.
class ChannelTable {
public:
    explicit ChannelTable(Dialogs& dialogs) : dialogs_(dialogs) {}
    ChannelTable(const ChannelTable&) = delete;
    ChannelTable& operator=(const ChannelTable&) = delete;

    // xcOpenChannel: `mode` is a letter in either case. True when the file was opened.
    bool open(int channel, std::string_view mode, std::string_view fileName);
    // xcWriteChannel: the text cut to 8000 characters, one trailing CR LF dropped, then CR LF,
    // in one write at the stream position.
    void write(int channel, std::string_view text);
    // xcReadChannelLine: the line at the channel's read position (read in 5120-byte
    // blocks); `endOfFile` is set when the position reaches the file size.
    void readLine(int channel, std::string& line, bool& endOfFile);
    // xcCloseChannel: nothing outside 0..40; close errors are swallowed (shown with the
    // diagnostic switch on and level above 2).
    void close(int channel);

    // xcExpandPath / xcShortenPath.
    std::string expandPath(std::string_view fileName) const;
    std::string shortenPath(std::string_view fileName) const;

    bool isOpen(int channel) const;
    // The table entry; channel 0 is never entered, so its entry stays empty. Out of range: empty.
    const ChannelEntry& entry(int channel) const;
    const ChannelCounters& counters() const { return counters_; }

    Dialogs& dialogs() { return dialogs_; }

    // The two base folders of the path tokens; empty unless the program sets them (it does not).
    std::string baseFolder1;
    std::string baseFolder2;
    // Diagnostic flag (off; nothing in this system turns it on) and level (3 when the settings key
    // "Testing"/"ReplaceExtraInfo" is true).
    bool diagnostic = false;
    int diagnosticLevel = 0;
    // The log-folder setting of the log routines: used when it names an existing folder, else the
    // state folder. Nothing in this system sets it.
    std::string logFolder;
    // For tests: the program folder and the executable's file name the log routines use instead
    // of stateFolder() and executableFileName() when not empty.
    std::string programFolderOverride;
    std::string executableNameOverride;

private:
    struct Slot {
        ChannelFile file;
        ChannelEntry entry; // kept for channel 0 too (the read position), but not reported
    };
    void closeSlot(int channel);

    Dialogs& dialogs_;
    std::array<Slot, kMaxChannel + 1> slots_;
    ChannelCounters counters_;
};

// The messages shown when closing a channel fails with the diagnostic switch on (level above 2).
std::string closeErrorMessage(std::string_view className, std::string_view errorText);
std::string closeErrorDetail(int channel, std::string_view shortName, std::string_view className,
                             std::string_view errorText);

// The routines under their library names.
inline bool xcOpenChannel(ChannelTable& t, int channel, std::string_view mode,
                          std::string_view fileName) {
    return t.open(channel, mode, fileName);
}
inline void xcWriteChannel(ChannelTable& t, int channel, std::string_view text) {
    t.write(channel, text);
}
inline void xcReadChannelLine(ChannelTable& t, int channel, std::string& line, bool& endOfFile) {
    t.readLine(channel, line, endOfFile);
}
inline void xcCloseChannel(ChannelTable& t, int channel) {
    t.close(channel);
}
inline std::string xcExpandPath(const ChannelTable& t, std::string_view fileName) {
    return t.expandPath(fileName);
}
inline std::string xcShortenPath(const ChannelTable& t, std::string_view fileName) {
    return t.shortenPath(fileName);
}

// The bytes one xcWriteChannel writes for `text` (also used by xcAppendLogLine).
std::string channelLineBytes(std::string_view text);

} // namespace vesk
