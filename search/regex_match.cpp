#include "search/regex_match.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstring>

#include "lib/text.h"
#include "search/find_pos.h"

namespace vesk {

namespace {

constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 1024 * 1024;
// Room for $0..$9; an expression with more groups still reports these.
constexpr std::uint32_t kOvectorPairs = 10;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlnum(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A plain reading of pattern text: enough to prove that a literal is required, and bailing out
// (no literal) on every construct it does not fully understand.
class LiteralReader {
public:
    explicit LiteralReader(std::string_view p) : p_(p) {}

    std::string longestRequired() {
        if (unsupported()) return {};
        while (i_ < p_.size()) {
            if (!step()) return {};
        }
        endRun();
        return best_;
    }

private:
    // Constructs whose effect on later characters this reader does not model.
    bool unsupported() const {
        if (p_.find("\\Q") != std::string_view::npos) return true;
        const std::size_t n = p_.size();
        for (std::size_t k = 0; k < n; ++k) {
            if (p_[k] == '\\') {
                ++k;
                continue;
            }
            if (p_[k] != '(' || k + 1 >= n) continue;
            if (p_[k + 1] == '*') return true; // start-of-pattern settings and verbs
            // Option settings ((?i), (?x), (?^) ...) and comments.
            if (p_[k + 1] == '?' && k + 2 < n && std::strchr("^-imnsUxJar#", p_[k + 2]) != nullptr)
                return true;
        }
        return false;
    }

    void endRun() {
        if (run_.size() > best_.size()) best_ = run_;
        run_.clear();
    }

    // Reads a quantifier at the current place, if any; false when none. `minimum` tells whether
    // the atom must occur at least once.
    bool quantifier(bool& atLeastOnce) {
        if (i_ >= p_.size()) return false;
        const char c = p_[i_];
        if (c == '*' || c == '?') {
            atLeastOnce = false;
        } else if (c == '+') {
            atLeastOnce = true;
        } else if (c == '{') {
            std::size_t k = i_ + 1;
            while (k < p_.size() && (isDigit(p_[k]) || p_[k] == ',' || p_[k] == ' '))
                ++k;
            if (k >= p_.size() || p_[k] != '}' || k == i_ + 1) return false; // a literal "{"
            const std::string_view body = p_.substr(i_ + 1, k - i_ - 1);
            std::size_t digits = 0;
            while (digits < body.size() && isDigit(body[digits]))
                ++digits;
            bool positive = false;
            for (std::size_t d = 0; d < digits; ++d)
                if (body[d] != '0') positive = true;
            // Only the plain forms {n}, {n,} and {n,m} with n >= 1 are known to require the atom.
            atLeastOnce = positive && (digits == body.size() || body[digits] == ',') &&
                          body.find(' ') == std::string_view::npos;
            i_ = k;
        } else {
            return false;
        }
        ++i_;
        if (i_ < p_.size() && (p_[i_] == '+' || p_[i_] == '?')) ++i_; // possessive or lazy
        return true;
    }

    bool skipClass() {
        ++i_; // '['
        if (i_ < p_.size() && p_[i_] == '^') ++i_;
        if (i_ < p_.size() && p_[i_] == ']') ++i_;
        while (i_ < p_.size()) {
            const char c = p_[i_];
            if (c == '\\') {
                i_ += 2;
            } else if (c == '[' && i_ + 1 < p_.size() && p_[i_ + 1] == ':') {
                const std::size_t close = p_.find(":]", i_ + 2);
                if (close == std::string_view::npos) return false;
                i_ = close + 2;
            } else if (c == ']') {
                ++i_;
                return true;
            } else {
                ++i_;
            }
        }
        return false;
    }

    bool skipGroup() {
        int depth = 0;
        while (i_ < p_.size()) {
            const char c = p_[i_];
            if (c == '\\') {
                i_ += 2;
            } else if (c == '[') {
                if (!skipClass()) return false;
            } else {
                ++i_;
                if (c == '(') ++depth;
                if (c == ')' && --depth == 0) return true;
            }
        }
        return false;
    }

    // An atom that is not a literal character: ends the current run, with its quantifier.
    void otherAtom() {
        endRun();
        bool once = false;
        quantifier(once);
    }

    void literal(char c) {
        bool once = true;
        if (!quantifier(once)) {
            run_ += c;
            return;
        }
        if (once) run_ += c;
        endRun();
    }

    // Reads one atom with its quantifier; false when the pattern cannot be read with certainty.
    bool step() {
        const char c = p_[i_];
        switch (c) {
        case '|':
            return false; // alternatives at the top level: nothing is required
        case '(':
            if (!skipGroup()) return false;
            otherAtom();
            return true;
        case '[':
            if (!skipClass()) return false;
            otherAtom();
            return true;
        case '.':
        case '^':
        case '$':
            ++i_;
            otherAtom();
            return true;
        case '\\': {
            if (i_ + 1 >= p_.size()) return false;
            const char e = p_[i_ + 1];
            i_ += 2;
            if (!isAlnum(e)) {
                literal(e);
                return true;
            }
            // Escapes that take no argument; all others (back references, \x, \c, \p ...) end
            // the reading.
            if (std::strchr("dDsSwWhHvVRXNCbBAZzGKtnrfea", e) == nullptr) return false;
            if (e == 'N' && i_ < p_.size() && p_[i_] == '{') return false;
            otherAtom();
            return true;
        }
        case '*':
        case '+':
        case '?':
            return false; // a quantifier without an atom: not a form this reader knows
        default:
            ++i_;
            literal(c);
            return true;
        }
    }

    std::string_view p_;
    std::size_t i_ = 0;
    std::string run_, best_;
};

bool restIsBlank(std::string_view s, std::size_t from) {
    for (std::size_t k = from; k < s.size(); ++k)
        if (!isBlankByte(s[k])) return false;
    return true;
}

} // namespace

std::string requiredLiteralOf(std::string_view pattern) {
    return LiteralReader(pattern).longestRequired();
}

bool isPlainLiteralPattern(std::string_view pattern) {
    return !pattern.empty() && pattern.find_first_of("\\^$.[|()?*+{") == std::string_view::npos;
}

std::string replacementError(const Regex& re, std::string_view replacement) {
    for (std::size_t i = 0; i + 1 < replacement.size(); ++i) {
        if (replacement[i] != '$') continue;
        const char next = replacement[i + 1];
        if (next >= '1' && next <= '9' && next - '0' > re.groupCount())
            return "'" + std::string(replacement) + "' refers to group " + next + ", which '" +
                   re.pattern() + "' does not have";
        ++i; // "$$" and "$n" are read as one
    }
    return {};
}

bool Regex::compile(std::string_view pattern, bool caseInsensitive, std::string& error) {
    int code = 0;
    PCRE2_SIZE offset = 0;
    const std::uint32_t options =
        PCRE2_NEVER_UTF | PCRE2_NEVER_UCP | (caseInsensitive ? PCRE2_CASELESS : 0u);
    pcre2_code* compiled = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                         pattern.size(), options, &code, &offset, nullptr);
    if (!compiled) {
        PCRE2_UCHAR text[256];
        if (pcre2_get_error_message(code, text, sizeof text) < 0) text[0] = 0;
        error = "'" + std::string(pattern) + "' is an invalid regular expression at (" +
                std::to_string(offset + 1) + "): " + reinterpret_cast<const char*>(text);
        return false;
    }
    code_.reset(compiled, pcre2_code_free);
    jit_ = pcre2_jit_compile(compiled, PCRE2_JIT_COMPLETE) == 0;
    std::uint32_t groups = 0;
    pcre2_pattern_info(compiled, PCRE2_INFO_CAPTURECOUNT, &groups);
    groups_ = static_cast<int>(groups);
    pattern_ = std::string(pattern);
    plain_ = isPlainLiteralPattern(pattern);
    literal_ = Finder(plain_ ? pattern_ : requiredLiteralOf(pattern), caseInsensitive);
    return true;
}

RegexMatcher::RegexMatcher()
    : data_(pcre2_match_data_create(kOvectorPairs, nullptr)),
      context_(pcre2_match_context_create(nullptr)),
      stack_(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)) {
    pcre2_set_match_limit(context_, kRegexMatchLimit);
    pcre2_set_depth_limit(context_, kRegexMatchLimit);
    if (stack_) pcre2_jit_stack_assign(context_, nullptr, stack_);
}

RegexMatcher::~RegexMatcher() {
    pcre2_jit_stack_free(stack_);
    pcre2_match_context_free(context_);
    pcre2_match_data_free(data_);
}

bool RegexMatcher::matchOnce(const Regex& re, std::string_view subject, std::size_t from,
                             std::size_t& start, std::size_t& end) {
    // A view of an empty string may carry no pointer; the engine wants one.
    const auto* s = reinterpret_cast<PCRE2_SPTR>(subject.empty() ? "" : subject.data());
    const int rc =
        re.jitCompiled()
            ? pcre2_jit_match(re.code(), s, subject.size(), from, PCRE2_NOTEMPTY, data_, context_)
            : pcre2_match(re.code(), s, subject.size(), from, PCRE2_NOTEMPTY, data_, context_);
    if (rc == PCRE2_ERROR_NOMATCH) return false;
    if (rc < 0) {
        // Match, depth, heap or JIT stack limit: the expression runs away on this text.
        ranAway_ = true;
        return false;
    }
    lastCount_ = rc == 0 ? static_cast<int>(kOvectorPairs) : rc;
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data_);
    start = ov[0];
    end = ov[1];
    return true;
}

LineMatch RegexMatcher::find(std::string_view subject, std::size_t from, const Regex& re,
                             bool wholeWordsOnly) {
    lastCount_ = 0;
    if (re.empty() || from >= subject.size()) return {};
    if (re.isPlainLiteral()) {
        const std::size_t p = findPos(subject.substr(from), re.requiredLiteral(), wholeWordsOnly);
        if (p == 0) return {};
        lastCount_ = -1;
        lastStart_ = from + p - 1;
        lastEnd_ = lastStart_ + re.requiredLiteral().size();
        return {lastStart_ + 1, re.requiredLiteral().size()};
    }
    const std::size_t searched = subject.size() - from;
    std::size_t at = from, tries = 0;
    while (true) {
        std::size_t s = 0, e = 0;
        if (!matchOnce(re, subject, at, s, e)) return {};
        if (e > s) {
            const bool startOk = s == from || !isWordChar(subject[s - 1]);
            const bool endOk = e >= subject.size() || !isWordChar(subject[e]);
            if (!wholeWordsOnly || (startOk && endOk)) {
                lastStart_ = s;
                lastEnd_ = e;
                return {s + 1, e - s};
            }
            // Go on after the rejected match; overlapping matches are not considered.
            at = e;
            if (restIsBlank(subject, at) || ++tries >= searched) break;
        } else {
            at = std::max(s, e) + 1; // an empty report (\K) is never a hit
        }
        if (at >= subject.size()) break;
    }
    lastCount_ = 0;
    return {};
}

std::string_view RegexMatcher::group(std::string_view subject, int n) const {
    if (n == 0 && lastCount_ != 0) return subject.substr(lastStart_, lastEnd_ - lastStart_);
    if (n <= 0 || n >= lastCount_) return {};
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data_);
    const PCRE2_SIZE a = ov[2 * n], b = ov[2 * n + 1];
    if (a == PCRE2_UNSET || b < a || b > subject.size()) return {};
    return subject.substr(a, b - a);
}

} // namespace vesk
