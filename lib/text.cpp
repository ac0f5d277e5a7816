#include "lib/text.h"

#include <cstring>

namespace vesk {

namespace {
constexpr std::array<unsigned char, 256> makeUpper() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    return t;
}
} // namespace

const std::array<unsigned char, 256> kUpper = makeUpper();

std::string upperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = upperChar(c);
    return out;
}

std::string_view trimView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlankByte(s[b]))
        ++b;
    while (e > b && isBlankByte(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::string trim(std::string_view s) {
    return std::string(trimView(s));
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperChar(a[i]) != upperChar(b[i])) return false;
    return true;
}

bool xcSameText(std::string_view a, std::string_view b) {
    return equalsNoCase(trimView(a), trimView(b));
}

std::size_t xcPosIn(std::string_view text, std::string_view part, bool caseInsensitive) {
    if (part.empty() || part.size() > text.size()) return 0;
    if (!caseInsensitive) {
        const auto p = text.find(part);
        return p == std::string_view::npos ? 0 : p + 1;
    }
    const std::size_t last = text.size() - part.size();
    for (std::size_t i = 0; i <= last; ++i) {
        if (upperChar(text[i]) == upperChar(part[0]) &&
            equalsNoCase(text.substr(i, part.size()), part))
            return i + 1;
    }
    return 0;
}

bool containsNoCase(std::string_view text, std::string_view part) {
    return part.empty() || xcPosIn(text, part, true) > 0;
}

void appendNumber(std::string& out, std::int64_t n) {
    char buf[24];
    char* p = buf + sizeof buf;
    const bool neg = n < 0;
    std::uint64_t u = neg ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    do {
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    if (neg) *--p = '-';
    out.append(p, static_cast<std::size_t>(buf + sizeof buf - p));
}

std::string numberText(std::int64_t n) {
    std::string s;
    appendNumber(s, n);
    return s;
}

std::string_view fileExtension(std::string_view path) {
    const auto slash = path.rfind('/');
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return path.substr(dot);
}

std::string_view fileFolder(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
}

} // namespace vesk
