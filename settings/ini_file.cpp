#include "settings/ini_file.h"

#include <cerrno>
#include <charconv>

#include "lib/save_io.h"
#include "lib/text.h"

namespace vesk {

namespace {

bool holdsLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// A name the parser would read back as the same section or key.
bool isWritableSection(std::string_view name) {
    return !trimView(name).empty() && !holdsLineBreak(name) && name.find(']') == name.npos;
}

bool isWritableKey(std::string_view name) {
    const std::string_view t = trimView(name);
    return !t.empty() && !holdsLineBreak(name) && name.find('=') == name.npos && t[0] != '[' &&
           t[0] != ';' && t[0] != '#';
}

std::optional<int> parseInteger(std::string_view s) {
    const bool plus = !s.empty() && s[0] == '+';
    if (plus) s.remove_prefix(1);
    if (s.empty() || (plus && (s[0] < '0' || s[0] > '9'))) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return value;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct ReadOutcome {
    IniFile::Source source;
    std::string bytes;
};

// Never blocks: a FIFO or device at the name reads as unreadable, so it is also never replaced.
ReadOutcome readWholeFile(const std::string& path) {
    std::string bytes;
    const int e = readRegularFile(path, bytes);
    if (e == ENOENT || e == ENOTDIR) return {IniFile::Source::Missing, {}};
    if (e != 0) return {IniFile::Source::Unreadable, {}};
    return {IniFile::Source::Loaded, std::move(bytes)};
}

} // namespace

IniFile::IniFile(std::string_view text) {
    // A UTF-8 byte-order mark (left by some editors) is not part of the first line; it is written
    // back once.
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", start);
        if (brk == text.npos) {
            lines_.push_back(parseLine(std::string(text.substr(start)), {}));
            break;
        }
        const std::size_t endLen =
            text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n' ? 2 : 1;
        lines_.push_back(parseLine(std::string(text.substr(start, brk - start)),
                                   std::string(text.substr(brk, endLen))));
        start = brk + endLen;
    }
}

IniFile IniFile::load(const std::string& path) {
    ReadOutcome read = readWholeFile(path);
    IniFile ini(read.bytes);
    ini.source_ = read.source;
    return ini;
}

IniFile::Line IniFile::parseLine(std::string text, std::string end) {
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    const std::string_view t = trimView(line.text);
    if (t.empty() || t[0] == ';' || t[0] == '#') return line;
    if (t[0] == '[') {
        const std::size_t close = t.find(']');
        if (close == t.npos) return line;
        line.kind = Kind::Section;
        line.name = trim(t.substr(1, close - 1));
        return line;
    }
    const std::size_t eq = line.text.find('=');
    if (eq == std::string::npos) return line;
    std::string key = trim(std::string_view(line.text).substr(0, eq));
    if (key.empty()) return line;
    line.kind = Kind::Key;
    line.name = std::move(key);
    std::size_t v = eq + 1;
    while (v < line.text.size() && isBlankByte(line.text[v]))
        ++v;
    line.valueBegin = v;
    return line;
}

std::optional<std::size_t> IniFile::findSection(std::string_view section) const {
    const std::string_view wanted = trimView(section);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && equalsNoCase(lines_[i].name, wanted)) return i;
    return std::nullopt;
}

std::optional<std::size_t> IniFile::findKey(std::string_view section, std::string_view key) const {
    const std::string_view wantedSection = trimView(section);
    const std::string_view wantedKey = trimView(key);
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section)
            inSection = equalsNoCase(line.name, wantedSection);
        else if (inSection && line.kind == Kind::Key && equalsNoCase(line.name, wantedKey))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::find(std::string_view section, std::string_view key) const {
    const auto i = findKey(section, key);
    if (!i) return std::nullopt;
    const Line& line = lines_[*i];
    return trim(std::string_view(line.text).substr(line.valueBegin));
}

std::string IniFile::readText(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
    auto value = find(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const {
    const auto value = find(section, key);
    if (!value) return fallback;
    return parseInteger(*value).value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

bool IniFile::hasSection(std::string_view section) const {
    return findSection(section).has_value();
}

// A new key goes after the section's last key (after its header when it has none): the blank
// lines and comments that follow usually set it apart from, or introduce, the next section.
std::size_t IniFile::endOfSection(std::size_t header) const {
    std::size_t last = header;
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
        if (lines_[i].kind == Kind::Key) last = i;
    return last + 1;
}

// New lines follow the file's own line ends; a new file gets CR LF like every file we write.
std::string IniFile::newLineEnd() const {
    for (const Line& line : lines_)
        if (!line.end.empty()) return line.end;
    return "\r\n";
}

void IniFile::insertLine(std::size_t at, std::string text) {
    const std::string end = newLineEnd();
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = end;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  parseLine(std::move(text), end));
}

bool IniFile::writeText(std::string_view section, std::string_view key, std::string_view value) {
    if (!isWritableSection(section) || !isWritableKey(key) || holdsLineBreak(value)) return false;
    if (const auto i = findKey(section, key)) {
        Line& line = lines_[*i];
        // An unchanged value keeps its line byte for byte, trailing blanks included.
        if (trimView(std::string_view(line.text).substr(line.valueBegin)) == value) return true;
        std::string text = line.text.substr(0, line.valueBegin);
        text.append(value);
        line = parseLine(std::move(text), std::move(line.end));
        return true;
    }
    std::string keyLine = trim(key) + "=" + std::string(value);
    if (const auto header = findSection(section)) {
        insertLine(endOfSection(*header), std::move(keyLine));
        return true;
    }
    if (!lines_.empty() && !trimView(lines_.back().text).empty()) insertLine(lines_.size(), {});
    insertLine(lines_.size(), "[" + trim(section) + "]");
    insertLine(lines_.size(), std::move(keyLine));
    return true;
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeText(section, key, numberText(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeText(section, key, value ? "1" : "0");
}

std::string IniFile::text() const {
    std::string out(byteOrderMark_ ? kByteOrderMark : std::string_view());
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

IniSaveResult IniFile::save(const std::string& path) const {
    const std::string message = "Unable to write to " + path;
    if (source_ == Source::Unreadable)
        return {false, message, "the existing file could not be read, so it is left as it is"};
    const WriteResult written = replaceWholeFile(path, text(), LinkRule::FollowToTarget);
    if (!written.ok) return {false, message, written.error};
    return {true, {}, {}};
}

} // namespace vesk
