#pragma once
// The real Shell on Linux (docs/architecture.md, "The platform"): programs are started detached,
// with the parameter string split into words; documents and URLs are opened with xdg-open.

#include <string>
#include <string_view>
#include <vector>

#include "lib/shell.h"

namespace vesk {

// Splits a parameter string into words as a shell does, in the part docs/architecture.md keeps:
// blanks (space, tab, CR, LF) separate words; double quotes group, and are removed; quoted and
// unquoted parts that touch form one word (a"b c"d is `ab cd`); "" is an empty word; a quote left
// open runs to the end of the text. Backslashes and single quotes are ordinary characters, so names
// taken from Windows-style settings and names holding an apostrophe pass unchanged.
std::vector<std::string> splitShellWords(std::string_view parameters);

// The first executable regular file called `name` in the folders of `pathVariable` (":"
// separated; an empty entry is the current folder). A name holding "/" is returned unchanged.
// Empty when none is found.
std::string findOnPath(std::string_view name, std::string_view pathVariable);
// The same with the PATH of the environment (the usual default path when PATH is unset).
std::string findOnPath(std::string_view name);

class PosixShell : public Shell {
public:
    // Starts `program` (a path, or a name looked up on PATH; "Notepad.exe" in any case is the
    // default editor of lib/commands.h) with the words of `parameters`, in
    // `workFolder` (empty: the current folder). The program runs detached in a session of its own
    // (double fork and setsid): the caller does not wait and no zombie is left. Its standard input
    // is /dev/null; standard output and error are inherited. A program that cannot be started (not
    // found, not executable, a folder that does not exist) is reported with the system's text for
    // the errno of the failing step, passed back from the child through a close-on-exec pipe.
    ShellResult start(std::string_view program, std::string_view parameters,
                      std::string_view workFolder) override;
    // Starts xdg-open with `document` as its one argument (not split).
    ShellResult openDocument(std::string_view document) override;
    // The core cannot reach the desktop clipboard without Qt: this stores the text, readable with
    // clipboardText(). The Qt window's shell subclasses PosixShell and overrides this to put the
    // text on QGuiApplication::clipboard().
    void setClipboardText(std::string_view text) override { clipboard_ = std::string(text); }
    const std::string& clipboardText() const { return clipboard_; }

    // Starts the executable `path` with the argument vector `argv` (argv[0] included) detached in
    // `workFolder`. `path` is not looked up on PATH.
    static ShellResult spawnDetached(const std::string& path, const std::vector<std::string>& argv,
                                     std::string_view workFolder);

private:
    std::string clipboard_;
};

} // namespace vesk
