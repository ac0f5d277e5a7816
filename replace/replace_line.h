#pragma once
// Rewriting one line with the find/replace pairs: the plain variant lets the line grow or shrink,
// the "Preserve spaces" variant keeps the text after a change in its columns where a run of blanks
// can take up the difference. Positions are 1-based; lines are 8-bit text without their break.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lib/string_slots.h"
#include "search/regex_match.h"

namespace vesk {

// One call replaces at most this many occurrences plus one (the loop stops once it is passed).
constexpr int kMaxReplacementsPerCall = 1000;
// The shortest run of blanks the preserving variant takes up or widens.
constexpr std::size_t kMinPreserveRun = 3;

struct ReplaceOptions {
    bool caseInsensitive = true;
    bool wholeWordsOnly = false;
    bool preserveSpaces = false;
    // The find strings are regular expressions; `expressions` (optional) holds them compiled,
    // pair i's at i, so a line does not compile them again.
    bool regularExpressions = false;
    const std::vector<Regex>* expressions = nullptr;
};

// The first occurrence of `find` at or after `start` (below 1 counts as 1), or 0. Searched in the
// part of `text` from `start` on, whose ends count as word boundaries.
std::size_t xcFindFrom(std::string_view text, std::string_view find, std::size_t start,
                       bool caseInsensitive, bool wholeWordsOnly);

// Replaces every occurrence of `find` in `line`, never searching inside an inserted replacement;
// `changes` gets the count (at most 1001). An empty `find` changes nothing.
void xcReplaceAll(std::string& line, std::string_view find, std::string_view replacement,
                  bool caseInsensitive, bool wholeWordsOnly, int& changes);

// As xcReplaceAll, but the length difference is taken from (or added to) the first run of at
// least max(3, |difference|) blanks after each occurrence, so the rest of the line keeps its
// columns; without such a run the line grows or shrinks.
void xcReplaceAllPreserveSpaces(std::string& line, std::string_view find,
                                std::string_view replacement, bool caseInsensitive,
                                bool wholeWordsOnly, int& changes);

// The replacement of one match: "$0" the match, "$1".."$9" its groups (empty when unset), "$$"
// a dollar sign; any other "$" stays as it is.
std::string expandReplacement(std::string_view replacement, const RegexMatcher& matcher,
                              std::string_view subject);

// xcReplaceAll (or, with `preserveSpaces`, xcReplaceAllPreserveSpaces) for an expression: every
// acceptable match from left to right, never searching inside an inserted replacement, each
// replaced by its expanded replacement. Anchors and look-behinds see the whole line.
void xcReplaceAllRegex(std::string& line, const Regex& find, std::string_view replacement,
                       bool wholeWordsOnly, bool preserveSpaces, int& changes);

// The text cut or padded with blanks to `length`.
std::string xcPadRight(std::string_view text, std::size_t length);

// Applies pairs 0..FindCount-1 of the table in order (empty find strings skipped), each on the
// output of the ones before; returns the total number of replacements.
int ReplaceLine(std::string& line, const StringSlots& table, const ReplaceOptions& options);

// True when some pair's (non-empty) find string occurs in the line.
bool LineHasFindString(std::string_view line, const StringSlots& table,
                       const ReplaceOptions& options);

} // namespace vesk
