#pragma once
// A temporary folder tree for one test, removed when the test ends.

#include <string>
#include <string_view>

namespace vesk::test {

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root folder, ending in "/".
    const std::string& root() const { return root_; }
    // root() + relative.
    std::string path(std::string_view relative) const;
    // Writes a file (creating folders on the way) and returns its full path.
    std::string write(std::string_view relative, std::string_view bytes);
    std::string mkdir(std::string_view relative);
    std::string read(std::string_view relative) const;
    // Sets the modification time (Unix seconds).
    void setMtime(std::string_view relative, long long unixSeconds) const;

private:
    std::string root_;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);

// Whether this process holds a descriptor on `path` or on anything below it.
bool holdsAnythingUnder(const std::string& path);

} // namespace vesk::test
