#include "settings/settings.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace fs = std::filesystem;

namespace vesk {
namespace {

using test::ScriptedDialogs;
using test::TempTree;

// Runs a test in another current folder and returns to the old one.
class InFolder {
public:
    explicit InFolder(const std::string& folder) : old_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~InFolder() { fs::current_path(old_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path old_;
};

SavedSettings sample() {
    SavedSettings s;
    s.FolderMode = 2;
    s.FilespecMode = 2;
    s.StringsMode = 2;
    s.ReplaceExtraInfo = true;
    for (int n = 0; n < kSavedSlots; ++n) {
        s.SavedFolder[n] = n % 3 == 1 ? "" : "/src/part " + std::to_string(n);
        s.SavedFolderSelected[n] = n % 2 == 0;
        s.SavedFilespec[n] = n == 4 ? "" : "*.p" + std::to_string(n);
        s.SavedFilespecSelected[n] = n % 2 == 1;
    }
    return s;
}

TEST(Settings, AMissingFileGivesTheDefaults) {
    TempTree tree;
    int level = 0;
    const SavedSettings s = LoadSettings(tree.path("vesk.INI"), [&](int l) { level = l; });
    EXPECT_EQ(s, SavedSettings{});
    EXPECT_EQ(s.FolderMode, kModeSimple);
    EXPECT_EQ(s.SavedFolder[10], "");
    EXPECT_FALSE(s.SavedFilespecSelected[0]);
    EXPECT_EQ(level, 0);
}

TEST(Settings, ModesOtherThanTwoReadAsSimple) {
    const std::pair<const char*, int> cases[] = {{"2", 2}, {" 2 ", 2}, {"1", 1}, {"3", 1},
                                                 {"0", 1}, {"abc", 1}, {"", 1},  {"-2", 1}};
    TempTree tree;
    for (const auto& [value, mode] : cases) {
        const std::string v = value;
        const std::string path =
            tree.write("vesk.INI", "[settings]\nsimpleoradvancedfolders=" + v +
                                       "\nSimpleOrAdvancedFileSpec=" + v +
                                       "\nSimpleOrAdvancedStrings=" + v + "\n");
        const SavedSettings s = LoadSettings(path);
        EXPECT_EQ(s.FolderMode, mode) << v;
        EXPECT_EQ(s.FilespecMode, mode) << v;
        EXPECT_EQ(s.StringsMode, mode) << v;
    }
}

TEST(Settings, SlotsZeroToTenAreReadTrimmedAndElevenIsIgnored) {
    TempTree tree;
    const std::string path = tree.write("vesk.INI", "[Folders]\n"
                                                    "SavedFolder0=   /home/me/src  \n"
                                                    "SavedFolderSelected0=1\n"
                                                    "SavedFolder10=/ten\n"
                                                    "SavedFolderSelected10=7\n"
                                                    "SavedFolder11=/eleven\n"
                                                    "SavedFolderSelected3=yes\n"
                                                    "[Filespec]\n"
                                                    "SavedFilespec10=*.pas\n"
                                                    "SavedFilespecSelected10=1\n");
    const SavedSettings s = LoadSettings(path);
    EXPECT_EQ(s.SavedFolder[0], "/home/me/src");
    EXPECT_TRUE(s.SavedFolderSelected[0]);
    EXPECT_EQ(s.SavedFolder[10], "/ten");
    EXPECT_TRUE(s.SavedFolderSelected[10]);
    EXPECT_FALSE(s.SavedFolderSelected[3]);
    EXPECT_EQ(s.SavedFilespec[10], "*.pas");
    EXPECT_TRUE(s.SavedFilespecSelected[10]);

    ScriptedDialogs dialogs;
    SavedSettings changed = s;
    changed.SavedFolder[10] = "/new ten";
    ASSERT_TRUE(SaveFolderSet(path, changed, dialogs));
    const std::string text = tree.read("vesk.INI");
    EXPECT_NE(text.find("SavedFolder10=/new ten\n"), std::string::npos);
    EXPECT_NE(text.find("SavedFolder11=/eleven\n"), std::string::npos);
    EXPECT_EQ(text.find("SavedFolder11=\n"), std::string::npos);
}

TEST(Settings, ExtraInfoSetsTheDiagnosticLevel) {
    TempTree tree;
    const std::string path = tree.write("vesk.INI", "[TESTING]\nreplaceextrainfo=1\n");
    int level = 0;
    EXPECT_TRUE(LoadSettings(path, [&](int l) { level = l; }).ReplaceExtraInfo);
    EXPECT_EQ(level, kExtraInfoDiagnosticLevel);
}

TEST(Settings, EverythingSavedIsLoadedBack) {
    TempTree tree;
    const std::string path = tree.path("vesk.INI");
    const SavedSettings s = sample();
    ScriptedDialogs dialogs;
    dialogs.yesNo = {true};
    ASSERT_TRUE(SaveSettings(path, s, dialogs));
    ASSERT_TRUE(SaveFilespecSet(path, s, dialogs));
    EXPECT_EQ(LoadSettings(path), s);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(Settings, SaveSettingsAnsweredNoWritesNothing) {
    TempTree tree;
    ScriptedDialogs dialogs;
    dialogs.yesNo = {false, false};
    EXPECT_FALSE(SaveSettings(tree.path("vesk.INI"), sample(), dialogs));
    EXPECT_FALSE(fs::exists(tree.path("vesk.INI")));
    const std::string path = tree.write("old.INI", "[Settings]\nSimpleOrAdvancedFolders=1\n");
    EXPECT_FALSE(SaveSettings(path, sample(), dialogs));
    EXPECT_EQ(tree.read("old.INI"), "[Settings]\nSimpleOrAdvancedFolders=1\n");
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_NE(dialogs.questions[0].find("|Save current settings?"), std::string::npos);
}

TEST(Settings, EachSaveWritesOnlyItsOwnKeys) {
    TempTree tree;
    const SavedSettings s = sample();
    ScriptedDialogs dialogs;
    dialogs.yesNo = {true};
    ASSERT_TRUE(SaveSettings(tree.path("all.INI"), s, dialogs));
    const std::string all = tree.read("all.INI");
    EXPECT_NE(all.find("[Folders]"), std::string::npos);
    EXPECT_NE(all.find("SimpleOrAdvancedStrings=2"), std::string::npos);
    EXPECT_NE(all.find("[Testing]\r\nReplaceExtraInfo=1"), std::string::npos);
    EXPECT_EQ(all.find("Filespec]"), std::string::npos);

    ASSERT_TRUE(SaveFolderSet(tree.path("folders.INI"), s, dialogs));
    const std::string folders = tree.read("folders.INI");
    EXPECT_NE(folders.find("SavedFolderSelected10=1"), std::string::npos);
    EXPECT_NE(folders.find("SimpleOrAdvancedFolders=2"), std::string::npos);
    EXPECT_EQ(folders.find("SimpleOrAdvancedFileSpec"), std::string::npos);
    EXPECT_EQ(folders.find("Testing"), std::string::npos);

    ASSERT_TRUE(SaveFilespecSet(tree.path("masks.INI"), s, dialogs));
    const std::string masks = tree.read("masks.INI");
    EXPECT_NE(masks.find("SimpleOrAdvancedFilespec=2"), std::string::npos);
    EXPECT_NE(masks.find("SavedFilespec10=*.p10"), std::string::npos);
    EXPECT_EQ(masks.find("SavedFolder"), std::string::npos);
}

TEST(Settings, TheMaskWindowsSpellingReachesTheSameKey) {
    TempTree tree;
    const std::string path = tree.write("vesk.INI", "[Settings]\nSimpleOrAdvancedFileSpec=1\n");
    SavedSettings s;
    s.FilespecMode = 2;
    ScriptedDialogs dialogs;
    ASSERT_TRUE(SaveFilespecSet(path, s, dialogs));
    const std::string text = tree.read("vesk.INI");
    EXPECT_NE(text.find("[Settings]\nSimpleOrAdvancedFileSpec=2\n"), std::string::npos);
    EXPECT_EQ(text.find("SimpleOrAdvancedFilespec"), std::string::npos);
    EXPECT_EQ(LoadSettings(path).FilespecMode, 2);
}

TEST(Settings, HandEditedKeysSurviveRepeatedSaves) {
    TempTree tree;
    const std::string handMade = "; my editors\n"
                                 "[Viewer]\n"
                                 "pas=/usr/bin/geany\n"
                                 "TXT=Viewer\n"
                                 "\n"
                                 "[Settings]\n"
                                 "DifferencesViewer = /usr/bin/meld\n"
                                 "FeedbackCount=4\n";
    const std::string path = tree.write("vesk.INI", handMade);
    SavedSettings s = sample();
    ScriptedDialogs dialogs;
    for (int round = 0; round < 3; ++round) {
        dialogs.yesNo = {true};
        s.SavedFolder[0] = "/round" + std::to_string(round);
        ASSERT_TRUE(SaveSettings(path, s, dialogs));
        ASSERT_TRUE(SaveFolderSet(path, s, dialogs));
        ASSERT_TRUE(SaveFilespecSet(path, s, dialogs));
    }
    const std::string text = tree.read("vesk.INI");
    EXPECT_EQ(text.rfind(handMade, 0), 0u) << text;
    EXPECT_EQ(LoadSettings(path), s);
    EXPECT_EQ(ReadViewerCommand(path, "PAS"), "/usr/bin/geany");
    EXPECT_EQ(ReadSettingText(path, "settings", "feedbackcount", ""), "4");
}

TEST(Settings, RefusedSaveSaysSoAndKeepsTheOldFile) {
    TempTree tree;
    tree.write("plain", "not a folder");
    const std::string path = tree.path("plain/vesk.INI");
    ScriptedDialogs dialogs;
    dialogs.yesNo = {true};
    EXPECT_FALSE(SaveSettings(path, sample(), dialogs));
    EXPECT_FALSE(SaveFolderSet(path, sample(), dialogs));
    EXPECT_FALSE(SaveFilespecSet(path, sample(), dialogs));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    for (const std::string& m : dialogs.messages)
        EXPECT_EQ(m, "Unable to write to " + path);
    EXPECT_EQ(tree.read("plain"), "not a folder");
}

TEST(Settings, AFolderNameWithALineBreakRefusesTheWholeSave) {
    TempTree tree;
    const std::string before = "[Folders]\nSavedFolder0=/old\n";
    const std::string path = tree.write("vesk.INI", before);
    SavedSettings s;
    s.SavedFolder[0] = "/fine";
    s.SavedFolder[5] = "/odd\nname";
    ScriptedDialogs dialogs;
    EXPECT_FALSE(SaveFolderSet(path, s, dialogs));
    EXPECT_EQ(tree.read("vesk.INI"), before);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("Unable to write to " + path, 0), 0u);
    EXPECT_NE(dialogs.messages[0].find("SavedFolder5"), std::string::npos);
}

TEST(Settings, ViewerAndDifferencesViewerLookups) {
    TempTree tree;
    const std::string path = tree.path("vesk.INI");
    EXPECT_EQ(ReadDifferencesViewer(path), std::nullopt);
    EXPECT_EQ(ReadViewerCommand(path, "pas"), "ASK");
    tree.write("vesk.INI", "[viewer]\ntxt=  Windows  \n");
    EXPECT_EQ(ReadDifferencesViewer(path), "none");
    EXPECT_EQ(ReadViewerCommand(path, "TXT"), "Windows");
    EXPECT_EQ(ReadViewerCommand(path, "dfm"), "ASK");
    tree.write("vesk.INI", "[SETTINGS]\ndifferencesviewer= /usr/bin/meld \n");
    EXPECT_EQ(ReadDifferencesViewer(path), "/usr/bin/meld");
}

TEST(Settings, SharedSettingsFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Ostrel.INI"},        {"  ", "Ostrel.INI"},
        {"Tool.exe", "Tool.INI"},  {"/opt/x.y/Tool.exe", "Tool.INI"},
        {"/opt/Tool", "Tool.INI"}, {"/opt/.exe", "Ostrel.INI"},
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(SharedSettingsPath(given), expected) << given;
}

TEST(Settings, SharedSettingIsReadFromTheCurrentFolder) {
    TempTree tree;
    InFolder here(tree.root());
    EXPECT_EQ(ReadSharedSetting("", kKeyEditFile, kDefaultEditFile), "Notepad.exe");
    tree.write("Ostrel.INI", "[Other]\nEditFile=no\n");
    EXPECT_EQ(ReadSharedSetting("", kKeyEditFile, kDefaultEditFile), "Notepad.exe");
    tree.write("Ostrel.INI", "[settings]\neditfile=  /usr/bin/geany \n");
    EXPECT_EQ(ReadSharedSetting("", kKeyEditFile, kDefaultEditFile), "/usr/bin/geany");
}

TEST(Settings, FifosAtTheSettingsNamesNeverBlock) {
    TempTree tree;
    InFolder here(tree.root());
    ASSERT_EQ(::mkfifo("Ostrel.INI", 0644), 0);
    const std::string settings = tree.path("vesk.INI");
    ASSERT_EQ(::mkfifo(settings.c_str(), 0644), 0);
    EXPECT_EQ(ReadSharedSetting("", kKeyEditFile, kDefaultEditFile), "Notepad.exe");
    EXPECT_EQ(LoadSettings(settings), SavedSettings{});
    EXPECT_EQ(ReadViewerCommand(settings, "pas"), "ASK");
    test::ScriptedDialogs dialogs;
    EXPECT_FALSE(SaveFolderSet(settings, SavedSettings{}, dialogs));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Unable to write to " + settings});
    struct stat st {};
    ASSERT_EQ(::lstat(settings.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(Settings, AWriteProtectedSettingsFileIsLeftAsItIs) {
    TempTree tree;
    const std::string settings = tree.write("vesk.INI", "[Folders]\r\nSavedFolder0=/old\r\n");
    ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);
    SavedSettings s;
    s.SavedFolder[0] = "/new";
    test::ScriptedDialogs dialogs;
    EXPECT_FALSE(SaveFolderSet(settings, s, dialogs));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Unable to write to " + settings});
    EXPECT_EQ(tree.read("vesk.INI"), "[Folders]\r\nSavedFolder0=/old\r\n");
}

TEST(Settings, SettingsPathIsTheProgramFolderAndTheExecutableName) {
    EXPECT_EQ(SettingsPathFor("/opt/vesk/", "vesk"), "/opt/vesk/vesk.INI");
    EXPECT_EQ(SettingsPathFor("/opt/vesk", "vesk"), "/opt/vesk/vesk.INI");

    TempTree tree;
    const char* old = std::getenv("VESK_HOME");
    const std::string saved = old ? old : "";
    ::setenv("VESK_HOME", tree.root().c_str(), 1);
    const std::string path = SettingsPath();
    if (old)
        ::setenv("VESK_HOME", saved.c_str(), 1);
    else
        ::unsetenv("VESK_HOME");
    EXPECT_EQ(path, tree.root() + "test_settings.INI");
}

TEST(Settings, RegularExpressionsKeyIsOffWhenAbsentAndWrittenAlone) {
    TempTree tree;
    const std::string old = "; kept\r\n[Settings]\r\nSimpleOrAdvancedFolders=2\r\n"
                            "DifferencesViewer=none\r\n\r\n[Viewer]\r\ntxt=Viewer\r\n";
    const std::string path = tree.write("vesk.INI", old);
    SavedSettings s = LoadSettings(path);
    EXPECT_FALSE(s.RegularExpressions);

    ScriptedDialogs dialogs;
    dialogs.yesNo = {true, true};
    ASSERT_TRUE(SaveSettings(path, s, dialogs));
    const std::string off = tree.read("vesk.INI");
    s.RegularExpressions = true;
    ASSERT_TRUE(SaveSettings(path, s, dialogs));
    const std::string on = tree.read("vesk.INI");
    EXPECT_TRUE(LoadSettings(path).RegularExpressions);

    // Switching the option changes its own line and nothing else.
    std::string expected = off;
    const std::size_t at = expected.find("RegularExpressions=0\r\n");
    ASSERT_NE(at, std::string::npos) << off;
    expected.replace(at, 20, "RegularExpressions=1");
    EXPECT_EQ(on, expected);
    // The key sits in [Settings], and the hand-written lines are all still there.
    EXPECT_LT(on.find("[Settings]"), at);
    EXPECT_LT(at, on.find("[Viewer]"));
    for (const char* line : {"; kept\r\n", "DifferencesViewer=none\r\n", "txt=Viewer\r\n"})
        EXPECT_NE(on.find(line), std::string::npos) << line;
}

} // namespace
} // namespace vesk
