#include "main_window/window_rules.h"

#include <gtest/gtest.h>

#include <set>

namespace vesk {
namespace {

TEST(WindowRules, ExactlyOneOfSelectSearchStopShowsInEachPhase) {
    for (int phase : {1, 2, 3}) {
        const PhaseLook look = phaseLook(phase);
        EXPECT_EQ(look.selectVisible + look.goVisible + look.stopVisible, 1) << phase;
    }
    EXPECT_TRUE(phaseLook(1).goVisible);
    EXPECT_EQ(phaseLook(1).page, 0);
    EXPECT_TRUE(phaseLook(2).stopVisible);
    EXPECT_TRUE(phaseLook(2).searching);
    EXPECT_FALSE(phaseLook(2).viewButtonsVisible);
    EXPECT_TRUE(phaseLook(3).selectVisible);
    EXPECT_TRUE(phaseLook(3).fontButtonsVisible);
    EXPECT_FALSE(phaseLook(3).searching);
    EXPECT_EQ(phaseLook(3).page, 1);
    EXPECT_FALSE(phaseLook(1).fontButtonsVisible);
}

TEST(WindowRules, CaptionNamesTheSearchAndReplaceOnlyWhileSearching) {
    EXPECT_EQ(phaseCaption(1, "abc", true), "Ulmen Find Text v7.25.7.28");
    EXPECT_EQ(phaseCaption(2, "abc", false), "Ulmen Find Text v7.25.7.28 - abc");
    EXPECT_EQ(phaseCaption(2, "abc", true), "Ulmen Find Text v7.25.7.28 - Replace - abc");
    EXPECT_EQ(phaseCaption(3, "abc", true), "Ulmen Find Text v7.25.7.28 - abc");
}

TEST(WindowRules, CaptionIsOneLineWithoutADanglingDash) {
    // The replace dialog's listing of the strings to find holds a line break.
    EXPECT_EQ(phaseCaption(3, "Replace - Strings to find:\r\n,a,b", false),
              "Ulmen Find Text v7.25.7.28 - Replace - Strings to find: ,a,b");
    EXPECT_EQ(phaseCaption(2, "x\n\ny\r", false), "Ulmen Find Text v7.25.7.28 - x y");
    EXPECT_EQ(phaseCaption(3, "", false), "Ulmen Find Text v7.25.7.28");
    EXPECT_EQ(phaseCaption(3, " \r\n ", false), "Ulmen Find Text v7.25.7.28");
    EXPECT_EQ(phaseCaption(2, "", false), "Ulmen Find Text v7.25.7.28");
    EXPECT_EQ(phaseCaption(2, "", true), "Ulmen Find Text v7.25.7.28 - Replace");
}

TEST(WindowRules, StatusOfARunThatDidNotTakePlace) {
    EXPECT_EQ(notSearchedStatus("Invalid file mask: [a\r\nfix it"),
              "(Not searched) Invalid file mask: [a fix it");
    EXPECT_EQ(notSearchedStatus(""), "(Not searched)");
}

TEST(WindowRules, StartPlaceKeepsTheFrameInTheWorkArea) {
    const FrameMargins frame{4, 30, 4, 4};
    // Room enough: centred, the design size kept.
    EXPECT_EQ(startPlace({0, 0, 1920, 1080}, 1105, 760, frame),
              (WindowPlace{(1920 - 1113) / 2 + 4, (1080 - 794) / 2 + 30, 1105, 760}));
    // 1280x720: the frame's height does not fit, so the client area gives way.
    const WindowPlace small = startPlace({0, 0, 1280, 720}, 1105, 760, frame);
    EXPECT_EQ(small.height, 720 - 34);
    EXPECT_EQ(small.y, 30);
    EXPECT_EQ(small.width, 1105);
    // A work area that does not start at 0 (a panel on top or at the left), and a narrow one.
    const WindowPlace panel = startPlace({100, 40, 1000, 600}, 1105, 760, frame);
    EXPECT_EQ(panel, (WindowPlace{104, 70, 992, 566}));
}

TEST(WindowRules, SwitchLooksAndToggling) {
    const SwitchLook simple = switchLook(1), advanced = switchLook(2);
    EXPECT_EQ(simple.boxColour, kTintNavy);
    EXPECT_FALSE(simple.readOnly || simple.bold || simple.onPicture);
    EXPECT_EQ(simple.labelColour, kTintGrey);
    EXPECT_TRUE(simple.clearCount);
    EXPECT_EQ(advanced.boxColour, kTintGreen);
    EXPECT_TRUE(advanced.readOnly && advanced.bold && advanced.onPicture);
    EXPECT_EQ(advanced.labelColour, kTintGreen);
    EXPECT_FALSE(advanced.clearCount);
    // A stored value other than 1 or 2 reads as simple, so it toggles to advanced.
    EXPECT_EQ(switchLook(3), switchLook(1));
    EXPECT_EQ(toggledMode(1), 2);
    EXPECT_EQ(toggledMode(2), 1);
    EXPECT_EQ(toggledMode(0), 2);
}

TEST(WindowRules, KeepFirstItemCutsBeforeTheFirstComma) {
    EXPECT_EQ(keepFirstItem("*.pas,*.txt"), "*.pas");
    EXPECT_EQ(keepFirstItem("*.pas"), "*.pas");
    EXPECT_EQ(keepFirstItem(",x"), "");
    EXPECT_EQ(keepFirstItem("   "), "");
    EXPECT_EQ(keepFirstItem(" a b ,c"), " a b ");
}

TEST(WindowRules, MarkStatusGreysOnlyWhenABoxChanged) {
    const BoxTexts entered{"/src", "*.*", "foo"};
    EXPECT_EQ(markStatus(1, entered, entered), StatusMark::Unchanged);
    EXPECT_EQ(markStatus(1, entered, {"/src", "*.*", "fooo"}), StatusMark::Stale);
    EXPECT_EQ(markStatus(1, entered, {"/src/", "*.*", "foo"}), StatusMark::Stale);
    EXPECT_EQ(markStatus(2, entered, {"x", "y", "z"}), StatusMark::Current);
    EXPECT_EQ(markStatus(7, entered, {"x", "y", "z"}), StatusMark::Unchanged);
    EXPECT_EQ(statusColour(StatusMark::Stale), kTintGrey);
    EXPECT_EQ(statusColour(StatusMark::Current), kTintNavy);
}

TEST(WindowRules, StartFolderFallsBackAndFillsAnEmptyFirstSlot) {
    StartFolder s = chooseStartFolder("/box", "/saved", "/prog/");
    EXPECT_EQ(s.folder, "/box");
    EXPECT_FALSE(s.setSavedFolder0);
    s = chooseStartFolder("  ", "/saved", "/prog/");
    EXPECT_EQ(s.folder, "/saved");
    s = chooseStartFolder("", "", "/prog/");
    EXPECT_EQ(s.folder, "/prog/");
    EXPECT_TRUE(s.setSavedFolder0);
    s = chooseStartFolder("/box", " ", "/prog/");
    EXPECT_TRUE(s.setSavedFolder0);
}

TEST(WindowRules, DoubleClickStartsAtTheCurrentFolderUnlessItIsMissing) {
    const std::set<std::string> existing{"/cwd", "/box"};
    const auto exists = [&](const std::string& f) { return existing.count(f) > 0; };
    EXPECT_EQ(doubleClickStartFolder("/cwd", "/box", "/s", "/p/", exists), "/cwd");
    EXPECT_EQ(doubleClickStartFolder("", "/box", "/s", "/p/", exists), "/box");
    // The first non-blank candidate decides; a missing folder falls back to the program folder.
    EXPECT_EQ(doubleClickStartFolder("", "", "/s", "/p/", exists), "/p/");
    EXPECT_EQ(doubleClickStartFolder("", "", "", "/p/", exists), "/p/");
}

TEST(WindowRules, ExpandTwiceRestoresTheShownGeometry) {
    const VerticalGeometry up = verticalResize(false, 24, 1000, 100, 760);
    EXPECT_EQ(up.top, 24);
    EXPECT_EQ(up.height, 1000);
    EXPECT_TRUE(up.expanded);
    EXPECT_EQ(up.hint, "Shrink to original height");
    const VerticalGeometry back = verticalResize(up.expanded, 24, 1000, 100, 760);
    EXPECT_EQ(back.top, 100);
    EXPECT_EQ(back.height, 760);
    EXPECT_FALSE(back.expanded);
    EXPECT_EQ(back.hint, "Expand vertically");
}

} // namespace
} // namespace vesk
