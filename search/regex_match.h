#pragma once
// Regular expressions for line matching. An expression is compiled once per run (PCRE2, 8-bit,
// never UTF, with its JIT) so a byte is a character and case-insensitive matching folds only a-z,
// as for literal strings. A compiled Regex is read-only and may be shared between threads; each
// thread matches with its own RegexMatcher, which holds the match data and the JIT stack.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "search/finder.h"

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;
struct pcre2_real_match_context_8;
struct pcre2_real_jit_stack_8;

namespace vesk {

// A match in a line: 1-based byte position and byte length; position 0 means none.
struct LineMatch {
    std::size_t position = 0;
    std::size_t length = 0;
    explicit operator bool() const { return position > 0; }
};

// The engine's limit on the work of one match attempt; past it the attempt counts as runaway.
constexpr unsigned kRegexMatchLimit = 10'000'000;

class Regex {
public:
    Regex() = default;

    // Compiles `pattern`. On failure returns false and sets `error` to
    // "'<pattern>' is an invalid regular expression at (<1-based position>): <engine text>".
    bool compile(std::string_view pattern, bool caseInsensitive, std::string& error);

    bool empty() const { return !code_; }
    const std::string& pattern() const { return pattern_; }
    // A literal every match contains, as a finder with the expression's case rule; empty when
    // none is known. Lines without it cannot match.
    const Finder& requiredLiteral() const { return literal_; }
    // True when the expression is a plain string without special characters: the literal
    // finder alone decides, exactly as the expression would.
    bool isPlainLiteral() const { return plain_; }
    // The number of capturing groups.
    int groupCount() const { return groups_; }

    const pcre2_real_code_8* code() const { return code_.get(); }
    bool jitCompiled() const { return jit_; }

private:
    std::shared_ptr<pcre2_real_code_8> code_;
    std::string pattern_;
    Finder literal_;
    bool plain_ = false;
    bool jit_ = false;
    int groups_ = 0;
};

// The literal (raw bytes) that every match of a valid `pattern` must contain, as far as a plain
// reading of the pattern text can prove it: the longest run of literal characters at the top
// level of an expression without top-level alternatives. Empty when nothing is provably required.
std::string requiredLiteralOf(std::string_view pattern);

// Whether `pattern` holds no character with a special meaning, so it matches itself only.
bool isPlainLiteralPattern(std::string_view pattern);

// Why `replacement` cannot go with `re` (empty when it can): a "$1".."$9" naming a group the
// expression does not have. "$$" is a dollar sign and any other "$" stays as typed.
std::string replacementError(const Regex& re, std::string_view replacement);

class RegexMatcher {
public:
    RegexMatcher();
    ~RegexMatcher();
    RegexMatcher(const RegexMatcher&) = delete;
    RegexMatcher& operator=(const RegexMatcher&) = delete;

    // The first acceptable match of `re` in `subject` starting at or after byte `from`. Empty
    // matches are never acceptable. With whole words the bytes before and after a match must not
    // be word characters (the byte before `from` counts as a boundary); a rejected match makes
    // the search go on after its end, giving up when the rest is blank. When the engine's limits
    // stop an attempt, there is no match and ranAway() turns true.
    LineMatch find(std::string_view subject, std::size_t from, const Regex& re,
                   bool wholeWordsOnly);
    LineMatch find(std::string_view line, const Regex& re, bool wholeWordsOnly) {
        return find(line, 0, re, wholeWordsOnly);
    }

    // The text of group `n` (0: the whole match) of the last match found; empty when unset.
    std::string_view group(std::string_view subject, int n) const;

    bool ranAway() const { return ranAway_; }
    void clearRanAway() { ranAway_ = false; }

private:
    // One engine call: false when there is no match or the limits stopped it.
    bool matchOnce(const Regex& re, std::string_view subject, std::size_t from, std::size_t& start,
                   std::size_t& end);

    pcre2_real_match_data_8* data_ = nullptr;
    pcre2_real_match_context_8* context_ = nullptr;
    pcre2_real_jit_stack_8* stack_ = nullptr;
    bool ranAway_ = false;
    // Groups set by the last match (-1: a plain literal's match, which has no groups).
    int lastCount_ = 0;
    std::size_t lastStart_ = 0, lastEnd_ = 0;
};

} // namespace vesk
