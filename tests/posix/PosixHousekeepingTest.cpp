#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>

#include "housekeeping/LaunchCounter.h"
#include "housekeeping/ShaderCache.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSettings.h"
#include "platform/posix/PosixShell.h"
#include "support/Fakes.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

namespace stdfs = std::filesystem;

// The file system with a swap made by someone else right after the walk first lists a
// folder of the given name.
struct SwappingFs : PosixFileSystem {
    std::string when;
    std::function<void()> swap;

    struct Folder : OpenFolder {
        SwappingFs& fs;
        std::string name;
        std::unique_ptr<OpenFolder> inner;
        Folder(SwappingFs& f, std::string n, std::unique_ptr<OpenFolder> i) : fs(f), name(n), inner(std::move(i)) {}
        FsStatus List(std::vector<FolderEntry>& entries) override {
            const FsStatus st = inner->List(entries);
            if (name == fs.when && fs.swap) std::exchange(fs.swap, {})();
            return st;
        }
        FsStatus OpenSubfolder(const std::string& n, std::unique_ptr<OpenFolder>& f) override {
            const FsStatus st = inner->OpenSubfolder(n, f);
            if (st) f = std::make_unique<Folder>(fs, n, std::move(f));
            return st;
        }
        FsStatus SetNormalAttributes() override { return inner->SetNormalAttributes(); }
        FsStatus SetEntryNormalAttributes(const std::string& n) override { return inner->SetEntryNormalAttributes(n); }
        FsStatus DeleteEntry(const std::string& n) override { return inner->DeleteEntry(n); }
        FsStatus RemoveSubfolder(const std::string& n) override { return inner->RemoveSubfolder(n); }
    };
    FsStatus OpenFolderForWalk(const std::string& path, std::unique_ptr<OpenFolder>& folder) override {
        const FsStatus st = PosixFileSystem::OpenFolderForWalk(path, folder);
        if (st) folder = std::make_unique<Folder>(*this, "Shaders", std::move(folder));
        return st;
    }
};

// Nothing outside the cache is ever touched: a cache folder that is itself a link is left
// alone and reported, and a folder of the cache swapped for a link while the cleaning runs,
// before or after the walk entered it, never leads the walk there.
TEST(PosixShaderCacheTest, NothingOutsideTheCacheIsTouched) {
    test::TempDir dir;
    SwappingFs fs;
    const std::string cache = dir / "Shaders", outside = dir / "elsewhere";
    for (const char* name : {"/a.bin", "/sub/a.bin", "/sub/inner/a.bin"}) {
        test::WriteBytes(outside + name, "keep");
        test::WriteBytes(cache + name, "compiled");
    }
    stdfs::create_directory_symlink(outside, dir / "Linked");
    EXPECT_EQ(CleanShaderCache(fs, dir / "Linked"), std::vector<std::string>{dir / "Linked"});

    const auto swapFor = [&](const std::string& folder, const std::string& moved) {
        return [=] {
            stdfs::rename(folder, moved);
            stdfs::create_directory_symlink(outside, folder);
        };
    };
    fs.when = "Shaders";  // "sub" goes before the walk enters it
    fs.swap = swapFor(cache + "/sub", dir / "sub-moved");
    EXPECT_EQ(CleanShaderCache(fs, cache), std::vector<std::string>{});
    stdfs::rename(dir / "sub-moved", cache + "/sub");
    fs.when = "sub";  // "sub" goes once the walk is inside it
    fs.swap = swapFor(cache + "/sub", cache + "/sub-moved");
    EXPECT_EQ(CleanShaderCache(fs, cache), std::vector<std::string>{cache + "/sub"});
    for (const char* name : {"/a.bin", "/sub/a.bin", "/sub/inner/a.bin"}) {
        EXPECT_EQ(test::ReadBytes(outside + name), "keep") << name;
    }
    EXPECT_FALSE(stdfs::exists(cache + "/sub-moved/a.bin") || stdfs::exists(cache + "/sub-moved/inner"));
}

// The count lives in $XDG_CONFIG_HOME (else ~/.config)/KestrelInstall.ini; other lines, a
// link to the file and a value that is no number are kept; no temporary file stays.
TEST(PosixSettingsTest, KeepsTheCounterInTheUsersConfigFile) {
    test::TempDir dir;
    test::ScopedEnv config("XDG_CONFIG_HOME", dir / "config");
    const std::string file = dir / "dotfiles/KestrelInstall.ini";
    PosixSettings settings;
    EXPECT_EQ(CountUpdateLaunch(settings), 1);  // the folder and file are created
    EXPECT_EQ(test::ReadBytes(dir / "config/KestrelInstall.ini"), "[Used]\nOrvantaUpdateLaunch=1\n");
    stdfs::remove(dir / "config/KestrelInstall.ini");
    test::MakeFolder(dir / "dotfiles");
    stdfs::create_symlink(file, dir / "config/KestrelInstall.ini");
    const std::pair<std::string, std::string> cases[] = {
        {"; kept\n[Other]\nOrvantaUpdateLaunch=99\n\n[used]\nSomething=else\norvantaupdatelaunch=3\n\n[Last]\nx=1\n",
         "; kept\n[Other]\nOrvantaUpdateLaunch=99\n\n[used]\nSomething=else\nOrvantaUpdateLaunch=4\n\n[Last]\nx=1\n"},
        {"[Used]\nOther=1\n\n[Next]\nk=v\n", "[Used]\nOther=1\nOrvantaUpdateLaunch=1\n\n[Next]\nk=v\n"},
        {"[Used]\nOrvantaUpdateLaunch=lots\n", "[Used]\nOrvantaUpdateLaunch=lots\n"},
    };
    for (const auto& [before, after] : cases) {
        test::WriteBytes(file, before);
        CountUpdateLaunch(settings);
        EXPECT_EQ(test::ReadBytes(file), after);
        EXPECT_TRUE(stdfs::is_symlink(dir / "config/KestrelInstall.ini"));
        EXPECT_EQ(std::distance(stdfs::directory_iterator(dir / "config"), {}), 1);
    }

    test::ScopedEnv noConfig("XDG_CONFIG_HOME", "");
    test::ScopedEnv home("HOME", dir / "home");
    EXPECT_EQ(PosixSettings::FileOf("KestrelInstall"), dir / "home/.config/KestrelInstall.ini");
    test::MakeFolder(dir / "home/.config/KestrelInstall.ini");  // unreadable: no count, nothing written
    EXPECT_EQ(CountUpdateLaunch(settings), -1);
}

TEST(PosixShellTest, StartsTheOpenerWithTheAddressAsOneArgument) {
    test::TempDir dir;
    // A stand-in opener that records its arguments.
    const std::string opener = dir / "opener.sh";
    test::WriteBytes(opener, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.out\"\n");
    stdfs::permissions(opener, stdfs::perms::owner_all);
    PosixShell shell(opener);
    EXPECT_TRUE(shell.Open("https://example.org/a b;$(touch x)"));
    for (int i = 0; i < 250 && test::ReadBytes(opener + ".out").empty(); ++i) ::usleep(10000);
    EXPECT_EQ(test::ReadBytes(opener + ".out"), "https://example.org/a b;$(touch x)|");

    PosixShell missing(dir / "no-such-opener");
    EXPECT_FALSE(missing.Open("https://example.org"));
}

// The command itself, run as a user whom file modes bind (root may delete from a read-only
// folder): a read-only cache and subfolder are emptied, links in them removed as links and
// never followed; a folder that cannot even be listed stays, is named, and the command says
// the cache was not emptied.
TEST(CleanShadersCommandTest, EmptiesReadOnlyFoldersAndNamesWhatStayed) {
    test::TempDir dir;
    test::PackageBuilder().Write(dir / "pkg");
    test::SimFolderBuilder sim;
    sim.executableName = "FSX.exe";
    sim.executableBytes = tools::MakeVersionedExecutable(10, 0, 61637, 0);
    sim.Write(dir / "FSX");
    const std::string cache = dir / "appdata/Microsoft/FSX/Shaders";
    test::WriteBytes(cache + "/a.bin", "compiled");
    test::WriteBytes(cache + "/sub/b.bin", "compiled");
    test::WriteBytes(cache + "/sealed/c.bin", "compiled");
    test::WriteBytes(dir / "elsewhere/keep.txt", "keep");
    stdfs::create_directory_symlink(dir / "elsewhere", cache + "/sub/link");
    stdfs::create_symlink(dir / "nowhere", cache + "/broken");
    // A copy of the command where that user can reach it.
    stdfs::copy_file(ORVANTA_CLI_PATH, dir / "orvanta");
    const bool root = ::geteuid() == 0;
    if (root) {
        for (const auto& e : stdfs::recursive_directory_iterator(dir.path())) ::lchown(e.path().c_str(), 65534, 65534);
        ::lchown(dir.path().c_str(), 65534, 65534);
    }
    ::chmod((cache + "/sub").c_str(), 0555);
    ::chmod((cache + "/sealed").c_str(), 0);
    ::chmod(cache.c_str(), 0555);
    const std::string command = std::string(root ? "runuser -u nobody -- " : "") + "env LOCALAPPDATA='" +
                                dir / "appdata' '" + dir / "orvanta' --package '" +
                                dir / "pkg' --nodetect --sim-folder '" + dir / "FSX' clean-shaders >'" +
                                dir / "out' 2>'" + dir / "err'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(test::ReadBytes(dir / "out"), "");
    EXPECT_EQ(test::ReadBytes(dir / "err"),
              "Shader cache not emptied: " + cache + "\nNot removed: " + cache + "/sealed\n");
    EXPECT_TRUE(stdfs::is_directory(cache));
    EXPECT_FALSE(stdfs::exists(cache + "/a.bin") || stdfs::exists(cache + "/sub"));
    EXPECT_FALSE(stdfs::is_symlink(cache + "/broken"));
    EXPECT_EQ(test::ReadBytes(dir / "elsewhere/keep.txt"), "keep");
}

TEST(LaunchCounterTest, CountsInTheSettingsStoreAndPromptsEveryFourth) {
    const auto key =
        std::make_tuple(std::string("KestrelInstall"), std::string("Used"), std::string("OrvantaUpdateLaunch"));
    const struct {
        const char* name;
        std::optional<std::string> stored;  // nullopt: no entry yet
        bool failRead, failWrite;
        std::int32_t count;  // -1: not counted, and nothing written
    } cases[] = {
        // clang-format off
        {"a fresh store", std::nullopt, false, false, 1},     {"blanks around the number", " \t7 ", false, false, 8},
        {"a sign", "+12", false, false, 13},                  {"the smallest count", "-2147483648", false, false, -2147483647},
        {"one below the largest", "2147483646", false, false, 2147483647},
        {"the largest count", "2147483647", false, false, -1}, {"beyond 32 bits", "2147483648", false, false, -1},
        {"far beyond", "99999999999999999999", false, false, -1}, {"not a number", "many", false, false, -1},
        {"blank", " ", false, false, -1},                     {"a sign alone", "-", false, false, -1},
        {"a fraction", "1.5", false, false, -1},              {"trailing letters", "12a", false, false, -1},
        {"hexadecimal", "0x10", false, false, -1},            {"unreadable store", "3", true, false, -1},
        {"unwritable store", "3", false, true, -1},
        // clang-format on
    };
    for (const auto& c : cases) {
        test::MemorySettings settings;
        if (c.stored) settings.values[key] = *c.stored;
        settings.failRead = c.failRead;
        settings.failWrite = c.failWrite;
        EXPECT_EQ(CountUpdateLaunch(settings), c.count) << c.name;
        EXPECT_EQ(settings.values[key], c.count == -1 ? c.stored.value_or("") : std::to_string(c.count)) << c.name;
    }
    for (const auto& [count, due] : {std::pair{1, false}, {3, false}, {4, true}, {8, true}, {-1, false}}) {
        EXPECT_EQ(IsDonationDue(count), due) << count;
    }
}

}  // namespace
}  // namespace orvanta
