#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

#include "replace/safe_save.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using vesk::test::readFile;
using vesk::test::TempTree;

namespace {

// Fails one kind of call with `error`; the rest reach the system.
class FaultyIo final : public SaveIo {
public:
    enum class Call { None, OpenNew, Write, Fsync, Link, Exchange };
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
    // Runs just before the swap: another program acting in the last moment.
    std::function<void()> beforeExchange;
    int exchange(const std::string& a, const std::string& b) override {
        if (beforeExchange) std::exchange(beforeExchange, nullptr)();
        return fail(Call::Exchange) ? -1 : SaveIo::exchange(a, b);
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
        {"swap refused", FaultyIo::Call::Exchange, EBUSY, 0, "Device or resource busy"},
        {"file system cannot swap", FaultyIo::Call::Exchange, EINVAL, 0,
         "cannot swap two files in one step"},
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
            fault.call == FaultyIo::Call::Link || fault.call == FaultyIo::Call::Exchange;
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
        {"written in place keeping its size and time",
         [](const std::string& f) {
             const Stat old(f);
             FILE* out = std::fopen(f.c_str(), "r+");
             std::fputs("OLD\n", out);
             std::fclose(out);
             const struct timespec times[2] = {old.st.st_atim, old.st.st_mtim};
             ::utimensat(AT_FDCWD, f.c_str(), times, 0);
         }},
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

namespace {

// Runs `work` in a child process and returns its exit status (-1 when it did not exit).
int inChildProcess(const std::function<int()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(work());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// Another program's save: its new version is renamed over `path`.
void saveByRename(const std::string& path, const std::string& bytes) {
    const std::string other = path + ".other-program";
    FILE* out = std::fopen(other.c_str(), "w");
    std::fputs(bytes.c_str(), out);
    std::fclose(out);
    ::rename(other.c_str(), path.c_str());
}

} // namespace

TEST_F(SafeSaveTest, ASaveAnotherProcessMakesJustBeforeTheSwapIsKept) {
    // The other program's rename comes in after the last check, held until just before the swap,
    // so only the check of the displaced file can see it.
    const std::string f = t.write("f.txt", "old\n");
    const FileSnapshot s = snapshotOf(f);
    FaultyIo io;
    io.beforeExchange = [&] {
        EXPECT_EQ(inChildProcess([&] {
                      saveByRename(f, "theirs\n");
                      return 0;
                  }),
                  0);
    };
    bool undone = false;
    SafeSaveRequest req = requestFor(s, "ours\n");
    req.beforeReplace = [] { return std::string(); };
    req.undoBeforeReplace = [&] { undone = true; };
    const SafeSaveResult r = safeSave(req, io);
    EXPECT_FALSE(r.saved);
    EXPECT_NE(r.error.find("changed by another program"), std::string::npos) << r.error;
    EXPECT_EQ(readFile(f), "theirs\n");
    EXPECT_TRUE(undone);
    EXPECT_EQ(folderEntries(t.root()), std::vector<std::string>{"f.txt"});
}

TEST_F(SafeSaveTest, TwoProcessesSavingTheSameFilesLoseNoReportedSave) {
    constexpr int kFiles = 200;
    constexpr int kRounds = 4;
    for (int i = 0; i < kFiles; ++i)
        t.write("tree/f" + std::to_string(i) + ".txt", "start\n");
    // Each process adds its own line to every file, round after round, and records the saves it
    // was told were done.
    const auto saver = [&](char who) {
        return [&, who] {
            FILE* done = std::fopen(t.path(std::string("done-") + who).c_str(), "w");
            for (int round = 0; round < kRounds; ++round)
                for (int i = 0; i < kFiles; ++i) {
                    const std::string name = "f" + std::to_string(i);
                    const std::string f = t.path("tree/" + name + ".txt");
                    FileSnapshot s;
                    std::string error;
                    if (!readSnapshot(f, s, error)) continue;
                    const std::string mark = std::string(1, who) + std::to_string(round);
                    SafeSaveRequest r;
                    r.original = &s;
                    r.newContent = s.bytes + mark + "\n";
                    r.backupName = [&](int n) {
                        return t.path("tree/" + name + "-VeskSearchReplace-" + who + "-" +
                                      std::to_string(n) + "-bak");
                    };
                    if (safeSave(r).saved)
                        std::fprintf(done, "%s %s\n", name.c_str(), mark.c_str());
                }
            std::fclose(done);
            return 0;
        };
    };
    const pid_t a = ::fork();
    if (a == 0) ::_exit(saver('a')());
    const pid_t b = ::fork();
    if (b == 0) ::_exit(saver('b')());
    int status = 0;
    ::waitpid(a, &status, 0);
    ::waitpid(b, &status, 0);
    int reported = 0, lost = 0;
    for (const char* who : {"done-a", "done-b"}) {
        FILE* in = std::fopen(t.path(who).c_str(), "r");
        ASSERT_NE(in, nullptr);
        char name[32], mark[32];
        while (std::fscanf(in, "%31s %31s", name, mark) == 2) {
            ++reported;
            const std::string content = t.read(std::string("tree/") + name + ".txt");
            if (content.find(std::string(mark) + "\n") == std::string::npos) ++lost;
        }
        std::fclose(in);
    }
    EXPECT_GT(reported, kFiles); // both processes got saves through
    EXPECT_EQ(lost, 0) << "of " << reported << " saves reported as done";
    for (const auto& entry : folderEntries(t.path("tree")))
        EXPECT_EQ(entry.find("-VeskSearchReplace-new"), std::string::npos) << entry;
}

TEST_F(SafeSaveTest, FilesTheUserMayNotWriteAreRefused) {
    const std::string f = t.write("f.txt", "old\n");
    ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
    const FileSnapshot s = snapshotOf(f);
    const SafeSaveResult r = safeSave(requestFor(s, "new\n"));
    EXPECT_FALSE(r.saved);
    EXPECT_NE(r.error.find("write-protected (mode 0444)"), std::string::npos) << r.error;
    EXPECT_EQ(readFile(f), "old\n");
    EXPECT_EQ(folderEntries(t.root()), std::vector<std::string>{"f.txt"});
}

TEST_F(SafeSaveTest, AnotherUsersFileIsNeverTakenOver) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
    // Root's file, writable by all, in a folder the other user owns.
    ASSERT_EQ(::chmod(t.root().c_str(), 0755), 0);
    const std::string folder = t.mkdir("theirs");
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    const std::string f = t.write("theirs/f.txt", "root's\n");
    ASSERT_EQ(::chmod(f.c_str(), 0666), 0);
    const int refused = inChildProcess([&] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) return 2;
        FileSnapshot s;
        std::string error;
        if (!readSnapshot(f, s, error)) return 3;
        const SafeSaveResult r = safeSave(requestFor(s, "nobody's\n"));
        return !r.saved && r.error.find("another user") != std::string::npos ? 0 : 1;
    });
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(readFile(f), "root's\n");
    EXPECT_EQ(Stat(f).st.st_uid, 0u);
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"f.txt"});
}

TEST_F(SafeSaveTest, AclsAndExtendedAttributesAreCarried) {
    const std::string f = t.write("f.txt", "old\n");
    ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
    if (::setxattr(f.c_str(), "user.origin", "kept", 4, 0) != 0)
        GTEST_SKIP() << "no user attributes on this file system";
    const bool acl = std::system(("setfacl -m u:65534:rw " + f + " 2>/dev/null").c_str()) == 0;
    const auto value = [](const std::string& path, const char* name) {
        char buffer[256];
        const ssize_t n = ::getxattr(path.c_str(), name, buffer, sizeof buffer);
        return n < 0 ? std::string("(none)") : std::string(buffer, static_cast<std::size_t>(n));
    };
    const std::string aclBefore = value(f, "system.posix_acl_access");
    const mode_t modeBefore = Stat(f).st.st_mode & 07777;
    const FileSnapshot s = snapshotOf(f);
    const SafeSaveResult r = safeSave(requestFor(s, "new\n"));
    ASSERT_TRUE(r.saved) << r.error;
    EXPECT_EQ(value(f, "user.origin"), "kept");
    EXPECT_EQ(Stat(f).st.st_mode & 07777, modeBefore); // the ACL mask stays out of the group bits
    if (acl) {
        EXPECT_NE(aclBefore, "(none)");
        EXPECT_EQ(value(f, "system.posix_acl_access"), aclBefore);
    }
}

TEST_F(SafeSaveTest, TheNextSaveRemovesTheLeftoverOfAKilledSave) {
    const std::string f = t.write("f.txt", "old\n");
    const std::string g = t.write("g.txt", "other\n");
    // A save killed while it flushed its new file.
    EXPECT_EQ(inChildProcess([&] {
                  struct Killed final : SaveIo {
                      int fsync(int) override { return ::raise(SIGKILL); }
                  } io;
                  const FileSnapshot s = snapshotOf(f);
                  safeSave(requestFor(s, "new\n"), io);
                  return 0;
              }),
              -1);
    const std::string leftover = t.path(".f.txt-VeskSearchReplace-new");
    ASSERT_EQ(readFile(leftover), "new\n");
    // A new file a running save still holds is not a leftover.
    const std::string held = t.write(".g.txt-VeskSearchReplace-new-3", "in use\n");
    const int holder = ::open(held.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_SH), 0);
    for (const char* name : {".f.txt-VeskSearchReplace-new", ".g.txt-VeskSearchReplace-new-3"})
        t.setMtime(name, 1000000);

    const FileSnapshot s = snapshotOf(g);
    ASSERT_TRUE(safeSave(requestFor(s, "changed\n")).saved);
    EXPECT_EQ(::access(leftover.c_str(), F_OK), -1);
    EXPECT_EQ(readFile(held), "in use\n");
    EXPECT_EQ(readFile(f), "old\n");
    ::close(holder);
}
