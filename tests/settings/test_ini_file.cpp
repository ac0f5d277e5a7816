#include "settings/ini_file.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;

namespace vesk {
namespace {

using test::TempTree;

TEST(IniFile, RewritesInPlaceAndKeepsEverythingElse) {
    const std::string before = "; written by hand\r\n"
                               "[Viewer]\r\n"
                               "pas = C:\\tools\\edit.exe\r\n"
                               "\r\n"
                               "[Settings]\r\n"
                               "  SimpleOrAdvancedFolders = 1   \r\n"
                               "Mine=keep me\r\n"
                               "\r\n"
                               "# closing remark\r\n";
    IniFile ini(before);
    ini.writeInteger("Settings", "SimpleOrAdvancedFolders", 2);
    ini.writeText("Settings", "SimpleOrAdvancedStrings", "1");
    ini.writeText("Folders", "SavedFolder0", "/src");
    EXPECT_EQ(ini.text(), "; written by hand\r\n"
                          "[Viewer]\r\n"
                          "pas = C:\\tools\\edit.exe\r\n"
                          "\r\n"
                          "[Settings]\r\n"
                          "  SimpleOrAdvancedFolders = 2\r\n"
                          "Mine=keep me\r\n"
                          "SimpleOrAdvancedStrings=1\r\n"
                          "\r\n"
                          "# closing remark\r\n"
                          "\r\n"
                          "[Folders]\r\n"
                          "SavedFolder0=/src\r\n");
}

TEST(IniFile, UnchangedValueLeavesTheLineByteForByte) {
    const std::string before = "[S]\nk = 1   \t\n";
    IniFile ini(before);
    ini.writeInteger("s", "K", 1);
    EXPECT_EQ(ini.text(), before);
}

TEST(IniFile, NamesMatchWithoutCaseAndKeepTheirSpelling) {
    IniFile ini("[SeTTings]\nSimpleOrAdvancedFileSpec=1\n");
    EXPECT_EQ(ini.readInteger("settings", "SIMPLEORADVANCEDFILESPEC", 0), 1);
    EXPECT_TRUE(ini.hasSection("SETTINGS"));
    ini.writeInteger("Settings", "SimpleOrAdvancedFilespec", 2);
    EXPECT_EQ(ini.text(), "[SeTTings]\nSimpleOrAdvancedFileSpec=2\n");
}

TEST(IniFile, ValuesAreTrimmed) {
    IniFile ini("[F]\nSavedFolder1=   /a b/c \t \n[ G ]\n  k  =  v  \n");
    EXPECT_EQ(ini.find("F", "SavedFolder1"), "/a b/c");
    EXPECT_EQ(ini.find("G", "k"), "v");
    EXPECT_EQ(ini.find("G", "missing"), std::nullopt);
    EXPECT_EQ(ini.readText("G", "missing", "dflt"), "dflt");
}

TEST(IniFile, IntegersAndBooleans) {
    struct Case {
        const char* value;
        int integer;  // read with fallback 7
        bool boolean; // read with fallback true
    };
    const Case cases[] = {
        {"2", 2, true},   {" 2 ", 2, true},  {"0", 0, false},          {"-3", -3, true},
        {"+4", 4, true},  {"abc", 7, true},  {"2x", 7, true},          {"", 7, true},
        {"+-1", 7, true}, {"0x10", 7, true}, {"99999999999", 7, true}, {"1.5", 7, true},
    };
    for (const Case& c : cases) {
        IniFile ini(std::string("[S]\nk=") + c.value + "\n");
        EXPECT_EQ(ini.readInteger("S", "k", 7), c.integer) << '"' << c.value << '"';
        EXPECT_EQ(ini.readBool("S", "k", true), c.boolean) << '"' << c.value << '"';
    }
    IniFile ini;
    EXPECT_FALSE(ini.readBool("S", "k", false));
    ini.writeBool("S", "yes", true);
    ini.writeBool("S", "no", false);
    EXPECT_EQ(ini.text(), "[S]\r\nyes=1\r\nno=0\r\n");
}

TEST(IniFile, DuplicatesReadAndRewriteTheFirstOnly) {
    IniFile ini("[A]\nk=first\nk=second\n[B]\nx=1\n[a]\nk=third\nonlyHere=4\n");
    EXPECT_EQ(ini.find("A", "k"), "first");
    EXPECT_EQ(ini.find("A", "onlyHere"), "4");
    ini.writeText("A", "k", "new");
    ini.writeText("A", "added", "5");
    EXPECT_EQ(ini.text(), "[A]\nk=new\nk=second\nadded=5\n[B]\nx=1\n[a]\nk=third\nonlyHere=4\n");
}

TEST(IniFile, GarbageBinaryAndLongLinesSurviveAWrite) {
    const std::string longLine(1 << 20, 'x');
    std::string binary("\x00\x01\xff\xfe[\x00]=\x80", 9);
    const std::string before = "junk without equals\n" + binary + "\n[Open\n=no key\n" + longLine +
                               "\n[S]\n" + longLine + "=" + longLine + "\nk=1\n\n\n";
    IniFile ini(before);
    EXPECT_EQ(ini.find("S", "k"), "1");
    EXPECT_EQ(ini.find("S", longLine), longLine);
    ini.writeText("S", "k", "2");
    ini.writeText("S", "new", "3");
    std::string expected = before;
    expected.replace(expected.rfind("k=1"), 3, "k=2\nnew=3");
    EXPECT_EQ(ini.text(), expected);
}

TEST(IniFile, NewLinesFollowTheFileLineEnds) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"", "[S]\r\nk=v\r\n"},
        {"[S]", "[S]\r\nk=v\r\n"},
        {"[S]\nx=1", "[S]\nx=1\nk=v\n"},
        {"[S]\rx=1\r", "[S]\rx=1\rk=v\r"},
        {"; note", "; note\r\n\r\n[S]\r\nk=v\r\n"},
        {"[T]\nt=1\n\n", "[T]\nt=1\n\n[S]\nk=v\n"},
    };
    for (const Case& c : cases) {
        IniFile ini(c.before);
        ini.writeText("S", "k", "v");
        EXPECT_EQ(ini.text(), c.after) << '"' << c.before << '"';
    }
}

TEST(IniFile, RefusesWhatCouldNotBeReadBack) {
    IniFile ini("[S]\nk=old\n");
    EXPECT_FALSE(ini.writeText("S", "k", "two\nlines"));
    EXPECT_FALSE(ini.writeText("S", "k", "cr\ronly"));
    EXPECT_FALSE(ini.writeText("S", "a=b", "v"));
    EXPECT_FALSE(ini.writeText("S", ";k", "v"));
    EXPECT_FALSE(ini.writeText("S]", "k", "v"));
    EXPECT_FALSE(ini.writeText("", "k", "v"));
    EXPECT_EQ(ini.text(), "[S]\nk=old\n");
}

TEST(IniFile, SaveWritesTheFileAndKeepsItsPermissions) {
    TempTree tree;
    const std::string path = tree.write("app.INI", "[S]\nk=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    IniFile ini = IniFile::load(path);
    EXPECT_EQ(ini.source(), IniFile::Source::Loaded);
    ini.writeText("S", "k", "2");
    const IniSaveResult result = ini.save(path);
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(tree.read("app.INI"), "[S]\nk=2\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(tree.root()), fs::directory_iterator()), 1);
}

TEST(IniFile, SaveCreatesAMissingFile) {
    TempTree tree;
    IniFile ini = IniFile::load(tree.path("new.INI"));
    EXPECT_EQ(ini.source(), IniFile::Source::Missing);
    ini.writeBool("Testing", "ReplaceExtraInfo", true);
    ASSERT_TRUE(ini.save(tree.path("new.INI")).ok);
    EXPECT_EQ(tree.read("new.INI"), "[Testing]\r\nReplaceExtraInfo=1\r\n");
}

TEST(IniFile, SaveThroughALinkReplacesTheTarget) {
    TempTree tree;
    const std::string target = tree.write("real/app.INI", "[S]\nk=1\n");
    fs::create_symlink("real/app.INI", tree.path("app.INI"));
    IniFile ini = IniFile::load(tree.path("app.INI"));
    ini.writeText("S", "k", "2");
    ASSERT_TRUE(ini.save(tree.path("app.INI")).ok);
    EXPECT_TRUE(fs::is_symlink(tree.path("app.INI")));
    EXPECT_EQ(test::readFile(target), "[S]\nk=2\n");
}

TEST(IniFile, RefusedSaveReportsThePathAndLeavesTheOldFile) {
    TempTree tree;
    std::string path;
    std::string original;
    if (::geteuid() != 0) {
        path = tree.write("locked/app.INI", "[S]\nk=1\n");
        ASSERT_EQ(::chmod(tree.path("locked").c_str(), 0555), 0);
        original = "[S]\nk=1\n";
    } else {
        // Root writes through folder permissions; a file of /proc refuses any sibling instead.
        path = "/proc/version";
        original = test::readFile(path);
        ASSERT_FALSE(original.empty());
    }
    IniFile ini = IniFile::load(path);
    ini.writeText("S", "k", "2");
    const IniSaveResult result = ini.save(path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Unable to write to " + path);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(test::readFile(path), original);
}

TEST(IniFile, SaveUnderARegularFileFails) {
    TempTree tree;
    tree.write("plain", "x");
    const std::string path = tree.path("plain/app.INI");
    IniFile ini = IniFile::load(path);
    EXPECT_EQ(ini.source(), IniFile::Source::Missing);
    ini.writeText("S", "k", "1");
    EXPECT_EQ(ini.save(path).message, "Unable to write to " + path);
    EXPECT_EQ(tree.read("plain"), "x");
}

TEST(IniFile, AByteOrderMarkIsSkippedAndKeptOnce) {
    TempTree tree;
    const std::string path = tree.write("app.INI", "\xEF\xBB\xBF[Settings]\r\nk=1\r\n");
    IniFile ini = IniFile::load(path);
    EXPECT_TRUE(ini.hasSection("Settings"));
    EXPECT_EQ(ini.readInteger("Settings", "k", 0), 1);
    ini.writeText("Settings", "k", "2");
    ASSERT_TRUE(ini.save(path).ok);
    EXPECT_EQ(tree.read("app.INI"), "\xEF\xBB\xBF[Settings]\r\nk=2\r\n");
}

TEST(IniFile, AWriteProtectedFileIsRefusedAndLeftAsItIs) {
    TempTree tree;
    const std::string path = tree.write("app.INI", "[S]\nk=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    IniFile ini = IniFile::load(path);
    ini.writeText("S", "k", "2");
    const IniSaveResult result = ini.save(path);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Unable to write to " + path);
    EXPECT_NE(result.reason.find("write-protected"), std::string::npos) << result.reason;
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(tree.read("app.INI"), "[S]\nk=1\n");
}

TEST(IniFile, AFifoAtTheNameIsNeitherWaitedForNorReplaced) {
    TempTree tree;
    const std::string path = tree.path("app.INI");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    IniFile ini = IniFile::load(path); // would hang for good on a blocking open
    EXPECT_EQ(ini.source(), IniFile::Source::Unreadable);
    ini.writeText("S", "k", "1");
    EXPECT_FALSE(ini.save(path).ok);
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(IniFile, AFileThatCannotBeReadIsNeverReplaced) {
    TempTree tree;
    const std::string path = tree.mkdir("app.INI");
    IniFile ini = IniFile::load(path);
    EXPECT_EQ(ini.source(), IniFile::Source::Unreadable);
    EXPECT_EQ(ini.readInteger("S", "k", 5), 5);
    ini.writeText("S", "k", "1");
    EXPECT_FALSE(ini.save(path).ok);
    EXPECT_TRUE(fs::is_directory(path));
}

} // namespace
} // namespace vesk
