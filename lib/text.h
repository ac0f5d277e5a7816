#pragma once
// 8-bit text helpers shared by every layer. Case folding touches the letters a to z only.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

// Upper-case table: a..z to A..Z, every other byte unchanged.
extern const std::array<unsigned char, 256> kUpper;

inline char upperChar(char c) {
    return static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
}

std::string upperCase(std::string_view s);

// Blanks are the bytes 0 to 32, as the trimming of the original platform counts them.
inline bool isBlankByte(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
std::string_view trimView(std::string_view s);
std::string trim(std::string_view s);

// True when the texts are equal after trimming and upper-casing; with b empty, whether a is blank.
bool xcSameText(std::string_view a, std::string_view b);

// 1-based position of the first occurrence of part in text; 0 when absent or part is empty.
std::size_t xcPosIn(std::string_view text, std::string_view part, bool caseInsensitive);

// Case-insensitive containment (a..z only).
bool containsNoCase(std::string_view text, std::string_view part);

// True when a and b are equal ignoring the case of a..z.
bool equalsNoCase(std::string_view a, std::string_view b);

// Appends the decimal form of n.
void appendNumber(std::string& out, std::int64_t n);
std::string numberText(std::int64_t n);

// The part of a file name from its last "." within the last path component; empty when none.
std::string_view fileExtension(std::string_view path);
// The folder part of a path including its trailing "/"; empty when none.
std::string_view fileFolder(std::string_view path);

} // namespace vesk
