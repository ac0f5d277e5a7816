#include "search/file_mask.h"

#include "lib/text.h"

namespace vesk {

namespace {
constexpr int kMaxStars = 30;

std::string invalidMaskText(const std::string& mask, int position) {
    return "'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")";
}

// Reads the set starting after "[" at i; leaves i after the closing "]".
std::bitset<256> readSet(const std::string& mask, std::size_t& i) {
    std::bitset<256> set;
    bool negate = false;
    if (i < mask.size() && mask[i] == '!') {
        negate = true;
        ++i;
    }
    bool havePrev = false;
    unsigned char prev = 0;
    while (true) {
        if (i >= mask.size()) throw InvalidMaskError(mask, static_cast<int>(i) + 1);
        const auto c = static_cast<unsigned char>(upperChar(mask[i]));
        if (c == ']') {
            ++i;
            break;
        }
        if (c == '-') {
            if (!havePrev) throw InvalidMaskError(mask, static_cast<int>(i) + 1);
            if (i + 1 >= mask.size()) throw InvalidMaskError(mask, static_cast<int>(i) + 2);
            const auto hi = static_cast<unsigned char>(upperChar(mask[i + 1]));
            if (hi == ']') {
                // "[a-]": the dash closes nothing; take it literally.
                set.set('-');
                ++i;
                continue;
            }
            for (unsigned v = prev; v <= hi; ++v)
                set.set(v);
            havePrev = false;
            i += 2;
            continue;
        }
        set.set(c);
        prev = c;
        havePrev = true;
        ++i;
    }
    if (negate) set.flip();
    return set;
}
} // namespace

InvalidMaskError::InvalidMaskError(const std::string& mask, int position)
    : std::runtime_error(invalidMaskText(mask, position)), position_(position) {}

FileMask::FileMask(std::string_view mask) : text_(mask) {
    int stars = 0;
    std::size_t i = 0;
    while (i < text_.size()) {
        const char c = text_[i];
        if (c == '*') {
            if (++stars > kMaxStars) throw InvalidMaskError(text_, static_cast<int>(i) + 1);
            if (tokens_.empty() || tokens_.back().kind != Kind::Star)
                tokens_.push_back(Token{Kind::Star, 0, {}});
            ++i;
        } else if (c == '?') {
            // After a star a "?" adds nothing: "*?" is the same as "*".
            if (tokens_.empty() || tokens_.back().kind != Kind::Star)
                tokens_.push_back(Token{Kind::AnyOne, 0, {}});
            ++i;
        } else if (c == '[') {
            ++i;
            Token t{Kind::Set, 0, {}};
            t.set = readSet(text_, i);
            tokens_.push_back(t);
        } else {
            tokens_.push_back(Token{Kind::Literal, static_cast<unsigned char>(upperChar(c)), {}});
            ++i;
        }
    }
}

bool FileMask::matches(std::string_view name) const {
    // Greedy match with backtracking to the last star: linear for single-character tokens.
    std::size_t t = 0, n = 0;
    std::size_t starToken = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        const auto c = static_cast<unsigned char>(upperChar(name[n]));
        if (t < tokens_.size()) {
            const Token& tok = tokens_[t];
            if (tok.kind == Kind::Star) {
                starToken = t++;
                starName = n;
                continue;
            }
            const bool ok = tok.kind == Kind::AnyOne ||
                            (tok.kind == Kind::Literal && tok.ch == c) ||
                            (tok.kind == Kind::Set && tok.set.test(c));
            if (ok) {
                ++t;
                ++n;
                continue;
            }
        }
        if (starToken == std::string_view::npos) return false;
        t = starToken + 1;
        n = ++starName;
    }
    while (t < tokens_.size() && tokens_[t].kind == Kind::Star)
        ++t;
    return t == tokens_.size();
}

bool matchesAnyMask(const std::vector<FileMask>& masks, std::string_view name) {
    for (const FileMask& m : masks)
        if (m.matches(name)) return true;
    return false;
}

namespace {
// The pattern's "*" is a wildcard before anything else: a name's own "*" or "?" is a plain
// character, so "a*" lists "a*b.txt" and "*" lists "*star.txt".
bool wildMatch(std::string_view p, std::string_view s) {
    std::size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = si;
        } else if (pi < p.size() && (p[pi] == '?' || upperChar(p[pi]) == upperChar(s[si]))) {
            ++pi;
            ++si;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}
} // namespace

bool matchesListingPattern(std::string_view pattern, std::string_view name) {
    if (pattern.find('[') != std::string_view::npos) return false;
    if (wildMatch(pattern, name)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return wildMatch(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

} // namespace vesk
