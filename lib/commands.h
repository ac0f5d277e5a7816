#pragma once
// Starting outside programs through the Shell seam: xcCommand (a program with
// arguments, e.g. the differences viewer), xcEditFile (text files in the editor), xcSendMail (a
// prepared e-mail), with the Linux choices of docs/architecture.md, "The platform":
// - "Notepad.exe" (any case), as a command or a settings value, means the default editor:
//   $VESK_EDITOR when set, else the first of gnome-text-editor, gedit, kate, mousepad, xed, pluma,
//   geany found on PATH, else xdg-open;
// - the fixed editor is /usr/bin/geany (it takes several files);
// - the default differences viewer is /usr/bin/meld;
// - mail is xdg-open on the "mailto:" text.
// Settings values (the differences viewer) are passed in; this layer does not read the INI file.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "lib/channels.h"
#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/shell.h"

namespace vesk {

inline constexpr std::string_view kNotepad = "Notepad.exe";
inline constexpr std::string_view kDefaultDifferencesViewer = "/usr/bin/meld";
inline constexpr std::string_view kFixedEditor = "/usr/bin/geany";
inline constexpr std::string_view kDefaultMailSubject = "Ostrel Postcard ";
inline constexpr std::string_view kDefaultFeedbackAddress = "ulmenfindtext@localhost";
// The editors tried, in this order, when VESK_EDITOR is not set.
inline constexpr std::string_view kEditorCandidates[] = {
    "gnome-text-editor", "gedit", "kate", "mousepad", "xed", "pluma", "geany"};

// The fixed programs as this platform maps them; tests point them elsewhere.
struct CommandOptions {
    std::string defaultDifferencesViewer{kDefaultDifferencesViewer};
    std::string fixedEditor{kFixedEditor};
    // The program "Notepad.exe" stands for; empty: defaultEditor() at the time of the call.
    std::string defaultEditor;
    // The feedback mailbox of xcSendMail (a settings value of the caller).
    std::string feedbackAddress{kDefaultFeedbackAddress};
};

// What the routines need: the shell, the message boxes, the channel layer (its diagnostic flag and
// the named log of xcCommand, the run log of xcSendMail) and the clock of the logs.
struct CommandContext {
    CommandContext(Shell& shell_, Dialogs& dialogs_, ChannelTable& channels_, const Clock& clock_,
                   CommandOptions options_ = {})
        : shell(shell_), dialogs(dialogs_), channels(channels_), clock(clock_),
          options(std::move(options_)) {}
    Shell& shell;
    Dialogs& dialogs;
    ChannelTable& channels;
    const Clock& clock;
    CommandOptions options;
};

// The default editor from the value of VESK_EDITOR (nullopt or empty: not set) and PATH.
std::string defaultEditorFrom(std::optional<std::string_view> veskEditor,
                              std::string_view pathVariable);
// The default editor from the environment.
std::string defaultEditor();
// True for "Notepad.exe" in any case (blanks around it ignored).
bool isNotepad(std::string_view program);
// The program to start: the default editor (the options' one when set) for "Notepad.exe", else
// the trimmed text.
std::string resolveProgram(std::string_view program, const CommandOptions& options = {});
// True when `program` can be started: a name holding "/" names an existing regular file; a bare
// name is found on PATH.
bool programExists(std::string_view program);

// xcQuoteIfBlank: the trimmed text, in double quotes when it holds a blank (space or tab).
std::string xcQuoteIfBlank(std::string_view text);

// One file name as one word of a parameter string, byte for byte: in double quotes when it is
// empty or holds a blank (space, tab, CR or LF), else unchanged. nullopt when it holds a double
// quote: the word splitting has no escape for it, so such a name cannot reach a program whole.
std::optional<std::string> fileWord(std::string_view fileName);

// The message a name that cannot be passed whole is refused with, followed by the name.
inline constexpr std::string_view kUnpassableNameMessage =
    "This file name holds a double quote and cannot be passed to another program:\r\n";

// xcNthWord: the n-th word (1-based) of the text; words are runs of characters above the blank
// (code 32), at most 30 words are counted; empty when there is none.
std::string xcNthWord(std::string_view text, int n);

// xcCommand: starts `program` ("Notepad.exe": the default editor) with `parameters` in `folder`
// (empty: the program's default folder). With the channel layer's diagnostic flag on, the call is
// first written to the named log of the executable, restarted daily. On failure shows
// "xcCommand error:" program " " parameters " " folder CR LF and the system's text. True when
// started.
bool xcCommand(const CommandContext& cx, std::string_view program, std::string_view parameters,
               std::string_view folder);

// xcShowDifferences: starts the differences viewer on the two files (each as one word, fileWord;
// a name that cannot be passed whole is refused with kUnpassableNameMessage and no viewer).
// `viewerSetting` is the value of "Settings"/"DifferencesViewer" when the settings file exists
// ("none" when the key is missing), nullopt when there is no settings file (then the default viewer
// is used). A viewer that does not exist is skipped silently. Returns "diffs shown": whether a
// viewer was found (and xcCommand called).
bool xcShowDifferences(const CommandContext& cx, std::string_view firstFile,
                       std::string_view secondFile,
                       const std::optional<std::string>& viewerSetting);

// xcEditFile: opens the file(s) in the fixed editor when it exists (the whole argument, so several
// names separated by blanks open together; quote names with blanks), else the first word (double
// quotes group, as the shell splits) in the default editor. On failure shows "Command problem:"
// program " " parameters CR LF and the system's text. True when started.
bool xcEditFile(const CommandContext& cx, std::string_view fileNames);
// xcEditFile on one file of the program's own, passed byte for byte as one argument; a name that
// cannot be passed whole is refused with kUnpassableNameMessage. True when started.
bool xcEditOneFile(const CommandContext& cx, std::string_view fileName);

// xcSendMail: "mailto:" address "?Subject=" subject "&Body=" body (no further encoding; a blank
// subject is "Ostrel Postcard "), written to the run log and opened by the shell; a failure shows
// the system's text alone. True when opened.
bool xcSendMail(const CommandContext& cx, std::string_view subject, std::string_view body);

// The mail text of xcSendMail.
std::string mailCommandText(std::string_view address, std::string_view subject,
                            std::string_view body);

} // namespace vesk
