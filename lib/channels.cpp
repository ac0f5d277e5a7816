#include "lib/channels.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "lib/text.h"
#include "lib/unique_fd.h"

namespace vesk {

// ChannelFile ------------------------------------------------------------------------------------

ChannelFile::~ChannelFile() {
    if (fd_ >= 0) ::close(fd_);
}

ChannelFile::ChannelFile(ChannelFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), name_(std::move(other.name_)) {}

ChannelFile& ChannelFile::operator=(ChannelFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        name_ = std::move(other.name_);
    }
    return *this;
}

void ChannelFile::fail(int error) const {
    throw std::system_error(error, std::generic_category(), name_);
}

ChannelFile ChannelFile::open(const std::string& name, char mode) {
    // Non-blocking, so a FIFO or device put at the name is refused below instead of hanging.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
    case 'I':
        flags |= O_RDONLY;
        break;
    case 'U':
        flags |= O_RDWR;
        break;
    case 'O':
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    case 'A':
        // Every write lands at the end of the file as it is then, so two programs appending to one
        // log never overwrite each other's lines.
        flags |= O_RDWR | O_CREAT | O_APPEND;
        break;
    default:
        throw std::system_error(EINVAL, std::generic_category(), name);
    }
    ChannelFile f;
    f.name_ = name;
    do {
        f.fd_ = ::open(name.c_str(), flags, 0666);
    } while (f.fd_ < 0 && errno == EINTR);
    if (f.fd_ < 0) f.fail(errno);
    struct stat st {};
    if (::fstat(f.fd_, &st) != 0) f.fail(errno);
    if (!S_ISREG(st.st_mode)) f.fail(EINVAL);
    return f;
}

std::int64_t ChannelFile::size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) fail(errno);
    return static_cast<std::int64_t>(st.st_size);
}

std::size_t ChannelFile::readAt(std::int64_t offset, char* buffer, std::size_t n) const {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd_, buffer + got, n - got,
                                  static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (r < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return got;
}

void ChannelFile::write(std::string_view bytes) {
    if (int e = writeAll(fd_, bytes)) fail(e);
}

void ChannelFile::close() {
    if (fd_ < 0) return;
    const int fd = std::exchange(fd_, -1);
    // After close the descriptor is gone whatever the result; EINTR is not an error of the data.
    if (::close(fd) != 0 && errno != EINTR) fail(errno);
}

// Helpers ----------------------------------------------------------------------------------------

namespace {

const ChannelEntry kNoEntry{};

bool validChannel(int channel) {
    return channel >= 0 && channel <= kMaxChannel;
}

enum class Kind { Missing, Regular, Folder, Other };

Kind kindOf(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) return Kind::Missing;
    if (S_ISREG(st.st_mode)) return Kind::Regular;
    if (S_ISDIR(st.st_mode)) return Kind::Folder;
    return Kind::Other;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return !prefix.empty() && s.substr(0, prefix.size()) == prefix;
}

} // namespace

std::string channelLineBytes(std::string_view text) {
    std::string out(text.substr(0, kWriteCut));
    if (out.size() > 1 && out.ends_with("\r\n")) out.resize(out.size() - 2);
    out += "\r\n";
    return out;
}

std::string closeErrorMessage(std::string_view className, std::string_view errorText) {
    return std::string(className) + " error raised, with message : " + std::string(errorText);
}

std::string closeErrorDetail(int channel, std::string_view shortName, std::string_view className,
                             std::string_view errorText) {
    // "Close fs for chan=%d file=%s %s Error=%s"
    return "Close fs for chan=" + numberText(channel) + " file=" + std::string(shortName) + " " +
           std::string(className) + " Error=" + std::string(errorText);
}

// ChannelTable -----------------------------------------------------------------------------------

std::string ChannelTable::expandPath(std::string_view fileName) const {
    const std::string_view t = trimView(fileName);
    if (startsWith(t, kPathToken1)) return baseFolder1 + std::string(t.substr(kPathToken1.size()));
    if (startsWith(t, kPathToken2)) return baseFolder2 + std::string(t.substr(kPathToken2.size()));
    return std::string(t);
}

std::string ChannelTable::shortenPath(std::string_view fileName) const {
    std::string name(fileName);
    // A base folder found within the first two characters is replaced by its token.
    const auto shorten = [&name](const std::string& base, std::string_view token) {
        if (base.empty()) return false;
        const auto p = name.find(base);
        if (p == std::string::npos || p > 1) return false;
        name.replace(p, base.size(), token);
        return true;
    };
    if (!shorten(baseFolder1, kPathToken1)) shorten(baseFolder2, kPathToken2);
    return name;
}

bool ChannelTable::isOpen(int channel) const {
    return validChannel(channel) && slots_[static_cast<std::size_t>(channel)].file.isOpen();
}

const ChannelEntry& ChannelTable::entry(int channel) const {
    if (channel < 1 || channel > kMaxChannel) return kNoEntry;
    return slots_[static_cast<std::size_t>(channel)].entry;
}

bool ChannelTable::open(int channel, std::string_view modeText, std::string_view fileName) {
    const std::string name = expandPath(fileName);
    const std::string mode = upperCase(modeText);
    const char letter = mode.size() == 1 ? mode[0] : ' ';
    const bool knownMode = letter == 'I' || letter == 'U' || letter == 'O' || letter == 'A';
    const bool existing = letter == 'I' || letter == 'U';

    bool refused = name.empty() || !validChannel(channel) || !knownMode;
    if (!refused) {
        const Kind kind = kindOf(name);
        // A folder, FIFO or device is never opened; "I" and "U" need an existing regular file.
        refused =
            kind == Kind::Folder || kind == Kind::Other || (existing && kind != Kind::Regular);
    }
    if (refused) {
        dialogs_.showMessage("Ostrel: Invalid open for file :" + name + " mode=" + mode +
                             " chan=" + numberText(channel));
        return false;
    }

    Slot& slot = slots_[static_cast<std::size_t>(channel)];
    if (slot.file.isOpen()) close(channel);
    slot.entry = ChannelEntry{};

    ChannelFile file = ChannelFile::open(name, letter);
    ChannelEntry e;
    e.mode = letter;
    e.fileName = name;
    e.shortName = shortenPath(name);
    if (existing) {
        std::string head(kOpenSniffBytes, '\0');
        head.resize(file.readAt(0, head.data(), head.size()));
        const std::int64_t size = file.size();
        const auto crlf = head.find("\r\n");
        if (crlf == std::string::npos) {
            e.lineLength = 0;
            e.recordLength = 1;
            e.recordCount = size;
        } else {
            e.lineLength = static_cast<std::int64_t>(crlf);
            e.recordLength = e.lineLength + 2;
            e.recordCount = size / e.recordLength;
        }
    } else if (letter == 'A') {
        e.position = file.size();
    }
    e.open = true;
    slot.file = std::move(file);
    slot.entry = std::move(e);
    ++counters_.opens;
    return true;
}

void ChannelTable::write(int channel, std::string_view text) {
    if (!isOpen(channel)) return;
    if (channel >= 1) ++counters_.writes[static_cast<std::size_t>(channel)];
    ++counters_.writesTotal;
    slots_[static_cast<std::size_t>(channel)].file.write(channelLineBytes(text));
}

void ChannelTable::readLine(int channel, std::string& line, bool& endOfFile) {
    line.clear();
    endOfFile = true;
    if (!isOpen(channel)) return;
    Slot& slot = slots_[static_cast<std::size_t>(channel)];
    ++counters_.reads;
    // Missing bytes read as blanks.
    std::string block(kReadBlock, ' ');
    slot.file.readAt(slot.entry.position, block.data(), block.size());
    const auto crlf = block.find("\r\n");
    if (crlf == std::string::npos) {
        line = std::move(block); // no line end in reach: the whole block, the position stays
    } else {
        line = block.substr(0, crlf);
        slot.entry.position += static_cast<std::int64_t>(crlf) + 2;
    }
    endOfFile = slot.entry.position >= slot.file.size();
}

void ChannelTable::close(int channel) {
    if (!validChannel(channel)) return;
    closeSlot(channel);
}

void ChannelTable::closeSlot(int channel) {
    Slot& slot = slots_[static_cast<std::size_t>(channel)];
    try {
        slot.file.close();
    } catch (const std::system_error& e) {
        if (diagnostic && diagnosticLevel > 2) {
            static constexpr std::string_view kClass = "std::system_error";
            const std::string text = e.code().message();
            dialogs_.showMessage(closeErrorMessage(kClass, text));
            dialogs_.showMessage(closeErrorDetail(channel, slot.entry.shortName, kClass, text));
        }
    }
    slot.file = ChannelFile{};
    slot.entry.open = false;
    ++counters_.closes;
}

} // namespace vesk
