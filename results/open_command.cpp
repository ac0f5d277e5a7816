#include "results/open_command.h"

#include <vector>

#include "lib/commands.h"
#include "lib/posix_shell.h"
#include "lib/program_folder.h"
#include "lib/text.h"

namespace vesk {

namespace {

bool enclosedInQuotes(std::string_view s) {
    return s.size() > 1 && s.front() == '"' && s.back() == '"';
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
    return isExistingFolder(folder) ? program : std::string(kNotepad);
}

std::string positionArguments(std::string_view command, std::string_view line,
                              std::string_view column) {
    const std::string l(line), c(column);
    if (containsNoCase(command, "Notepad++") || containsNoCase(command, "NotepadPlus"))
        return " -n" + l + ":" + " -c" + c;
    if (containsNoCase(command, "EditPLus")) return " -cursor " + l + ":" + c;
    return {};
}

int positionNumber(std::string_view cell) {
    const std::string_view digits = trimView(cell);
    if (digits.empty() || digits.size() > 9) return 0;
    int n = 0;
    for (const char ch : digits) {
        if (ch < '0' || ch > '9') return 0;
        n = n * 10 + (ch - '0');
    }
    return n;
}

namespace {

enum class LineSyntax {
    KateOptions,       // --line L --column C FILE
    PlusColon,         // +L:C FILE
    PlusComma,         // +L,C FILE
    PlusLineOnly,      // +L FILE
    Goto,              // --goto FILE:L:C
    FileSuffix,        // FILE:L:C
    ZeroColumnOptions, // --line=L --column=C-1 FILE
    VimCursor,         // "+call cursor(L,C)" FILE
    FileOnly,          // FILE
};

struct KnownEditor {
    std::string_view name;
    LineSyntax syntax;
};

// Each editor's own documented form (its manual page or --help):
// kate/kwrite "-l, --line line", "-c, --column column"; gedit "[FILE...] [+LINE[:COLUMN]]", the
// form gnome-text-editor shares; code/codium "-g, --goto file:line[:character]"; geany
// "--line", "--column" (also "+number"; a run of geany 1.38 shows its columns start at 0); vim
// "+{command}" with cursor({lnum}, {col}), "+[num]"; emacs/emacsclient "+line:column file"; subl
// "file:line:column"; mousepad "--line=LINE",
// "--column=COLUMN" (COLUMN >= 0 from start); so both get one less; xed and pluma "+[num]" (line
// only); nano "+LINE,COLUMN"; micro "+LINE:COL"; xdg-open takes no position.
// clang-format off
constexpr KnownEditor kKnownEditors[] = {
    {"kate", LineSyntax::KateOptions},
    {"kwrite", LineSyntax::KateOptions},
    {"gedit", LineSyntax::PlusColon},
    {"gnome-text-editor", LineSyntax::PlusColon},
    {"code", LineSyntax::Goto},
    {"codium", LineSyntax::Goto},
    {"geany", LineSyntax::ZeroColumnOptions},
    {"vim", LineSyntax::VimCursor},
    {"nvim", LineSyntax::VimCursor},
    {"gvim", LineSyntax::VimCursor},
    {"emacs", LineSyntax::PlusColon},
    {"emacsclient", LineSyntax::PlusColon},
    {"subl", LineSyntax::FileSuffix},
    {"mousepad", LineSyntax::ZeroColumnOptions},
    {"xed", LineSyntax::PlusLineOnly},
    {"pluma", LineSyntax::PlusLineOnly},
    {"nano", LineSyntax::PlusComma},
    {"micro", LineSyntax::PlusColon},
    {"xdg-open", LineSyntax::FileOnly},
};
// clang-format on

std::string_view programFileName(std::string_view program) {
    program = trimView(program);
    const std::size_t slash = program.find_last_of('/');
    return slash == std::string_view::npos ? program : program.substr(slash + 1);
}

std::vector<std::string> positionWords(LineSyntax syntax, int line, int column,
                                       const std::string& file) {
    const std::string l = std::to_string(line), c = std::to_string(column);
    const bool hasColumn = column > 0;
    switch (syntax) {
    case LineSyntax::KateOptions:
        if (hasColumn) return {"--line", l, "--column", c, file};
        return {"--line", l, file};
    case LineSyntax::PlusColon:
        return {"+" + l + (hasColumn ? ":" + c : ""), file};
    case LineSyntax::PlusComma:
        return {"+" + l + (hasColumn ? "," + c : ""), file};
    case LineSyntax::PlusLineOnly:
        return {"+" + l, file};
    case LineSyntax::Goto:
        return {"--goto", file + ":" + l + (hasColumn ? ":" + c : "")};
    case LineSyntax::FileSuffix:
        return {file + ":" + l + (hasColumn ? ":" + c : "")};
    case LineSyntax::ZeroColumnOptions:
        if (hasColumn) return {"--line=" + l, "--column=" + std::to_string(column - 1), file};
        return {"--line=" + l, file};
    case LineSyntax::VimCursor:
        if (hasColumn) return {"+call cursor(" + l + "," + c + ")", file};
        return {"+" + l, file};
    case LineSyntax::FileOnly:
        break;
    }
    return {file};
}

// One word of a parameter string: in double quotes when empty or holding a blank.
std::string quotedWord(const std::string& word) {
    if (word.empty() || word.find_first_of(" \t\r\n") != std::string::npos)
        return "\"" + word + "\"";
    return word;
}

} // namespace

std::optional<std::vector<std::string>> editorArguments(std::string_view program, int line,
                                                        int column, const std::string& file) {
    const std::string_view name = programFileName(program);
    for (const KnownEditor& editor : kKnownEditors) {
        if (!xcSameText(name, editor.name)) continue;
        // A row without a line (a heading) opens the file at its top; the editors refuse empty
        // or zero numbers.
        if (line <= 0 || editor.syntax == LineSyntax::FileOnly) return std::vector{file};
        return positionWords(editor.syntax, line, column, file);
    }
    return std::nullopt;
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

OpenCommand buildOpenCommand(std::string_view program, const FoundRow& row) {
    OpenCommand out;
    const std::string file = fileArgument(row.file);
    if (isWindowsCommand(program)) {
        out.program = file;
        out.association = true;
        out.document = intendedFile(row.file);
        out.arguments = {out.document};
        return out;
    }
    out.program = std::string(program);
    const std::string position = positionArguments(program, row.line, row.column);
    const std::optional<std::vector<std::string>> editor =
        position.empty() ? editorArguments(program, positionNumber(row.line),
                                           positionNumber(row.column), intendedFile(row.file))
                         : std::nullopt;
    if (editor) {
        out.arguments = *editor;
        for (const std::string& word : out.arguments)
            out.parameters += " " + quotedWord(word);
        return out;
    }
    out.parameters = position + " " + file;
    // The position words come from the grid's number cells; a quote there would pair with one
    // around the file, so no words are intended and the command never passes.
    if (position.find('"') != std::string::npos) return out;
    out.arguments = splitShellWords(position);
    out.arguments.push_back(intendedFile(row.file));
    return out;
}

bool passesFileWhole(const OpenCommand& command) {
    if (command.association) return true;
    return splitShellWords(command.parameters) == command.arguments;
}

} // namespace vesk
