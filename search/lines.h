#pragma once
// Line breaks as the loader counts them: CR, LF or CR LF end a line (LF CR is two breaks); the last
// line counts without a break; a break at the very end adds no empty line; a NUL ends the text.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vesk {

// The text up to its first NUL byte.
std::string_view textBeforeNul(std::string_view data);

// Splits into lines without their breaks (views into `text`).
void splitLines(std::string_view text, std::vector<std::string_view>& lines);

// Counts line breaks in [p, p + n). `prevCR` tells whether the byte before p was a CR (so an LF
// at p completes that break) and is updated for the next call.
std::uint64_t countBreaks(const char* p, std::size_t n, bool& prevCR);

// The number of lines of a text (0 for an empty text).
std::uint64_t countLines(std::string_view text);

inline bool isBreakByte(char c) {
    return c == '\n' || c == '\r';
}

// The start of the line holding position p (just after the last break byte before it).
const char* lineStart(const char* begin, const char* p);
// The end of the line holding position p (its first break byte, or end).
const char* lineEnd(const char* p, const char* end);
// The position just after the break that ends at `breakByte` (CR LF counts as one break).
const char* afterBreak(const char* breakByte, const char* end);

} // namespace vesk
