#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "search/match_marks.h"
#include "search/search_run.h"
#include "tests/support/recording_host.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

LineQuery queryOf(LineQuery::Mode mode, std::vector<std::string> strings, bool caseless = true,
                  bool wholeWords = false) {
    LineQuery q;
    q.mode = mode;
    q.wholeWordsOnly = wholeWords;
    for (const std::string& s : strings)
        q.finders.emplace_back(s, caseless);
    return q;
}

TextMark mark(std::uint32_t start, std::uint32_t length) {
    return {start, length};
}

// The text a mark covers, for readable expectations.
std::vector<std::string> marked(std::string_view line, const std::vector<TextMark>& marks) {
    std::vector<std::string> out;
    for (const TextMark& m : marks)
        out.emplace_back(line.substr(m.start, m.length));
    return out;
}

} // namespace

TEST(MatchMarks, OneStringIsMarkedAtTheRowsPosition) {
    const LineQuery q = queryOf(LineQuery::Mode::Single, {"needle"});
    EXPECT_THAT(matchMarks("a NEEDLE and a needle", 3, q), ElementsAre(mark(2, 6)));
    // Whole words: the position the row shows is the whole-word occurrence, not the first one.
    const LineQuery whole = queryOf(LineQuery::Mode::Single, {"need"}, true, true);
    const std::string line = "needles need";
    EXPECT_THAT(marked(line, matchMarks(line, 9, whole)), ElementsAre("need"));
    EXPECT_EQ(matchMarks(line, 9, whole).front().start, 8u);
}

TEST(MatchMarks, SeveralStringsMarkTheStringFoundAtThePosition) {
    // Slot order decides which string a line matched, not which occurs first.
    const LineQuery q = queryOf(LineQuery::Mode::Multiple, {"", "longer", "b"});
    const std::string line = "b then longer";
    EXPECT_THAT(marked(line, matchMarks(line, 8, q)), ElementsAre("longer"));
    const std::string onlyB = "just b";
    EXPECT_THAT(marked(onlyB, matchMarks(onlyB, 6, q)), ElementsAre("b"));
}

TEST(MatchMarks, AllWordsMarkEveryWordInLineOrder) {
    const LineQuery q = queryOf(LineQuery::Mode::AllWords, {"gamma", "alpha"});
    const std::string line = "alpha beta gamma alpha";
    EXPECT_THAT(marked(line, matchMarks(line, 1, q)), ElementsAre("alpha", "gamma"));
}

TEST(MatchMarks, NothingIsMarkedWithoutAPosition) {
    LineQuery q = queryOf(LineQuery::Mode::Single, {"x"});
    EXPECT_THAT(matchMarks("x", 0, q), IsEmpty());
    EXPECT_THAT(matchMarks("x", 5, q), IsEmpty()) << "a position past the line";
    q.invert = true; // lines listed because they do not match
    EXPECT_THAT(matchMarks("x", 1, q), IsEmpty());
}

TEST(MatchMarks, ARunMarksItsMatchRowsOnly) {
    test::TempTree tree;
    test::RecordingHost host;
    StringSlots slots;
    SearchRun run{host, slots};
    tree.write("a.txt", "first Needle\nnone\n");
    host.options.folderBox = tree.root();
    host.options.filespecBox = "*.*";
    host.options.FolderText = tree.root();
    host.options.FilespecText = "*.*";
    host.options.stringBox = "needle";
    ASSERT_EQ(run.DoSearch(), RunResult::Done);
    const StringGrid& g = host.grid_;
    int matchRows = 0;
    for (int r = 0; r < g.rowCount(); ++r) {
        if (g.cell(0, r) == "1") {
            ++matchRows;
            EXPECT_THAT(g.marks(r), ElementsAre(mark(6, 6)));
        } else {
            EXPECT_THAT(g.marks(r), IsEmpty()) << g.cell(1, r);
        }
    }
    EXPECT_EQ(matchRows, 1);

    // The next run clears the grid: no row keeps a mark of the run before.
    host.options.stringBox = "none";
    ASSERT_EQ(run.DoSearch(), RunResult::Done);
    for (int r = 0; r < g.rowCount(); ++r)
        if (g.cell(0, r) == "2")
            EXPECT_THAT(g.marks(r), ElementsAre(mark(0, 4)));
        else
            EXPECT_THAT(g.marks(r), IsEmpty()) << g.cell(1, r);
}
