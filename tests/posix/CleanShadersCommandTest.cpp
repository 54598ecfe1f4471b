#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/PackageBuilder.h"
#include "support/SimFolderBuilder.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

namespace stdfs = std::filesystem;

// The command itself, run as a user whom file modes bind (root may delete from a read-only
// folder): a read-only cache and subfolder are emptied; a folder that cannot even be listed
// stays, is named, and the command says the cache was not emptied.
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
    int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(test::ReadBytes(dir / "out"), "");
    EXPECT_EQ(test::ReadBytes(dir / "err"),
              "Shader cache not emptied: " + cache + "\nNot removed: " + cache + "/sealed\n");
    EXPECT_TRUE(stdfs::is_directory(cache));
    EXPECT_FALSE(stdfs::exists(cache + "/a.bin") || stdfs::exists(cache + "/sub"));

    ::chmod((cache + "/sealed").c_str(), 0755);
    status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 0) << test::ReadBytes(dir / "err");
    EXPECT_EQ(test::ReadBytes(dir / "out"), "Shader cache emptied: " + cache + "\n");
    EXPECT_TRUE(stdfs::is_empty(cache));
}

}  // namespace
}  // namespace orvanta
