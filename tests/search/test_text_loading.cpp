#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "search/lines.h"
#include "search/text_file_reader.h"
#include "search/text_test.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::holdsAnythingUnder;
using vesk::test::TempTree;

TEST(TextTest, Thresholds) {
    struct Case {
        std::string bytes;
        bool isText;
    };
    std::string fiveBad = std::string(995, 'a') + std::string(5, '\x01');
    std::string sixBad = std::string(994, 'a') + std::string(6, '\x01');
    const Case cases[] = {
        {"", false},                      // empty is not text
        {std::string("a\0", 2), true},    // one against one
        {std::string("a\0\0", 3), false}, // 1 < 2
        {fiveBad, true},
        {sixBad, false},
        {std::string("\xE9t\xE9\xE9\xE9\xE9\xE9 abc"), false},  // more than five bytes above 127
        {std::string(1000, 'a') + std::string(10, '\0'), true}, // only the first 1000 bytes count
        {"tab\there\fform\r\n", true},
    };
    for (const Case& c : cases) {
        const TextTestResult r = classifyTextBytes(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(r.isText, c.isText) << "case of " << c.bytes.size() << " bytes";
    }
}

// Bytes of 128 and above count as text inside well-formed UTF-8 sequences and only there.
TEST(TextTest, WellFormedUtf8IsTextAndIllFormedBytesAreNot) {
    struct Case {
        std::string bytes;
        std::int64_t text, nonText;
    };
    const std::string e = "\xC3\xA9"; // U+00E9
    const Case cases[] = {
        {"caf" + e + " na\xC3\xAFve \xE2\x82\xAC \xF0\x9F\x98\x80", 21,
         0},                                       // 2-, 3- and 4-byte sequences
        {"\xC0\xAF\xC1\xBF", 0, 4},                // overlong two-byte forms
        {"\xE0\x80\xAF", 0, 3},                    // overlong three-byte form
        {"\xED\xA0\x80", 0, 3},                    // a surrogate
        {"\xF4\x90\x80\x80\xF5\x80", 0, 6},        // above U+10FFFF, and a byte never used
        {"\xA9" + e + "\xC3", 2, 2},               // stray continuation; lead at the file's end
        {"\xE2\x82" + std::string("x") + e, 3, 2}, // a sequence broken by an ASCII byte
        {"ab\xE9"
         "cd",
         4, 1}, // Latin-1 stays non-text
    };
    for (const Case& c : cases) {
        const TextTestResult r = classifyTextBytes(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(r.textBytes, c.text) << c.bytes;
        EXPECT_EQ(r.nonTextBytes, c.nonText) << c.bytes;
    }
    std::string accents;
    while (accents.size() < 990)
        accents += "r" + e + "sum" + e + " ";
    EXPECT_TRUE(classifyTextBytes(accents.data(), accents.size()).isText);
    accents.replace(10, 6, "\xE9\xE9\xE9\xE9\xE9\xE9"); // six Latin-1 letters still make it binary
    EXPECT_FALSE(classifyTextBytes(accents.data(), accents.size()).isText);
}

// A sequence cut by the end of the 1000 bytes: text when the file goes on, not when it ends there.
TEST(TextTest, Utf8SequenceCutAtTheEndOfTheBlock) {
    const std::string block = std::string(998, 'a') + "\xE2\x82";
    const std::string longer = block + "\xAC more";
    const TextTestResult goesOn = classifyTextBytes(longer.data(), longer.size());
    EXPECT_EQ(goesOn.textBytes, 1000);
    const TextTestResult ends = classifyTextBytes(block.data(), block.size());
    EXPECT_EQ(ends.nonTextBytes, 2);
    EXPECT_EQ(classifyTextBytes(block.data(), block.size(), true).textBytes, 1000);
    const std::string badPrefix = std::string(998, 'a') + "\xE0\x80" + "more";
    EXPECT_EQ(classifyTextBytes(badPrefix.data(), badPrefix.size()).nonTextBytes, 2);

    TempTree t;
    t.write("cut.txt", longer);
    EXPECT_EQ(xcIsTextFileAndLoadable(t.path("cut.txt")).textBytes, 1000);
    t.write("ends.txt", block);
    EXPECT_EQ(xcIsTextFileAndLoadable(t.path("ends.txt")).nonTextBytes, 2);
}

TEST(TextTest, FileErrorsBecomeTheErrorText) {
    TempTree t;
    const TextTestResult missing = xcIsTextFileAndLoadable(t.path("nope.txt"));
    EXPECT_FALSE(missing.isText);
    EXPECT_EQ(missing.error, "No such file or directory");
    t.write("u16.txt", std::string("h\0e\0l\0l\0o\0 \0w\0o\0r\0l\0d\0", 22));
    EXPECT_FALSE(xcIsTextFileAndLoadable(t.path("u16.txt")).isText);
}

TEST(Lines, BreakRules) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\nb\nc", {"a", "b", "c"}},
        {"a\rb\rc\r", {"a", "b", "c"}},
        {"a\r\nb\r\nc\r\n", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}}, // LF CR is two breaks
        {"\n", {""}},
        {"a\n\n", {"a", ""}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string_view> got;
        splitLines(c.text, got);
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.lines) << c.text;
        EXPECT_EQ(countLines(c.text), c.lines.size()) << c.text;
    }
    EXPECT_EQ(textBeforeNul(std::string_view("ab\0cd", 5)), "ab");
}

TEST(Lines, VectorCountAgreesAcrossBlockBoundaries) {
    // CR LF pairs straddling every 16-byte boundary, and calls split at every offset.
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += std::string(static_cast<std::size_t>(i % 19), 'x') + (i % 3   ? "\r\n"
                                                                      : i % 2 ? "\r"
                                                                              : "\n");
    std::vector<std::string_view> lines;
    splitLines(text, lines);
    for (std::size_t cut = 0; cut <= text.size(); cut += 7) {
        bool prevCR = false;
        std::uint64_t n = countBreaks(text.data(), cut, prevCR);
        n += countBreaks(text.data() + cut, text.size() - cut, prevCR);
        EXPECT_EQ(n, lines.size()) << "cut at " << cut;
    }
}

TEST(Lines, LongLineFeedOnlyTextsCountPastEveryLaneLimit) {
    // More than 255 vector blocks between drains, and a CR appearing only at the very end.
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += std::string(static_cast<std::size_t>(i % 7), 'a') + "\n";
    EXPECT_EQ(countLines(text), 40000u);
    text += "tail\r";
    EXPECT_EQ(countLines(text), 40001u);
    text += "\n";
    EXPECT_EQ(countLines(text), 40001u); // CR LF is one break
}

TEST(Reader, SegmentsHoldWholeLinesAndStopAtNul) {
    TempTree t;
    std::string big;
    for (int i = 0; i < 400000; ++i)
        big += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    big += std::string("tail\0hidden\n", 12);
    t.write("big.txt", big);
    TextFileReader reader;
    std::string error;
    ASSERT_TRUE(reader.open(t.path("big.txt"), error)) << error;
    std::string seen;
    std::string_view seg;
    int segments = 0;
    while (reader.nextSegment(seg, error) && !seg.empty()) {
        ++segments;
        seen.append(seg);
    }
    EXPECT_EQ(seen, big.substr(0, big.find('\0')));
    EXPECT_GE(segments, 1);
    EXPECT_FALSE(reader.open(t.path("gone.txt"), error));
    EXPECT_EQ(error, "No such file or directory");
}

// A sparse file of 5 GB: 1001 text bytes, then zeros. The reader must stop at the first zero, not
// hold the rest in memory.
TEST(Reader, TextFollowedByGigabytesOfNulsEndsAtTheNul) {
    TempTree t;
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line " + std::to_string(1000 + i) + "\n";
    text += "x"; // the last line ends at the first zero
    ASSERT_EQ(text.size(), 1001u);
    const std::string path = t.write("sparse.txt", text);
    ASSERT_EQ(truncate(path.c_str(), 5LL << 30), 0);
    TextFileReader reader;
    std::string error;
    ASSERT_TRUE(reader.open(path, error)) << error;
    EXPECT_EQ(reader.fileSize(), 5ULL << 30);
    std::string seen;
    std::string_view seg;
    while (reader.nextSegment(seg, error) && !seg.empty())
        seen.append(seg);
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_EQ(seen, text);
}

namespace {
std::string readAll(TextFileReader& reader, const std::string& path) {
    std::string error, seen;
    if (!reader.open(path, error)) return "error: " + error;
    std::string_view seg;
    while (reader.nextSegment(seg, error) && !seg.empty())
        seen.append(seg);
    if (!error.empty()) return "error: " + error;
    return seen;
}
} // namespace

// A FIFO or a folder in a listed file's place is refused, never read as an empty file, and the
// run never hangs waiting for a writer.
TEST(Reader, NeverReadsAFifoOrAFolder) {
    TempTree t;
    ASSERT_EQ(mkfifo(t.path("pipe").c_str(), 0600), 0);
    t.write("sub/x.txt", "x\n");
    for (const bool trustShortReads : {true, false}) {
        TextFileReader reader(trustShortReads);
        EXPECT_EQ(readAll(reader, t.path("pipe")), "error: not a regular file");
        EXPECT_EQ(readAll(reader, t.path("sub")), "error: not a regular file");
        EXPECT_EQ(readAll(reader, t.path("sub/x.txt")), "x\n");
    }
}

// Sizes around the buffer's first capacity and the read block: every byte comes in, whether a
// short read ends the file or its size does.
TEST(Reader, FilesOfEverySizeComeInWhole) {
    TempTree t;
    std::string text;
    for (int i = 0; text.size() < 2'700'000; ++i)
        text += "line " + std::to_string(i) + (i % 3 ? "\n" : "\r\n");
    const std::size_t k = 1024;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{999}, 256 * k - 1, 256 * k, 256 * k + 1,
          1024 * k - 1, 1024 * k, 1024 * k + 1, 2'600'000 + std::size_t{7}}) {
        const std::string body = text.substr(0, size);
        const std::string path = t.write("f" + std::to_string(size) + ".txt", body);
        for (const bool trustShortReads : {true, false}) {
            TextFileReader reader(trustShortReads);
            EXPECT_EQ(readAll(reader, path), body) << size << " " << trustShortReads;
            // Again with the buffer the larger files left behind.
            EXPECT_EQ(readAll(reader, t.write("small.txt", "a\nb")), "a\nb");
            EXPECT_EQ(readAll(reader, path), body) << size << " " << trustShortReads;
        }
    }
}

// Files are opened relative to the folder of the file before: a file of another folder or of a
// folder that cannot be opened must still be the one its path names.
TEST(Reader, FilesOfEachFolderComeFromThatFolder) {
    TempTree t;
    t.write("a/same.txt", "in a\n");
    t.write("b/same.txt", "in b\n");
    t.write("a/other.txt", "other in a\n");
    TextFileReader reader;
    EXPECT_EQ(readAll(reader, t.path("a/same.txt")), "in a\n");
    EXPECT_EQ(readAll(reader, t.path("b/same.txt")), "in b\n");
    EXPECT_EQ(readAll(reader, t.path("b/gone.txt")), "error: No such file or directory");
    EXPECT_EQ(readAll(reader, t.path("no-folder/x.txt")), "error: No such file or directory");
    EXPECT_EQ(readAll(reader, t.path("a/same.txt")), "in a\n");
    EXPECT_EQ(readAll(reader, t.path("a/other.txt")), "other in a\n");
    reader.close();
    EXPECT_TRUE(holdsAnythingUnder(t.root())); // the folder is kept for the next file
    reader.closeAll();
    EXPECT_FALSE(holdsAnythingUnder(t.root()));
}
