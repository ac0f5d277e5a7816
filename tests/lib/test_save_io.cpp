// The one writer the settings save and the exports share.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "lib/save_io.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::TempTree;

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.emplace_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Fails one kind of call with `error`.
class FailingIo final : public SaveIo {
public:
    enum class Call { OpenNew, Write, Fsync, Rename };
    Call failing = Call::Write;
    int error = ENOSPC;
    int openNew(const std::string& path, mode_t mode) override {
        return fails(Call::OpenNew) ? -1 : SaveIo::openNew(path, mode);
    }
    ssize_t write(int fd, const char* data, std::size_t size) override {
        // A disk that fills after a few bytes.
        if (failing == Call::Write && size > 3) return SaveIo::write(fd, data, 3);
        return fails(Call::Write) ? -1 : SaveIo::write(fd, data, size);
    }
    int fsync(int fd) override { return fails(Call::Fsync) ? -1 : SaveIo::fsync(fd); }
    int rename(const std::string& from, const std::string& to) override {
        return fails(Call::Rename) ? -1 : SaveIo::rename(from, to);
    }

private:
    bool fails(Call c) {
        if (c != failing) return false;
        errno = error;
        return true;
    }
};

TEST(ReplaceWholeFile, EveryFailureLeavesTheOldFileAndNothingBesideIt) {
    for (const FailingIo::Call call : {FailingIo::Call::OpenNew, FailingIo::Call::Write,
                                       FailingIo::Call::Fsync, FailingIo::Call::Rename}) {
        TempTree tree;
        const std::string f = tree.write("vesk.INI", "[S]\r\nk=1\r\n");
        FailingIo io;
        io.failing = call;
        const WriteResult r =
            replaceWholeFile(f, "[S]\r\nk=2 and a longer text\r\n", LinkRule::FollowToTarget, io);
        EXPECT_FALSE(r.ok) << static_cast<int>(call);
        EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
        EXPECT_EQ(r.code, ENOSPC);
        EXPECT_EQ(tree.read("vesk.INI"), "[S]\r\nk=1\r\n");
        EXPECT_EQ(entries(tree.root()), std::vector<std::string>{"vesk.INI"});
    }
}

TEST(ReplaceWholeFile, KeepsModeAndAttributesAndRefusesWhatItMayNotWrite) {
    TempTree tree;
    const std::string f = tree.write("export.txt", "old");
    ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
    const bool attributes = ::setxattr(f.c_str(), "user.note", "mine", 4, 0) == 0;
    ASSERT_TRUE(replaceWholeFile(f, "new", LinkRule::Refuse).ok);
    EXPECT_EQ(tree.read("export.txt"), "new");
    struct stat st {};
    ASSERT_EQ(::stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (attributes) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(f.c_str(), "user.note", value, sizeof value), 4);
        EXPECT_STREQ(value, "mine");
    }

    ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
    const WriteResult protectedFile = replaceWholeFile(f, "newer", LinkRule::Refuse);
    EXPECT_FALSE(protectedFile.ok);
    EXPECT_EQ(protectedFile.code, EACCES);
    EXPECT_EQ(tree.read("export.txt"), "new");

    // A link at a name others can predict is refused, its target untouched.
    const std::string target = tree.write("target.txt", "theirs");
    ASSERT_EQ(::symlink(target.c_str(), tree.path("link.txt").c_str()), 0);
    EXPECT_FALSE(replaceWholeFile(tree.path("link.txt"), "x", LinkRule::Refuse).ok);
    EXPECT_EQ(tree.read("target.txt"), "theirs");
}

TEST(WriteRefusal, DecidesByModeBitsAndOwnerNotByAccess) {
    struct stat st {};
    st.st_uid = ::geteuid();
    st.st_mode = S_IFREG | 0644;
    EXPECT_EQ(writeRefusal(st), "");
    st.st_mode = S_IFREG | 0444; // root may write it, yet it is protected
    EXPECT_EQ(writeRefusal(st), "it is write-protected (mode 0444)");
    st.st_mode = S_IFREG | 0666;
    st.st_uid = ::geteuid() + 1;
    EXPECT_EQ(writeRefusal(st), ::geteuid() == 0 ? "" : "it belongs to another user");
}

TEST(ReadRegularFile, RefusesWhatIsNotAFileWithoutWaiting) {
    TempTree tree;
    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string out;
    EXPECT_EQ(readRegularFile(fifo, out), EINVAL);
    EXPECT_EQ(readRegularFile(tree.mkdir("folder"), out), EINVAL);
    EXPECT_EQ(readRegularFile(tree.path("missing"), out), ENOENT);
    const std::string big(200000, 'b');
    EXPECT_EQ(readRegularFile(tree.write("big", big), out), 0);
    EXPECT_EQ(out, big);
}

} // namespace
} // namespace vesk
