#pragma once
// Whether a file is text: its first 1000 bytes hold at most five non-text bytes and no fewer text
// bytes than non-text bytes. Text bytes are 32..127, TAB, LF, FF and CR, and the bytes of
// well-formed UTF-8 sequences (a sequence cut off by the end of the 1000 bytes counts when the
// file goes on and what the block holds of it is well formed).

#include <cstddef>
#include <cstdint>
#include <string>

namespace vesk {

constexpr std::size_t kTextTestBytes = 1000;

struct TextTestResult {
    bool isText = false;
    std::int64_t textBytes = 0;
    std::int64_t nonTextBytes = 0;
    std::string error; // the system's message when the file could not be opened or read
};

// Classifies the first min(size, 1000) bytes of an already-read buffer; size 0 is not text. The
// file goes on past the block when size is above 1000 or `moreFollows` says so.
TextTestResult classifyTextBytes(const char* data, std::size_t size, bool moreFollows = false);

// Opens and tests the file; errors become the error text, never an exception.
TextTestResult xcIsTextFileAndLoadable(const std::string& fileName);

} // namespace vesk
