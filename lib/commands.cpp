#include "lib/commands.h"

#include <cstdlib>
#include <sys/stat.h>
#include <vector>

#include "lib/logs.h"
#include "lib/posix_shell.h"
#include "lib/text.h"

namespace vesk {

namespace {

constexpr int kMaxWords = 30;

std::string pathFromEnvironment() {
    const char* p = std::getenv("PATH");
    return p ? std::string(p) : std::string("/usr/local/bin:/usr/bin:/bin");
}

} // namespace

std::string defaultEditorFrom(std::optional<std::string_view> veskEditor,
                              std::string_view pathVariable) {
    if (veskEditor && !trimView(*veskEditor).empty()) return trim(*veskEditor);
    for (const std::string_view candidate : kEditorCandidates) {
        std::string found = findOnPath(candidate, pathVariable);
        if (!found.empty()) return found;
    }
    return "xdg-open";
}

std::string defaultEditor() {
    const char* v = std::getenv("VESK_EDITOR");
    return defaultEditorFrom(v ? std::optional<std::string_view>(v) : std::nullopt,
                             pathFromEnvironment());
}

bool isNotepad(std::string_view program) {
    return xcSameText(program, kNotepad);
}

std::string resolveProgram(std::string_view program, const CommandOptions& options) {
    if (!isNotepad(program)) return trim(program);
    return options.defaultEditor.empty() ? defaultEditor() : options.defaultEditor;
}

bool programExists(std::string_view program) {
    const std::string name = trim(program);
    if (name.empty()) return false;
    if (name.find('/') != std::string::npos) {
        struct stat st {};
        return ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    return !findOnPath(name).empty();
}

std::string xcQuoteIfBlank(std::string_view text) {
    std::string t = trim(text);
    if (t.find_first_of(" \t") == std::string::npos) return t;
    return "\"" + t + "\"";
}

std::optional<std::string> fileWord(std::string_view fileName) {
    if (fileName.find('"') != std::string_view::npos) return std::nullopt;
    if (fileName.empty() || fileName.find_first_of(" \t\r\n") != std::string_view::npos)
        return "\"" + std::string(fileName) + "\"";
    return std::string(fileName);
}

std::string xcNthWord(std::string_view text, int n) {
    if (n < 1 || n > kMaxWords) return {};
    int word = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlankByte(text[i]))
            ++i;
        if (i >= text.size()) break;
        const std::size_t start = i;
        while (i < text.size() && !isBlankByte(text[i]))
            ++i;
        if (++word == n) return std::string(text.substr(start, i - start));
    }
    return {};
}

bool xcCommand(const CommandContext& cx, std::string_view program, std::string_view parameters,
               std::string_view folder) {
    if (cx.channels.diagnostic) {
        xcNamedLog(cx.channels, cx.clock, "", kLogPerDay,
                   "xcCommand: <" + std::string(program) + "> <" + std::string(parameters) +
                       ">  <" + std::string(folder) + ">");
    }
    const std::string toStart = resolveProgram(program, cx.options);
    const ShellResult r = cx.shell.start(toStart, parameters, folder);
    if (!r.ok) {
        cx.dialogs.showMessage("xcCommand error:" + toStart + " " + std::string(parameters) + " " +
                               std::string(folder) + "\r\n" + r.error);
    }
    return r.ok;
}

bool xcShowDifferences(const CommandContext& cx, std::string_view firstFile,
                       std::string_view secondFile,
                       const std::optional<std::string>& viewerSetting) {
    const std::string viewer =
        viewerSetting ? trim(*viewerSetting) : cx.options.defaultDifferencesViewer;
    if (!programExists(resolveProgram(viewer, cx.options))) return false; // "none" too
    const std::optional<std::string> first = fileWord(firstFile);
    const std::optional<std::string> second = fileWord(secondFile);
    if (!first || !second) {
        cx.dialogs.showMessage(std::string(kUnpassableNameMessage) +
                               std::string(first ? secondFile : firstFile));
        return false;
    }
    xcCommand(cx, viewer, *first + " " + *second, "");
    return true;
}

bool xcEditFile(const CommandContext& cx, std::string_view fileNames) {
    std::string program = resolveProgram(kNotepad, cx.options);
    // The first name as the shell would split it, so a quoted name with blanks stays whole.
    const std::vector<std::string> words = splitShellWords(fileNames);
    std::string parameters = words.empty() ? std::string() : fileWord(words[0]).value_or("");
    if (programExists(cx.options.fixedEditor)) {
        program = cx.options.fixedEditor;
        parameters = std::string(fileNames);
    }
    if (cx.channels.diagnostic && parameters != fileNames)
        cx.dialogs.showMessage("Using Notepad to edit first file, list was " +
                               std::string(fileNames));
    const ShellResult r = cx.shell.start(program, parameters, "");
    if (!r.ok)
        cx.dialogs.showMessage("Command problem:" + program + " " + parameters + "\r\n" + r.error);
    return r.ok;
}

bool xcEditOneFile(const CommandContext& cx, std::string_view fileName) {
    const std::optional<std::string> word = fileWord(fileName);
    if (!word) {
        cx.dialogs.showMessage(std::string(kUnpassableNameMessage) + std::string(fileName));
        return false;
    }
    return xcEditFile(cx, *word);
}

std::string mailCommandText(std::string_view address, std::string_view subject,
                            std::string_view body) {
    const std::string_view s = trimView(subject).empty() ? kDefaultMailSubject : subject;
    return "mailto:" + std::string(address) + "?Subject=" + std::string(s) +
           "&Body=" + std::string(body);
}

bool xcSendMail(const CommandContext& cx, std::string_view subject, std::string_view body) {
    const std::string text = mailCommandText(cx.options.feedbackAddress, subject, body);
    xcRunLog(cx.channels, cx.clock, text);
    const ShellResult r = cx.shell.openDocument(text);
    if (!r.ok) cx.dialogs.showMessage(r.error);
    return r.ok;
}

} // namespace vesk
