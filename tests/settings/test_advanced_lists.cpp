#include "settings/advanced_lists.h"

#include <gtest/gtest.h>

#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::TempTree;
using Strings = std::vector<std::string>;

TEST(AdvancedLists, CountLabels) {
    const std::tuple<long long, std::string_view, const char*> cases[] = {
        {0, kNounFolder, "0 Folders"},       {1, kNounFolder, "1 Folder"},
        {1, kNounFilespec, "1 Filespec"},    {3, kNounString, "3 Strings"},
        {11, kNounFilespec, "11 Filespecs"}, {200, kNounString, "200 Strings"},
    };
    for (const auto& [count, noun, expected] : cases) {
        std::string label = "old";
        SetCountLabel(count, noun, label);
        EXPECT_EQ(label, expected);
    }
}

// Slots: 0 existing selected, 1 missing selected, 2 existing unselected, 3 blank selected,
// 4 existing selected with blanks around it, 10 existing selected.
struct FolderFixture {
    TempTree tree;
    std::string a = folder("a");
    std::string b = folder("b");
    std::string c = folder("c");
    SavedSettings saved = make();

    std::string folder(const char* name) {
        tree.mkdir(name);
        return tree.path(name);
    }

    SavedSettings make() const {
        SavedSettings s;
        s.FolderMode = kModeAdvanced;
        s.SavedFolder[0] = a;
        s.SavedFolder[1] = tree.path("gone");
        s.SavedFolder[2] = b;
        s.SavedFolder[3] = "   ";
        s.SavedFolder[4] = "  " + b + " ";
        s.SavedFolder[10] = c;
        for (int n : {0, 1, 3, 4, 10})
            s.SavedFolderSelected[n] = true;
        return s;
    }
};

TEST(AdvancedLists, RefreshFolderSetShowsSelectedExistingFolders) {
    FolderFixture f;
    MainBoxes boxes;
    boxes.edtFolder = "typed";
    RefreshFolderSet(f.saved, boxes);
    EXPECT_EQ(boxes.edtFolder, f.a + "," + f.b + "," + f.c);
    EXPECT_EQ(boxes.lblFolderCount, "3 Folders");

    f.saved.FolderMode = kModeSimple;
    MainBoxes untouched;
    untouched.edtFolder = "typed";
    untouched.lblFolderCount = "label";
    MainBoxes simple = untouched;
    RefreshFolderSet(f.saved, simple);
    EXPECT_EQ(simple.edtFolder, "typed");
    EXPECT_EQ(simple.lblFolderCount, "label");
}

TEST(AdvancedLists, BuildFolderListKeepsSelectedExistingFolders) {
    FolderFixture f;
    RunLists lists;
    lists.FolderList = {"stale"};
    MainBoxes boxes;
    BuildFolderList(f.saved, lists, boxes);
    // Slot 4 keeps its blanks here and so names no folder.
    EXPECT_EQ(lists.FolderList, (Strings{f.a, f.c}));
    EXPECT_EQ(lists.FolderText, f.a + "," + f.c);
    EXPECT_EQ(boxes.edtFolder, lists.FolderText);

    f.saved.FolderMode = kModeSimple;
    boxes.edtFolder = "typed";
    BuildFolderList(f.saved, lists, boxes);
    EXPECT_EQ(lists.FolderList, (Strings{f.a, f.c}));
    EXPECT_EQ(boxes.edtFolder, f.a);
    f.saved.SavedFolder[0].clear();
    boxes.edtFolder = "typed";
    BuildFolderList(f.saved, lists, boxes);
    EXPECT_EQ(boxes.edtFolder, "typed");
}

TEST(AdvancedLists, BuildFilespecList) {
    struct Case {
        std::vector<std::pair<const char*, bool>> slots;
        Strings list;
        const char* text;
        const char* label;
    };
    const Case cases[] = {
        {{{"*.pas", true}, {"*.txt", false}, {"*.dfm", true}},
         {"*.pas", "*.dfm"},
         "*.pas,*.dfm",
         "2 Filespecs"},
        {{{"*.pas", true}, {" *.* ", true}}, {"*.*"}, "*.*", "1 Filespec"},
        {{{"*.pas", true}, {"*.*", false}}, {"*.pas"}, "*.pas", "1 Filespec"},
        {{{"*.*", false}}, {}, "", "0 Filespecs"},
        {{{"", true}, {"*.c", true}}, {"*.c"}, "*.c", "1 Filespec"},
    };
    for (const Case& c : cases) {
        SavedSettings saved;
        saved.FilespecMode = kModeAdvanced;
        for (std::size_t n = 0; n < c.slots.size(); ++n) {
            saved.SavedFilespec[n] = c.slots[n].first;
            saved.SavedFilespecSelected[n] = c.slots[n].second;
        }
        RunLists lists;
        MainBoxes boxes;
        BuildFilespecList(saved, lists, boxes);
        EXPECT_EQ(lists.FilespecList, c.list) << c.text;
        EXPECT_EQ(lists.FilespecText, c.text);
        EXPECT_EQ(boxes.edtFileSpec, c.text);
        EXPECT_EQ(boxes.lblFilespecCount, c.label);
    }
}

TEST(AdvancedLists, FilespecOperationsDoNothingInSimpleMode) {
    SavedSettings saved;
    saved.SavedFilespec[0] = "*.pas";
    saved.SavedFilespecSelected[0] = true;
    RunLists lists;
    lists.FilespecList = {"*.old"};
    lists.FilespecText = "*.old";
    MainBoxes boxes;
    boxes.edtFileSpec = "*.typed";
    boxes.lblFilespecCount = "label";
    BuildFilespecList(saved, lists, boxes);
    RefreshFilespecSet(saved, lists, boxes);
    EXPECT_EQ(lists.FilespecList, Strings{"*.old"});
    EXPECT_EQ(boxes.edtFileSpec, "*.typed");
    EXPECT_EQ(boxes.lblFilespecCount, "label");

    saved.FilespecMode = kModeAdvanced;
    RefreshFilespecSet(saved, lists, boxes);
    EXPECT_EQ(boxes.edtFileSpec, "*.old");
    EXPECT_EQ(boxes.lblFilespecCount, "1 Filespec");
}

TEST(AdvancedLists, BuildStringListSkipsBlankSlotsAndCountsTheSlots) {
    SavedSettings saved;
    StringSlots slots;
    slots.FindStrings[0] = "alpha";
    slots.FindStrings[1] = "  ";
    slots.FindStrings[2] = " beta gamma";
    slots.FindStrings[199] = "last";
    slots.FindCount = 3;
    RunLists lists;
    MainBoxes boxes;
    BuildStringList(saved, slots, lists, boxes);
    EXPECT_TRUE(lists.StringsList.empty());
    EXPECT_EQ(boxes.edtString, "");

    saved.StringsMode = kModeAdvanced;
    BuildStringList(saved, slots, lists, boxes);
    EXPECT_EQ(lists.StringsList, (Strings{"alpha", " beta gamma", "last"}));
    EXPECT_EQ(lists.StringsText, "alpha, beta gamma,last");
    EXPECT_EQ(boxes.edtString, lists.StringsText);
    EXPECT_EQ(boxes.SearchText, lists.StringsText);
    EXPECT_EQ(boxes.edtStringHint, "alpha\n beta gamma\nlast");
    EXPECT_EQ(boxes.lblStringsCount, "3 Strings");
}

} // namespace
} // namespace vesk
