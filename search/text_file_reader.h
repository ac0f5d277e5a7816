#pragma once
// Reads a file into one reused buffer and hands it out as segments of whole lines, so a file of
// any size is searched in bounded memory (the longest line aside). A NUL ends the text: nothing
// after it is read.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "lib/unique_fd.h"

namespace vesk {

class TextFileReader {
public:
    // `trustShortReads`: on local file systems a small file is read without asking its size
    // first (false: every file is sized with fstat before its first read).
    explicit TextFileReader(bool trustShortReads = true);

    // Opens a regular file and reads its first block. On failure `error` holds the system's text.
    // Files of the folder opened last are opened relative to it, so the kernel walks their path
    // once per folder instead of once per file.
    bool open(const std::string& path, std::string& error);
    // The bytes read from the start of the file so far (all of a small file), before the first
    // nextSegment.
    std::string_view head() const { return {buffer_.get(), fill_}; }
    std::uint64_t fileSize() const { return size_; }

    // The next run of whole lines (the last may lack its break); false with `error` when reading
    // failed; an empty segment means the text has ended.
    bool nextSegment(std::string_view& segment, std::string& error);

    void close();
    // Also lets go of the folder kept for the next opening, so that no folder stays in use (a
    // mount busy) after a run.
    void closeAll();

private:
    int openInFolder(const std::string& path, int flags);
    bool readMore(std::string& error);
    bool readFirstBlock(std::string& error);
    bool takeSize(std::string& error);
    void reserve(std::size_t capacity);

    UniqueFd fd_;
    UniqueFd folderFd_;  // the folder of the last file opened (O_PATH), or none
    std::string folder_; // its path, with the trailing "/"
    bool trustShortReads_;
    bool folderShortReadsEnd_ = false; // the folder is on a file system where a short read ends
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t fill_ = 0;      // bytes in the buffer
    std::size_t consumed_ = 0;  // bytes already handed out
    std::size_t unscanned_ = 0; // bytes at the end of the buffer not yet looked at for a NUL
    std::uint64_t size_ = 0;
    std::uint64_t readTotal_ = 0;
    bool eof_ = false;
    bool ended_ = false; // a NUL or the end was handed out
};

} // namespace vesk
