#include "replace/replace_line.h"

#include <algorithm>
#include <cstdlib>

#include "search/find_pos.h"

namespace vesk {

namespace {

// The search of xcFindFrom with a finder built once per line and pair.
std::size_t findFrom(std::string_view text, const Finder& finder, std::size_t start,
                     bool wholeWordsOnly) {
    if (start < 1) start = 1;
    if (start > text.size()) return 0;
    const std::size_t p = findPos(text.substr(start - 1), finder, wholeWordsOnly);
    return p == 0 ? 0 : p + start - 1;
}

// Occurrence at 1-based `p` of a text `findLength` long replaced by `replacement`.
void spliceAt(std::string& line, std::size_t p, std::size_t findLength,
              std::string_view replacement) {
    line.replace(p - 1, findLength, replacement);
}

// The preserving rewrite of one occurrence; false when the plain one applies.
bool spliceKeepingColumns(std::string& line, std::size_t p, std::size_t findLength,
                          std::string_view replacement) {
    const long d = static_cast<long>(replacement.size()) - static_cast<long>(findLength);
    if (d == 0) return false;
    const std::size_t n =
        std::max<std::size_t>(kMinPreserveRun, static_cast<std::size_t>(std::labs(d)));
    const std::size_t e = p - 1 + findLength; // 0-based index of the first byte after it
    const std::size_t s = line.find(std::string(n, ' '), e);
    if (s == std::string::npos) return false;
    std::size_t k = 0;
    while (s + k < line.size() && line[s + k] == ' ')
        ++k;
    std::string out;
    out.reserve(line.size() + replacement.size());
    out.append(line, 0, p - 1);
    out.append(replacement);
    out.append(line, e, s - e);
    out.append(static_cast<std::size_t>(static_cast<long>(k) - d), ' ');
    out.append(line, s + k, std::string::npos);
    line = std::move(out);
    return true;
}

void replaceLoop(std::string& line, std::string_view find, std::string_view replacement,
                 bool caseInsensitive, bool wholeWordsOnly, bool preserve, int& changes) {
    changes = 0;
    if (find.empty()) return;
    const Finder finder(find, caseInsensitive);
    std::size_t start = 1;
    while (changes <= kMaxReplacementsPerCall) {
        const std::size_t p = findFrom(line, finder, start, wholeWordsOnly);
        if (p == 0) return;
        ++changes;
        if (!preserve || !spliceKeepingColumns(line, p, find.size(), replacement))
            spliceAt(line, p, find.size(), replacement);
        start = p + replacement.size();
    }
}

// The engine's match data belongs to one thread.
RegexMatcher& threadMatcher() {
    thread_local RegexMatcher matcher;
    return matcher;
}

// Pair i's expression: the caller's compiled one, or compiled here when it was not given.
const Regex* pairExpression(const ReplaceOptions& options, int i, std::string_view find,
                            Regex& local) {
    const auto n = static_cast<std::size_t>(i);
    if (options.expressions && n < options.expressions->size() &&
        (*options.expressions)[n].pattern() == find && !(*options.expressions)[n].empty())
        return &(*options.expressions)[n];
    std::string error;
    return local.compile(find, options.caseInsensitive, error) ? &local : nullptr;
}

} // namespace

std::string expandReplacement(std::string_view replacement, const RegexMatcher& matcher,
                              std::string_view subject) {
    std::string out;
    out.reserve(replacement.size());
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
        if (c == '$' && next == '$') {
            out += '$';
            ++i;
        } else if (c == '$' && next >= '0' && next <= '9') {
            out.append(matcher.group(subject, next - '0'));
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void xcReplaceAllRegex(std::string& line, const Regex& find, std::string_view replacement,
                       bool wholeWordsOnly, bool preserveSpaces, int& changes) {
    changes = 0;
    if (find.empty()) return;
    RegexMatcher& matcher = threadMatcher();
    std::size_t start = 0;
    while (changes <= kMaxReplacementsPerCall) {
        const LineMatch m = matcher.find(line, start, find, wholeWordsOnly);
        if (!m) return;
        ++changes;
        const std::string text = expandReplacement(replacement, matcher, line);
        if (!preserveSpaces || !spliceKeepingColumns(line, m.position, m.length, text))
            spliceAt(line, m.position, m.length, text);
        start = m.position - 1 + text.size();
    }
}

std::size_t xcFindFrom(std::string_view text, std::string_view find, std::size_t start,
                       bool caseInsensitive, bool wholeWordsOnly) {
    if (find.empty()) return 0;
    return findFrom(text, Finder(find, caseInsensitive), start, wholeWordsOnly);
}

void xcReplaceAll(std::string& line, std::string_view find, std::string_view replacement,
                  bool caseInsensitive, bool wholeWordsOnly, int& changes) {
    replaceLoop(line, find, replacement, caseInsensitive, wholeWordsOnly, false, changes);
}

void xcReplaceAllPreserveSpaces(std::string& line, std::string_view find,
                                std::string_view replacement, bool caseInsensitive,
                                bool wholeWordsOnly, int& changes) {
    replaceLoop(line, find, replacement, caseInsensitive, wholeWordsOnly, true, changes);
}

std::string xcPadRight(std::string_view text, std::size_t length) {
    std::string out(text.substr(0, std::min(length, text.size())));
    out.resize(length, ' ');
    return out;
}

int ReplaceLine(std::string& line, const StringSlots& table, const ReplaceOptions& options) {
    int total = 0;
    const int count = std::clamp(table.FindCount, 0, kMaxStrings);
    for (int i = 0; i < count; ++i) {
        const std::string& find = table.FindStrings[i];
        if (find.empty()) continue;
        int n = 0;
        if (options.regularExpressions) {
            Regex local;
            if (const Regex* re = pairExpression(options, i, find, local))
                xcReplaceAllRegex(line, *re, table.ReplaceStrings[i], options.wholeWordsOnly,
                                  options.preserveSpaces, n);
        } else if (options.preserveSpaces)
            xcReplaceAllPreserveSpaces(line, find, table.ReplaceStrings[i], options.caseInsensitive,
                                       options.wholeWordsOnly, n);
        else
            xcReplaceAll(line, find, table.ReplaceStrings[i], options.caseInsensitive,
                         options.wholeWordsOnly, n);
        total += n;
    }
    return total;
}

bool LineHasFindString(std::string_view line, const StringSlots& table,
                       const ReplaceOptions& options) {
    const int count = std::clamp(table.FindCount, 0, kMaxStrings);
    for (int i = 0; i < count; ++i) {
        const std::string& find = table.FindStrings[i];
        if (find.empty()) continue;
        if (options.regularExpressions) {
            Regex local;
            const Regex* re = pairExpression(options, i, find, local);
            if (re && threadMatcher().find(line, *re, options.wholeWordsOnly)) return true;
        } else if (xcFindPos(line, find, options.wholeWordsOnly, options.caseInsensitive) > 0)
            return true;
    }
    return false;
}

} // namespace vesk
