#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <system_error>

#include "lib/datetime.h"
#include "replace/archive.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::FakeClock;
using vesk::test::readFile;
using vesk::test::TempTree;

namespace {

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        clock.set(encodeDate(2026, 12, 7) + encodeTime(8, 30, 5));
    }
    TempTree t;
    FakeClock clock;
    const long long kMtime = 1796630400; // 07-Dec-26 08:00 UTC
};

const std::string kBar(67, '|');
const std::string kSep1 = "<><><><><><><><><><><><><><><><><><><><><><><><><><><><><><><><><><1";

} // namespace

TEST_F(ArchiveTest, SeparatorsAndHeading) {
    EXPECT_EQ(archiveSeparator(1), kSep1);
    EXPECT_EQ(archiveSeparator(4).size(), 68u);
    EXPECT_EQ(archiveSeparator(4).substr(64), "<><4");
    EXPECT_EQ(archiveHeading(), "-<<<< Vesk Archive >>>>-\r\n" + kBar + "\r\n");
    EXPECT_EQ(archivePathIn("/opt/vesk"), "/opt/vesk/VeskSearchReplaceArchive.jarc");
}

TEST_F(ArchiveTest, FirstEntryOfANewArchiveByteForByte) {
    const std::string file = t.write("src/unit1.pas", "begin\nend.\n");
    t.setMtime("src/unit1.pas", kMtime);
    const std::string archive = t.path("VeskSearchReplaceArchive.jarc");
    std::string error;
    ASSERT_TRUE(xcArchiveFile(archive, file, "Changes=3", clock, &error)) << error;

    // The LF-only file counts two characters per line end in " Size=", its bytes in "size=".
    const std::string info = "Archived:07-Dec-26 ~ 08:30:05 ~ Lines=2 ~  Size=13 ~ " + file +
                             " ~ Changes=3 ~ 07-Dec-26 08:00 size=11";
    const std::string expected = "-<<<< Vesk Archive >>>>-\r\n" + kBar + "\r\n" + kSep1 + "\r\n" +
                                 info + "\r\n" + archiveSeparator(2) + "\r\n" + "begin\r\n" +
                                 "end.\r\n" + archiveSeparator(3) + "\r\n" + info + "\r\n" +
                                 archiveSeparator(4) + "\r\n" + kBar + "\r\n";
    EXPECT_EQ(readFile(archive), expected);

    // A second entry is appended whole; nothing earlier changes.
    ASSERT_TRUE(xcArchiveFile(archive, file, "Changes=1", clock, &error));
    const std::string both = readFile(archive);
    EXPECT_EQ(both.substr(0, expected.size()), expected);
    EXPECT_EQ(both.find("-<<<< Vesk Archive", 1), std::string::npos);
    EXPECT_NE(both.find("Changes=1", expected.size()), std::string::npos);
}

TEST_F(ArchiveTest, EmptyAndMissingFiles) {
    const std::string empty = t.write("empty.txt", "");
    t.setMtime("empty.txt", kMtime);
    ArchiveSource source;
    source.fileName = empty;
    source.hasTime = true;
    source.mtimeSeconds = kMtime;
    EXPECT_EQ(archiveEntry(source, "Changes=0", clock),
              kSep1 + "\r\nArchived:07-Dec-26 ~ 08:30:05 ~ Lines=0 ~  Size=0 ~ " + empty +
                  " ~ Changes=0 ~ 07-Dec-26 08:00 size=0\r\n" + archiveSeparator(2) + "\r\n" +
                  archiveSeparator(3) + "\r\nArchived:07-Dec-26 ~ 08:30:05 ~ Lines=0 ~  Size=0 ~ " +
                  empty + " ~ Changes=0 ~ 07-Dec-26 08:00 size=0\r\n" + archiveSeparator(4) +
                  "\r\n" + kBar + "\r\n");
    source.hasTime = false;
    EXPECT_NE(archiveInfoLine(source, "n", clock).find(" ~ n ~  size=0"), std::string::npos);

    const std::string archive = t.path("a.jarc");
    EXPECT_TRUE(xcArchiveFile(archive, t.path("nothing.txt"), "x", clock));
    EXPECT_EQ(readFile(archive), ""); // nothing was written, not even the heading
}

TEST_F(ArchiveTest, LongLinesAreKeptWhole) {
    const std::string longLine(9000, 'q');
    const std::string file = t.write("long.txt", longLine + "\n");
    const std::string archive = t.path("a.jarc");
    ASSERT_TRUE(xcArchiveFile(archive, file, "x", clock));
    EXPECT_NE(readFile(archive).find("\r\n" + longLine + "\r\n"), std::string::npos);
}

namespace {
// Reports a full disk after `room` bytes have been written.
class FullDisk final : public SaveIo {
public:
    explicit FullDisk(std::size_t room) : room_(room) {}
    ssize_t write(int fd, const char* data, std::size_t size) override {
        if (room_ == 0) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t n = std::min(size, room_);
        room_ -= n;
        return SaveIo::write(fd, data, n);
    }

private:
    std::size_t room_;
};
} // namespace

TEST_F(ArchiveTest, AFailedAppendLeavesTheArchiveAsItWas) {
    const std::string archive = t.path("a.jarc");
    FullDisk fresh(10);
    ArchiveAppend a = appendToArchive(archive, "entry\r\n", fresh);
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.error.find("No space left on device"), std::string::npos);
    EXPECT_EQ(readFile(archive), ""); // the half-written new archive is gone

    ASSERT_TRUE(appendToArchive(archive, "first\r\n").ok);
    const std::string before = readFile(archive);
    FullDisk full(3);
    EXPECT_FALSE(appendToArchive(archive, "second entry\r\n", full).ok);
    EXPECT_EQ(readFile(archive), before);

    // An append that is taken back disappears unless the archive grew since.
    const ArchiveAppend third = appendToArchive(archive, "third\r\n");
    undoArchiveAppend(archive, third);
    EXPECT_EQ(readFile(archive), before);
}

TEST_F(ArchiveTest, AppendLine) {
    const std::string f = t.path("lines.txt");
    xcAppendLine(f, "one");
    xcAppendLine(f, "two");
    EXPECT_EQ(readFile(f), "one\r\ntwo\r\n");
    xcAppendLine(t.path("cut.txt"), std::string(9000, 'z'));
    EXPECT_EQ(readFile(t.path("cut.txt")), std::string(8000, 'z'));
    EXPECT_THROW(xcAppendLine(t.path("no/such/folder/x.txt"), "x"), std::system_error);
}
