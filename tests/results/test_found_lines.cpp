// The lines the built-in viewer and the window around a found line show: which file and line a
// result row asks for, the rows around the line, and files that are gone or have changed.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "results/file_lines.h"
#include "results/found_window.h"
#include "results/view_window.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using namespace std::string_literals;
using test::TempTree;
using Texts = std::vector<std::string>;

std::string numberedLines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    return text;
}

Texts column(const StringGrid& g, int col) {
    Texts out;
    for (int r = 0; r < g.rowCount(); ++r)
        out.emplace_back(g.cell(col, r));
    return out;
}

TEST(FileLines, SplitsAtEveryKindOfBreakAndStopsAtNul) {
    TempTree tree;
    FileLines lines;
    std::string error;
    ASSERT_TRUE(lines.load(tree.write("a.txt", "a\r\nb\rc\n\nd\0hidden\n"s), error)) << error;
    ASSERT_EQ(lines.count(), 5u);
    Texts got;
    for (std::size_t i = 1; i <= lines.count(); ++i)
        got.emplace_back(lines.line(i));
    EXPECT_EQ(got, (Texts{"a", "b", "c", "", "d"}));
    EXPECT_EQ(lines.line(0), "");
    EXPECT_EQ(lines.line(6), "");
}

TEST(FileLines, FailuresKeepWhatWasHeldAndSayWhy) {
    TempTree tree;
    FileLines lines;
    std::string error;
    ASSERT_TRUE(lines.load(tree.write("a.txt", "kept\n"), error));
    EXPECT_FALSE(lines.load(tree.path("gone.txt"), error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(lines.load(tree.mkdir("folder"), error));
    EXPECT_EQ(error, "Is a directory");
    ASSERT_EQ(lines.count(), 1u);
    EXPECT_EQ(lines.line(1), "kept");
}

TEST(ViewWindow, TargetFromTheCurrentResultRow) {
    struct Case {
        const char* column0;
        int line;
    };
    for (const Case c : {Case{"17", 17}, Case{" 17", 17}, Case{"", 0}, Case{"-1", -1},
                         Case{"1,024", 0}, Case{"12x", 0}}) {
        StringGrid results(4, 3);
        results.setCell(0, 1, c.column0);
        results.setCell(2, 1, "/src/a.pas");
        results.setRow(1);
        const ViewTarget t = viewTargetOf(results);
        EXPECT_EQ(t.file, "/src/a.pas");
        EXPECT_EQ(t.line, c.line) << c.column0;
    }
}

TEST(ViewWindow, NumbersEveryLineUnderTheHeaderAndSelectsTheFoundOne) {
    TempTree tree;
    const std::string file = tree.write("a.txt", "alpha\nbeta\ngamma\n");
    StringGrid g;
    setUpViewGrid(g);
    for (const int line : {1, 3}) {
        const ViewFill fill = fillViewGrid(g, {file, line});
        EXPECT_TRUE(fill.loaded);
        EXPECT_EQ(fill.caption, file);
        EXPECT_EQ(column(g, 0), (Texts{"", "1", "2", "3"}));
        EXPECT_EQ(column(g, 1), (Texts{"", "alpha", "beta", "gamma"}));
        EXPECT_EQ(g.row(), line);
    }
    // A line the file does not have (a heading row's 0, an error row's -1, a shorter file):
    // the first line, not the header and not the row of the previous showing.
    for (const int line : {0, -1, 4}) {
        fillViewGrid(g, {file, 3});
        fillViewGrid(g, {file, line});
        EXPECT_EQ(g.row(), 1) << line;
    }
}

TEST(ViewWindow, AFileThatIsGoneShowsNoRowsOfTheLastOne) {
    TempTree tree;
    StringGrid g;
    setUpViewGrid(g);
    fillViewGrid(g, {tree.write("a.txt", numberedLines(50)), 40});
    const ViewFill fill = fillViewGrid(g, {tree.path("gone.txt"), 40});
    EXPECT_FALSE(fill.loaded);
    EXPECT_EQ(fill.caption, tree.path("gone.txt") + " - No such file or directory");
    EXPECT_EQ(column(g, 0), (Texts{"", ""}));
    EXPECT_EQ(column(g, 1), (Texts{"", ""}));
    EXPECT_EQ(g.row(), 1);
}

TEST(ViewWindow, Fonts) {
    EXPECT_EQ(viewWindowFont(true).family, "Courier New");
    EXPECT_EQ(viewWindowFont(true).pointSize, 9);
    EXPECT_EQ(viewWindowFont(false).family, "Verdana");
    EXPECT_EQ(viewWindowFont(false).pointSize, 8);
}

TEST(FoundWindow, ElevenRowsAroundTheLine) {
    TempTree tree;
    FileLines lines;
    std::string error;
    ASSERT_TRUE(lines.load(tree.write("a.txt", numberedLines(100)), error));
    struct Case {
        int line;
        Texts numbers;
        int row;
    };
    const Case cases[] = {
        {2, {"1", "2", "3", "4", "5", "6", "7", "", "", "", ""}, 1},
        {0, {"1", "2", "3", "4", "5", "", "", "", "", "", ""}, -1},
        {50, {"45", "46", "47", "48", "49", "50", "51", "52", "53", "54", "55"}, 5},
        {99, {"94", "95", "96", "97", "98", "99", "100", "", "", "", ""}, 5},
        {104, {"99", "100", "", "", "", "", "", "", "", "", ""}, -1}, // the file got shorter
    };
    StringGrid g;
    setUpFoundWindowGrid(g);
    for (const Case& c : cases) {
        EXPECT_EQ(fillFoundWindow(g, lines, c.line), c.row) << c.line;
        EXPECT_EQ(column(g, 0), c.numbers) << c.line;
        for (int r = 0; r < kFoundWindowRows; ++r) {
            const std::string n(g.cell(0, r));
            EXPECT_EQ(g.cell(1, r), n.empty() ? "" : "line " + n) << c.line;
        }
        if (c.row >= 0) {
            EXPECT_EQ(g.row(), c.row);
        }
    }
    EXPECT_EQ(foundWindowClientHeight(16), 198);
}

TEST(FoundWindow, FoundLineOfColumnZero) {
    EXPECT_EQ(foundLineOf("12"), 12);
    EXPECT_EQ(foundLineOf("1,024"), 1024); // xcParseNumber ignores thousands separators
    EXPECT_EQ(foundLineOf(""), 0);
    EXPECT_EQ(foundLineOf("-1"), 0);
    EXPECT_EQ(foundLineOf("abc"), 0);
    EXPECT_EQ(foundLineOf("99999999999"), 0);
}

TEST(FoundWindow, LinesAreHeldWhileTheFileStaysTheSame) {
    TempTree tree;
    const std::string a = tree.write("a.txt", "old\n");
    FoundWindowSource source;
    std::string message;
    ASSERT_TRUE(source.hold(a, message));
    tree.write("a.txt", "new\n");
    ASSERT_TRUE(source.hold(a, message));
    EXPECT_EQ(source.lines().line(1), "old");

    EXPECT_FALSE(source.hold(tree.path("gone.txt"), message));
    EXPECT_EQ(message,
              "Cannot open file \"" + tree.path("gone.txt") + "\". No such file or directory");
    EXPECT_EQ(source.file(), a);
    EXPECT_EQ(source.lines().line(1), "old");

    const std::string b = tree.write("b.txt", "bee\n");
    ASSERT_TRUE(source.hold(b, message));
    EXPECT_EQ(source.lines().line(1), "bee");
    ASSERT_TRUE(source.hold(a, message));
    EXPECT_EQ(source.lines().line(1), "new");
}

// The result grid of a run that found "beta" in line 2 of `file`.
void resultRowFor(StringGrid& results, const std::string& file, std::string_view text) {
    results.setRowCount(2);
    results.setCell(1, 0, file); // the heading row
    results.setCell(2, 0, file);
    results.setCell(0, 1, "2");
    results.setCell(1, 1, text);
    results.setCell(2, 1, file);
    results.setCell(3, 1, "3");
    const TextMark found{2, 4};
    results.setMarks(1, std::span<const TextMark>(&found, 1));
    results.setRow(1);
}

TEST(FoundLineMarks, TheViewerAndTheFoundWindowMarkTheUnchangedFoundLine) {
    TempTree tree;
    const std::string file = tree.write("a.txt", "alpha\nonbeta\ngamma\n");
    StringGrid results;
    resultRowFor(results, file, "onbeta");
    const std::vector<TextMark> want{{2, 4}};

    StringGrid view;
    setUpViewGrid(view);
    fillViewGrid(view, viewTargetOf(results));
    for (int r = 0; r < view.rowCount(); ++r)
        EXPECT_EQ(std::vector<TextMark>(view.marks(r).begin(), view.marks(r).end()),
                  r == 2 ? want : std::vector<TextMark>{})
            << r;

    FileLines lines;
    std::string error;
    ASSERT_TRUE(lines.load(file, error));
    StringGrid around;
    setUpFoundWindowGrid(around);
    const int row = fillFoundWindow(around, lines, 2, foundLineMarksOf(results, 1));
    ASSERT_EQ(row, 1);
    EXPECT_EQ(std::vector<TextMark>(around.marks(1).begin(), around.marks(1).end()), want);
    // Shown again around another line, the rows keep no mark of the earlier showing.
    fillFoundWindow(around, lines, 3, {});
    for (int r = 0; r < kFoundWindowRows; ++r)
        EXPECT_TRUE(around.marks(r).empty()) << r;
}

TEST(FoundLineMarks, AChangedLineOrAHeadingRowIsNotMarked) {
    TempTree tree;
    const std::string file = tree.write("a.txt", "alpha\nchanged since\ngamma\n");
    StringGrid results;
    resultRowFor(results, file, "onbeta");
    StringGrid view;
    setUpViewGrid(view);
    fillViewGrid(view, viewTargetOf(results));
    EXPECT_TRUE(view.marks(2).empty()) << "marks of another text would mark the wrong letters";
    EXPECT_TRUE(foundLineMarksOf(results, 0).marks.empty()) << "heading row";
}

} // namespace
} // namespace vesk
