#include "results/open_line.h"

#include <initializer_list>

#include "lib/commands.h"
#include "lib/text.h"
#include "settings/settings.h"

namespace vesk {

namespace {

std::string linesText(std::initializer_list<std::string> lines, bool endEachLine) {
    std::string text;
    for (const std::string& l : lines) {
        if (!text.empty() && !endEachLine) text += "\r\n";
        text += l;
        if (endEachLine) text += "\r\n";
    }
    return text;
}

} // namespace

bool isDiagnosticsParameter(std::string_view parameter) {
    return xcSameText(parameter, "-v");
}

void LineOpener::open(const DoubleClickInput& input) {
    if (input.copyToClipboard) shell_.setClipboardText(trim(input.searchString));
    const std::optional<std::string> key = viewerKeyOf(input.row.file);
    if (!key) return;
    std::string command = ReadViewerCommand(settingsPath_, *key);
    if (input.diagnostics) {
        dialogs_.showMessage(linesText({"Ini file - opening file with", "inifile=" + settingsPath_,
                                        "Extension=" + *key, "EditCommand=" + command},
                                       true));
    }
    if (isAskCommand(command)) {
        if (std::optional<std::string> answer = windows_.askHowToOpen(input.row.file, *key))
            dialogAnswer_ = std::move(*answer);
        command = dialogAnswer_;
    }
    if (isViewerCommand(command)) {
        windows_.viewCurrentFile();
        return;
    }
    start(input, *key, programOrNotepad(command));
}

void LineOpener::start(const DoubleClickInput& input, const std::string& key,
                       const std::string& command) {
    const std::string program =
        isNotepad(command) ? resolveProgram(command, editorOptions_) : command;
    const OpenCommand open = buildOpenCommand(program, input.row);
    if (input.diagnostics) {
        dialogs_.showMessage(
            linesText({"Final opening file with", "Extension=" + key, "EditCommand=" + open.program,
                       "      args=" + open.parameters},
                      false));
    }
    if (!passesFileWhole(open)) {
        dialogs_.showMessage(std::string(kUnpassableFileMessage) + program + ":\r\n" +
                             input.row.file);
        return;
    }
    const ShellResult r = open.association ? shell_.openDocument(open.document)
                                           : shell_.start(open.program, open.parameters, "");
    if (!r.ok) dialogs_.showMessage(r.error);
}

} // namespace vesk
