// The outside-program commands, with a recording shell.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "lib/commands.h"
#include "lib/datetime.h"
#include "lib/logs.h"
#include "lib/posix_shell.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::FakeClock;
using test::readFile;
using test::RecordingShell;
using test::ScriptedDialogs;
using test::TempTree;

// Writes an executable file (its content does not matter to these tests).
std::string writeProgram(TempTree& tree, std::string_view relative) {
    std::string p = tree.write(relative, "#!/bin/sh\nexit 0\n");
    ::chmod(p.c_str(), 0755);
    return p;
}

class CommandsTest : public ::testing::Test {
protected:
    CommandsTest() {
        channels.programFolderOverride = tree.root();
        channels.executableNameOverride = "vesk";
        cx.options.defaultEditor = "/usr/bin/my-editor";
        cx.options.fixedEditor = tree.path("no-geany");
        cx.options.defaultDifferencesViewer = writeProgram(tree, "bin/meld");
        cx.options.feedbackAddress = "support@example.org";
    }
    TempTree tree;
    RecordingShell shell;
    ScriptedDialogs dialogs;
    ChannelTable channels{dialogs};
    FakeClock clock{encodeDate(2026, 12, 7) + encodeTime(9, 5, 0)};
    CommandContext cx{shell, dialogs, channels, clock};
};

TEST(QuoteIfBlank, QuotesOnlyNamesWithBlanks) {
    EXPECT_EQ(xcQuoteIfBlank("/a/b.txt"), "/a/b.txt");
    EXPECT_EQ(xcQuoteIfBlank("  /a/b.txt "), "/a/b.txt");
    EXPECT_EQ(xcQuoteIfBlank(" /my docs/b.txt "), "\"/my docs/b.txt\"");
    EXPECT_EQ(xcQuoteIfBlank("a\tb"), "\"a\tb\"");
    EXPECT_EQ(xcQuoteIfBlank(""), "");
    EXPECT_EQ(xcQuoteIfBlank("   "), "");
}

TEST(NthWord, WordsAreRunsAboveTheBlank) {
    EXPECT_EQ(xcNthWord("  one two\tthree\r\nfour ", 1), "one");
    EXPECT_EQ(xcNthWord("  one two\tthree\r\nfour ", 3), "three");
    EXPECT_EQ(xcNthWord("  one two\tthree\r\nfour ", 4), "four");
    EXPECT_EQ(xcNthWord("  one two\tthree\r\nfour ", 5), "");
    EXPECT_EQ(xcNthWord("one", 0), "");
    EXPECT_EQ(xcNthWord("", 1), "");
    EXPECT_EQ(xcNthWord(std::string("a\x01"
                                    "b"),
                        2),
              "b");                                      // control characters separate
    EXPECT_EQ(xcNthWord("\xe9t\xe9 x", 1), "\xe9t\xe9"); // bytes above 127 are word bytes
    std::string many;
    for (int i = 1; i <= 31; ++i)
        many += "w" + std::to_string(i) + " ";
    EXPECT_EQ(xcNthWord(many, 30), "w30");
    EXPECT_EQ(xcNthWord(many, 31), ""); // at most 30 words
}

TEST(DefaultEditor, VeskEditorFirst) {
    EXPECT_EQ(defaultEditorFrom("  kwrite ", "/usr/bin"), "kwrite");
}

TEST(DefaultEditor, ThenTheFirstCandidateOnPath) {
    TempTree a, b;
    writeProgram(a, "kate");
    writeProgram(a, "geany");
    const std::string gedit = writeProgram(b, "gedit");
    const std::string path = a.path("") + ":" + b.path("");
    // gedit comes before kate in the order, even in a later PATH folder.
    EXPECT_EQ(defaultEditorFrom(std::nullopt, path), gedit);
    EXPECT_EQ(defaultEditorFrom("", a.path("")), a.path("kate"));
    // A file without execute permission is not an editor.
    a.write("gnome-text-editor", "not a program");
    ::chmod(a.path("gnome-text-editor").c_str(), 0644);
    if (::geteuid() != 0) {
        EXPECT_EQ(defaultEditorFrom(std::nullopt, a.path("")), a.path("kate"));
    }
}

TEST(DefaultEditor, ElseXdgOpen) {
    TempTree empty;
    EXPECT_EQ(defaultEditorFrom(std::nullopt, empty.root()), "xdg-open");
    EXPECT_EQ(defaultEditorFrom(std::nullopt, ""), "xdg-open");
}

TEST(DefaultEditor, NotepadMeansTheDefaultEditor) {
    EXPECT_TRUE(isNotepad("Notepad.exe"));
    EXPECT_TRUE(isNotepad(" NOTEPAD.EXE "));
    EXPECT_FALSE(isNotepad("notepad"));
    EXPECT_FALSE(isNotepad("/usr/bin/notepad.exe"));
    CommandOptions o;
    o.defaultEditor = "/opt/ed";
    EXPECT_EQ(resolveProgram("notepad.exe", o), "/opt/ed");
    EXPECT_EQ(resolveProgram(" /usr/bin/meld ", o), "/usr/bin/meld");
}

TEST_F(CommandsTest, CommandStartsTheProgram) {
    EXPECT_TRUE(xcCommand(cx, "/usr/bin/prog", "-a \"b c\"", "/tmp"));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/usr/bin/prog");
    EXPECT_EQ(shell.calls[0].parameters, "-a \"b c\"");
    EXPECT_EQ(shell.calls[0].workFolder, "/tmp");
    EXPECT_TRUE(dialogs.messages.empty());
    // No diagnostic flag: no named log.
    EXPECT_EQ(tree.read("vesk.Log"), "");
}

TEST_F(CommandsTest, CommandNotepadIsTheDefaultEditor) {
    EXPECT_TRUE(xcCommand(cx, "NOTEPAD.EXE", "/x.txt", ""));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/usr/bin/my-editor");
    EXPECT_EQ(shell.calls[0].workFolder, "");
}

TEST_F(CommandsTest, CommandFailureShowsTheSystemText) {
    shell.failWith = "No such file or directory";
    EXPECT_FALSE(xcCommand(cx, "/no/prog", "a b", "/work"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "xcCommand error:/no/prog a b /work\r\nNo such file or directory");
}

TEST_F(CommandsTest, CommandWithTheDiagnosticFlagWritesTheNamedLog) {
    channels.diagnostic = true;
    xcCommand(cx, "/usr/bin/prog", "p1 p2", "");
    xcCommand(cx, "/usr/bin/prog", "again", "/f");
    EXPECT_EQ(tree.read("vesk.Log"),
              "07-Dec-26 09:05:00 vesk xcCommand: </usr/bin/prog> <p1 p2>  <>\r\n"
              "07-Dec-26 09:05:00 vesk xcCommand: </usr/bin/prog> <again>  </f>\r\n");
    clock.set(encodeDate(2026, 12, 8));
    xcCommand(cx, "/usr/bin/prog", "next day", "");
    EXPECT_EQ(tree.read("vesk.Log"),
              "08-Dec-26 00:00:00 vesk xcCommand: </usr/bin/prog> <next day>  <>\r\n");
}

TEST_F(CommandsTest, DifferencesWithoutSettingsFileUseTheDefaultViewer) {
    EXPECT_TRUE(
        xcShowDifferences(cx, "/src/a b.pas", "/tmp/a b-VeskSearchReplace-temp.pas", std::nullopt));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, cx.options.defaultDifferencesViewer);
    EXPECT_EQ(shell.calls[0].parameters,
              "\"/src/a b.pas\" \"/tmp/a b-VeskSearchReplace-temp.pas\"");
    EXPECT_EQ(shell.calls[0].workFolder, "");
}

TEST_F(CommandsTest, DifferencesNamesWithoutBlanksArePassedBare) {
    EXPECT_TRUE(xcShowDifferences(cx, "/src/a.pas", "/tmp/b.pas", std::nullopt));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].parameters, "/src/a.pas /tmp/b.pas");
}

TEST_F(CommandsTest, DifferencesWithTheSettingsValue) {
    const std::string mine = writeProgram(tree, "bin/my viewer");
    EXPECT_TRUE(xcShowDifferences(cx, "/a", "/b", "  " + mine + "  "));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, mine);
    EXPECT_EQ(shell.calls[0].parameters, "/a /b");
}

TEST_F(CommandsTest, DifferencesSettingsFileWithoutTheKeyDisablesTheViewer) {
    // The caller passes "none" for a missing key; the default viewer exists but is not used.
    EXPECT_FALSE(xcShowDifferences(cx, "/a", "/b", std::string("none")));
    EXPECT_FALSE(xcShowDifferences(cx, "/a", "/b", std::string("")));
    EXPECT_FALSE(xcShowDifferences(cx, "/a", "/b", tree.path("bin/missing-viewer")));
    cx.options.defaultDifferencesViewer = tree.path("bin/no-meld");
    EXPECT_FALSE(xcShowDifferences(cx, "/a", "/b", std::nullopt));
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CommandsTest, DifferencesViewerFailureIsReportedButDiffsShown) {
    shell.failWith = "Permission denied";
    EXPECT_TRUE(xcShowDifferences(cx, "/a", "/b", std::nullopt));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "xcCommand error:" + cx.options.defaultDifferencesViewer +
                                       " /a /b \r\nPermission denied");
}

TEST_F(CommandsTest, EditFileWithoutTheFixedEditorOpensTheFirstNameInTheDefaultEditor) {
    EXPECT_TRUE(xcEditFile(cx, "/tmp/one.txt /tmp/two.txt"));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/usr/bin/my-editor");
    EXPECT_EQ(shell.calls[0].parameters, "/tmp/one.txt");
    EXPECT_EQ(shell.calls[0].workFolder, "");
    EXPECT_TRUE(dialogs.messages.empty()); // the diagnostic flag is off
}

TEST_F(CommandsTest, EditFileWithTheFixedEditorOpensAllNames) {
    cx.options.fixedEditor = writeProgram(tree, "bin/geany");
    EXPECT_TRUE(xcEditFile(cx, "/tmp/one.txt \"/tmp/my two.txt\""));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, tree.path("bin/geany"));
    EXPECT_EQ(shell.calls[0].parameters, "/tmp/one.txt \"/tmp/my two.txt\"");
}

TEST_F(CommandsTest, EditFileDiagnosticMessageWhenOnlyTheFirstNameIsOpened) {
    channels.diagnostic = true;
    xcEditFile(cx, "/tmp/one.txt /tmp/two.txt");
    xcEditFile(cx, "/tmp/single.txt");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "Using Notepad to edit first file, list was /tmp/one.txt /tmp/two.txt");
}

TEST_F(CommandsTest, EditFileFailure) {
    shell.failWith = "No such file or directory";
    EXPECT_FALSE(xcEditFile(cx, "/tmp/x.txt"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "Command problem:/usr/bin/my-editor /tmp/x.txt\r\nNo such file or directory");
}

// The program's own file names reach the editor and the viewer byte for byte, as one word each:
// blanks, tabs, line breaks, leading and trailing blanks and apostrophes included.
TEST_F(CommandsTest, OwnFileNamesArePassedWholeOrRefused) {
    const std::string names[] = {"/home/u/My file.txt", "/home/u/line\nbreak.txt",
                                 "/tmp/tab\there.txt",  " /tmp/edges.txt ",
                                 "/tmp/it's.txt",       "/tmp/plain.txt"};
    for (const std::string& name : names) {
        shell.calls.clear();
        EXPECT_TRUE(xcEditOneFile(cx, name));
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(splitShellWords(shell.calls[0].parameters), std::vector<std::string>{name});

        shell.calls.clear();
        EXPECT_TRUE(xcShowDifferences(cx, name, "/tmp/other copy.txt", std::nullopt));
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(splitShellWords(shell.calls[0].parameters),
                  (std::vector<std::string>{name, "/tmp/other copy.txt"}));
    }
    EXPECT_TRUE(dialogs.messages.empty());

    shell.calls.clear();
    for (const char* quoted : {"/tmp/say \"hi\".txt", "/tmp/a\"b"}) {
        EXPECT_FALSE(xcEditOneFile(cx, quoted));
        EXPECT_FALSE(xcShowDifferences(cx, "/tmp/x", quoted, std::nullopt));
    }
    EXPECT_TRUE(shell.calls.empty());
    ASSERT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(dialogs.messages[0], std::string(kUnpassableNameMessage) + "/tmp/say \"hi\".txt");
}

TEST_F(CommandsTest, EditFileKeepsAQuotedFirstNameWhole) {
    EXPECT_TRUE(xcEditFile(cx, "\"/home/u/My notes.txt\" /tmp/two.txt"));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(splitShellWords(shell.calls[0].parameters),
              std::vector<std::string>{"/home/u/My notes.txt"});
}

TEST_F(CommandsTest, SendMailOpensTheMailtoTextAndLogsIt) {
    EXPECT_TRUE(xcSendMail(cx, "Hello there", "Body & more"));
    ASSERT_EQ(shell.documents.size(), 1u);
    const std::string text = "mailto:support@example.org?Subject=Hello there&Body=Body & more";
    EXPECT_EQ(shell.documents[0], text);
    EXPECT_EQ(tree.read("Ostrelrun.log"), "07-Dec-26 09:05:00 vesk " + text + "\r\n");
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(CommandsTest, SendMailDefaultSubject) {
    EXPECT_TRUE(xcSendMail(cx, "  ", "hi"));
    ASSERT_EQ(shell.documents.size(), 1u);
    EXPECT_EQ(shell.documents[0], "mailto:support@example.org?Subject=Ostrel Postcard &Body=hi");
}

TEST_F(CommandsTest, SendMailFailureShowsTheSystemTextAlone) {
    shell.failWith = "No such file or directory";
    EXPECT_FALSE(xcSendMail(cx, "s", "b"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "No such file or directory");
    // Logged before the attempt.
    EXPECT_NE(tree.read("Ostrelrun.log").find("mailto:"), std::string::npos);
}

TEST(ProgramExists, PathsAndBareNames) {
    TempTree tree;
    const std::string p = writeProgram(tree, "prog");
    EXPECT_TRUE(programExists(p));
    EXPECT_TRUE(programExists("  " + p + " "));
    EXPECT_FALSE(programExists(tree.path("missing")));
    EXPECT_FALSE(programExists(tree.root())); // a folder
    EXPECT_FALSE(programExists("none"));
    EXPECT_FALSE(programExists(""));
    EXPECT_TRUE(programExists("sh"));
}

} // namespace
} // namespace vesk
