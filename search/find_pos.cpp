#include "search/find_pos.h"

#include "lib/text.h"

namespace vesk {

bool isWordChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_';
}

namespace {
bool restIsBlank(const char* p, const char* end) {
    for (; p < end; ++p)
        if (!isBlankByte(*p)) return false;
    return true;
}
} // namespace

std::size_t findPos(std::string_view line, const Finder& finder, bool wholeWordsOnly) {
    if (finder.empty() || line.empty()) return 0;
    const char* begin = line.data();
    const char* end = begin + line.size();
    const std::size_t len = finder.size();
    const char* from = begin;
    std::size_t tries = 0;
    while (true) {
        const char* hit = finder.find(from, end);
        if (!hit) return 0;
        if (!wholeWordsOnly) return static_cast<std::size_t>(hit - begin) + 1;
        const bool startOk = hit == begin || !isWordChar(hit[-1]);
        const bool endOk = hit + len >= end || !isWordChar(hit[len]);
        if (startOk && endOk) return static_cast<std::size_t>(hit - begin) + 1;
        // Go on after the rejected occurrence; overlapping ones are not considered.
        from = hit + len;
        if (restIsBlank(from, end) || ++tries >= line.size()) return 0;
    }
}

std::size_t xcFindPos(std::string_view line, std::string_view pattern, bool wholeWordsOnly,
                      bool caseInsensitive) {
    if (pattern.empty() || line.empty()) return 0;
    return findPos(line, Finder(pattern, caseInsensitive), wholeWordsOnly);
}

std::vector<std::string> xcSplitWords(std::string_view text, std::size_t maxWords) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size() && words.size() < maxWords) {
        while (i < text.size() && isBlankByte(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlankByte(text[i]))
            ++i;
        if (i > start) words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

std::vector<std::string> xcSplitSearchWords(std::string_view searchString) {
    auto words = xcSplitWords(searchString, kMaxSearchWords);
    if (words.size() < 2) words.clear();
    return words;
}

AllWordsMatch matchAllWords(std::string_view line, const std::vector<Finder>& words,
                            std::size_t required, bool wholeWordsOnly) {
    AllWordsMatch m;
    std::size_t smallest = 0;
    for (const Finder& w : words) {
        const std::size_t p = findPos(line, w, wholeWordsOnly);
        if (p == 0) continue;
        ++m.wordsFound;
        if (smallest == 0 || p < smallest) smallest = p;
    }
    if (m.wordsFound >= required && required > 0) m.position = smallest;
    return m;
}

AllWordsMatch xcMatchAllWords(std::string_view line, const std::vector<std::string>& words,
                              std::size_t required, bool wholeWordsOnly, bool caseInsensitive) {
    std::vector<Finder> finders;
    finders.reserve(words.size());
    for (const std::string& w : words)
        finders.emplace_back(w, caseInsensitive);
    return matchAllWords(line, finders, required, wholeWordsOnly);
}

} // namespace vesk
