// The real Shell: word splitting, detached starts, errors, no zombies.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "lib/commands.h"
#include "lib/posix_shell.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::FakeClock;
using test::readFile;
using test::ScriptedDialogs;
using test::TempTree;
using Words = std::vector<std::string>;

TEST(SplitShellWords, BlanksSeparate) {
    EXPECT_EQ(splitShellWords(""), Words{});
    EXPECT_EQ(splitShellWords("   \t "), Words{});
    EXPECT_EQ(splitShellWords("a"), Words{"a"});
    EXPECT_EQ(splitShellWords("  a  b\tc\r\nd "), (Words{"a", "b", "c", "d"}));
}

TEST(SplitShellWords, DoubleQuotesGroup) {
    EXPECT_EQ(splitShellWords("\"/my docs/a.txt\" b"), (Words{"/my docs/a.txt", "b"}));
    EXPECT_EQ(splitShellWords("a\"b c\"d"), Words{"ab cd"});
    EXPECT_EQ(splitShellWords("\"\" x \"\""), (Words{"", "x", ""}));
    EXPECT_EQ(splitShellWords("\"open to end"), Words{"open to end"});
    EXPECT_EQ(splitShellWords("\"  \""), Words{"  "});
}

TEST(SplitShellWords, BackslashesAndSingleQuotesAreText) {
    EXPECT_EQ(splitShellWords("C:\\Temp\\x.txt it's"), (Words{"C:\\Temp\\x.txt", "it's"}));
    EXPECT_EQ(splitShellWords("'a b'"), (Words{"'a", "b'"}));
}

TEST(FindOnPath, FirstExecutableInPathOrder) {
    TempTree a, b;
    const std::string pa = a.write("tool", "#!/bin/sh\n");
    const std::string pb = b.write("tool", "#!/bin/sh\n");
    ::chmod(pb.c_str(), 0755);
    ::chmod(pa.c_str(), 0755);
    EXPECT_EQ(findOnPath("tool", a.path("") + ":" + b.path("")), a.root() + "tool");
    EXPECT_EQ(findOnPath("tool", "/nonexistent:" + b.path("")), b.root() + "tool");
    EXPECT_EQ(findOnPath("other", a.path("")), "");
    EXPECT_EQ(findOnPath("/abs/name", ""), "/abs/name");
    EXPECT_EQ(findOnPath("", a.path("")), "");
    EXPECT_EQ(findOnPath("sh"), findOnPath("sh", std::getenv("PATH")));
}

// Waits up to five seconds for `path` to exist.
bool waitForFile(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (::access(path.c_str(), F_OK) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// True when this process has no child at all (neither running nor a zombie).
bool noChildren() {
    int status = 0;
    errno = 0;
    return ::waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

// Splits text at LF.
Words lines(const std::string& text) {
    Words out;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

// A stand-in editor: writes its working folder, then its arguments, one per line, to args.txt
// beside itself (through a temp name, so the file appears complete).
class FakeEditor {
public:
    explicit FakeEditor(TempTree& tree, std::string_view name = "bin/fake editor") {
        const std::string out = tree.path("args.txt");
        path = tree.write(name, "#!/bin/sh\n"
                                "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
                                    out +
                                    ".tmp'\n"
                                    "mv '" +
                                    out + ".tmp' '" + out + "'\n");
        ::chmod(path.c_str(), 0755);
        output = out;
    }
    std::string path;
    std::string output;
};

TEST(PosixShell, StartsTheProgramWithQuotedParameters) {
    if (::getpid() == 1) GTEST_SKIP() << "orphans would be adopted by this process";
    TempTree tree;
    FakeEditor editor(tree);
    const std::string work = tree.mkdir("work folder");
    PosixShell shell;
    const ShellResult r =
        shell.start(editor.path, "\"/my docs/a b.txt\" plain  \"\" x\"y z\" C:\\x", work);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.error, "");
    ASSERT_TRUE(waitForFile(editor.output));
    const Words got = lines(readFile(editor.output));
    const std::string workNoSlash = work.substr(0, work.size() - 1);
    EXPECT_EQ(got, (Words{workNoSlash, "/my docs/a b.txt", "plain", "", "xy z", "C:\\x"}));
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, FindsABareNameOnPath) {
    TempTree tree;
    FakeEditor editor(tree, "bin/fake-editor");
    const char* old = std::getenv("PATH");
    const std::string saved = old ? old : "";
    ::setenv("PATH", (tree.path("bin") + ":" + saved).c_str(), 1);
    PosixShell shell;
    const ShellResult r = shell.start(" fake-editor ", "one", "");
    ::setenv("PATH", saved.c_str(), 1);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(waitForFile(editor.output));
    const Words got = lines(readFile(editor.output));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1], "one");
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, NotepadIsTheDefaultEditor) {
    TempTree tree;
    FakeEditor editor(tree);
    const char* old = std::getenv("VESK_EDITOR");
    const std::string saved = old ? old : "";
    ::setenv("VESK_EDITOR", editor.path.c_str(), 1);
    PosixShell shell;
    const ShellResult r = shell.start("notepad.EXE", "/tmp/n.txt", "");
    if (old) {
        ::setenv("VESK_EDITOR", saved.c_str(), 1);
    } else {
        ::unsetenv("VESK_EDITOR");
    }
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(waitForFile(editor.output));
    const Words got = lines(readFile(editor.output));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1], "/tmp/n.txt");
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, EditFileThroughTheFixedEditor) {
    TempTree tree;
    FakeEditor editor(tree);
    PosixShell shell;
    ScriptedDialogs dialogs;
    ChannelTable channels(dialogs);
    FakeClock clock;
    CommandOptions options;
    options.fixedEditor = editor.path;
    CommandContext cx(shell, dialogs, channels, clock, options);
    EXPECT_TRUE(xcEditFile(cx, "/tmp/one.txt " + xcQuoteIfBlank("/tmp/my two.txt")));
    ASSERT_TRUE(waitForFile(editor.output));
    const Words got = lines(readFile(editor.output));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1], "/tmp/one.txt");
    EXPECT_EQ(got[2], "/tmp/my two.txt");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, ShowDifferencesThroughTheViewer) {
    TempTree tree;
    FakeEditor viewer(tree, "bin/meld");
    PosixShell shell;
    ScriptedDialogs dialogs;
    ChannelTable channels(dialogs);
    FakeClock clock;
    CommandOptions options;
    options.defaultDifferencesViewer = viewer.path;
    CommandContext cx(shell, dialogs, channels, clock, options);
    EXPECT_TRUE(xcShowDifferences(cx, "/src/a b.pas", "/tmp/c.pas", std::nullopt));
    ASSERT_TRUE(waitForFile(viewer.output));
    const Words got = lines(readFile(viewer.output));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1], "/src/a b.pas");
    EXPECT_EQ(got[2], "/tmp/c.pas");
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, AMissingProgramGivesTheErrnoText) {
    PosixShell shell;
    const std::string enoent = std::strerror(ENOENT);
    ShellResult r = shell.start("/nonexistent/vesk-no-such-program", "a b", "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, enoent);
    r = shell.start("vesk-no-such-program-on-path", "", "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, enoent);
    r = shell.start("   ", "", "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, enoent);
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, AFileThatIsNotExecutableGivesPermissionDenied) {
    TempTree tree;
    const std::string p = tree.write("plain.txt", "not a program\n");
    ::chmod(p.c_str(), 0644);
    PosixShell shell;
    const ShellResult r = shell.start(p, "", "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, std::strerror(EACCES));
    // A folder cannot be started either.
    const ShellResult f = shell.start(tree.root(), "", "");
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.error, std::strerror(EACCES));
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, AMissingWorkFolderIsReported) {
    TempTree tree;
    FakeEditor editor(tree);
    PosixShell shell;
    const ShellResult r = shell.start(editor.path, "x", tree.path("no such folder"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, std::strerror(ENOENT));
    EXPECT_TRUE(noChildren());
    // Nothing ran.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_NE(::access(editor.output.c_str(), F_OK), 0);
}

TEST(PosixShell, CommandFailureMessageCarriesTheErrnoText) {
    PosixShell shell;
    ScriptedDialogs dialogs;
    ChannelTable channels(dialogs);
    FakeClock clock;
    CommandContext cx(shell, dialogs, channels, clock);
    EXPECT_FALSE(xcCommand(cx, "/nonexistent/viewer", "a b", ""));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
              "xcCommand error:/nonexistent/viewer a b \r\n" + std::string(std::strerror(ENOENT)));
}

TEST(PosixShell, ManyStartsLeaveNoZombie) {
    TempTree tree;
    const std::string quick = tree.write("quick", "#!/bin/sh\nexit 0\n");
    ::chmod(quick.c_str(), 0755);
    PosixShell shell;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(shell.start(quick, "", "").ok);
    EXPECT_TRUE(noChildren());
    // Still none a moment later, when the programs have ended.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(noChildren());
}

TEST(PosixShell, OpenDocumentUsesXdgOpenWithOneArgument) {
    TempTree tree;
    FakeEditor xdg(tree, "bin/xdg-open");
    const char* old = std::getenv("PATH");
    const std::string saved = old ? old : "";
    ::setenv("PATH", (tree.path("bin") + ":" + saved).c_str(), 1);
    PosixShell shell;
    const ShellResult r = shell.openDocument("mailto:a@b.c?Subject=Ostrel Postcard &Body=x y");
    ::setenv("PATH", saved.c_str(), 1);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(waitForFile(xdg.output));
    const Words got = lines(readFile(xdg.output));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1], "mailto:a@b.c?Subject=Ostrel Postcard &Body=x y");

    TempTree empty;
    ::setenv("PATH", empty.root().c_str(), 1);
    const ShellResult missing = shell.openDocument("/tmp/x.txt");
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, std::strerror(ENOENT));
}

TEST(PosixShell, ClipboardTextIsKeptForTheWindow) {
    PosixShell shell;
    shell.setClipboardText("find me");
    EXPECT_EQ(shell.clipboardText(), "find me");
}

} // namespace
} // namespace vesk
