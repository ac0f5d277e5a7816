#include "results/open_command.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "lib/commands.h"
#include "lib/posix_shell.h"
#include "lib/text.h"

namespace vesk {

namespace {

bool enclosedInQuotes(std::string_view s) {
    return s.size() > 1 && s.front() == '"' && s.back() == '"';
}

bool folderExists(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec);
}

} // namespace

FoundRow foundRowOf(const StringGrid& grid, int row) {
    if (row < 0 || row >= grid.rowCount() || grid.colCount() < 4) return {};
    return {std::string(grid.cell(0, row)), std::string(grid.cell(2, row)),
            std::string(grid.cell(3, row))};
}

std::optional<std::string> viewerKeyOf(std::string_view fileName) {
    const std::string_view extension = fileExtension(fileName);
    if (extension.empty()) return std::nullopt;
    std::string key = trim(extension.substr(1));
    if (!key.empty() && key.back() == '"') {
        key.back() = ' ';
        key = trim(key);
    }
    return key;
}

bool isAskCommand(std::string_view command) {
    return xcSameText(command, kAskWord);
}

bool isViewerCommand(std::string_view command) {
    return command == kViewerWord;
}

bool isWindowsCommand(std::string_view command) {
    return xcSameText(command, kWindowsWord);
}

std::string programOrNotepad(std::string_view command) {
    const std::string program = trim(command);
    if (program.empty()) return std::string(kNotepad);
    const std::size_t separator = program.find_last_of("/\\");
    if (separator == std::string::npos) return program;
    // "/editor" has the root as its folder, which always exists.
    const std::string folder = separator == 0 ? "/" : program.substr(0, separator);
    return folderExists(folder) ? program : std::string(kNotepad);
}

std::string positionArguments(std::string_view command, std::string_view line,
                              std::string_view column) {
    const std::string l(line), c(column);
    if (containsNoCase(command, "Notepad++") || containsNoCase(command, "NotepadPlus"))
        return " -n" + l + ":" + " -c" + c;
    if (containsNoCase(command, "EditPLus")) return " -cursor " + l + ":" + c;
    if (containsNoCase(command, "geany") && !trimView(line).empty()) {
        std::string p = " --line=" + trim(line);
        if (!trimView(column).empty()) p += " --column=" + trim(column);
        return p;
    }
    return {};
}

std::string fileArgument(std::string_view fileName) {
    const std::string name = trim(fileName);
    const bool hasBlank = name.find_first_of(" \t\r\n") != std::string::npos;
    if (hasBlank && name.size() > 1 && !enclosedInQuotes(name)) return "\"" + name + "\"";
    return std::string(fileName);
}

std::string intendedFile(std::string_view fileName) {
    const std::string_view name = trimView(fileName);
    return std::string(enclosedInQuotes(name) ? name.substr(1, name.size() - 2) : name);
}

OpenCommand buildOpenCommand(std::string_view command, const FoundRow& row) {
    OpenCommand out;
    const std::string file = fileArgument(row.file);
    if (isWindowsCommand(command)) {
        out.program = file;
        out.association = true;
        out.document = intendedFile(row.file);
        return out;
    }
    out.program = std::string(command);
    out.position = positionArguments(command, row.line, row.column);
    out.parameters = out.position + " " + file;
    return out;
}

bool passesFileWhole(const OpenCommand& command, std::string_view fileName) {
    if (command.association) return command.document == intendedFile(fileName);
    // The position words come from the grid's number cells; they must not hold a quote either,
    // or it would pair with one around the file.
    if (command.position.find('"') != std::string::npos) return false;
    std::vector<std::string> expected = splitShellWords(command.position);
    expected.push_back(intendedFile(fileName));
    return splitShellWords(command.parameters) == expected;
}

} // namespace vesk
