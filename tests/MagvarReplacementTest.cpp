#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Install.h"
#include "package/PathScheme.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

// The simulator cannot run without its magvar table, and uninstall never brings one back:
// whatever stops a replacement, a readable table must stay in place, and the magvar option
// must still be offered so that the user can try again.
struct MagvarReplacementTest : test::EngineFixture, ::testing::Test {
    std::string table, original, replacement;
    MagvarOption before;

    void SetUp() override {
        test::SimFolderBuilder simulator;
        ASSERT_TRUE(Build(test::PackageBuilder{}, simulator));
        table = test::SimMagvarPath(sim);
        original = test::ReadBytes(table);
        replacement = test::ReadBytes(MagvarSourcePath(pkg));
        ASSERT_FALSE(original.empty());
        ASSERT_NE(original, replacement);
        before = RefreshMagvarStatus(fs(), state);
        ASSERT_NE(before.status, MagvarStatus::Unavailable);
    }

    InstallResult InstallMagvar(FileSystem& through) {
        InstallOptions options;
        options.magvar = true;  // no region: the table alone
        return RunInstall(tools(through), state, options, logs());
    }
};

TEST_F(MagvarReplacementTest, AFailedCopyLeavesTheSimulatorsTableAndTheOptionToRetry) {
    FaultInjectingFileSystem faulty(fs());
    faulty.FailPathsContaining(MagvarSourcePath(pkg), kDiskFull);
    const InstallResult r = InstallMagvar(faulty);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(errorLog, "Error Id: Unable to update magvar table - Error number: 61\r\n");
    EXPECT_EQ(test::ReadBytes(table), original);
    EXPECT_EQ(test::ReadBytes(table + ".bak"), original);
    const MagvarOption after = RefreshMagvarStatus(fs(), state);
    EXPECT_EQ(after.status, before.status);
    EXPECT_EQ(after.caption, before.caption);

    const InstallResult retry = InstallMagvar(fs());
    EXPECT_EQ(retry.errors, 0);
    EXPECT_EQ(test::ReadBytes(table), replacement);
    EXPECT_EQ(test::ReadBytes(table + ".bak"), original);
}

TEST_F(MagvarReplacementTest, AReadOnlyTableIsReplacedAndItsBackupKept) {
    namespace stdfs = std::filesystem;
    stdfs::permissions(stdfs::u8path(table), stdfs::perms::owner_write, stdfs::perm_options::remove);
    const InstallResult r = InstallMagvar(fs());
    EXPECT_EQ(r.errors, 0) << errorLog;
    EXPECT_EQ(test::ReadBytes(table), replacement);
    EXPECT_EQ(test::ReadBytes(table + ".bak"), original);
}

}  // namespace
}  // namespace orvanta
