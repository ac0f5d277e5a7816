#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "search/dir_listing.h"
#include "search/find_file.h"
#include "search/narv_find_files.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::FakeClock;
using vesk::test::TempTree;

namespace {
std::vector<std::string> relative(const TempTree& t, const std::vector<std::string>& list) {
    std::vector<std::string> out;
    for (const auto& p : list)
        out.push_back(p.substr(t.root().size()));
    return out;
}

TNarvFindFiles scanner(const FakeClock& clock, const TempTree& t, std::vector<std::string> masks) {
    TNarvFindFiles n(clock);
    n.Paths = {t.root()};
    n.InSubFolders = true;
    n.setFileMask(masks);
    return n;
}
} // namespace

TEST(Listing, SortedWithoutCaseThenByteByByte) {
    TempTree t;
    for (const char* n : {"b.txt", "B.txt", "a.txt", "_x.txt", "C.txt"})
        t.write(n, "x");
    FakeClock clock;
    auto n = scanner(clock, t, {"*.*"});
    n.Scan();
    // Letters compare as upper case, so "_" (0x5F) sorts after every letter.
    EXPECT_EQ(relative(t, n.list()),
              (std::vector<std::string>{"a.txt", "B.txt", "b.txt", "C.txt", "_x.txt"}));
}

TEST(NarvScan, OwnFilesFirstThenSubfoldersDepthFirst) {
    TempTree t;
    t.write("z.pas", "x");
    t.write("sub/a.pas", "x");
    t.write("sub/deep/b.dfm", "x");
    t.write("a/UNIT1.PAS", "x");
    t.write("Makefile", "x");
    t.write("notes.txt", "x");
    FakeClock clock;
    auto n = scanner(clock, t, {"*.pas", "*.dfm"});
    EXPECT_EQ(relative(t, n.Scan()),
              (std::vector<std::string>{"z.pas", "a/UNIT1.PAS", "sub/a.pas", "sub/deep/b.dfm"}));
    EXPECT_EQ(n.FirstCount(), 1u);  // roots started
    EXPECT_EQ(n.SecondCount(), 4u); // every folder scanned
}

TEST(NarvScan, HiddenFoldersAndFilesAndSpecialFiles) {
    TempTree t;
    t.write(".hidden/a.txt", "x");
    t.write(".secret.txt", "x");
    t.write("plain.txt", "x");
    ASSERT_EQ(mkfifo(t.path("pipe.txt").c_str(), 0600), 0);
    ASSERT_EQ(symlink(t.path("plain.txt").c_str(), t.path("link.txt").c_str()), 0);
    ASSERT_EQ(symlink(t.root().c_str(), t.path("loop").c_str()), 0); // a link back to the root
    FakeClock clock;
    auto n = scanner(clock, t, {"*"});
    n.SearchHistory = true;
    EXPECT_EQ(relative(t, n.Scan()),
              (std::vector<std::string>{"link.txt", "plain.txt", ".hidden/a.txt"}));
    n.SearchHistory = false;
    EXPECT_EQ(relative(t, n.Scan()), (std::vector<std::string>{"link.txt", "plain.txt"}));
}

TEST(NarvScan, PathsBlankMissingAndRepeated) {
    TempTree t;
    t.write("a.txt", "x");
    FakeClock clock;
    TNarvFindFiles n(clock);
    n.setFileMask({"*.txt"});
    n.Paths = {"   ", t.path("missing"), t.root(), t.root().substr(0, t.root().size() - 1)};
    EXPECT_EQ(n.Scan().size(), 2u); // the same folder twice is listed twice
    EXPECT_EQ(n.FirstCount(), 2u);
}

TEST(NarvScan, InvalidMaskRaisesBeforeScanning) {
    FakeClock clock;
    TNarvFindFiles n(clock);
    EXPECT_THROW(n.setFileMask({"*.pas", "[abc"}), InvalidMaskError);
}

TEST(NarvScan, DateSelectionIsInclusiveAndEndZeroTakesNothing) {
    TempTree t;
    t.write("old.txt", "x");
    t.write("new.txt", "x");
    t.setMtime("old.txt", 1000000000); // 2001
    t.setMtime("new.txt", 1700000001); // 2023, an odd second: rounded down to an even one
    FakeClock clock;
    auto n = scanner(clock, t, {"*.txt"});
    n.SelectOnDates = true;
    n.SelectStartDate = listingTime(1700000000);
    n.SelectEndDate = listingTime(1700000000);
    EXPECT_EQ(relative(t, n.Scan()), (std::vector<std::string>{"new.txt"}));
    n.SelectStartDate = 0;
    n.SelectEndDate = 0;
    EXPECT_TRUE(n.Scan().empty());
}

TEST(NarvScan, StopFromTheProgressCallbackKeepsWhatWasFound) {
    TempTree t;
    for (int i = 0; i < 5; ++i)
        t.write("d" + std::to_string(i) + "/f.txt", "x");
    FakeClock clock;
    clock.step = 2 * kOneSecond; // every reading is past the next progress time
    auto n = scanner(clock, t, {"*.txt"});
    n.Sorted = true;
    int reports = 0;
    n.OnScanProgress = [&](std::uint64_t, std::uint64_t, std::uint64_t listed) {
        if (++reports == 3) n.ContinueScan = false;
        EXPECT_LE(listed, 3u);
    };
    EXPECT_EQ(n.Scan().size(), 3u);
    EXPECT_FALSE(n.ContinueScan);
}

TEST(FindFile, ListsDotsAndFoldersWithTheListingPattern) {
    TempTree t;
    t.write("a.txt", "x");
    t.write("sub/b.txt", "x");
    t.write(".h/c.txt", "x");
    TFindFile f;
    f.setPath(t.root());
    f.InSubFolders = true;
    EXPECT_EQ(relative(t, f.Scan()), (std::vector<std::string>{".", "..", ".h", "a.txt", "sub",
                                                               "sub/.", "sub/..", "sub/b.txt"}));
}

TEST(FindFile, AMissingFolderOrAFileListsNothingRatherThanTheFolderBefore) {
    TempTree t;
    t.write("a.txt", "x");
    TFindFile f;
    f.setPath(t.root());
    for (const std::string& notAFolder :
         {t.path("no-such-folder"), t.path("a.txt"), std::string(" ")}) {
        f.setPath(notAFolder);
        EXPECT_EQ(f.Path(), "") << notAFolder;
        EXPECT_TRUE(f.Scan().empty()) << notAFolder;
    }
    f.setPath(t.root());
    EXPECT_EQ(relative(t, f.Scan()), (std::vector<std::string>{".", "..", "a.txt"}));
}

TEST(FindFile, NamesHoldingWildcardCharactersAreMatchedByThePattern) {
    TempTree t;
    t.write("*star.txt", "x");
    t.write("a*b.txt", "x");
    t.write("what?.txt", "x");
    t.write("plain.c", "x");
    TFindFile f;
    f.setPath(t.root());
    const auto listed = [&](const char* mask) {
        f.FileMask = mask;
        return relative(t, f.Scan());
    };
    EXPECT_EQ(listed("*"), (std::vector<std::string>{"*star.txt", ".", "..", "a*b.txt", "plain.c",
                                                     "what?.txt"}));
    EXPECT_EQ(listed("*.txt"), (std::vector<std::string>{"*star.txt", "a*b.txt", "what?.txt"}));
    EXPECT_EQ(listed("a*"), (std::vector<std::string>{"a*b.txt"}));
    EXPECT_EQ(listed("*?.txt"), (std::vector<std::string>{"*star.txt", "a*b.txt", "what?.txt"}));
    EXPECT_EQ(listed("what?.*"), (std::vector<std::string>{"what?.txt"}));
    EXPECT_EQ(listed("a?b.txt"), (std::vector<std::string>{"a*b.txt"}));
}
