#include "search/text_file_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace vesk {

namespace {
constexpr std::size_t kInitialCapacity = 256 * 1024;
// Files up to a block come in whole; larger ones a block at a time, so a worker's buffer (fresh
// pages, each a fault) stays near a block whatever the largest file.
constexpr std::size_t kReadBlock = 1024 * 1024;

// Local disk and memory file systems, whose read of a regular file returns less than asked only
// at its end. Network and user-space file systems may return less before it.
bool shortReadsEndFilesOn(int folderFd) {
    struct statfs fs {};
    if (fstatfs(folderFd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case OVERLAYFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case 0x2FC12FC1UL: // zfs
    case 0xCA451A4EUL: // bcachefs
        return true;
    default:
        return false;
    }
}
} // namespace

TextFileReader::TextFileReader(bool trustShortReads) : trustShortReads_(trustShortReads) {
    reserve(kInitialCapacity);
}

void TextFileReader::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    auto next = std::make_unique_for_overwrite<char[]>(capacity);
    if (fill_ > consumed_) std::memcpy(next.get(), buffer_.get() + consumed_, fill_ - consumed_);
    fill_ -= consumed_;
    consumed_ = 0;
    buffer_ = std::move(next);
    capacity_ = capacity;
}

void TextFileReader::close() {
    fd_.reset();
}

void TextFileReader::closeAll() {
    fd_.reset();
    folderFd_.reset();
    folder_.clear();
    folderShortReadsEnd_ = false;
}

bool TextFileReader::open(const std::string& path, std::string& error) {
    fill_ = consumed_ = unscanned_ = 0;
    readTotal_ = size_ = 0;
    eof_ = ended_ = false;
    // Non-blocking, so a FIFO put in place of a listed file can never hang the run.
    fd_.reset(openInFolder(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd_) {
        error = std::strerror(errno);
        return false;
    }
    if (folderShortReadsEnd_) return readFirstBlock(error);
    if (!takeSize(error)) return false;
    if (size_ == 0) {
        eof_ = true;
        return true;
    }
    return readMore(error);
}

// Most files are smaller than the buffer: one read that returns less than asked has the whole
// file, and no fstat is needed. A read that fills the block, or gives nothing or an error, is
// followed by one: the size bounds what is read, and a FIFO or folder put in a listed file's
// place is told apart from an empty file.
bool TextFileReader::readFirstBlock(std::string& error) {
    const std::size_t want = std::min(capacity_, kReadBlock);
    ssize_t n = 0;
    do {
        n = ::read(fd_.get(), buffer_.get(), want);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        const int readError = errno;
        if (takeSize(error)) error = std::strerror(readError);
        return false;
    }
    fill_ = unscanned_ = static_cast<std::size_t>(n);
    readTotal_ = static_cast<std::uint64_t>(n);
    if (n > 0 && static_cast<std::size_t>(n) < want) {
        size_ = readTotal_;
        eof_ = true;
        return true;
    }
    if (!takeSize(error)) return false;
    if (readTotal_ >= size_) {
        eof_ = true;
        return true;
    }
    return readMore(error);
}

// Checks that the open file is a regular one and takes its size; small files then come in whole
// with one read (the buffer keeps its size for the next file).
bool TextFileReader::takeSize(std::string& error) {
    struct stat st {};
    if (fstat(fd_.get(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
    if (size_ < kReadBlock && size_ + 1 > capacity_)
        reserve(std::max<std::size_t>(size_ + 1, capacity_ * 2));
    return true;
}

int TextFileReader::openInFolder(const std::string& path, int flags) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        folderShortReadsEnd_ = false;
        folder_.clear();
        folderFd_.reset();
        return ::open(path.c_str(), flags);
    }
    const std::string_view folder(path.data(), slash + 1);
    if (folder != folder_) {
        folder_.assign(folder);
        folderFd_.reset(::open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        folderShortReadsEnd_ =
            trustShortReads_ && folderFd_ && shortReadsEndFilesOn(folderFd_.get());
    }
    // A folder that cannot be opened this way (gone, or no search permission) leaves the whole
    // path to open(), which reports the reason.
    if (!folderFd_) return ::open(path.c_str(), flags);
    return ::openat(folderFd_.get(), path.c_str() + slash + 1, flags);
}

bool TextFileReader::readMore(std::string& error) {
    if (eof_) return true;
    if (consumed_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + consumed_, fill_ - consumed_);
        fill_ -= consumed_;
        consumed_ = 0;
    }
    if (fill_ == capacity_) reserve(capacity_ * 2);
    const std::size_t want = std::min(capacity_ - fill_, kReadBlock);
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd_.get(), buffer_.get() + fill_ + got, want - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            return false;
        }
        if (n == 0) {
            eof_ = true;
            break;
        }
        got += static_cast<std::size_t>(n);
        readTotal_ += static_cast<std::uint64_t>(n);
        // Reaching the size seen at open is the end; a file that grows meanwhile is read as it was.
        if (readTotal_ >= size_) {
            eof_ = true;
            break;
        }
    }
    fill_ += got;
    unscanned_ += got;
    return true;
}

bool TextFileReader::nextSegment(std::string_view& segment, std::string& error) {
    segment = {};
    if (ended_) return true;
    while (true) {
        const char* begin = buffer_.get() + consumed_;
        std::size_t avail = fill_ - consumed_;
        // The text ends at its first NUL, so a file of text and then zeros costs only its text.
        if (unscanned_ > 0) {
            const char* fresh = buffer_.get() + fill_ - unscanned_;
            const void* nul = std::memchr(fresh, 0, unscanned_);
            unscanned_ = 0;
            if (nul) {
                fill_ = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.get());
                avail = fill_ - consumed_;
                eof_ = true;
            }
        }
        const void* lf = avail ? memrchr(begin, '\n', avail) : nullptr;
        std::size_t take = 0;
        if (eof_) {
            take = avail;
        } else if (lf) {
            take = static_cast<std::size_t>(static_cast<const char*>(lf) - begin) + 1;
        } else if (const void* cr = avail > 1 ? memrchr(begin, '\r', avail - 1) : nullptr) {
            // Lines ended by CR alone: the byte after this CR is known, so the break is whole.
            take = static_cast<std::size_t>(static_cast<const char*>(cr) - begin) + 1;
        }
        if (take == 0 && !eof_) {
            if (!readMore(error)) return false;
            continue;
        }
        segment = {begin, take};
        consumed_ += take;
        if (eof_ && consumed_ == fill_) ended_ = true;
        return true;
    }
}

} // namespace vesk
