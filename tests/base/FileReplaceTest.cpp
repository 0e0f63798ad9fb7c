#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

#include "base/FileReplace.h"
#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace vx {
namespace {

namespace fs = std::filesystem;

struct stat StatOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st;
}

class FileReplaceTest : public ::testing::Test {
  protected:
    // The names in the folder, so a temporary file left behind shows.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    test::TempFolder folder;
    const fs::path file = folder.Path() / "data.txt";
};

TEST_F(FileReplaceTest, ReplacesByRenameKeepingPermissionBits) {
    test::WriteBytes(file, "old contents, longer than the new ones");
    chmod(file.c_str(), 0640);
    const ino_t before = StatOf(file).st_ino;

    EXPECT_EQ(ReplaceFileContents(file.string(), "new"), std::nullopt);
    EXPECT_EQ(test::ReadBytes(file), "new");
    EXPECT_EQ(StatOf(file).st_mode & 07777, 0640u);
    EXPECT_NE(StatOf(file).st_ino, before);
    EXPECT_EQ(Names(), (std::set<std::string>{"data.txt"}));
}

TEST_F(FileReplaceTest, NewFileGetsTheUmaskMode) {
    const mode_t previous = umask(027);
    EXPECT_EQ(ReplaceFileContents(file.string(), "new"), std::nullopt);
    umask(previous);
    EXPECT_EQ(test::ReadBytes(file), "new");
    EXPECT_EQ(StatOf(file).st_mode & 07777, 0640u);
}

// RLIMIT_FSIZE in a child, with SIGXFSZ ignored so that the write fails with EFBIG.
TEST_F(FileReplaceTest, FailedWriteLeavesTheExistingFileIntact) {
    const std::string old = "the data sets saved before";
    test::WriteBytes(file, old);
    const std::string bytes(100000, 'x');
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto failure = ReplaceFileContents(file.string(), bytes);
        _exit(failure == ReplaceFailure{std::strerror(EFBIG), OldFile::Unchanged} ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write did not report EFBIG on an unchanged file";
    EXPECT_EQ(test::ReadBytes(file), old);
    EXPECT_EQ(Names(), (std::set<std::string>{"data.txt"}));
}

// The tests run as root, who may write any file: the child checks as an ordinary user.
TEST_F(FileReplaceTest, ReadOnlyFileIsNotReplaced) {
    constexpr uid_t kNobody = 65534;
    test::WriteBytes(file, "protected");
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    ASSERT_EQ(chown(file.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chown(folder.Path().c_str(), kNobody, kNobody), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            _exit(2);
        }
        const auto failure = ReplaceFileContents(file.string(), "new");
        _exit(failure && failure->reason == std::strerror(EACCES) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the read-only file was not refused";
    EXPECT_EQ(test::ReadBytes(file), "protected");
    EXPECT_EQ(Names(), (std::set<std::string>{"data.txt"}));
}

// A colleague's file in a shared folder, saved over by another user (a child that
// switches its user id: the tests run as root). With the sticky bit the rename would
// be refused, without it the file would change hands: it is written in place.
TEST_F(FileReplaceTest, AnotherUsersFileIsWrittenInPlaceKeepingOwnerAndMode) {
    constexpr uid_t kSaver = 65534;
    constexpr uid_t kColleague = 65533;
    for (const mode_t folderMode : {01777, 0777}) {
        SCOPED_TRACE(folderMode);
        test::WriteBytes(file, "the colleague's data sets, longer than the new ones");
        ASSERT_EQ(chown(file.c_str(), kColleague, kColleague), 0);
        ASSERT_EQ(chmod(file.c_str(), 0664), 0);
        ASSERT_EQ(chmod(folder.Path().c_str(), folderMode), 0);
        const ino_t before = StatOf(file).st_ino;
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The colleague's group lets the saver write the file.
            const gid_t groups[] = {kColleague};
            if (setgroups(1, groups) != 0 || setgid(kSaver) != 0 || setuid(kSaver) != 0) {
                _exit(2);
            }
            _exit(ReplaceFileContents(file.string(), "new") == std::nullopt ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the save failed";
        EXPECT_EQ(test::ReadBytes(file), "new");
        const struct stat after = StatOf(file);
        EXPECT_EQ(after.st_uid, kColleague);
        EXPECT_EQ(after.st_gid, kColleague);
        EXPECT_EQ(after.st_mode & 07777, 0664u);
        EXPECT_EQ(after.st_ino, before);
        EXPECT_EQ(Names(), (std::set<std::string>{"data.txt"}));
    }
}

TEST_F(FileReplaceTest, SymbolicLinksLeadToTheFileThatIsReplaced) {
    fs::create_directories(folder.Path() / "sub");
    const fs::path real = folder.Path() / "sub" / "real.txt";
    test::WriteBytes(real, "old");
    chmod(real.c_str(), 0604);
    fs::create_symlink("sub/real.txt", folder.Path() / "first");
    fs::create_symlink(folder.Path() / "first", folder.Path() / "second");

    EXPECT_EQ(ReplaceFileContents((folder.Path() / "second").string(), "new"), std::nullopt);
    EXPECT_EQ(fs::read_symlink(folder.Path() / "second"), folder.Path() / "first");
    EXPECT_EQ(fs::read_symlink(folder.Path() / "first"), "sub/real.txt");
    EXPECT_EQ(test::ReadBytes(real), "new");
    EXPECT_EQ(StatOf(real).st_mode & 07777, 0604u);
    EXPECT_EQ(Names(), (std::set<std::string>{"first", "second", "sub"}));

    fs::create_symlink("sub/missing.txt", folder.Path() / "dangling");
    EXPECT_EQ(ReplaceFileContents((folder.Path() / "dangling").string(), "made"), std::nullopt);
    EXPECT_EQ(test::ReadBytes(folder.Path() / "sub" / "missing.txt"), "made");
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "dangling"));
}

TEST_F(FileReplaceTest, TargetsThatCannotBeWrittenReportTheReason) {
    fs::create_directories(folder.Path() / "dir");
    test::WriteBytes(folder.Path() / "plain", "a file");
    fs::create_symlink("loop", folder.Path() / "loop");
    const std::vector<std::pair<fs::path, int>> cases = {
        {folder.Path() / "dir", EISDIR},
        {folder.Path() / "plain" / "data.txt", ENOTDIR},
        {folder.Path() / "missing" / "data.txt", ENOENT},
        {folder.Path() / "loop", ELOOP},
    };
    for (const auto& [path, error] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ReplaceFileContents(path.string(), "new"),
                  (ReplaceFailure{std::strerror(error), OldFile::None}));
    }
    EXPECT_TRUE(fs::is_directory(folder.Path() / "dir"));
    EXPECT_TRUE(fs::is_empty(folder.Path() / "dir"));
    EXPECT_EQ(test::ReadBytes(folder.Path() / "plain"), "a file");
    EXPECT_EQ(Names(), (std::set<std::string>{"dir", "loop", "plain"}));
}

TEST_F(FileReplaceTest, WritesInPlaceWhereNoTemporaryFileCanBeMade) {
    test::WriteBytes(file, "old contents, longer than the new ones");
    const ino_t before = StatOf(file).st_ino;
    const NewFileOpener refused = [](const char*) {
        errno = EACCES;
        return -1;
    };

    EXPECT_EQ(ReplaceFileContents(file.string(), "new", refused), std::nullopt);
    EXPECT_EQ(test::ReadBytes(file), "new");
    EXPECT_EQ(StatOf(file).st_ino, before);

    const fs::path fresh = folder.Path() / "fresh.txt";
    EXPECT_EQ(ReplaceFileContents(fresh.string(), "made", refused), std::nullopt);
    EXPECT_EQ(test::ReadBytes(fresh), "made");
}

// Where no temporary file can be made the file is written in place; a write the size
// limit would stop is refused before anything is cut, for an existing and a new file.
TEST_F(FileReplaceTest, WriteInPlaceThatCannotFinishLeavesTheOldFileUntouched) {
    const std::string old(6394, 'o');
    test::WriteBytes(file, old);
    const NewFileOpener refused = [](const char*) {
        errno = EACCES;
        return -1;
    };
    const fs::path fresh = folder.Path() / "fresh.txt";
    {
        test::FileSizeLimit limit(8192);
        EXPECT_EQ(ReplaceFileContents(file.string(), std::string(28672, 'n'), refused),
                  (ReplaceFailure{std::strerror(EFBIG), OldFile::Unchanged}));
        EXPECT_EQ(ReplaceFileContents(fresh.string(), std::string(28672, 'n'), refused),
                  (ReplaceFailure{std::strerror(EFBIG), OldFile::None}));
        // Within the limit it goes through, shorter or longer than before.
        EXPECT_EQ(ReplaceFileContents(file.string(), std::string(8000, 'l'), refused),
                  std::nullopt);
        EXPECT_EQ(test::ReadBytes(file), std::string(8000, 'l'));
        EXPECT_EQ(ReplaceFileContents(file.string(), "short", refused), std::nullopt);
    }
    EXPECT_EQ(test::ReadBytes(file), "short");
    EXPECT_EQ(Names(), (std::set<std::string>{"data.txt"}));
}

// A full disk, on a small file system mounted in a child's own mount namespace: the
// save through a temporary file and the write in place both fail with the disk's
// reason, and the old file stays as it was. Skipped where mounting is not allowed.
TEST_F(FileReplaceTest, FullDiskLeavesTheOldFileUntouched) {
    const std::string old(6394, 'o');
    const std::string bigger(28672, 'n');
    const NewFileOpener refused = [](const char*) {
        errno = EACCES;
        return -1;
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", folder.Path().c_str(), "tmpfs", 0, "size=64k") != 0) {
            _exit(77);
        }
        test::WriteBytes(file, old);
        {
            std::ofstream filler(folder.Path() / "filler", std::ios::binary);
            const std::string block(4096, 'f');
            while (filler.write(block.data(), static_cast<long>(block.size())).flush()) {
            }
        }
        const ReplaceFailure full{std::strerror(ENOSPC), OldFile::Unchanged};
        if (ReplaceFileContents(file.string(), bigger) != full) {
            _exit(1);
        }
        if (ReplaceFileContents(file.string(), bigger, refused) != full) {
            _exit(2);
        }
        if (test::ReadBytes(file) != old) {
            _exit(3);
        }
        _exit(Names() == std::set<std::string>{"data.txt", "filler"} ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "no small file system can be mounted here";
    }
    // 1: through a temporary file, 2: in place, 3: the old file changed, 4: a file left.
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Another user may plant links in a shared folder at any name they can foresee.
// Temporary names are random and never opened through a link.
TEST_F(FileReplaceTest, TemporaryNamesCannotBeForeseen) {
    static std::vector<std::string> tried;
    tried.clear();
    const NewFileOpener recording = [](const char* path) {
        tried.emplace_back(path);
        return OpenNewFile(path);
    };
    for (int save = 0; save < 3; ++save) {
        ASSERT_EQ(ReplaceFileContents(file.string(), "contents", recording), std::nullopt);
    }
    ASSERT_EQ(tried.size(), 3u);
    std::set<std::string> names;
    for (const std::string& path : tried) {
        const std::string name = fs::path(path).filename().string();
        EXPECT_EQ(name.find(std::to_string(getpid())), std::string::npos) << name;
        EXPECT_GE(name.size(), 16u) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 3u);

    const fs::path victim = folder.Path() / "victim";
    test::WriteBytes(victim, "the user's other file");
    const fs::path planted = folder.Path() / "planted";
    fs::create_symlink(victim, planted);
    EXPECT_EQ(OpenNewFile(planted.c_str()), -1);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(test::ReadBytes(victim), "the user's other file");
}

TEST_F(FileReplaceTest, FifoIsFedNotReplaced) {
    const fs::path fifo = folder.Path() / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = test::ReadBytes(fifo); });

    EXPECT_EQ(ReplaceFileContents(fifo.string(), "through the pipe"), std::nullopt);
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

}  // namespace
}  // namespace vx
