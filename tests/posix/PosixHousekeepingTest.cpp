#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "housekeeping/LaunchCounter.h"
#include "housekeeping/ShaderCache.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSettings.h"
#include "platform/posix/PosixShell.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

namespace orvanta {
namespace {

namespace stdfs = std::filesystem;

using test::ScopedEnv;

// Links inside the cache are removed as links; a cache folder that is itself a link is
// left alone and reported: nothing outside the cache is ever touched.
TEST(PosixShaderCacheTest, LinksAreRemovedAsLinksAndNeverFollowed) {
    test::TempDir dir;
    PosixFileSystem fs;
    const std::string cache = dir / "Shaders";
    test::WriteBytes(dir / "elsewhere/precious/file.txt", "keep");
    test::WriteBytes(dir / "elsewhere/single.txt", "keep");
    test::WriteBytes(dir / "Shaders/sub/a.vsh", "x");
    stdfs::create_directory_symlink(dir / "elsewhere/precious", dir / "Shaders/folderlink");
    stdfs::create_symlink(dir / "elsewhere/single.txt", dir / "Shaders/filelink");
    stdfs::create_directory_symlink(dir / "elsewhere", dir / "Shaders/sub/nested-link");
    stdfs::create_symlink(dir / "nowhere", dir / "Shaders/broken");
    EXPECT_TRUE(CleanShaderCache(fs, cache).empty());
    EXPECT_TRUE(stdfs::is_directory(cache) && stdfs::is_empty(cache));

    stdfs::remove(cache);
    stdfs::create_directory_symlink(dir / "elsewhere", cache);
    EXPECT_FALSE(CleanShaderCache(fs, cache).empty());
    EXPECT_TRUE(stdfs::is_symlink(cache));
    EXPECT_EQ(test::ReadBytes(dir / "elsewhere/precious/file.txt"), "keep");
    EXPECT_EQ(test::ReadBytes(dir / "elsewhere/single.txt"), "keep");
}

TEST(PosixSettingsTest, StoresTheCounterInTheUsersConfigFileAndKeepsOtherLines) {
    test::TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    PosixSettings settings;
    EXPECT_EQ(PosixSettings::FileOf("KestrelInstall"), dir / "config/KestrelInstall.ini");

    EXPECT_EQ(CountUpdateLaunch(settings), 1);  // the folder and file are created
    EXPECT_EQ(test::ReadBytes(dir / "config/KestrelInstall.ini"), "[Used]\nOrvantaUpdateLaunch=1\n");

    test::WriteBytes(dir / "config/KestrelInstall.ini",
                     "; kept\n[Other]\nOrvantaUpdateLaunch=99\n\n[used]\nSomething=else\norvantaupdatelaunch=3\n"
                     "\n[Last]\nx=1\n");
    EXPECT_EQ(CountUpdateLaunch(settings), 4);
    EXPECT_EQ(test::ReadBytes(dir / "config/KestrelInstall.ini"),
              "; kept\n[Other]\nOrvantaUpdateLaunch=99\n\n[used]\nSomething=else\nOrvantaUpdateLaunch=4\n"
              "\n[Last]\nx=1\n");

    test::WriteBytes(dir / "config/KestrelInstall.ini", "[Used]\nOrvantaUpdateLaunch=lots\n");
    EXPECT_EQ(CountUpdateLaunch(settings), -1);
    EXPECT_EQ(test::ReadBytes(dir / "config/KestrelInstall.ini"), "[Used]\nOrvantaUpdateLaunch=lots\n");

    // A key added to an existing section lands inside it, before the next section.
    test::WriteBytes(dir / "config/KestrelInstall.ini", "[Used]\nOther=1\n\n[Next]\nk=v\n");
    EXPECT_TRUE(settings.Save("KestrelInstall", "Used", "OrvantaUpdateLaunch", "1"));
    EXPECT_EQ(test::ReadBytes(dir / "config/KestrelInstall.ini"),
              "[Used]\nOther=1\nOrvantaUpdateLaunch=1\n\n[Next]\nk=v\n");
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& e : stdfs::directory_iterator(dir / "config")) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(PosixSettingsTest, FallsBackToHomeConfigAndFailsWithoutAHome) {
    test::TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", "");
    ScopedEnv home("HOME", dir.path());
    EXPECT_EQ(PosixSettings::FileOf("KestrelInstall"), dir / ".config/KestrelInstall.ini");
    PosixSettings settings;
    EXPECT_EQ(settings.Get("KestrelInstall", "Used", "OrvantaUpdateLaunch", "0"), "0");

    // A settings file that is a folder cannot be read: the count fails and writes nothing.
    test::MakeFolder(dir / ".config/KestrelInstall.ini");
    EXPECT_EQ(CountUpdateLaunch(settings), -1);
}

TEST(PosixSettingsTest, ASettingsFileReachedThroughALinkStaysALink) {
    test::TempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    test::WriteBytes(dir / "dotfiles/KestrelInstall.ini", "[Used]\nOrvantaUpdateLaunch=1\n");
    test::MakeFolder(dir / "config");
    stdfs::create_symlink(dir / "dotfiles/KestrelInstall.ini", dir / "config/KestrelInstall.ini");
    PosixSettings settings;
    EXPECT_EQ(CountUpdateLaunch(settings), 2);
    EXPECT_TRUE(stdfs::is_symlink(dir / "config/KestrelInstall.ini"));
    EXPECT_EQ(test::ReadBytes(dir / "dotfiles/KestrelInstall.ini"), "[Used]\nOrvantaUpdateLaunch=2\n");
}

TEST(PosixShellTest, StartsTheOpenerWithTheAddressAsOneArgument) {
    test::TempDir dir;
    // A stand-in opener that records its arguments.
    const std::string opener = dir / "opener.sh";
    test::WriteBytes(opener, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.out\"\n");
    stdfs::permissions(opener, stdfs::perms::owner_all);
    PosixShell shell(opener);
    EXPECT_TRUE(shell.Open("https://example.org/a b;$(touch x)"));
    for (int i = 0; i < 200 && !test::FileExists(opener + ".out"); ++i) ::usleep(10000);
    for (int i = 0; i < 50 && test::ReadBytes(opener + ".out").empty(); ++i) ::usleep(10000);
    EXPECT_EQ(test::ReadBytes(opener + ".out"), "https://example.org/a b;$(touch x)|");

    PosixShell missing(dir / "no-such-opener");
    EXPECT_FALSE(missing.Open("https://example.org"));
}

// The copy into the simulator never leaves a partly written file under the target's
// name: a copy that fails halfway (here: the file size limit) leaves the target as it was.
TEST(PosixAtomicCopyTest, AFailedCopyLeavesNoPartialTarget) {
    test::TempDir dir;
    PosixFileSystem fs;
    const std::string source = dir / "big.bgl";
    const std::string target = dir / "scenery/APX47180.bgl";
    test::WriteBytes(source, std::string(256 * 1024, 'n'));
    test::WriteBytes(target, "installed before");

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const FsStatus status = fs.CopyFile(source, target);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(status.ok());
    EXPECT_EQ(test::ReadBytes(target), "installed before");
    int files = 0;
    for (const auto& e : stdfs::directory_iterator(dir / "scenery")) {
        ++files;
        EXPECT_EQ(e.path().filename(), "APX47180.bgl");
    }
    EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace orvanta
