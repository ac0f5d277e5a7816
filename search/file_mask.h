#pragma once
// File-name masks: "*" any run, "?" one character, [set] with ranges and "!" complement; the whole
// name must match; letters a..z compare without case.

#include <bitset>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Raised for a mask that cannot be compiled; what() is "'%s' is an invalid mask at (%d)".
class InvalidMaskError : public std::runtime_error {
public:
    InvalidMaskError(const std::string& mask, int position);
    int position() const { return position_; }

private:
    int position_;
};

class FileMask {
public:
    // Throws InvalidMaskError for an unclosed set, a "-" with nothing before it in a set, or more
    // than 30 "*".
    explicit FileMask(std::string_view mask);
    bool matches(std::string_view name) const;
    const std::string& text() const { return text_; }

private:
    enum class Kind { Literal, AnyOne, Star, Set };
    struct Token {
        Kind kind;
        unsigned char ch = 0; // Literal, upper-cased
        std::bitset<256> set; // Set, after complement
    };
    std::string text_;
    std::vector<Token> tokens_;
};

// True when `name` matches any mask of the list (false for an empty list).
bool matchesAnyMask(const std::vector<FileMask>& masks, std::string_view name);

// The directory listing's own name pattern: "*" and "?" only, case-insensitive, where a trailing
// ".*" also matches a name without a dot (so "*.*" lists everything). A pattern holding a set is
// not understood and lists nothing.
bool matchesListingPattern(std::string_view pattern, std::string_view name);

} // namespace vesk
