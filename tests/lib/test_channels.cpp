// The file channels.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "lib/channels.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::readFile;
using test::ScriptedDialogs;
using test::TempTree;

class ChannelsTest : public ::testing::Test {
protected:
    TempTree tree;
    ScriptedDialogs dialogs;
    ChannelTable channels{dialogs};

    // Opens `name` on channel 5 in "O" mode, writes `text` and returns the file's bytes.
    std::string writeOne(std::string_view text) {
        const std::string f = tree.path("out.txt");
        EXPECT_TRUE(channels.open(5, "O", f));
        channels.write(5, text);
        channels.close(5);
        return readFile(f);
    }
};

TEST_F(ChannelsTest, WriteEndsEveryTextWithOneCrLf) {
    EXPECT_EQ(writeOne("abc"), "abc\r\n");
    EXPECT_EQ(writeOne("abc\r\n"), "abc\r\n"); // one line end, not two
    EXPECT_EQ(writeOne(""), "\r\n");
    EXPECT_EQ(writeOne("\r\n"), "\r\n");
    EXPECT_EQ(writeOne("abc\r\n\r\n"), "abc\r\n\r\n"); // only one CR LF is dropped
    EXPECT_EQ(writeOne("abc\n"), "abc\n\r\n");         // a lone LF is text
    EXPECT_EQ(writeOne(std::string("a\0b", 3)), std::string("a\0b\r\n", 5));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ChannelsTest, WriteCutsTheTextTo8000Characters) {
    const std::string text = std::string(8000, 'x') + std::string(1000, 'y');
    EXPECT_EQ(writeOne(text), std::string(8000, 'x') + "\r\n");
    EXPECT_EQ(writeOne(std::string(8000, 'z')), std::string(8000, 'z') + "\r\n");
    // A CR LF that ends the cut text is the one dropped.
    EXPECT_EQ(writeOne(std::string(7998, 'x') + "\r\nyyy"), std::string(7998, 'x') + "\r\n");
}

TEST_F(ChannelsTest, OutputModeEmptiesAnExistingFileAndFillsTheEntry) {
    const std::string f = tree.write("old.txt", "old content\r\n");
    ASSERT_TRUE(channels.open(7, "o", "  " + f + "  "));
    const ChannelEntry& e = channels.entry(7);
    EXPECT_TRUE(e.open);
    EXPECT_EQ(e.mode, 'O');
    EXPECT_EQ(e.fileName, f); // trimmed
    EXPECT_EQ(e.shortName, f);
    EXPECT_EQ(e.position, 0);
    EXPECT_EQ(e.lineLength, 0);
    EXPECT_EQ(e.recordLength, 0);
    EXPECT_EQ(e.recordCount, 0);
    channels.write(7, "new");
    channels.close(7);
    EXPECT_FALSE(channels.entry(7).open);
    EXPECT_EQ(readFile(f), "new\r\n");
}

TEST_F(ChannelsTest, AppendModeCreatesOrAppends) {
    const std::string f = tree.path("log.txt");
    ASSERT_TRUE(channels.open(kLogChannel, "A", f));
    EXPECT_EQ(channels.entry(kLogChannel).position, 0);
    channels.write(kLogChannel, "one");
    channels.close(kLogChannel);
    ASSERT_TRUE(channels.open(kLogChannel, "a", f));
    EXPECT_EQ(channels.entry(kLogChannel).mode, 'A');
    EXPECT_EQ(channels.entry(kLogChannel).position, 5); // the size at opening
    channels.write(kLogChannel, "two");
    channels.write(kLogChannel, "three\r\n");
    channels.close(kLogChannel);
    EXPECT_EQ(readFile(f), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(ChannelsTest, AppendModeWritesAfterWhatAnotherProgramAppendedMeanwhile) {
    const std::string f = tree.write("log.txt", "first\r\n");
    ASSERT_TRUE(channels.open(kLogChannel, "A", f));
    {
        // Another program appends to the same log while the channel is open.
        const int other = ::open(f.c_str(), O_WRONLY | O_APPEND);
        ASSERT_GE(other, 0);
        ASSERT_EQ(::write(other, "theirs\r\n", 8), 8);
        ::close(other);
    }
    channels.write(kLogChannel, "ours");
    channels.close(kLogChannel);
    EXPECT_EQ(readFile(f), "first\r\ntheirs\r\nours\r\n");
}

TEST_F(ChannelsTest, AFifoAtTheNameIsRefusedWithoutWaiting) {
    const std::string fifo = tree.path("log.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const char* mode : {"A", "O", "I", "U"})
        EXPECT_FALSE(channels.open(3, mode, fifo)) << mode;
    EXPECT_EQ(dialogs.messages.size(), 4u);
    EXPECT_FALSE(channels.isOpen(3));
    // Opening the file itself never blocks either, even should it turn into a FIFO after the
    // check.
    EXPECT_THROW(ChannelFile::open(fifo, 'A'), std::system_error);
}

TEST_F(ChannelsTest, InputModeMeasuresTheFirstRecord) {
    const std::string f = tree.write("rec.txt", "abcd\r\nefgh\r\nij");
    ASSERT_TRUE(channels.open(3, "I", f));
    const ChannelEntry& e = channels.entry(3);
    EXPECT_EQ(e.mode, 'I');
    EXPECT_EQ(e.lineLength, 4);
    EXPECT_EQ(e.recordLength, 6);
    EXPECT_EQ(e.recordCount, 14 / 6);
    EXPECT_EQ(e.position, 0);
    channels.close(3);

    const std::string g = tree.write("flat.txt", "no line end here");
    ASSERT_TRUE(channels.open(3, "U", g));
    EXPECT_EQ(channels.entry(3).mode, 'U');
    EXPECT_EQ(channels.entry(3).lineLength, 0);
    EXPECT_EQ(channels.entry(3).recordLength, 1);
    EXPECT_EQ(channels.entry(3).recordCount, 16);
    channels.close(3);

    // A CR LF beyond the first 5000 bytes is not seen.
    const std::string h = tree.write("long.txt", std::string(5000, 'a') + "\r\n");
    ASSERT_TRUE(channels.open(3, "I", h));
    EXPECT_EQ(channels.entry(3).recordLength, 1);
    EXPECT_EQ(channels.entry(3).recordCount, 5002);
    channels.close(3);
}

TEST_F(ChannelsTest, ReadLinesOneByOne) {
    const std::string f = tree.write("lines.txt", "first\r\nsecond line\r\n\r\nlast\r\n");
    ASSERT_TRUE(channels.open(4, "I", f));
    std::string line;
    bool eof = true;
    channels.readLine(4, line, eof);
    EXPECT_EQ(line, "first");
    EXPECT_FALSE(eof);
    EXPECT_EQ(channels.entry(4).position, 7);
    channels.readLine(4, line, eof);
    EXPECT_EQ(line, "second line");
    EXPECT_FALSE(eof);
    channels.readLine(4, line, eof);
    EXPECT_EQ(line, "");
    EXPECT_FALSE(eof);
    channels.readLine(4, line, eof);
    EXPECT_EQ(line, "last");
    EXPECT_TRUE(eof);
    EXPECT_EQ(channels.counters().reads, 4);
    channels.close(4);
}

TEST_F(ChannelsTest, ALineWithoutCrLfReturnsTheWholeBlockPaddedWithBlanks) {
    const std::string f = tree.write("tail.txt", "head\r\ntail");
    ASSERT_TRUE(channels.open(4, "I", f));
    std::string line;
    bool eof = false;
    channels.readLine(4, line, eof);
    EXPECT_EQ(line, "head");
    channels.readLine(4, line, eof);
    EXPECT_EQ(line.size(), kReadBlock);
    EXPECT_EQ(line, "tail" + std::string(kReadBlock - 4, ' '));
    EXPECT_EQ(channels.entry(4).position, 6); // not moved
    EXPECT_FALSE(eof);
    channels.close(4);
}

TEST_F(ChannelsTest, InvalidOpensShowTheMessageAndOpenNothing) {
    const std::string existing = tree.write("x.txt", "x\r\n");
    const std::string missing = tree.path("missing.txt");
    const std::string folder = tree.mkdir("folder");

    EXPECT_FALSE(channels.open(41, "a", existing));
    EXPECT_FALSE(channels.open(-1, "O", existing));
    EXPECT_FALSE(channels.open(2, "i", missing));
    EXPECT_FALSE(channels.open(2, "u", missing));
    EXPECT_FALSE(channels.open(2, "O", folder));
    EXPECT_FALSE(channels.open(2, "A", folder));
    EXPECT_FALSE(channels.open(2, "I", folder));
    EXPECT_FALSE(channels.open(2, "A", "   "));
    EXPECT_FALSE(channels.open(2, "x", existing)); // not a mode letter
    ASSERT_EQ(dialogs.messages.size(), 9u);
    EXPECT_EQ(dialogs.messages[0],
              "Ostrel: Invalid open for file :" + existing + " mode=A chan=41");
    EXPECT_EQ(dialogs.messages[1],
              "Ostrel: Invalid open for file :" + existing + " mode=O chan=-1");
    EXPECT_EQ(dialogs.messages[2], "Ostrel: Invalid open for file :" + missing + " mode=I chan=2");
    EXPECT_EQ(dialogs.messages[3], "Ostrel: Invalid open for file :" + missing + " mode=U chan=2");
    EXPECT_EQ(dialogs.messages[4], "Ostrel: Invalid open for file :" + folder + " mode=O chan=2");
    EXPECT_EQ(dialogs.messages[7], "Ostrel: Invalid open for file : mode=A chan=2");
    EXPECT_EQ(dialogs.messages[8], "Ostrel: Invalid open for file :" + existing + " mode=X chan=2");
    EXPECT_FALSE(channels.isOpen(2));
    EXPECT_EQ(channels.counters().opens, 0);
    EXPECT_FALSE(tree.read("missing.txt").size());

    // Writing or reading on the refused channel does nothing.
    channels.write(2, "lost");
    std::string line = "before";
    bool eof = false;
    channels.readLine(2, line, eof);
    EXPECT_EQ(line, "");
    EXPECT_TRUE(eof);
    channels.write(41, "lost");
    channels.close(41);
    channels.close(-1);
    EXPECT_EQ(channels.counters().closes, 0);
}

TEST_F(ChannelsTest, ARefusedOpenLeavesTheChannelAsItWas) {
    const std::string f = tree.path("kept.txt");
    ASSERT_TRUE(channels.open(9, "O", f));
    EXPECT_FALSE(channels.open(9, "I", tree.path("missing.txt")));
    EXPECT_TRUE(channels.isOpen(9));
    EXPECT_EQ(channels.entry(9).fileName, f);
    channels.write(9, "still here");
    channels.close(9);
    EXPECT_EQ(readFile(f), "still here\r\n");
}

TEST_F(ChannelsTest, OpeningAnOpenChannelClosesItFirst) {
    const std::string a = tree.path("a.txt");
    const std::string b = tree.path("b.txt");
    ASSERT_TRUE(channels.open(kArchiveChannel, "O", a));
    channels.write(kArchiveChannel, "to a");
    ASSERT_TRUE(channels.open(kArchiveChannel, "A", b));
    EXPECT_EQ(channels.counters().closes, 1);
    EXPECT_EQ(channels.entry(kArchiveChannel).fileName, b);
    channels.write(kArchiveChannel, "to b");
    channels.close(kArchiveChannel);
    EXPECT_EQ(readFile(a), "to a\r\n");
    EXPECT_EQ(readFile(b), "to b\r\n");
    const ChannelCounters& c = channels.counters();
    EXPECT_EQ(c.opens, 2);
    EXPECT_EQ(c.closes, 2);
    EXPECT_EQ(c.writesTotal, 2);
    EXPECT_EQ(c.writes[kArchiveChannel], 2);
}

TEST_F(ChannelsTest, ChannelZeroWorksWithoutATableEntry) {
    const std::string f = tree.path("zero.txt");
    ASSERT_TRUE(channels.open(0, "O", f));
    EXPECT_TRUE(channels.isOpen(0));
    EXPECT_FALSE(channels.entry(0).open);
    EXPECT_EQ(channels.entry(0).fileName, "");
    channels.write(0, "zero");
    EXPECT_EQ(channels.counters().writesTotal, 1);
    channels.close(0);
    EXPECT_FALSE(channels.isOpen(0));
    EXPECT_EQ(readFile(f), "zero\r\n");
}

TEST_F(ChannelsTest, XcRoutinesOpenWriteReadAndCloseLikeTheMembers) {
    const std::string f = tree.path("names.txt");
    ASSERT_TRUE(xcOpenChannel(channels, 1, "A", f));
    xcWriteChannel(channels, 1, "line");
    xcCloseChannel(channels, 1);
    ASSERT_TRUE(xcOpenChannel(channels, 1, "I", f));
    std::string line;
    bool eof = false;
    xcReadChannelLine(channels, 1, line, eof);
    xcCloseChannel(channels, 1);
    EXPECT_EQ(line, "line");
    EXPECT_TRUE(eof);
}

TEST_F(ChannelsTest, FileSystemErrorsAreThrownWithTheSystemText) {
    const std::string f = tree.path("no/such/folder/file.txt");
    try {
        channels.open(6, "O", f);
        FAIL() << "no exception";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOENT);
        EXPECT_NE(std::string(e.what()).find(f), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos);
    }
    EXPECT_FALSE(channels.isOpen(6));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ChannelsTest, PathTokens) {
    EXPECT_EQ(channels.expandPath("  /a/b.txt "), "/a/b.txt");
    // Both base folders are empty in this system: a leading token is just removed.
    EXPECT_EQ(channels.expandPath(" {1}/a.txt"), "/a.txt");
    EXPECT_EQ(channels.expandPath("{2}b.txt"), "b.txt");
    EXPECT_EQ(channels.expandPath("/x/{1}"), "/x/{1}");
    EXPECT_EQ(channels.shortenPath("/a/b.txt"), "/a/b.txt");

    channels.baseFolder1 = tree.root();
    channels.baseFolder2 = "/srv/data/";
    EXPECT_EQ(channels.expandPath("{1}x.txt"), tree.root() + "x.txt");
    EXPECT_EQ(channels.expandPath("{2}y.txt"), "/srv/data/y.txt");
    EXPECT_EQ(channels.shortenPath(tree.root() + "x.txt"), "{1}x.txt");
    EXPECT_EQ(channels.shortenPath("/srv/data/y.txt"), "{2}y.txt");
    EXPECT_EQ(channels.shortenPath("/other/srv/data/y.txt"), "/other/srv/data/y.txt");

    ASSERT_TRUE(channels.open(8, "O", "{1}tok.txt"));
    EXPECT_EQ(channels.entry(8).fileName, tree.root() + "tok.txt");
    EXPECT_EQ(channels.entry(8).shortName, "{1}tok.txt");
    channels.close(8);
    EXPECT_EQ(tree.read("tok.txt"), "");
}

TEST(ChannelMessages, CloseErrorTexts) {
    EXPECT_EQ(closeErrorMessage("std::system_error", "Input/output error"),
              "std::system_error error raised, with message : Input/output error");
    EXPECT_EQ(closeErrorDetail(21, "/a/b.log", "std::system_error", "Input/output error"),
              "Close fs for chan=21 file=/a/b.log std::system_error Error=Input/output error");
}

TEST(ChannelLineBytes, MatchesTheWriteRule) {
    EXPECT_EQ(channelLineBytes("x"), "x\r\n");
    EXPECT_EQ(channelLineBytes("x\r\n"), "x\r\n");
    EXPECT_EQ(channelLineBytes(std::string(9000, 'q')), std::string(8000, 'q') + "\r\n");
}

} // namespace
} // namespace vesk
