#pragma once
// How a double-clicked result line's file is opened: the "Viewer" key of its extension, the words
// a settings value may hold, and the program and parameter string built for it. Pure text rules
// (plus one folder test); nothing is started here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/string_grid.h"

namespace vesk {

inline constexpr std::string_view kAskWord = "ASK";         // any case: ask each time
inline constexpr std::string_view kViewerWord = "Viewer";   // exactly this case: built-in viewer
inline constexpr std::string_view kWindowsWord = "Windows"; // any case: the associated program

// The cells of a result row that opening reads: column 0, column 2 and column 3.
struct FoundRow {
    std::string line;   // the line number; empty on heading rows, "-1" on error rows
    std::string file;   // the full file name
    std::string column; // the match column
};
FoundRow foundRowOf(const StringGrid& grid, int row);

// The "Viewer" key of a file: its extension without the dot, trimmed, a closing double quote
// dropped. nullopt when the name has no extension: such a file is not opened.
std::optional<std::string> viewerKeyOf(std::string_view fileName);

bool isAskCommand(std::string_view command);
bool isViewerCommand(std::string_view command);
bool isWindowsCommand(std::string_view command);

// An empty command, or a program in a folder that does not exist, becomes "Notepad.exe" (the
// default editor). Folder parts end at the last "/" or "\", so a value carried over from a
// Windows settings file falls back rather than failing.
std::string programOrNotepad(std::string_view command);

// The line and column arguments the two editors with fixed rules take, each with its leading
// blank: EditPlus " -cursor LINE:COL", Notepad++ " -nLINE: -cCOL"; empty for any other program.
std::string positionArguments(std::string_view command, std::string_view line,
                              std::string_view column);

// The argument words that open `file` at `line` and `column` (1-based; 0 when the row has none)
// in the Linux editor `program` names, recognised by its file name in any folder: kate, kwrite,
// gedit, gnome-text-editor, code, codium, geany, vim, nvim, gvim, emacs, emacsclient, subl,
// mousepad, xed, pluma, nano, micro; xdg-open gets the file alone. nullopt for any other program.
std::optional<std::vector<std::string>> editorArguments(std::string_view program, int line,
                                                        int column, const std::string& file);

// A grid cell as a line or column number: its digits when it holds a positive number, else 0.
int positionNumber(std::string_view cell);

// The file as the program's argument: the trimmed name in double quotes when it holds a blank
// (space, tab, CR or LF) and is not already enclosed in them; otherwise the name unchanged.
std::string fileArgument(std::string_view fileName);
// The file the program must receive: the trimmed name without enclosing double quotes.
std::string intendedFile(std::string_view fileName);

struct OpenCommand {
    std::string program;                // what to start; for "Windows" the file argument itself
    std::string parameters;             // a blank, then the words; empty for "Windows"
    std::vector<std::string> arguments; // the words the program must receive, in order
    bool association = false;           // "Windows": open `document` with its associated program
    std::string document;               // the file for the association, without quotes
};

// The program and parameter string for `program` (already through programOrNotepad, and with
// "Notepad.exe" already replaced by the default editor) and a row.
OpenCommand buildOpenCommand(std::string_view program, const FoundRow& row);

// True when the started program would receive exactly the intended words. A name holding a
// double quote cannot be passed whole: its quotes would split it, or let the rest of the name
// become options of the editor.
bool passesFileWhole(const OpenCommand& command);

} // namespace vesk
