#pragma once
// A text file held as lines for the two windows that show a found file whole or around a line.
// Lines end at CR, LF or CR LF, as the search loader splits them; a NUL ends the text.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

class FileLines {
public:
    // Reads the regular file at `path`. On failure returns false with the system's text for the
    // error in `error`, and the lines held before stay.
    bool load(const std::string& path, std::string& error);

    std::size_t count() const { return spans_.size(); }
    // Line n, counting from 1 as the grids number them; empty outside 1..count().
    std::string_view line(std::size_t n) const;
    void clear();

private:
    struct Span {
        std::size_t begin = 0, size = 0;
    };
    std::string text_;
    std::vector<Span> spans_;
};

} // namespace vesk
