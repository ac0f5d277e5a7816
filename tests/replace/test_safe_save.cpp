#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "replace/safe_save.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::readFile;
using vesk::test::TempTree;

namespace {

// Fails one kind of call with `error`; the rest reach the system.
class FaultyIo final : public SaveIo {
public:
    enum class Call { None, OpenNew, Write, Fsync, Link, Rename };
    Call failing = Call::None;
    int error = EIO;
    std::size_t writeRoom = 0; // bytes a failing write lets through first

    int openNew(const std::string& path, mode_t mode) override {
        return fail(Call::OpenNew) ? -1 : SaveIo::openNew(path, mode);
    }
    ssize_t write(int fd, const char* data, std::size_t size) override {
        if (failing != Call::Write) return SaveIo::write(fd, data, size);
        if (writeRoom == 0) return fail(Call::Write) ? -1 : 0;
        const std::size_t n = std::min(size, writeRoom);
        writeRoom -= n;
        return SaveIo::write(fd, data, n);
    }
    int fsync(int fd) override { return fail(Call::Fsync) ? -1 : SaveIo::fsync(fd); }
    int link(const std::string& from, const std::string& to) override {
        return fail(Call::Link) ? -1 : SaveIo::link(from, to);
    }
    int rename(const std::string& from, const std::string& to) override {
        return fail(Call::Rename) ? -1 : SaveIo::rename(from, to);
    }

private:
    bool fail(Call c) {
        if (c != failing) return false;
        errno = error;
        return true;
    }
};

std::vector<std::string> folderEntries(const std::string& folder) {
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

struct Stat {
    struct stat st {};
    explicit Stat(const std::string& path, bool follow = true) {
        (follow ? ::stat : ::lstat)(path.c_str(), &st);
    }
};

class SafeSaveTest : public ::testing::Test {
protected:
    FileSnapshot snapshotOf(const std::string& path) {
        FileSnapshot s;
        std::string error;
        EXPECT_TRUE(readSnapshot(path, s, error)) << error;
        return s;
    }
    SafeSaveRequest requestFor(const FileSnapshot& s, std::string content) {
        SafeSaveRequest r;
        r.original = &s;
        r.newContent = std::move(content);
        const std::string folder = s.target.substr(0, s.target.rfind('/') + 1);
        r.backupName = [folder](int n) {
            return folder + "f-VeskSearchReplace-20261207-083005" +
                   (n ? "-" + std::to_string(n + 1) : std::string()) + "-bak.txt";
        };
        return r;
    }
    TempTree t;
};

} // namespace

TEST_F(SafeSaveTest, ReplacesTheContentAndKeepsTheOldFileAsBackup) {
    const std::string f = t.write("dir/f.txt", "old\n");
    const ino_t oldInode = Stat(f).st.st_ino;
    const FileSnapshot s = snapshotOf(f);
    const SafeSaveResult r = safeSave(requestFor(s, "new\n"));
    ASSERT_TRUE(r.saved) << r.error;
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(readFile(f), "new\n");
    EXPECT_EQ(r.backupName, t.path("dir/f-VeskSearchReplace-20261207-083005-bak.txt"));
    EXPECT_EQ(readFile(r.backupName), "old\n");
    EXPECT_EQ(Stat(r.backupName).st.st_ino, oldInode); // the very file that was read
    EXPECT_EQ(folderEntries(t.path("dir")),
              (std::vector<std::string>{"f-VeskSearchReplace-20261207-083005-bak.txt", "f.txt"}));
}

TEST_F(SafeSaveTest, AScriptKeepsItsModeBitsAndOwner) {
    const std::string f = t.write("run.sh", "#!/bin/sh\necho old\n");
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(f.c_str(), 1234, 4321), 0);
    }
    ASSERT_EQ(::chmod(f.c_str(), 04751), 0); // after chown, which clears the set-id bits
    const FileSnapshot s = snapshotOf(f);
    ASSERT_TRUE(safeSave(requestFor(s, "#!/bin/sh\necho new\n")).saved);
    const Stat after(f);
    EXPECT_EQ(after.st.st_mode & 07777, 04751u);
    if (root) {
        EXPECT_EQ(after.st.st_uid, 1234u);
        EXPECT_EQ(after.st.st_gid, 4321u);
    }
}

TEST_F(SafeSaveTest, ALinkStaysALinkAndItsTargetIsRewritten) {
    const std::string target = t.write("real/f.txt", "old\n");
    t.mkdir("links");
    const std::string link = t.path("links/f.txt");
    ASSERT_EQ(::symlink("../real/f.txt", link.c_str()), 0);
    const FileSnapshot s = snapshotOf(link);
    EXPECT_EQ(s.target, target);
    const SafeSaveResult r = safeSave(requestFor(s, "new\n"));
    ASSERT_TRUE(r.saved) << r.error;
    EXPECT_TRUE(S_ISLNK(Stat(link, false).st.st_mode));
    char buffer[256] = {};
    ASSERT_GT(::readlink(link.c_str(), buffer, sizeof buffer - 1), 0);
    EXPECT_STREQ(buffer, "../real/f.txt");
    EXPECT_EQ(readFile(target), "new\n");
    EXPECT_EQ(r.backupName.substr(0, t.path("real/").size()), t.path("real/"));
    EXPECT_EQ(folderEntries(t.path("links")), std::vector<std::string>{"f.txt"});
}

TEST_F(SafeSaveTest, TwoSavesInOneSecondKeepBothBackups) {
    const std::string f = t.write("f.txt", "v1\n");
    const FileSnapshot s1 = snapshotOf(f);
    const SafeSaveResult r1 = safeSave(requestFor(s1, "v2\n"));
    const FileSnapshot s2 = snapshotOf(f);
    const SafeSaveResult r2 = safeSave(requestFor(s2, "v3\n"));
    ASSERT_TRUE(r1.saved && r2.saved);
    EXPECT_NE(r1.backupName, r2.backupName);
    EXPECT_EQ(r2.backupName, t.path("f-VeskSearchReplace-20261207-083005-2-bak.txt"));
    EXPECT_EQ(readFile(r1.backupName), "v1\n");
    EXPECT_EQ(readFile(r2.backupName), "v2\n");
    EXPECT_EQ(readFile(f), "v3\n");
}

TEST_F(SafeSaveTest, EveryFailureLeavesTheOriginalExactlyAsItWas) {
    struct Fault {
        const char* name;
        FaultyIo::Call call;
        int error;
        std::size_t writeRoom;
        const char* message;
    };
    const std::vector<Fault> faults = {
        {"full disk at once", FaultyIo::Call::Write, ENOSPC, 0, "No space left on device"},
        {"full disk half way", FaultyIo::Call::Write, ENOSPC, 5, "No space left on device"},
        {"read-only folder", FaultyIo::Call::OpenNew, EROFS, 0, "Read-only file system"},
        {"folder refuses new files", FaultyIo::Call::OpenNew, EACCES, 0, "Permission denied"},
        {"flush fails", FaultyIo::Call::Fsync, EIO, 0, "Input/output error"},
        {"backup refused", FaultyIo::Call::Link, EACCES, 0, "Permission denied"},
        {"rename refused", FaultyIo::Call::Rename, EBUSY, 0, "Device or resource busy"},
    };
    for (const Fault& fault : faults) {
        TempTree tree;
        const std::string f = tree.write("f.txt", "line one\r\nline two\r\n");
        const Stat before(f);
        const FileSnapshot s = snapshotOf(f);
        FaultyIo io;
        io.failing = fault.call;
        io.error = fault.error;
        io.writeRoom = fault.writeRoom;
        bool undone = false;
        SafeSaveRequest req = requestFor(s, std::string(100, 'x'));
        req.beforeReplace = [] { return std::string(); };
        req.undoBeforeReplace = [&] { undone = true; };
        const SafeSaveResult r = safeSave(req, io);
        EXPECT_FALSE(r.saved) << fault.name;
        EXPECT_NE(r.error.find(fault.message), std::string::npos) << fault.name << ": " << r.error;
        EXPECT_EQ(readFile(f), "line one\r\nline two\r\n") << fault.name;
        const Stat after(f);
        EXPECT_EQ(after.st.st_ino, before.st.st_ino) << fault.name;
        EXPECT_EQ(after.st.st_mtim.tv_nsec, before.st.st_mtim.tv_nsec) << fault.name;
        EXPECT_EQ(folderEntries(tree.root()), std::vector<std::string>{"f.txt"}) << fault.name;
        const bool afterBeforeReplace =
            fault.call == FaultyIo::Call::Link || fault.call == FaultyIo::Call::Rename;
        EXPECT_EQ(undone, afterBeforeReplace) << fault.name;
    }
}

TEST_F(SafeSaveTest, AFailingArchiveStepStopsTheSave) {
    const std::string f = t.write("f.txt", "old\n");
    const FileSnapshot s = snapshotOf(f);
    SafeSaveRequest req = requestFor(s, "new\n");
    req.beforeReplace = [] { return std::string("Unable to write the archive: disk full"); };
    const SafeSaveResult r = safeSave(req);
    EXPECT_FALSE(r.saved);
    EXPECT_EQ(r.error, "Unable to write the archive: disk full");
    EXPECT_EQ(readFile(f), "old\n");
    EXPECT_EQ(folderEntries(t.root()), std::vector<std::string>{"f.txt"});
}

TEST_F(SafeSaveTest, WhereLinksAreRefusedTheBackupIsACopy) {
    const std::string f = t.write("f.txt", "old\n");
    ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
    const FileSnapshot s = snapshotOf(f);
    FaultyIo io;
    io.failing = FaultyIo::Call::Link;
    io.error = EPERM;
    const SafeSaveResult r = safeSave(requestFor(s, "new\n"), io);
    ASSERT_TRUE(r.saved) << r.error;
    EXPECT_EQ(readFile(r.backupName), "old\n");
    EXPECT_EQ(Stat(r.backupName).st.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(f), "new\n");
}

TEST_F(SafeSaveTest, AFileChangedAfterReadingIsNotSaved) {
    struct Change {
        const char* name;
        std::function<void(const std::string&)> apply;
    };
    const std::vector<Change> changes = {
        {"cut short", [](const std::string& f) { ASSERT_EQ(::truncate(f.c_str(), 2), 0); }},
        {"same size, new time",
         [&](const std::string& f) {
             const struct timespec times[2] = {{0, UTIME_OMIT}, {1000000, 0}};
             ::utimensat(AT_FDCWD, f.c_str(), times, 0);
         }},
        {"replaced by another file of the same size and time",
         [&](const std::string& f) {
             const Stat old(f);
             const std::string other = f + ".other";
             FILE* out = std::fopen(other.c_str(), "w");
             std::fputs("OLD\n", out);
             std::fclose(out);
             const struct timespec times[2] = {old.st.st_atim, old.st.st_mtim};
             ::utimensat(AT_FDCWD, other.c_str(), times, 0);
             ::rename(other.c_str(), f.c_str());
         }},
        {"deleted", [](const std::string& f) { ::unlink(f.c_str()); }},
    };
    for (const Change& c : changes) {
        TempTree tree;
        const std::string f = tree.write("f.txt", "old\n");
        const FileSnapshot s = snapshotOf(f);
        c.apply(f);
        const std::string onDisk = readFile(f);
        const SafeSaveResult r = safeSave(requestFor(s, "new\n"));
        EXPECT_FALSE(r.saved) << c.name;
        EXPECT_NE(r.error.find("has changed on disk since it was read"), std::string::npos)
            << c.name;
        EXPECT_EQ(readFile(f), onDisk) << c.name;
    }
}
