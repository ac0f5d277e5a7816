#pragma once
// Line matching: the position finder (plain, whole-word, without case), the word splitter and the
// all-words find. Positions are 1-based; 0 means no match.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "search/finder.h"

namespace vesk {

// Word characters for whole-word matching: A-Z, a-z, 0-9 and "_"; every other byte is a boundary.
bool isWordChar(char c);

// The first acceptable occurrence of the finder's pattern in the line. A whole-word occurrence
// rejected by a neighbouring word character makes the search go on after its end; it gives up when
// the rest of the line is blank.
std::size_t findPos(std::string_view line, const Finder& finder, bool wholeWordsOnly);

std::size_t xcFindPos(std::string_view line, std::string_view pattern, bool wholeWordsOnly,
                      bool caseInsensitive);

// Up to `maxWords` runs of bytes above the space character, in order.
std::vector<std::string> xcSplitWords(std::string_view text, std::size_t maxWords);

constexpr std::size_t kMaxSearchWords = 30;

// The all-words find's words; empty when fewer than two words result (the plain find is used).
std::vector<std::string> xcSplitSearchWords(std::string_view searchString);

struct AllWordsMatch {
    std::size_t position = 0; // smallest position when every word was found, else 0
    std::size_t wordsFound = 0;
};

AllWordsMatch matchAllWords(std::string_view line, const std::vector<Finder>& words,
                            std::size_t required, bool wholeWordsOnly);

AllWordsMatch xcMatchAllWords(std::string_view line, const std::vector<std::string>& words,
                              std::size_t required, bool wholeWordsOnly, bool caseInsensitive);

} // namespace vesk
