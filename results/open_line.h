#pragma once
// The double click on a result row (grdFoundDblClick): the settings file's "Viewer" section
// decides how the row's file opens; "Choose how to open file" asks when it says "ASK"; editors
// that take a position are told the line and column. Runs on the Shell and Dialogs seams; the
// two windows it may open are the caller's.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "lib/commands.h"
#include "lib/dialogs.h"
#include "lib/shell.h"
#include "results/open_command.h"

namespace vesk {

// What a double click reads of the main window when it happens.
struct DoubleClickInput {
    FoundRow row;
    bool copyToClipboard = false; // cbxCopyToCB
    std::string searchString;     // edtString
    bool diagnostics = false;     // cbxTestInfo, or the "-v" parameter
};

// The windows a double click may need.
class OpenLineWindows {
public:
    virtual ~OpenLineWindows() = default;
    // "Choose how to open file" for `file` and its extension key: the button pressed ("Windows",
    // "Notepad.exe" or "Viewer"), nullopt when the dialog was closed without one.
    virtual std::optional<std::string> askHowToOpen(std::string_view file,
                                                    std::string_view extension) = 0;
    // ViewCurrentFile: the built-in viewer on the current row.
    virtual void viewCurrentFile() = 0;
};

// The message refused names are reported with: they would not reach the program whole.
inline constexpr std::string_view kUnpassableFileMessage =
    "This file name holds a double quote and cannot be passed to ";

// True for the program's first parameter when it turns the diagnostics on: "-v", trimmed, any
// case.
bool isDiagnosticsParameter(std::string_view parameter);

class LineOpener {
public:
    LineOpener(Shell& shell, Dialogs& dialogs, OpenLineWindows& windows, std::string settingsPath)
        : shell_(shell), dialogs_(dialogs), windows_(windows),
          settingsPath_(std::move(settingsPath)) {}

    // Opens the row's file as its extension's settings value says.
    void open(const DoubleClickInput& input);

    // The last answer of "Choose how to open file"; closing the dialog without a button reuses
    // it (empty the first time, which opens the default editor).
    const std::string& dialogAnswer() const { return dialogAnswer_; }

    // The program "Notepad.exe" stands for; empty (the default): defaultEditor() at each open.
    void setDefaultEditor(std::string editor) { editorOptions_.defaultEditor = std::move(editor); }

private:
    void start(const DoubleClickInput& input, const std::string& key, const std::string& command);

    Shell& shell_;
    Dialogs& dialogs_;
    OpenLineWindows& windows_;
    std::string settingsPath_;
    std::string dialogAnswer_;
    CommandOptions editorOptions_;
};

} // namespace vesk
