#pragma once
// An INI document that rewrites values in place. Every line the program does not change (hand-made
// keys, comments, blank lines, garbage, overlong lines, line ends) is written back byte for byte,
// in its order; section and key names match without regard to the case of a..z.
//
// Lines: "[name]" opens a section; "key=value" holds a value; ";" or "#" starts a comment; any
// other line is kept and otherwise ignored. Keys before the first section belong to no section and
// cannot be addressed. A section or key that appears twice: the first one is read and rewritten,
// the later ones are kept untouched. A UTF-8 byte-order mark at the start is skipped and kept.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

struct IniSaveResult {
    bool ok = false;
    std::string message; // "Unable to write to <path>" when not ok
    std::string reason;  // the system's own text for the failure, for logs
};

class IniFile {
public:
    enum class Source { Text, Missing, Loaded, Unreadable };

    IniFile() = default;
    explicit IniFile(std::string_view text);

    // Reads the file at `path`. A missing file gives an empty document; a file that exists but
    // cannot be read gives an empty document that refuses to be saved, so its content survives.
    static IniFile load(const std::string& path);

    Source source() const { return source_; }

    // The value with surrounding blanks removed; empty optional when the key is absent.
    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    std::string readText(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
    // Decimal integer with an optional sign; anything else (or out of range) reads as fallback.
    int readInteger(std::string_view section, std::string_view key, int fallback) const;
    // Read as an integer: any value other than 0 is true.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    // Rewrites the first matching key in place, or adds it after the last key of its section (a
    // new section at the end of the document when absent). False, and nothing changed, when the
    // value holds a line break (it would split the line) or a name would not read back as itself.
    bool writeText(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    bool hasSection(std::string_view section) const;
    // The document as it would be written.
    std::string text() const;

    // Writes the document to `path` atomically (lib/save_io.h). Refused for a document loaded as
    // Unreadable, and for a file the user may not write (a write-protected one too).
    IniSaveResult save(const std::string& path) const;

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string text; // without its line end
        std::string end;  // "\r\n", "\n", "\r" or empty for a last line without one
        Kind kind = Kind::Other;
        std::string name;           // trimmed section or key name
        std::size_t valueBegin = 0; // Key: where the trimmed value starts in text
    };

    static Line parseLine(std::string text, std::string end);
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(std::string_view section, std::string_view key) const;
    std::size_t endOfSection(std::size_t header) const;
    std::string newLineEnd() const;
    void insertLine(std::size_t at, std::string text);

    std::vector<Line> lines_;
    Source source_ = Source::Text;
    bool byteOrderMark_ = false;
};

} // namespace vesk
