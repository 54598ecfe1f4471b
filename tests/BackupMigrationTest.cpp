#include <gtest/gtest.h>

#include "engine/BackupMigration.h"
#include "engine/Logs.h"
#include "platform/FaultInjectingFileSystem.h"
#include "support/EngineFixture.h"

namespace orvanta {
namespace {

using test::PackageBuilder;
using test::SimFolderBuilder;

// APX47180 and ATX05021 lie in area 0502 (Europe); APX00010, ATX00001 and NVX00001 in
// area 0000 (America (North)).
class BackupMigrationTest : public ::testing::Test, protected test::EngineFixture {
protected:
    bool Make(const SimFolderBuilder& simulator, SimVersion version) {
        PackageBuilder package;
        package.apx = {"APX47180", "APX00010"};
        package.atx = {"ATX05021", "ATX00001"};
        package.nvx = {"NVX00001"};
        return Build(package, simulator, version);
    }
    std::string At(const std::string& area, const std::string& name) const { return Dest(area, name); }
};

TEST_F(BackupMigrationTest, Prepar3DMigratesItsOwnExtensionByTableAndRegion) {
    SimFolderBuilder simulator;
    simulator.Add("0502", "APX47180.bgl.p3dini", "apx europe")
        .Add("0502", "APX47180.bgl.raxini", "fsx backup")     // the other family's: left alone
        .Add("0000", "APX00010.bgl.ilsbckup", "apx america")  // other regions use .ilsbckup
        .Add("0000", "APX00010.bgl.p3dini", "not looked for")
        .Add("0502", "ATX05021.bgl.p3dini", "atx europe")
        .Add("0000", "ATX00001.bgl.p3dini", "atx elsewhere: left")  // ATX only in Europe
        .Add("0000", "NVX00001.bgl.p3dini", "nvx anywhere");
    ASSERT_TRUE(Make(simulator, 6));
    errorLog = "stale";
    EXPECT_EQ(MigrateBackupExtensions(fs(), state, errorLog), 0);
    EXPECT_EQ(errorLog, "");
    EXPECT_EQ(test::ReadBytes(At("0502", "APX47180.bgl.bglbckup")), "apx europe");
    EXPECT_FALSE(test::FileExists(At("0502", "APX47180.bgl.p3dini")));
    EXPECT_TRUE(test::FileExists(At("0502", "APX47180.bgl.raxini")));
    EXPECT_EQ(test::ReadBytes(At("0000", "APX00010.bgl.bglbckup")), "apx america");
    EXPECT_TRUE(test::FileExists(At("0000", "APX00010.bgl.p3dini")));
    EXPECT_EQ(test::ReadBytes(At("0502", "ATX05021.bgl.bglbckup")), "atx europe");
    EXPECT_TRUE(test::FileExists(At("0000", "ATX00001.bgl.p3dini")));
    EXPECT_FALSE(test::FileExists(At("0000", "ATX00001.bgl.bglbckup")));
    EXPECT_EQ(test::ReadBytes(At("0000", "NVX00001.bgl.bglbckup")), "nvx anywhere");
    EXPECT_FALSE(test::FileExists(pkg + kErrorLogName));
}

TEST_F(BackupMigrationTest, FsxMigratesRaxiniAndLeavesP3dini) {
    SimFolderBuilder simulator;
    simulator.Add("0502", "APX47180.bgl.raxini", "fsx backup")
        .Add("0502", "APX47180.bgl.p3dini", "p3d backup")
        .Add("0000", "APX00010.bgl.ilsbckup", "ils")
        .Add("0000", "NVX00001.bgl.raxini", "nvx");
    ASSERT_TRUE(Make(simulator, 2));
    EXPECT_EQ(MigrateBackupExtensions(fs(), state, errorLog), 0);
    EXPECT_EQ(test::ReadBytes(At("0502", "APX47180.bgl.bglbckup")), "fsx backup");
    EXPECT_TRUE(test::FileExists(At("0502", "APX47180.bgl.p3dini")));
    EXPECT_EQ(test::ReadBytes(At("0000", "APX00010.bgl.bglbckup")), "ils");
    EXPECT_EQ(test::ReadBytes(At("0000", "NVX00001.bgl.bglbckup")), "nvx");
}

TEST_F(BackupMigrationTest, CurrentBackupWinsOverAnOldOne) {
    SimFolderBuilder simulator;
    simulator.Add("0502", "APX47180.bgl.p3dini", "old").Add("0502", "APX47180.bgl.bglbckup", "current");
    ASSERT_TRUE(Make(simulator, 5));
    EXPECT_EQ(MigrateBackupExtensions(fs(), state, errorLog), 0);
    EXPECT_FALSE(test::FileExists(At("0502", "APX47180.bgl.p3dini")));
    EXPECT_EQ(test::ReadBytes(At("0502", "APX47180.bgl.bglbckup")), "current");
}

TEST_F(BackupMigrationTest, ObsoleteAreaFilesAreDeleted) {
    SimFolderBuilder simulator;
    simulator.Add("0600", "0600INT_T.BGL", "obsolete")
        .Add("0602", "0602INT_T.BGL", "obsolete")
        .Add("0603", "0603INT_T.BGL", "not in the list");
    ASSERT_TRUE(Make(simulator, 6));
    EXPECT_EQ(MigrateBackupExtensions(fs(), state, errorLog), 0);
    EXPECT_FALSE(test::FileExists(At("0600", "0600INT_T.BGL")));
    EXPECT_FALSE(test::FileExists(At("0602", "0602INT_T.BGL")));
    EXPECT_TRUE(test::FileExists(At("0603", "0603INT_T.BGL")));
}

TEST_F(BackupMigrationTest, FailuresAreCountedRecordedAndLogged) {
    SimFolderBuilder simulator;
    simulator.Add("0502", "APX47180.bgl.p3dini", "old")
        .Add("0502", "APX47180.bgl.bglbckup", "current")  // the deletion of the old one fails
        .Add("0000", "NVX00001.bgl.p3dini", "nvx")        // the rename fails
        .Add("0501", "0501INT_T.BGL", "obsolete");        // the deletion fails
    ASSERT_TRUE(Make(simulator, 6));
    FaultInjectingFileSystem faulty(fs());
    faulty.FailPathsContaining("APX47180.bgl.p3dini", kPermissionDenied);
    faulty.FailPathsContaining("NVX00001.bgl.p3dini", kFileExists);
    faulty.FailPathsContaining("0501INT_T.BGL", kPermissionDenied);
    EXPECT_EQ(MigrateBackupExtensions(faulty, state, errorLog), 3);
    const std::string expected = "ERROR Renaming backup file: " + At("0502", "APX47180.bgl.p3dini") +
                                 "\r\nError number: 70\r\n\r\n"
                                 "ERROR Renaming backup file: " +
                                 At("0000", "NVX00001.bgl.p3dini") +
                                 "\r\nError number: 58\r\n\r\n"
                                 "ERROR Killing old file: " +
                                 At("0501", "0501INT_T.BGL") + "\r\nError number: 70\r\n\r\n";
    EXPECT_EQ(errorLog, expected);
    EXPECT_EQ(test::ReadBytes(pkg + kErrorLogName), expected);
    EXPECT_EQ(test::ReadBytes(At("0502", "APX47180.bgl.bglbckup")), "current");

    const MessageText m = MigrationFailureMessage(3);
    EXPECT_EQ(m.icon, MsgIcon::Critical);
    EXPECT_EQ(m.Text(),
              "3 backup files couldn't be renamed with a .bglbckup extension. A manual renaming is "
              "required before using the installer\r\nSee the Orvanta_Installer.log file for details");
}

}  // namespace
}  // namespace orvanta
