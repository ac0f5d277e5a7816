#pragma once
// Outside programs behind a seam: the real one starts processes detached, tests record the calls.

#include <string>
#include <string_view>

namespace vesk {

struct ShellResult {
    bool ok = false;
    std::string error; // the system's error text when !ok
};

class Shell {
public:
    virtual ~Shell() = default;
    // Starts `program` with `parameters` (split as a shell splits words; double quotes group)
    // in `workFolder` (empty: the current folder). Does not wait for the program.
    virtual ShellResult start(std::string_view program, std::string_view parameters,
                              std::string_view workFolder) = 0;
    // Opens a document or URL with its associated program.
    virtual ShellResult openDocument(std::string_view document) = 0;
    virtual void setClipboardText(std::string_view text) = 0;
};

} // namespace vesk
