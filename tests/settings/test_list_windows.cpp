#include "settings/list_windows.h"

#include <gtest/gtest.h>

#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::TempTree;
using Strings = std::vector<std::string>;
using Rows = std::vector<CheckRow>;

TEST(FilespecWindow, WithNothingSavedShowsOneUncheckedAllFilesRow) {
    SavedSettings saved;
    saved.FilespecMode = kModeAdvanced;
    const Rows rows = FillFilespecRows(saved);
    EXPECT_EQ(rows, (Rows{{"*.*", false}}));
    RunLists lists;
    TakeFilespecRows(rows, saved, lists);
    EXPECT_TRUE(lists.FilespecList.empty());
    MainBoxes boxes;
    boxes.edtFileSpec = "*.typed";
    RefreshFilespecSet(saved, lists, boxes);
    BuildFilespecList(saved, lists, boxes);
    EXPECT_EQ(boxes.edtFileSpec, "");
    EXPECT_EQ(boxes.lblFilespecCount, "0 Filespecs");
}

TEST(FilespecWindow, RowsArePackedAndTakingThemBackLeavesNoDuplicate) {
    SavedSettings saved;
    saved.SavedFilespec[0] = "*.pas";
    saved.SavedFilespec[2] = " *.dfm ";
    saved.SavedFilespec[3] = "*.txt";
    saved.SavedFilespecSelected[0] = true;
    saved.SavedFilespecSelected[1] = true; // an empty slot's mark goes nowhere
    saved.SavedFilespecSelected[3] = true;
    const Rows rows = FillFilespecRows(saved);
    EXPECT_EQ(rows, (Rows{{"*.pas", true}, {"*.dfm", false}, {"*.txt", true}}));

    RunLists lists;
    TakeFilespecRows(rows, saved, lists);
    EXPECT_EQ(lists.FilespecList, (Strings{"*.pas", "*.txt"}));
    EXPECT_EQ(lists.FilespecText, "*.pas,*.txt");
    EXPECT_EQ(saved.SavedFilespec[2], "*.txt");
    EXPECT_EQ(saved.SavedFilespec[3], "");
    EXPECT_FALSE(saved.SavedFilespecSelected[3]);
    EXPECT_EQ(FillFilespecRows(saved), rows);
}

TEST(FilespecWindow, CheckedAllFilesReplacesTheList) {
    SavedSettings saved;
    RunLists lists;
    TakeFilespecRows(Rows{{"*.*", true}, {"*.pas", true}, {"", true}}, saved, lists);
    EXPECT_EQ(lists.FilespecList, Strings{"*.*"});
    EXPECT_EQ(lists.FilespecText, "*.*,*.pas");
    saved.FilespecMode = kModeAdvanced;
    MainBoxes boxes;
    BuildFilespecList(saved, lists, boxes);
    EXPECT_EQ(boxes.edtFileSpec, "*.*");
    EXPECT_EQ(boxes.lblFilespecCount, "1 Filespec");
}

TEST(FilespecWindow, AddGoesToTheFirstEmptyRowAndStopsAtElevenMasks) {
    Rows rows{{"*.pas", true}, {"*.dfm", true}, {"*.txt", false}};
    ClearRow(rows, 1);
    ClearRow(rows, 7);
    EXPECT_EQ(rows[1], CheckRow{});
    EXPECT_EQ(AddFilespecRow(rows, "  *.inc "), AddRowResult::Added);
    EXPECT_EQ(rows, (Rows{{"*.pas", true}, {"*.inc", false}, {"*.txt", false}}));
    EXPECT_EQ(AddFilespecRow(rows, "   "), AddRowResult::Blank);
    EXPECT_EQ(rows.size(), 3u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(AddFilespecRow(rows, "*.x"), AddRowResult::Added);
    EXPECT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows.back(), (CheckRow{"*.x", false}));
    EXPECT_EQ(AddFilespecRow(rows, "*.y"), AddRowResult::Full);
    EXPECT_EQ(rows.size(), 11u);
    ClearRow(rows, 10);
    EXPECT_EQ(AddFilespecRow(rows, "*.y"), AddRowResult::Added);
    EXPECT_EQ(rows[10].text, "*.y");
}

TEST(FolderWindow, ACheckedMissingFolderIsShownButNeitherCountedNorSearched) {
    TempTree tree;
    tree.mkdir("here");
    SavedSettings saved;
    saved.FolderMode = kModeAdvanced;
    Rows rows = FillFolderRows(saved);
    ASSERT_EQ(rows.size(), 11u);
    rows[0] = {tree.path("here"), true};
    rows[4] = {tree.path("gone"), true};
    rows[10] = {tree.path("unchecked"), false};
    RunLists lists;
    TakeFolderRows(rows, saved, lists);
    EXPECT_EQ(lists.FolderList, (Strings{tree.path("here"), tree.path("gone")}));
    EXPECT_EQ(saved.SavedFolder[10], tree.path("unchecked"));
    EXPECT_TRUE(saved.SavedFolderSelected[4]);
    EXPECT_EQ(FillFolderRows(saved), rows);

    MainBoxes boxes;
    RefreshFolderSet(saved, boxes);
    BuildFolderList(saved, lists, boxes);
    EXPECT_EQ(boxes.lblFolderCount, "1 Folder");
    EXPECT_EQ(lists.FolderList, Strings{tree.path("here")});
    EXPECT_EQ(boxes.edtFolder, tree.path("here"));
}

TEST(StringsWindow, NonBlankLinesFillTheSlotsWithoutGaps) {
    StringSlots slots;
    for (auto& s : slots.FindStrings)
        s = "old";
    slots.ReplaceStrings[0] = "kept";
    const StringLinesTaken taken =
        TakeStringLines("first one\r\n\r\n  second\n \t\nthird\n", slots);
    EXPECT_EQ(taken.firstLine, "first one");
    EXPECT_EQ(taken.dropped, 0);
    EXPECT_EQ(slots.FindCount, 3);
    EXPECT_EQ(slots.FindStrings[1], "  second");
    EXPECT_EQ(slots.FindStrings[3], "");
    EXPECT_EQ(slots.FindStrings[199], "");
    EXPECT_EQ(slots.ReplaceStrings[0], "kept");

    SavedSettings saved;
    saved.StringsMode = kModeAdvanced;
    RunLists lists;
    MainBoxes boxes;
    BuildStringList(saved, slots, lists, boxes);
    EXPECT_EQ(boxes.edtString, "first one,  second,third");
    EXPECT_EQ(boxes.lblStringsCount, "3 Strings");

    EXPECT_EQ(TakeStringLines("", slots).firstLine, "");
    EXPECT_EQ(slots.FindCount, 0);
}

TEST(StringsWindow, LinesPastTwoHundredAreReportedNotLost) {
    std::string memo;
    for (int i = 0; i < 205; ++i)
        memo += "s" + std::to_string(i) + "\n\n";
    StringSlots slots;
    const StringLinesTaken taken = TakeStringLines(memo, slots);
    EXPECT_EQ(slots.FindCount, 200);
    EXPECT_EQ(slots.FindStrings[199], "s199");
    EXPECT_EQ(taken.dropped, 5);
    EXPECT_EQ(TooManyStringsMessage(taken.dropped),
              "Only 200 strings can be searched; 5 more lines were left out.");
}

TEST(StringsWindow, ResetShowsTheCurrentSlots) {
    StringSlots slots;
    EXPECT_EQ(ResetStringLines(slots, "  "), Strings{});
    EXPECT_EQ(ResetStringLines(slots, "typed"), Strings{"typed"});
    EXPECT_EQ(slots.FindCount, 1);
    slots.FindStrings[1] = "two";
    slots.FindCount = 2;
    EXPECT_EQ(ResetStringLines(slots, "other"), (Strings{"typed", "two"}));
}

TEST(Memo, LinesSplitAtEveryLineEnd) {
    EXPECT_EQ(memoLines(""), Strings{});
    EXPECT_EQ(memoLines("a"), Strings{"a"});
    EXPECT_EQ(memoLines("a\r\nb\rc\n\nd\n"), (Strings{"a", "b", "c", "", "d"}));
}

} // namespace
} // namespace vesk
