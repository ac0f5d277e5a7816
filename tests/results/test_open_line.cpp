// Opening a result row's file by double click: the settings value of its extension, the asking
// dialog, and the program and parameter string the shell is given.

#include "results/open_line.h"

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "lib/posix_shell.h"
#include "settings/settings.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::readFile;
using test::RecordingShell;
using test::ScriptedDialogs;
using test::TempTree;

class FakeWindows final : public OpenLineWindows {
public:
    std::optional<std::string> askHowToOpen(std::string_view file,
                                            std::string_view extension) override {
        asked.push_back(std::string(file) + "|" + std::string(extension));
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void viewCurrentFile() override { ++viewed; }

    std::vector<std::optional<std::string>> answers;
    std::vector<std::string> asked;
    int viewed = 0;
};

struct Fixture {
    explicit Fixture(std::string_view viewerSection) {
        settings = tree.write("vesk.INI", "[Settings]\nSimpleOrAdvancedFolders=1\n" +
                                              std::string(viewerSection));
    }
    void open(const FoundRow& row, bool diagnostics = false) {
        LineOpener opener(shell, dialogs, windows, settings);
        opener.setDefaultEditor(defaultEditor);
        opener.open({row, false, "", diagnostics});
    }
    TempTree tree;
    std::string settings;
    RecordingShell shell;
    ScriptedDialogs dialogs;
    FakeWindows windows;
    std::string defaultEditor = "/opt/plain/editor";
};

const FoundRow kMatch{"12", "/src/a.txt", "5"};

TEST(OpenLine, CommandLinesByTheExtensionsValue) {
    struct Case {
        const char* what;
        const char* section; // the "Viewer" section as the file holds it
        FoundRow row;
        const char* program;
        const char* parameters;
    };
    const Case cases[] = {
        {"plain program", "[Viewer]\ntxt=/usr/bin/myedit\n", kMatch, "/usr/bin/myedit",
         " /src/a.txt"},
        {"keys and sections match in any case; the extension keeps its own",
         "[VIEWER]\nPAS=/usr/bin/myedit\n",
         {"3", "/src/B.PAS", "1"},
         "/usr/bin/myedit",
         " /src/B.PAS"},
        {"an empty value is the default editor", "[Viewer]\ntxt=\n", kMatch, "/opt/plain/editor",
         " /src/a.txt"},
        {"Notepad.exe in any case is the default editor", "[Viewer]\ntxt=NOTEPAD.EXE\n", kMatch,
         "/opt/plain/editor", " /src/a.txt"},
        {"blanks around the value are dropped", "[Viewer]\ntxt =   /usr/bin/myedit   \n", kMatch,
         "/usr/bin/myedit", " /src/a.txt"},
        {"Viewer in another case is a program name", "[Viewer]\ntxt=viewer\n", kMatch, "viewer",
         " /src/a.txt"},
        {"EditPlus is told line and column", "[Viewer]\ntxt=/usr/bin/EDITPLUS\n", kMatch,
         "/usr/bin/EDITPLUS", " -cursor 12:5 /src/a.txt"},
        {"EditPlus on a heading row",
         "[Viewer]\ntxt=/usr/bin/editplus\n",
         {"", "/src/a.txt", ""},
         "/usr/bin/editplus",
         " -cursor : /src/a.txt"},
        {"Notepad++", "[Viewer]\ntxt=/usr/bin/notepad++\n", kMatch, "/usr/bin/notepad++",
         " -n12: -c5 /src/a.txt"},
        {"NotepadPlus wins over EditPlus", "[Viewer]\ntxt=/usr/bin/EditPlus-NotepadPlus\n", kMatch,
         "/usr/bin/EditPlus-NotepadPlus", " -n12: -c5 /src/a.txt"},
        {"geany", "[Viewer]\ntxt=/usr/bin/geany\n", kMatch, "/usr/bin/geany",
         " --line=12 --column=4 /src/a.txt"},
        {"geany on a heading row has no empty numbers",
         "[Viewer]\ntxt=geany\n",
         {"", "/src/a.txt", ""},
         "geany",
         " /src/a.txt"},
        {"a program in a missing folder falls back without the position",
         "[Viewer]\ntxt=/no/such/folder/editplus\n", kMatch, "/opt/plain/editor", " /src/a.txt"},
        {"a Windows path falls back too", "[Viewer]\ntxt=C:\\Program Files\\EditPlus\\ep.exe\n",
         kMatch, "/opt/plain/editor", " /src/a.txt"},
        {"a name with a blank is quoted",
         "[Viewer]\ntxt=/usr/bin/myedit\n",
         {"1", "/my docs/a.txt", "1"},
         "/usr/bin/myedit",
         " \"/my docs/a.txt\""},
        {"a name with a tab is quoted",
         "[Viewer]\ntxt=/usr/bin/myedit\n",
         {"1", "/my\tdocs/a.txt", "1"},
         "/usr/bin/myedit",
         " \"/my\tdocs/a.txt\""},
        {"an already quoted name is not quoted again",
         "[Viewer]\ntxt=/usr/bin/myedit\n",
         {"1", "\"/my docs/a.txt\"", "1"},
         "/usr/bin/myedit",
         " \"/my docs/a.txt\""},
    };
    for (const Case& c : cases) {
        Fixture f(c.section);
        f.open(c.row);
        ASSERT_EQ(f.shell.calls.size(), 1u) << c.what;
        EXPECT_EQ(f.shell.calls[0].program, c.program) << c.what;
        EXPECT_EQ(f.shell.calls[0].parameters, c.parameters) << c.what;
        EXPECT_EQ(f.shell.calls[0].workFolder, "") << c.what;
        EXPECT_TRUE(f.dialogs.messages.empty()) << c.what;
        EXPECT_TRUE(f.windows.asked.empty()) << c.what;
    }
}

// Each editor with the form its own manual documents (the table in results/open_command.cpp
// cites them); the words are what the editor receives once the parameter string is split.
TEST(OpenLine, EditorsAreToldTheLineInTheirOwnSyntax) {
    struct Case {
        const char* program;
        FoundRow row;
        std::vector<std::string> words;
    };
    const std::string f = "/src/a.txt";
    const Case cases[] = {
        {"kate", kMatch, {"--line", "12", "--column", "5", f}},
        {"/usr/bin/kwrite", kMatch, {"--line", "12", "--column", "5", f}},
        {"gedit", kMatch, {"+12:5", f}},
        {"/usr/bin/gnome-text-editor", kMatch, {"+12:5", f}},
        {"code", kMatch, {"--goto", f + ":12:5"}},
        {"/usr/share/codium/bin/codium", kMatch, {"--goto", f + ":12:5"}},
        {"geany", kMatch, {"--line=12", "--column=4", f}}, // its columns start at 0
        {"vim", kMatch, {"+call cursor(12,5)", f}},
        {"nvim", kMatch, {"+call cursor(12,5)", f}},
        {"/usr/bin/gvim", kMatch, {"+call cursor(12,5)", f}},
        {"emacs", kMatch, {"+12:5", f}},
        {"emacsclient", kMatch, {"+12:5", f}},
        {"subl", kMatch, {f + ":12:5"}},
        {"mousepad", kMatch, {"--line=12", "--column=4", f}}, // its columns start at 0
        {"xed", kMatch, {"+12", f}},
        {"pluma", kMatch, {"+12", f}},
        {"nano", kMatch, {"+12,5", f}},
        {"micro", kMatch, {"+12:5", f}},
        {"xdg-open", kMatch, {f}},
        {"Kate", kMatch, {"--line", "12", "--column", "5", f}}, // the name in any case
        // A row without a column gives the line alone; without a line (a heading row, an error
        // row) the file alone, since the editors refuse empty or zero numbers.
        {"kate", {"12", f, ""}, {"--line", "12", f}},
        {"vim", {"12", f, ""}, {"+12", f}},
        {"code", {"12", f, ""}, {"--goto", f + ":12"}},
        {"nano", {"12", f, "0"}, {"+12", f}},
        {"mousepad", {"12", f, ""}, {"--line=12", f}},
        {"gedit", {"", f, ""}, {f}},
        {"vim", {"-1", f, ""}, {f}},
        {"code", {"", f, ""}, {f}},
        // Names that are not a known editor's keep the plain file argument.
        {"/opt/kate-tools/run", kMatch, {f}},
        {"vimdiff", kMatch, {f}},
    };
    for (const Case& c : cases) {
        const OpenCommand open = buildOpenCommand(c.program, c.row);
        EXPECT_EQ(open.program, c.program);
        EXPECT_EQ(splitShellWords(open.parameters), c.words) << c.program << open.parameters;
        EXPECT_TRUE(passesFileWhole(open)) << c.program;
    }
}

TEST(OpenLine, EditorWordsKeepBlanksAndLineBreaksOfTheName) {
    for (const char* name : {"/my docs/a.txt", "/my\ndocs/a.txt", "/tab\there.txt", "/a'b.txt"}) {
        const OpenCommand open = buildOpenCommand("/usr/bin/code", {"3", name, "2"});
        EXPECT_EQ(splitShellWords(open.parameters),
                  (std::vector<std::string>{"--goto", std::string(name) + ":3:2"}))
            << open.parameters;
        const OpenCommand vim = buildOpenCommand("vim", {"3", name, "2"});
        EXPECT_EQ(splitShellWords(vim.parameters),
                  (std::vector<std::string>{"+call cursor(3,2)", name}));
    }
}

TEST(OpenLine, TheDefaultEditorIsToldTheLine) {
    Fixture f("[Viewer]\ntxt=Notepad.exe\nlog=\n");
    f.defaultEditor = "/usr/bin/kate";
    f.open(kMatch);
    f.open({"4", "/src/b.log", "1"});
    ASSERT_EQ(f.shell.calls.size(), 2u);
    EXPECT_EQ(f.shell.calls[0].program, "/usr/bin/kate");
    EXPECT_EQ(f.shell.calls[0].parameters, " --line 12 --column 5 /src/a.txt");
    EXPECT_EQ(f.shell.calls[1].parameters, " --line 4 --column 1 /src/b.log");
}

TEST(OpenLine, WindowsOpensTheFileWithItsAssociation) {
    Fixture f("[Viewer]\ntxt= windows \n");
    f.open({"7", "/my docs/a.txt", "2"}, true);
    EXPECT_TRUE(f.shell.calls.empty());
    EXPECT_EQ(f.shell.documents, std::vector<std::string>{"/my docs/a.txt"});
    ASSERT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(f.dialogs.messages[1], "Final opening file with\r\nExtension=txt\r\n"
                                     "EditCommand=\"/my docs/a.txt\"\r\n      args=");
}

TEST(OpenLine, DiagnosticsShowTheSettingsAndTheFinalCommand) {
    Fixture f("[Viewer]\ntxt=/usr/bin/notepad++\n");
    f.open(kMatch, true);
    ASSERT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(f.dialogs.messages[0], "Ini file - opening file with\r\ninifile=" + f.settings +
                                         "\r\nExtension=txt\r\nEditCommand=/usr/bin/notepad++\r\n");
    EXPECT_EQ(f.dialogs.messages[1], "Final opening file with\r\nExtension=txt\r\n"
                                     "EditCommand=/usr/bin/notepad++\r\n"
                                     "      args= -n12: -c5 /src/a.txt");
    EXPECT_EQ(f.shell.calls.size(), 1u);
}

TEST(OpenLine, AskKeepsTheDialogAnswerBetweenUses) {
    Fixture f("[Viewer]\npas=Ask\n"); // "ASK" in any case; a missing key asks too
    LineOpener opener(f.shell, f.dialogs, f.windows, f.settings);
    opener.setDefaultEditor("/usr/bin/gedit");
    f.windows.answers = {std::nullopt, std::string("Viewer"), std::nullopt, std::string("Windows")};

    opener.open({{"1", "/src/a.txt", "1"}, false, "", false}); // closed: empty answer
    ASSERT_EQ(f.shell.calls.size(), 1u);
    EXPECT_EQ(f.shell.calls[0].program, "/usr/bin/gedit"); // the default editor, at the line
    EXPECT_EQ(f.shell.calls[0].parameters, " +1:1 /src/a.txt");
    opener.open({{"1", "/src/a.pas", "1"}, false, "", false});
    EXPECT_EQ(f.windows.viewed, 1);
    opener.open({{"1", "/src/b.txt", "1"}, false, "", false}); // closed: "Viewer" again
    EXPECT_EQ(f.windows.viewed, 2);
    opener.open({{"1", "/src/c.txt", "1"}, false, "", false});
    EXPECT_EQ(f.shell.documents, std::vector<std::string>{"/src/c.txt"});
    EXPECT_EQ(opener.dialogAnswer(), "Windows");

    EXPECT_EQ(f.windows.asked, (std::vector<std::string>{"/src/a.txt|txt", "/src/a.pas|pas",
                                                         "/src/b.txt|txt", "/src/c.txt|txt"}));
    EXPECT_EQ(f.shell.calls.size(), 1u);
}

TEST(OpenLine, ViewerExactlyOpensTheBuiltInViewer) {
    Fixture f("[Viewer]\ntxt=Viewer\n");
    f.open(kMatch);
    EXPECT_EQ(f.windows.viewed, 1);
    EXPECT_TRUE(f.shell.calls.empty());
}

TEST(OpenLine, KeyComesFromTheLastDotOfTheNamePart) {
    EXPECT_EQ(viewerKeyOf("/src/a.b/Makefile"), std::nullopt);
    EXPECT_EQ(viewerKeyOf("/src/a.tar.GZ"), "GZ");
    EXPECT_EQ(viewerKeyOf("\"/my docs/a.txt\""), "txt");
    EXPECT_EQ(viewerKeyOf("/src/a. txt "), "txt");
    EXPECT_EQ(viewerKeyOf("/src/a."), "");
}

TEST(OpenLine, NoExtensionOpensNothingButStillCopiesTheSearchString) {
    Fixture f("[Viewer]\n");
    LineOpener opener(f.shell, f.dialogs, f.windows, f.settings);
    opener.open({{"1", "/src/Makefile", "1"}, true, "  needle  ", true});
    EXPECT_EQ(f.shell.clipboard, "needle");
    EXPECT_TRUE(f.shell.calls.empty());
    EXPECT_TRUE(f.windows.asked.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());

    f.shell.clipboard = "kept";
    opener.open({{"1", "/src/a.txt", "1"}, false, "needle", false});
    EXPECT_EQ(f.shell.clipboard, "kept");
}

TEST(OpenLine, TheShellsErrorTextIsShown) {
    Fixture f("[Viewer]\ntxt=viewer\n");
    f.shell.failWith = "No such file or directory";
    f.open(kMatch);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"No such file or directory"});
}

TEST(OpenLine, ANameThatWouldSplitIntoSeveralArgumentsIsRefused) {
    for (const char* editor : {"/usr/bin/notepad++", "/usr/bin/code", "vim", "/opt/x/editor"})
        for (const char* name :
             {"/src/x\" -n1 \"y.txt", "/src/a\"b.txt", "\"/src/x\" -n1 \"y.txt\""}) {
            Fixture f("[Viewer]\ntxt=" + std::string(editor) + "\n");
            f.open({"1", name, "1"});
            EXPECT_TRUE(f.shell.calls.empty()) << name;
            ASSERT_EQ(f.dialogs.messages.size(), 1u) << name;
            EXPECT_EQ(f.dialogs.messages[0].rfind(kUnpassableFileMessage, 0), 0u) << name;
        }
}

TEST(OpenLine, DiagnosticsParameter) {
    for (const char* on : {"-v", "-V", " -v "})
        EXPECT_TRUE(isDiagnosticsParameter(on)) << on;
    for (const char* off : {"", "-vv", "v", "--v"})
        EXPECT_FALSE(isDiagnosticsParameter(off)) << off;
}

// The real shell starts a script standing in for the editor; the script writes down what it was
// given, one argument a line.
class ScriptEditor {
public:
    ScriptEditor(TempTree& tree, const std::string& name) : output_(tree.path(name + ".args")) {
        path =
            tree.write(name, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                 output_ + ".tmp'\nmv '" + output_ + ".tmp' '" + output_ + "'\n");
        ::chmod(path.c_str(), 0755);
    }
    // The arguments, once the script has written them (within five seconds).
    std::vector<std::string> arguments() const {
        for (int i = 0; i < 500; ++i) {
            struct stat st {};
            if (::stat(output_.c_str(), &st) == 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::vector<std::string> out;
        const std::string text = readFile(output_);
        std::size_t start = 0;
        for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
            out.push_back(text.substr(start, nl - start));
        return out;
    }
    std::string path;

private:
    std::string output_;
};

class ProgramHome {
public:
    explicit ProgramHome(const std::string& folder) {
        if (const char* old = std::getenv("VESK_HOME")) saved_ = old;
        ::setenv("VESK_HOME", folder.c_str(), 1);
    }
    ~ProgramHome() {
        if (saved_)
            ::setenv("VESK_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("VESK_HOME");
    }

private:
    std::optional<std::string> saved_;
};

TEST(OpenLineProcess, TheConfiguredScriptReceivesTheLineAndTheFile) {
    TempTree tree;
    ScriptEditor plusPlus(tree, "bin/notepad++");
    ScriptEditor plain(tree, "bin/plain editor");
    const std::string found = tree.write("my notes.txt", "one\ntwo\n");
    const std::string other = tree.write("other.log", "x\n");
    const ProgramHome home(tree.root());
    tree.write(std::string(SettingsPath()).substr(tree.root().size()),
               "[Viewer]\ntxt=" + plusPlus.path + "\nLOG=" + plain.path + "\n");

    PosixShell shell;
    ScriptedDialogs dialogs;
    FakeWindows windows;
    LineOpener opener(shell, dialogs, windows, SettingsPath());
    opener.open({{"2", found, "3"}, false, "", false});
    opener.open({{"1", other, "1"}, false, "", false});

    EXPECT_EQ(plusPlus.arguments(), (std::vector<std::string>{"-n2:", "-c3", found}));
    EXPECT_EQ(plain.arguments(), std::vector<std::string>{other});
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
} // namespace vesk
