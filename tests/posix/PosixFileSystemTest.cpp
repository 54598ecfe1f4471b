#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

TEST(PosixFileSystemTest, ErrnoMapsToOneCodePerKind) {
    const std::pair<int, int> cases[] = {
        {ENOENT, kFileNotFound},           {EEXIST, kFileExists}, {EACCES, kPermissionDenied},
        {EPERM, kPermissionDenied},        {ENOSPC, kDiskFull},   {ENOTDIR, kPathNotFound},
        {ENOTEMPTY, kPathFileAccessError}, {EIO, kDeviceIoError}};
    for (const auto& [error, code] : cases) EXPECT_EQ(FsCodeFromErrno(error), code) << error;
}

// Folder listings are kept for the case-insensitive lookups once a folder has not changed
// for two seconds; whatever changes the folder afterwards must show at the next lookup. A
// name as written wins over the same name in another case.
TEST(PosixFileSystemTest, KeptListingsFollowEveryChangeOfTheFolder) {
    test::TempDir dir;
    PosixFileSystem fs(PosixFileSystem::Watching::Never);
    test::WriteBytes(dir / "Cycle.txt", "upper");
    test::WriteBytes(dir / "cycle.txt", "lower");
    std::vector<std::string> lines;
    ASSERT_TRUE(fs.ReadLines(dir / "cycle.txt", lines).ok());
    EXPECT_EQ(lines, std::vector<std::string>{"lower"});
    test::WriteBytes(dir / "Scenery/APX1.bgl", "1");
    EXPECT_FALSE(fs.Exists(dir / "Scenery/apx2.bgl"));
    ::sleep(3);  // the folder is now old enough for its listing to be kept
    EXPECT_TRUE(fs.Exists(dir / "scenery/apx1.BGL"));
    EXPECT_FALSE(fs.Exists(dir / "Scenery/apx2.bgl"));

    test::WriteBytes(dir / "Scenery/APX2.BGL", "2");  // by another program
    EXPECT_TRUE(fs.Exists(dir / "Scenery/apx2.bgl"));
    ASSERT_EQ(::unlink((dir / "Scenery/APX1.bgl").c_str()), 0);
    EXPECT_FALSE(fs.Exists(dir / "Scenery/apx1.bgl"));
    ASSERT_TRUE(fs.RenameFile(dir / "Scenery/apx2.bgl", dir / "Scenery/Apx3.bgl").ok());
    EXPECT_TRUE(fs.Exists(dir / "Scenery/APX3.BGL"));
    EXPECT_FALSE(fs.Exists(dir / "Scenery/APX2.BGL"));
}

// The copy into the simulator never leaves a partly written file under the target's name,
// nor is it blocked by the temporary file a killed run left.
TEST(PosixFileSystemTest, ACopyNeverLeavesAPartialTarget) {
    test::TempDir dir;
    PosixFileSystem fs;
    test::WriteBytes(dir / "src.bgl", "new bytes");
    test::WriteBytes(dir / "dst.bgl", "old bytes");
    test::WriteBytes(dir / "dst.bgl.orvanta-partial", "left by a killed run");
    ASSERT_TRUE(fs.CopyFile(dir / "src.bgl", dir / "dst.bgl").ok());
    EXPECT_EQ(test::ReadBytes(dir / "dst.bgl"), "new bytes");
    EXPECT_FALSE(test::FileExists(dir / "dst.bgl.orvanta-partial"));

    // A copy that fails halfway (here: the file size limit) leaves the target as it was.
    test::WriteBytes(dir / "big.bgl", std::string(256 * 1024, 'n'));
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const FsStatus status = fs.CopyFile(dir / "big.bgl", dir / "dst.bgl");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(test::ReadBytes(dir / "dst.bgl"), "new bytes");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);  // no temporary file stays
}

namespace sfs = std::filesystem;

// A folder's listing, kept once a name was not found in it, follows whatever changes the
// folder afterwards, ours and another program's, without reading the folder again; only a
// folder replaced by another one (itself, a folder above it, a link to it) is read again.
TEST(KeptListingTest, FollowsEveryChangeAndReadsAFolderOnce) {
    using Change = void (*)(PosixFileSystem & fs, const std::string& root, const std::string& folder);
    struct Case {
        const char* name;
        bool folderIsLink;
        Change change;
        const char* asked;  // in the folder, in another case than on disk
        int reads;
    } cases[] = {
        {"another program renames one", false,
         [](PosixFileSystem&, const std::string&, const std::string& folder) {
             ASSERT_EQ(std::rename((folder + "OLD.BGL").c_str(), (folder + "Moved.Bgl").c_str()), 0);
         },
         "MOVED.bgl", 1},
        {"our own copies and renames, then another program's file", false,
         [](PosixFileSystem& fs, const std::string&, const std::string& folder) {
             for (int i = 0; i < 20; ++i) {
                 const std::string name = folder + "apx" + std::to_string(i) + ".bgl";
                 ASSERT_TRUE(fs.CopyFile(folder + "old.bgl", name).ok());
                 ASSERT_TRUE(fs.RenameFile(name, name + ".bglbckup").ok());
                 ASSERT_FALSE(fs.Exists(name));
             }
             test::WriteBytes(folder + "Theirs.BGL", "t");
         },
         "theirs.bgl", 1},
        {"the folder moved away, another put in its place and changed", false,
         [](PosixFileSystem& fs, const std::string&, const std::string& folder) {
             sfs::rename(sfs::path(folder).parent_path(), sfs::path(folder).parent_path().string() + ".old");
             test::WriteBytes(folder + "Other.bgl", "o");
             ASSERT_TRUE(fs.Exists(folder + "OTHER.BGL"));
             test::WriteBytes(folder + "Late.bgl", "l");
         },
         "LATE.BGL", 2},
        {"the folder above replaced", false,
         [](PosixFileSystem&, const std::string& root, const std::string& folder) {
             sfs::rename(root + "/Scenery/0502", root + "/Scenery/Gone");
             test::WriteBytes(folder + "Fresh.bgl", "f");
         },
         "fresh.BGL", 2},
        {"the folder, a link, pointed elsewhere", true,
         [](PosixFileSystem&, const std::string& root, const std::string& folder) {
             test::WriteBytes(root + "/elsewhere/Other.bgl", "o");
             sfs::create_directory_symlink(root + "/elsewhere", root + "/link");
             sfs::rename(root + "/link", sfs::path(folder).parent_path());
         },
         "other.BGL", 2},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string root = dir.path();
        const std::string folder = root + "/Scenery/0502/scenery/";
        test::WriteBytes(root + "/target/OLD.BGL", "old");
        sfs::create_directories(root + "/Scenery/0502");
        if (c.folderIsLink) {
            sfs::create_directory_symlink(root + "/target", root + "/Scenery/0502/scenery");
        } else {
            sfs::rename(root + "/target", root + "/Scenery/0502/scenery");
        }
        PosixFileSystem fs;
        EXPECT_FALSE(fs.Exists(folder + "old.bgl.bglbckup")) << c.name;  // the listing is kept from here
        EXPECT_TRUE(fs.Exists(folder + "old.bgl")) << c.name;
        c.change(fs, root, folder);
        EXPECT_TRUE(fs.Exists(folder + c.asked)) << c.name;
        EXPECT_EQ(fs.FolderReads(), c.reads) << c.name;
    }
}

// The user's lock lies in the runtime folder when no one else may write there, else in /tmp
// under a name per user id (the window program under Wine builds the same names).
TEST(PosixInstanceLockTest, TheLockLiesInAPrivateRuntimeFolderElseInTmp) {
    test::TempDir dir;
    for (const auto& [folder, mode] :
         {std::pair{"private", 0700}, {"group", 0770}, {"others", 0703}, {"theirs", 0700}}) {
        test::MakeFolder(dir / folder);
        ASSERT_EQ(::chmod((dir / folder).c_str(), mode), 0);
    }
    const bool root = ::geteuid() == 0;  // only root can give a folder away
    if (root) {
        ASSERT_EQ(::chown((dir / "theirs").c_str(), 65534, 65534), 0);
    }
    std::filesystem::create_directory_symlink(dir / "private", dir / "link");
    const std::string tmp = "/tmp/orvanta-installer-" + std::to_string(::getuid()) + ".lock";
    const std::pair<std::string, std::string> cases[] = {
        {dir / "private", dir / "private/orvanta-installer.lock"},
        {dir / "private/", dir / "private/orvanta-installer.lock"},
        {dir / "group", tmp},
        {dir / "others", tmp},
        {dir / (root ? "theirs" : "group"), tmp},
        {dir / "link", tmp},
        {dir / "gone", tmp},
        {"private", tmp},
        {"", tmp},
    };
    for (const auto& [runtime, lock] : cases) {
        test::ScopedEnv set("XDG_RUNTIME_DIR", runtime);
        EXPECT_EQ(DefaultInstanceLockPath(), lock) << runtime;
    }
    test::ScopedEnv set("XDG_RUNTIME_DIR", dir / "private");
    PosixEnvironment env("", "");
    ASSERT_TRUE(env.AcquireSingleInstanceLock());
    EXPECT_FALSE(PosixEnvironment("", "", dir / "private/orvanta-installer.lock").AcquireSingleInstanceLock());
}

// A lock held by another instance refuses; so does one that cannot be taken or checked, and
// then the refusal names the file, for the user to remove.
TEST(PosixInstanceLockTest, ALockThatCannotBeTakenRefuses) {
    const bool root = ::geteuid() == 0;  // only root can give a file away
    struct Case {
        const char* name;
        const char* file;
        std::function<void(const std::string& file)> prepare;
        bool heldByAnother;
        bool taken;
        bool named;
    };
    const Case cases[] = {
        {"free", "a.lock", nullptr, false, true, false},
        {"left by an instance that ended", "a.lock", [](const std::string& f) { test::WriteBytes(f, ""); }, false, true,
         false},
        {"held by another instance", "a.lock", nullptr, true, false, false},
        {"in a folder that does not exist", "gone/a.lock", nullptr, false, false, true},
        {"a folder", "a.lock", [](const std::string& f) { test::MakeFolder(f); }, false, false, true},
        {"a link, which could lead anywhere", "a.lock",
         [](const std::string& f) { std::filesystem::create_symlink(f + ".target", f); }, false, false, true},
        {"a pipe, never waited on", "a.lock", [](const std::string& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
         false, false, true},
        {"another user's file", "a.lock",
         [](const std::string& f) {
             test::WriteBytes(f, "");
             (void)::chown(f.c_str(), 65534, 65534);
         },
         false, !root, root},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string file = dir / c.file;
        if (c.prepare) c.prepare(file);
        PosixEnvironment other("", "", file);
        if (c.heldByAnother) {
            ASSERT_TRUE(other.AcquireSingleInstanceLock()) << c.name;
        }
        PosixEnvironment env("", "", file);
        EXPECT_EQ(env.AcquireSingleInstanceLock(), c.taken) << c.name;
        EXPECT_EQ(env.LockFileInTheWay(), c.named ? file : "") << c.name;
    }
}

TEST(AbsolutePathTest, RelativePathsHangFromTheCurrentFolderAsWritten) {
    struct Case {
        const char* current;
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"/home/pilot", "Downloads/Orvanta", "/home/pilot/Downloads/Orvanta"},
        {"/home/pilot/", "./pkg/", "/home/pilot/pkg/"},
        {"/home/pilot", ".", "/home/pilot"},
        {"/home/pilot", "", "/home/pilot"},
        {"/home/pilot", "a//./b", "/home/pilot/a/b"},
        {"/home/pilot/link", "../FSX", "/home/pilot/link/../FSX"},  // the link's parent, not /home/pilot
        {"/", "sims/FSX", "/sims/FSX"},
        {"/home/pilot", "/opt/./FSX", "/opt/./FSX"},  // absolute already: as given
    };
    for (const Case& c : cases) EXPECT_EQ(AbsolutePathFrom(c.current, c.path), c.expected) << c.path;
}

}  // namespace
}  // namespace orvanta
